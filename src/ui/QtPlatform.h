#pragma once

#include "util/Platform.h"

class QWidget;

namespace tavu {

// Message and input boxes on Qt. They run their own event loop, so chat lines and timers go on.
class QtDialogs : public Dialogs {
public:
    void message(const std::string& text, const std::string& title) override;
    bool question(const std::string& text, const std::string& title) override;
    std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                     const std::string& defaultAnswer) override;
};

// The font families Qt knows on this machine.
class QtFontList : public FontList {
public:
    std::vector<std::string> families() const override;
};

} // namespace tavu
