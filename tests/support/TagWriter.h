#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tavu::test {

// Tags written byte for byte, as taggers write them, to put around the frames of an Mp3Writer.

enum class TextEncoding { Latin1 = 0, Utf16 = 1, Utf8 = 3 };

// One text frame: its id in the tag's version ("TT2" in 2.2, "TIT2" in 2.3 and 2.4) and its text
// in UTF-8, written in the tag's encoding. A "COMM" or "COM" frame is written as a comment.
struct TextFrame {
    std::string id;
    std::string text;
};

// An ID3v2 tag of version 2, 3 or 4.
std::string id3v2Tag(int version, TextEncoding encoding, const std::vector<TextFrame>& frames);
// An ID3v2.4 tag whose header claims `claimed` bytes, holding one title frame.
std::string id3v2Claiming(unsigned long claimed, const std::string& title);
// An APEv2 tag with a footer: items such as {"Title", "..."}, UTF-8.
std::string apeTag(const std::vector<std::pair<std::string, std::string>>& items);

} // namespace tavu::test
