#include "app/CommandLine.h"
#include "app/Program.h"

#include <QApplication>
#include <QIcon>

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
    if (!haveDisplay()) {
        std::cerr << "tavu: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Start it from a desktop session, or run it headless:\n"
                     "  xvfb-run tavu                      (a virtual X display)\n"
                     "  QT_QPA_PLATFORM=offscreen tavu     (no windows at all)\n";
        return 1;
    }

    const std::filesystem::path home = options.home ? std::filesystem::path(*options.home) : tavu::defaultProgramDir();
    std::error_code missing;
    const bool firstStart = !std::filesystem::exists(home / "Tavu.ini", missing);
    if (const std::string error = tavu::prepareProgramDir(home); !error.empty()) {
        std::cerr << "tavu: " << error << "\n";
        return 1;
    }

    // On X11 every frame of the scrolling title is a small picture sent to the server. Through
    // shared memory each one costs a round trip before the next may be drawn; sent plainly it costs
    // a write. The windows are small, so plain is cheaper. A user's own setting is kept.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavu"));
    QApplication::setApplicationVersion(QStringLiteral(TAVU_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("tavu"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tavu")));
    // The program ends through the main window's shutdown, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);

    std::filesystem::path dir = std::filesystem::absolute(home).lexically_normal();
    if (!dir.has_filename())
        dir = dir.parent_path();
    tavu::Program program(options, dir.string(), firstStart);
    if (!program.start())
        return 0; // no handle given: the program ends at once
    return QApplication::exec();
}
