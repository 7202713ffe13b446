#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavu {

struct CommandLine {
    std::optional<std::string> home; // --home DIR: the program directory
    bool noIntro = false;            // --no-intro: straight to the main window
    bool headless = false;           // --headless: no windows, the bot in its IRC channel
    bool help = false;
    bool version = false;
    std::string error; // not empty when the arguments could not be understood
};

CommandLine parseCommandLine(const std::vector<std::string>& args);
std::string helpText();

// The program directory without --home: $XDG_CONFIG_HOME/tavu, or ~/.config/tavu.
std::filesystem::path defaultProgramDir();

// Makes sure the program directory and its Styles folder exist, and clears away the temporary
// files that a crash during a write left there. A Styles folder that cannot be made (a file of that
// name) is no error: the program starts without saved styles. A new program directory (no Tavu.ini yet) starts
// with the choices of kNewProgramDefaults. A Tavu.ini that is not a plain file, or one too large to
// be a settings file, is refused. Returns an error text, or "".
std::string prepareProgramDir(const std::filesystem::path& dir);

// Why the settings file cannot be used, or "" (a missing file can: it is made).
std::string settingsFileProblem(const std::string& path);

class Settings;
// Whether the intro comes before the main window: not with --no-intro, and not when the settings
// say "Desktop"/"Intro" = 0, except on a first start (no Tavu.ini before it), which always has it.
bool showsIntro(const CommandLine& options, bool firstStart, const Settings& settings);

} // namespace tavu
