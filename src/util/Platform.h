#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavu {

// The interface sounds (Click, Menu, Min, Exit, Intro). A new sound cuts the one still playing off;
// a missing file or a machine without sound plays nothing, silently.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void playWave(const std::string& path) = 0;
};

// Message and input boxes. They are modal for the user, but events (chat lines, timers) go on
// running while one is open.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An OK box.
    virtual void message(const std::string& text, const std::string& title) = 0;
    // A Yes/No box; true for Yes.
    virtual bool question(const std::string& text, const std::string& title) = 0;
    // An input box; nothing when cancelled.
    virtual std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                             const std::string& defaultAnswer) = 0;
};

// The installed screen fonts.
class FontList {
public:
    virtual ~FontList() = default;
    virtual std::vector<std::string> families() const = 0;
};

} // namespace tavu
