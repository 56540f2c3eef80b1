// The marker on Windows: a named event in the namespace of the user's logon session, opened
// and created through the W calls with the name converted from code page 936.
#include <windows.h>

#include <string>

#include "CodePage.h"
#include "InstanceMarker.h"

namespace vardex {
namespace {

std::wstring WideName(std::string_view name) {
    const std::u16string wide = GbkToUtf16Lossy(name);
    return std::wstring(wide.begin(), wide.end());
}

}  // namespace

bool IsInstanceRunning(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    // Only the event's existence counts, so the least right is asked for. An event that this
    // user may not open (made by an elevated copy, say) is held all the same.
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, WideName(name).c_str());
    if (event == nullptr) {
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    CloseHandle(event);
    return true;
}

bool MarkInstanceRunning(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    // Auto-reset, not signalled; nobody waits on it, only its existence counts. The handle is
    // never closed: the system drops the event when the process ends.
    return CreateEventW(nullptr, FALSE, FALSE, WideName(name).c_str()) != nullptr;
}

}  // namespace vardex
