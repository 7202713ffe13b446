#pragma once

class QPainter;
class QRect;

namespace tavu {

// The intro's splash picture, drawn by the program: the name on a dark stage with an equaliser,
// a sound wave and a pair of notes in the player's light blue.
void paintIntroPicture(QPainter& p, const QRect& area);

} // namespace tavu
