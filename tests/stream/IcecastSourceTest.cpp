#include "IcecastServer.h"
#include "LoopbackPorts.h"
#include "StreamProbe.h"

#include "platform/IcecastSource.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <mutex>

namespace tavu {
namespace {

using test::IcecastServer;

// Waits (in real time: the server and the stream run on their own) until done() holds.
bool waitFor(const std::function<bool()>& done, int ms = 15'000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(50);
    }
    return true;
}

class IcecastSourceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.start()); }

    IcecastTarget target(IcecastTarget::Format format = IcecastTarget::Format::Mp3)
    {
        IcecastTarget t;
        t.host = "127.0.0.1";
        t.port = server.port();
        t.mount = IcecastServer::kMount;
        t.user = "source";
        t.password = IcecastServer::kSourcePassword;
        t.format = format;
        t.kbps = 128;
        t.name = "Tavu test";
        return t;
    }
    std::unique_ptr<IcecastSource> startSource(IcecastTarget t)
    {
        return std::make_unique<IcecastSource>(std::move(t), tap, [this](const IcecastSource::Report& report) {
            std::lock_guard lock(m_mutex);
            m_reports.push_back(report);
        });
    }
    std::vector<IcecastSource::Report> reports()
    {
        std::lock_guard lock(m_mutex);
        return m_reports;
    }
    bool opened(std::size_t times = 1)
    {
        return waitFor([&] {
            std::size_t n = 0;
            for (const auto& r : reports())
                n += r.open ? 1 : 0;
            return n >= times;
        });
    }
    std::string mountUrl(int port) const { return "http://127.0.0.1:" + std::to_string(port) + IcecastServer::kMount; }

    IcecastServer server;
    std::shared_ptr<AudioTap> tap = IcecastSource::makeTap();

private:
    std::mutex m_mutex;
    std::vector<IcecastSource::Report> m_reports;
};

TEST_F(IcecastSourceTest, ListenersHearTheToneAndTheTitleOfEachSong)
{
    test::ToneWriter tone(tap, 440, 0.5);
    auto source = startSource(target());
    source->setTitle("Artist One - First Song");
    ASSERT_TRUE(opened());
    ASSERT_TRUE(waitFor([&] { return server.listeners() == 0; })) << "the mount is listed";

    const std::vector<float> heard = test::listen(mountUrl(server.port()), 3);
    ASSERT_GT(heard.size(), static_cast<std::size_t>(test::kProbeRate)) << server.errorLog();
    EXPECT_NEAR(test::toneFrequency(heard), 440, 5);
    EXPECT_NEAR(test::rmsLevel(heard), 0.5 / std::sqrt(2.0), 0.03);

    EXPECT_EQ(test::icyTitle(mountUrl(server.port())), "Artist One - First Song");
    source->setTitle("Second Söng");
    EXPECT_TRUE(waitFor([&] { return test::icyTitle(mountUrl(server.port())) == "Second Söng"; }, 5000));
    EXPECT_EQ(source->droppedBytes(), 0u);
}

TEST_F(IcecastSourceTest, APausedPlayerSendsSilenceAndTheStreamLevelIsItsOwn)
{
    test::ToneWriter tone(tap, 0, 0.5); // paused: the engine writes nothing
    IcecastTarget t = target();
    t.gain = 0.5;
    auto source = startSource(t);
    ASSERT_TRUE(opened());
    const std::vector<float> quiet = test::listen(mountUrl(server.port()), 2.5);
    ASSERT_GT(quiet.size(), static_cast<std::size_t>(test::kProbeRate)) << "listeners stay connected";
    EXPECT_LT(test::rmsLevel(quiet), 0.001);
    EXPECT_GT(source->silentFrames(), 0u);

    tone.setFrequency(1000);
    const std::vector<float> heard = test::listen(mountUrl(server.port()), 3);
    EXPECT_NEAR(test::toneFrequency(heard), 1000, 10);
    EXPECT_NEAR(test::rmsLevel(heard), 0.25 / std::sqrt(2.0), 0.03);
}

TEST_F(IcecastSourceTest, IdleClosesTheMountAndTheNextSongOpensIt)
{
    auto source = startSource(target());
    ASSERT_TRUE(opened());
    ASSERT_TRUE(waitFor([&] { return server.listeners() >= 0; }));
    source->setIdle(true);
    EXPECT_TRUE(waitFor([&] { return server.listeners() == -1; })) << "the mount is gone";
    const auto closed = reports().back();
    EXPECT_FALSE(closed.open);
    EXPECT_EQ(closed.fault, IcecastSource::Fault::None);
    source->setIdle(false);
    EXPECT_TRUE(opened(2));
}

