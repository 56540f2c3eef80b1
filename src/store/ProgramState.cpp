#include "ProgramState.h"

#include "platform/RunDirectory.h"

namespace vardex {

ProgramState::ProgramState(const std::string& dir)
    : runDirectory(dir), store(JoinPath(dir, "ms.ini")) {}

void ProgramState::LoadStoreAtStart() {
    store.LoadStoreAtStart();
    startupPassword = StartupPasswordIn(store.StoreBytes());
}

SaveOutcome ProgramState::SaveStore(const WindowSettings& settings) {
    return store.Save(BuildStorePlaintext(table, settings, startupPassword));
}

}  // namespace vardex
