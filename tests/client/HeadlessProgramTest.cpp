#include "IrcServerFixture.h"

#include "client/IrcFormatting.h"
#include "settings/Settings.h"
#include "style/Style.h"
#include "support/TestDir.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace tavu::test {
namespace {

using Lines = std::vector<std::string>;

// tavu --headless itself, as a user runs it on a server: no display, no Qt platform, an IRC
// channel on a local ngircd, and the end by a signal.
class HeadlessProgramTest : public IrcServerFixture {
protected:
    HeadlessProgramTest()
    {
        std::filesystem::create_directories(music.path());
        for (const char* name : {"One.mp3", "Two.mp3", "Three.mp3"})
            writeBytes(music.file(name), "");
    }

    void writeSettings(bool withHandle = true, bool withMusic = true, const std::string& network = "irc",
                       const std::string& owner = "boss!*@127.0.0.1")
    {
        const Settings settings(dir.file("Tavu.ini"));
        if (withHandle)
            settings.write(keys::Handle, "Quarn");
        if (withMusic)
            settings.write(keys::Mp3Directory, music.str());
        settings.write(keys::Trig, "!");
        settings.write(keys::ChatNetwork, network);
        settings.write(keys::ChatServer, "127.0.0.1");
        settings.write(keys::ChatPort, std::to_string(ircPort));
        settings.write(keys::ChatNick, kBotNick);
        settings.write(keys::ChatChannel, kChannel);
        settings.write(keys::ChatOwner, owner);
    }

