#include "windows/SettingsWindow.h"

#include "ui/WindowRoutines.h"

#include "bot/Bot.h"
#include "stream/Radio.h"
#include "windows/SettingsForm.h"
#include "windows/StreamPage.h"

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tavu {
namespace {

// A tab of sections, which scrolls when the window is too small for it.
QWidget* page(QWidget* parent, std::initializer_list<QWidget*> sections)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    for (QWidget* section : sections)
        layout->addWidget(section);
    layout->addStretch();
    auto* scroll = new QScrollArea(parent);
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    return scroll;
}

} // namespace

SettingsWindow::SettingsWindow(Bot& bot, QWidget* parent)
    : QWidget(parent, Qt::Window), m_bot(bot), m_form(new SettingsForm(this)), m_stream(new StreamPage(this)),
      m_tabs(new QTabWidget(this)), m_problem(new QLabel(this))
{
    using S = SettingsForm::Section;
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Tavu Settings"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumWidth(600);
    resize(640, 720);
    // Above the player, which stays on top of other windows.
    stayOnTop(this, m_bot.settings());
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);

    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->addTab(page(m_tabs, {m_form->section(S::Library)}), QStringLiteral("Music"));
    m_tabs->addTab(
        page(m_tabs, {m_form->section(S::Trigger), m_form->section(S::Handle), m_form->section(S::ChatRoom)}),
        QStringLiteral("Chat"));
    m_tabs->addTab(page(m_tabs, {m_form->section(S::Desktop)}), QStringLiteral("Desktop"));
    m_tabs->addTab(page(m_tabs, {m_stream}), QStringLiteral("Stream"));

    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #d9534f;"));
    m_problem->hide();

    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Apply | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (apply())
            close();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] { apply(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);

    m_form->load(ProgramSettings::read(m_bot.settings()));
    m_stream->load(StreamSettings::read(m_bot.settings()));
}

bool SettingsWindow::apply()
{
    // Only what was changed in the window is stored: a change made meanwhile by a chat command
    // stays.
    const ProgramSettings before = m_form->loaded();
    const ProgramSettings after = m_form->collect();
    if (const auto problem = checkSettings(after)) {
        m_problem->setText(QString::fromStdString(problem->reason));
        m_problem->show();
        const int tab = [&] {
            switch (m_form->focusField(problem->field)) {
            case SettingsForm::Section::Library:
                return 0;
            case SettingsForm::Section::Desktop:
                return 2;
            default:
                return 1;
            }
        }();
        m_tabs->setCurrentIndex(tab);
        m_form->focusField(problem->field); // again, now that its tab shows
        return false;
    }
    const StreamSettings streamBefore = m_stream->loaded();
    const StreamSettings streamAfter = m_stream->collect();
    if (const auto problem = checkStreamSettings(streamAfter)) {
        m_problem->setText(QString::fromStdString(problem->reason));
        m_problem->show();
        m_tabs->setCurrentIndex(m_tabs->count() - 1);
        m_stream->focusField(problem->field);
        return false;
    }
    m_problem->hide();
    m_bot.playSound("Click.wav");
    const SettingsChanges changes = storeSettings(m_bot.settings(), before, after);
    if (storeStreamSettings(m_bot.settings(), streamBefore, streamAfter) && m_bot.radio)
        m_bot.radio->settingsChanged();
    m_stream->load(streamAfter);
    m_bot.startTask(applySettings(m_bot, after, changes));
    m_form->load(after);
    if (changes.chatRoom && reopenChatRoom)
        reopenChatRoom();
    return true;
}

} // namespace tavu
