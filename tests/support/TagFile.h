#pragma once

#include <string>
#include <string_view>

namespace tavu::test {

// One field of an ID3 version 1 tag: the text, cut or padded to its size.
inline std::string tagField(std::string_view text, std::size_t size, char pad = '\0')
{
    std::string field(text.substr(0, size));
    field.resize(size, pad);
    return field;
}

struct TagText {
    std::string_view title, artist, album, year, comment;
    unsigned char genre = 255;
    char pad = '\0';
    std::string_view marker = "TAG";
};

// The 128 bytes of an ID3 version 1 tag.
inline std::string id3v1(const TagText& t)
{
    return std::string(t.marker) + tagField(t.title, 30, t.pad) + tagField(t.artist, 30, t.pad) +
           tagField(t.album, 30, t.pad) + tagField(t.year, 4, t.pad) + tagField(t.comment, 30, t.pad) +
           std::string(1, static_cast<char>(t.genre));
}

// Some audio-like bytes followed by the tag.
inline std::string songWithTag(const TagText& t)
{
    return std::string(417, '\x55') + id3v1(t);
}

} // namespace tavu::test
