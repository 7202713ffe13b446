#include "windows/SettingsForm.h"

#include "player/LibraryOptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavu {
namespace {

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string s(const QLineEdit* box)
{
    return box->text().toStdString();
}

QLineEdit* lineEdit(const char* name, const QString& placeholder, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setPlaceholderText(placeholder);
    return box;
}

QCheckBox* checkBox(const char* name, const QString& text, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLabel* note(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    label->setFont(small);
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QFormLayout* formOf(QWidget* section)
{
    auto* form = new QFormLayout(section);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return form;
}

} // namespace

SettingsForm::SettingsForm(QWidget* owner) : QObject(owner)
{
    m_sections[static_cast<int>(Section::Library)] = buildLibrary(owner);
    m_sections[static_cast<int>(Section::Trigger)] = buildTrigger(owner);
    m_sections[static_cast<int>(Section::Handle)] = buildHandle(owner);
    m_sections[static_cast<int>(Section::ChatRoom)] = buildChatRoom(owner);
    m_sections[static_cast<int>(Section::Desktop)] = buildDesktop(owner);
    for (QWidget* section : m_sections)
        section->hide();
}

QWidget* SettingsForm::section(Section section) const
{
    QWidget* box = m_sections[static_cast<int>(section)];
    box->show();
    return box;
}

QWidget* SettingsForm::buildLibrary(QWidget* owner)
{
    auto* section = new QWidget(owner);
    QFormLayout* form = formOf(section);
    m_folder = lineEdit("musicFolder", QStringLiteral("the folder that holds your songs"), section);
    auto* choose = new QPushButton(QStringLiteral("Choose…"), section);
    choose->setObjectName(QStringLiteral("chooseFolder"));
    connect(choose, &QPushButton::clicked, this, &SettingsForm::chooseFolder);
    auto* row = new QHBoxLayout;
    row->addWidget(m_folder, 1);
    row->addWidget(choose);
    form->addRow(QStringLiteral("Music folder:"), row);
    m_subfolders = checkBox("subfolders", QStringLiteral("Also the songs in the folders inside it"), section);
    form->addRow(QString(), m_subfolders);
    auto* formatRow = new QHBoxLayout;
    for (const FormatChoice& format : formatChoices()) {
        auto* box =
            checkBox(("format_" + std::string(format.extension)).c_str(),
                     QString::fromLatin1(format.name.data(), static_cast<qsizetype>(format.name.size())), section);
        m_formats.push_back(box);
        formatRow->addWidget(box);
    }
    formatRow->addStretch();
    form->addRow(QStringLiteral("Besides MP3, play:"), formatRow);
    m_tagTitles = checkBox("tagTitles", QStringLiteral("Titles from the songs' tags (Artist - Title)"), section);
    form->addRow(QString(), m_tagTitles);
    return section;
}

QWidget* SettingsForm::buildTrigger(QWidget* owner)
{
    auto* section = new QWidget(owner);
    QFormLayout* form = formOf(section);
    m_trigger = lineEdit("trigger", QStringLiteral("none: the bare words are commands"), section);
    form->addRow(QStringLiteral("Trigger:"), m_trigger);
    form->addRow(QString(),
                 note(QStringLiteral("Typed glued to a command word: with ! you type !play or !vol 40."), section));
    return section;
}

QWidget* SettingsForm::buildHandle(QWidget* owner)
{
    auto* section = new QWidget(owner);
    QFormLayout* form = formOf(section);
    m_handle = lineEdit("handle", QStringLiteral("your name"), section);
    form->addRow(QStringLiteral("Your handle:"), m_handle);
    form->addRow(QString(), note(QStringLiteral("Tavu announces it as the one who loaded it."), section));
    return section;
}

QWidget* SettingsForm::buildChatRoom(QWidget* owner)
{
    auto* section = new QWidget(owner);
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* choice = new QButtonGroup(section);
    m_local = new QRadioButton(QStringLiteral("Tavu's own chat room window"), section);
    m_local->setObjectName(QStringLiteral("localRoom"));
    m_irc = new QRadioButton(QStringLiteral("An IRC channel"), section);
    m_irc->setObjectName(QStringLiteral("ircRoom"));
    choice->addButton(m_local);
    choice->addButton(m_irc);

    auto* localBox = new QWidget(section);
    QFormLayout* localForm = formOf(localBox);
    localForm->setContentsMargins(24, 0, 0, 0);
    m_screenName = lineEdit("screenName", QStringLiteral("your login name"), localBox);
    localForm->addRow(QStringLiteral("Your name there:"), m_screenName);

    m_ircBox = new QWidget(section);
    QFormLayout* form = formOf(m_ircBox);
    form->setContentsMargins(24, 0, 0, 0);
    m_server = lineEdit("server", QStringLiteral("such as irc.libera.chat"), m_ircBox);
    form->addRow(QStringLiteral("Server:"), m_server);
    m_port = lineEdit("port", QStringLiteral("6697 with TLS, 6667 without"), m_ircBox);
    form->addRow(QStringLiteral("Port:"), m_port);
    m_tls = new QComboBox(m_ircBox);
    m_tls->setObjectName(QStringLiteral("tls"));
    m_tls->addItems({QStringLiteral("No, a plain connection"), QStringLiteral("Yes, with the certificate checked"),
                     QStringLiteral("Yes, and a self-signed certificate is accepted")});
    form->addRow(QStringLiteral("TLS:"), m_tls);
    m_nick = lineEdit("nick", QStringLiteral("Tavu"), m_ircBox);
    form->addRow(QStringLiteral("Nick:"), m_nick);
    m_channel = lineEdit("channel", QStringLiteral("such as #music"), m_ircBox);
    form->addRow(QStringLiteral("Channel:"), m_channel);
    m_password = lineEdit("password", QStringLiteral("none"), m_ircBox);
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Password:"), m_password);
    form->addRow(QString(), note(QStringLiteral("With a password Tavu logs in to the network's services, the nick "
                                                "being the account. It is kept in Tavu.ini, which then only you "
                                                "can read."),
                                 m_ircBox));
    m_owner = lineEdit("owner", QStringLiteral("empty: you type in Tavu's chat room window"), m_ircBox);
    form->addRow(QStringLiteral("Owner mask:"), m_owner);
    form->addRow(QString(), note(QStringLiteral("To command Tavu from any IRC client, give your nick!user@host "
                                                "(* and ? allowed); only lines that match it are obeyed."),
                                 m_ircBox));
    m_format = new QComboBox(m_ircBox);
    m_format->setObjectName(QStringLiteral("format"));
    m_format->addItems({QStringLiteral("IRC colours"), QStringLiteral("HTML, sent as written")});
    form->addRow(QStringLiteral("Replies in:"), m_format);

    layout->addWidget(m_local);
    layout->addWidget(localBox);
    layout->addWidget(m_irc);
    layout->addWidget(m_ircBox);
    m_localBox = localBox;
    connect(m_irc, &QRadioButton::toggled, this, &SettingsForm::showRoomChoice);
    return section;
}

QWidget* SettingsForm::buildDesktop(QWidget* owner)
{
    auto* section = new QWidget(owner);
    auto* layout = new QVBoxLayout(section);
    m_notify = checkBox("notify", QStringLiteral("Show a desktop notification when a song starts"), section);
    m_onTop = checkBox("onTop", QStringLiteral("Keep the player above other windows"), section);
    m_intro = checkBox("intro", QStringLiteral("Show the intro when Tavu starts"), section);
    layout->addWidget(m_notify);
    layout->addWidget(m_onTop);
    layout->addWidget(m_intro);
    layout->addStretch();
    return section;
}

// Only the boxes of the chosen room show; a window that holds the form fits itself to them.
void SettingsForm::showRoomChoice()
{
    m_ircBox->setVisible(m_irc->isChecked());
    m_localBox->setVisible(!m_irc->isChecked());
    if (onResized)
        onResized();
}

void SettingsForm::chooseFolder()
{
    const QString chosen = QFileDialog::getExistingDirectory(
        m_folder->window(), QStringLiteral("Choose your music folder"), m_folder->text(), QFileDialog::ShowDirsOnly);
    if (!chosen.isEmpty())
        m_folder->setText(chosen);
}

void SettingsForm::load(const ProgramSettings& c)
{
    m_loaded = c;
    m_folder->setText(q(c.musicFolder));
    m_subfolders->setChecked(c.subfolders);
    for (std::size_t i = 0; i < m_formats.size(); ++i)
        m_formats[i]->setChecked(c.hasFormat(formatChoices()[i].extension));
    m_tagTitles->setChecked(c.tagTitles);
    m_trigger->setText(q(c.trigger));
    m_handle->setText(q(c.handle));
    (c.irc ? m_irc : m_local)->setChecked(true);
    showRoomChoice();
    m_screenName->setText(q(c.screenName));
    m_server->setText(q(c.server));
    m_port->setText(q(c.port));
    m_tls->setCurrentIndex(static_cast<int>(c.tls));
    m_nick->setText(q(c.nick));
    m_channel->setText(q(c.channel));
    m_password->setText(q(c.password));
    m_owner->setText(q(c.owner));
    m_format->setCurrentIndex(c.htmlFormat ? 1 : 0);
    m_notify->setChecked(c.notify);
    m_onTop->setChecked(c.onTop);
    m_intro->setChecked(c.intro);
}

ProgramSettings SettingsForm::collect() const
{
    ProgramSettings c = m_loaded;
    c.musicFolder = s(m_folder);
    c.subfolders = m_subfolders->isChecked();
    for (std::size_t i = 0; i < m_formats.size(); ++i)
        if (m_formats[i]->isChecked() != m_loaded.hasFormat(formatChoices()[i].extension))
            c.setFormat(formatChoices()[i].extension, m_formats[i]->isChecked());
    c.tagTitles = m_tagTitles->isChecked();
    c.trigger = s(m_trigger);
    c.handle = s(m_handle);
    c.irc = m_irc->isChecked();
    c.screenName = s(m_screenName);
    c.server = s(m_server);
    c.port = s(m_port).empty() ? std::string() : m_port->text().trimmed().toStdString();
    c.tls = static_cast<ProgramSettings::Tls>(m_tls->currentIndex());
    c.nick = s(m_nick);
    c.channel = s(m_channel);
    c.password = s(m_password);
    c.owner = s(m_owner);
    c.htmlFormat = m_format->currentIndex() == 1;
    c.notify = m_notify->isChecked();
    c.onTop = m_onTop->isChecked();
    c.intro = m_intro->isChecked();
    return c;
}

SettingsForm::Section SettingsForm::focusField(const std::string& field)
{
    for (int i = 0; i < 5; ++i) {
        if (auto* box = m_sections[i]->findChild<QWidget*>(q(field))) {
            box->setFocus(Qt::OtherFocusReason);
            if (auto* line = qobject_cast<QLineEdit*>(box))
                line->selectAll();
            return static_cast<Section>(i);
        }
    }
    return Section::Library;
}

} // namespace tavu
