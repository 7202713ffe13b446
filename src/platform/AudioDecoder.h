#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tavu {

// One song decoded by FFmpeg into interleaved stereo float frames at the output's rate. The
// format is told by the file's content, never by its name. The file is opened once, without
// blocking, and only a regular file is read; everything after goes through that one descriptor,
// so a file renamed over or deleted while it plays still plays to its end, and a cut-off one ends
// where it is cut. Encoder delay and padding (the LAME header, an M4A's edit list, Opus pre-skip)
// are left out as FFmpeg reports them. Not thread-safe: one thread uses a decoder at a time.
class AudioDecoder {
public:
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    // Null when the file cannot be opened or holds no audio that FFmpeg decodes.
    static std::unique_ptr<AudioDecoder> open(const std::string& path, int rate);

    int rate() const { return m_rate; }
    // Frames at the output's rate: the stream's own length; 0 when it is not known.
    std::int64_t lengthFrames() const { return m_lengthFrames; }
    // The name of the decoder FFmpeg chose ("mp3float", "flac", "aac", ...).
    const char* codecName() const;

    // Decodes up to `frames` frames into `out` (2 floats each). 0 at the end of the song; a
    // stream that turns bad ends there. Samples are finite and within [-1, 1].
    std::size_t read(float* out, std::size_t frames);
    // Moves to this frame from the start; the next read gives exactly that frame. False when the
    // stream cannot seek; then the position is unchanged. A frame at or past the end gives an
    // empty read.
    bool seek(std::int64_t frame);

private:
    struct State;
    explicit AudioDecoder(std::unique_ptr<State> state, int rate);
    bool decodeMore();
    void restartResampler();

    std::unique_ptr<State> m_state;
    int m_rate;
    std::int64_t m_lengthFrames = 0;
};

} // namespace tavu
