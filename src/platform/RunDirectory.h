// The folder of the program file, where the program keeps its two data files.
#pragma once

#include <string>
#include <string_view>

namespace vardex {

// UTF-8, without a trailing separator ("" for the root of the file system).
std::string RunDirectory();

// dir + the system's separator + name.
std::string JoinPath(std::string_view dir, std::string_view name);

}  // namespace vardex
