// The per-host device value: written once with 76, never changed.
#include "LocalDevices.h"

#include "store/GbkText.h"

namespace vardex {
namespace {

constexpr uint32_t kLocalDevicesData = 76;

}  // namespace

LocalDevicesName LocalDevicesValueName(std::string_view address) {
    std::string full = "Software\\Microsoft\\Terminal Server Client\\LocalDevices\\";
    full.append(address);
    const size_t split = FindLastText(full, "\\");
    return {full.substr(0, split), full.substr(split + 1)};
}

LocalDevicesOutcome EnsureLocalDevicesValue(Registry& registry, std::string_view address) {
    const LocalDevicesName name = LocalDevicesValueName(address);
    const ValueLookup lookup = registry.FindValue(name.key, name.valueName);
    switch (lookup.status) {
        case RegistryStatus::NotAvailable:
            return LocalDevicesOutcome::NotAvailable;
        case RegistryStatus::Failed:
            // Unknown whether it exists: writing could change the user's own setting.
            return LocalDevicesOutcome::Failed;
        case RegistryStatus::Ok:
            break;
    }
    if (lookup.exists) {
        return LocalDevicesOutcome::AlreadyThere;
    }
    switch (registry.SetDwordValue(name.key, name.valueName, kLocalDevicesData)) {
        case RegistryStatus::Ok:
            return LocalDevicesOutcome::Written;
        case RegistryStatus::NotAvailable:
            return LocalDevicesOutcome::NotAvailable;
        case RegistryStatus::Failed:
            break;
    }
    return LocalDevicesOutcome::Failed;
}

}  // namespace vardex
