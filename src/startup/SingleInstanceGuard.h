// One running copy per program folder name: the name comes from the run directory's last folder,
// and a marker held by the running copy tells a second copy to end.
#pragma once

#include <string>
#include <string_view>

namespace vardex {

class InstanceMarker;
class MessageBoxes;

// Used when the run directory gives no name (a program in the root of a drive).
inline constexpr std::string_view kInstanceSeed =
    "\xC4\xE3\xC0\xC1\xB5\xC3\xCA\xE4\xC8\xEB\xA3\xAC\xCE\xD2\xBE\xCD\xD0\xB4\xCB\xC0\xA3\xAC"
    "\xC2\xD4\xC2\xD4";  // 你懒得输入，我就写死，略略

// The last folder name of a GBK run directory written with "\" and without a trailing one,
// spelt backwards by UTF-16 code units; empty when the directory holds no "\".
std::string InstanceEventName(std::string_view runDirectoryGbk);

// The run directory (UTF-8, the system's separators) as the GBK text with "\" that the name is
// taken from.
std::string RunDirectoryForInstanceName(std::string_view runDirectory);

// The name the guard uses: InstanceEventName, or the MD5 of the seed when that is empty.
std::string InstanceName(std::string_view runDirectory);

// True when this copy may run: no other copy of the same name is running, and this one is
// marked now. Otherwise tells the user "不要重复运行" and returns false; the caller then ends
// at once without saving anything.
bool GuardSingleInstance(std::string_view runDirectory, InstanceMarker& marker,
                         MessageBoxes& messages);

}  // namespace vardex
