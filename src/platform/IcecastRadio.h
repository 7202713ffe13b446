#pragma once

#include "platform/IcecastSource.h"
#include "stream/Radio.h"
#include "stream/StreamSettings.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace tavu {

class Bot;
class AudioTapPoint;

// The program's stream: an Icecast mount fed from the player's tap by an IcecastSource, following
// the bot's songs (their titles) and its player (a long stop closes the mount until the next
// song). Faults are told once each, in plain words, through notice (the chat room window, never
// the room itself). Lives on the UI thread.
class IcecastRadio final : public Radio {
public:
    // tapPoint: where the player offers its music; null when it offers none.
    IcecastRadio(Bot& bot, AudioTapPoint* tapPoint, std::function<void(const std::string&)> notice);
    ~IcecastRadio() override;
    IcecastRadio(const IcecastRadio&) = delete;
    IcecastRadio& operator=(const IcecastRadio&) = delete;

    // Reads the "[Stream]" settings again and starts the stream anew when they changed.
    void settingsChanged() override;

    std::string listenUrl() const override;
    void countListeners(std::function<void(std::optional<int>)> done) override;
    bool onAir() const override { return m_onAir; }
    std::optional<int> lastListenerCount() const override { return m_listeners; }

    // The source while the stream runs (for tests and benchmarks); null while it is off.
    const IcecastSource* source() const { return m_source.get(); }

    // The listeners of the mount in Icecast's status-json.xsl, or nothing when it has no such mount.
    static std::optional<int> listenersInStatus(const QByteArray& json, const std::string& mount);

private:
    void start();
    void stop();
    void onReport(const IcecastSource::Report& report);
    void onPlayState();
    void onSongStarted();
    void setListeners(std::optional<int> count);

    Bot& m_bot;
    AudioTapPoint* m_tapPoint;
    std::function<void(const std::string&)> m_notice;
    StreamSettings m_settings;
    std::shared_ptr<AudioTap> m_tap;
    std::unique_ptr<IcecastSource> m_source;
    std::shared_ptr<int> m_alive; // reports posted by a source that is gone are dropped
    std::unique_ptr<QNetworkAccessManager> m_network;
    QObject m_context;
    QTimer m_idleTimer;
    QTimer m_listenerPoll;
    bool m_onAir = false;
    std::optional<int> m_listeners;
    IcecastSource::Fault m_toldFault = IcecastSource::Fault::None;
    bool m_toldNoTap = false;
    Subscriptions m_following;
};

} // namespace tavu
