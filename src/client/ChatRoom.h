#pragma once

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
    virtual void ChatSend(const std::string& line) = 0;
    virtual void ChatSendRaw(const std::string& line) = 0;
    // Posts a line for the owner's eyes only, where the room can tell the owner apart; elsewhere it
    // is an ordinary reply line.
    virtual void ChatSendToOwner(const std::string& line) { ChatSend(line); }

    // The screen name of the owner, in the form in which the scanners report the owner's lines;
    // "" when nobody is signed on.
    virtual std::string GetOwnerName() const = 0;

    // Scanners attached here hear about every new line.
    void attach(ChatScanner& scanner);
    void detach(ChatScanner& scanner);

protected:
    // A new line appeared in the room.
    void lineAppeared(const std::string& sender, const std::string& text);

private:
    std::vector<ChatScanner*> m_scanners;
};

// The caption rule of the sign-on window: "Welcome, NAME!" gives NAME (up to the first "!", or to
// the end when there is none); any other caption gives "".
std::string OwnerNameFromCaption(std::string_view caption);

} // namespace tavu
