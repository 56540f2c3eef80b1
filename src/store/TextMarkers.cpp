#include "TextMarkers.h"

#include "GbkText.h"

namespace vardex {

std::string ExtractBetween(std::string_view text, std::string_view open, std::string_view close) {
    constexpr auto npos = std::string_view::npos;
    std::string result;
    if (close.empty()) {
        return result;  // no closing marker can ever be found after an opening one
    }
    bool found = false;
    for (size_t openAt = FindText(text, open); openAt != npos;) {
        // The closing marker is looked for from the start of the opening one, so a closing
        // marker inside the opening one counts; what lies between is then empty.
        const size_t closeAt = FindText(text, close, openAt);
        if (closeAt == npos) {
            return std::string();
        }
        if (found) {
            result += "||";
        }
        const size_t from = openAt + open.size();
        if (closeAt > from) {
            result.append(text.substr(from, closeAt - from));
        }
        found = true;
        openAt = FindText(text, open, closeAt + close.size());
    }
    return result;
}

std::string TextAfterMarker(std::string_view text, std::string_view marker) {
    const size_t at = FindLastText(text, marker);
    if (at == std::string_view::npos) {
        return std::string();
    }
    return std::string(text.substr(at + marker.size()));
}

std::string TextBeforeMarker(std::string_view text, std::string_view marker) {
    const size_t at = FindText(text, marker);
    if (at == std::string_view::npos) {
        return std::string();
    }
    return std::string(text.substr(0, at));
}

}  // namespace vardex
