#include "StoreFormat.h"

#include <algorithm>

#include "GbkText.h"
#include "TextMarkers.h"

namespace vardex {

void WindowSettings::Apply(const StoreSettings& stored) {
    if (stored.admin.value_or(false)) {
        admin = true;
    }
    if (stored.resolutionChoice) {
        resolutionChoice = *stored.resolutionChoice;
    }
    if (stored.customWidth) {
        customWidth = *stored.customWidth;
    }
    if (stored.customHeight) {
        customHeight = *stored.customHeight;
    }
}

std::string_view StoreText(std::string_view storeBytes) {
    std::string_view text = storeBytes.substr(0, storeBytes.find('\0'));
    // Half a character, cut off by the zero or the end of a damaged file, is no text; kept, it
    // would take the "|" or line end written after it on the next save.
    if (EndsInsideCharacter(text)) {
        text.remove_suffix(1);
    }
    return text;
}

std::string StartupPasswordIn(std::string_view storeBytes) {
    return ExtractBetween(StoreText(storeBytes), kPasswordOpen, kPasswordClose);
}

StoreSettings ApplyStore(std::string_view storeBytes, ServerTable& table) {
    StoreSettings settings;
    const std::string_view text = StoreText(storeBytes);
    // No more records than line feeds, and one more for a last line without one.
    table.Reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    ForEachPiece(text, "\r\n", [&](std::string_view line) {
        ServerRecord record;
        std::string* fields[] = {&record.address,  &record.port,   &record.account,
                                 &record.password, &record.remark, &record.group};
        size_t pieces = 0;
        ForEachPiece(line, "|", [&](std::string_view piece) {
            if (pieces < std::size(fields)) {
                fields[pieces]->assign(piece);
            }
            ++pieces;
        });
        if (pieces >= 2) {
            table.Append(std::move(record));
        }
        if (line.find('#') == std::string_view::npos) {
            return;  // every marker starts with "#"
        }
        const char last = line.back();
        if (ContainsText(line, kAdminMarker)) {
            if (last == '1') {
                settings.admin = true;
            }
        } else if (ContainsText(line, kStartMarker)) {
            settings.resolutionChoice = (last >= '1' && last <= '4') ? last - '0' : 0;
        }
        if (ContainsText(line, kWidthMarker)) {
            settings.customWidth = TextAfterMarker(line, kWidthMarker);
        }
        if (ContainsText(line, kHeightMarker)) {
            settings.customHeight = TextAfterMarker(line, kHeightMarker);
        }
    });
    return settings;
}

std::string BuildStorePlaintext(const ServerTable& table, const WindowSettings& settings,
                                std::string_view startupPassword) {
    std::string text;
    text.reserve(static_cast<size_t>(table.Count()) * 64 + 64);
    table.ForEach([&text](int, const ServerRecord& r) {
        for (const std::string* field : {&r.address, &r.port, &r.account, &r.password, &r.remark}) {
            text += *field;
            text += '|';
        }
        text += r.group;
        text += "\r\n";
    });
    if (settings.admin) {
        text += "#admin:1\r\n";
    }
    for (int choice = 1; choice <= 4; ++choice) {
        if (settings.resolutionChoice == choice) {
            text += kStartMarker;
            text += static_cast<char>('0' + choice);
            text += "\r\n";
        }
    }
    text.append(kWidthMarker).append(settings.customWidth).append("\r\n");
    text.append(kHeightMarker).append(settings.customHeight).append("\r\n");
    text.append(kPasswordOpen).append(startupPassword).append(kPasswordClose).append("\r\n");
    return text;
}

std::string_view UnstorableTextIn(std::string_view field) {
    // A zero byte ends the store's text wherever it stands, a second byte included.
    static constexpr std::string_view kZeroByte("\0", 1);
    const size_t zero = field.find('\0');
    const std::string_view found = FirstOfTexts(
        field.substr(0, zero),
        {"|", "\r", "\n", kAdminMarker, kStartMarker, kWidthMarker, kHeightMarker, kPasswordOpen});
    if (!found.empty()) {
        return found;
    }
    if (zero != std::string_view::npos) {
        return kZeroByte;
    }
    if (EndsInsideCharacter(field)) {
        return field.substr(field.size() - 1);  // it would take the following "|" with it
    }
    return found;
}

std::string_view UnstorablePasswordTextIn(std::string_view password) {
    const size_t close = FindText(password, kPasswordClose);
    const std::string_view before = UnstorableTextIn(password.substr(0, close));
    return before.empty() && close != std::string_view::npos ? kPasswordClose : before;
}

}  // namespace vardex
