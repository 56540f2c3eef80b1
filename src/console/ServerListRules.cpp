#include "ServerListRules.h"

#include "store/GbkText.h"

namespace vardex {

std::vector<int> GroupFilterRows(const ServerTable& table, std::string_view filter) {
    const bool all = filter == kAllGroupsName;
    std::vector<int> rows;
    table.ForEach([&](int index, const ServerRecord& r) {
        if (all || r.group == filter) {
            rows.push_back(index);
        }
    });
    return rows;
}

bool FieldContains(std::string_view field, std::string_view text) {
    return text.empty() ? !field.empty() : ContainsText(field, text);
}

std::vector<int> SearchRows(const ServerTable& table, std::string_view text) {
    std::vector<int> rows;
    table.ForEach([&](int index, const ServerRecord& r) {
        if (FieldContains(r.address, text) || FieldContains(r.account, text) ||
            FieldContains(r.port, text) || FieldContains(r.remark, text)) {
            rows.push_back(index);
        }
    });
    return rows;
}

std::vector<int> AllRows(const ServerTable& table) {
    std::vector<int> rows(static_cast<size_t>(table.Count()));
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i] = static_cast<int>(i + 1);
    }
    return rows;
}

}  // namespace vardex
