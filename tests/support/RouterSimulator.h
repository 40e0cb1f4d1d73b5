#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the router simulator on a port it picks itself, and stops it afterwards.
class RouterSimulator
{
public:
    explicit RouterSimulator(QString program)
        : m_program(std::move(program))
    { }
    ~RouterSimulator() { stopAndCountRequests(); }
    Q_DISABLE_COPY_MOVE(RouterSimulator)

    // Starts the simulator with the given options and waits for the port it announces.
    bool start(const QStringList& arguments);
    // Stops the simulator and gives the number of requests it received, or -1 when it did not say.
    int stopAndCountRequests();
    quint16 port() const { return m_port; }
    QString pageUrl() const { return QStringLiteral("http://127.0.0.1:%1/doc/adsl.htm").arg(m_port); }
    QString errorText() const { return m_error; }

private:
    QString m_program;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
