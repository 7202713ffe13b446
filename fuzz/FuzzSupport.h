#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// Helpers shared by the fuzz targets. Each target defines LLVMFuzzerTestOneInput; built with
// TAVU_FUZZ it is a libFuzzer program, otherwise ReplayMain.cpp feeds it the files of its corpus.

// Stops the run like a crash when an invariant of the program does not hold for an input.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);                     \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

namespace tavu::fuzz {

// A directory of this process for the files a target writes: in /dev/shm when there is one, so
// that the flushes of the atomic writes cost nothing. Removed when the process ends normally.
const std::string& scratchDir();

void writeFile(const std::string& path, std::string_view bytes);
std::string readFile(const std::string& path);

// The input cut into pieces at a separator byte.
struct Pieces {
    explicit Pieces(std::string_view data, char separator = '\n') : m_rest(data), m_separator(separator) {}
    bool done() const { return m_rest.empty() && m_finished; }
    std::string_view next();
    std::string_view rest() const { return m_rest; }

private:
    std::string_view m_rest;
    char m_separator;
    bool m_finished = false;
};

inline std::string_view asText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace tavu::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
