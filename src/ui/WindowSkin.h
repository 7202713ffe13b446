#pragma once

#include "ui/SkinButton.h"

class QLabel;
class QString;
class QWidget;

namespace tavu {

// The look the side windows share with the main window and the playlist: a dark gradient body
// with a thin border, a small light-blue title and flat skin buttons.

// Paints the body of a side window; call it from the window's paintEvent.
void paintWindowSkin(QWidget* window);

// The small spaced-out title in the corner of a side window.
QLabel* skinTitle(const QString& text, QWidget* parent);

// Style sheet rules for a dark list or text box: field colours and a slim dark scroll bar. field
// is the widget's class name, for example "QListWidget".
QString skinFieldStyle(const QString& field);
// The same for a list with selectable rows ("QListView", "QListWidget").
QString skinListStyle(const QString& list);
// A slim progress bar filled with the light blue; radius rounds its corners.
QString skinBarStyle(int radius);

// A flat skin button with the object name name, for a window's title row.
SkinButton* skinButton(SkinButton::Icon icon, const char* name, const QString& toolTip, QWidget* parent);

} // namespace tavu
