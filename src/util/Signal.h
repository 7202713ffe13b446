#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tavu {

// A change notification that any number of observers follow. Each observer keeps the Subscription
// it was given; dropping it ends the subscription, also when the signal is gone already. A slot
// that unsubscribes during a notification is not called after that.
template <class... Args>
class Signal {
    struct Slot {
        std::function<void(Args...)> call;
        bool live = true;
    };
    using Slots = std::vector<std::shared_ptr<Slot>>;

public:
    Signal() = default;
    // A copy starts without observers: they follow the object they subscribed to.
    Signal(const Signal&) {}
    Signal& operator=(const Signal&) { return *this; }

    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&& other) noexcept { *this = std::move(other); }
        Subscription& operator=(Subscription&& other) noexcept
        {
            if (this != &other) {
                reset();
                m_slots = std::move(other.m_slots);
                m_slot = std::move(other.m_slot);
            }
            return *this;
        }
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { reset(); }

        void reset()
        {
            if (m_slot)
                m_slot->live = false;
            if (const auto list = m_slots.lock())
                std::erase(*list, m_slot);
            m_slots.reset();
            m_slot.reset();
        }

    private:
        friend class Signal;
        std::weak_ptr<Slots> m_slots;
        std::shared_ptr<Slot> m_slot;
    };

    [[nodiscard]] Subscription subscribe(std::function<void(Args...)> call)
    {
        Subscription subscription;
        subscription.m_slot = std::make_shared<Slot>(Slot{std::move(call)});
        subscription.m_slots = m_slots;
        m_slots->push_back(subscription.m_slot);
        return subscription;
    }

    void operator()(Args... args) const
    {
        const Slots now = *m_slots; // a slot may subscribe or unsubscribe others meanwhile
        for (const auto& slot : now)
            if (slot->live)
                slot->call(args...);
    }

    bool empty() const { return m_slots->empty(); }

private:
    std::shared_ptr<Slots> m_slots = std::make_shared<Slots>();
};

// The subscriptions of one observer, ended together when it goes.
class Subscriptions {
public:
    template <class S, class F>
    void follow(S& signal, F&& call)
    {
        m_all.push_back(std::make_shared<typename S::Subscription>(signal.subscribe(std::forward<F>(call))));
    }
    void clear() { m_all.clear(); }

private:
    std::vector<std::shared_ptr<void>> m_all;
};

} // namespace tavu
