#include "chat/SavedStyles.h"

#include "bot/Bot.h"
#include "chat/StyleCommands.h"
#include "settings/AtomicFile.h"
#include "settings/ListFile.h"
#include "settings/ProfileFile.h"
#include "util/Text.h"
#include "util/Utf8.h"

#include <array>
#include <atomic>
#include <filesystem>
#include <set>
#include <thread>
#include <vector>

namespace tavu {
namespace {

namespace fs = std::filesystem;

// The order in which a style file is written and read, and a loaded style written to Tavu.ini.
constexpr std::array<std::string Style::*, 11> kFileOrder{&Style::fac, &Style::mac, &Style::bac, &Style::faf,
                                                          &Style::maf, &Style::baf, &Style::tf,  &Style::tc,
                                                          &Style::fa,  &Style::ma,  &Style::ba};

constexpr std::string_view kNoName = " Please give a style name ";
constexpr std::string_view kBadName = " A style name can't start with a dot or hold / \\ or control characters ";
constexpr std::string_view kNotFound = " Style Not Found! ";
constexpr std::string_view kPartialSuffix = ".new";
constexpr std::string_view kRemovedSuffix = ".removed";

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

std::string underlined(std::string_view name, std::string_view closeTag)
{
    return "<u>" + std::string(name) + std::string(closeTag);
}

// The entry's name with every stretch that matches the piece (letter case ignored) written as the
// piece was typed, underlined.
std::string markedName(std::string name, const std::string& piece, std::string_view closeTag)
{
    replaceText(name, piece, underlined(piece, closeTag));
    return name;
}

bool isFileOrLink(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    return !ec && (fs::is_regular_file(status) || fs::is_symlink(status));
}

void removeFile(const std::string& path)
{
    std::error_code ec;
    if (isFileOrLink(path))
        fs::remove(path, ec);
}

} // namespace

SavedStyles::SavedStyles(Bot& bot)
    : m_bot(bot), m_indexTimer(bot.runtime(), kIndexDelayMs, [this] { return loadIndexNow(); })
{
    m_indexTimer.setEnabled(true);
}

std::string SavedStyles::stylesFolder() const
{
    return m_bot.programFile("Styles/");
}
std::string SavedStyles::indexPath() const
{
    return m_bot.programFile("Styles.txt");
}
std::string SavedStyles::styleFile(std::string_view name) const
{
    return stylesFolder() + std::string(name) + ".ini";
}

bool SavedStyles::folderUsable() const
{
    std::error_code ec;
    const std::string folder = m_bot.programFile("Styles");
    return !fs::exists(fs::symlink_status(folder, ec)) || fs::is_directory(folder, ec);
}

bool SavedStyles::isSafeName(std::string_view name)
{
    if (name.empty() || name.front() == '.' || !isValidUtf8(name))
        return false;
    if (name.find_first_of("/\\") != std::string_view::npos)
        return false;
    for (const char32_t c : decodeUtf8(name))
        if (isControl(c))
            return false;
    return true;
}

void SavedStyles::startIndexTimer()
{
    if (!m_indexLoaded)
        m_indexTimer.setEnabled(true);
}

namespace {

// The index read and sorted on a worker thread, which is joined if the bot goes first.
struct IndexRead {
    ListBox names{true};
    std::atomic<bool> done = false;
    std::thread worker;
    ~IndexRead()
    {
        if (worker.joinable())
            worker.join();
    }
};

} // namespace

Task<> SavedStyles::loadIndexNow()
{
    if (!m_indexLoaded) {
        // Events run while the names are read and sorted; they go into lstStyles only when all are.
        const auto read = std::make_unique<IndexRead>();
        read->worker = std::thread([&read = *read, path = indexPath()] {
            loadListFile(path, read.names);
            read.done.store(true, std::memory_order_release);
        });
        co_await workDone(m_bot.runtime(), [&read = *read] { return read.done.load(std::memory_order_acquire); });
        read->worker.join();
        // A command that ran meanwhile has loaded the index already.
        if (!m_indexLoaded && !m_bot.runtime().quitting()) {
            m_bot.lstStyles.addSortedItems(read->names.items());
            m_indexLoaded = true;
        }
    }
    m_indexTimer.setEnabled(false);
}

void SavedStyles::ensureIndexLoaded()
{
    if (m_indexLoaded)
        return;
    loadListFile(indexPath(), m_bot.lstStyles);
    m_indexLoaded = true;
    m_indexTimer.setEnabled(false);
}

int SavedStyles::search(std::string_view piece) const
{
    const auto& names = m_bot.lstStyles.items();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (containsNoCase(names[i], piece))
            return static_cast<int>(i);
    return -1;
}

bool SavedStyles::writeStyleFile(const std::string& path, const std::string& partial) const
{
    std::error_code ec;
    fs::create_directories(stylesFolder(), ec);
    // The keys go into a copy beside the file, which takes the file's place only once the index
    // names it: a kill half-way through leaves no style file with only some of its keys, and none
    // that the index does not know (see finishInterruptedChanges).
    fs::remove(partial, ec);
    if (fs::exists(path, ec) && !fs::copy_file(path, partial, ec))
        return false;
    for (std::string Style::*value : kFileOrder)
        if (!writeSetting(kStyleSection, styleKey(value), m_bot.style.*value, partial)) {
            fs::remove(partial, ec);
            return false;
        }
    return true;
}

void SavedStyles::removeStyleFile(const std::string& name) const
{
    if (isSafeName(name))
        removeFile(styleFile(name));
}

void SavedStyles::sstyle(const std::string& name)
{
    if (name.empty())
        return m_bot.reply(kNoName);
    if (!isSafeName(name))
        return m_bot.reply(kBadName);
    ensureIndexLoaded();
    ListBox& list = m_bot.lstStyles;
    list.select(list.findNoCase(name));
    if (list.selectedIndex() >= 0)
        return m_bot.reply(" You already have a style named: " + underlined(name, "</U>") + " ");

    const std::string failed = " Style " + underlined(name, "</U>") + " could not be saved! ";
    const std::string path = styleFile(name);
    const std::string partial = path + std::string(kPartialSuffix);
    if (!writeStyleFile(path, partial))
        return m_bot.reply(failed);
    std::error_code ec;
    const std::size_t at = list.addItem(name);
    if (!saveListFile(indexPath(), list)) {
        list.removeItem(at);
        fs::remove(partial, ec);
        return m_bot.reply(failed);
    }
    // The index names the style now; its file takes its place.
    fs::rename(partial, path, ec);
    if (ec) {
        list.removeItem(at);
        saveListFile(indexPath(), list);
        fs::remove(partial, ec);
        return m_bot.reply(failed);
    }
    m_bot.reply(" Style " + underlined(name, "</U>") + " saved! ");
}

void SavedStyles::rstyle(const std::string& piece)
{
    if (piece.empty())
        return m_bot.reply(kNoName);
    ensureIndexLoaded();
    const int found = search(piece);
    if (found < 0)
        return m_bot.reply(" String " + underlined(piece, "</U>") + " was not found! ");

    ListBox& list = m_bot.lstStyles;
    const std::string name = list.item(static_cast<std::size_t>(found));
    const std::string marked = markedName(name, piece, "</u>");
    // The file steps aside before the index forgets the name, and goes only after: a kill between
    // the two leaves a file that finishInterruptedChanges puts back or removes, as the index says.
    // A name that cannot be a file name inside Styles/ has no style file.
    const std::string path = styleFile(name);
    const std::string aside = path + std::string(kRemovedSuffix);
    std::error_code ec;
    const bool stepped = isSafeName(name) && isFileOrLink(path) && (fs::rename(path, aside, ec), !ec);
    list.removeItem(static_cast<std::size_t>(found));
    if (!saveListFile(indexPath(), list)) {
        list.addItem(name);
        if (stepped)
            fs::rename(aside, path, ec);
        return m_bot.reply(" The Style " + marked + " could not be removed! ");
    }
    m_bot.reply(" The Style " + marked + " has been removed ");
    if (stepped)
        removeFile(aside);
    else
        removeStyleFile(name);
}

int SavedStyles::finishInterruptedChanges(const std::string& programDir)
{
    const auto bytes = readFileBytes(programDir + "/Styles.txt");
    const std::vector<std::string> listed = bytes ? parseListFile(*bytes) : std::vector<std::string>{};
    const std::set<std::string> names(listed.begin(), listed.end());
    const fs::path folder = fs::path(programDir) / "Styles";
    std::vector<fs::path> entries;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file(ec) && !entry.is_symlink(ec))
            entries.push_back(entry.path());
    int finished = 0;
    for (const fs::path& entry : entries) {
        const std::string file = entry.filename().string();
        for (const std::string_view suffix : {kPartialSuffix, kRemovedSuffix}) {
            const std::string ending = ".ini" + std::string(suffix);
            if (file.size() <= ending.size() || !file.ends_with(ending))
                continue;
            const std::string name = file.substr(0, file.size() - ending.size());
            const fs::path style = folder / (name + ".ini");
            if (!isSafeName(name))
                continue;
            const bool listedName = names.contains(name);
            if (suffix == kPartialSuffix && listedName) {
                fs::rename(entry, style, ec); // the save was done: the index names it
                finished += !ec;
            } else if (suffix == kRemovedSuffix) {
                if (listedName && !fs::exists(style, ec))
                    fs::rename(entry, style, ec); // the removal never happened
                else
                    fs::remove(entry, ec); // the removal was done
                ++finished;
            }
            // An unfinished save the index does not name is a stale temporary file.
        }
    }
    return finished;
}

void SavedStyles::lstyle(const std::string& piece)
{
    if (piece.empty())
        return m_bot.reply(kNoName);
    ensureIndexLoaded();
    const int found = search(piece);
    if (found < 0)
        return m_bot.replyRaw(kNotFound);

    const std::string name = m_bot.lstStyles.item(static_cast<std::size_t>(found));
    const std::string marked = markedName(name, piece, "</U>");
    const std::string path = styleFile(name);
    std::error_code ec;
    if (!isSafeName(name) || !fs::is_regular_file(path, ec) || !readFileBytes(path))
        return m_bot.reply(" Style " + marked + " could not be read! ");

    Style& style = m_bot.style;
    for (std::string Style::*value : kFileOrder)
        style.*value = readSetting(kStyleSection, styleKey(value), path);
    style.BuildStylePieces();
    // The loaded style is also the style of the next start-up.
    for (std::string Style::*value : kFileOrder)
        m_bot.settings().write(kStyleSection, styleKey(value), style.*value);
    m_bot.reply(" Style " + marked + " loaded ");
}

} // namespace tavu
