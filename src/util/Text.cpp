#include "util/Text.h"

#include "util/Utf8.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <optional>

namespace tavu {
namespace {

const std::ctype<wchar_t>* wideCtype()
{
    static const std::optional<std::locale> locale = []() -> std::optional<std::locale> {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            try {
                return std::locale(name);
            } catch (const std::runtime_error&) {
            }
        }
        return std::nullopt;
    }();
    return locale ? &std::use_facet<std::ctype<wchar_t>>(*locale) : nullptr;
}

bool isEscapedByte(char32_t c)
{
    return c >= 0xDC80 && c <= 0xDCFF;
}

} // namespace

char32_t lowerChar(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 32;
    switch (c) {
    case 0x160:
        return 0x161; // Š
    case 0x152:
        return 0x153; // Œ
    case 0x17D:
        return 0x17E; // Ž
    case 0x178:
        return 0xFF; // Ÿ
    default:
        break;
    }
    if (c < 0x100 || isEscapedByte(c))
        return c;
    if (const auto* ct = wideCtype())
        return static_cast<char32_t>(ct->tolower(static_cast<wchar_t>(c)));
    return c;
}

char32_t upperChar(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 32;
    switch (c) {
    case 0x161:
        return 0x160;
    case 0x153:
        return 0x152;
    case 0x17E:
        return 0x17D;
    case 0xFF:
        return 0x178;
    default:
        break;
    }
    if (c < 0x100 || isEscapedByte(c))
        return c;
    if (const auto* ct = wideCtype())
        return static_cast<char32_t>(ct->toupper(static_cast<wchar_t>(c)));
    return c;
}

std::u32string toLower32(std::u32string_view text)
{
    std::u32string out(text);
    for (auto& c : out)
        c = lowerChar(c);
    return out;
}

std::string toLower(std::string_view text)
{
    std::string out(text);
    bool ascii = true;
    for (auto& ch : out) {
        if (static_cast<unsigned char>(ch) >= 0x80) {
            ascii = false;
            break;
        }
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch + 32);
    }
    if (ascii)
        return out;
    return encodeUtf8(toLower32(decodeUtf8(text)));
}

std::string toUpper(std::string_view text)
{
    std::u32string wide = decodeUtf8(text);
    for (auto& c : wide)
        c = upperChar(c);
    return encodeUtf8(wide);
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() == b.size() && a == b)
        return true;
    return toLower(a) == toLower(b);
}

bool containsNoCase(std::string_view text, std::string_view search)
{
    return toLower(text).find(toLower(search)) != std::string::npos;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    const std::u32string t = decodeUtf8(text);
    const std::u32string p = decodeUtf8(prefix);
    if (p.size() > t.size())
        return false;
    for (std::size_t i = 0; i < p.size(); ++i)
        if (lowerChar(t[i]) != lowerChar(p[i]))
            return false;
    return true;
}

int compareNoCase(std::string_view a, std::string_view b)
{
    // Compares character by character without building lower-cased copies: sorting a hundred
    // thousand songs calls this millions of times.
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) {
            const char32_t la = lowerChar(ca);
            const char32_t lb = lowerChar(cb);
            if (la != lb)
                return la < lb ? -1 : 1;
            ++i, ++j;
            continue;
        }
        const auto next = [](std::string_view s, std::size_t& k) {
            std::size_t len = 1;
            const auto c0 = static_cast<unsigned char>(s[k]);
            if (c0 >= 0xF0)
                len = 4;
            else if (c0 >= 0xE0)
                len = 3;
            else if (c0 >= 0xC0)
                len = 2;
            len = std::min(len, s.size() - k);
            const std::u32string decoded = decodeUtf8(s.substr(k, len));
            if (decoded.size() != 1) {
                ++k;
                return decodeUtf8(s.substr(k - 1, 1))[0];
            }
            k += len;
            return decoded[0];
        };
        const char32_t la = lowerChar(next(a, i));
        const char32_t lb = lowerChar(next(b, j));
        if (la != lb)
            return la < lb ? -1 : 1;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    if (const int c = a.compare(b); c != 0)
        return c < 0 ? -1 : 1;
    return 0;
}

std::string replaceText(std::string& text, std::string_view search, std::string_view replacement)
{
    if (search.empty())
        return text;
    const std::u32string original = decodeUtf8(text);
    const std::u32string lowered = toLower32(original);
    const std::u32string needle = toLower32(decodeUtf8(search));
    std::size_t p = lowered.find(needle);
    if (p == std::u32string::npos)
        return text;
    // Copying the unmatched stretches of the original and searching on after each match in the
    // original gives the same result as searching the new text behind the inserted replacement.
    std::string out;
    out.reserve(text.size() + replacement.size());
    std::size_t last = 0;
    while (p != std::u32string::npos) {
        out += encodeUtf8(std::u32string_view(original).substr(last, p - last));
        out += replacement;
        last = p + needle.size();
        p = lowered.find(needle, last);
    }
    out += encodeUtf8(std::u32string_view(original).substr(last));
    text = out;
    return text;
}

std::string titleOf(std::string_view song)
{
    std::string title(song);
    replaceText(title, ".mp3", "");
    return title;
}

std::string_view trimmed(std::string_view text, std::string_view blanks)
{
    const std::size_t start = text.find_first_not_of(blanks);
    if (start == std::string_view::npos)
        return {};
    return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

double leadingNumber(std::string_view text)
{
    std::string digits;
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    const auto isDigit = [&](std::size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };
    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        digits.push_back(text[i++]);
    bool any = false;
    while (isDigit(i)) {
        digits.push_back(text[i++]);
        any = true;
    }
    if (i < text.size() && text[i] == '.') {
        digits.push_back(text[i++]);
        while (isDigit(i)) {
            digits.push_back(text[i++]);
            any = true;
        }
    }
    if (!any)
        return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t k = i + 1;
        std::string exponent = "e";
        if (k < text.size() && (text[k] == '+' || text[k] == '-'))
            exponent.push_back(text[k++]);
        if (isDigit(k)) {
            while (isDigit(k))
                exponent.push_back(text[k++]);
            digits += exponent;
        }
    }
    const double value = std::strtod(digits.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::string decimal(long long value)
{
    return std::to_string(value);
}

} // namespace tavu
