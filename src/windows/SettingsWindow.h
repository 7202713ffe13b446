#pragma once

#include "bot/ProgramSettings.h"

#include <QWidget>

#include <functional>

class QLabel;
class QTabWidget;

namespace tavu {

class Bot;
class SettingsForm;
class StreamPage;

// "Tavu Settings", behind the options menu's "Settings (Program)": the music folder and the
// library choices, the trigger and the handle, the chat room, the desktop choices and the stream, each stored
// under its key of Tavu.ini. OK and Apply check the choices first: wrong ones are refused with the
// reason beside the buttons and nothing is stored. What was stored takes effect at once; a changed
// chat room is reopened through reopenChatRoom.
class SettingsWindow : public QWidget {
public:
    explicit SettingsWindow(Bot& bot, QWidget* parent = nullptr);

    // Set by the program: builds the chat room anew from the settings file and moves the bot into it.
    std::function<void()> reopenChatRoom;

    SettingsForm& form() const { return *m_form; }
    StreamPage& streamPage() const { return *m_stream; }
    QLabel* problemLabel() const { return m_problem; }

    // Checks, stores and applies the choices in the boxes; false (nothing stored) when refused.
    bool apply();

private:
    Bot& m_bot;
    SettingsForm* m_form;
    StreamPage* m_stream;
    QTabWidget* m_tabs;
    QLabel* m_problem;
};

} // namespace tavu
