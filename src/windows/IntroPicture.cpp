#include "windows/IntroPicture.h"

#include "ui/Colours.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tavu {

namespace {
const QColor kAccent(colours::Accent);

void paintStage(QPainter& p, const QRect& r)
{
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0, QColor(44, 50, 61));
    body.setColorAt(0.5, QColor(27, 31, 39));
    body.setColorAt(1, QColor(12, 14, 18));
    p.fillRect(r, body);
    QRadialGradient glow(QPointF(r.width() * 0.34, r.height() * 0.42), r.width() * 0.55);
    glow.setColorAt(0, colours::color(colours::Accent, 55));
    glow.setColorAt(1, colours::color(colours::Accent, 0));
    p.fillRect(r, glow);
}

// Bars of an equaliser along the bottom, their heights a fixed pattern of two waves.
void paintEqualiser(QPainter& p, const QRect& r)
{
    const int bars = 31;
    const qreal left = 24, right = r.width() - 24.0, base = r.height() - 38.0;
    const qreal pitch = (right - left) / bars;
    for (int i = 0; i < bars; ++i) {
        const qreal level = 0.5 + 0.3 * std::sin(i * 0.55) + 0.2 * std::sin(i * 1.7 + 1.0);
        const qreal h = 10 + level * 46;
        const QRectF bar(left + i * pitch + 1, base - h, pitch - 3, h);
        QLinearGradient fill(bar.bottomLeft(), bar.topLeft());
        fill.setColorAt(0, colours::color(colours::Accent, 90));
        fill.setColorAt(1, colours::color(colours::Accent, 8));
        p.fillRect(bar, fill);
    }
}

void paintWave(QPainter& p, const QRect& r)
{
    QPainterPath wave;
    const qreal mid = r.height() * 0.63;
    for (int x = 0; x <= r.width(); x += 2) {
        const qreal swell = std::sin(M_PI * x / r.width());
        const qreal y = mid + swell * 13 * std::sin(x * 0.07) * std::cos(x * 0.013);
        x == 0 ? wave.moveTo(x, y) : wave.lineTo(x, y);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colours::color(colours::Accent, 150), 1.6));
    p.drawPath(wave);
}

void paintName(QPainter& p, const QRect& r)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(78);
    font.setWeight(QFont::Black);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 12);
    QPainterPath name;
    name.addText(QPointF(34, r.height() * 0.47), font, QStringLiteral("TAVU"));
    for (const int width : {12, 7, 3}) {
        p.setPen(QPen(colours::color(colours::Accent, 28), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(name);
    }
    QLinearGradient fill(name.boundingRect().topLeft(), name.boundingRect().bottomLeft());
    fill.setColorAt(0, QColor(240, 248, 255));
    fill.setColorAt(1, kAccent);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(name);

    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(12);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(small);
    p.setPen(QColor(141, 154, 171));
    p.drawText(QPointF(38, r.height() * 0.47 + 24), QStringLiteral("CHAT-ROOM MUSIC PLAYER"));
}

// Two eighth notes joined by a beam.
void paintNotes(QPainter& p, QPointF head, qreal spread, qreal stem)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    const QPointF heads[] = {head, head + QPointF(spread, -spread * 0.25)};
    for (const QPointF& h : heads) {
        p.save();
        p.translate(h);
        p.rotate(-22);
        p.drawEllipse(QRectF(-9, -6.5, 18, 13));
        p.restore();
        p.fillRect(QRectF(h.x() + 6.5, h.y() - stem, 2.6, stem), kAccent);
    }
    QPainterPath beam;
    const QPointF a = heads[0] + QPointF(6.5, -stem), b = heads[1] + QPointF(9.1, -stem);
    beam.moveTo(a);
    beam.lineTo(b);
    beam.lineTo(b + QPointF(0, 8));
    beam.lineTo(a + QPointF(0, 8));
    beam.closeSubpath();
    p.drawPath(beam);
}

void paintFrame(QPainter& p, const QRect& r)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QColor(80, 92, 110));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(QColor(255, 255, 255, 22));
    p.drawLine(1, 1, r.width() - 2, 1);
}

// How to start, on the dark strip under the progress bar, clear of the equaliser's bars.
void paintHint(QPainter& p, const QRect& r)
{
    QFont hint(QStringLiteral("DejaVu Sans"));
    hint.setPixelSize(11);
    p.setFont(hint);
    p.setPen(QColor(214, 224, 236));
    p.drawText(QRectF(0, r.height() - 20, r.width(), 16), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Double-click, or press Enter or Space, to start"));
}
} // namespace

void paintIntroPicture(QPainter& p, const QRect& area)
{
    p.save();
    p.translate(area.topLeft());
    const QRect r(0, 0, area.width(), area.height());
    p.setRenderHint(QPainter::Antialiasing);
    paintStage(p, r);
    paintEqualiser(p, r);
    paintWave(p, r);
    paintName(p, r);
    paintNotes(p, QPointF(r.width() - 92, r.height() * 0.40), 34, 50);
    p.setOpacity(0.55);
    paintNotes(p, QPointF(r.width() - 168, r.height() * 0.17), 24, 28);
    p.setOpacity(1);
    paintFrame(p, r);
    paintHint(p, r);
    p.restore();
}

} // namespace tavu
