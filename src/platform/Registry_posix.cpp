// Linux has no registry: the launcher's device value step does nothing here.
#include "Registry.h"

namespace vardex {
namespace {

class NoRegistry : public Registry {
public:
    ValueLookup FindValue(std::string_view, std::string_view) override {
        return {RegistryStatus::NotAvailable, false};
    }
    RegistryStatus SetDwordValue(std::string_view, std::string_view, uint32_t) override {
        return RegistryStatus::NotAvailable;
    }
};

}  // namespace

std::unique_ptr<Registry> MakeSystemRegistry() {
    return std::make_unique<NoRegistry>();
}

}  // namespace vardex
