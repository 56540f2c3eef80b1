#include "IniFile.h"

#include <vector>

#include "store/GbkText.h"

namespace vardex {
namespace {

constexpr auto npos = std::string_view::npos;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case folds only single-byte characters: the trail byte of a two-byte character may look like
// an ASCII letter and must match exactly.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t pos = 0; pos < a.size(); pos = NextCharStart(a, pos)) {
        if (NextCharStart(a, pos) - pos == 2) {
            if (a.compare(pos, 2, b.substr(pos, 2)) != 0) {
                return false;
            }
        } else if (AsciiLower(a[pos]) != AsciiLower(b[pos])) {
            return false;
        }
    }
    return true;
}

struct Line {
    size_t start = 0;
    size_t contentEnd = 0;  // before the line end (LF, or CR LF)
    size_t end = 0;         // after the line end; contentEnd at the end of a file without one
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    for (size_t start = 0; start < text.size();) {
        Line line;
        line.start = start;
        const size_t lf = text.find('\n', start);
        line.end = lf == npos ? text.size() : lf + 1;
        line.contentEnd = lf == npos ? text.size() : lf;
        if (line.contentEnd > start && text[line.contentEnd - 1] == '\r') {
            --line.contentEnd;
        }
        lines.push_back(line);
        start = line.end;
    }
    return lines;
}

std::string_view Content(std::string_view text, const Line& line) {
    return text.substr(line.start, line.contentEnd - line.start);
}

// The name of a section header line ("[name]", blanks allowed around); nullopt for other lines.
std::optional<std::string_view> SectionName(std::string_view content) {
    const std::string_view trimmed = TrimBlanks(content);
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    const size_t close = FindText(trimmed, "]", 1);
    if (close == npos) {
        return std::nullopt;
    }
    return TrimBlanks(trimmed.substr(1, close - 1));
}

// Where a key line's "=" is; npos when the line holds no key.
size_t EqualsSign(std::string_view content) {
    return FindText(content, "=");
}

// Where the lines of a section, and the key within it, were found.
struct Location {
    std::optional<size_t> header;  // line index of the section's header
    size_t lastFilled = 0;         // line index of the section's last non-blank line
    std::optional<size_t> keyLine;
};

Location Find(std::string_view text, const std::vector<Line>& lines, std::string_view section,
              std::string_view key) {
    Location found;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view content = Content(text, lines[i]);
        const auto name = SectionName(content);
        if (found.header) {
            if (name) {
                break;  // the next section begins
            }
            if (!TrimBlanks(content).empty()) {
                found.lastFilled = i;
            }
            const size_t equals = EqualsSign(content);
            if (!found.keyLine && equals != npos &&
                SameName(TrimBlanks(content.substr(0, equals)), key)) {
                found.keyLine = i;
            }
        } else if (name && SameName(*name, section)) {
            found.header = i;
            found.lastFilled = i;
        }
    }
    return found;
}

// What ends the last line of text as CR LF: a lone CR at the end already reads as a line end.
std::string_view LineEndToAdd(std::string_view text) {
    if (text.empty() || text.back() == '\n') {
        return "";
    }
    return text.back() == '\r' ? "\n" : "\r\n";
}

bool HasLineEnd(std::string_view text) {
    return text.find('\r') != npos || text.find('\n') != npos;
}

bool Writable(std::string_view section, std::string_view key, std::string_view value) {
    if (HasLineEnd(section) || HasLineEnd(key) || HasLineEnd(value)) {
        return false;
    }
    // Half a character at the end of a name would take the "]" or "=" after it.
    if (EndsInsideCharacter(section) || EndsInsideCharacter(key)) {
        return false;
    }
    if (TrimBlanks(section) != section || ContainsText(section, "]")) {
        return false;
    }
    return !key.empty() && TrimBlanks(key) == key && key.front() != '[' && !ContainsText(key, "=");
}

}  // namespace

std::string ReadIniValue(std::string_view fileText, std::string_view section,
                         std::string_view key) {
    const std::vector<Line> lines = SplitLines(fileText);
    const Location found = Find(fileText, lines, section, key);
    if (!found.keyLine) {
        return std::string();
    }
    const std::string_view content = Content(fileText, lines[*found.keyLine]);
    std::string_view value = TrimBlanks(content.substr(EqualsSign(content) + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    size_t cut = 0;
    while (cut < value.size() && NextCharStart(value, cut) <= kMaxIniValueBytes) {
        cut = NextCharStart(value, cut);
    }
    return std::string(value.substr(0, cut));
}

std::optional<std::string> WriteIniValue(std::string_view fileText, std::string_view section,
                                         std::string_view key, std::string_view value) {
    if (!Writable(section, key, value)) {
        return std::nullopt;
    }
    const std::vector<Line> lines = SplitLines(fileText);
    const Location found = Find(fileText, lines, section, key);
    std::string out(fileText);
    if (found.keyLine) {
        // Only the value's own bytes change; blanks around it stay, unless the new value
        // brings blanks of its own at that end, which would pile up on every write.
        const Line& line = lines[*found.keyLine];
        const std::string_view content = Content(fileText, line);
        const size_t afterEquals = EqualsSign(content) + 1;
        const std::string_view old = content.substr(afterEquals);
        size_t leading = 0;
        while (leading < old.size() && IsBlank(old[leading])) {
            ++leading;
        }
        const size_t from = !value.empty() && IsBlank(value.front()) ? 0 : leading;
        const size_t to =
            !value.empty() && IsBlank(value.back()) ? old.size() : leading + TrimBlanks(old).size();
        out.replace(line.start + afterEquals + from, to - from, value);
        return out;
    }
    std::string newLine = std::string(key) + "=" + std::string(value) + "\r\n";
    if (found.header) {
        const Line& line = lines[found.lastFilled];
        newLine.insert(0, LineEndToAdd(fileText.substr(0, line.end)));
        out.insert(line.end, newLine);
        return out;
    }
    out += LineEndToAdd(out);
    out += "[" + std::string(section) + "]\r\n" + newLine;
    return out;
}

std::string ReadIniFileValue(const std::string& path, std::string_view section,
                             std::string_view key) {
    return ReadIniValue(ReadWholeFile(path).value_or(std::string()), section, key);
}

WriteResult WriteIniFileValue(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view value) {
    std::optional<std::string> old = ReadWholeFile(path);
    if (!old) {
        if (!IsMissingFile(path)) {
            return {false, "the file exists but cannot be read"};
        }
        old.emplace();
    }
    const std::optional<std::string> updated = WriteIniValue(*old, section, key, value);
    if (!updated) {
        return {false, "the name or the value holds what the file cannot keep"};
    }
    return WriteWholeFileAtomic(path, *updated, FileAccess::Everyone);
}

}  // namespace vardex
