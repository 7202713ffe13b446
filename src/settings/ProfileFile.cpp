#include "settings/ProfileFile.h"

#include "settings/AtomicFile.h"
#include "util/Cp1252.h"
#include "util/Text.h"
#include "util/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <sys/stat.h>
#include <vector>

namespace tavu {
namespace {

constexpr std::size_t kMaxValueLength = 749;

std::string_view trimBlanks(std::string_view s)
{
    return trimmed(s, " \t");
}

// One line of the file, without its line end.
struct Line {
    std::string_view text;
    bool isSection() const { return !trimBlanks(text).empty() && trimBlanks(text).front() == '['; }
    std::string_view sectionName() const
    {
        std::string_view t = trimBlanks(text).substr(1);
        const auto close = t.find(']');
        return trimBlanks(close == std::string_view::npos ? t : t.substr(0, close));
    }
    bool hasKey() const { return !isSection() && text.find('=') != std::string_view::npos; }
    std::string_view keyName() const { return trimBlanks(text.substr(0, text.find('='))); }
    std::string_view rawValue() const { return text.substr(text.find('=') + 1); }
};

std::vector<Line> splitLines(std::string_view bytes)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        auto end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view text = bytes.substr(start, end - start);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        lines.push_back({text});
        start = end + 1;
    }
    return lines;
}

// A settings file as last read on this thread, kept while it stays the same file with the same
// size and times: a start-up reads dozens of keys, and a big file would otherwise be read and
// split again for each. A file changed less than a second before it was read may change again
// within the same tick of the file times, so it is read again the next time.
class ParsedFile {
public:
    // The lines of the file; nothing when it is missing or cannot be read.
    const std::vector<Line>* lines(const std::string& path)
    {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            m_path.clear();
            return nullptr;
        }
        const Stamp stamp = stampOf(st);
        if (path == m_path && stamp == m_stamp && settled(st))
            return &m_lines;
        m_path.clear();
        auto bytes = readFileBytes(path);
        if (!bytes)
            return nullptr;
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        m_readNs = nanoseconds(now);
        m_bytes = std::move(*bytes);
        m_lines = splitLines(m_bytes);
        m_path = path;
        m_stamp = stamp;
        return &m_lines;
    }

    const std::string& bytes() const { return m_bytes; }

private:
    struct Stamp {
        dev_t dev;
        ino_t ino;
        off_t size;
        std::int64_t mtime, ctime;
        bool operator==(const Stamp&) const = default;
    };
    static std::int64_t nanoseconds(const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }
    static Stamp stampOf(const struct stat& st)
    {
        return {st.st_dev, st.st_ino, st.st_size, nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
    }
    bool settled(const struct stat& st) const
    {
        return m_readNs - std::max(nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)) > 1'000'000'000;
    }

    std::string m_path;
    Stamp m_stamp{};
    std::int64_t m_readNs = 0;
    std::string m_bytes;
    std::vector<Line> m_lines; // views of m_bytes
};

ParsedFile& parsedFile()
{
    thread_local ParsedFile file;
    return file;
}

bool sameName(std::string_view stored, std::string_view wanted)
{
    return equalsNoCase(decodeStoredText(stored), wanted);
}

bool unsafeText(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

std::string profileValue(std::string_view rawValueBytes)
{
    std::string_view v = trimBlanks(rawValueBytes);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return utf8Left(decodeStoredText(v), kMaxValueLength);
}

std::string readSetting(std::string_view section, std::string_view key, const std::string& path)
{
    const std::vector<Line>* lines = parsedFile().lines(path);
    if (!lines)
        return {};
    const std::string wantedKey = toLower(key);
    bool inSection = false;
    bool sectionSeen = false;
    for (const Line& line : *lines) {
        if (line.isSection()) {
            if (sectionSeen && inSection)
                break; // only the first section of that name counts
            inSection = sameName(line.sectionName(), section);
            sectionSeen = sectionSeen || inSection;
        } else if (inSection && line.hasKey() && sameName(line.keyName(), wantedKey)) {
            return profileValue(line.rawValue());
        }
    }
    return {};
}

bool writeSetting(std::string_view section, std::string_view key, std::string_view value, const std::string& path)
{
    if (unsafeText(section) || unsafeText(key) || unsafeText(value) || key.find('=') != std::string_view::npos ||
        section.find(']') != std::string_view::npos || trimBlanks(key).empty())
        return false;
    const std::string upperKey = toUpper(key);
    // A file that is there but cannot be read (not a plain file, too big) is never written over.
    const std::vector<Line>* read = parsedFile().lines(path);
    struct stat st {};
    if (!read && ::stat(path.c_str(), &st) == 0)
        return false;
    static const std::vector<Line> none;
    const std::vector<Line>& lines = read ? *read : none;
    const std::size_t existingSize = read ? parsedFile().bytes().size() : 0;
    const std::string encodedValue = encodeStoredText(value);

    std::vector<std::string> out;
    out.reserve(lines.size() + 3);
    bool done = false;
    std::size_t i = 0;
    for (; i < lines.size() && !done; ++i) {
        out.emplace_back(lines[i].text);
        if (!lines[i].isSection() || !sameName(lines[i].sectionName(), section))
            continue;
        // Inside the first section of that name: replace the key, or add it after the section's
        // last non-blank line.
        std::size_t lastFilled = out.size();
        std::size_t j = i + 1;
        for (; j < lines.size() && !lines[j].isSection(); ++j) {
            const Line& l = lines[j];
            if (!done && l.hasKey() && sameName(l.keyName(), key)) {
                const std::string_view keyPart = l.text.substr(0, l.text.find('='));
                out.push_back(std::string(keyPart) + "=" + encodedValue);
                done = true;
            } else {
                out.emplace_back(l.text);
            }
            if (!trimBlanks(l.text).empty())
                lastFilled = out.size();
        }
        if (!done) {
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(lastFilled),
                       encodeStoredText(upperKey) + "=" + encodedValue);
            done = true;
        }
        i = j - 1;
    }
    for (; i < lines.size(); ++i)
        out.emplace_back(lines[i].text);
    if (!done) {
        if (!out.empty() && !trimBlanks(out.back()).empty())
            out.emplace_back();
        out.push_back("[" + encodeStoredText(section) + "]");
        out.push_back(encodeStoredText(upperKey) + "=" + encodedValue);
    }

    std::string bytes;
    bytes.reserve(existingSize + value.size() + key.size() + 8);
    for (const auto& l : out) {
        bytes += l;
        bytes += "\r\n";
    }
    return writeFileAtomically(path, bytes);
}

} // namespace tavu
