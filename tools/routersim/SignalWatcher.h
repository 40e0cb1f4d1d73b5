#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a clean quit of the event loop: the handler only writes a byte
// to a pipe, which is all a signal handler may safely do; the loop reads it and quits.
class SignalWatcher final : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;
    Q_DISABLE_COPY_MOVE(SignalWatcher)

    bool isWatching() const;

signals:
    void stopRequested();

private:
    static void onSignal(int signalNumber);
    void onPipeReadable();

    QSocketNotifier* m_notifier = nullptr;
};
