// The server console: the one window that stays open while the program runs.
#pragma once

#include <QWidget>

#include "store/ProgramState.h"

namespace vardex {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(ProgramState& state, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The creation handler; false when this copy must end at once.
    bool SetUp();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void SaveAll();

    ProgramState& state_;
    WindowSettings settings_;
    bool setUp_ = false;
};

}  // namespace vardex
