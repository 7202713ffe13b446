// The program with its windows, as a module that tavu loads (see WindowsLoader.h).

#include "app/CommandLine.h"
#include "app/Program.h"

#include <QApplication>
#include <QIcon>

extern "C" __attribute__((visibility("default"))) int tavu_run_windows(int* argc, char** argv, const char* programDir,
                                                                       int noIntro, int firstStart)
{
    // On X11 every frame of the scrolling title is a small picture sent to the server. Through
    // shared memory each one costs a round trip before the next may be drawn; sent plainly it costs
    // a write. The windows are small, so plain is cheaper. A user's own setting is kept.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(*argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavu"));
    QApplication::setApplicationVersion(QStringLiteral(TAVU_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("tavu"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tavu")));
    // The program ends through the main window's shutdown, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);

    tavu::CommandLine options;
    options.noIntro = noIntro != 0;
    tavu::Program program(options, programDir, firstStart != 0);
    if (!program.start())
        return 0; // no handle given, or told to end during start-up: the program ends at once
    return QApplication::exec();
}
