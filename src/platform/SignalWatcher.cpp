#include "platform/SignalWatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavu {
namespace {

int g_writeFd = -1;

void noteSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (g_writeFd >= 0) {
        [[maybe_unused]] const auto written = ::write(g_writeFd, &number, 1);
    }
    errno = saved;
}

} // namespace

static_assert(SIGTERM == 15 && SIGINT == 2 && SIGHUP == 1);

SignalWatcher::SignalWatcher(std::function<void(int signal)> onSignal) : m_onSignal(std::move(onSignal))
{
    if (g_writeFd >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_fds) != 0)
        return;
    g_writeFd = m_fds[0];
    m_notifier = std::make_unique<QSocketNotifier>(m_fds[1], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { readSignals(); });
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

SignalWatcher::~SignalWatcher()
{
    if (!m_notifier)
        return;
    for (const int signal : kSignals)
        std::signal(signal, SIG_DFL);
    m_notifier.reset();
    g_writeFd = -1;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void SignalWatcher::readSignals()
{
    unsigned char numbers[16];
    for (;;) {
        const ssize_t n = ::read(m_fds[1], numbers, sizeof numbers);
        if (n <= 0)
            return;
        for (ssize_t i = 0; i < n; ++i)
            if (m_onSignal)
                m_onSignal(numbers[i]);
    }
}

} // namespace tavu
