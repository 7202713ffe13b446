#include "ui/SkinButton.h"

#include "ui/Colours.h"

#include <QPainter>
#include <QPainterPath>

namespace tavu {
namespace {
const QColor kAccent(colours::Accent);
const QColor kIcon(214, 226, 240);
} // namespace

SkinButton::SkinButton(Icon icon, const QString& toolTip, QWidget* parent) : QAbstractButton(parent), m_icon(icon)
{
    if (!toolTip.isEmpty())
        setToolTip(toolTip);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void SkinButton::setLit(bool lit)
{
    if (lit != m_lit) {
        m_lit = lit;
        update();
    }
}

void SkinButton::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SkinButton::leaveEvent(QEvent* event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void SkinButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient face(r.topLeft(), r.bottomLeft());
    const int lift = isDown() ? -12 : m_hover ? 14 : 0;
    face.setColorAt(0, QColor(58 + lift, 66 + lift, 80 + lift));
    face.setColorAt(1, QColor(30 + lift, 35 + lift, 44 + lift));
    p.setPen(QPen(m_lit ? kAccent : QColor(14, 16, 20), 1));
    p.setBrush(face);
    p.drawRoundedRect(r, 4, 4);
    p.setPen(QPen(QColor(255, 255, 255, 28), 1));
    p.drawLine(r.topLeft() + QPointF(3, 1), r.topRight() + QPointF(-3, 1));
    const qreal side = std::min(r.width(), r.height()) * 0.56;
    QRectF box(0, 0, side, side);
    box.moveCenter(r.center() + (isDown() ? QPointF(0.5, 0.5) : QPointF()));
    drawIcon(p, box);
    if (m_lit) {
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(r.right() - 4, r.top() + 4), 1.8, 1.8);
    }
}

void SkinButton::drawIcon(QPainter& p, const QRectF& b) const
{
    const QColor ink = m_lit ? kAccent : kIcon;
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
    const auto triangle = [&](QPointF a, QPointF c, QPointF d) {
        QPainterPath path;
        path.moveTo(a);
        path.lineTo(c);
        path.lineTo(d);
        path.closeSubpath();
        p.drawPath(path);
    };
    const qreal l = b.left(), t = b.top(), w = b.width(), h = b.height(), cy = b.center().y();
    switch (m_icon) {
    case Icon::Play:
        triangle({l + w * 0.2, t}, {l + w * 0.95, cy}, {l + w * 0.2, t + h});
        break;
    case Icon::Pause:
        p.drawRect(QRectF(l + w * 0.18, t, w * 0.2, h));
        p.drawRect(QRectF(l + w * 0.62, t, w * 0.2, h));
        break;
    case Icon::Stop:
        p.drawRect(QRectF(l + w * 0.1, t + h * 0.1, w * 0.8, h * 0.8));
        break;
    case Icon::Next:
        triangle({l, t + h * 0.1}, {l + w * 0.7, cy}, {l, t + h * 0.9});
        p.drawRect(QRectF(l + w * 0.76, t + h * 0.1, w * 0.14, h * 0.8));
        break;
    case Icon::Prev:
        triangle({l + w, t + h * 0.1}, {l + w * 0.3, cy}, {l + w, t + h * 0.9});
        p.drawRect(QRectF(l + w * 0.1, t + h * 0.1, w * 0.14, h * 0.8));
        break;
    case Icon::Repeat: {
        p.setBrush(Qt::NoBrush);
        p.drawArc(b.adjusted(w * 0.08, h * 0.12, -w * 0.08, -h * 0.12), 30 * 16, 300 * 16);
        p.setBrush(ink);
        triangle({l + w * 0.78, t - h * 0.02}, {l + w * 1.02, t + h * 0.28}, {l + w * 0.68, t + h * 0.34});
        break;
    }
    case Icon::Random:
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(l, t + h * 0.2), QPointF(l + w * 0.8, t + h * 0.8));
        p.drawLine(QPointF(l, t + h * 0.8), QPointF(l + w * 0.8, t + h * 0.2));
        p.setBrush(ink);
        triangle({l + w * 0.7, t + h * 0.05}, {l + w, t + h * 0.18}, {l + w * 0.78, t + h * 0.38});
        triangle({l + w * 0.7, t + h * 0.95}, {l + w, t + h * 0.82}, {l + w * 0.78, t + h * 0.62});
        break;
    case Icon::Continue:
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(l, cy), QPointF(l + w * 0.75, cy));
        p.drawLine(QPointF(l, t + h * 0.15), QPointF(l + w * 0.4, t + h * 0.15));
        p.drawLine(QPointF(l, t + h * 0.85), QPointF(l + w * 0.4, t + h * 0.85));
        p.setBrush(ink);
        triangle({l + w * 0.62, t + h * 0.25}, {l + w, cy}, {l + w * 0.62, t + h * 0.75});
        break;
    case Icon::Sound: {
        QPainterPath body;
        body.moveTo(l, t + h * 0.35);
        body.lineTo(l + w * 0.25, t + h * 0.35);
        body.lineTo(l + w * 0.55, t + h * 0.05);
        body.lineTo(l + w * 0.55, t + h * 0.95);
        body.lineTo(l + w * 0.25, t + h * 0.65);
        body.lineTo(l, t + h * 0.65);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(l + w * 0.45, t + h * 0.25, w * 0.4, h * 0.5), -50 * 16, 100 * 16);
        p.drawArc(QRectF(l + w * 0.4, t + h * 0.02, w * 0.62, h * 0.96), -50 * 16, 100 * 16);
        break;
    }
    case Icon::Menu:
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(l + w * 0.1, t + h * (0.2 + 0.3 * i)), QPointF(l + w * 0.9, t + h * (0.2 + 0.3 * i)));
        break;
    case Icon::Id3:
    case Icon::Help: {
        QFont f = font();
        f.setBold(true);
        f.setPixelSize(static_cast<int>(h * 1.1));
        p.setFont(f);
        p.drawText(b.adjusted(-4, -3, 4, 3), Qt::AlignCenter,
                   m_icon == Icon::Help ? QStringLiteral("?") : QStringLiteral("i"));
        break;
    }
    case Icon::Minimize:
        p.drawLine(QPointF(l + w * 0.15, t + h * 0.8), QPointF(l + w * 0.85, t + h * 0.8));
        break;
    case Icon::Close:
        p.drawLine(QPointF(l + w * 0.18, t + h * 0.18), QPointF(l + w * 0.82, t + h * 0.82));
        p.drawLine(QPointF(l + w * 0.82, t + h * 0.18), QPointF(l + w * 0.18, t + h * 0.82));
        break;
    }
}

} // namespace tavu
