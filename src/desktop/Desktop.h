#pragma once

#include <QDBusConnection>

#include <iosfwd>
#include <memory>

namespace tavu {

class Bot;
class DesktopNotifier;
class MainWindow;
class MprisService;
class PlayerTray;

// Tavu as a citizen of the Linux desktop: its media controls (MPRIS) and song notifications on the
// session bus, and its tray icon. Without a session bus (a bare server) it says so once on log and
// runs on without the first two.
class Desktop {
public:
    Desktop(Bot& bot, MainWindow& main, const QDBusConnection& bus, std::ostream& log);
    ~Desktop();

    MprisService* mpris() const { return m_mpris.get(); }
    DesktopNotifier* notifier() const { return m_notifier.get(); }
    PlayerTray& tray() const { return *m_tray; }

private:
    std::unique_ptr<MprisService> m_mpris;
    std::unique_ptr<DesktopNotifier> m_notifier;
    std::unique_ptr<PlayerTray> m_tray;
};

} // namespace tavu
