#include "SingleInstanceGuard.h"

#include "console/MessageBoxes.h"
#include "platform/CodePage.h"
#include "platform/InstanceMarker.h"
#include "platform/Md5.h"
#include "store/TextMarkers.h"

namespace vardex {

std::string InstanceEventName(std::string_view runDirectoryGbk) {
    return TextBeforeMarker(ReverseUtf16Text(runDirectoryGbk), "\\");
}

std::string RunDirectoryForInstanceName(std::string_view runDirectory) {
    // Like the system's own conversion of a path, a character without a GBK form becomes "?".
    std::string gbk = Utf16ToGbkLossy(Utf8ToUtf16(runDirectory).value_or(std::u16string()));
    for (char& c : gbk) {
        if (c == '/') {
            c = '\\';  // "/" is never a GBK trail byte
        }
    }
    return gbk;
}

std::string InstanceName(std::string_view runDirectory) {
    std::string name = InstanceEventName(RunDirectoryForInstanceName(runDirectory));
    if (name.empty()) {
        name = Md5Hex(kInstanceSeed);
    }
    return name;
}

bool GuardSingleInstance(std::string_view runDirectory, InstanceMarker& marker,
                         MessageBoxes& messages) {
    const std::string name = InstanceName(runDirectory);
    if (marker.IsRunning(name)) {
        messages.Show(QStringLiteral("不要重复运行"), QStringLiteral("友情提醒:"),
                      MessageButtons::Ok, MessageIcon::None);
        return false;
    }
    marker.MarkRunning(name);  // a refusal leaves this copy unguarded, as it must
    return true;
}

}  // namespace vardex
