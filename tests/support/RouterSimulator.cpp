#include "support/RouterSimulator.h"

#include <csignal>
#include <sys/prctl.h>

namespace {

constexpr int startTimeoutMs = 10000;
const QByteArray announcement = "listening 127.0.0.1:";
const QByteArray requestsReport = "requests ";

} // namespace

bool RouterSimulator::start(const QStringList& arguments)
{
    m_process.setProgram(m_program);
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test ended at once by its watchdog runs no destructor; the simulator must not outlive it.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start();
    if (!m_process.waitForStarted(startTimeoutMs)) {
        m_error = m_process.errorString();
        return false;
    }
    while (!m_process.canReadLine() && m_process.waitForReadyRead(startTimeoutMs)) { }
    const QByteArray line = m_process.readLine().trimmed();
    m_port = line.startsWith(announcement) ? line.mid(announcement.size()).toUShort() : 0;
    if (m_port == 0)
        m_error = QStringLiteral("no port announced: ") + QString::fromLatin1(line);
    return m_port != 0;
}

int RouterSimulator::stopAndCountRequests()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(startTimeoutMs)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    const QByteArray output = m_process.readAllStandardOutput();
    const qsizetype at = output.lastIndexOf(requestsReport);
    bool ok = false;
    const int count = at < 0 ? -1 : output.mid(at + requestsReport.size()).trimmed().toInt(&ok);
    return ok ? count : -1;
}
