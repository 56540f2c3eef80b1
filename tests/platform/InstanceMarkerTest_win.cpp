// The instance marker across real processes on Windows: a named event under the Chinese name
// itself (whatever the ANSI code page), seen by a second process, gone with the holder.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>

#include "platform/CodePage.h"
#include "platform/InstanceMarker.h"

namespace vardex {
namespace {

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        hex.push_back(kDigits[static_cast<unsigned char>(c) >> 4]);
        hex.push_back(kDigits[static_cast<unsigned char>(c) & 0x0F]);
    }
    return hex;
}

// The helper process that marks a name and holds it while its standard input stays open.
class Holder {
public:
    explicit Holder(const std::string& name) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE outRead = nullptr;
        HANDLE outWrite = nullptr;
        HANDLE inRead = nullptr;
        if (!CreatePipe(&outRead, &outWrite, &inherit, 0) ||
            !CreatePipe(&inRead, &stdin_, &inherit, 0)) {
            return;
        }
        SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(stdin_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = inRead;
        startup.hStdOutput = outWrite;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        std::wstring line = L"\"" + Wide(*Utf8ToUtf16(INSTANCE_MARKER_HOLD_PATH)) + L"\" " +
                            Wide(*Utf8ToUtf16(Hex(name)));
        PROCESS_INFORMATION started{};
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                           &startup, &started)) {
            CloseHandle(started.hThread);
            process_ = started.hProcess;
        }
        CloseHandle(outWrite);
        CloseHandle(inRead);
        char text[16] = {};
        DWORD got = 0;
        if (process_ != nullptr && ReadFile(outRead, text, sizeof text - 1, &got, nullptr)) {
            said_.assign(text, got);
        }
        CloseHandle(outRead);
    }
    ~Holder() {
        CloseInput();
        if (process_ != nullptr) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 10000);
            CloseHandle(process_);
        }
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    const std::string& said() const { return said_; }

    // Ends the holder the polite way (its input closes) or the hard way, and waits for it.
    bool End(bool terminate) {
        if (terminate) {
            TerminateProcess(process_, 1);
        } else {
            CloseInput();
        }
        return WaitForSingleObject(process_, 10000) == WAIT_OBJECT_0;
    }

private:
    void CloseInput() {
        if (stdin_ != nullptr) {
            CloseHandle(stdin_);
            stdin_ = nullptr;
        }
    }

    HANDLE process_ = nullptr;
    HANDLE stdin_ = nullptr;
    std::string said_;
};

TEST(InstanceMarkerWin, ASecondProcessSeesTheMarkUntilTheHolderEnds) {
    struct Case {
        const char* name;
        bool terminate;
    } const cases[] = {{"input closed", false}, {"terminated", true}};
    std::random_device random;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string stem = "vardex-test-" + std::to_string(random()) + "-";
        const std::string name = stem + "\xBE\xDF\xB9\xA4";  // 具工
        Holder holder(name);
        ASSERT_EQ(holder.said().substr(0, 6), "marked");  // then CR LF, written in text mode
        EXPECT_TRUE(IsInstanceRunning(name));
        EXPECT_FALSE(IsInstanceRunning(stem + "\xB9\xA4\xBE\xDF"));  // 工具

        // The event carries the name in Chinese, not the GBK bytes read in the ANSI code page.
        const std::wstring wideName = Wide(*Utf8ToUtf16(stem + u8"具工"));
        HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, wideName.c_str());
        EXPECT_NE(event, nullptr) << "no event named " << stem << u8"具工";
        if (event != nullptr) {
            CloseHandle(event);
        }

        ASSERT_TRUE(holder.End(c.terminate));
        EXPECT_FALSE(IsInstanceRunning(name));
    }
}

}  // namespace
}  // namespace vardex
