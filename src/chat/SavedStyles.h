#pragma once

#include "util/Runtime.h"

#include <string>
#include <string_view>

namespace tavu {

class Bot;

// Named styles the owner saves, loads and removes from the chat room ("sstyle", "lstyle",
// "rstyle"). Each lives in Styles/<name>.ini, section "Ascii"; the index Styles.txt lists the
// names in the order of the sorted list lstStyles.
//
// indexTimer loads the index 22222 ms after the main window appears. Each command loads it first when
// the timer has not yet done so, so a save or a removal always starts from the whole index; a load
// already done makes the timer's load do nothing.
class SavedStyles {
public:
    static constexpr int kIndexDelayMs = 22222;

    // indexTimer is enabled from the start.
    explicit SavedStyles(Bot& bot);
    SavedStyles(const SavedStyles&) = delete;
    SavedStyles& operator=(const SavedStyles&) = delete;

    // Enables indexTimer again (the end of start-up), unless the index is loaded already.
    void startIndexTimer();
    Task<> loadIndexNow();
    const Timer& timer5() const { return m_indexTimer; }
    bool indexLoaded() const { return m_indexLoaded; }

    void sstyle(const std::string& name);
    void rstyle(const std::string& piece);
    void lstyle(const std::string& piece);

    // False when the Styles folder cannot hold styles (a file of that name is in its place): "sstyle"
    // and "lstyle" cannot work, the other style commands can.
    bool folderUsable() const;

    std::string stylesFolder() const;
    std::string indexPath() const;
    std::string styleFile(std::string_view name) const;

    // Whether a name can become a file name inside the Styles folder: not empty, no leading dot,
    // no "/" or "\", no control characters, valid UTF-8. Nothing else is refused: "*" or "?" are
    // plain characters of a file name here.
    static bool isSafeName(std::string_view name);

    // At start, before stale temporary files are cleared: completes what a kill interrupted, as the
    // index says. A saved style's finished copy ("NAME.ini.new") whose name the index holds takes
    // its place; a removed style's file set aside ("NAME.ini.removed") goes back when the index still
    // holds the name, and goes for good when it does not. Returns how many were completed.
    static int finishInterruptedChanges(const std::string& programDir);

private:
    void ensureIndexLoaded();
    // The index of the first entry of lstStyles that contains piece, letter case ignored, or -1.
    int search(std::string_view piece) const;
    bool writeStyleFile(const std::string& path, const std::string& partial) const;
    void removeStyleFile(const std::string& name) const;

    Bot& m_bot;
    Timer m_indexTimer;
    bool m_indexLoaded = false;
};

} // namespace tavu
