#include "ui/DisplayName.h"

#include "util/Cp1252.h"
#include "util/Utf8.h"

namespace tavu {

namespace {
// decodeUtf8 keeps a byte that is not valid UTF-8 as U+DC80 + byte.
constexpr char32_t kEscapedByte = 0xDC80;
bool isEscapedByte(char32_t c)
{
    return c >= kEscapedByte && c <= kEscapedByte + 0xFF;
}
} // namespace

QString displayName(const std::string& bytes)
{
    if (isValidUtf8(bytes))
        return QString::fromStdString(bytes);
    std::string readable;
    readable.reserve(bytes.size() + 8);
    for (const char32_t c : decodeUtf8(bytes)) {
        if (isEscapedByte(c))
            readable += cp1252ToUtf8(std::string(1, static_cast<char>(c - kEscapedByte)));
        else
            appendUtf8(readable, c);
    }
    return QString::fromStdString(readable);
}

} // namespace tavu
