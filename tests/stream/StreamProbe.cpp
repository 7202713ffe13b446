#include "StreamProbe.h"

#include "support/TestDir.h"

#include <QProcess>

#include <chrono>
#include <cmath>
#include <cstring>
#include <numbers>

namespace tavu::test {

ToneWriter::ToneWriter(std::shared_ptr<AudioTap> tap, double frequency, double amplitude, int rate)
    : m_tap(std::move(tap)), m_frequency(frequency), m_amplitude(amplitude), m_rate(rate)
{
    m_tap->setSampleRate(rate);
    m_thread = std::thread([this] {
        constexpr std::size_t kChunk = 1024; // about what a sound card asks for at once
        std::vector<float> chunk(kChunk * 2);
        double phase = 0;
        auto next = std::chrono::steady_clock::now();
        while (!m_stop.load()) {
            const double now = m_frequency.load();
            if (now > 0) {
                for (std::size_t i = 0; i < kChunk; ++i) {
                    const auto value = static_cast<float>(m_amplitude * std::sin(phase));
                    chunk[2 * i] = chunk[2 * i + 1] = value;
                    phase += 2 * std::numbers::pi * now / m_rate;
                }
                phase = std::fmod(phase, 2 * std::numbers::pi);
                m_tap->write(chunk.data(), kChunk);
            }
            next += std::chrono::microseconds(kChunk * 1'000'000 / m_rate);
            std::this_thread::sleep_until(next);
        }
    });
}

ToneWriter::~ToneWriter()
{
    m_stop.store(true);
    m_thread.join();
}

namespace {

QByteArray run(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(timeoutMs);
    return process.readAllStandardOutput();
}

} // namespace

std::vector<float> listen(const std::string& url, double seconds)
{
    TestDir dir;
    const QString file = QString::fromStdString(dir.file("heard"));
    run(QStringLiteral("curl"),
        {QStringLiteral("-s"), QStringLiteral("--max-time"), QString::number(seconds), QStringLiteral("-o"), file,
         QString::fromStdString(url)},
        static_cast<int>(seconds * 1000) + 5000);
    const QByteArray pcm =
        run(QStringLiteral("ffmpeg"),
            {QStringLiteral("-v"), QStringLiteral("quiet"), QStringLiteral("-i"), file, QStringLiteral("-f"),
             QStringLiteral("f32le"), QStringLiteral("-af"), QStringLiteral("pan=mono|c0=c0"), QStringLiteral("-ar"),
             QString::number(kProbeRate), QStringLiteral("-")},
            30'000);
    std::vector<float> samples(static_cast<std::size_t>(pcm.size()) / sizeof(float));
    std::memcpy(samples.data(), pcm.data(), samples.size() * sizeof(float));
    return samples;
}

double toneFrequency(const std::vector<float>& samples, int rate)
{
    // Sign changes of the second half, counted between samples clearly away from zero, so that a
    // stretch of the burst's silence (noise around zero) adds none; timed from the first to the last.
    int crossings = 0;
    int sign = 0;
    std::size_t first = 0;
    std::size_t last = 0;
    for (std::size_t i = samples.size() / 2; i < samples.size(); ++i) {
        if (std::abs(samples[i]) < 0.02f)
            continue;
        const int now = samples[i] < 0 ? -1 : 1;
        if (sign == 0) {
            first = i;
        } else if (now != sign) {
            ++crossings;
            last = i;
        }
        sign = now;
    }
    const double seconds = static_cast<double>(last - first) / rate;
    return crossings > 0 && seconds > 0 ? crossings / 2.0 / seconds : 0.0;
}

double rmsLevel(const std::vector<float>& samples)
{
    const std::size_t from = samples.size() / 2;
    double sum = 0;
    for (std::size_t i = from; i < samples.size(); ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return samples.size() > from ? std::sqrt(sum / static_cast<double>(samples.size() - from)) : 0.0;
}

std::string icyTitle(const std::string& url)
{
    // Read as it comes, and stopped at the first metadata block: the stream itself never ends.
    QProcess curl;
    curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-N"), QStringLiteral("-i"),
                                        QStringLiteral("--max-time"), QStringLiteral("5"), QStringLiteral("-H"),
                                        QStringLiteral("Icy-MetaData: 1"), QString::fromStdString(url)});
    QByteArray reply;
    int interval = 0;
    qsizetype bodyAt = -1;
    std::string title;
    while (curl.waitForReadyRead(6000) || curl.bytesAvailable() > 0) {
        reply += curl.readAllStandardOutput();
        if (bodyAt < 0) {
            bodyAt = reply.indexOf("\r\n\r\n");
            if (bodyAt < 0)
                continue;
            const QByteArray headers = reply.left(bodyAt).toLower();
            const qsizetype metaAt = headers.indexOf("icy-metaint:");
            if (metaAt < 0)
                break;
            const qsizetype metaEnd = headers.indexOf("\r\n", metaAt);
            interval = headers.mid(metaAt + 12, metaEnd < 0 ? -1 : metaEnd - metaAt - 12).trimmed().toInt();
            bodyAt += 4;
        }
        // After interval bytes of audio, one byte gives the metadata's length in 16s, then it follows.
        const qsizetype at = bodyAt + interval;
        if (interval <= 0 || reply.size() <= at)
            continue;
        const int length = static_cast<unsigned char>(reply[at]) * 16;
        if (reply.size() < at + 1 + length)
            continue;
        const QByteArray meta = reply.mid(at + 1, length);
        const qsizetype from = meta.indexOf("StreamTitle='");
        if (from >= 0)
            // Icecast sends MP3 titles in ISO 8859-1, the charset of ICY metadata.
            title = QString::fromLatin1(meta.mid(from + 13, meta.indexOf("';", from) - from - 13)).toStdString();
        break;
    }
    curl.kill();
    curl.waitForFinished(2000);
    return title;
}

} // namespace tavu::test
