// What the main window takes from outside: the message boxes and the parts of the start-up
// that run inside its set-up. Tests hand in their own.
#pragma once

#include <functional>

namespace vardex {

class ClientStarter;
class DataProtection;
class MessageBoxes;
class Pinger;
class Registry;

struct ConsoleServices {
    MessageBoxes* messages = nullptr;
    // The online monitor's ping; without one no server is ever pinged.
    Pinger* pinger = nullptr;
    // What a launch needs; without all three, connect and temporary login start nothing.
    DataProtection* protection = nullptr;
    Registry* registry = nullptr;
    ClientStarter* clientStarter = nullptr;
    // Runs first in the set-up; false when another copy is running and this one must end.
    std::function<bool()> guardSingleInstance = [] { return true; };
    // The "启动密码" button.
    std::function<void()> openStartupPasswordWindow = [] {};
};

}  // namespace vardex
