#pragma once

#include "util/Runtime.h"

#include <QWidget>

#include <functional>

class QProgressBar;

namespace tavu {

class Bot;

// frmIntro, "Tavu Intro": the splash that comes up before the main window. A double-click, Enter
// or Space starts the bar filling, 20 a second; when it is full the window shakes, plays the intro sound, slides
// off the screen to the right and closes, and onDone runs, once. It deletes itself when closed.
class IntroWindow : public QWidget {
public:
    explicit IntroWindow(Bot& bot, QWidget* parent = nullptr);

    // Runs once, after the intro has closed: shows the main window.
    std::function<void()> onDone;

    int barValue() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Task<> scrollTitleTick();
    Task<> clockTick();
    Task<> shake();
    Task<> slideAway();

    Bot& m_bot;
    QProgressBar* progress;
    Timer titleTimer; // fills the bar
    Timer clockTimer; // watches for the full bar
    bool m_finished = false;
};

} // namespace tavu
