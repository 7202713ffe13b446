#include "windows/CommandsWindow.h"
#include "windows/Id3Window.h"
#include "windows/MenuFixture.h"
#include "windows/PlaylistWindow.h"
#include "windows/UpdateWindow.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

using Strings = std::vector<std::string>;

// One line per entry: its name, its caption, and whether it is greyed out; submenus indented.
void describe(const QMenu* menu, const std::string& indent, Strings& out)
{
    for (const QAction* action : menu->actions()) {
        std::string line = indent + action->objectName().toStdString() + " \"" + action->text().toStdString() + "\"";
        if (action->isSeparator())
            line = indent + action->objectName().toStdString() + " separator";
        if (!action->isEnabled())
            line += " disabled";
        out.push_back(line);
        if (action->menu())
            describe(action->menu(), indent + "  ", out);
    }
}

Strings describe(const QMenu* menu)
{
    Strings out{menu->objectName().toStdString() + " \"" + menu->title().toStdString() + "\""};
    describe(menu, "  ", out);
    return out;
}

class OptionsMenuTest : public MenuFixture {};

TEST_F(OptionsMenuTest, HoldsTheThreeMenusWithTheirEntries)
{
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(describe(menu.File()), (Strings{
                                         "File \"File\"",
                                         "  Options \"Options\"",
                                         "    Ccoms \"View Commands\"",
                                         "    Directory \"Change Directory\"",
                                         "    Settings2 \"Settings (Program)\"",
                                         "    Updates \"Check For Updates\"",
                                         "  Info \"Info\" disabled",
                                         "    About \"About\"",
                                         "    CDir \"Current Directory\"",
                                         "    Settings \"Settings (mp3)\"",
                                         "  Minimize \"Minimize\"",
                                         "    Systray \"To Systray\" disabled",
                                         "    Taskbar \"To Taskbar\"",
                                     }));
    EXPECT_EQ(describe(menu.Sounds()), (Strings{"Sounds \"Sound\"", "  Mute \"Mute\"", "  UnMute \"Un-Mute\" disabled",
                                                "  dash separator", "  Sound \"Sound\""}));
    EXPECT_EQ(describe(menu.open()),
              (Strings{"Open \"Open\"", "  Playlist \"Playlist\"", "  ID3 \"Id3 Editor\\Viewer\""}));
}

TEST_F(OptionsMenuTest, MuteAndUnMuteTakeTurns)
{
    choose("Mute");
    choose("Mute"); // greyed out now: choosing it does nothing, not even the click
    EXPECT_TRUE(media.muted);
    EXPECT_FALSE(entry("Mute")->isEnabled());
    EXPECT_TRUE(entry("UnMute")->isEnabled());
    EXPECT_EQ(takeSounds(), Strings{"Click.wav"});

    choose("UnMute");
    choose("UnMute");
    EXPECT_FALSE(media.muted);
    EXPECT_TRUE(entry("Mute")->isEnabled());
    EXPECT_FALSE(entry("UnMute")->isEnabled());
    EXPECT_EQ(takeSounds(), Strings{"Click.wav"});
}

TEST_F(OptionsMenuTest, OpenMenuShowsThePlaylistAndTheId3WindowTheId3EntrySilently)
{
    main.setPlaylistVisible(false);
    bot->playlistDocking.setEnabled(false);
    choose("Playlist");
    EXPECT_TRUE(main.playlistVisible());
    EXPECT_TRUE(bot->playlistDocking.enabled());
    EXPECT_EQ(takeSounds(), Strings{"Click.wav"});

    EXPECT_FALSE(bot->id3.menuShowedWindow);
    choose("ID3");
    EXPECT_TRUE(main.id3Window()->isVisible());
    EXPECT_TRUE(bot->id3.menuShowedWindow);
    EXPECT_TRUE(takeSounds().empty());
}

TEST_F(OptionsMenuTest, ToTaskbarMinimisesTheMainWindow)
{
    main.show();
    choose("Taskbar");
    EXPECT_TRUE(main.windowState().testFlag(Qt::WindowMinimized));
    EXPECT_EQ(takeSounds(), Strings{"Click.wav"});
}

TEST_F(OptionsMenuTest, ChangeDirectoryAndCheckForUpdatesOpenTheirWindowsOnce)
{
    choose("Directory");
    QWidget* chooser = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("FrmDir") && w->isVisible())
            chooser = w;
    ASSERT_NE(chooser, nullptr);
    chooser->close();

    choose("Updates");
    QPointer<UpdateWindow> updates = menu.showUpdates();
    EXPECT_TRUE(updates->isVisible());
    choose("Updates");
    EXPECT_EQ(menu.showUpdates(), updates.data());
    EXPECT_EQ(takeSounds(), (Strings{"Click.wav", "Click.wav", "Click.wav"}));
    updates->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(updates.isNull());
}

// The desktop's volume control is looked up on the PATH; here the PATH holds only what the test
// puts there.
class MixerEntryTest : public OptionsMenuTest {
protected:
    MixerEntryTest() : m_path(qgetenv("PATH")) { qputenv("PATH", bin.path().toLocal8Bit()); }
    ~MixerEntryTest() override { qputenv("PATH", m_path); }

    void addProgram(const QString& name)
    {
        const QString path = bin.filePath(name);
        writeBytes(path.toStdString(), "#!/bin/sh\necho \"$0 $*\" > '" + marker() + "'\n");
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    std::string marker() const { return bin.filePath(QStringLiteral("started")).toStdString(); }

    QTemporaryDir bin;

private:
    QByteArray m_path;
};

TEST_F(MixerEntryTest, SoundStartsTheFirstMixerFound)
{
    addProgram(QStringLiteral("pavucontrol-qt"));
    addProgram(QStringLiteral("xfce4-mixer"));
    choose("Sound");
    EXPECT_EQ(takeSounds(), Strings{"Click.wav"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !readBytes(marker()).empty(); }, 5000));
    EXPECT_EQ(readBytes(marker()), bin.filePath(QStringLiteral("pavucontrol-qt")).toStdString() + " \n");
}

TEST_F(MixerEntryTest, SoundWithoutAnyMixerOnlyClicks)
{
    choose("Sound");
    EXPECT_EQ(takeSounds(), Strings{"Click.wav"});
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(marker())));
}

} // namespace
} // namespace tavu::test
