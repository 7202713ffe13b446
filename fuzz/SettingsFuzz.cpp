// The settings reader and writer on arbitrary Tavu.ini files. Input: one byte choosing a key, the
// value to write up to the first line end, then the old file's bytes.
//
// Invariants: a write the writer refuses leaves the file byte for byte; a write it accepts reads
// back as the reading rules give the value written, and every other key of the file still reads as
// it did.
#include "FuzzSupport.h"

#include "settings/ProfileFile.h"
#include "settings/SettingsKeys.h"
#include "util/Cp1252.h"
#include "util/Text.h"

#include <array>
#include <utility>
#include <vector>

namespace {

using namespace tavu;

struct Key {
    std::string_view section;
    std::string_view key;
};

// The keys the program writes, spelled as it spells them.
constexpr std::array<Key, 14> kKeys{{
    {"Settings", "Volume"},
    {"Settings", "Mp3 Directory"},
    {"Settings", "trig"},
    {"Settings", "Handle"},
    {"Totals", "Mp3s Played"},
    {"Totals", "Loads"},
    {"Ascii", "Front Ascii"},
    {"Ascii", "text color"},
    {"Ascii", "Back Ascii Font"},
    {"Chat", "Owner"},
    {"Chat", "Nick"},
    {"settings", "VOLUME"},
    {"Ascii", "Middle Ascii Color"},
    {"Styles", "x"},
}};

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The section and key names of the file, as the reader would look them up.
std::vector<std::pair<std::string, std::string>> keysOf(std::string_view bytes)
{
    std::vector<std::pair<std::string, std::string>> found;
    std::string section;
    fuzz::Pieces lines(bytes);
    while (!lines.done() && found.size() < 64) {
        std::string_view line = lines.next();
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string_view t = trimmed(line);
        if (!t.empty() && t.front() == '[') {
            std::string_view name = t.substr(1);
            name = trimmed(name.substr(0, name.find(']')));
            section = decodeStoredText(name);
        } else if (line.find('=') != std::string_view::npos) {
            const std::string key = decodeStoredText(trimmed(line.substr(0, line.find('='))));
            if (!key.empty())
                found.emplace_back(section, key);
        }
    }
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const Key& chosen = kKeys[data[0] % kKeys.size()];
    fuzz::Pieces pieces(fuzz::asText(data + 1, size - 1));
    const std::string value(pieces.next());
    const std::string_view oldFile = pieces.rest();

    const std::string path = fuzz::scratchDir() + "/Tavu.ini";
    fuzz::writeFile(path, oldFile);
    const auto names = keysOf(oldFile);
    std::vector<std::string> before;
    for (const auto& [section, key] : names)
        before.push_back(readSetting(section, key, path));

    if (!writeSetting(chosen.section, chosen.key, value, path)) {
        FUZZ_CHECK(fuzz::readFile(path) == oldFile);
        return 0;
    }
    FUZZ_CHECK(readSetting(chosen.section, chosen.key, path) == profileValue(encodeStoredText(value)));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto& [section, key] = names[i];
        if (equalsNoCase(section, chosen.section) && equalsNoCase(key, chosen.key))
            continue;
        FUZZ_CHECK(readSetting(section, key, path) == before[i]);
    }
    return 0;
}
