// What the whole run shares: the server table, the store and the startup password.
#pragma once

#include <string>

#include "ServerTable.h"
#include "StoreFile.h"
#include "StoreFormat.h"

namespace vardex {

struct ProgramState {
    // The store lives in runDirectory (UTF-8, no trailing separator).
    explicit ProgramState(const std::string& runDirectory);

    std::string runDirectory;
    ServerTable table;
    StoreFile store;
    std::string startupPassword;  // empty: none is asked

    // Reads ms.ini and takes the startup password out of it.
    void LoadStoreAtStart();
    // Writes the table, settings and startup password to ms.ini.
    SaveOutcome SaveStore(const WindowSettings& settings);
};

}  // namespace vardex
