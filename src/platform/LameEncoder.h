#pragma once

#include "stream/StreamEncoder.h"

struct lame_global_struct;

namespace tavu {

// MP3 at a constant bit rate, at the sample rate the music comes at (44.1 or 48 kHz).
class LameEncoder final : public StreamEncoder {
public:
    // Throws std::runtime_error when LAME refuses the rate or the bit rate.
    LameEncoder(int sampleRate, int kbps);
    ~LameEncoder() override;
    LameEncoder(const LameEncoder&) = delete;
    LameEncoder& operator=(const LameEncoder&) = delete;

    void encode(const float* samples, std::size_t frames, Bytes& out) override;
    void startSong(const std::string&, Bytes&) override {}
    void restart(Bytes&) override {}
    bool carriesTitles() const override { return false; }

private:
    lame_global_struct* m_lame;
};

} // namespace tavu
