#pragma once

#include "client/ChatRoom.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tavu::test {

// A chat room that records what the bot sends, and lets a test say lines as anybody.
class FakeChatRoom : public ChatRoom {
public:
    struct Sent {
        std::string line;
        bool raw;
    };

    explicit FakeChatRoom(std::string owner = "Owner") : m_owner(std::move(owner)) {}

    void sendLine(const std::string& line) override { record(line, false); }
    void sendRawLine(const std::string& line) override { record(line, true); }
    std::string ownerNick() const override { return m_owner; }

    std::string memberIdentity(const std::string& name) const override
    {
        const auto it = identities.find(name);
        return it == identities.end() ? std::string() : it->second;
    }
    std::size_t memberCount() const override { return members; }

    void setOwner(std::string owner) { m_owner = std::move(owner); }
    void say(const std::string& sender, const std::string& text) { lineAppeared(sender, text); }
    void ownerSays(const std::string& text) { lineAppeared(m_owner, text); }

    std::vector<std::string> lines() const
    {
        std::vector<std::string> out;
        for (const auto& s : sent)
            out.push_back(s.line);
        return out;
    }

    std::vector<Sent> sent;
    // Who the members saying lines under these names are, and how many are in the room.
    std::map<std::string, std::string> identities;
    std::size_t members = 0;
    // Called for every line sent, as it is sent.
    std::function<void(const std::string& line, bool raw)> onSend;

private:
    void record(const std::string& line, bool raw)
    {
        sent.push_back({line, raw});
        if (onSend)
            onSend(line, raw);
    }
    std::string m_owner;
};

} // namespace tavu::test
