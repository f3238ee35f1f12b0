// Turns SIGTERM and SIGINT into a Qt signal on the user-interface thread, so that a logout or
// Ctrl+C ends Lumo through the same shut-down as closing the main window.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace lumo::platform {

class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    // Installs the handlers; one instance per process.
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace lumo::platform
