// Searching, splitting and replacing in GBK texts. A byte of 0x80 or above starts a two-byte
// character, and a needle is recognised only where a character starts, never on a trail byte
// (several trail bytes, 0x7C "|" among them, lie in the ASCII range).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vardex {

inline bool IsLeadByte(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

// The start of the character after the one at pos (pos itself a character start).
inline size_t NextCharStart(std::string_view text, size_t pos) {
    return pos + (IsLeadByte(text[pos]) && pos + 1 < text.size() ? 2 : 1);
}

// Texts that go to the system (file names, command lines) are read there by the code page
// conversion, which takes only 0x81 to 0xFE as lead bytes: 0x80 is the euro sign on its own.
// Where such a text is taken apart for the system, its characters are these.
inline bool IsSystemLeadByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x81 && byte <= 0xFE;
}

inline size_t NextSystemCharStart(std::string_view text, size_t pos) {
    return pos + (IsSystemLeadByte(text[pos]) && pos + 1 < text.size() ? 2 : 1);
}

// True when the last byte of text is a lead byte without the byte that would complete it. The
// byte after the last one below 0x80 starts a character, so only the run of high bytes before
// the end needs counting.
inline bool EndsInsideCharacter(std::string_view text) {
    size_t highBytes = 0;
    while (highBytes < text.size() && IsLeadByte(text[text.size() - 1 - highBytes])) {
        ++highBytes;
    }
    return highBytes % 2 == 1;
}

// Position of the first occurrence of needle that starts at a character start at or after from
// (itself a character start); npos when there is none or needle is empty.
size_t FindText(std::string_view text, std::string_view needle, size_t from = 0);

// Position of the last such occurrence; npos when there is none.
size_t FindLastText(std::string_view text, std::string_view needle);

// Which of needles occurs first in text (the earliest start; on a tie the one listed first);
// empty when none occurs.
std::string_view FirstOfTexts(std::string_view text,
                              std::initializer_list<std::string_view> needles);

inline bool ContainsText(std::string_view text, std::string_view needle) {
    return FindText(text, needle) != std::string_view::npos;
}

// Pieces between separators: inner empty pieces are kept, an empty piece after the last
// separator is dropped, and an empty text gives no pieces. The views point into text.
std::vector<std::string_view> SplitText(std::string_view text, std::string_view separator);

// Calls piece(std::string_view) for each piece SplitText gives, in order, collecting nothing.
template <typename F>
void ForEachPiece(std::string_view text, std::string_view separator, F&& piece) {
    if (text.empty()) {
        return;
    }
    if (separator.empty()) {
        piece(text);
        return;
    }
    size_t start = 0;
    for (size_t found = FindText(text, separator); found != std::string_view::npos;
         found = FindText(text, separator, start)) {
        piece(text.substr(start, found - start));
        start = found + separator.size();
    }
    if (start < text.size()) {
        piece(text.substr(start));
    }
}

// One left-to-right pass: every occurrence is replaced, and inserted text is not searched again.
std::string ReplaceAllText(std::string_view text, std::string_view needle,
                           std::string_view replacement);

}  // namespace vardex
