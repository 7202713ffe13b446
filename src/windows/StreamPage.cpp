#include "windows/StreamPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tavu {
namespace {

QLineEdit* lineEdit(const char* name, const QString& placeholder, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setPlaceholderText(placeholder);
    return edit;
}

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string s(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

} // namespace

StreamPage::StreamPage(QWidget* parent)
    : QWidget(parent), m_enabled(new QCheckBox(QStringLiteral("Send the music to an Icecast server"), this)),
      m_box(new QWidget(this))
{
    setObjectName(QStringLiteral("streamPage"));
    m_enabled->setObjectName(QStringLiteral("streamEnabled"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_enabled);
    auto* intro = new QLabel(QStringLiteral("The room then hears what Tavu plays: !listen tells them where."), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    layout->addWidget(m_box);

    auto* form = new QFormLayout(m_box);
    form->setContentsMargins(24, 0, 0, 0);
    m_server = lineEdit("streamServer", QStringLiteral("localhost"), m_box);
    form->addRow(QStringLiteral("Server:"), m_server);
    m_port = lineEdit("streamPort", QStringLiteral("8000"), m_box);
    form->addRow(QStringLiteral("Port:"), m_port);
    m_mount = lineEdit("streamMount", QStringLiteral("/tavu"), m_box);
    form->addRow(QStringLiteral("Mount:"), m_mount);
    m_user = lineEdit("streamUser", QStringLiteral("source"), m_box);
    form->addRow(QStringLiteral("Source user:"), m_user);
    m_password = lineEdit("streamPassword", QStringLiteral("the server's source password"), m_box);
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Password:"), m_password);
    m_tls = new QComboBox(m_box);
    m_tls->setObjectName(QStringLiteral("streamTls"));
    m_tls->addItems({QStringLiteral("No, a plain connection"), QStringLiteral("Yes, TLS")});
    form->addRow(QStringLiteral("TLS:"), m_tls);
    m_format = new QComboBox(m_box);
    m_format->setObjectName(QStringLiteral("streamFormat"));
    m_format->addItems({QStringLiteral("MP3"), QStringLiteral("Ogg Opus")});
    form->addRow(QStringLiteral("Format:"), m_format);
    m_bitrate = lineEdit("streamBitrate", QStringLiteral("128"), m_box);
    form->addRow(QStringLiteral("Bit rate (kbit/s):"), m_bitrate);
    m_volume = lineEdit("streamVolume", QStringLiteral("100"), m_box);
    form->addRow(QStringLiteral("Stream volume (0-100):"), m_volume);
    m_name = lineEdit("streamName", QStringLiteral("Tavu"), m_box);
    form->addRow(QStringLiteral("Stream name:"), m_name);
    m_description = lineEdit("streamDescription", QStringLiteral("none"), m_box);
    form->addRow(QStringLiteral("Description:"), m_description);
    m_genre = lineEdit("streamGenre", QStringLiteral("none"), m_box);
    form->addRow(QStringLiteral("Genre:"), m_genre);
    m_publicUrl = lineEdit("streamPublicUrl", QStringLiteral("empty: the server's own address of the mount"), m_box);
    form->addRow(QStringLiteral("Public URL:"), m_publicUrl);
    m_idleMinutes = lineEdit("streamIdleMinutes", QStringLiteral("30"), m_box);
    form->addRow(QStringLiteral("Close after stopped (minutes):"), m_idleMinutes);
    auto* note = new QLabel(QStringLiteral("The password is kept in Tavu.ini, which then only you can read. The "
                                           "owner's volume, balance and mute change the speakers only."),
                            m_box);
    note->setWordWrap(true);
    form->addRow(QString(), note);
    connect(m_enabled, &QCheckBox::toggled, this, &StreamPage::showEnabled);
}

void StreamPage::showEnabled()
{
    m_box->setEnabled(m_enabled->isChecked());
}

void StreamPage::load(const StreamSettings& c)
{
    m_loaded = c;
    m_enabled->setChecked(c.enabled);
    m_server->setText(q(c.server));
    m_port->setText(q(c.port));
    m_mount->setText(q(c.mount));
    m_user->setText(q(c.user));
    m_password->setText(q(c.password));
    m_tls->setCurrentIndex(c.tls ? 1 : 0);
    m_format->setCurrentIndex(c.format == StreamSettings::Format::Opus ? 1 : 0);
    m_bitrate->setText(q(c.bitrate));
    m_name->setText(q(c.name));
    m_description->setText(q(c.description));
    m_genre->setText(q(c.genre));
    m_publicUrl->setText(q(c.publicUrl));
    m_volume->setText(q(c.volume));
    m_idleMinutes->setText(q(c.idleMinutes));
    showEnabled();
}

StreamSettings StreamPage::collect() const
{
    StreamSettings c;
    c.enabled = m_enabled->isChecked();
    c.server = s(m_server);
    c.port = s(m_port);
    c.mount = s(m_mount);
    c.user = s(m_user);
    c.password = s(m_password);
    c.tls = m_tls->currentIndex() == 1;
    c.format = m_format->currentIndex() == 1 ? StreamSettings::Format::Opus : StreamSettings::Format::Mp3;
    c.bitrate = s(m_bitrate);
    c.name = s(m_name);
    c.description = s(m_description);
    c.genre = s(m_genre);
    c.publicUrl = s(m_publicUrl);
    c.volume = s(m_volume);
    c.idleMinutes = s(m_idleMinutes);
    return c;
}

bool StreamPage::focusField(const std::string& field)
{
    auto* box = findChild<QWidget*>(QString::fromStdString(field));
    if (!box)
        return false;
    box->setFocus();
    return true;
}

} // namespace tavu
