#include "windows/UpdateWindow.h"
#include "support/PumpedQtRuntime.h"
#include "support/SimRuntimeFixture.h"
#include "ui/SkinButton.h"
#include "windows/LocalHttpServer.h"

#include <QApplication>
#include <QDesktopServices>
#include <QNetworkProxy>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

namespace tavu::test {

// Stands in for the desktop's handling of links.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

namespace {

using namespace std::chrono_literals;

const std::string kDownload = "http://127.0.0.1:9/tavu-2.0.tar.gz";
const std::string kQuestion = "Updates are available, would you like to begin downloading?";

QString textOf(const UpdateWindow* window)
{
    return window->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
}

class UpdateWindowTest : public BotFixture {
protected:
    UpdateWindowTest()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        bot->settings().write(keys::UpdatePageUrl, server.url().toStdString());
        bot->settings().write(keys::UpdateDownloadUrl, kDownload);
    }
    ~UpdateWindowTest() override { delete window.data(); }

    void open()
    {
        window = new UpdateWindow(*bot);
        window->setFetchTimeout(5s);
        window->show();
    }
    QString text() const { return textOf(window); }
    // The first tick of the check timer, and the seconds the check waits before it asks for the
    // page (three, counted from the nearest whole second: 3.5 at most).
    void startCheck()
    {
        runtime.advance(122);
        runtime.advance(3500);
    }
    // Runs the event loop until the answer to the page is shown, then the second the window
    // shows the page before it reads its announcement.
    bool finishCheck()
    {
        const bool shown =
            QTest::qWaitFor([&] { return !text().startsWith(QStringLiteral("Checking For Updates")); }, 10000);
        runtime.advance(1500); // a second from the nearest whole one
        return shown;
    }
    void check(const QByteArray& page)
    {
        server.answer(200, page);
        open();
        startCheck();
        ASSERT_TRUE(finishCheck());
    }

    LocalHttpServer server;
    QPointer<UpdateWindow> window;
};

TEST_F(UpdateWindowTest, ChecksOncePerOpening)
{
    server.answer(200, "You have the newest Tavu.<html></html>");
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tavu Update Checker"));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(text(), QStringLiteral("Checking For Updates.....               \nPlease Be Patient....\n"));

    // The check waits before it asks: a request made early would be counted with the one below.
    runtime.advance(100);
    startCheck();
    ASSERT_TRUE(finishCheck());
    runtime.advance(10000);
    EXPECT_EQ(server.requests(), 1);
    EXPECT_EQ(server.lastPath(), QStringLiteral("/update.html"));

    QTest::mouseClick(window->findChild<SkinButton*>(QStringLiteral("Exit")), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    ASSERT_EQ(sound.played.size(), 1u);
    EXPECT_TRUE(sound.played[0].ends_with("Click.wav"));

    open();
    startCheck();
    ASSERT_TRUE(finishCheck());
    EXPECT_EQ(server.requests(), 2);
}

TEST_F(UpdateWindowTest, ClosingWhileTheCheckWaitsEndsItQuietly)
{
    server.answer(200, "Tavu 2.0 *<html>");
    open();
    Timer exitClick(runtime, 1000, [&] {
        exitClick.setEnabled(false);
        QTest::mouseClick(window->findChild<SkinButton*>(QStringLiteral("Exit")), Qt::LeftButton);
    });
    exitClick.setEnabled(true);
    startCheck();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    runtime.advance(5000);
    // A check of a window opened now is the one request the server sees: the closed window's check
    // asked for nothing, and asks nothing.
    check("You have the newest Tavu.<html></html>");
    EXPECT_EQ(server.requests(), 1);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(UpdateWindowTest, TextBeforeTheFirstTagWithoutAStarAsksNothing)
{
    check("Tavu 1.4 is the newest version.<html><body>*</body></html>");
    EXPECT_EQ(text(), QStringLiteral("Tavu 1.4 is the newest version."));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(UpdateWindowTest, AnUpdateDeclinedGivesTheManualDownloadMessageOnce)
{
    UrlCatcher desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &desktop, "open");
    check("Tavu 2.0 is out! *<html></html>");
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));

    EXPECT_EQ(text(), QStringLiteral("Tavu 2.0 is out! *"));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].kind, "question");
    EXPECT_EQ(dialogs.shown[0].title, "Update Tavu");
    EXPECT_EQ(dialogs.shown[0].text, kQuestion);
    EXPECT_EQ(dialogs.shown[1].kind, "message");
    EXPECT_EQ(dialogs.shown[1].title, "Update Aborted");
    EXPECT_EQ(dialogs.shown[1].text,
              "Update aborted, if you wish to download the file manually please visit '" + kDownload + "'");
    EXPECT_TRUE(desktop.urls.isEmpty());

    // The window stays and does not ask again.
    runtime.advance(10000);
    QTest::qWait(50);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(UpdateWindowTest, AnUpdateAcceptedHandsTheDownloadToTheDesktop)
{
    UrlCatcher desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &desktop, "open");
    dialogs.answers = {true};
    check("*<p>new</p>");
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));

    EXPECT_EQ(desktop.urls, QList<QUrl>{QUrl(QString::fromStdString(kDownload))});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, kQuestion);
}

