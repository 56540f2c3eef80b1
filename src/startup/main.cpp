// The entry: read the store, pass the password gate, run the main window.
#include <QApplication>
#include <QSocketNotifier>
#include <cstdlib>

#include "PasswordWindows.h"
#include "SingleInstanceGuard.h"
#include "console/MainWindow.h"
#include "console/MessageBoxes.h"
#include "platform/ClientStarter.h"
#include "platform/DataProtection.h"
#include "platform/InstanceMarker.h"
#include "platform/Pinger.h"
#include "platform/Registry.h"
#include "platform/RunDirectory.h"
#include "platform/TerminationRequest.h"
#include "store/ProgramState.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vardex::ProgramState state(vardex::RunDirectory());
    state.LoadStoreAtStart();
    vardex::QtMessageBoxes messages;

    bool authenticated = state.startupPassword.empty();
    if (!authenticated) {
        // Cancel ends the program at once: nothing has been changed, so nothing is saved.
        vardex::AuthenticationWindow gate(state.startupPassword, messages, [] { std::exit(0); });
        authenticated = gate.exec() == QDialog::Accepted;
    }
    if (!authenticated) {
        return 0;
    }

    const auto pinger = vardex::MakeSystemPinger();
    const auto protection = vardex::MakeSystemDataProtection();
    const auto registry = vardex::MakeSystemRegistry();
    const auto clientStarter = vardex::MakeSystemClientStarter(*protection);
    vardex::ConsoleServices services;
    services.messages = &messages;
    services.pinger = pinger.get();
    services.protection = protection.get();
    services.registry = registry.get();
    services.clientStarter = clientStarter.get();
    vardex::SystemInstanceMarker marker;
    services.guardSingleInstance = [&state, &marker, &messages] {
        return vardex::GuardSingleInstance(state.runDirectory, marker, messages);
    };
    services.openStartupPasswordWindow = [&state, &messages] {
        vardex::StartupPasswordWindow window(state.startupPassword, messages);
        window.exec();
    };
    vardex::MainWindow window(state, services);
    if (!window.SetUp()) {
        return 0;
    }
    window.show();

    const int requests = vardex::WatchTerminationRequests();
    if (requests >= 0) {
        auto* notifier = new QSocketNotifier(requests, QSocketNotifier::Read, &app);
        // Open editors and messages are closed first, then the main window, which saves.
        QObject::connect(notifier, &QSocketNotifier::activated, &app,
                         [] { QApplication::closeAllWindows(); });
    }
    app.exec();
    return 0;
}
