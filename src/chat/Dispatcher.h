#pragma once

#include "chat/Commands.h"

#include <cstdint>
#include <span>
#include <string>

namespace tavu {

class Bot;

// Handles the lines of the scanner Chat1: the trigger command, then the command table. Only the
// owner's lines are obeyed; one line runs at most one command.
class Dispatcher {
public:
    Dispatcher(Bot& bot, std::span<const Command> table) : m_bot(bot), m_table(table) {}

    std::span<const Command> table() const { return m_table; }

    void Chat1_ChatMsg(const std::string& Screen_Name, const std::string& What_Said);

    // The command word and the argument of an owner's line: the text before the first blank,
    // lower-cased, and the text after it (the whole line when there is no blank).
    struct Cut {
        std::string word;
        std::string argument;
    };
    static Cut cutLine(const std::string& line);

private:
    bool isOwner(const std::string& name) const;
    void setTrigger(const std::string& newTrigger);

    Bot& m_bot;
    std::span<const Command> m_table;
    std::uint64_t m_runs = 0; // commands run so far; each run's replies carry its number
};

} // namespace tavu
