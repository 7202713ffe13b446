#include "chat/StyleCommands.h"

#include "bot/Bot.h"
#include "settings/ProfileFile.h"
#include "util/Utf8.h"

namespace tavu {

std::string_view styleKey(std::string Style::*value)
{
    for (const Style::Field& field : Style::fields())
        if (field.value == value)
            return field.key;
    return {};
}

const std::array<StyleCommands::Command, 11>& StyleCommands::table()
{
    static const std::array<Command, 11> rows{{
        {"fac", Kind::Colour, &Style::fac, " Front Ascii Color is now: ", " Front Ascii Color: "},
        {"mac", Kind::Colour, &Style::mac, " Middle Ascii Color is now: ", " Middle Ascii Color: "},
        {"bac", Kind::Colour, &Style::bac, " Back Ascii Color is now: ", " Back Ascii Color: "},
        {"tc", Kind::Colour, &Style::tc, " Text Color is now: ", " Text Color: "},
        {"faf", Kind::Font, &Style::faf, " Front Ascii Font is now: ", " Front Ascii Font: "},
        {"maf", Kind::Font, &Style::maf, " Middle Ascii Font is now: ", " Middle Ascii Font: "},
        {"baf", Kind::Font, &Style::baf, " Back Ascii Font is now: ", " Back Ascii Font: "},
        {"tf", Kind::Font, &Style::tf, " Text Font is now: ", " Text Font: "},
        {"fa", Kind::Decoration, &Style::fa, " Front Ascii is now: ", " Front Ascii: "},
        {"ma", Kind::Decoration, &Style::ma, " Middle Ascii is now: ", " Middle Ascii: "},
        {"ba", Kind::Decoration, &Style::ba, " Back Ascii is now: ", " Back Ascii: "},
    }};
    return rows;
}

std::optional<std::string_view> StyleCommands::refusal(Bot& bot, Kind kind, const std::string& argument)
{
    switch (kind) {
    case Kind::Colour:
        if (utf8Length(argument) > 6)
            return " Invalid font color ";
        return std::nullopt;
    case Kind::Font:
        // The font is stored as typed; the list's own spelling only decides whether it exists.
        bot.lstFonts.select(bot.lstFonts.findNoCase(argument));
        if (bot.lstFonts.selectedText().empty())
            return " Invalid Font ";
        return std::nullopt;
    case Kind::Decoration:
        return std::nullopt;
    }
    return std::nullopt;
}

void StyleCommands::set(Bot& bot, const Command& command, const std::string& argument)
{
    if (const auto refused = refusal(bot, command.kind, argument)) {
        bot.reply(*refused);
        return;
    }
    bot.style.*command.value = argument;
    bot.style.BuildStylePieces();
    // Like every setting, a value that cannot be stored still holds until the program ends.
    bot.settings().write(kStyleSection, styleKey(command.value), argument);
    bot.reply(std::string(command.setText) + argument + " ");
}

void StyleCommands::query(Bot& bot, const Command& command)
{
    bot.reply(std::string(command.queryText) + bot.style.*command.value + " ");
}

} // namespace tavu
