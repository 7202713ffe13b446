#pragma once

#include "id3/Id3Tag.h"
#include "util/Signal.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavu {

// The main window's storage controls. Their values live here, in the behaviour code; the windows
// that show one follow its change notification.

// A label: its caption is the value.
class Label {
public:
    explicit Label(std::string caption = {}) : m_caption(std::move(caption)) {}
    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption)
    {
        if (caption == m_caption)
            return;
        m_caption = std::move(caption);
        changed();
    }
    Signal<> changed;

private:
    std::string m_caption;
};

// A progress bar with a whole-number maximum and value.
class ProgressBar {
public:
    int max() const { return m_max; }
    int value() const { return m_value; }
    void setMax(int max) { set(max, m_value); }
    void setValue(int value) { set(m_max, value); }
    Signal<> changed;

private:
    void set(int max, int value)
    {
        if (max == m_max && value == m_value)
            return;
        m_max = max;
        m_value = value;
        changed();
    }
    int m_max = 100;
    int m_value = 0;
};

// The play mode at the end of a song: at most one of repeat, auto random, auto continue is on.
enum class PlayMode { None, Repeat, AutoRandom, AutoContinue };
// The mode as the settings file names it: "none", "repeat", "random", "continue"; and back (a name
// it does not know, in any letter case, is None).
std::string_view playModeName(PlayMode mode);
PlayMode playModeNamed(std::string_view name);

// The song the player has open, whichever road started it: its name in the song list, its file and
// the title every window shows for it. Empty until the first song starts; a stop keeps it.
struct NowPlaying {
    std::string song;
    std::string path;
    std::string title;
    std::int64_t startedMs = 0; // when it started, on the runtime's millisecond counter
    Id3Tag tag{};               // read once, as it started, for what shows it on the desktop
};

} // namespace tavu
