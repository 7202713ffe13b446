#pragma once

#include "chat/Commands.h"

#include <cstdint>
#include <span>
#include <string>

namespace tavu {

class Bot;

// Handles the lines of the command scanner: the trigger command, then the command table. The owner's
// lines are obeyed, and, with requests on, members' lines that ask for the few commands open to
// them; one line runs at most one command.
class Dispatcher {
public:
    Dispatcher(Bot& bot, std::span<const Command> table) : m_bot(bot), m_table(table) {}

    std::span<const Command> table() const { return m_table; }

    // Whether the settings file has the command in use (the queue's commands need "Queue"/"Enabled").
    bool available(const Command& command) const;

    void hearCommandLine(const std::string& name, const std::string& said);

    // The command word and the argument of an owner's line: the text before the first blank,
    // lower-cased, and the text after it (the whole line when there is no blank).
    struct Cut {
        std::string word;
        std::string argument;
    };
    static Cut cutLine(const std::string& line);

    // Whether the line's sender is the owner of the room: with nobody signed on there is no
    // owner, and nobody is obeyed. The dispatcher and the song choice both ask this.
    bool isOwner(const std::string& name) const;

private:
    // A line of somebody else: one of the members' commands when requests are on, otherwise nothing.
    void memberLine(const std::string& name, const std::string& line);
    void setTrigger(const std::string& newTrigger);

    Bot& m_bot;
    std::span<const Command> m_table;
    std::uint64_t m_runs = 0; // commands run so far; each run's replies carry its number
};

} // namespace tavu
