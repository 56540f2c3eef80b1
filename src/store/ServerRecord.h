// One server of the list.
#pragma once

#include <cstdint>
#include <string>

namespace vardex {

enum ServerStatus : int32_t {
    kStatusOnline = 1,     // the last ping answered
    kStatusOffline = 2,    // the last ping got no answer
    kStatusNotPinged = 3,  // every server starts a run here; the store keeps no status
};

struct ServerRecord {
    std::string address;
    std::string port;
    std::string account;
    std::string password;
    std::string remark;
    int32_t status = kStatusNotPinged;
    std::string group;
    // Given by the table, never shared by two records of a run: tells a worker that the record
    // it pinged is still the one at an index after moves and deletes.
    uint64_t serial = 0;
};

}  // namespace vardex
