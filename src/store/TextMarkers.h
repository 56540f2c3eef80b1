// The text routines of the store and group files: what stands between, after or before markers.
// All follow the character rule of GbkText.h and compare bytes exactly.
#pragma once

#include <string>
#include <string_view>

namespace vardex {

// Every text between an opening and the next closing marker, joined with "||". If any opening
// marker has no closing one after it, the whole result is empty.
std::string ExtractBetween(std::string_view text, std::string_view open, std::string_view close);

// The text after the last occurrence of marker; empty when it does not occur.
std::string TextAfterMarker(std::string_view text, std::string_view marker);

// The text before the first occurrence of marker; empty when it does not occur.
std::string TextBeforeMarker(std::string_view text, std::string_view marker);

}  // namespace vardex