TEST_F(IcecastSourceTest, AWrongPasswordIsReportedAndRetriedWithGrowingWaits)
{
    IcecastTarget t = target();
    t.password = "wrong";
    auto source = startSource(t);
    ASSERT_TRUE(waitFor([&] { return reports().size() >= 2; }));
    const auto seen = reports();
    EXPECT_EQ(seen[0].fault, IcecastSource::Fault::Refused);
    EXPECT_EQ(seen[0].retryInMs, 1000);
    EXPECT_EQ(seen[1].fault, IcecastSource::Fault::Refused);
    EXPECT_EQ(seen[1].retryInMs, 2000);
    EXPECT_EQ(server.listeners(), -1);
}

TEST_F(IcecastSourceTest, AMountInUseIsRefusedAndAServerThatIsDownIsUnreachable)
{
    auto first = startSource(target());
    ASSERT_TRUE(opened());
    std::vector<IcecastSource::Report> second;
    std::mutex mutex;
    const auto collect = [&](const IcecastSource::Report& r) {
        std::lock_guard lock(mutex);
        second.push_back(r);
    };
    auto other = std::make_unique<IcecastSource>(target(), IcecastSource::makeTap(), collect);
    ASSERT_TRUE(waitFor([&] {
        std::lock_guard lock(mutex);
        return !second.empty();
    }));
    EXPECT_EQ(second.front().fault, IcecastSource::Fault::Refused);
    other.reset();

    IcecastTarget down = target();
    down.port = test::freeLoopbackPort();
    second.clear();
    other = std::make_unique<IcecastSource>(down, IcecastSource::makeTap(), collect);
    ASSERT_TRUE(waitFor([&] {
        std::lock_guard lock(mutex);
        return !second.empty();
    }));
    EXPECT_EQ(second.front().fault, IcecastSource::Fault::Unreachable);
}

TEST_F(IcecastSourceTest, AServerThatRestartsHasTheStreamBackWithinTenSeconds)
{
    test::ToneWriter tone(tap, 440, 0.5);
    auto source = startSource(target());
    source->setTitle("Before");
    ASSERT_TRUE(opened());
    server.kill();
    ASSERT_TRUE(waitFor([&] { return !reports().back().open; }));
    EXPECT_NE(reports().back().fault, IcecastSource::Fault::None);
    ASSERT_TRUE(server.start());
    QElapsedTimer back;
    back.start();
    ASSERT_TRUE(opened(2));
    EXPECT_LT(back.elapsed(), 10'000);
    EXPECT_TRUE(waitFor([&] { return test::icyTitle(mountUrl(server.port())) == "Before"; }, 5000))
        << "the title is sent again";
    EXPECT_NEAR(test::toneFrequency(test::listen(mountUrl(server.port()), 2.5)), 440, 5);
}

TEST_F(IcecastSourceTest, ARelayCarriesTheSameTone)
{
    test::ToneWriter tone(tap, 660, 0.5);
    auto source = startSource(target());
    ASSERT_TRUE(opened());
    ASSERT_TRUE(waitFor([&] { return server.listeners() >= 0; }));
    IcecastServer relay(server.port());
    ASSERT_TRUE(relay.start());
    ASSERT_TRUE(waitFor([&] { return relay.listeners() >= 0; })) << relay.errorLog();
    const std::vector<float> heard = test::listen(mountUrl(relay.port()), 3);
    ASSERT_FALSE(heard.empty());
    EXPECT_NEAR(test::toneFrequency(heard), 660, 6);
    EXPECT_NEAR(test::rmsLevel(heard), 0.5 / std::sqrt(2.0), 0.03);
}

TEST_F(IcecastSourceTest, OggOpusCarriesTheToneAndANewStreamPerSong)
{
    test::ToneWriter tone(tap, 440, 0.5);
    auto source = startSource(target(IcecastTarget::Format::Opus));
    source->setTitle("Opus One");
    ASSERT_TRUE(opened());
    ASSERT_TRUE(waitFor([&] { return server.listeners() >= 0; }));
    const std::string url = mountUrl(server.port());
    // A listener gets the headers of the song's own logical stream first, with its title.
    EXPECT_TRUE(waitFor([&] { return test::fetch(url, 1).find("TITLE=Opus One") != std::string::npos; }, 5000));
    const std::vector<float> heard = test::listen(url, 3);
    ASSERT_FALSE(heard.empty());
    EXPECT_NEAR(test::toneFrequency(heard), 440, 5);
    EXPECT_NEAR(test::rmsLevel(heard), 0.5 / std::sqrt(2.0), 0.03);
    source->setTitle("Opus Two");
    EXPECT_TRUE(waitFor([&] { return test::fetch(url, 1).find("TITLE=Opus Two") != std::string::npos; }, 5000));
}

} // namespace
} // namespace tavu
