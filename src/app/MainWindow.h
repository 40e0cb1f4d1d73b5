#pragma once

#include "stats/LineStatTable.h"

#include <QWidget>

#include <array>
#include <memory>

class BorderShape;
class ClickableLabel;
class QAction;
class QLabel;
class QMenu;

namespace Ui {
class MainWindow;
}

// The program's one window: the form's controls, the indexed label groups that share one handler,
// and the two popup menus.
class MainWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    using StatLabels = std::array<ClickableLabel*, statCount>;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Every control of the form, under its layout name.
    Ui::MainWindow& ui() const { return *m_ui; }

    // Value cells of statistic i (0 Down SNR, 1 Up SNR, 2 Down Attenuation, 3 Up Attenuation).
    const StatLabels& maximumValues() const { return m_maximumValues; }
    const StatLabels& minimumValues() const { return m_minimumValues; }
    const StatLabels& currentValues() const { return m_currentValues; }
    const std::array<BorderShape*, statCount>& seriesBorders() const { return m_seriesBorders; }

    // The tray's popup menu; each item's data() holds its index in the menu.
    QMenu* trayMenu() const { return m_trayMenu; }
    QAction* showAction() const { return m_showAction; }
    QAction* exitAction() const { return m_exitAction; }

    // The graph's popup menu; its check marks are the only copy of the graph options.
    QMenu* graphMenu() const { return m_graphMenu; }
    QAction* markersAction() const { return m_markersAction; }
    QAction* labelsAction() const { return m_labelsAction; }
    QAction* gridAction() const { return m_gridAction; }
    QAction* autoRangeAction() const { return m_autoRangeAction; }

    // The page-text box and its button show only beside the narrowed graph; hidden, the keyboard
    // never reaches them behind the graph.
    void showPageText(bool shown);

protected:
    void changeEvent(QEvent* event) override;

private:
    void collectControlArrays();
    void buildTrayMenu();
    void buildGraphMenu();
    void centreOnScreen();
    void nameControls();
    void makeKeyboardReachable();
    void buildTabOrder();
    void followDesktopPalette();
    QAction* addMenuItem(QMenu* menu, const QString& name, const QString& caption, bool checkable);

    std::unique_ptr<Ui::MainWindow> m_ui;
    StatLabels m_maximumValues{};
    StatLabels m_minimumValues{};
    StatLabels m_currentValues{};
    std::array<BorderShape*, statCount> m_seriesBorders{};

    QMenu* m_trayMenu = nullptr;
    QAction* m_showAction = nullptr;
    QAction* m_exitAction = nullptr;
    QMenu* m_graphMenu = nullptr;
    QAction* m_markersAction = nullptr;
    QAction* m_labelsAction = nullptr;
    QAction* m_gridAction = nullptr;
    QAction* m_autoRangeAction = nullptr;
};
