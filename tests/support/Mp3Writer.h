#pragma once

#include <cstddef>
#include <string>

namespace tavu::test {

// The fields of an ID3v1 tag; longer texts are cut to the tag's field sizes.
struct Id3v1Fields {
    std::string title, artist, album, year, comment;
    unsigned char genre = 255;
};

// Builds real MP3 files: MPEG-1 Layer III, 44100 Hz, joint stereo, 128 kbit/s frames of 417 bytes
// (padding never set), each lasting 1152/44100 s. A decoder sees a stream of at least two frames.
//   Mp3Writer().tone(Mp3Writer::framesFor(1.0)).id3v1({"Title", "Artist"}).write(path);
class Mp3Writer {
public:
    static constexpr std::size_t kFrameBytes = 417;
    static constexpr double kFrameSeconds = 1152.0 / 44100.0;

    // Whole frames for about this many seconds (at least 2).
    static int framesFor(double seconds);
    static double secondsOf(int frames) { return frames * kFrameSeconds; }

    // An ID3v2.3 tag of about `bytes` bytes (a picture frame of noise that holds false frame
    // headers), to go before the frames.
    Mp3Writer& id3v2(std::size_t bytes);
    // Frames that decode to digital silence.
    Mp3Writer& silence(int frames);
    // Frames that decode to a steady tone near 440 Hz, the same on both channels, peaking at about a
    // third of full scale.
    Mp3Writer& tone(int frames);
    // Frames of loud wideband noise, which cost a decoder as much work as real music.
    Mp3Writer& noise(int frames);
    Mp3Writer& id3v1(const Id3v1Fields& tag);

    const std::string& bytes() const { return m_bytes; }
    // False when the file could not be written.
    bool write(const std::string& path) const;

private:
    std::string m_bytes;
};

} // namespace tavu::test
