#pragma once

#include "util/Signal.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavu {

class Bot;

// FrmID3: the small always-on-top window that shows the ID3 tag of the current song. It shows the
// bot's id3 fields and follows every change of them, also while hidden. The fields can be typed
// into; nothing is written back. Create it hidden on first use and then only hide and show it.
class Id3Window : public QWidget {
public:
    // Makes itself topmost and shows the tag of the currently selected song (showSongTag).
    explicit Id3Window(Bot& bot, QWidget* parent = nullptr);
    ~Id3Window() override;

    // The options menu entry "Id3 Editor\Viewer": shows the window; the first time also notes that
    // the menu has shown it (the hidden label lbl1 shows "1" until then, "0" after).
    void showFromOptionsMenu();

private:
    QLineEdit* addField(const QString& caption, const char* name, int row);
    void refresh();
    void exitClicked();

    Bot& m_bot;
    Signal<>::Subscription m_following;
    QLineEdit* txtTrack1;
    QLineEdit* txtArtist1;
    QLineEdit* txtAlbum1;
    QLineEdit* txtYear1;
    QLineEdit* txtComments1;
    QComboBox* cbogenre1;
    QLineEdit* Text2;
    QLabel* lbl1;
    QPushButton* Exit;
};

} // namespace tavu
