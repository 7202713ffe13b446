#pragma once

#include <functional>

namespace tavu {

// Keeps windows docked while enabled: enabling docks them at once, and every follow() again.
class Docking {
public:
    explicit Docking(std::function<void()> dock) : m_dock(std::move(dock)) {}
    void setEnabled(bool on)
    {
        const bool was = m_on;
        m_on = on;
        if (on && !was)
            follow();
    }
    bool enabled() const { return m_on; }
    void follow() const
    {
        if (m_on && m_dock)
            m_dock();
    }

private:
    std::function<void()> m_dock;
    bool m_on = false;
};

} // namespace tavu
