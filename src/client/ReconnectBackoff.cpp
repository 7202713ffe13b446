#include "client/ReconnectBackoff.h"

#include <algorithm>
#include <cmath>

namespace tavu {

ReconnectBackoff::ReconnectBackoff(Params params, std::function<double()> random)
    : m_params(params), m_random(std::move(random))
{
}

std::int64_t ReconnectBackoff::nextDelay(std::int64_t upMs)
{
    if (upMs >= m_params.stableMs)
        m_attempt = 0;
    double base = static_cast<double>(m_params.minMs);
    for (int i = 0; i < m_attempt && base < static_cast<double>(m_params.maxMs); ++i)
        base *= 2;
    base = std::min(base, static_cast<double>(m_params.maxMs));
    ++m_attempt;
    const double spread = (m_random() * 2.0 - 1.0) * m_params.jitter;
    return std::max<std::int64_t>(1, std::llround(base * (1.0 + spread)));
}

} // namespace tavu
