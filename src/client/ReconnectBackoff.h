#pragma once

#include <cstdint>
#include <functional>

namespace tavu {

// The delays between attempts to reach a server: the first is minMs, each following one twice the
// one before, up to maxMs, and each is moved by a random amount of up to ±jitter of itself, so
// that many clients cut off at once do not come back at once. A connection that stayed up for
// stableMs starts the series again.
class ReconnectBackoff {
public:
    struct Params {
        std::int64_t minMs = 10'000;
        std::int64_t maxMs = 300'000;
        double jitter = 0.25;
        std::int64_t stableMs = 120'000;
    };
    // random gives numbers uniform in [0, 1).
    ReconnectBackoff(Params params, std::function<double()> random);

    // The delay before the next attempt, after a connection that lasted upMs (0 when it never
    // came up).
    std::int64_t nextDelay(std::int64_t upMs);
    void reset() { m_attempt = 0; }
    int attempts() const { return m_attempt; }

private:
    Params m_params;
    std::function<double()> m_random;
    int m_attempt = 0;
};

} // namespace tavu
