#include "platform/OggOpusEncoder.h"

#include <opus/opus.h>
extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <cstring>
#include <random>
#include <stdexcept>

namespace tavu {
namespace {

constexpr int kRate = 48000;
constexpr int kPacketFrames = 960; // 20 ms

void putLe(std::string& to, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        to += static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

OggOpusEncoder::OggOpusEncoder(int sampleRate, int kbps) : m_inputRate(sampleRate)
{
    int error = 0;
    m_opus = opus_encoder_create(kRate, 2, OPUS_APPLICATION_AUDIO, &error);
    if (error != OPUS_OK)
        throw std::runtime_error(std::string("Opus could not start: ") + opus_strerror(error));
    opus_encoder_ctl(m_opus, OPUS_SET_BITRATE(kbps * 1000));
    opus_encoder_ctl(m_opus, OPUS_SET_VBR(1));
    opus_int32 lookahead = 0;
    opus_encoder_ctl(m_opus, OPUS_GET_LOOKAHEAD(&lookahead));
    m_preSkip = lookahead;
    if (sampleRate != kRate) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (swr_alloc_set_opts2(&m_resampler, &stereo, AV_SAMPLE_FMT_FLT, kRate, &stereo, AV_SAMPLE_FMT_FLT, sampleRate,
                                0, nullptr) < 0 ||
            swr_init(m_resampler) < 0) {
            swr_free(&m_resampler);
            opus_encoder_destroy(m_opus);
            throw std::runtime_error("cannot resample " + std::to_string(sampleRate) + " Hz for Opus");
        }
    }
    m_serial = static_cast<int>(std::random_device{}() & 0x7FFFFFFF);
}

OggOpusEncoder::~OggOpusEncoder()
{
    if (m_streamOpen)
        ogg_stream_clear(&m_ogg);
    swr_free(&m_resampler);
    opus_encoder_destroy(m_opus);
}

void OggOpusEncoder::pages(bool flush, Bytes& out)
{
    ogg_page page;
    while (flush ? ogg_stream_flush(&m_ogg, &page) : ogg_stream_pageout(&m_ogg, &page)) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    }
}

void OggOpusEncoder::packet(const unsigned char* data, std::size_t size, bool last, Bytes& out)
{
    ogg_packet p{};
    p.packet = const_cast<unsigned char*>(data);
    p.bytes = static_cast<long>(size);
    p.b_o_s = m_packetNo == 0;
    p.e_o_s = last;
    p.granulepos = m_granule;
    p.packetno = m_packetNo++;
    ogg_stream_packetin(&m_ogg, &p);
    pages(p.b_o_s || m_packetNo == 2 || last, out); // the headers end pages of their own
}

void OggOpusEncoder::beginStream(Bytes& out)
{
    ogg_stream_init(&m_ogg, ++m_serial);
    m_streamOpen = true;
    m_packetNo = 0;
    m_granule = 0;
    opus_encoder_ctl(m_opus, OPUS_RESET_STATE);
    m_pending.clear();

    std::string head = "OpusHead";
    head += '\1'; // version
    head += '\2'; // channels
    putLe(head, static_cast<std::uint32_t>(m_preSkip), 2);
    putLe(head, static_cast<std::uint32_t>(m_inputRate), 4);
    putLe(head, 0, 2); // output gain
    head += '\0';      // one stream, stereo
    packet(reinterpret_cast<const unsigned char*>(head.data()), head.size(), false, out);

    const std::string vendor = opus_get_version_string();
    std::string tags = "OpusTags";
    putLe(tags, static_cast<std::uint32_t>(vendor.size()), 4);
    tags += vendor;
    const std::string comment = "TITLE=" + m_title;
    putLe(tags, m_title.empty() ? 0 : 1, 4);
    if (!m_title.empty()) {
        putLe(tags, static_cast<std::uint32_t>(comment.size()), 4);
        tags += comment;
    }
    packet(reinterpret_cast<const unsigned char*>(tags.data()), tags.size(), false, out);
    m_granule = m_preSkip;
}

void OggOpusEncoder::endStream(Bytes& out)
{
    if (!m_streamOpen)
        return;
    // What is left of the song, padded to a whole packet, closes its logical stream.
    const std::size_t left = m_pending.size() / 2;
    m_pending.resize(kPacketFrames * 2, 0.0f);
    unsigned char data[4000];
    const opus_int32 size = opus_encode_float(m_opus, m_pending.data(), kPacketFrames, data, sizeof data);
    m_granule += static_cast<ogg_int64_t>(left);
    packet(data, size > 0 ? static_cast<std::size_t>(size) : 0, true, out);
    ogg_stream_clear(&m_ogg);
    m_streamOpen = false;
    m_pending.clear();
}

void OggOpusEncoder::startSong(const std::string& title, Bytes& out)
{
    endStream(out);
    m_title = title;
    beginStream(out);
}

void OggOpusEncoder::restart(Bytes& out)
{
    if (m_streamOpen) {
        ogg_stream_clear(&m_ogg);
        m_streamOpen = false;
    }
    beginStream(out);
}

void OggOpusEncoder::encode(const float* samples, std::size_t frames, Bytes& out)
{
    if (!m_streamOpen)
        beginStream(out);
    if (m_resampler) {
        const int room = swr_get_out_samples(m_resampler, static_cast<int>(frames));
        m_resampled.resize(static_cast<std::size_t>(room) * 2);
        auto* to = reinterpret_cast<std::uint8_t*>(m_resampled.data());
        const auto* from = reinterpret_cast<const std::uint8_t*>(samples);
        const int made = swr_convert(m_resampler, &to, room, &from, static_cast<int>(frames));
        m_pending.insert(m_pending.end(), m_resampled.begin(), m_resampled.begin() + std::max(made, 0) * 2);
    } else {
        m_pending.insert(m_pending.end(), samples, samples + frames * 2);
    }
    unsigned char data[4000];
    std::size_t at = 0;
    while (m_pending.size() - at >= kPacketFrames * 2) {
        const opus_int32 size = opus_encode_float(m_opus, m_pending.data() + at, kPacketFrames, data, sizeof data);
        at += kPacketFrames * 2;
        if (size <= 0)
            continue;
        m_granule += kPacketFrames;
        packet(data, static_cast<std::size_t>(size), false, out);
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(at));
}

} // namespace tavu
