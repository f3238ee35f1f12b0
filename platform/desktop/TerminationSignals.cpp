#include "platform/desktop/TerminationSignals.h"

#include <QFile>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace lumo::platform {

namespace {

int g_pipe[2] = {-1, -1};

// Only async-signal-safe work here: the signal number goes through a pipe to the event loop.
void onSignal(int signalNumber)
{
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGUSR1, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    // A second start may still ask while this one shuts down; that must not end it.
    std::signal(SIGUSR1, SIG_IGN);
    for (int &fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

bool TerminationSignals::askToShow(qint64 pid)
{
    // The lock file's process number may belong to another program by now, which SIGUSR1 would
    // end.
    auto programOf = [](const QString &process) {
        QFile name(QStringLiteral("/proc/%1/comm").arg(process));
        return name.open(QIODevice::ReadOnly) ? name.readAll() : QByteArray();
    };
    if (pid <= 0)
        return false;
    const QByteArray program = programOf(QString::number(pid));
    return !program.isEmpty() && program == programOf(QStringLiteral("self")) &&
           ::kill(static_cast<pid_t>(pid), SIGUSR1) == 0;
}

void TerminationSignals::readSignal()
{
    unsigned char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1) {
        if (byte == SIGUSR1)
            emit showRequested();
        else
            emit terminationRequested(byte);
    }
}

} // namespace lumo::platform
