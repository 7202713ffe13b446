#pragma once

#include "client/LocalChatRoom.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;

namespace tavu {

// The built-in chat room's window: the greeting with the owner's screen name, the transcript, and
// the input box in which the owner types. The bot's lines show their font tags rendered; lines
// that people typed are shown as plain text.
class ChatRoomWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChatRoomWindow(LocalChatRoom& room, QWidget* parent = nullptr);
    ~ChatRoomWindow() override;

    // Shows another room from now on: its greeting, its transcript and its state.
    void setRoom(LocalChatRoom& room);

    QLineEdit* inputBox() const { return m_input; }
    QTextBrowser* transcriptView() const { return m_transcript; }
    void setStatus(const QString& status);

    // The window shows at most the room's transcript; once past it, the oldest lines go a batch at a
    // time, so that it holds kShownLines - kTrimBatch to kShownLines lines.
    static constexpr int kShownLines = static_cast<int>(LocalChatRoom::kTranscriptLimit);
    static constexpr int kTrimBatch = 500;

    // The HTML shown for one transcript entry.
    static QString entryHtml(const LocalChatRoom::Entry& entry);

protected:
    // The chat room belongs to the bot: closing it only minimises it.
    void closeEvent(QCloseEvent* event) override;

private:
    void sendTyped();
    void append(const LocalChatRoom::Entry& entry);
    void follow();
    void unfollow();
    void trim();

    LocalChatRoom* m_room;
    QLabel* m_welcome;
    QLabel* m_status;
    QTextBrowser* m_transcript;
    QLineEdit* m_input;
};

} // namespace tavu
