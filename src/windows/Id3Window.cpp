#include "windows/Id3Window.h"

#include "bot/Bot.h"
#include "bot/ShowSongTag.h"
#include "ui/DisplayName.h"
#include "ui/PlayerPalette.h"
#include "ui/WindowRoutines.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tavu {

namespace {
QFont labelFont()
{
    QFont font(QStringLiteral("Arial Narrow"));
    font.setPointSize(9);
    return font;
}
} // namespace

Id3Window::Id3Window(Bot& bot, QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_bot(bot)
{
    setObjectName(QStringLiteral("FrmID3"));
    setWindowTitle(QStringLiteral("ID3 Tag"));
    applyPlayerPalette(this);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 5, 6, 5);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    txtTrack1 = addField(QStringLiteral("Song:"), "txtTrack1", 0);
    txtArtist1 = addField(QStringLiteral("Artist:"), "txtArtist1", 1);
    txtAlbum1 = addField(QStringLiteral("Album:"), "txtAlbum1", 2);
    txtYear1 = addField(QStringLiteral("Year:"), "txtYear1", 3);
    txtYear1->setMaximumWidth(52);
    txtComments1 = addField(QStringLiteral("Comnt:"), "txtComments1", 4);

    auto* genreLabel = new QLabel(QStringLiteral("Genre:"), this);
    genreLabel->setFont(labelFont());
    cbogenre1 = new QComboBox(this);
    cbogenre1->setObjectName(QStringLiteral("cbogenre1"));
    cbogenre1->setEditable(true);
    grid->addWidget(genreLabel, 5, 0);
    grid->addWidget(cbogenre1, 5, 1);

    Exit = new QPushButton(QStringLiteral("Exit"), this);
    Exit->setObjectName(QStringLiteral("Exit"));
    Exit->setFlat(true);
    Exit->setCursor(Qt::PointingHandCursor);
    grid->addWidget(Exit, 6, 1, Qt::AlignRight);
    connect(Exit, &QPushButton::clicked, this, [this] { exitClicked(); });

    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->hide();
    lbl1 = new QLabel(this);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    lbl1->hide();

    setFixedWidth(320);
    stayOnTop(this, m_bot.settings());
    installDragHandle(this, this);
    m_following = m_bot.id3.changed.subscribe([this] { refresh(); });
    showSelectedSongTag(m_bot);
}

Id3Window::~Id3Window() = default;

QLineEdit* Id3Window::addField(const QString& caption, const char* name, int row)
{
    auto* label = new QLabel(caption, this);
    label->setFont(labelFont());
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromLatin1(name));
    field->setFrame(false);
    auto* grid = static_cast<QGridLayout*>(layout());
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    return field;
}

void Id3Window::showFromOptionsMenu()
{
    show();
    raise();
    if (!m_bot.id3.menuShowedWindow) {
        m_bot.id3.menuShowedWindow = true;
        m_bot.id3.changed();
    }
}

void Id3Window::refresh()
{
    const Id3Fields& id3 = m_bot.id3;
    Text2->setText(displayName(id3.path));
    txtTrack1->setText(QString::fromStdString(id3.tag.title));
    txtArtist1->setText(QString::fromStdString(id3.tag.artist));
    txtAlbum1->setText(QString::fromStdString(id3.tag.album));
    txtYear1->setText(QString::fromStdString(id3.tag.year));
    txtComments1->setText(QString::fromStdString(id3.tag.comment));
    cbogenre1->setEditText(QString::fromStdString(id3.tag.genre));
    lbl1->setText(id3.menuShowedWindow ? QStringLiteral("0") : QStringLiteral("1"));
}

void Id3Window::exitClicked()
{
    m_bot.playSound("Click.wav");
    hide();
}

} // namespace tavu
