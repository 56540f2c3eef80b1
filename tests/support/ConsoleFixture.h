// A main window over a store of the test's own, in a fresh run directory, with message boxes
// that answer at once.
#pragma once

#include <memory>
#include <string>

#include "FakeMessageBoxes.h"
#include "TempDir.h"
#include "console/MainWindow.h"
#include "store/Rc4Crypt.h"

namespace vardex::testing {

class ConsoleFixture {
public:
    // ms.ini enciphered from a GBK plaintext.
    void WriteStore(const std::string& plaintext) {
        WriteFileBytes(dir.File("ms.ini"), Rc4Crypt(plaintext, kStoreKey));
    }
    std::string StoreText() const { return Rc4Crypt(ReadFileBytes(dir.File("ms.ini")), kStoreKey); }

    // Reads the store as at start and runs the window's set-up; services without message boxes
    // get the fake ones.
    MainWindow& Start(ConsoleServices services = {}) {
        window.reset();
        state = std::make_unique<ProgramState>(dir.path());
        state->LoadStoreAtStart();
        if (!services.messages) {
            services.messages = &messages;
        }
        window = std::make_unique<MainWindow>(*state, services);
        if (!window->SetUp()) {
            qFatal("the window's set-up refused to run");
        }
        return *window;
    }
    // Closes the window as the user would, then destroys it.
    void Stop() {
        window->close();
        window.reset();
    }

    TempDir dir;
    FakeMessageBoxes messages;
    std::unique_ptr<ProgramState> state;
    std::unique_ptr<MainWindow> window;
};

}  // namespace vardex::testing
