#pragma once

#include "util/Signal.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavu {

class Bot;

// "Tavu Help", opened by the player's "?" button: every chat command of the bot's command table by
// group, each as typed with the trigger in force, with its argument and what it does; the trigger
// command and the answers of the song choice; and a search field that keeps the rows that match.
// Built from the command table, so it lists exactly the commands the dispatcher knows.
class HelpWindow : public QWidget {
public:
    explicit HelpWindow(Bot& bot, QWidget* parent = nullptr);

    QLineEdit* searchField() const { return m_search; }
    QTreeWidget* list() const { return m_list; }
    // Keeps the rows whose usage or description holds the text (letter case ignored).
    void search(const QString& text);

    // Item data of a command's row: the word of the table.
    static constexpr int kWordRole = Qt::UserRole + 1;

private:
    void build();
    void showTrigger();
    QTreeWidgetItem* addGroup(const QString& title);

    Bot& m_bot;
    QLabel* m_intro;
    QLineEdit* m_search;
    QTreeWidget* m_list;
    QLabel* m_nothing;
    Signal<>::Subscription m_followTrigger;
};

} // namespace tavu
