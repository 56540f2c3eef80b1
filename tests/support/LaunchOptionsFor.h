// The launch options of one size choice (1 800*600, 2 1024*768, 3 full screen, 4 custom, 0 none)
// for tests.
#pragma once

#include <string>

#include "launch/ClientOptions.h"

namespace vardex::testing {

inline LaunchOptions LaunchOptionsFor(int choice, bool forcedLogin, std::string width = "",
                                      std::string height = "") {
    LaunchOptions options;
    options.size800x600 = choice == 1;
    options.size1024x768 = choice == 2;
    options.fullScreen = choice == 3;
    options.customSize = choice == 4;
    options.customWidth = std::move(width);
    options.customHeight = std::move(height);
    options.forcedLogin = forcedLogin;
    return options;
}

}  // namespace vardex::testing
