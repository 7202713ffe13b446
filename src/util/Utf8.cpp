#include "util/Utf8.h"

namespace tavu {
namespace {

constexpr char32_t kEscapeBase = 0xDC80;

// Length of the well-formed sequence starting at text[i], or 0 when it is not well-formed.
std::size_t sequenceLength(std::string_view text, std::size_t i, char32_t& out)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        out = b0;
        return 1;
    }
    std::size_t len = 0;
    char32_t c = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, c = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, c = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, c = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > text.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    out = c;
    return len;
}

} // namespace

std::u32string decodeUtf8(std::string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t len = sequenceLength(text, i, c);
        if (len == 0) {
            out.push_back(kEscapeBase + static_cast<unsigned char>(text[i]));
            ++i;
        } else {
            out.push_back(c);
            i += len;
        }
    }
    return out;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
        out.push_back(static_cast<char>(c - kEscapeBase));
    } else if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string encodeUtf8(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : text)
        appendUtf8(out, c);
    return out;
}

bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t len = sequenceLength(text, i, c);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::size_t utf8CharLength(std::string_view text, std::size_t pos)
{
    char32_t c = 0;
    const std::size_t len = sequenceLength(text, pos, c);
    return len == 0 ? 1 : len;
}

std::size_t utf8Length(std::string_view text)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size();) {
        i += utf8CharLength(text, i);
        ++n;
    }
    return n;
}

std::string utf8Left(std::string_view text, std::size_t n)
{
    std::size_t i = 0;
    for (std::size_t count = 0; i < text.size() && count < n; ++count) {
        i += utf8CharLength(text, i);
    }
    return std::string(text.substr(0, i));
}

} // namespace tavu
