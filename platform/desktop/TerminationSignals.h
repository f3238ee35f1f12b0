// Turns SIGTERM and SIGINT into a Qt signal on the user-interface thread, so that a logout or
// Ctrl+C ends Lumo through the same shut-down as closing the main window; and SIGUSR1, sent by a
// second start of Lumo, into a request to show the running one's window.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace lumo::platform {

class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    // Installs the handlers; one instance per process, made before the lock that makes this
    // the running Lumo: until then SIGUSR1 would end the process.
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // Asks the Lumo running as the process pid to show its window; false when pid is not a
    // process of this same program, or it cannot be signalled.
    static bool askToShow(qint64 pid);

signals:
    void terminationRequested(int signalNumber);
    void showRequested();

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace lumo::platform
