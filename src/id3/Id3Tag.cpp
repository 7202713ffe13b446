#include "id3/Id3Tag.h"

#include "id3/GenreTable.h"
#include "util/Cp1252.h"

#include <string>

#include <array>
#include <filesystem>
#include <fstream>

namespace tavu {

namespace {

constexpr std::size_t kTagSize = 128;

// The bytes of one field as the window shows them.
std::string fieldText(std::string_view bytes)
{
    bytes = bytes.substr(0, bytes.find('\0'));
    const auto first = bytes.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = bytes.find_last_not_of(' ');
    return cp1252ToUtf8(bytes.substr(first, last - first + 1));
}

// The last 128 bytes of a plain file, or nothing.
bool readTrailer(const std::string& path, std::array<char, kTagSize>& trailer)
{
    std::error_code ec;
    // Only plain files: opening a pipe or a device named like a song would block or never end.
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in.seekg(0, std::ios::end))
        return false;
    const std::streamoff length = in.tellg();
    if (length < static_cast<std::streamoff>(kTagSize))
        return false;
    in.seekg(length - static_cast<std::streamoff>(kTagSize));
    return static_cast<bool>(in.read(trailer.data(), kTagSize));
}

} // namespace

Id3Tag ReadSongTag(const std::string& path)
{
    std::array<char, kTagSize> raw{};
    if (!readTrailer(path, raw))
        return {};
    const std::string_view tag(raw.data(), raw.size());
    if (tag.substr(0, 3) != "TAG")
        return {};
    Id3Tag out;
    out.title = fieldText(tag.substr(3, 30));
    out.artist = fieldText(tag.substr(33, 30));
    out.album = fieldText(tag.substr(63, 30));
    out.year = fieldText(tag.substr(93, 4));
    out.comment = fieldText(tag.substr(97, 30));
    getgenrefromID(static_cast<unsigned char>(tag[127]), out.genre);
    // ID3v1.1: a NUL before the comment's last byte makes that byte the track number.
    if (tag[125] == '\0' && tag[126] != '\0')
        out.track = std::to_string(static_cast<unsigned char>(tag[126]));
    return out;
}

} // namespace tavu
