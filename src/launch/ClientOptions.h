// The remote desktop client's options from the window's size and login controls, and its
// command line.
#pragma once

#include <string>
#include <string_view>

namespace vardex {

struct LaunchOptions {
    bool size800x600 = false;
    bool size1024x768 = false;
    bool fullScreen = false;
    bool customSize = false;
    std::string customWidth;   // GBK, as typed
    std::string customHeight;  // GBK, as typed
    bool forcedLogin = false;
};

// Five independent pieces in this order, each ending in a space: "/w:800 /h:600 ", "/admin ",
// "/w:1024 /h:768 ", "/w:" width " /h:" height " ", "/f ". The custom texts go in as typed,
// except that spaces, tabs, control characters and quotation marks are left out: they would
// end the option and start another on the client's command line.
std::string BuildClientOptions(const LaunchOptions& options);

// "mstsc.exe " + the quoted path + " " + options. The path is quoted by the rules the client's
// command line is read with, so a space in it cannot split the path into options.
std::string BuildClientCommandLine(std::string_view path, std::string_view options);

}  // namespace vardex
