#pragma once

namespace tavu::test {

// A loopback port that nothing listens on right now (0 when none can be had).
int freeLoopbackPort();

// Whether a server accepts connections on the loopback port (waits at most 200 ms).
bool acceptingOnLoopback(int port);

} // namespace tavu::test
