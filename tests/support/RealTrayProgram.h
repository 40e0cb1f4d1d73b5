#pragma once

#include "ui_MainWindow.h"

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "platform/HttpTransfer.h"
#include "platform/IconRegistry.h"
#include "platform/QtTrayShell.h"
#include "platform/VersionProbe.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBox.h"

#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QTest>

// The whole program on the desktop's own tray, in a folder of its own. Its captures read the page
// text box, so no router is needed to make the line drop.
struct RealTrayProgram
{
    static constexpr int waitMs = 5000;

    explicit RealTrayProgram(const QString& folder)
        : shell(icons)
        , controller(window, Platform{shell, probe, icons, transfer, messageBox, clock, folder})
    {
        controller.formLoad();
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    Ui::MainWindow& ui() { return window.ui(); }

    void capture(bool lineGood)
    {
        const QString downSnr = lineGood ? QStringLiteral("12.0") : QStringLiteral("3.0");
        ui().txtDebug->setPlainText(QStringLiteral("var st_dw_snr_margin = \"%1\";\nvar st_up_snr_margin = \"12.0\";\n"
                                                   "var st_dw_line_attenuation = \"20.0\";\n"
                                                   "var st_up_line_attenuation = \"10.0\";\n")
                                        .arg(downSnr));
        controller.cmdTestPageClick();
    }

    // The balloon's text as the drop capture made it.
    QString dropText()
    {
        return ui().lblLastDrop->text().section(QStringLiteral(": "), 1) + "\r\nADSL connection dropped.";
    }

    IconRegistry icons;
    QtTrayShell shell;
    SystemVersionProbe probe;
    HttpTransfer transfer;
    RecordingMessageBox messageBox;
    FakeClock clock;
    MainWindow window;
    MainController controller;
    bool exposed = false;
};

// Runs a desktop tool to its end and gives what it printed. This program's events are served
// meanwhile, as the tool may be asking it something over the session bus.
inline QByteArray runTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!QTest::qWaitFor([&tool] { return tool.state() == QProcess::NotRunning; }, RealTrayProgram::waitMs))
        return {};
    return tool.readAllStandardOutput();
}

// Where the X server shows the windows of one class, in screen coordinates.
inline QList<QRect> shownWindows(const QString& className)
{
    const QString found = QString::fromLocal8Bit(runTool(QStringLiteral("xdotool"),
        {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--classname"), className,
            QStringLiteral("getwindowgeometry"), QStringLiteral("%@")}));
    QList<QRect> windows;
    const QRegularExpression geometry(QStringLiteral(R"(Position: (-?\d+),(-?\d+).*\n\s*Geometry: (\d+)x(\d+))"));
    for (const QRegularExpressionMatch& match : geometry.globalMatch(found)) {
        windows.append({match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
            match.captured(4).toInt()});
    }
    return windows;
}

inline void clickAt(QPoint at, int button, int count = 1)
{
    runTool(QStringLiteral("xdotool"),
        QStringLiteral("mousemove 600 600 sleep 0.1 mousemove %1 %2 sleep 0.2 click --repeat %3 --delay 80 %4")
            .arg(at.x())
            .arg(at.y())
            .arg(count)
            .arg(button)
            .split(' '));
}

// Starts a tray or notice host from its command line; a host that cannot start or stops at once
// fails the test that needs it.
inline bool startHost(QProcess& host, const QString& command, QString& why)
{
    host.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList words = command.split(QLatin1Char(' '));
    const QString& program = words.first();
    host.start(program, words.mid(1));
    if (!host.waitForStarted(RealTrayProgram::waitMs)) {
        why = program + QStringLiteral(" could not start: ") + host.errorString();
        return false;
    }
    if (host.waitForFinished(500)) {
        why = program + QStringLiteral(" stopped at once: ") + QString::fromLocal8Bit(host.readAll());
        return false;
    }
    return true;
}

inline void stopHost(QProcess& host)
{
    host.terminate();
    if (!host.waitForFinished(RealTrayProgram::waitMs))
        host.kill();
    host.waitForFinished(RealTrayProgram::waitMs);
}
