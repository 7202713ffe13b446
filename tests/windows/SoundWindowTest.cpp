#include "windows/SoundWindow.h"
#include "bot/Lifecycle.h"
#include "settings/ProfileFile.h"
#include "support/SimRuntimeFixture.h"
#include "ui/SkinButton.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu::test {
namespace {

class SoundWindowTest : public BotFixture {
protected:
    SoundWindowTest() : sounds(QStringLiteral("Sound")) { media.volume = 77; }

    SoundWindow& window()
    {
        if (!m_window)
            m_window = std::make_unique<SoundWindow>(*bot, sounds);
        return *m_window;
    }
    QSlider* slider(const char* name) { return window().findChild<QSlider*>(QString::fromLatin1(name)); }
    QLabel* label(const char* name) { return window().findChild<QLabel*>(QString::fromLatin1(name)); }
    QColor volumeColour() { return label("Label2")->palette().color(QPalette::WindowText); }
    void click(const char* button)
    {
        QTest::mouseClick(window().findChild<SkinButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    }
    std::string lastSound() const { return std::filesystem::path(sound.played.back()).filename().string(); }

    QMenu sounds;
    std::unique_ptr<SoundWindow> m_window;
};

TEST_F(SoundWindowTest, StartsCentredAtZeroWithoutTouchingThePlayer)
{
    EXPECT_EQ(label("Label1")->text(), QStringLiteral("Center"));
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("0 %"));
    EXPECT_EQ(slider("Slider2")->minimum(), 0);
    EXPECT_EQ(slider("Slider2")->maximum(), 2500);
    EXPECT_EQ(window().width(), 320);
    EXPECT_TRUE(window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(media.volume, 77);
}

TEST_F(SoundWindowTest, VolumeSliderSetsLabelColourAndPlayerVolume)
{
    slider("Slider2")->setValue(1250);
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("50 %"));
    EXPECT_EQ(volumeColour(), QColor(125, 0, 0));
    EXPECT_EQ(media.volume, -1250);

    slider("Slider2")->setValue(2499); // a level of 99.96 is the whole level 100: the slider goes there
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("100 %"));
    EXPECT_EQ(media.volume, 0);
    EXPECT_EQ(slider("Slider2")->value(), 2500);
    slider("Slider2")->setValue(1512); // 60.48
    EXPECT_EQ(bot->lblVol.caption(), "60");
    EXPECT_EQ(readSetting("Settings", "Volume", settingsPath()), "60");

    slider("Slider2")->setValue(0);
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("0 %"));
    EXPECT_EQ(volumeColour(), QColor(0, 0, 0));
    EXPECT_EQ(media.volume, -2500);
}

TEST_F(SoundWindowTest, KeysAndTheMouseMoveTheSliders)
{
    window().show();
    QSlider* volume = slider("Slider2");
    volume->setFocus();
    QTest::keyClick(volume, Qt::Key_End);
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("100 %"));
    EXPECT_EQ(media.volume, 0);
    QTest::keyClick(volume, Qt::Key_Left);
    EXPECT_EQ(media.volume, volume->value() - 2500);
    EXPECT_LT(volume->value(), 2500);

    QSlider* balance = slider("Slider1");
    QTest::mouseClick(balance, Qt::LeftButton, {}, QPoint(3, balance->height() / 2));
    EXPECT_LT(balance->value(), 0);
    EXPECT_EQ(media.balance, balance->value());
}

TEST_F(SoundWindowTest, BalanceLabelKeepsItsTextAtExactlyFiveHundred)
{
    QSlider* balance = slider("Slider1");
    const std::pair<int, const char*> steps[] = {
        {-501, "Left"}, {-500, "Left"}, {-499, "Center"}, {-500, "Center"}, {500, "Center"},
        {501, "Right"}, {500, "Right"}, {10000, "Right"}, {0, "Center"},    {-10000, "Left"},
    };
    for (const auto& [value, caption] : steps) {
        balance->setValue(value);
        EXPECT_EQ(label("Label1")->text(), QString::fromLatin1(caption)) << value;
        EXPECT_EQ(media.balance, value);
    }
}

TEST_F(SoundWindowTest, MenuPopsUpTheSoundMenuAndExitHidesKeepingTheSliders)
{
    window().show();
    click("Menu");
    EXPECT_EQ(lastSound(), "Menu.wav");
    EXPECT_TRUE(sounds.isVisible());
    sounds.hide();

    slider("Slider1")->setValue(-3000);
    slider("Slider2")->setValue(1000);
    click("Exit");
    EXPECT_EQ(lastSound(), "Click.wav");
    EXPECT_FALSE(window().isVisible());
    window().toggle();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(slider("Slider1")->value(), -3000);
    EXPECT_EQ(slider("Slider2")->value(), 1000);
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("40 %"));
}

TEST_F(SoundWindowTest, SlidersFollowTheLevelsAndStoreWhatTheyChangeWhenLetGo)
{
    window().show();
    bot->trig = "!";
    ownerSays("!vol 55");
    EXPECT_EQ(slider("Slider2")->value(), 1375) << "the open window follows the chat command";
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("55 %"));

    QSlider* volume = slider("Slider2");
    QSlider* balance = slider("Slider1");
    for (QSlider* s : {volume, balance})
        s->setSliderDown(true);
    volume->setValue(1000);
    balance->setValue(-2500);
    EXPECT_EQ(media.volume, -1500) << "dragging changes the sound at once";
    EXPECT_EQ(media.balance, -2500);
    EXPECT_EQ(readSetting("Settings", "Volume", settingsPath()), "55") << "but stores nothing yet";
    volume->setValue(1010);
    balance->setValue(-3000);
    for (QSlider* s : {volume, balance})
        s->setSliderDown(false);
    EXPECT_EQ(readSetting("Settings", "Volume", settingsPath()), "40") << "a whole level";
    EXPECT_EQ(readSetting("Settings", "Balance", settingsPath()), "-3000");
    EXPECT_EQ(bot->lblVol.caption(), "40");
    ownerSays("!vol?");
    EXPECT_EQ(room.sent.back().line, defaultReply(" Volume is at [40%] "));

    // The next start plays at the stored levels, and a new window shows them.
    writeSetting("Settings", "Handle", "Me", settingsPath());
    m_window.reset();
    bot.reset();
    media = FakeMediaPlayer();
    bot = std::make_unique<Bot>(runtime, room, dir.str(), services());
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    EXPECT_EQ(media.volume, -1500);
    EXPECT_EQ(media.balance, -3000);
    EXPECT_EQ(slider("Slider2")->value(), 1000);
    EXPECT_EQ(slider("Slider1")->value(), -3000);
    EXPECT_EQ(label("Label1")->text(), QStringLiteral("Left"));
}

} // namespace
} // namespace tavu::test
