#include "desktop/MprisRoot.h"

#include "bot/SideWindows.h"

namespace tavu {

MprisRoot::MprisRoot(QObject* parent, SideWindows& windows, std::function<void(std::function<void()>)> later)
    : QDBusAbstractAdaptor(parent), m_windows(windows), m_later(std::move(later))
{
}

QString MprisRoot::Identity() const
{
    return QStringLiteral("Tavu");
}

QString MprisRoot::DesktopEntry() const
{
    return QStringLiteral("tavu");
}

QStringList MprisRoot::SupportedUriSchemes() const
{
    return {QStringLiteral("file")};
}

// The songs of the music directory; OpenUri takes no other files.
QStringList MprisRoot::SupportedMimeTypes() const
{
    return {QStringLiteral("audio/mpeg"), QStringLiteral("audio/x-mp3"),        QStringLiteral("audio/flac"),
            QStringLiteral("audio/ogg"),  QStringLiteral("audio/x-vorbis+ogg"), QStringLiteral("audio/opus"),
            QStringLiteral("audio/x-wav")};
}

void MprisRoot::Raise()
{
    m_later([this] { m_windows.showMain(); });
}

void MprisRoot::Quit()
{
    m_later([this] { m_windows.closeMain(); });
}

} // namespace tavu
