#include "util/SoundFiles.h"

#include "util/Text.h"

#include <algorithm>
#include <filesystem>

namespace tavu {
namespace fs = std::filesystem;
namespace {

// The entry of `dir` named `part` exactly, or else the first (in byte order) whose name differs only
// in letter case.
std::optional<fs::path> entryNoCase(const fs::path& dir, const std::string& part)
{
    std::error_code ec;
    if (fs::exists(dir / part, ec))
        return dir / part;
    std::optional<fs::path> best;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path candidate = it->path();
        if (equalsNoCase(candidate.filename().string(), part) && (!best || candidate < *best))
            best = candidate;
    }
    return best;
}

// `parts` below `dir`, each matched as entryNoCase does; the result must be a regular file.
std::optional<std::string> findBelow(const fs::path& dir, const std::vector<std::string>& parts)
{
    fs::path at = dir;
    for (const std::string& part : parts) {
        const auto next = entryNoCase(at, part);
        if (!next)
            return std::nullopt;
        at = *next;
    }
    std::error_code ec;
    if (!fs::is_regular_file(at, ec))
        return std::nullopt;
    return at.string();
}

std::vector<std::string> splitPath(std::string_view name)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char c : name) {
        if (c != '/' && c != '\\') {
            part += c;
            continue;
        }
        if (!part.empty() && part != ".")
            parts.push_back(part);
        part.clear();
    }
    if (!part.empty() && part != ".")
        parts.push_back(part);
    return parts;
}

} // namespace

std::optional<std::string> findSoundFile(std::string_view name, const std::string& programDir,
                                         const std::vector<std::string>& folders)
{
    std::vector<std::string> parts = splitPath(name);
    if (parts.empty() || std::find(parts.begin(), parts.end(), "..") != parts.end())
        return std::nullopt;
    if (parts.size() == 1)
        parts.insert(parts.begin(), "Sounds");
    if (!programDir.empty())
        if (auto found = findBelow(programDir, parts))
            return found;
    for (const std::string& folder : folders)
        if (!folder.empty())
            if (auto found = findBelow(folder, {parts.back()}))
                return found;
    return std::nullopt;
}

} // namespace tavu
