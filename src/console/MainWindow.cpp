#include "MainWindow.h"

#include <QCloseEvent>

namespace vardex {

MainWindow::MainWindow(ProgramState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setWindowTitle(QStringLiteral("Vardex"));
    move(50, 50);
    resize(710, 552);
}

MainWindow::~MainWindow() {
    if (setUp_) {
        SaveAll();
    }
}

bool MainWindow::SetUp() {
    settings_.Apply(ApplyStore(state_.store.StoreBytes(), state_.table));
    setUp_ = true;
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    SaveAll();
    event->accept();
}

void MainWindow::SaveAll() {
    state_.SaveStore(settings_);
}

}  // namespace vardex
