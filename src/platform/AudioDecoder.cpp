#include "platform/AudioDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <string_view>
#include <vector>

namespace tavu {
namespace {

constexpr int kIoBufferBytes = 64 * 1024;
// Packets in a row that fail to decode before the stream counts as ended.
constexpr int kMostBadPackets = 64;
// Frames after a seek without a time before the seek's target is taken for their time.
constexpr int kMostUntimedFrames = 32;
// A seek starts decoding this far (in frames at the output's rate) before its target: lossy
// decoders need a few blocks to settle, and what comes before the target is dropped.
constexpr std::int64_t kSeekPreroll = 6000;

int readFile(void* opaque, std::uint8_t* buffer, int size)
{
    const int fd = *static_cast<int*>(opaque);
    for (;;) {
        const ssize_t n = ::read(fd, buffer, static_cast<std::size_t>(size));
        if (n > 0)
            return static_cast<int>(n);
        if (n == 0)
            return AVERROR_EOF;
        if (errno != EINTR)
            return AVERROR(errno);
    }
}

std::int64_t seekFile(void* opaque, std::int64_t offset, int whence)
{
    const int fd = *static_cast<int*>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat st {};
        return ::fstat(fd, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(fd, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : static_cast<std::int64_t>(at);
}

// A regular file, opened without blocking: a FIFO or a device named like a song never stalls us.
int openRegularFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// Without branches, so that copying a decoded frame stays cheap.
float safeSample(float value)
{
    value = value > 1.0f ? 1.0f : value;
    value = value < -1.0f ? -1.0f : value;
    return value == value ? value : 0.0f; // NaN is silence
}

} // namespace

struct AudioDecoder::State {
    int fd = -1;
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    AVRational timeBase{1, 1};
    std::int64_t firstPts = AV_NOPTS_VALUE;

    std::vector<float> pending; // decoded frames not read yet
    std::size_t pendingAt = 0;  // floats of `pending` already read
    std::int64_t nextFrame = 0; // the output frame that the next decoded sample is
    std::int64_t discardUntil = 0;
    bool positionKnown = true;
    bool capAtLength = false;                      // nothing past lengthFrames is given
    int inRate = 0, inFormat = -1, inChannels = 0; // what the resampler was made for
    int untimedFrames = 0;
    bool flushedDecoder = false;
    bool ended = false;

    ~State()
    {
        swr_free(&resampler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        if (io)
            av_freep(&io->buffer);
        avio_context_free(&io);
        if (fd >= 0)
            ::close(fd);
    }
};

AudioDecoder::AudioDecoder(std::unique_ptr<State> state, int rate) : m_state(std::move(state)), m_rate(rate) {}

AudioDecoder::~AudioDecoder() = default;

std::unique_ptr<AudioDecoder> AudioDecoder::open(const std::string& path, int rate)
{
    auto s = std::make_unique<State>();
    s->fd = openRegularFile(path);
    if (s->fd < 0)
        return nullptr;
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferBytes));
    if (!buffer)
        return nullptr;
    s->io = avio_alloc_context(buffer, kIoBufferBytes, 0, &s->fd, readFile, nullptr, seekFile);
    if (!s->io) {
        av_free(buffer);
        return nullptr;
    }
    s->format = avformat_alloc_context();
    if (!s->format)
        return nullptr;
    s->format->pb = s->io;
    s->format->flags |= AVFMT_FLAG_CUSTOM_IO;
    // No file name: the format is probed from the content alone. An MP3's table of contents is
    // only a rough guide to where a time is; without it FFmpeg finds the frame itself.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "usetoc", "0", 0);
    const int opened = avformat_open_input(&s->format, "", nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) {
        s->format = nullptr; // freed by the failed open
        return nullptr;
    }
    if (avformat_find_stream_info(s->format, nullptr) < 0)
        return nullptr;
    const AVCodec* codec = nullptr;
    s->stream = av_find_best_stream(s->format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (s->stream < 0 || !codec)
        return nullptr;
    for (unsigned i = 0; i < s->format->nb_streams; ++i)
        if (static_cast<int>(i) != s->stream)
            s->format->streams[i]->discard = AVDISCARD_ALL;
    AVStream* stream = s->format->streams[s->stream];
    s->timeBase = stream->time_base;
    s->codec = avcodec_alloc_context3(codec);
    if (!s->codec || avcodec_parameters_to_context(s->codec, stream->codecpar) < 0)
        return nullptr;
    s->codec->pkt_timebase = stream->time_base;
    s->codec->thread_count = 1;
    if (avcodec_open2(s->codec, codec, nullptr) < 0)
        return nullptr;
    s->packet = av_packet_alloc();
    s->frame = av_frame_alloc();
    if (!s->packet || !s->frame)
        return nullptr;

    std::unique_ptr<AudioDecoder> decoder(new AudioDecoder(std::move(s), rate));
    State& st = *decoder->m_state;
    std::int64_t length = 0;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        // The stream's length counts the encoder's delay (an MP3's skipped start, Opus pre-skip),
        // which the decoder leaves out.
        std::int64_t ticks = stream->duration;
        if (stream->start_time != AV_NOPTS_VALUE && stream->start_time > 0)
            ticks -= stream->start_time;
        if (stream->codecpar->initial_padding > 0 && stream->codecpar->sample_rate > 0)
            ticks -= av_rescale_q(stream->codecpar->initial_padding, AVRational{1, stream->codecpar->sample_rate},
                                  stream->time_base);
        length = av_rescale_q(std::max<std::int64_t>(ticks, 0), stream->time_base, AVRational{1, rate});
    } else if (st.format->duration != AV_NOPTS_VALUE && st.format->duration > 0) {
        length = av_rescale(st.format->duration, rate, AV_TIME_BASE);
    }
    decoder->m_lengthFrames = length;
    // An MP4 file's length is exact (its edit list); the AAC decoder would give the encoder's padding
    // at the end as well.
    st.capAtLength = length > 0 && std::string_view(st.format->iformat->name).find("mp4") != std::string_view::npos;
    // A file that decodes to nothing is no song.
    if (!decoder->decodeMore())
        return nullptr;
    return decoder;
}

const char* AudioDecoder::codecName() const
{
    return m_state->codec->codec->name;
}

void AudioDecoder::restartResampler()
{
    State& s = *m_state;
    swr_free(&s.resampler);
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    AVChannelLayout in{};
    if (s.frame->ch_layout.nb_channels > 0)
        av_channel_layout_copy(&in, &s.frame->ch_layout);
    else
        av_channel_layout_default(&in, std::max(1, s.codec->ch_layout.nb_channels));
    if (in.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&in, in.nb_channels);
    const int made =
        swr_alloc_set_opts2(&s.resampler, &stereo, AV_SAMPLE_FMT_FLT, m_rate, &in,
                            static_cast<AVSampleFormat>(s.frame->format), s.frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    s.inRate = s.frame->sample_rate;
    s.inFormat = s.frame->format;
    s.inChannels = s.frame->ch_layout.nb_channels;
    if (made < 0 || swr_init(s.resampler) < 0)
        swr_free(&s.resampler);
}

// Decodes until there are frames pending or the stream has ended; false at the end.
bool AudioDecoder::decodeMore()
{
    State& s = *m_state;
    int badPackets = 0;
    while (!s.ended && s.pendingAt >= s.pending.size()) {
        s.pending.clear();
        s.pendingAt = 0;
        int got = avcodec_receive_frame(s.codec, s.frame);
        if (got == AVERROR(EAGAIN)) {
            if (s.flushedDecoder) {
                got = AVERROR_EOF;
            } else {
                const int read = av_read_frame(s.format, s.packet);
                if (read < 0) {
                    avcodec_send_packet(s.codec, nullptr); // the decoder gives what it holds back
                    s.flushedDecoder = true;
                } else {
                    if (s.packet->stream_index == s.stream && avcodec_send_packet(s.codec, s.packet) < 0 &&
                        ++badPackets > kMostBadPackets)
                        s.ended = true;
                    av_packet_unref(s.packet);
                }
                continue;
            }
        }
        if (got < 0) {
            if (got != AVERROR_EOF && ++badPackets <= kMostBadPackets)
                continue; // a broken frame: go on with the next packet
            // The end: what the resampler holds back comes out last.
            if (s.resampler) {
                const int out = swr_get_out_samples(s.resampler, 0);
                if (out > 0) {
                    s.pending.resize(static_cast<std::size_t>(out) * 2);
                    auto* dst = reinterpret_cast<std::uint8_t*>(s.pending.data());
                    const int n = swr_convert(s.resampler, &dst, out, nullptr, 0);
                    s.pending.resize(static_cast<std::size_t>(std::max(n, 0)) * 2);
                }
                swr_free(&s.resampler);
            }
            s.ended = true;
        } else {
            badPackets = 0;
            if (s.firstPts == AV_NOPTS_VALUE && s.frame->pts != AV_NOPTS_VALUE)
                s.firstPts = s.frame->pts;
            if (!s.positionKnown) {
                // After a seek the first frame with a time tells where the decoder landed; frames
                // before it (an Ogg page's first packets have none) are dropped.
                if (s.frame->pts == AV_NOPTS_VALUE && ++s.untimedFrames < kMostUntimedFrames) {
                    av_frame_unref(s.frame);
                    continue;
                }
                s.nextFrame = s.frame->pts == AV_NOPTS_VALUE
                                  ? s.discardUntil
                                  : av_rescale_q(s.frame->pts - s.firstPts, s.timeBase, AVRational{1, m_rate});
                s.positionKnown = true;
            }
            if (s.resampler && (s.frame->sample_rate != s.inRate || s.frame->format != s.inFormat ||
                                s.frame->ch_layout.nb_channels != s.inChannels))
                swr_free(&s.resampler);
            if (!s.resampler)
                restartResampler();
            if (!s.resampler) {
                s.ended = true;
                av_frame_unref(s.frame);
                break;
            }
            const int out = swr_get_out_samples(s.resampler, s.frame->nb_samples);
            s.pending.resize(static_cast<std::size_t>(std::max(out, 0)) * 2);
            auto* dst = reinterpret_cast<std::uint8_t*>(s.pending.data());
            const int n = swr_convert(s.resampler, &dst, out, const_cast<const std::uint8_t**>(s.frame->extended_data),
                                      s.frame->nb_samples);
            av_frame_unref(s.frame);
            if (n < 0) { // a frame of another layout or rate: start the resampler anew for the next
                swr_free(&s.resampler);
                s.pending.clear();
                continue;
            }
            s.pending.resize(static_cast<std::size_t>(n) * 2);
        }
        // What comes before a seek's target is dropped here.
        const auto frames = static_cast<std::int64_t>(s.pending.size() / 2);
        if (s.nextFrame < s.discardUntil) {
            const std::int64_t drop = std::min(frames, s.discardUntil - s.nextFrame);
            s.pendingAt = static_cast<std::size_t>(drop) * 2;
        }
        s.nextFrame += frames;
    }
    return s.pendingAt < s.pending.size();
}

std::size_t AudioDecoder::read(float* out, std::size_t frames)
{
    std::size_t done = 0;
    while (done < frames && decodeMore()) {
        State& s = *m_state;
        std::size_t n = std::min(frames - done, (s.pending.size() - s.pendingAt) / 2);
        if (s.capAtLength) {
            // The pending frames end at nextFrame.
            const std::int64_t at = s.nextFrame - static_cast<std::int64_t>((s.pending.size() - s.pendingAt) / 2);
            if (at >= m_lengthFrames) {
                s.ended = true;
                s.pending.clear();
                s.pendingAt = 0;
                break;
            }
            n = std::min<std::size_t>(n, static_cast<std::size_t>(m_lengthFrames - at));
        }
        const float* __restrict from = s.pending.data() + s.pendingAt;
        float* __restrict to = out + done * 2;
        for (std::size_t i = 0; i < n * 2; ++i)
            to[i] = safeSample(from[i]);
        s.pendingAt += n * 2;
        done += n;
    }
    return done;
}

bool AudioDecoder::seek(std::int64_t frame)
{
    State& s = *m_state;
    frame = std::max<std::int64_t>(frame, 0);
    const std::int64_t base = s.firstPts == AV_NOPTS_VALUE ? 0 : s.firstPts;
    const std::int64_t target =
        base + av_rescale_q(std::max<std::int64_t>(frame - kSeekPreroll, 0), AVRational{1, m_rate}, s.timeBase);
    if (av_seek_frame(s.format, s.stream, target, AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(s.format, s.stream, base, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(s.codec);
    swr_free(&s.resampler);
    s.pending.clear();
    s.pendingAt = 0;
    s.flushedDecoder = false;
    s.ended = false;
    s.positionKnown = false;
    s.untimedFrames = 0;
    s.nextFrame = 0;
    s.discardUntil = frame;
    return true;
}

} // namespace tavu
