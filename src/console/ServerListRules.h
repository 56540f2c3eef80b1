// Which records the server list shows, in which order: pure functions of the table and the
// filter or search text. Each result is the list of 1-based table indices, one per row.
#pragma once

#include <string_view>
#include <vector>

#include "store/ServerTable.h"

namespace vardex {

inline constexpr std::string_view kAllGroupsName = "\xCB\xF9\xD3\xD0\xB7\xD6\xD7\xE9";  // 所有分组

// "所有分组" shows every record; any other text the records whose group equals it exactly.
std::vector<int> GroupFilterRows(const ServerTable& table, std::string_view filter);

// The records with address, account, port or remark containing text (GBK aware, exact bytes);
// an empty text matches every record with one of those fields non-empty.
std::vector<int> SearchRows(const ServerTable& table, std::string_view text);

std::vector<int> AllRows(const ServerTable& table);

// A field contains text when text starts at a character of it; the empty text is contained in
// every non-empty field.
bool FieldContains(std::string_view field, std::string_view text);

}  // namespace vardex
