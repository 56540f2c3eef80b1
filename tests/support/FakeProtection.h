// A data protection for tests: it records what it is given and "protects" by a reversible mark,
// or answers with fixed bytes, or fails.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/DataProtection.h"

namespace vardex::testing {

class FakeProtection : public DataProtection {
public:
    // fixedBlob: what Protect returns; nullopt makes Protect fail. Without one, Protect wraps the
    // plain bytes so that Unprotect can give them back.
    FakeProtection() = default;
    explicit FakeProtection(std::optional<std::string> fixedBlob)
        : useFixed_(true), fixedBlob_(std::move(fixedBlob)) {}

    std::optional<std::string> Protect(std::string_view plain) override {
        protected_.emplace_back(plain);
        if (useFixed_) {
            return fixedBlob_;
        }
        return std::string(kMark) + std::string(plain);
    }

    std::optional<std::string> Unprotect(std::string_view blob) override {
        ++unprotectCalls_;
        if (blob.substr(0, kMark.size()) != kMark) {
            return std::nullopt;
        }
        return std::string(blob.substr(kMark.size()));
    }

    size_t ProtectCalls() const { return protected_.size(); }
    const std::vector<std::string>& Protected() const { return protected_; }
    size_t UnprotectCalls() const { return unprotectCalls_; }

    static constexpr std::string_view kMark = "fake-protected:";

private:
    bool useFixed_ = false;
    std::optional<std::string> fixedBlob_;
    std::vector<std::string> protected_;
    size_t unprotectCalls_ = 0;
};

}  // namespace vardex::testing
