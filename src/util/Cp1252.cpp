#include "util/Cp1252.h"

#include "util/Utf8.h"

namespace tavu {
namespace {

// 0x80..0x9F; the five bytes Windows leaves undefined map to the C1 controls of the same value.
constexpr char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<unsigned char> toByte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

bool hasHighBytes(std::string_view bytes)
{
    for (const char ch : bytes)
        if (static_cast<unsigned char>(ch) >= 0x80)
            return true;
    return false;
}

} // namespace

std::string cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out.push_back(ch);
        else
            appendUtf8(out, (b < 0xA0) ? kHigh[b - 0x80] : static_cast<char32_t>(b));
    }
    return out;
}

std::optional<std::string> utf8ToCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : decodeUtf8(text)) {
        const auto b = toByte(c);
        if (!b)
            return std::nullopt;
        out.push_back(static_cast<char>(*b));
    }
    return out;
}

std::string encodeStoredText(std::string_view text)
{
    if (auto bytes = utf8ToCp1252(text); bytes && !(hasHighBytes(*bytes) && isValidUtf8(*bytes)))
        return *bytes;
    return std::string(text);
}

std::string decodeStoredText(std::string_view bytes)
{
    if (hasHighBytes(bytes) && isValidUtf8(bytes))
        return std::string(bytes);
    return cp1252ToUtf8(bytes);
}

} // namespace tavu
