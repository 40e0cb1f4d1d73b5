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
    const StatLabels& lblMax() const { return m_lblMax; }
    const StatLabels& lblMin() const { return m_lblMin; }
    const StatLabels& lblStats() const { return m_lblStats; }
    // 0..3 the coloured "Down"/"Up" legend of each series, 4 and 5 the row headings, 6 the file caption.
    const std::array<QLabel*, 7>& lblOutput() const { return m_lblOutput; }
    const std::array<QLabel*, 6>& lblHead() const { return m_lblHead; }
    const std::array<QLabel*, 5>& lblGen() const { return m_lblGen; }
    const std::array<BorderShape*, statCount>& shpBorder() const { return m_shpBorder; }

    // The tray's popup menu; each item's data() holds its index in the menu.
    QMenu* mnSysTray() const { return m_mnSysTray; }
    QAction* mnShow() const { return m_mnShow; }
    QAction* mnClose() const { return m_mnClose; }

    // The graph's popup menu; its check marks are the only copy of the graph options.
    QMenu* mnGraph() const { return m_mnGraph; }
    QAction* mnMarkers() const { return m_mnMarkers; }
    QAction* mnLabels() const { return m_mnLabels; }
    QAction* mnGrid() const { return m_mnGrid; }
    QAction* mnAutoRange() const { return m_mnAutoRange; }

private:
    void applyFontSizes();
    void collectControlArrays();
    void buildTrayMenu();
    void buildGraphMenu();
    void centreOnScreen();
    QAction* addMenuItem(QMenu* menu, const QString& name, const QString& caption, bool checkable);

    std::unique_ptr<Ui::MainWindow> m_ui;
    StatLabels m_lblMax{};
    StatLabels m_lblMin{};
    StatLabels m_lblStats{};
    std::array<QLabel*, 7> m_lblOutput{};
    std::array<QLabel*, 6> m_lblHead{};
    std::array<QLabel*, 5> m_lblGen{};
    std::array<BorderShape*, statCount> m_shpBorder{};

    QMenu* m_mnSysTray = nullptr;
    QAction* m_mnShow = nullptr;
    QAction* m_mnClose = nullptr;
    QMenu* m_mnGraph = nullptr;
    QAction* m_mnMarkers = nullptr;
    QAction* m_mnLabels = nullptr;
    QAction* m_mnGrid = nullptr;
    QAction* m_mnAutoRange = nullptr;
};
