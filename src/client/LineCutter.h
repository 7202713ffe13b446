#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavu {

// Cuts a line of formatted text (IRC codes or HTML tags) into pieces of at most maxBytes bytes
// each. The text is read as units (a character, or a formatting code or tag as a whole) that are
// never cut. A cut falls just after a blank when there is one in the last quarter of the piece, so
// words stay whole. Every piece after the first starts with the formatting in force where the piece
// before it ended; a piece of nothing but formatting is left out; a unit longer than maxBytes still
// goes out, alone.
//
// Format is the formatting in force, a value type with:
//   static std::size_t unitLength(std::string_view text, std::size_t pos);
//   static bool isCode(std::string_view unit);   // formatting, not visible text
//   void apply(std::string_view unit);
//   std::string lead(std::size_t maxBytes) const; // what a piece starts with
//   std::string_view keepApart(std::string_view unit) const; // what must stand between the lead and
//                                                            // a first unit that would run into it
template <class Format>
std::vector<std::string> cutLine(std::string_view text, std::size_t maxBytes)
{
    // A cut moves back to the last blank when that lies within this share of the piece's end.
    constexpr std::size_t kNearBlankShare = 4;
    std::vector<std::string> pieces;
    Format format;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::string piece = format.lead(maxBytes);
        const std::size_t start = piece.size();
        bool visible = false;
        // The piece as it stood just after its last blank: a cut there keeps the words whole.
        struct AfterBlank {
            std::size_t size, pos;
            Format format;
        };
        std::optional<AfterBlank> afterBlank;
        while (pos < text.size()) {
            const std::size_t len = Format::unitLength(text, pos);
            const std::string_view unit = text.substr(pos, len);
            const std::string_view apart = piece.size() == start ? format.keepApart(unit) : std::string_view();
            if (piece.size() > start && piece.size() + len + apart.size() > maxBytes) {
                if (afterBlank && piece.size() - afterBlank->size <= maxBytes / kNearBlankShare) {
                    piece.resize(afterBlank->size);
                    pos = afterBlank->pos;
                    format = afterBlank->format;
                }
                break;
            }
            piece += apart;
            piece += unit;
            format.apply(unit);
            visible = visible || !Format::isCode(unit);
            pos += len;
            if (unit == " ")
                afterBlank = AfterBlank{piece.size(), pos, format};
        }
        if (visible || pieces.empty())
            pieces.push_back(std::move(piece));
    }
    return pieces;
}

} // namespace tavu
