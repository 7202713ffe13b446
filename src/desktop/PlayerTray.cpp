#include "desktop/PlayerTray.h"

#include "bot/Bot.h"
#include "bot/DesktopControls.h"
#include "bot/PlayerControls.h"
#include "ui/Colours.h"
#include "ui/DisplayName.h"
#include "windows/MainWindow.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

namespace tavu {
namespace {

// The program's icon; where it is not installed (a build tree), a note drawn in the player's colours.
QIcon trayIcon()
{
    QIcon icon = QApplication::windowIcon();
    if (!icon.isNull() && !icon.availableSizes().isEmpty())
        return icon;
    QPixmap picture(64, 64);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(27, 31, 39));
    p.setPen(QPen(QColor(80, 92, 110), 3));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    QFont font = p.font();
    font.setPixelSize(44);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colours::color(colours::Accent));
    p.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("\u266A"));
    return QIcon(picture);
}

} // namespace

PlayerTray::PlayerTray(Bot& bot, MainWindow& main, std::function<bool()> available)
    : m_bot(bot), m_main(main), m_available(std::move(available)), m_menu(new QMenu),
      m_icon(new QSystemTrayIcon(trayIcon(), this))
{
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    buildMenu();
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            m_main.showMain();
    });
    m_following = bot.songStarted.subscribe([this] { showTitle(); });
    showTitle();
    main.installEventFilter(this);
    main.systray = {m_available, [this] { toTray(); }};
}

PlayerTray::~PlayerTray()
{
    m_main.systray = {};
    m_main.removeEventFilter(this);
    delete m_menu;
}

void PlayerTray::buildMenu()
{
    const auto add = [this](const QString& caption, const char* name, auto action) {
        QAction* entry = m_menu->addAction(caption);
        entry->setObjectName(QString::fromLatin1(name));
        connect(entry, &QAction::triggered, this, action);
    };
    add(QStringLiteral("Play / Pause"), "trayPlayPause", [this] { playPause(m_bot); });
    add(QStringLiteral("Next"), "trayNext", [this] { nextClick(m_bot); });
    add(QStringLiteral("Previous"), "trayPrev", [this] { prevClick(m_bot); });
    m_menu->addSeparator();
    add(QStringLiteral("Show Player"), "trayShow", [this] { m_main.showMain(); });
    add(QStringLiteral("Quit"), "trayQuit", [this] { m_main.closeMain(); });
}

void PlayerTray::showTitle()
{
    const std::string& title = m_bot.nowPlaying().title;
    m_icon->setToolTip(title.empty() ? QStringLiteral("Tavu") : QStringLiteral("Tavu - ") + displayName(title));
}

void PlayerTray::toTray()
{
    if (!m_available())
        return; // the player would be gone with no way back
    m_icon->show();
    m_main.hideToTray();
}

// The player is back, by the icon or any other road (the desktop's media controls, the chat).
bool PlayerTray::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_main && event->type() == QEvent::Show)
        m_icon->hide();
    return QObject::eventFilter(watched, event);
}

} // namespace tavu
