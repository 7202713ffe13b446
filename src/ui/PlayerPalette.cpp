#include "ui/PlayerPalette.h"

#include "ui/Colours.h"

#include <QPalette>
#include <QWidget>

namespace tavu {

void applyPlayerPalette(QWidget* window)
{
    const QColor panel(16, 20, 24);
    const QColor field(6, 8, 10);
    const QColor text(colours::Accent); // the title scroller's colour
    const QColor dim(150, 160, 170);
    QPalette palette = window->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, panel);
        palette.setColor(group, QPalette::WindowText, dim);
        palette.setColor(group, QPalette::Base, field);
        palette.setColor(group, QPalette::AlternateBase, panel);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Button, panel);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Highlight, QColor(30, 70, 100));
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    palette.setColor(QPalette::Disabled, QPalette::Window, panel);
    palette.setColor(QPalette::Disabled, QPalette::Base, field);
    palette.setColor(QPalette::Disabled, QPalette::Text, dim.darker());
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, dim.darker());
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

} // namespace tavu
