#pragma once

#include <string>
#include <string_view>

namespace tavu {

// How the server compares nicks and channel names (the CASEMAPPING token of its ISUPPORT list).
// "rfc1459" also folds []\~ into {}|^, "strict-rfc1459" the same without ~, "ascii" only A-Z.
// A server that names no mapping uses rfc1459; one that names a mapping this program does not
// know is treated as ascii, the narrowest, so that two names are never taken for one by mistake.
class IrcCaseMapping {
public:
    enum class Kind { Ascii, Rfc1459, StrictRfc1459 };

    IrcCaseMapping() = default;
    explicit IrcCaseMapping(Kind kind) : m_kind(kind) {}
    static IrcCaseMapping fromToken(std::string_view value);

    Kind kind() const { return m_kind; }
    char fold(char c) const;
    std::string fold(std::string_view text) const;
    bool equals(std::string_view a, std::string_view b) const;

private:
    Kind m_kind = Kind::Rfc1459;
};

} // namespace tavu
