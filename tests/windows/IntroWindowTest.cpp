#include "windows/IntroWindow.h"
#include "support/SimRuntimeFixture.h"

#include <QApplication>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu::test {
namespace {

class IntroWindowTest : public BotFixture {
protected:
    IntroWindowTest() : intro(new IntroWindow(*bot))
    {
        intro->onDone = [this] {
            ++done;
            leftAtDone = intro->x();
            doneAtMs = runtime.elapsedMs();
        };
        QObject::connect(intro->findChild<QProgressBar*>(QStringLiteral("progress")), &QProgressBar::valueChanged,
                         [this](int v) {
                             values.push_back(v);
                             valueTimes.push_back(runtime.elapsedMs());
                         });
        intro->show();
    }
    ~IntroWindowTest() override { delete intro.data(); }

    void doubleClick() { QTest::mouseDClick(intro, Qt::LeftButton, {}, QPoint(200, 100)); }
    std::vector<std::string> soundNames() const
    {
        std::vector<std::string> names;
        for (const std::string& path : sound.played)
            names.push_back(std::filesystem::path(path).filename().string());
        return names;
    }

    QPointer<IntroWindow> intro;
    int done = 0;
    int leftAtDone = 0;
    std::int64_t doneAtMs = 0;
    std::vector<int> values;
    std::vector<std::int64_t> valueTimes;
};

TEST_F(IntroWindowTest, WaitsForADoubleClick)
{
    EXPECT_EQ(intro->windowTitle(), QStringLiteral("Tavu Intro"));
    EXPECT_TRUE(intro->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    runtime.advance(30000);
    EXPECT_EQ(done, 0);
    EXPECT_EQ(intro->barValue(), 0);
    EXPECT_TRUE(intro->isVisible());
    EXPECT_TRUE(sound.played.empty());
}

TEST_F(IntroWindowTest, AFullBarShowsTheMainWindowOnceEvenAfterASecondDoubleClick)
{
    // The second double-click comes while the bar is filling.
    int barAtSecondClick = -1;
    Timer second(runtime, 1500, [&] {
        second.setEnabled(false);
        barAtSecondClick = intro->barValue();
        doubleClick();
    });
    doubleClick();
    second.setEnabled(true);
    runtime.advance(30000);

    EXPECT_GT(barAtSecondClick, 0);
    EXPECT_LT(barAtSecondClick, 100);
    EXPECT_EQ(values, (std::vector<int>{20, 40, 60, 80, 100}));
    EXPECT_EQ(done, 1);
    // A wait of a second (rounded to whole seconds of the clock) after each step.
    for (std::size_t i = 1; i < valueTimes.size(); ++i)
        EXPECT_GE(valueTimes[i] - valueTimes[i - 1], 500);
    EXPECT_GT(doneAtMs, valueTimes.back());
    EXPECT_EQ(soundNames(), std::vector<std::string>{"Intro.wav"});
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_GT(leftAtDone, screen.x() + screen.width());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(intro.isNull());
}

TEST_F(IntroWindowTest, EnterOrSpaceStartItLikeADoubleClick)
{
    QTest::keyClick(intro, Qt::Key_A);
    runtime.advance(3000);
    EXPECT_EQ(intro->barValue(), 0);
    QTest::keyClick(intro, Qt::Key_Return);
    runtime.advance(1500);
    EXPECT_GT(intro->barValue(), 0);
    QTest::keyClick(intro, Qt::Key_Space); // changes nothing while it fills
    runtime.advance(30000);
    EXPECT_EQ(values, (std::vector<int>{20, 40, 60, 80, 100}));
    EXPECT_EQ(done, 1);
}

} // namespace
} // namespace tavu::test
