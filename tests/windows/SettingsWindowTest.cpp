#include "windows/SettingsWindow.h"
#include "bot/Lifecycle.h"
#include "stream/Radio.h"
#include "support/SimRuntimeFixture.h"
#include "windows/SettingsForm.h"
#include "windows/WelcomeWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu::test {
namespace {

template <class W>
void type(W* window, const char* box, const QString& text)
{
    auto* edit = window->template findChild<QLineEdit*>(QString::fromLatin1(box));
    ASSERT_NE(edit, nullptr) << box;
    edit->clear();
    QTest::keyClicks(edit, text);
}

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

class SettingsWindowTest : public BotFixture {
protected:
    SettingsWindowTest()
    {
        writeBytes(settingsPath(), "[Settings]\r\nTrig=!\r\nHandle=anna\r\n");
        bot->trig = "!";
        window = new SettingsWindow(*bot);
        window->reopenChatRoom = [this] { ++reopened; };
        window->show();
    }
    ~SettingsWindowTest() override { delete window.data(); }

    void ok()
    {
        window->findChild<QDialogButtonBox*>(QStringLiteral("buttons"))->button(QDialogButtonBox::Ok)->click();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void chooseIrc() { window->findChild<QRadioButton*>(QStringLiteral("ircRoom"))->click(); }

    QPointer<SettingsWindow> window;
    int reopened = 0;
};

TEST_F(SettingsWindowTest, OkWithoutChangesStoresNothing)
{
    const std::string before = readBytes(settingsPath());
    ok();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(readBytes(settingsPath()), before);
    EXPECT_EQ(reopened, 0);
}

TEST_F(SettingsWindowTest, EveryFormatHasItsBox)
{
    delete window.data();
    writeBytes(settingsPath(), "[Settings]\r\nTrig=!\r\nHandle=anna\r\n[Library]\r\nFormats=flac m4a\r\n");
    window = new SettingsWindow(*bot);
    window->show();
    const auto box = [this](const char* name) { return window->findChild<QCheckBox*>(QString::fromLatin1(name)); };
    ASSERT_TRUE(box("format_m4a") && box("format_wv") && box("format_ape"));
    EXPECT_TRUE(box("format_m4a")->isChecked());
    EXPECT_FALSE(box("format_wv")->isChecked() || box("format_ape")->isChecked());
    box("format_wv")->setChecked(true);
    box("format_flac")->setChecked(false);
    ok();
    EXPECT_EQ(bot->settings().read(keys::LibraryFormats), "m4a wv");
}

// The library choices made in the window list the songs by them as soon as OK is pressed: the
// songs in folders inside the music folder and the FLAC files show, not only the top-level MP3s.
TEST_F(SettingsWindowTest, OkListsTheSongsByTheNewLibraryChoices)
{
    writeBytes(music.file("a.mp3"), "");
    std::filesystem::create_directories(music.file("Deep/Er"));
    writeBytes(music.file("Deep/Er/b.flac"), "");
    writeBytes(music.file("Deep/c.mp3"), "");
    type(window.data(), "musicFolder", q(music.str()));
    ok();
    ASSERT_EQ(bot->songList.items(), std::vector<std::string>{"a.mp3"});

    window = new SettingsWindow(*bot);
    window->show();
    const auto box = [this](const char* name) { return window->findChild<QCheckBox*>(QString::fromLatin1(name)); };
    box("subfolders")->setChecked(true);
    box("format_flac")->setChecked(true);
    ok();
    EXPECT_EQ(bot->songList.items(), (std::vector<std::string>{"a.mp3", "Deep/c.mp3", "Deep/Er/b.flac"}));
    EXPECT_EQ(bot->playlistRows.items(), bot->songList.items());
}

TEST_F(SettingsWindowTest, WrongInputIsRefusedWithTheReasonAndNotStored)
{
    const std::string before = readBytes(settingsPath());
    chooseIrc();
    type(window.data(), "server", QStringLiteral("127.0.0.1"));
    type(window.data(), "channel", QStringLiteral("#music"));
    type(window.data(), "port", QStringLiteral("66o7"));
    window->findChild<QTabWidget*>(QStringLiteral("tabs"))->setCurrentIndex(0);
    ok();
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->problemLabel()->text(), QStringLiteral("The port must be a number from 1 to 65535."));
    EXPECT_FALSE(window->problemLabel()->isHidden());
    EXPECT_EQ(window->findChild<QTabWidget*>(QStringLiteral("tabs"))->currentIndex(), 1); // the Chat tab
    EXPECT_EQ(readBytes(settingsPath()), before);
    EXPECT_EQ(reopened, 0);

