// The server store's plaintext: one line per server, then the window settings, then the
// startup password; lines end in CR LF and nothing is escaped.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ServerTable.h"

namespace vardex {

inline constexpr std::string_view kStoreKey = "7391";
inline constexpr std::string_view kAdminMarker = "#admin:";
inline constexpr std::string_view kStartMarker = "#Start:";
inline constexpr std::string_view kWidthMarker = "#x:";
inline constexpr std::string_view kHeightMarker = "#y:";
inline constexpr std::string_view kPasswordOpen = "#LoadinPass:<";
inline constexpr std::string_view kPasswordClose = ">";

// The settings as read back: a setting no line mentions is nullopt.
struct StoreSettings {
    std::optional<bool> admin;            // only ever set to true
    std::optional<int> resolutionChoice;  // 0 (none) or 1..4
    std::optional<std::string> customWidth;
    std::optional<std::string> customHeight;
};

// The settings as the main window holds them.
struct WindowSettings {
    bool admin = false;
    int resolutionChoice = 2;  // 1 800*600, 2 1024*768, 3 full screen, 4 custom, 0 none
    std::string customWidth;
    std::string customHeight;

    // Takes what the store mentions; everything else keeps its value.
    void Apply(const StoreSettings& stored);
};

// The deciphered bytes up to, not including, the first zero byte, without a lead byte at the
// end that lost its second byte.
std::string_view StoreText(std::string_view storeBytes);

// The text between "#LoadinPass:<" and ">"; empty when none is set.
std::string StartupPasswordIn(std::string_view storeBytes);

// Appends every record line's server to table (status 3) and returns the settings.
StoreSettings ApplyStore(std::string_view storeBytes, ServerTable& table);

std::string BuildStorePlaintext(const ServerTable& table, const WindowSettings& settings,
                                std::string_view startupPassword);

// The first thing in a field that the store cannot carry ("|", CR, LF, a zero byte or a marker,
// or else the field's last byte when that is a lead byte without its second byte); empty when
// the field can be stored as it is.
std::string_view UnstorableTextIn(std::string_view field);

// The same for the startup password, which cannot hold ">" either.
std::string_view UnstorablePasswordTextIn(std::string_view password);

}  // namespace vardex
