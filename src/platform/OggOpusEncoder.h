#pragma once

#include "stream/StreamEncoder.h"

#include <ogg/ogg.h>

#include <string>

struct OpusEncoder;
struct SwrContext;

namespace tavu {

// Ogg Opus at 48 kHz (other rates are resampled), in 20 ms packets. Each song is a logical stream
// of its own whose comment header carries the title: players that read chained Ogg show it, and
// some stop at the boundary.
class OggOpusEncoder final : public StreamEncoder {
public:
    // Throws std::runtime_error when libopus or the resampler refuse the choices.
    OggOpusEncoder(int sampleRate, int kbps);
    ~OggOpusEncoder() override;
    OggOpusEncoder(const OggOpusEncoder&) = delete;
    OggOpusEncoder& operator=(const OggOpusEncoder&) = delete;

    void encode(const float* samples, std::size_t frames, Bytes& out) override;
    void startSong(const std::string& title, Bytes& out) override;
    void restart(Bytes& out) override;
    bool carriesTitles() const override { return true; }

private:
    void beginStream(Bytes& out);
    void endStream(Bytes& out);
    void packet(const unsigned char* data, std::size_t size, bool last, Bytes& out);
    void pages(bool flush, Bytes& out);

    int m_inputRate;
    OpusEncoder* m_opus = nullptr;
    SwrContext* m_resampler = nullptr;
    std::vector<float> m_pending; // 48 kHz frames waiting to fill a packet
    std::vector<float> m_resampled;
    ogg_stream_state m_ogg{};
    bool m_streamOpen = false;
    int m_serial = 0;
    int m_preSkip = 0;
    ogg_int64_t m_granule = 0;
    ogg_int64_t m_packetNo = 0;
    std::string m_title;
};

} // namespace tavu
