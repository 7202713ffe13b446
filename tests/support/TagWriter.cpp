#include "support/TagWriter.h"

#include "util/Utf8.h"

#include <cstdint>

namespace tavu::test {
namespace {

std::string syncsafe(std::uint32_t n)
{
    return {static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
            static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)};
}

std::string bigEndian(std::uint32_t n, int bytes)
{
    std::string out;
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
    return out;
}

std::string littleEndian(std::uint32_t n)
{
    return {static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF), static_cast<char>((n >> 16) & 0xFF),
            static_cast<char>((n >> 24) & 0xFF)};
}

std::string encoded(const std::string& utf8, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Latin1: {
        std::string out;
        for (const char32_t c : decodeUtf8(utf8))
            out.push_back(static_cast<char>(c < 0x100 ? c : '?'));
        return out;
    }
    case TextEncoding::Utf16: {
        std::string out = "\xFF\xFE"; // little endian, with its byte order mark
        for (char32_t c : decodeUtf8(utf8)) {
            auto unit = [&out](std::uint32_t u) {
                out.push_back(static_cast<char>(u & 0xFF));
                out.push_back(static_cast<char>(u >> 8));
            };
            if (c >= 0x10000) {
                c -= 0x10000;
                unit(0xD800 + (c >> 10));
                unit(0xDC00 + (c & 0x3FF));
            } else {
                unit(c);
            }
        }
        return out;
    }
    case TextEncoding::Utf8:
        return utf8;
    }
    return utf8;
}

} // namespace

std::string id3v2Tag(int version, TextEncoding encoding, const std::vector<TextFrame>& frames)
{
    std::string body;
    for (const TextFrame& frame : frames) {
        std::string data(1, static_cast<char>(encoding));
        if (frame.id == "COMM" || frame.id == "COM")
            data += "eng" + encoded("", encoding) + std::string(encoding == TextEncoding::Utf16 ? 2 : 1, '\0');
        data += encoded(frame.text, encoding);
        const auto size = static_cast<std::uint32_t>(data.size());
        if (version == 2)
            body += frame.id + bigEndian(size, 3);
        else
            body += frame.id + (version == 4 ? syncsafe(size) : bigEndian(size, 4)) + std::string(2, '\0');
        body += data;
    }
    return "ID3" + std::string{static_cast<char>(version), '\0', '\0'} +
           syncsafe(static_cast<std::uint32_t>(body.size())) + body;
}

std::string id3v2Claiming(unsigned long claimed, const std::string& title)
{
    std::string tag = id3v2Tag(4, TextEncoding::Utf8, {{"TIT2", title}});
    return tag.substr(0, 6) + syncsafe(static_cast<std::uint32_t>(std::min(claimed, 0x0FFFFFFFul))) + tag.substr(10);
}

std::string apeTag(const std::vector<std::pair<std::string, std::string>>& items)
{
    std::string body;
    for (const auto& [key, value] : items)
        body += littleEndian(static_cast<std::uint32_t>(value.size())) + littleEndian(0) + key + '\0' + value;
    const auto size = static_cast<std::uint32_t>(body.size() + 32);
    return body + "APETAGEX" + littleEndian(2000) + littleEndian(size) +
           littleEndian(static_cast<std::uint32_t>(items.size())) + littleEndian(0) + std::string(8, '\0');
}

} // namespace tavu::test
