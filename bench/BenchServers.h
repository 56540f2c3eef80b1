// The server lists the benchmarks work on: every address on loopback, so that whatever pings
// them never leaves the machine.
#pragma once

#include <string>

#include "store/ServerTable.h"

namespace vardex::bench {

// Servers 1..count: 127.a.b.c, a remark "服务器 n", groups Web and DB in turn.
inline void FillTable(ServerTable& table, int count) {
    for (int i = 1; i <= count; ++i) {
        ServerRecord r;
        r.address = "127." + std::to_string(i / 65536) + "." + std::to_string(i / 256 % 256) + "." +
                    std::to_string(i % 256);
        r.port = "3389";
        r.account = "Administrator";
        r.password = "p@ss" + std::to_string(i);
        r.remark = "\xB7\xFE\xCE\xF1\xC6\xF7 " + std::to_string(i);  // 服务器 n
        r.group = i % 2 ? "Web" : "DB";
        table.Append(r);
    }
}

}  // namespace vardex::bench
