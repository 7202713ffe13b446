#include "windows/WelcomeWindow.h"

#include "bot/Bot.h"
#include "windows/SettingsForm.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tavu {
namespace {

QGroupBox* step(const QString& title, QWidget* content, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

} // namespace

WelcomeWindow::WelcomeWindow(Bot& bot, const ProgramSettings& suggestion, QWidget* parent)
    : QWidget(parent, Qt::Window), m_bot(bot), m_form(new SettingsForm(this)), m_problem(new QLabel(this))
{
    using S = SettingsForm::Section;
    setObjectName(QStringLiteral("frmWelcome"));
    setWindowTitle(QStringLiteral("Welcome to Tavu"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* heading = new QLabel(QStringLiteral("<h2>Welcome to Tavu</h2>"
                                              "<p>Tavu plays the songs of your music folder, and you run it from a "
                                              "chat room. Three choices, and it is ready; the menu button of the "
                                              "player, Options, Settings (Program), changes them later.</p>"),
                               this);
    heading->setWordWrap(true);

    // Each command stays on one line.
    const auto typed = [](const char* text) {
        return QStringLiteral("<b style=\"white-space: nowrap\">%1</b>").arg(QString::fromLatin1(text));
    };
    auto* howTo = new QLabel(QStringLiteral("<p><b>How to command Tavu:</b> type %1 in the chat room, then %2. "
                                            "Tavu plays the song whose name holds that text, and answers in the "
                                            "room. %3, %4 and %5 work the same way; %6 lists every command, and "
                                            "the player's %7 button explains them all.</p>")
                                 .arg(typed("trig !"), typed("!play part-of-a-name"), typed("!vol 40"), typed("!next"),
                                      typed("!stop"), typed("!help"), typed("?")),
                             this);
    howTo->setObjectName(QStringLiteral("howTo"));
    howTo->setWordWrap(true);

    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #d9534f;"));
    m_problem->hide();

    auto* startButton = new QPushButton(QStringLiteral("Start Tavu"), this);
    startButton->setObjectName(QStringLiteral("start"));
    startButton->setDefault(true);
    startButton->setAutoDefault(true);
    connect(startButton, &QPushButton::clicked, this, [this] { start(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(step(QStringLiteral("1. Your music"), m_form->section(S::Library), this));
    layout->addWidget(step(QStringLiteral("2. Your name"), m_form->section(S::Handle), this));
    layout->addWidget(step(QStringLiteral("3. The chat room"), m_form->section(S::ChatRoom), this));
    layout->addWidget(howTo);
    layout->addWidget(m_problem);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(startButton);
    layout->addLayout(buttons);

    // The boxes start from the settings file, and from the suggestions where it has nothing; what
    // differs from the file when the owner starts is stored.
    ProgramSettings shown = ProgramSettings::read(m_bot.settings());
    if (shown.musicFolder.empty())
        shown.musicFolder = suggestion.musicFolder;
    if (shown.handle.empty())
        shown.handle = suggestion.handle;
    setMinimumWidth(620);
    m_form->load(shown);
    adjustSize();
    m_form->onResized = [this] {
        QMetaObject::invokeMethod(
            this, [this] { adjustSize(); }, Qt::QueuedConnection);
    };
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool WelcomeWindow::start()
{
    const ProgramSettings after = m_form->collect();
    if (const auto problem = checkSettings(after)) {
        m_problem->setText(QString::fromStdString(problem->reason));
        m_problem->show();
        m_form->focusField(problem->field);
        return false;
    }
    m_bot.playSound("Click.wav");
    finish(storeSettings(m_bot.settings(), ProgramSettings::read(m_bot.settings()), after));
    return true;
}

void WelcomeWindow::finish(const SettingsChanges& changes)
{
    auto done = std::move(onDone);
    onDone = nullptr;
    close();
    if (done)
        done(changes);
}

void WelcomeWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (auto done = std::move(onDone)) {
        onDone = nullptr;
        done({});
    }
}

} // namespace tavu
