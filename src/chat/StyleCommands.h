#pragma once

#include "style/Style.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tavu {

class Bot;

// The section of Tavu.ini and of the style files that holds the style.
inline constexpr std::string_view kStyleSection = "Ascii";

// The key of one style value in section "Ascii".
std::string_view styleKey(std::string Style::*value);

// The eleven set commands ("fac", "faf", "fa", ...) and the eleven query commands ("fac?", ...):
// one table row per style value.
class StyleCommands {
public:
    // How a set command tests its argument: a colour may be at most 6 characters, a font must be
    // an installed one, a decoration is anything.
    enum class Kind { Colour, Font, Decoration };

    struct Command {
        std::string_view word;
        Kind kind;
        std::string Style::*value;
        std::string_view setText;   // the confirmation starts with this, then the value and a blank
        std::string_view queryText; // the answer to word + "?" starts with this
    };
    static const std::array<Command, 11>& table();

    // The reply body that refuses the argument, or nothing when it passes. The font test selects
    // the matching item of lstFonts (or none).
    static std::optional<std::string_view> refusal(Bot& bot, Kind kind, const std::string& argument);

    // Stores the value, rebuilds the pieces, writes Tavu.ini and confirms in the new style.
    static void set(Bot& bot, const Command& command, const std::string& argument);
    static void query(Bot& bot, const Command& command);
};

} // namespace tavu
