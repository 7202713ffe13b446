#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavu {

class ChatScanner;

// The chat room the bot sits in: the built-in room window, or an IRC channel. Sending never
// reports an error; with no room to send to, the line is lost.
class ChatRoom {
public:
    virtual ~ChatRoom() = default;

    // Posts a line into the room as a line of the owner. Neither send touches what the owner is
    // typing but has not sent yet.
    virtual void sendLine(const std::string& line) = 0;
    virtual void sendRawLine(const std::string& line) = 0;
    // Posts a line for the owner's eyes only, where the room can tell the owner apart; elsewhere it
    // is an ordinary reply line.
    virtual void sendToOwner(const std::string& line) { sendLine(line); }

    // The screen name of the owner, in the form in which the scanners report the owner's lines;
    // "" when nobody is signed on.
    virtual std::string ownerNick() const = 0;

    // Who a member of the room who said a line under this name is, for requests: the services
    // account the network reports, else nick!user@host; "" when the room cannot tell.
    virtual std::string memberIdentity(const std::string& name) const
    {
        (void)name;
        return {};
    }
    // How many are in the room (the bot included); 0 when the room cannot tell.
    virtual std::size_t memberCount() const { return 0; }

    // Lines sent now reach the room at once. The built-in room always is; a room on a network is
    // not while it signs on and joins.
    virtual bool ready() const { return true; }

    // The command whose run sends the replies now; the dispatcher sets it while a command runs. A
    // room that has to hold replies back may drop those of an older run of a command for those of
    // a newer run of the same command.
    struct ReplySource {
        std::string command; // "" outside a command
        std::uint64_t run = 0;
    };
    void setReplySource(ReplySource source) { m_source = std::move(source); }
    const ReplySource& replySource() const { return m_source; }

    // Scanners attached here hear about every new line.
    void attach(ChatScanner& scanner);
    void detach(ChatScanner& scanner);

protected:
    // A new line appeared in the room.
    void lineAppeared(const std::string& sender, const std::string& text);

private:
    std::vector<ChatScanner*> m_scanners;
    ReplySource m_source;
};

// The caption rule of the sign-on window: "Welcome, NAME!" gives NAME (up to the first "!", or to
// the end when there is none); any other caption gives "".
std::string OwnerNameFromCaption(std::string_view caption);

} // namespace tavu
