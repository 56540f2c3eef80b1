#include "GbkText.h"

#include <cstring>

namespace vardex {
namespace {

bool StartsAt(std::string_view text, size_t pos, std::string_view needle) {
    return text.size() - pos >= needle.size() &&
           std::memcmp(text.data() + pos, needle.data(), needle.size()) == 0;
}

}  // namespace

size_t FindText(std::string_view text, std::string_view needle, size_t from) {
    if (needle.empty()) {
        return std::string_view::npos;
    }
    // Candidates come from memchr. A character starts right after every byte below 0x80, so
    // only the run of high bytes before a candidate needs walking to tell whether it starts one.
    size_t start = from;  // a character start
    while (start < text.size()) {
        const void* hit = std::memchr(text.data() + start, needle.front(), text.size() - start);
        if (hit == nullptr) {
            break;
        }
        const auto candidate = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
        size_t pos = candidate;
        while (pos > start && IsLeadByte(text[pos - 1])) {
            --pos;
        }
        while (pos < candidate) {
            pos = NextCharStart(text, pos);
        }
        if (pos > candidate) {
            start = pos;  // the candidate is a second byte
        } else if (StartsAt(text, candidate, needle)) {
            return candidate;
        } else {
            start = NextCharStart(text, candidate);
        }
    }
    return std::string_view::npos;
}

size_t FindLastText(std::string_view text, std::string_view needle) {
    size_t last = std::string_view::npos;
    for (size_t pos = FindText(text, needle); pos != std::string_view::npos;
         pos = FindText(text, needle, NextCharStart(text, pos))) {
        last = pos;
    }
    return last;
}

std::string_view FirstOfTexts(std::string_view text,
                              std::initializer_list<std::string_view> needles) {
    size_t first = std::string_view::npos;
    std::string_view found;
    for (const std::string_view needle : needles) {
        const size_t at = FindText(text, needle);
        if (at < first) {
            first = at;
            found = needle;
        }
    }
    return found;
}

std::vector<std::string_view> SplitText(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> pieces;
    ForEachPiece(text, separator, [&pieces](std::string_view piece) { pieces.push_back(piece); });
    return pieces;
}

std::string ReplaceAllText(std::string_view text, std::string_view needle,
                           std::string_view replacement) {
    std::string out;
    out.reserve(text.size());
    size_t copied = 0;
    for (size_t found = FindText(text, needle); found != std::string_view::npos;
         found = FindText(text, needle, copied)) {
        out.append(text.substr(copied, found - copied));
        out.append(replacement);
        copied = found + needle.size();
    }
    out.append(text.substr(copied));
    return out;
}

}  // namespace vardex
