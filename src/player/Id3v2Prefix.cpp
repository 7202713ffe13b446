#include "player/Id3v2Prefix.h"

#include <algorithm>

namespace tavu {
namespace {

constexpr std::uint64_t kHeaderBytes = 10;
constexpr unsigned char kFooterFlag = 0x10;

// The size of the tag that starts with this header, or 0 when the bytes are no ID3v2 header.
std::uint64_t tagSize(const unsigned char (&h)[kHeaderBytes])
{
    if (h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] == 0xFF || h[4] == 0xFF)
        return 0;
    std::uint64_t body = 0;
    for (int i = 6; i < 10; ++i) {
        if (h[i] & 0x80)
            return 0; // sizes are sync-safe: seven bits a byte
        body = (body << 7) | h[i];
    }
    return kHeaderBytes + body + ((h[5] & kFooterFlag) ? kHeaderBytes : 0);
}

} // namespace

std::uint64_t id3v2PrefixSize(std::istream& in, std::uint64_t streamSize)
{
    std::uint64_t total = 0;
    while (total + kHeaderBytes <= streamSize) {
        unsigned char header[kHeaderBytes];
        if (!in.read(reinterpret_cast<char*>(header), kHeaderBytes))
            break;
        const std::uint64_t size = tagSize(header);
        if (size == 0)
            break;
        total = std::min(total + size, streamSize);
        if (!in.seekg(static_cast<std::streamoff>(size - kHeaderBytes), std::ios::cur))
            break;
    }
    return total;
}

} // namespace tavu
