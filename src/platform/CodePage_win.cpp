// GBK <-> UTF-16 through MultiByteToWideChar / WideCharToMultiByte with code page 936, whatever
// the system's own ANSI code page is.
#include <windows.h>

#include "CodePage.h"

namespace vardex {
namespace {

std::optional<std::u16string> ToWide(std::string_view gbk, DWORD flags) {
    if (gbk.empty()) {
        return std::u16string();
    }
    const int size = static_cast<int>(gbk.size());
    const int units = MultiByteToWideChar(kTextCodePage, flags, gbk.data(), size, nullptr, 0);
    if (units <= 0) {
        return std::nullopt;
    }
    std::u16string out(static_cast<size_t>(units), u'\0');
    MultiByteToWideChar(kTextCodePage, flags, gbk.data(), size,
                        reinterpret_cast<wchar_t*>(out.data()), units);
    return out;
}

std::optional<std::string> ToGbk(std::u16string_view text, bool strict) {
    if (text.empty()) {
        return std::string();
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = strict ? &usedDefault : nullptr;
    const int bytes =
        WideCharToMultiByte(kTextCodePage, 0, wide, size, nullptr, 0, nullptr, usedDefaultOut);
    if (bytes <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(kTextCodePage, 0, wide, size, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace

std::optional<std::u16string> GbkToUtf16(std::string_view gbk) {
    return ToWide(gbk, MB_ERR_INVALID_CHARS);
}

std::u16string GbkToUtf16Lossy(std::string_view gbk) {
    if (auto whole = ToWide(gbk, MB_ERR_INVALID_CHARS)) {
        return *whole;
    }
    // Without MB_ERR_INVALID_CHARS the system turns some bad bytes into private-use characters
    // (0xFF into U+F8F5): so the text goes piece by piece, one character or one bad byte each.
    std::u16string out;
    for (size_t pos = 0; pos < gbk.size();) {
        std::optional<std::u16string> piece = ToWide(gbk.substr(pos, 1), MB_ERR_INVALID_CHARS);
        size_t used = 1;
        if (!piece && pos + 1 < gbk.size()) {
            piece = ToWide(gbk.substr(pos, 2), MB_ERR_INVALID_CHARS);
            used = 2;
        }
        if (piece && piece->size() == 1) {
            out += *piece;
            pos += used;
        } else {
            out += u'\uFFFD';
            pos += 1;
        }
    }
    return out;
}

std::optional<std::string> Utf16ToGbk(std::u16string_view text) {
    return ToGbk(text, true);
}

std::string Utf16ToGbkLossy(std::u16string_view text) {
    return ToGbk(text, false).value_or(std::string());
}

}  // namespace vardex
