#include "ServerTable.h"

#include <utility>

namespace vardex {

int ServerTable::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(records_.size());
}

std::optional<ServerRecord> ServerTable::At(int index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Valid(index)) {
        return std::nullopt;
    }
    return records_[static_cast<size_t>(index - 1)];
}

int ServerTable::Append(ServerRecord record) {
    std::lock_guard<std::mutex> lock(mutex_);
    record.serial = nextSerial_++;
    records_.push_back(std::move(record));
    return static_cast<int>(records_.size());
}

void ServerTable::Reserve(size_t more) {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.reserve(records_.size() + more);
}

void ServerTable::ReplaceAt(int index, std::string address, std::string port, std::string account,
                            std::string password, std::string remark, std::string group) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Valid(index)) {
        return;
    }
    ServerRecord& r = records_[static_cast<size_t>(index - 1)];
    r.address = std::move(address);
    r.port = std::move(port);
    r.account = std::move(account);
    r.password = std::move(password);
    r.remark = std::move(remark);
    r.group = std::move(group);
}

void ServerTable::RemoveAt(int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Valid(index)) {
        return;
    }
    records_.erase(records_.begin() + (index - 1));
}

void ServerTable::SwapAt(int i, int j) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Valid(i) || !Valid(j)) {
        return;
    }
    std::swap(records_[static_cast<size_t>(i - 1)], records_[static_cast<size_t>(j - 1)]);
}

void ServerTable::SetStatusAt(int index, int32_t status) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (Valid(index)) {
        records_[static_cast<size_t>(index - 1)].status = status;
    }
}

bool ServerTable::SetStatusIfSame(int index, uint64_t serial, int32_t status) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Valid(index) || records_[static_cast<size_t>(index - 1)].serial != serial) {
        return false;
    }
    records_[static_cast<size_t>(index - 1)].status = status;
    return true;
}

void ServerTable::SetGroupAt(int index, std::string group) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (Valid(index)) {
        records_[static_cast<size_t>(index - 1)].group = std::move(group);
    }
}

}  // namespace vardex
