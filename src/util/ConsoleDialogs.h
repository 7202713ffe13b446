#pragma once

#include "util/Platform.h"

#include <iosfwd>

namespace tavu {

// The message and input boxes of a program without windows: a message goes to the error output,
// and nobody is there to answer, so a question is answered No and an input box is cancelled (each
// said on the error output too).
class ConsoleDialogs : public Dialogs {
public:
    explicit ConsoleDialogs(std::ostream& out);

    void message(const std::string& text, const std::string& title) override;
    bool question(const std::string& text, const std::string& title) override;
    std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                     const std::string& defaultAnswer) override;

private:
    std::ostream& m_out;
};

} // namespace tavu
