#pragma once

#include <functional>
#include <string>

namespace tavu {

// The main window's storage controls. Their values live here, in the behaviour code; a window that
// shows one sets onChange.

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
        if (onChange)
            onChange();
    }
    std::function<void()> onChange;

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
    std::function<void()> onChange;

private:
    void set(int max, int value)
    {
        if (max == m_max && value == m_value)
            return;
        m_max = max;
        m_value = value;
        if (onChange)
            onChange();
    }
    int m_max = 100;
    int m_value = 0;
};

// The play mode at the end of a song: at most one of repeat, auto random, auto continue is on.
enum class PlayMode { None, Repeat, AutoRandom, AutoContinue };

} // namespace tavu
