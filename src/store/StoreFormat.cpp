#include "StoreFormat.h"

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
    const size_t zero = storeBytes.find('\0');
    return zero == std::string_view::npos ? storeBytes : storeBytes.substr(0, zero);
}

std::string StartupPasswordIn(std::string_view storeBytes) {
    return ExtractBetween(StoreText(storeBytes), kPasswordOpen, kPasswordClose);
}

StoreSettings ApplyStore(std::string_view storeBytes, ServerTable& table) {
    StoreSettings settings;
    for (std::string_view line : SplitText(StoreText(storeBytes), "\r\n")) {
        const auto pieces = SplitText(line, "|");
        if (pieces.size() >= 2) {
            ServerRecord record;
            std::string* fields[] = {&record.address, &record.port,   &record.account,
                                     &record.password, &record.remark, &record.group};
            for (size_t i = 0; i < pieces.size() && i < std::size(fields); ++i) {
                fields[i]->assign(pieces[i]);
            }
            table.Append(std::move(record));
        }
        if (line.find('#') == std::string_view::npos) {
            continue;  // every marker starts with "#"
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
    }
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
    return FirstOfTexts(field, {"|", "\r", "\n", kAdminMarker, kStartMarker, kWidthMarker,
                                kHeightMarker, kPasswordOpen});
}

std::string_view UnstorablePasswordTextIn(std::string_view password) {
    return FirstOfTexts(password, {"|", "\r", "\n", kPasswordClose, kAdminMarker, kStartMarker,
                                   kWidthMarker, kHeightMarker, kPasswordOpen});
}

}  // namespace vardex
