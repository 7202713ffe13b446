#include "id3/Id3Tag.h"

#include "id3/GenreTable.h"
#include "util/Cp1252.h"
#include "util/SongFileHandle.h"
#include "util/Text.h"

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
    return cp1252ToUtf8(trimmed(bytes.substr(0, bytes.find('\0')), " "));
}

} // namespace

Id3Tag readSongTag(const std::string& path)
{
    return readSongTag(SongFileHandle(path));
}

Id3Tag readSongTag(const SongFileHandle& file)
{
    if (!file.plain() || file.size() < kTagSize)
        return {};
    const std::string raw = file.readAt(file.size() - kTagSize, kTagSize);
    const std::string_view tag(raw);
    if (tag.size() != kTagSize || tag.substr(0, 3) != "TAG")
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
