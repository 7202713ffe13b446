#pragma once

#ifndef Q_MOC_RUN // moc does not read the concepts this header brings
#include <coroutine>
#endif
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <type_traits>
#include <utility>

namespace tavu {

class TaskScope;

namespace detail {

struct TaskPromiseBase {
    std::coroutine_handle<> awaiting; // the coroutine that waits for this one to end
    TaskScope* scope = nullptr;       // owns this coroutine when it was started there
    std::uint64_t scopeId = 0;

    std::suspend_never initial_suspend() noexcept { return {}; }
    void unhandled_exception() noexcept { std::terminate(); }
};

void taskEnded(TaskPromiseBase& promise, std::coroutine_handle<> self) noexcept;

} // namespace detail

// A piece of work that may wait: a coroutine that runs at once, as a plain call would, up to its
// first wait, and goes on when the runtime wakes it. Another coroutine may co_await it for its
// result; the synchronous code that starts it hands it to a TaskScope, which lets it finish or,
// when the scope's owner goes away first, destroys it where it waits. Frames never resume after
// their scope has gone.
template <typename T = void>
class [[nodiscard]] Task {
public:
    struct promise_type;
    using Handle = std::coroutine_handle<promise_type>;

    struct FinalAwaiter {
        bool await_ready() noexcept { return false; }
        std::coroutine_handle<> await_suspend(Handle self) noexcept
        {
            detail::TaskPromiseBase& promise = self.promise();
            if (promise.awaiting)
                return promise.awaiting;
            detail::taskEnded(promise, self);
            return std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };

    struct PromiseValue : detail::TaskPromiseBase {
        std::optional<T> value;
        template <typename U>
        void return_value(U&& v)
        {
            value.emplace(std::forward<U>(v));
        }
    };

    struct promise_type : PromiseValue {
        Task get_return_object() { return Task(Handle::from_promise(*this)); }
        FinalAwaiter final_suspend() noexcept { return {}; }
    };

    Task() = default;
    Task(Task&& other) noexcept : m_handle(std::exchange(other.m_handle, {})) {}
    Task& operator=(Task&& other) noexcept
    {
        if (this != &other) {
            release();
            m_handle = std::exchange(other.m_handle, {});
        }
        return *this;
    }
    ~Task() { release(); }

    bool done() const { return !m_handle || m_handle.done(); }
    // The value it ended with; only once done().
    decltype(auto) result()
    {
        if constexpr (!std::is_void_v<T>)
            return (*m_handle.promise().value);
    }

    bool await_ready() const noexcept { return m_handle.done(); }
    void await_suspend(std::coroutine_handle<> awaiting) noexcept { m_handle.promise().awaiting = awaiting; }
    T await_resume()
    {
        if constexpr (!std::is_void_v<T>)
            return std::move(*m_handle.promise().value);
    }

private:
    friend class TaskScope;
    explicit Task(Handle handle) : m_handle(handle) {}

    void release()
    {
        if (!m_handle)
            return;
        // Ended, awaited by a coroutine that is being destroyed where it waits, or dropped by the
        // code that started it: it goes, where it waits, so that no frame is left behind.
        m_handle.destroy();
        m_handle = {};
    }
    Handle m_handle;
};

template <>
struct Task<void>::PromiseValue : detail::TaskPromiseBase {
    void return_void() {}
};

// Owns the tasks an object starts, so that none outlives it: those still waiting when the scope
// goes are destroyed where they wait (their awaited alarms are dropped, nothing of theirs runs).
// Declare it as the last member of its owner, so it goes before what the tasks use.
class TaskScope {
public:
    TaskScope() = default;
    ~TaskScope();
    TaskScope(const TaskScope&) = delete;
    TaskScope& operator=(const TaskScope&) = delete;

    // Takes a task that may still be waiting; ended() runs when it ends (not when it is
    // destroyed with the scope).
    template <typename T>
    void start(Task<T> task, std::function<void()> ended = {})
    {
        if (task.done()) {
            if (ended)
                ended();
            return;
        }
        auto handle = std::exchange(task.m_handle, {});
        adopt(handle, handle.promise(), std::move(ended));
    }

    // How many of its tasks still wait, and a mark to count only those started after it.
    std::size_t running() const { return m_tasks.size(); }
    std::uint64_t mark() const { return m_nextId; }
    bool runningSince(std::uint64_t mark) const;

private:
    friend void detail::taskEnded(detail::TaskPromiseBase&, std::coroutine_handle<>) noexcept;
    struct Entry {
        std::coroutine_handle<> handle;
        std::function<void()> ended;
    };
    void adopt(std::coroutine_handle<> handle, detail::TaskPromiseBase& promise, std::function<void()> ended);

    std::map<std::uint64_t, Entry> m_tasks;
    std::uint64_t m_nextId = 1;
};

} // namespace tavu