    type(window.data(), "musicFolder", q(music.file("nowhere")));
    type(window.data(), "port", QStringLiteral("6667"));
    ok();
    EXPECT_TRUE(window->problemLabel()->text().startsWith(QStringLiteral("There is no folder")));
    EXPECT_EQ(window->findChild<QTabWidget*>(QStringLiteral("tabs"))->currentIndex(), 0);
    EXPECT_EQ(readBytes(settingsPath()), before);
}

TEST_F(SettingsWindowTest, AChangedChatRoomIsStoredAndReopenedAtOnce)
{
    chooseIrc();
    type(window.data(), "server", QStringLiteral("127.0.0.1"));
    type(window.data(), "port", QStringLiteral("6667"));
    type(window.data(), "channel", QStringLiteral("#music"));
    type(window.data(), "owner", QStringLiteral("boss!*@*.example"));
    type(window.data(), "trigger", QStringLiteral("?"));
    ok();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(reopened, 1);
    const Settings& settings = bot->settings();
    EXPECT_EQ(settings.read(keys::ChatNetwork), "irc");
    EXPECT_EQ(settings.read(keys::ChatServer), "127.0.0.1");
    EXPECT_EQ(settings.read(keys::ChatPort), "6667");
    EXPECT_EQ(settings.read(keys::ChatOwner), "boss!*@*.example");
    EXPECT_EQ(settings.read(keys::ChatPassword), "");
    EXPECT_EQ(bot->trig, "?");
    ownerSays("?vol?");
    EXPECT_EQ(takeLines().size(), 1u);
}

// The stream for the test: it counts how often the settings window says its settings changed.
class CountingRadio : public Radio {
public:
    std::string listenUrl() const override { return {}; }
    void countListeners(std::function<void(std::optional<int>)> done) override { done(std::nullopt); }
    bool onAir() const override { return false; }
    std::optional<int> lastListenerCount() const override { return std::nullopt; }
    void settingsChanged() override { ++changes; }
    int changes = 0;
};

TEST_F(SettingsWindowTest, TheStreamPageRefusesBadInputAndStoresTheRestPrivately)
{
    CountingRadio radio;
    bot->radio = &radio;
    const std::string before = readBytes(settingsPath());
    window->findChild<QCheckBox*>(QStringLiteral("streamEnabled"))->setChecked(true);
    type(window.data(), "streamPassword", QStringLiteral("hackme"));
    type(window.data(), "streamMount", QStringLiteral("tavu"));
    ok();
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->problemLabel()->text().startsWith(QStringLiteral("The mount must start with")));
    EXPECT_EQ(window->findChild<QTabWidget*>(QStringLiteral("tabs"))->currentIndex(), 3); // the Stream tab
    EXPECT_EQ(readBytes(settingsPath()), before);

    type(window.data(), "streamMount", QStringLiteral("/radio"));
    type(window.data(), "streamPort", QStringLiteral("70000"));
    ok();
    EXPECT_EQ(window->problemLabel()->text(), QStringLiteral("The stream's port must be a number from 1 to 65535."));
    type(window.data(), "streamPort", QStringLiteral("8001"));
    ok();
    ASSERT_TRUE(window.isNull());
    EXPECT_EQ(radio.changes, 1);
    EXPECT_EQ(bot->settings().read(keys::StreamEnabled), "1");
    EXPECT_EQ(bot->settings().read(keys::StreamMount), "/radio");
    EXPECT_EQ(bot->settings().read(keys::StreamPort), "8001");
    EXPECT_EQ(bot->settings().read(keys::StreamServer), "") << "untouched boxes write nothing";
    EXPECT_EQ(std::filesystem::status(settingsPath()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    bot->radio = nullptr;
}

// The first start: the welcome window takes the folder and the handle, and start-up then asks
// nothing and announces the songs.
class WelcomeWindowTest : public BotFixture {
protected:
    WelcomeWindowTest()
    {
        writeBytes(music.file("Blue Sky.mp3"), "");
        writeBytes(music.file("Abc.mp3"), "");
        ProgramSettings suggestion;
        suggestion.handle = "anna";
        welcome = new WelcomeWindow(*bot, suggestion);
        welcome->onDone = [this](const SettingsChanges& c) { done.push_back(c); };
        welcome->show();
    }
    ~WelcomeWindowTest() override { delete welcome.data(); }

    void start()
    {
        QTest::mouseClick(welcome->findChild<QPushButton*>(QStringLiteral("start")), Qt::LeftButton);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QPointer<WelcomeWindow> welcome;
    std::vector<SettingsChanges> done;
};

TEST_F(WelcomeWindowTest, LeadsToAStartThatAsksNothing)
{
    ASSERT_FALSE(std::filesystem::exists(settingsPath()));
    EXPECT_EQ(welcome->findChild<QLineEdit*>(QStringLiteral("handle"))->text(), QStringLiteral("anna"));
    EXPECT_TRUE(welcome->findChild<QLabel*>(QStringLiteral("howTo"))->text().contains(QStringLiteral("trig !")));

    type(welcome.data(), "musicFolder", q(dir.str())); // no songs there
    start();
    ASSERT_FALSE(welcome.isNull());
    EXPECT_TRUE(welcome->problemLabel()->text().contains(QStringLiteral("holds no songs")));
    EXPECT_TRUE(done.empty());

    type(welcome.data(), "musicFolder", q(music.str()));
    start();
    EXPECT_TRUE(welcome.isNull());
    ASSERT_EQ(done.size(), 1u);
    EXPECT_TRUE(done[0].folder);
    EXPECT_FALSE(done[0].chatRoom);

    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(takeLines(), (std::vector<std::string>{defaultReply(" By: Quarn "), defaultReply(" Loaded By - [anna] "),
                                                     defaultReply(" Mp3's - [2] ")}));
    ownerSays("trig !");
    ownerSays("!play sky");
    EXPECT_EQ(media.openPath, music.file("Blue Sky.mp3"));
}

TEST_F(WelcomeWindowTest, ClosedWithoutStartingTheUsualQuestionsCome)
{
    welcome->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_FALSE(done[0].any());
    dialogs.inputs.push_back(std::string("Nickname"));
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text, "Please be sure to set your mp3 directory!");
    EXPECT_EQ(dialogs.shown[1].text, "Whats Your Handle?");
}

} // namespace
} // namespace tavu::test
