#include "support/TestDir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tavu::test {

TestDir::TestDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tavu-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TestDir::~TestDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string samplePath(const std::string& name)
{
    return std::string(TAVU_SAMPLES_DIR) + "/" + name;
}

} // namespace tavu::test
