#pragma once

#include <QWidget>

class QLabel;
class QMenu;
class QSlider;

namespace tavu {

class Bot;
class SkinButton;

// frmSound: the always-on-top side window with the balance slider and the volume slider of the
// media player. The main window docks it under the playlist. Hiding it keeps the sliders where
// they are.
class SoundWindow : public QWidget {
public:
    // soundsMenu is the options menu's "Sound" pop-up, opened by the Menu button.
    SoundWindow(Bot& bot, QMenu& soundsMenu, QWidget* parent = nullptr);

    // The main window's Sound button: shows the window, docked, or hides it when it is shown.
    void toggle();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* addCaption(const QString& text, int y);
    void buildSliders();
    void Slider1_Change(int value);
    void Slider2_Change(int value);

    Bot& m_bot;
    QMenu& m_soundsMenu;
    QSlider* Slider1 = nullptr;
    QLabel* Label1 = nullptr;
    QSlider* Slider2 = nullptr;
    QLabel* Label2 = nullptr;
    SkinButton* Menu = nullptr;
    SkinButton* Exit = nullptr;
    bool m_shownOnce = false;
};

} // namespace tavu
