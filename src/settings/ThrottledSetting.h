#pragma once

#include "settings/Settings.h"
#include "util/Runtime.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tavu {

// A setting that may change many times a second (the played counter) written at most once an
// interval: a value that comes sooner than an interval after the last write waits for the rest of
// that interval, and only the newest waiting value is written. The last value always lands: when
// the interval is over, or at flush.
class ThrottledSetting {
public:
    ThrottledSetting(Runtime& runtime, const Settings& settings, SettingKey key, int intervalMs = 1000);
    ThrottledSetting(const ThrottledSetting&) = delete;
    ThrottledSetting& operator=(const ThrottledSetting&) = delete;

    void write(std::string value);
    // Writes a value now, whatever the interval; a value still waiting is dropped.
    void writeAtOnce(const std::string& value);
    // Writes a value that still waits, now.
    void flush();
    bool waiting() const { return m_waiting.has_value(); }

private:
    void writeNow(const std::string& value);

    Runtime& m_runtime;
    const Settings& m_settings;
    SettingKey m_key;
    int m_intervalMs;
    Timer m_timer;
    std::optional<std::string> m_waiting;
    std::optional<std::int64_t> m_lastWriteMs;
};

} // namespace tavu
