#pragma once

#include "player/LibraryOptions.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace tavu {

class Bot;

// FrmDir: the music-directory chooser. A drive list (the file system root, the home folder and the
// mounted volumes), a tree of directories, the library's choices (sub-folders, the formats besides
// MP3, titles from file names or tags), and Ok and Cancel. Topmost, dragged by its body, not modal;
// it deletes itself when closed.
class DirectoryWindow : public QWidget {
public:
    // Shows the chooser: the open one raised, or a new one starting at the music directory.
    static DirectoryWindow* open(Bot& bot);

    explicit DirectoryWindow(Bot& bot, QWidget* parent = nullptr);

    // The directory Dir1 shows as chosen: the selected one, or the top of the tree.
    QString chosenDirectory() const;
    // Makes Dir1 show and select the directory; false when it is not a readable directory.
    bool setDirectory(const QString& path);
    // The library choices as the window shows them.
    LibraryOptions chosenOptions() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillDrives();
    void driveChanged(int index);
    bool setRoot(const QString& root);
    void reveal();
    void okClicked();
    void cancelClicked();

    Bot& m_bot;
    QComboBox* Drive1;
    QTreeView* Dir1;
    QFileSystemModel* m_model;
    QCheckBox* chkSubfolders;
    QLineEdit* txtFormats;
    QComboBox* cboTitles;
    QPushButton* Ok;
    QPushButton* Cancel;
    QString m_root;
    QString m_reveal; // the chosen directory, until the tree has read far enough to show it
    int m_driveIndex = 0;
};

} // namespace tavu