TEST_F(UpdateWindowTest, ADownloadTheDesktopCannotTakeIsReported)
{
    bot->settings().write(keys::UpdateDownloadUrl, "http://[broken");
    dialogs.answers = {true};
    check("*<p>new</p>");
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text, "The download could not be started, please visit 'http://[broken'");
}

enum class Server { Answers, Quiet, Dead };
struct Failure {
    const char* name;
    Server server;
    int status;
    const char* page;
};

class UpdateFailureTest : public UpdateWindowTest, public ::testing::WithParamInterface<Failure> {};

// The window stays usable and says so; nothing is asked, and the program goes on meanwhile.
TEST_P(UpdateFailureTest, ShowsThatNoUpdateInformationWasFound)
{
    const Failure& failure = GetParam();
    if (failure.server == Server::Dead)
        bot->settings().write(keys::UpdatePageUrl, LocalHttpServer::deadUrl().toStdString());
    else if (failure.server == Server::Quiet)
        server.stayQuiet();
    else
        server.answer(failure.status, failure.page);
    open();
    window->setFetchTimeout(300ms);

    startCheck(); // returns while the page is still being fetched
    EXPECT_TRUE(text().startsWith(QStringLiteral("Checking For Updates")));
    int ticks = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] { ++ticks; });
    other.start(10);
    ASSERT_TRUE(finishCheck());
    EXPECT_TRUE(text().startsWith(QStringLiteral("No update information was found.\n"))) << text().toStdString();
    EXPECT_TRUE(dialogs.shown.empty());
    if (failure.server == Server::Quiet) {
        EXPECT_GT(ticks, 0);
    }

    QTest::mouseClick(window->findChild<SkinButton*>(QStringLiteral("Exit")), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

INSTANTIATE_TEST_SUITE_P(Pages, UpdateFailureTest,
                         ::testing::Values(Failure{"NoTag", Server::Answers, 200, "Updates * soon"},
                                           Failure{"Empty", Server::Answers, 200, ""},
                                           Failure{"NotFound", Server::Answers, 404, "*<html>gone</html>"},
                                           Failure{"NeverAnswers", Server::Quiet, 0, ""},
                                           Failure{"NobodyListens", Server::Dead, 0, ""}),
                         [](const ::testing::TestParamInfo<Failure>& row) { return std::string(row.param.name); });

// The program's own event loop, with its real waits of three seconds and one.
TEST(UpdateWindowOnQtLoop, ChecksWhileTheProgramRunsOn)
{
    TestDir dir;
    test::PumpedQtRuntime runtime;
    FakeChatRoom room;
    FakeMediaPlayer media;
    FakeSoundPlayer sound;
    FakeDialogs dialogs;
    FakeFontList fonts;
    Bot bot(runtime, room, dir.str(), {media, sound, dialogs, fonts});
    LocalHttpServer server;
    server.answer(200, "Tavu 2.0 *<html>");
    bot.settings().write(keys::UpdatePageUrl, server.url().toStdString());
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);

    QPointer<UpdateWindow> window = new UpdateWindow(bot);
    window->show();
    int ticks = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] { ++ticks; });
    other.start(50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.shown.size() == 2; }, 20000));
    EXPECT_EQ(textOf(window), QStringLiteral("Tavu 2.0 *"));
    EXPECT_EQ(dialogs.shown[1].title, "Update Aborted");
    EXPECT_EQ(server.requests(), 1);
    EXPECT_GT(ticks, 10);
    delete window.data();
}

} // namespace
} // namespace tavu::test

#include "UpdateWindowTest.moc"
