#pragma once

#include "client/ChatRoom.h"

#include <deque>
#include <functional>
#include <string>

namespace tavu {

// The built-in chat room: the owner types into its window, the bot answers there. It keeps the
// transcript; the window only shows it.
class LocalChatRoom : public ChatRoom {
public:
    enum class Kind {
        Typed,  // a line somebody typed; plain text
        Reply,  // a line the bot posted for the owner; HTML font tags
        Notice, // a line of the room itself (joins, connection state)
    };
    struct Entry {
        Kind kind;
        std::string sender;
        std::string text;
    };

    explicit LocalChatRoom(std::string screenName);

    void sendLine(const std::string& line) override { post(line); }
    void sendRawLine(const std::string& line) override { post(line); }
    std::string ownerNick() const override;

    // The caption of the sign-on greeting, "Welcome, NAME!".
    const std::string& welcomeCaption() const { return m_caption; }

    // The owner typed a line and pressed Enter.
    virtual void ownerTyped(const std::string& text);
    // Somebody else said something in the room.
    void otherSaid(const std::string& sender, const std::string& text);
    void notice(const std::string& text);

    const std::deque<Entry>& transcript() const { return m_transcript; }
    // Called for each new transcript entry (the window appends it).
    std::function<void(const Entry&)> onEntry;

    // Leaves the room for good; the program is ending. The built-in room has nothing to leave.
    virtual void signOff() {}
    // Still saying goodbye after signOff(); the program lets events run until this turns false.
    virtual bool signingOff() const { return false; }
    // The state of the link to a room on a network, for the window; "" for the built-in room.
    virtual std::string status() const { return {}; }
    // Called when status() changes.
    std::function<void(const std::string&)> onStatus;

    static constexpr std::size_t kTranscriptLimit = 5000;

protected:
    void post(const std::string& line);
    void addEntry(Entry entry);

private:
    std::string m_caption;
    std::string m_owner;
    std::deque<Entry> m_transcript;
};

} // namespace tavu
