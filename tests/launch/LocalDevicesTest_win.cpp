// The per-host device value in the real registry (under Wine, the private prefix's own): written
// once with 76 under the Chinese name itself, never changed, nothing written when unsure.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>

#include "launch/LocalDevices.h"
#include "platform/CodePage.h"

namespace vardex {
namespace {

const wchar_t kKey[] = L"Software\\Microsoft\\Terminal Server Client\\LocalDevices";

std::wstring Wide(const std::string& utf8) {
    const std::u16string units = *Utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::optional<DWORD> Data(const std::wstring& key, const std::wstring& name) {
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &data,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return data;
}

// Values and keys of one test, removed afterwards; other runs use other names.
class LocalDevicesWin : public ::testing::Test {
protected:
    void TearDown() override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, Wide(host).c_str());
            RegDeleteTreeW(key, Wide(stem).c_str());
            RegCloseKey(key);
        }
    }

    std::string stem = "vardex-test-" + std::to_string(std::random_device()());
    std::string host = stem + u8"服务器";
    std::string hostGbk = stem + "\xB7\xFE\xCE\xF1\xC6\xF7";  // 服务器
};

TEST_F(LocalDevicesWin, WritesAMissingValueOnceAndLeavesItThen) {
    const auto registry = MakeSystemRegistry();
    EXPECT_EQ(EnsureLocalDevicesValue(*registry, hostGbk), LocalDevicesOutcome::Written);
    EXPECT_EQ(Data(kKey, Wide(host)), 76u) << "not under the Chinese name";

    ASSERT_EQ(
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, Wide(host).c_str(), REG_DWORD, "\x0D\0\0\0", 4),
        ERROR_SUCCESS);
    EXPECT_EQ(EnsureLocalDevicesValue(*registry, hostGbk), LocalDevicesOutcome::AlreadyThere);
    EXPECT_EQ(Data(kKey, Wide(host)), 13u);
}

TEST_F(LocalDevicesWin, ABackslashMakesAKeyOfItsOwn) {
    const auto registry = MakeSystemRegistry();
    EXPECT_EQ(EnsureLocalDevicesValue(*registry, stem + "\\sub\\host"),
              LocalDevicesOutcome::Written);
    EXPECT_EQ(Data(std::wstring(kKey) + L"\\" + Wide(stem) + L"\\sub", L"host"), 76u);
}

TEST_F(LocalDevicesWin, ANameThatIsNoGbkWritesNothing) {
    const auto registry = MakeSystemRegistry();
    EXPECT_EQ(EnsureLocalDevicesValue(*registry, stem + "\xFF"), LocalDevicesOutcome::Failed);
    EXPECT_EQ(EnsureLocalDevicesValue(*registry, stem + "\\\xFF\\host"),
              LocalDevicesOutcome::Failed);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kKey) + L"\\" + Wide(stem)).c_str(), 0,
                            KEY_READ, &key),
              ERROR_SUCCESS);
}

}  // namespace
}  // namespace vardex
