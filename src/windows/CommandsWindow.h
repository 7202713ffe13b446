#pragma once

#include <QWidget>

class QLabel;
class QListWidget;

namespace tavu {

class Bot;
class SkinButton;

// frmComs, "Tavu View Coms": the always-on-top list of the chat commands with one line of help
// each. The lines are added once, when the window is built; Exit destroys the window, so the next
// opening builds it anew. Dragged by the empty label Label1 along its top.
class CommandsWindow : public QWidget {
public:
    explicit CommandsWindow(Bot& bot, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildList();

    Bot& m_bot;
    QLabel* Label1;
    QListWidget* lstComs;
    SkinButton* FlatBttn1;
    SkinButton* Exit;
};

} // namespace tavu
