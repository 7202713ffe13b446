#pragma once

#include "bot/ProgramSettings.h"

#include <QWidget>

#include <functional>

class QLabel;

namespace tavu {

class Bot;
class SettingsForm;

// "Welcome to Tavu": the first start's one window after the intro. It takes the music folder with
// the library choices, the handle and the chat room, and shows how to command the bot. "Start Tavu"
// checks the choices (wrong ones are refused with the reason), stores them and closes the window.
// It deletes itself when closed.
class WelcomeWindow : public QWidget {
public:
    // suggestion: choices to start from where the settings file has none (a music folder found on
    // this machine, the login name as the handle).
    WelcomeWindow(Bot& bot, const ProgramSettings& suggestion, QWidget* parent = nullptr);

    // Runs once, when the window closes: with what was stored, or with no changes at all when the
    // owner closed the window without starting.
    std::function<void(const SettingsChanges& changes)> onDone;

    SettingsForm& form() const { return *m_form; }
    QLabel* problemLabel() const { return m_problem; }

    // The Start button: true when the choices were stored and the window closes.
    bool start();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void finish(const SettingsChanges& changes);

    Bot& m_bot;
    SettingsForm* m_form;
    QLabel* m_problem;
};

} // namespace tavu
