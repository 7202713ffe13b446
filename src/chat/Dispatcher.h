#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavu {

class ChatRoom;

// Handles the lines of the scanner Chat1: the trigger command, then the command table. Only the
// owner's lines are obeyed; one line runs at most one command.
class Dispatcher {
public:
    using Handler = std::function<void(const std::string& argument)>;
    using TriggerHandler = std::function<void(const std::string& newTrigger)>;

    // trig is the caption of the label that holds the trigger; it is read anew for every line.
    Dispatcher(const ChatRoom& room, const std::string& trig, TriggerHandler onTrigger);

    // The words of the command table in the order in which they are tested.
    static const std::array<std::string_view, 54>& tableWords();

    // Puts a command into the table at its place. The word must be one of tableWords().
    void add(std::string_view word, Handler handler);
    bool has(std::string_view word) const;

    void Chat1_ChatMsg(const std::string& Screen_Name, const std::string& What_Said);

    // The command word and the argument of an owner's line: the text before the first blank,
    // lower-cased, and the text after it (the whole line when there is no blank).
    struct Cut {
        std::string word;
        std::string argument;
    };
    static Cut cutLine(const std::string& line);

private:
    struct Command {
        std::size_t order;
        std::string_view word;
        Handler run;
    };
    bool isOwner(const std::string& name) const;

    const ChatRoom& m_room;
    const std::string& m_trig;
    TriggerHandler m_onTrigger;
    std::vector<Command> m_table;
};

} // namespace tavu
