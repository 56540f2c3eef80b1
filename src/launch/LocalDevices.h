// The remote desktop client's per-host device value under HKEY_CURRENT_USER, which the launcher
// makes sure exists before it starts the client.
#pragma once

#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace vardex {

enum class LocalDevicesOutcome { AlreadyThere, Written, Failed, NotAvailable };

struct LocalDevicesName {
    std::string key;
    std::string valueName;
};

// "Software\Microsoft\Terminal Server Client\LocalDevices\" + address, split at its last
// backslash (a GBK trail byte 0x5C is none) into key and value name.
LocalDevicesName LocalDevicesValueName(std::string_view address);

// Writes REG_DWORD 76 when the value is missing; a value that exists, whatever its data, is
// left alone, and so is one that could not be looked up.
LocalDevicesOutcome EnsureLocalDevicesValue(Registry& registry, std::string_view address);

}  // namespace vardex
