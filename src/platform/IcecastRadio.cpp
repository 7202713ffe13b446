#include "platform/IcecastRadio.h"

#include "bot/Bot.h"
#include "bot/PlayerControls.h"
#include "player/AudioTap.h"
#include "util/Runtime.h"
#include "util/Text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <cmath>

namespace tavu {
namespace {

constexpr int kListenerWaitMs = 2000;
constexpr int kListenerPollMs = 15'000;

IcecastTarget targetOf(const StreamSettings& s)
{
    IcecastTarget t;
    t.host = std::string(trimmed(s.server));
    t.port = s.portNumber();
    t.mount = std::string(trimmed(s.mount));
    t.user = s.user;
    t.password = s.password;
    t.tls = s.tls;
    t.format = s.format == StreamSettings::Format::Opus ? IcecastTarget::Format::Opus : IcecastTarget::Format::Mp3;
    t.kbps = s.bitrateKbps();
    t.name = s.name;
    t.description = s.description;
    t.genre = s.genre;
    t.url = s.listenUrl();
    // The same curve as the player's volume: 100 is full level, each step down a little quieter.
    t.gain = s.volumeLevel() == 0 ? 0.0 : std::pow(10.0, volumeToAttenuation(s.volumeLevel()) / 2000.0);
    return t;
}

std::string faultText(IcecastSource::Fault fault, const StreamSettings& s, const std::string& detail)
{
    const std::string server = std::string(trimmed(s.server)) + ":" + std::to_string(s.portNumber());
    const std::string again = " Tavu tries again on its own.";
    switch (fault) {
    case IcecastSource::Fault::Unreachable:
        return "The stream cannot reach the Icecast server at " + server + " (" + detail + ")." + again;
    case IcecastSource::Fault::Refused:
        return "The Icecast server at " + server +
               " refused the stream: the source user or password is wrong, "
               "or another source holds the mount " +
               std::string(trimmed(s.mount)) + "." + again;
    case IcecastSource::Fault::Tls:
        return "The stream could not talk to the Icecast server at " + server + ": its TLS setting (" +
               (s.tls ? "on" : "off") + ") does not match the server's port." + again;
    case IcecastSource::Fault::Lost:
        return "The stream lost its connection to the Icecast server at " + server + "." + again;
    case IcecastSource::Fault::Encoder:
        return "The stream cannot encode the music: " + detail + "." + again;
    case IcecastSource::Fault::None:
        break;
    }
    return {};
}

} // namespace

IcecastRadio::IcecastRadio(Bot& bot, AudioTapPoint* tapPoint, std::function<void(const std::string&)> notice)
    : m_bot(bot), m_tapPoint(tapPoint), m_notice(std::move(notice)), m_settings(StreamSettings::read(bot.settings())),
      m_alive(std::make_shared<int>(0))
{
    m_idleTimer.setSingleShot(true);
    QObject::connect(&m_idleTimer, &QTimer::timeout, &m_context, [this] {
        if (m_source)
            m_source->setIdle(true);
    });
    QObject::connect(&m_listenerPoll, &QTimer::timeout, &m_context,
                     [this] { countListeners([](std::optional<int>) {}); });
    m_following.follow(bot.songStarted, [this] { onSongStarted(); });
    m_following.follow(bot.playStateChanged, [this] { onPlayState(); });
    start();
}

IcecastRadio::~IcecastRadio()
{
    stop();
}

void IcecastRadio::settingsChanged()
{
    const StreamSettings now = StreamSettings::read(m_bot.settings());
    if (now == m_settings)
        return;
    stop();
    m_settings = now;
    m_toldFault = IcecastSource::Fault::None;
    start();
}

void IcecastRadio::start()
{
    if (!m_settings.enabled)
        return;
    if (const auto problem = checkStreamSettings(m_settings)) {
        if (m_notice)
            m_notice("The stream is turned on in the settings, but it cannot start: " + problem->reason);
        return;
    }
    if (!m_tapPoint) {
        if (!m_toldNoTap && m_notice)
            m_notice("The stream is turned on in the settings, but this player offers no music to stream.");
        m_toldNoTap = true;
        return;
    }
    m_tap = IcecastSource::makeTap();
    std::weak_ptr<int> alive = m_alive;
    Runtime& runtime = m_bot.runtime();
    m_source = std::make_unique<IcecastSource>(targetOf(m_settings), m_tap,
                                               [alive, &runtime, this](const IcecastSource::Report& report) {
                                                   runtime.post([alive, report, this] {
                                                       if (alive.lock())
                                                           onReport(report);
                                                   });
                                               });
    if (!m_bot.nowPlaying().song.empty())
        m_source->setTitle(streamTitle(m_bot.nowPlaying()));
    m_tapPoint->attach(m_tap);
    onPlayState();
}

void IcecastRadio::stop()
{
    if (m_tapPoint)
        m_tapPoint->detach();
    m_source.reset();
    m_tap.reset();
    m_alive = std::make_shared<int>(0); // what the old source posted is dropped
    m_idleTimer.stop();
    m_listenerPoll.stop();
    if (m_onAir || m_listeners) {
        m_onAir = false;
        m_listeners.reset();
        changed();
    }
}

std::string IcecastRadio::listenUrl() const
{
    return m_source ? m_settings.listenUrl() : std::string();
}

void IcecastRadio::onReport(const IcecastSource::Report& report)
{
    if (report.open) {
        if (m_toldFault != IcecastSource::Fault::None && m_notice)
            m_notice("The stream is on the air again: " + m_settings.listenUrl());
        m_toldFault = IcecastSource::Fault::None;
        m_onAir = true;
        m_listenerPoll.start(kListenerPollMs);
        changed();
        countListeners([](std::optional<int>) {});
        return;
    }
    m_listenerPoll.stop();
    const bool wasOnAir = m_onAir;
    m_onAir = false;
    m_listeners.reset();
    if (wasOnAir)
        changed();
    if (report.fault != IcecastSource::Fault::None && report.fault != m_toldFault) {
        m_toldFault = report.fault;
        if (m_notice)
            m_notice(faultText(report.fault, m_settings, report.detail));
    }
}

void IcecastRadio::onPlayState()
{
    if (!m_source)
        return;
    if (m_bot.media().playState() != MediaPlayer::Stopped) {
        m_idleTimer.stop();
        m_source->setIdle(false);
    } else if (!m_idleTimer.isActive() && m_settings.idleMinutesValue() > 0) {
        m_idleTimer.start(m_settings.idleMinutesValue() * 60'000);
    }
}

void IcecastRadio::onSongStarted()
{
    if (!m_source)
        return;
    m_source->setTitle(streamTitle(m_bot.nowPlaying()));
    m_idleTimer.stop();
    m_source->setIdle(false);
}

void IcecastRadio::setListeners(std::optional<int> count)
{
    if (count == m_listeners)
        return;
    m_listeners = count;
    changed();
}

void IcecastRadio::countListeners(std::function<void(std::optional<int>)> done)
{
    if (!m_source) {
        done(std::nullopt);
        return;
    }
    if (!m_network)
        m_network = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(QUrl(QString::fromStdString(m_settings.serverUrl("/status-json.xsl"))));
    request.setTransferTimeout(kListenerWaitMs);
    QNetworkReply* reply = m_network->get(request);
    std::weak_ptr<int> alive = m_alive;
    QObject::connect(reply, &QNetworkReply::finished, &m_context, [this, alive, reply, done = std::move(done)] {
        reply->deleteLater();
        std::optional<int> count;
        if (reply->error() == QNetworkReply::NoError)
            count = listenersInStatus(reply->readAll(), std::string(trimmed(m_settings.mount)));
        if (alive.lock() && m_onAir)
            setListeners(count);
        done(count);
    });
}

std::optional<int> IcecastRadio::listenersInStatus(const QByteArray& json, const std::string& mount)
{
    const QJsonValue sources = QJsonDocument::fromJson(json)
                                   .object()
                                   .value(QStringLiteral("icestats"))
                                   .toObject()
                                   .value(QStringLiteral("source"));
    // One source is an object, several an array.
    const QJsonArray all = sources.isArray() ? sources.toArray() : QJsonArray{sources};
    const QString wanted = QString::fromStdString(mount);
    for (const QJsonValue& source : all) {
        const QJsonObject fields = source.toObject();
        const QUrl url(fields.value(QStringLiteral("listenurl")).toString());
        if (url.path() == wanted && fields.value(QStringLiteral("listeners")).isDouble())
            return fields.value(QStringLiteral("listeners")).toInt();
    }
    return std::nullopt;
}

} // namespace tavu
