#include "FuzzSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tavu::fuzz {

namespace {

struct Scratch {
    Scratch()
    {
        const std::string base = std::filesystem::is_directory("/dev/shm") && ::access("/dev/shm", W_OK) == 0
                                     ? "/dev/shm"
                                     : std::filesystem::temp_directory_path().string();
        std::string pattern = base + "/tavu-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        path = pattern;
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

} // namespace

const std::string& scratchDir()
{
    static const Scratch scratch;
    return scratch.path;
}

void writeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return std::move(buffer).str();
}

std::string_view Pieces::next()
{
    const auto at = m_rest.find(m_separator);
    if (at == std::string_view::npos) {
        m_finished = true;
        const std::string_view piece = m_rest;
        m_rest = {};
        return piece;
    }
    const std::string_view piece = m_rest.substr(0, at);
    m_rest.remove_prefix(at + 1);
    return piece;
}

} // namespace tavu::fuzz
