#include "settings/ThrottledSetting.h"

namespace tavu {

ThrottledSetting::ThrottledSetting(Runtime& runtime, const Settings& settings, SettingKey key, int intervalMs)
    : m_runtime(runtime), m_settings(settings), m_key(key), m_intervalMs(intervalMs),
      m_timer(runtime, intervalMs, [this] { flush(); })
{
}

void ThrottledSetting::write(std::string value)
{
    const std::int64_t now = m_runtime.tickMs();
    if (!m_lastWriteMs || now - *m_lastWriteMs >= m_intervalMs) {
        m_waiting.reset();
        m_timer.setEnabled(false);
        writeNow(value);
        return;
    }
    m_waiting = std::move(value);
    if (!m_timer.enabled()) {
        m_timer.setInterval(static_cast<int>(*m_lastWriteMs + m_intervalMs - now));
        m_timer.setEnabled(true);
    }
}

void ThrottledSetting::writeAtOnce(const std::string& value)
{
    m_timer.setEnabled(false);
    m_waiting.reset();
    writeNow(value);
}

void ThrottledSetting::flush()
{
    m_timer.setEnabled(false);
    if (!m_waiting)
        return;
    const std::string value = std::move(*m_waiting);
    m_waiting.reset();
    writeNow(value);
}

void ThrottledSetting::writeNow(const std::string& value)
{
    m_lastWriteMs = m_runtime.tickMs();
    m_settings.write(m_key, value);
}

} // namespace tavu