    void startProgram()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TAVU_EXECUTABLE),
                      {QStringLiteral("--headless"), QStringLiteral("--home"), QString::fromStdString(dir.str())});
        ASSERT_TRUE(program.waitForStarted(10'000));
    }

    bool ended(int timeoutMs = 20'000)
    {
        return waitFor([&] { return program.state() == QProcess::NotRunning; }, timeoutMs);
    }

    TestDir music;
    QProcess program;
};

TEST_F(HeadlessProgramTest, AnswersTheOwnerAndEndsOnSigtermWithItsUnloadLines)
{
    ASSERT_TRUE(startServer());
    writeSettings();
    auto owner = joinedClient("boss", "boss");
    ASSERT_TRUE(owner);
    program.setProcessChannelMode(QProcess::MergedChannels);
    startProgram();
    const auto heard = [&](std::size_t n) {
        return owner->waitFor([&] { return owner->saidBy(kBotNick).size() >= n; });
    };
    const auto output = [&] { return program.readAll().toStdString(); };
    ASSERT_TRUE(heard(3)) << output();
    owner->say(kChannel, "!vol 40");
    ASSERT_TRUE(heard(4)) << output();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(ended()) << "tavu did not end on SIGTERM: " << output();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    ASSERT_TRUE(owner->waitFor([&] {
        for (const IrcMessage& m : owner->received())
            if (m.command == "QUIT" && m.nick == kBotNick)
                return true;
        return false;
    })) << output();
    Style style;
    style.loadStyle(dir.file("Tavu.ini"));
    const auto reply = [&](const std::string& body) { return htmlToIrc(style.composeReply(" Tavu ", body)); };
    EXPECT_EQ(owner->saidBy(kBotNick),
              (Lines{reply(" By: Quarn "), reply(" Loaded By - [Quarn] "), reply(" Mp3's - [3] "),
                     reply(" Volume Set - [40] "), reply(" By: Quarn "), reply(" Unloaded By - [Quarn] "),
                     reply(" Mp3's Played: - [0] ")}))
        << output();
    const Settings settings(dir.file("Tavu.ini"));
    EXPECT_EQ(settings.read(keys::Volume), "40");
    EXPECT_EQ(settings.read(keys::Loads), "1");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

// A second signal during the unload announcements ends it at once: the lines still to come are
// dropped, and it signs off with QUIT.
TEST_F(HeadlessProgramTest, ASecondSignalDuringTheShutdownEndsItAtOnceWithQuit)
{
    ASSERT_TRUE(startServer());
    writeSettings();
    auto owner = joinedClient("boss", "boss");
    ASSERT_TRUE(owner);
    program.setProcessChannelMode(QProcess::MergedChannels);
    startProgram();
    const auto heard = [&](std::size_t n) {
        return owner->waitFor([&] { return owner->saidBy(kBotNick).size() >= n; });
    };
    const auto output = [&] { return program.readAll().toStdString(); };
    ASSERT_TRUE(heard(3)) << output();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(heard(4)) << output();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(ended(5'000)) << output();
    EXPECT_EQ(program.exitCode(), 0);
    ASSERT_TRUE(owner->waitFor([&] {
        for (const IrcMessage& m : owner->received())
            if (m.command == "QUIT" && m.nick == kBotNick)
                return true;
        return false;
    })) << output();
    Style style;
    style.loadStyle(dir.file("Tavu.ini"));
    const auto reply = [&](const std::string& body) { return htmlToIrc(style.composeReply(" Tavu ", body)); };
    EXPECT_EQ(owner->saidBy(kBotNick), (Lines{reply(" By: Quarn "), reply(" Loaded By - [Quarn] "),
                                              reply(" Mp3's - [3] "), reply(" By: Quarn ")}))
        << output();
}

// A signal while the bot still waits for its channel (the server is not there) ends it at once,
// announcing nothing.
TEST_F(HeadlessProgramTest, ASignalDuringStartUpEndsItAtOnce)
{
    QTcpServer closed; // a port nobody listens on
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    ircPort = closed.serverPort();
    closed.close();
    writeSettings();
    program.setProcessChannelMode(QProcess::MergedChannels);
    startProgram();
    ASSERT_TRUE(waitFor([&] { return Settings(dir.file("Tavu.ini")).read(keys::Loads) == "1"; }));
    ::kill(static_cast<pid_t>(program.processId()), SIGINT);
    ASSERT_TRUE(ended(5'000)) << program.readAll().toStdString();
    EXPECT_EQ(program.exitCode(), 0);
}

// Without windows nothing can ask: settings that lack what start-up needs end the program at
// once, with the reason on the error output and exit status 2.
TEST_F(HeadlessProgramTest, RefusesSettingsItCannotRunOnWithStatusTwo)
{
    struct Row {
        bool handle, music;
        const char* network;
        const char* owner;
        const char* said;
        SettingKey key = keys::Trig;
        const char* value = "!";
    };
    const Row rows[] = {
        {false, true, "irc", "boss!*@h", "no handle"},
        {true, false, "irc", "boss!*@h", "no music folder"},
        {true, true, "local", "boss!*@h", "must be an IRC channel"},
        {true, true, "irc", "", "has no Owner"},
        {true, true, "irc", "boss!*@h", "/nowhere/music does not exist", keys::Mp3Directory, "/nowhere/music"},
        {true, true, "irc", "boss!*@h", "Port=notaport, which is no port", keys::ChatPort, "notaport"},
        {true, true, "irc", "boss!*@h", "Port=70000, which is no port", keys::ChatPort, "70000"},
    };
    for (const Row& row : rows) {
        std::filesystem::remove(dir.file("Tavu.ini"));
        writeSettings(row.handle, row.music, row.network, row.owner);
        Settings(dir.file("Tavu.ini")).write(row.key, row.value);
        startProgram();
        ASSERT_TRUE(ended(10'000));
        EXPECT_EQ(program.exitCode(), 2) << row.said;
        const std::string said = program.readAllStandardError().toStdString();
        EXPECT_NE(said.find(row.said), std::string::npos) << said;
    }
}

// On a server: Tavu.ini holds the chat password, so it is the user's alone while the program runs
// and after, as the windowed program keeps it. The error output tells the course of the link,
// one line each with host and port, through a server restart.
TEST_F(HeadlessProgramTest, KeepsTheSettingsPrivateAndLogsTheLinkThroughAServerRestart)
{
    ASSERT_TRUE(startServer());
    writeSettings();
    Settings(dir.file("Tavu.ini")).write(keys::ChatPassword, "sekrit");
    const auto mode = [&] {
        return std::filesystem::status(dir.file("Tavu.ini")).permissions() & std::filesystem::perms::all;
    };
    std::filesystem::permissions(dir.file("Tavu.ini"), static_cast<std::filesystem::perms>(0644));
    auto owner = joinedClient("boss", "boss");
    ASSERT_TRUE(owner);
    startProgram();
    std::string log;
    const auto logged = [&](const std::string& text, int times = 1) {
        return waitFor(
            [&] {
                log += program.readAllStandardError().toStdString();
                int n = 0;
                for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
                    ++n;
                return n >= times;
            },
            30'000);
    };
    const std::string where = "127.0.0.1:" + std::to_string(ircPort);
    ASSERT_TRUE(logged("tavu: Joined #tavu as tavubot on " + where)) << log;
    ASSERT_TRUE(owner->waitFor([&] { return owner->saidBy(kBotNick).size() >= 3; }));
    EXPECT_EQ(mode(), static_cast<std::filesystem::perms>(0600));

    server->kill();
    ASSERT_TRUE(logged("tavu: Disconnected from " + where + ": ")) << log;
    ASSERT_TRUE(server->start());
    ASSERT_TRUE(logged("tavu: Joined #tavu as tavubot on " + where, 2)) << log;
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(ended()) << log;
    log += program.readAllStandardError().toStdString();
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(mode(), static_cast<std::filesystem::perms>(0600));

    // The story in order.
    std::size_t at = 0;
    for (const std::string& line :
         {"tavu: Connecting to " + where, "tavu: Connected to " + where, "tavu: Joined #tavu as tavubot on " + where,
          "tavu: Disconnected from " + where + ": ", std::string("; trying again in "), "tavu: Connecting to " + where,
          "tavu: Connected to " + where, "tavu: Joined #tavu as tavubot on " + where,
          "tavu: Signed off from " + where}) {
        at = log.find(line, at);
        ASSERT_NE(at, std::string::npos) << line << " in\n" << log;
        at += line.size();
    }
}

// The program's systemd user unit, where a user manager runs: started, it joins and announces;
// stopped, it says its unload lines and quits.
TEST_F(HeadlessProgramTest, RunsUnderItsSystemdUserUnit)
{
    const auto systemctl = [](const QStringList& args, std::string* said = nullptr) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("systemctl"), QStringList{QStringLiteral("--user")} + args);
        const bool ran = process.waitForFinished(30'000) && process.exitStatus() == QProcess::NormalExit;
        if (said)
            *said = process.readAll().toStdString();
        return ran ? process.exitCode() : -1;
    };
    std::string said;
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    // is-system-running answers 0 (running) or 1 (degraded, starting) where a manager is there.
    if (!runtimeDir)
        GTEST_SKIP() << "no systemd user manager here: XDG_RUNTIME_DIR is not set";
    if (systemctl({QStringLiteral("is-system-running")}, &said) > 1 || said.empty())
        GTEST_SKIP() << "no systemd user manager here: systemctl --user says " << said;
    ASSERT_TRUE(startServer());
    writeSettings();
    auto owner = joinedClient("boss", "boss");
    ASSERT_TRUE(owner);

    // The installed unit, pointed at this build and this program directory.
    std::ifstream in(TAVU_SERVICE_TEMPLATE);
    std::stringstream text;
    text << in.rdbuf();
    std::string unit = text.str();
    const std::string exec = "@CMAKE_INSTALL_FULL_BINDIR@/tavu --headless";
    ASSERT_NE(unit.find(exec), std::string::npos);
    unit.replace(unit.find(exec), exec.size(),
                 std::string(TAVU_EXECUTABLE) + " --headless --home " + dir.str() +
                     "\nEnvironment=SDL_AUDIODRIVER=dummy");
    const std::string name = "tavu-test-" + std::to_string(::getpid()) + ".service";
    const std::filesystem::path folder = std::filesystem::path(runtimeDir) / "systemd/user";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name) << unit;
    ASSERT_EQ(systemctl({QStringLiteral("daemon-reload")}, &said), 0) << said;
    ASSERT_EQ(systemctl({QStringLiteral("start"), QString::fromStdString(name)}, &said), 0) << said;
    EXPECT_TRUE(owner->waitFor([&] { return owner->saidBy(kBotNick).size() >= 3; }, 30'000));
    EXPECT_EQ(systemctl({QStringLiteral("stop"), QString::fromStdString(name)}, &said), 0) << said;
    EXPECT_TRUE(owner->waitFor([&] { return owner->saidBy(kBotNick).size() >= 6; }));
    std::filesystem::remove(folder / name);
    systemctl({QStringLiteral("daemon-reload")});
}

} // namespace
} // namespace tavu::test
