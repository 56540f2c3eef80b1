// The ordered, 1-based list of servers, shared by the GUI thread and the monitor's worker.
// One mutex is held for each operation; slow callers work on copies.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ServerRecord.h"

namespace vardex {

class ServerTable {
public:
    int Count() const;
    // A copy of the record at index; nullopt when index is outside 1..Count().
    std::optional<ServerRecord> At(int index) const;
    // Adds a copy at the end with a new serial number; returns its index.
    int Append(ServerRecord record);
    // Makes room for that many more records, so that a long store is read in without moving
    // the records again and again.
    void Reserve(size_t more);
    void ReplaceAt(int index, std::string address, std::string port, std::string account,
                   std::string password, std::string remark, std::string group);
    void RemoveAt(int index);
    // Exchanges two records; each keeps its contents and serial number.
    void SwapAt(int i, int j);
    void SetStatusAt(int index, int32_t status);
    // Sets the status only while the record at index is still the one with this serial.
    bool SetStatusIfSame(int index, uint64_t serial, int32_t status);
    void SetGroupAt(int index, std::string group);

    // Calls f(const ServerRecord&) for the record at index under the lock; false if none.
    template <typename F>
    bool Visit(int index, F&& f) const {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!Valid(index)) {
            return false;
        }
        f(records_[static_cast<size_t>(index - 1)]);
        return true;
    }

    // Calls f(index, const ServerRecord&) for every record in order, under the lock. f must not
    // call back into the table.
    template <typename F>
    void ForEach(F&& f) const {
        std::lock_guard<std::mutex> lock(mutex_);
        for (size_t i = 0; i < records_.size(); ++i) {
            f(static_cast<int>(i + 1), records_[i]);
        }
    }

private:
    bool Valid(int index) const { return index >= 1 && index <= static_cast<int>(records_.size()); }

    mutable std::mutex mutex_;
    std::vector<ServerRecord> records_;
    uint64_t nextSerial_ = 1;
};

}  // namespace vardex
