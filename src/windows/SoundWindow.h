#pragma once

#include "util/Signal.h"

#include <QWidget>

class QLabel;
class QMenu;
class QSlider;

namespace tavu {

class Bot;
class SkinButton;

// frmSound: the always-on-top side window with the balance slider and the volume slider of the
// media player. The sliders show the levels in effect, whoever sets them; a level set with a slider
// is stored when the slider is let go. The main window docks it under the playlist.
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
    void showLevelText();
    void buildSliders();
    void balanceSliderChanged(int value);
    void volumeSliderChanged(int value);
    void followBot();
    void showVolume();
    void showBalance();
    void storeVolume();
    void storeBalance();

    Bot& m_bot;
    QMenu& m_soundsMenu;
    QSlider* Slider1 = nullptr;
    QLabel* Label1 = nullptr;
    QSlider* Slider2 = nullptr;
    QLabel* Label2 = nullptr;
    SkinButton* Menu = nullptr;
    SkinButton* Exit = nullptr;
    Subscriptions m_following;
    bool m_showing = false; // the sliders follow the bot: nothing to set or store
};

} // namespace tavu
