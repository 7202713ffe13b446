#include "client/SaslPlain.h"

#include "client/IrcMessage.h"

#include <cstdint>

namespace tavu {

std::string SaslPlain::base64(std::string_view bytes)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t chunk = 0;
        for (std::size_t k = 0; k < 3; ++k)
            chunk = (chunk << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            out.push_back(k <= n ? kAlphabet[(chunk >> (18 - 6 * k)) & 0x3F] : '=');
    }
    return out;
}

std::vector<std::string> SaslPlain::authenticateLines(std::string_view account, std::string_view password)
{
    std::string credentials;
    credentials.append(account).push_back('\0');
    credentials.append(account).push_back('\0');
    credentials.append(password);
    const std::string encoded = base64(credentials);
    std::vector<std::string> lines;
    constexpr std::size_t kPiece = 400;
    for (std::size_t pos = 0; pos < encoded.size(); pos += kPiece)
        lines.push_back(ircLine("AUTHENTICATE", {encoded.substr(pos, kPiece)}));
    if (encoded.size() % kPiece == 0)
        lines.push_back("AUTHENTICATE +");
    return lines;
}

} // namespace tavu
