#include "windows/ChatRoomWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace tavu {
namespace {

TEST(ChatRoomWindow, SendingKeepsWhatTheOwnerIsTyping)
{
    LocalChatRoom room("Quarn");
    ChatRoomWindow window(room);
    window.inputBox()->setText(QStringLiteral("half a sentence"));
    room.sendLine("<font color=#ff0000>one</font>");
    room.sendRawLine("two");
    EXPECT_EQ(window.inputBox()->text(), QStringLiteral("half a sentence"));
    EXPECT_TRUE(window.transcriptView()->toPlainText().contains(QStringLiteral("Quarn: two")));
}

TEST(ChatRoomWindow, EnterPostsTheOwnersLine)
{
    LocalChatRoom room("Quarn");
    ChatRoomWindow window(room);
    window.inputBox()->setText(QStringLiteral("!vol 40"));
    QTest::keyClick(window.inputBox(), Qt::Key_Return);
    EXPECT_TRUE(window.inputBox()->text().isEmpty());
    ASSERT_EQ(room.transcript().size(), 1u);
    EXPECT_EQ(room.transcript()[0].text, "!vol 40");
    EXPECT_EQ(room.transcript()[0].sender, "Quarn");
}

TEST(ChatRoomWindow, RendersRepliesAndEscapesTypedLines)
{
    LocalChatRoom room("Quarn");
    ChatRoomWindow window(room);
    room.otherSaid("Bob", "<b>not bold</b>");
    room.sendLine("<font face=\"arial\"><font  color=#ff0000>red <u>under</U>");
    room.sendLine("plain");
    const QString text = window.transcriptView()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Bob: <b>not bold</b>")));
    EXPECT_TRUE(text.contains(QStringLiteral("Quarn: red under")));
    const QString html = window.transcriptView()->toHtml();
    EXPECT_TRUE(html.contains(QStringLiteral("#ff0000")));
    EXPECT_TRUE(html.contains(QStringLiteral("underline")));
    // The unclosed colour of one reply does not leak into the next line.
    const auto blocks = window.transcriptView()->document()->blockCount();
    EXPECT_EQ(blocks, 3);
    const QTextBlock last = window.transcriptView()->document()->lastBlock();
    for (auto it = last.begin(); !it.atEnd(); ++it)
        EXPECT_NE(it.fragment().charFormat().foreground().color(), QColor(QStringLiteral("#ff0000")));
}

TEST(ChatRoomWindow, FollowsTheRoomItIsGiven)
{
    LocalChatRoom first("Quarn"), second("Anna");
    second.notice("earlier");
    ChatRoomWindow window(first);
    first.sendLine("old");
    window.setRoom(second);
    first.sendLine("unseen");
    second.sendLine("new");
    const QString text = window.transcriptView()->toPlainText();
    EXPECT_EQ(text, QStringLiteral("earlier\nAnna: new"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("welcome"))->text(), QStringLiteral("Welcome, Anna!"));
    window.inputBox()->setText(QStringLiteral("hi"));
    QTest::keyClick(window.inputBox(), Qt::Key_Return);
    EXPECT_EQ(second.transcript().back().text, "hi");
    EXPECT_EQ(first.transcript().size(), 2u);
}

TEST(ChatRoomWindow, AFullTranscriptDropsItsOldestLinesABatchAtATime)
{
    LocalChatRoom room("Quarn");
    ChatRoomWindow window(room);
    const auto blocks = [&window] { return window.transcriptView()->document()->blockCount(); };
    for (int i = 0; i < ChatRoomWindow::kShownLines; ++i)
        room.otherSaid("Bob", "line " + std::to_string(i));
    EXPECT_EQ(blocks(), ChatRoomWindow::kShownLines);
    room.otherSaid("Bob", "one more");
    EXPECT_EQ(blocks(), ChatRoomWindow::kShownLines - ChatRoomWindow::kTrimBatch);
    for (int i = 1; i < ChatRoomWindow::kTrimBatch; ++i)
        room.otherSaid("Bob", "again " + std::to_string(i));
    EXPECT_EQ(blocks(), ChatRoomWindow::kShownLines - 1) << "nothing goes until the window is full again";
    room.otherSaid("Bob", "last");
    const QTextDocument* document = window.transcriptView()->document();
    EXPECT_TRUE(document->lastBlock().text().endsWith(QStringLiteral("last")));
    EXPECT_TRUE(document->firstBlock().text().endsWith(QStringLiteral(":\u00a0line 501")))
        << document->firstBlock().text().toStdString();
}

} // namespace
} // namespace tavu
