// Conversions between code page 936 (GBK), the text of the program, and UTF-16 (widgets, the
// Windows W calls) or UTF-8 (Linux paths).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vardex {

inline constexpr int kTextCodePage = 936;

// nullopt when the bytes are not valid GBK.
std::optional<std::u16string> GbkToUtf16(std::string_view gbk);
// A byte that starts no valid character becomes U+FFFD; for showing stored texts as they are.
std::u16string GbkToUtf16Lossy(std::string_view gbk);
// nullopt when a character has no GBK form.
std::optional<std::string> Utf16ToGbk(std::u16string_view text);
// A character without a GBK form becomes "?", as the system's own conversion does.
std::string Utf16ToGbkLossy(std::u16string_view text);

std::optional<std::string> GbkToUtf8(std::string_view gbk);
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// Plain Unicode transforms; malformed input gives nullopt.
std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8);
std::optional<std::string> Utf16ToUtf8(std::u16string_view text);

// The 16-bit code units in reverse order; a surrogate pair comes out with its halves swapped.
std::u16string ReverseCodeUnits(std::u16string_view text);

// A GBK text through UTF-16, its code units reversed, and back to GBK as the system converts:
// bytes that are no character, and units without a GBK form, do not fail but come out changed.
// The result ends before its first zero byte. The single-instance guard names its marker so.
std::string ReverseUtf16Text(std::string_view gbk);

}  // namespace vardex
