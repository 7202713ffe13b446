#pragma once

#include <fstream>
#include <string>

namespace tavu::bench {

// This process's resident set size in kB, from /proc; 0 when it cannot be read.
inline long rssKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

} // namespace tavu::bench
