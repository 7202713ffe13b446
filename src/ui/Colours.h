#pragma once

#include <QColor>
#include <QString>

namespace tavu::colours {

// The player's colours, named once: the title's light blue on near-black.
inline constexpr QRgb Accent = 0x56bcfd;     // titles, the clock, the scrolling title
inline constexpr QRgb AccentDeep = 0x1f6fae; // the dark end of a filled bar
inline constexpr QRgb Groove = 0x07090c;     // the empty part of bars and sliders
inline constexpr QRgb Edge = 0x262c36;       // the border of bars and the clock
inline constexpr QRgb FieldBack = 0x0b0d11;  // lists and text boxes
inline constexpr QRgb FieldText = 0xcfd8e3;
inline constexpr QRgb FieldEdge = 0x2a313c;
inline constexpr QRgb Selected = 0x1f4f73; // the selected row of a list
inline constexpr QRgb Hover = 0x18212c;    // the row under the mouse

// The colour with the given opacity (0 to 255).
inline QColor color(QRgb rgb, int alpha = 255)
{
    QColor c(rgb);
    c.setAlpha(alpha);
    return c;
}

// The colour as a style sheet writes it: "#56bcfd".
inline QString css(QRgb rgb)
{
    return QColor(rgb).name();
}

// A bar filled from the dark to the light blue, left to right.
inline QString accentGradient()
{
    return QStringLiteral("qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 %1, stop:1 %2)")
        .arg(css(AccentDeep), css(Accent));
}

} // namespace tavu::colours
