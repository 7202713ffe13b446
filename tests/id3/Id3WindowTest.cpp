#include "windows/Id3Window.h"
#include "bot/MusicLibrary.h"
#include "bot/ShowSongTag.h"
#include "platform/TagLibReader.h"
#include "support/EncodedSongs.h"
#include "support/Mp3Writer.h"
#include "support/SimRuntimeFixture.h"
#include "support/TagFile.h"
#include "support/TagWriter.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

class Id3WindowTest : public BotFixture {
protected:
    Id3WindowTest()
    {
        writeBytes(music.file("a.mp3"), songWithTag({"Title", "Artist", "Album", "2001", "Comment", 125}));
        writeBytes(music.file("b.mp3"), std::string(300, '\x55'));
        writeBytes(music.file("Caf\xE9.mp3"), songWithTag({"Caf\xE9", "", "", "", "", 3}));
        bot->dir = music.str();
        fillSongList(bot->songFiles, bot->songList, bot->playlistRows, bot->dir);
        bot->songList.select(0);
    }

    QString text(const char* name) { return window().findChild<QLineEdit*>(QString::fromLatin1(name))->text(); }
    QString genre() { return window().findChild<QComboBox*>(QStringLiteral("cbogenre1"))->currentText(); }
    QLabel* flag() { return window().findChild<QLabel*>(QStringLiteral("lbl1")); }

    Id3Window& window()
    {
        if (!m_window)
            m_window = std::make_unique<Id3Window>(*bot);
        return *m_window;
    }
    void show(int index)
    {
        bot->songList.select(index);
        showSongTag(*bot);
    }

    TestDir music;
    std::unique_ptr<Id3Window> m_window;
};

TEST_F(Id3WindowTest, ShowsTheTagOfTheSelectedSongWhenCreated)
{
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(text("txtTrack1"), QStringLiteral("Title"));
    EXPECT_EQ(text("txtArtist1"), QStringLiteral("Artist"));
    EXPECT_EQ(text("txtAlbum1"), QStringLiteral("Album"));
    EXPECT_EQ(text("txtYear1"), QStringLiteral("2001"));
    EXPECT_EQ(text("txtComments1"), QStringLiteral("Comment"));
    EXPECT_EQ(genre(), QStringLiteral("Dance Hall"));
    EXPECT_EQ(text("Text2"), QString::fromStdString(music.str() + "/a.mp3"));

    auto* combo = window().findChild<QComboBox*>(QStringLiteral("cbogenre1"));
    EXPECT_TRUE(combo->isEditable());
    EXPECT_EQ(combo->count(), 0);
    EXPECT_TRUE(window().findChild<QLineEdit*>(QStringLiteral("Text2"))->isHidden());
    EXPECT_TRUE(flag()->isHidden());
    EXPECT_EQ(flag()->text(), QStringLiteral("1"));
    EXPECT_TRUE(window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    QStringList captions;
    for (const QLabel* label : window().findChildren<QLabel*>())
        if (!label->isHidden()) {
            captions << label->text();
            EXPECT_EQ(label->font().family(), QStringLiteral("Arial Narrow"));
        }
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Song:"), QStringLiteral("Artist:"), QStringLiteral("Album:"),
                                     QStringLiteral("Year:"), QStringLiteral("Comnt:"), QStringLiteral("Genre:")}));
}

TEST_F(Id3WindowTest, FollowsShowSongTagWhileHidden)
{
    window();
    show(1); // b.mp3: no tag, everything empty
    EXPECT_EQ(text("txtTrack1"), QString());
    EXPECT_EQ(text("txtYear1"), QString());
    EXPECT_EQ(genre(), QString());
    EXPECT_EQ(text("Text2"), QString::fromStdString(music.str() + "/b.mp3"));

    show(2); // a file named in Windows-1252, shown readably, tag read through its real name
    EXPECT_EQ(text("txtTrack1"), QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(genre(), QStringLiteral("Dance"));
    EXPECT_TRUE(text("Text2").endsWith(QStringLiteral("/Caf\u00E9.mp3")));
}

TEST_F(Id3WindowTest, TheOptionsMenuShowsItAndExitHidesIt)
{
    window().showFromOptionsMenu();
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(bot->id3.menuShowedWindow);
    EXPECT_EQ(flag()->text(), QStringLiteral("0"));

    auto* exitButton = window().findChild<QPushButton*>(QStringLiteral("Exit"));
    QTest::mouseClick(exitButton, Qt::LeftButton);
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(sound.played, std::vector<std::string>{dir.str() + "/Sounds/Click.wav"});
    EXPECT_EQ(text("txtTrack1"), QStringLiteral("Title")); // hiding keeps the fields

    window().showFromOptionsMenu();
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(bot->id3.menuShowedWindow);
}

TEST_F(Id3WindowTest, ClosingTheWindowStopsItFollowing)
{
    window();
    m_window.reset();
    show(0); // must not reach the destroyed window
    EXPECT_EQ(bot->id3.tag.title, "Title");
}

} // namespace
} // namespace tavu::test

namespace tavu::test {
namespace {

// With tag titles the window shows every kind of tag.
class Id3WindowTagsTest : public BotFixture {
protected:
    Id3WindowTagsTest()
    {
        BotServices with = services();
        with.tags = &reader;
        bot = std::make_unique<Bot>(runtime, room, dir.str(), with);
        bot->settings().write(keys::LibraryFormats, "ogg");
        bot->settings().write(keys::LibraryTitles, "tags");
        writeBytes(
            music.file("a.mp3"),
            id3v2Tag(4, TextEncoding::Utf8, {{"TIT2", "\xE6\x9D\xB1\xE4\xBA\xAC \xC3\xA9t\xC3\xA9"}, {"TCON", "(8)"}}) +
                Mp3Writer().silence(2).bytes());
        EXPECT_TRUE(encodeSong(Encoding::Vorbis, music.file("b.ogg"),
                               {"Rain", "Band", "", "2010", "Vorbis \xE2\x99\xAB comment", "Ambient"}, 0.2));
        bot->dir = music.str();
        test::finish(runtime, fillSongList(*bot, bot->dir));
        window = std::make_unique<Id3Window>(*bot);
    }
    QString text(const char* name) { return window->findChild<QLineEdit*>(QString::fromLatin1(name))->text(); }

    TagLibReader reader;
    TestDir music;
    std::unique_ptr<Id3Window> window;
};

TEST_F(Id3WindowTagsTest, ShowsAnId3v24Utf8TitleAndAVorbisComment)
{
    bot->songList.select(0);
    showSongTag(*bot);
    EXPECT_EQ(text("txtTrack1"), QStringLiteral("\u6771\u4EAC \u00E9t\u00E9"));
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("cbogenre1"))->currentText(), QStringLiteral("Jazz"));
    bot->songList.select(1);
    showSongTag(*bot);
    EXPECT_EQ(text("txtTrack1"), QStringLiteral("Rain"));
    EXPECT_EQ(text("txtArtist1"), QStringLiteral("Band"));
    EXPECT_EQ(text("txtYear1"), QStringLiteral("2010"));
    EXPECT_EQ(text("txtComments1"), QStringLiteral("Vorbis \u266B comment"));
}

} // namespace
} // namespace tavu::test
