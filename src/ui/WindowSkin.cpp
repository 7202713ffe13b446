#include "ui/WindowSkin.h"
#include "ui/Colours.h"

#include <QLabel>
#include <QPainter>

namespace tavu {

void paintWindowSkin(QWidget* window)
{
    QPainter p(window);
    QLinearGradient g(0, 0, 0, window->height());
    g.setColorAt(0, QColor(38, 43, 53));
    g.setColorAt(1, QColor(16, 18, 23));
    p.fillRect(window->rect(), g);
    p.setPen(QColor(66, 76, 92));
    p.drawRect(window->rect().adjusted(0, 0, -1, -1));
    p.setPen(QColor(255, 255, 255, 18));
    p.drawLine(1, 1, window->width() - 2, 1);
}

QLabel* skinTitle(const QString& text, QWidget* parent)
{
    auto* title = new QLabel(text, parent);
    title->setStyleSheet(QStringLiteral("color: %1; font-weight: bold; letter-spacing: 2px; font-size: 10px;")
                             .arg(colours::css(colours::Accent)));
    title->setAttribute(Qt::WA_TransparentForMouseEvents);
    return title;
}

QString skinFieldStyle(const QString& field)
{
    using namespace colours;
    return field +
           QStringLiteral(" { background: %1; color: %2; border: 1px solid %3; outline: 0; }"
                          "QScrollBar:vertical { background: %1; width: 9px; margin: 0; }"
                          "QScrollBar::handle:vertical { background: #2f3a48; min-height: 24px; border-radius: 4px; }"
                          "QScrollBar::handle:vertical:hover { background: #3f5166; }"
                          "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                          "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
               .arg(css(FieldBack), css(FieldText), css(FieldEdge));
}

QString skinListStyle(const QString& list)
{
    using namespace colours;
    return skinFieldStyle(list) + QStringLiteral("%1::item { padding: 1px 4px; }"
                                                 "%1::item:selected { background: %2; color: #ffffff; }"
                                                 "%1::item:hover { background: %3; }")
                                      .arg(list, css(Selected), css(Hover));
}

QString skinBarStyle(int radius)
{
    using namespace colours;
    return QStringLiteral("QProgressBar { background: %1; border: 1px solid %2; border-radius: %3px; }"
                          "QProgressBar::chunk { background: %4; border-radius: %5px; }")
        .arg(css(Groove), css(Edge))
        .arg(radius)
        .arg(accentGradient())
        .arg(radius - 1);
}

SkinButton* skinButton(SkinButton::Icon icon, const char* name, const QString& toolTip, QWidget* parent)
{
    auto* button = new SkinButton(icon, toolTip, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedSize(20, 17);
    return button;
}

} // namespace tavu
