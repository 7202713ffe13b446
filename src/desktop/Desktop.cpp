#include "desktop/Desktop.h"

#include "desktop/DesktopNotifier.h"
#include "desktop/MprisService.h"
#include "desktop/PlayerTray.h"
#include "windows/MainWindow.h"

#include <QSystemTrayIcon>

#include <ostream>

namespace tavu {

Desktop::Desktop(Bot& bot, MainWindow& main, const QDBusConnection& bus, std::ostream& log)
    : m_tray(std::make_unique<PlayerTray>(bot, main, &QSystemTrayIcon::isSystemTrayAvailable))
{
    if (!bus.isConnected()) {
        log << "tavu: no D-Bus session bus; the desktop's media controls and song notifications are off\n";
        return;
    }
    m_mpris = std::make_unique<MprisService>(bot, main, bus);
    if (m_mpris->serviceName().isEmpty())
        log << "tavu: the session bus refused the media player name; the desktop's media controls are off\n";
    m_notifier = std::make_unique<DesktopNotifier>(bot, bus);
}

Desktop::~Desktop() = default;

} // namespace tavu
