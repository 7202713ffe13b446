#include "windows/UpdateWindow.h"

#include "bot/Bot.h"
#include "ui/WindowRoutines.h"
#include "ui/WindowSkin.h"
#include "windows/UpdatePage.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QUrl>

namespace tavu {

namespace {
constexpr int kWidth = 320;
constexpr int kHeight = 150;
constexpr int kCheckTickMs = 122;

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string str(std::string_view s)
{
    return std::string(s);
}
} // namespace

UpdateWindow::UpdateWindow(Bot& bot, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_bot(bot), Text1(new QPlainTextEdit(this)),
      m_fetcher(new UpdateFetcher(this)), clockTimer(bot.runtime(), kCheckTickMs, [this] { return clockTick(); })
{
    setObjectName(QStringLiteral("frmUpdates"));
    setWindowTitle(QStringLiteral("Tavu Update Checker"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);

    skinTitle(QStringLiteral("UPDATE CHECKER"), this)->setGeometry(10, 5, 160, 14);
    Exit = skinButton(SkinButton::Icon::Close, "Exit", QStringLiteral("Close"), this);
    Exit->move(kWidth - 26, 4);
    connect(Exit, &QAbstractButton::clicked, this, [this] {
        m_bot.playSound("Click.wav");
        close();
    });

    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(6, 26, kWidth - 12, kHeight - 32);
    Text1->setReadOnly(true);
    Text1->setStyleSheet(skinFieldStyle(QStringLiteral("QPlainTextEdit")));
    Text1->setPlainText(text(kUpdateCheckingText));

    stayOnTop(this, m_bot.settings());
    installDragHandle(this, this);
    clockTimer.setEnabled(true);
}

UpdateWindow::~UpdateWindow() = default;

void UpdateWindow::setFetchTimeout(std::chrono::milliseconds timeout)
{
    m_fetcher->setTimeout(timeout);
}

// The check runs on the first tick only; the fetch itself goes on in the background.
// A wait still going on when the window goes is dropped with it.
Task<> UpdateWindow::clockTick()
{
    if (m_checkStarted)
        co_return;
    m_checkStarted = true;
    clockTimer.setEnabled(false);
    co_await secondsPass(m_bot.runtime(), 3);
    const QUrl page(text(m_bot.settings().readOr(keys::UpdatePageUrl)));
    m_fetcher->fetch(page, [this](const UpdateFetcher::Result& result) {
        // The question is asked once the task has ended: the window may go while it is open.
        m_tasks.start(pageFetched(result), [this] {
            if (std::exchange(m_offerDownload, false))
                offerDownload();
        });
    });
}

Task<> UpdateWindow::pageFetched(UpdateFetcher::Result result)
{
    if (!result.ok) {
        showText(noUpdateInformationText(result.error.toStdString()));
        co_return;
    }
    const std::string whole = result.page.toStdString();
    showText(whole);
    co_await secondsPass(m_bot.runtime(), 1);
    const std::optional<std::string> announcement = updateAnnouncement(whole);
    if (!announcement) {
        showText(noUpdateInformationText("The update page holds no announcement."));
        co_return;
    }
    showText(*announcement);
    m_offerDownload = announcesUpdate(*announcement);
}

// The download is handed to the desktop, which fetches it the way it fetches any link. The window
// may be gone once the question is answered (the program ending meanwhile), so only the bot is
// used after it.
void UpdateWindow::offerDownload()
{
    Bot& bot = m_bot;
    const std::string download = bot.settings().readOr(keys::UpdateDownloadUrl);
    if (!bot.dialogs().question(str(kUpdateQuestion), str(kUpdateQuestionTitle))) {
        bot.dialogs().message(manualDownloadText(download), str(kUpdateAbortedTitle));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl(text(download))))
        bot.dialogs().message(downloadNotStartedText(download), str(kUpdateQuestionTitle));
}

void UpdateWindow::showText(const std::string& s)
{
    Text1->setPlainText(text(s));
}

void UpdateWindow::paintEvent(QPaintEvent*)
{
    paintWindowSkin(this);
}

} // namespace tavu
