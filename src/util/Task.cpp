#include "util/Task.h"

namespace tavu {
namespace detail {

void taskEnded(TaskPromiseBase& promise, std::coroutine_handle<> self) noexcept
{
    if (TaskScope* scope = promise.scope) {
        auto entry = scope->m_tasks.extract(promise.scopeId);
        self.destroy();
        if (entry && entry.mapped().ended)
            entry.mapped().ended();
        return;
    }
    // Otherwise the Task that holds it destroys it.
}

} // namespace detail

TaskScope::~TaskScope()
{
    // A task destroyed here may hold the last Task of another one of this scope's tasks; take
    // them out one at a time so that none is destroyed twice.
    while (!m_tasks.empty()) {
        auto entry = m_tasks.extract(m_tasks.begin());
        entry.mapped().handle.destroy();
    }
}

bool TaskScope::runningSince(std::uint64_t mark) const
{
    return m_tasks.lower_bound(mark) != m_tasks.end();
}

void TaskScope::adopt(std::coroutine_handle<> handle, detail::TaskPromiseBase& promise, std::function<void()> ended)
{
    promise.scope = this;
    promise.scopeId = m_nextId++;
    m_tasks.emplace(promise.scopeId, Entry{handle, std::move(ended)});
}

} // namespace tavu
