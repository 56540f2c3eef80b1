// The entry: read the store, pass the password gate, run the main window.
#include <QApplication>

#include "console/MainWindow.h"
#include "console/MessageBoxes.h"
#include "platform/RunDirectory.h"
#include "store/ProgramState.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vardex::ProgramState state(vardex::RunDirectory());
    state.LoadStoreAtStart();
    const bool authenticated = state.startupPassword.empty();
    if (!authenticated) {
        return 0;
    }
    vardex::QtMessageBoxes messages;
    vardex::ConsoleServices services;
    services.messages = &messages;
    vardex::MainWindow window(state, services);
    if (!window.SetUp()) {
        return 0;
    }
    window.show();
    app.exec();
    return 0;
}
