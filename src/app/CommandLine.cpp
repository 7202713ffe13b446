#include "app/CommandLine.h"

#include "chat/SavedStyles.h"
#include "settings/AtomicFile.h"
#include "settings/Settings.h"
#include "util/Text.h"

#include <cstdint>
#include <cstdlib>
#include <sys/stat.h>
#include <system_error>

namespace tavu {

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (a == "--version" || a == "-v") {
            line.version = true;
        } else if (a == "--no-intro") {
            line.noIntro = true;
        } else if (a == "--headless") {
            line.headless = true;
        } else if (a == "--home") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                line.error = "--home needs a directory";
                return line;
            }
            line.home = args[++i];
        } else if (a.starts_with("--home=") && a.size() > 7) {
            line.home = a.substr(7);
        } else {
            line.error = "unknown option: " + a;
            return line;
        }
    }
    return line;
}

std::string helpText()
{
    return "Usage: tavu [--home DIR] [--no-intro | --headless]\n"
           "\n"
           "Tavu plays the .mp3 files of one music folder and is run by its owner from a chat room.\n"
           "\n"
           "  --home DIR   use DIR as the program directory (Tavu.ini, Styles/, Styles.txt, Sounds/);\n"
           "               default: $XDG_CONFIG_HOME/tavu or ~/.config/tavu\n"
           "  --no-intro   start with the main window, without the intro splash\n"
           "  --headless   run without windows or a display, as a bot in the IRC channel of the\n"
           "               [Chat] settings; the handle and the music folder come from Tavu.ini\n"
           "  --help       show this text\n"
           "  --version    show the version\n"
           "\n"
           "Without a display: tavu --headless (an IRC bot, no windows), or the windows on a virtual\n"
           "display: xvfb-run tavu, QT_QPA_PLATFORM=offscreen tavu.\n";
}

std::filesystem::path defaultProgramDir()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        return std::filesystem::path(xdg) / "tavu";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".config" / "tavu";
    return std::filesystem::current_path() / "tavu";
}

bool showsIntro(const CommandLine& options, bool firstStart, const Settings& settings)
{
    if (options.noIntro)
        return false;
    return firstStart || leadingNumber(settings.readOr(keys::DesktopIntro)) != 0;
}

std::string settingsFileProblem(const std::string& path)
{
    // A pipe would stop the start for good and a device (a link to /dev/zero) would read without end.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    if (!S_ISREG(st.st_mode))
        return path + " is not a plain file (a pipe, a device or a folder of that name): move it away, "
                      "and Tavu starts with new settings";
    if (static_cast<std::uint64_t>(st.st_size) > kMostFileBytes)
        return path + " is larger than " + std::to_string(kMostFileBytes / (1024 * 1024)) +
               " MB, too large for a settings file: move it away, and Tavu starts with new settings";
    return {};
}

std::string prepareProgramDir(const std::filesystem::path& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir, ec))
        return "cannot use " + dir.string() + " as the program directory: " + ec.message();
    // Without a Styles folder (a file of that name, say) only the saved styles are unavailable; the
    // bot says so in the chat room window.
    std::filesystem::create_directories(dir / "Styles", ec);
    SavedStyles::finishInterruptedChanges(dir.string());
    removeStaleTempFiles(dir.string());
    const Settings settings((dir / "Tavu.ini").string());
    if (const std::string problem = settingsFileProblem(settings.path()); !problem.empty())
        return problem;
    if (!std::filesystem::exists(settings.path(), ec))
        for (const NewProgramDefault& row : kNewProgramDefaults)
            settings.write(row.key, row.value);
    return {};
}

} // namespace tavu
