#include "util/ConsoleDialogs.h"

#include <ostream>

namespace tavu {

ConsoleDialogs::ConsoleDialogs(std::ostream& out) : m_out(out) {}

void ConsoleDialogs::message(const std::string& text, const std::string& title)
{
    m_out << "tavu: " << title << ": " << text << std::endl;
}

bool ConsoleDialogs::question(const std::string& text, const std::string& title)
{
    m_out << "tavu: " << title << ": " << text << " (no windows to answer in: No)" << std::endl;
    return false;
}

std::optional<std::string> ConsoleDialogs::input(const std::string& prompt, const std::string& title,
                                                 const std::string&)
{
    m_out << "tavu: " << title << ": " << prompt << " (no windows to answer in: cancelled)" << std::endl;
    return std::nullopt;
}

} // namespace tavu
