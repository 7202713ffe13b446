#pragma once

#include "settings/ProfileFile.h"
#include "settings/SettingsKeys.h"

#include <functional>
#include <string>

namespace tavu {

// The settings file of one program directory. Every read goes to the file and every write goes to
// the file at once; nothing is cached.
class Settings {
public:
    explicit Settings(std::string path) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }

    // The stored value; "" when missing.
    std::string read(const SettingKey& key) const { return readSetting(key.section, key.key, m_path); }
    // The stored value, or the key's fallback when it reads empty.
    std::string readOr(const SettingKey& key) const
    {
        std::string value = read(key);
        return value.empty() ? std::string(key.fallback) : value;
    }
    bool write(const SettingKey& key, std::string_view value) const { return write(key.section, key.key, value); }
    // A key that is not in the table (the style keys).
    bool write(std::string_view section, std::string_view key, std::string_view value) const
    {
        const bool written = writeSetting(section, key, value, m_path);
        if (!written && onWriteFailed)
            onWriteFailed();
        return written;
    }

    // Called after every write that did not reach the file (read-only file, full disk, ...).
    std::function<void()> onWriteFailed;

private:
    std::string m_path;
};

} // namespace tavu
