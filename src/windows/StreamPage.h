#pragma once

#include "stream/StreamSettings.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tavu {

// The settings window's "Stream" page: the Icecast server the music goes to and what is sent.
// Each box is named for its field in checkStreamSettings's problems.
class StreamPage : public QWidget {
public:
    explicit StreamPage(QWidget* parent = nullptr);

    void load(const StreamSettings& choices);
    const StreamSettings& loaded() const { return m_loaded; }
    StreamSettings collect() const;
    // Focuses the box of a field; false when the field is not on this page.
    bool focusField(const std::string& field);

private:
    void showEnabled();

    StreamSettings m_loaded;
    QCheckBox* m_enabled;
    QWidget* m_box;
    QLineEdit* m_server;
    QLineEdit* m_port;
    QLineEdit* m_mount;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QComboBox* m_tls;
    QComboBox* m_format;
    QLineEdit* m_bitrate;
    QLineEdit* m_name;
    QLineEdit* m_description;
    QLineEdit* m_genre;
    QLineEdit* m_publicUrl;
    QLineEdit* m_volume;
    QLineEdit* m_idleMinutes;
};

} // namespace tavu
