#include "app/HeadlessProgram.h"

#include "app/BotAssembly.h"
#include "app/HeadlessSettings.h"
#include "app/HeadlessWindows.h"
#include "app/SignalShutdown.h"
#include "bot/Bot.h"
#include "bot/Lifecycle.h"
#include "bot/ProgramSettings.h"
#include "client/IrcChatRoom.h"
#include "client/LocalChatRoom.h"
#include "platform/FontconfigFontList.h"
#include "platform/QtRuntime.h"
#include "platform/SignalWatcher.h"
#include "settings/Settings.h"
#include "util/ConsoleDialogs.h"

#include <QCoreApplication>

#include <iostream>

namespace tavu {

HeadlessProgram::HeadlessProgram(std::string programDir)
    : m_dialogs(std::make_unique<ConsoleDialogs>(std::cerr)), m_fonts(std::make_unique<FontconfigFontList>())
{
    m_core = std::make_unique<BotAssembly>(std::move(programDir), *m_dialogs, *m_fonts, std::string("Owner"));
    // "end" closes the main window, which runs the shutdown after the command is over.
    m_windows = std::make_unique<HeadlessWindows>([this] { m_core->runtime().post([this] { shutDown(); }); });
    m_core->bot().windows = m_windows.get();
    // What the chat room window would show of the room itself (the connection, the services,
    // errors) goes to the error output, which the journal keeps for a user service.
    m_core->room().onEntry = [](const LocalChatRoom::Entry& entry) {
        if (entry.kind == LocalChatRoom::Kind::Notice)
            std::cerr << "tavu: " << entry.text << std::endl;
    };
    // And the course of the link: connecting, connected, TLS, joined. The room began connecting
    // as it was made, which its status still says.
    if (auto* irc = dynamic_cast<IrcChatRoom*>(&m_core->room())) {
        std::cerr << "tavu: " << irc->status() << std::endl;
        irc->onLog = [](const std::string& text) { std::cerr << "tavu: " << text << std::endl; };
    }
    m_shutdown = std::make_unique<SignalShutdown>([this] { shutDown(); },
                                                  [this] {
                                                      m_core->hurry();
                                                      m_core->runtime().quit();
                                                  });
    m_signals = std::make_unique<SignalWatcher>([this](int) { endBySignal(); });
}

HeadlessProgram::~HeadlessProgram()
{
    m_signals.reset();
    m_shutdown.reset();
    m_core->bot().windows = nullptr;
    m_core.reset();
}

bool HeadlessProgram::start()
{
    // As in the windowed program: the file that holds the chat passwords is the user's alone.
    keepPasswordPrivate(m_core->bot().settings());
    auto begun = beginSession(m_core->bot());
    if (begun.done()) // ended before its first wait: no handle given
        return m_started = begun.result();
    m_core->bot().startTask([](HeadlessProgram& program, Task<bool> startUp) -> Task<> {
        program.m_started = co_await startUp;
        if (!program.m_started)
            program.m_core->runtime().quit();
    }(*this, std::move(begun)));
    return true;
}

void HeadlessProgram::endBySignal()
{
    if (m_started && (!m_unloading || m_shutdown->signalsSeen() > 0))
        return m_shutdown->onSignal();
    m_core->hurry();
    m_core->runtime().quit();
}

void HeadlessProgram::shutDown()
{
    if (!m_started || m_unloading) {
        m_core->runtime().quit();
        return;
    }
    m_unloading = true;
    m_core->bot().startTask(endSession(m_core->bot(), {}));
}

int runHeadless(int argc, char** argv, const std::filesystem::path& programDir)
{
    const std::vector<std::string> problems = headlessProblems(Settings((programDir / "Tavu.ini").string()));
    if (!problems.empty()) {
        std::cerr << "tavu: cannot run without windows:\n";
        for (const std::string& problem : problems)
            std::cerr << "  " << problem << "\n";
        return 2;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavu"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVU_VERSION));
    HeadlessProgram program(programDir.string());
    if (!program.start())
        return 0;
    return QCoreApplication::exec();
}

} // namespace tavu
