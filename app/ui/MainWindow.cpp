#include "MainWindow.h"

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Keymoor"));
    resize(960, 640);
}

MainWindow::~MainWindow() = default;
