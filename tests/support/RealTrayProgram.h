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

    // The line is up, the window goes to the tray with balloons on, and the next capture finds it down.
    void dropInTray()
    {
        ui().chkUseBalloons->setChecked(true);
        capture(true);
        ui().cmdSysTray->click();
        capture(false);
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

// Runs a desktop tool to its end and gives what it printed.
inline QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(RealTrayProgram::waitMs))
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Starts a tray or notice host; a host that cannot start or stops at once fails the test that needs it.
inline bool startHost(QProcess& host, const QString& program, const QStringList& arguments, QString& why)
{
    host.setProcessChannelMode(QProcess::MergedChannels);
    host.start(program, arguments);
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
