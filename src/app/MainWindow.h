#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class MainWindow;
}

// The program's one window.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

private:
    std::unique_ptr<Ui::MainWindow> m_ui;
};
