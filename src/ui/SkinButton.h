#pragma once

#include <QAbstractButton>

namespace tavu {

// A flat button of the player's skin with an icon drawn by the program.
class SkinButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Icon {
        Prev,
        Play,
        Pause,
        Stop,
        Next,
        Repeat,
        Random,
        Continue,
        Sound,
        Menu,
        Id3,
        Help,
        Minimize,
        Close
    };

    SkinButton(Icon icon, const QString& toolTip, QWidget* parent = nullptr);

    // A lit button shows a small lamp (the play mode it stands for is on).
    void setLit(bool lit);
    bool lit() const { return m_lit; }
    QSize sizeHint() const override { return QSize(28, 24); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void drawIcon(QPainter& p, const QRectF& box) const;

    Icon m_icon;
    bool m_lit = false;
    bool m_hover = false;
};

} // namespace tavu
