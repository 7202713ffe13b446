#pragma once

#include "bot/ProgramSettings.h"

#include <QWidget>

#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tavu {

// The boxes of the program's choices, in sections that the settings window and the welcome window
// lay out as they need. Each box is named for its field in ProgramSettings, so that a problem of
// checkSettings finds the box at fault. Choices of sections a window does not show keep the values
// they were loaded with.
class SettingsForm : public QObject {
public:
    enum class Section { Library, Trigger, Handle, ChatRoom, Desktop };

    explicit SettingsForm(QWidget* owner);

    // A section's box; the caller places it (it is a child of the owner until then).
    QWidget* section(Section section) const;

    void load(const ProgramSettings& choices);
    // The choices as last loaded, and as the boxes now hold them.
    const ProgramSettings& loaded() const { return m_loaded; }
    ProgramSettings collect() const;

    // The box of a field, for showing a problem: focused, and its section returned.
    Section focusField(const std::string& field);

    // Called when boxes show or hide (the chat room choice changed).
    std::function<void()> onResized;

private:
    QWidget* buildLibrary(QWidget* owner);
    QWidget* buildTrigger(QWidget* owner);
    QWidget* buildHandle(QWidget* owner);
    QWidget* buildChatRoom(QWidget* owner);
    QWidget* buildDesktop(QWidget* owner);
    void chooseFolder();
    void showRoomChoice();

    ProgramSettings m_loaded;
    QWidget* m_sections[5] = {};
    QLineEdit* m_folder = nullptr;
    QCheckBox* m_subfolders = nullptr;
    std::vector<QCheckBox*> m_formats;
    QCheckBox* m_tagTitles = nullptr;
    QLineEdit* m_trigger = nullptr;
    QLineEdit* m_handle = nullptr;
    QRadioButton* m_local = nullptr;
    QRadioButton* m_irc = nullptr;
    QLineEdit* m_screenName = nullptr;
    QWidget* m_ircBox = nullptr;
    QWidget* m_localBox = nullptr;
    QLineEdit* m_server = nullptr;
    QLineEdit* m_port = nullptr;
    QComboBox* m_tls = nullptr;
    QLineEdit* m_nick = nullptr;
    QLineEdit* m_channel = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_owner = nullptr;
    QComboBox* m_format = nullptr;
    QCheckBox* m_notify = nullptr;
    QCheckBox* m_onTop = nullptr;
    QCheckBox* m_intro = nullptr;
};

} // namespace tavu
