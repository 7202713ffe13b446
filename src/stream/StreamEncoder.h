#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tavu {

// What turns the music into the stream's bytes. Runs on the stream's thread only.
class StreamEncoder {
public:
    using Bytes = std::vector<unsigned char>;
    virtual ~StreamEncoder() = default;

    // Encodes interleaved stereo frames (float, -1 to 1) and appends what is ready to out.
    virtual void encode(const float* samples, std::size_t frames, Bytes& out) = 0;
    // A new song begins with this title. Formats that carry titles in the stream itself do so
    // here; the others leave it to the server's metadata.
    virtual void startSong(const std::string& title, Bytes& out) = 0;
    // A new connection to the server begins: what a listener needs first comes again (the
    // headers of an Ogg stream), with the title given last.
    virtual void restart(Bytes& out) = 0;
    // Whether the title travels in the stream itself (else it is sent as metadata).
    virtual bool carriesTitles() const = 0;
};

} // namespace tavu
