#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavu {

// SASL PLAIN for IRC: the AUTHENTICATE lines that carry an account and its password, base64
// encoded in pieces of 400 bytes (a final "+" when the last piece is a full one).
class SaslPlain {
public:
    static std::vector<std::string> authenticateLines(std::string_view account, std::string_view password);
    static std::string base64(std::string_view bytes);
};

} // namespace tavu
