#include "app/CommandLine.h"
#include "app/HeadlessProgram.h"
#include "app/WindowsLoader.h"

#include <cstdlib>
#include <iostream>

namespace {

bool haveDisplay()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name); value && *value)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    const tavu::CommandLine options = tavu::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::cerr << "tavu: " << options.error << "\n\n" << tavu::helpText();
        return 2;
    }
    if (options.help) {
        std::cout << tavu::helpText();
        return 0;
    }
    if (options.version) {
        std::cout << "tavu " << TAVU_VERSION << "\n";
        return 0;
    }
    if (!options.headless && !haveDisplay()) {
        std::cerr << "tavu: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Start it from a desktop session, or run it without one:\n"
                     "  tavu --headless                    (a bot in its IRC channel, no windows)\n"
                     "  xvfb-run tavu                      (a virtual X display)\n"
                     "  QT_QPA_PLATFORM=offscreen tavu     (the windows, drawn nowhere)\n";
        return 1;
    }

    const std::filesystem::path home = options.home ? std::filesystem::path(*options.home) : tavu::defaultProgramDir();
    std::error_code missing;
    const bool firstStart = !std::filesystem::exists(home / "Tavu.ini", missing);
    if (const std::string error = tavu::prepareProgramDir(home); !error.empty()) {
        std::cerr << "tavu: " << error << "\n";
        return 1;
    }
    std::filesystem::path dir = std::filesystem::absolute(home).lexically_normal();
    if (!dir.has_filename())
        dir = dir.parent_path();
    if (options.headless)
        return tavu::runHeadless(argc, argv, dir);

    return tavu::runWithWindows(argc, argv, dir, options.noIntro, firstStart);
}
