#include "StoreFile.h"

#include <utility>

#include "Rc4Crypt.h"
#include "StoreFormat.h"
#include "platform/FileIo.h"

namespace vardex {

StoreFile::StoreFile(std::string path) : path_(std::move(path)) {}

void StoreFile::LoadStoreAtStart() {
    const std::string fileBytes = ReadWholeFile(path_).value_or(std::string());
    storeBytes_ = Rc4Crypt(fileBytes, kStoreKey);
    backupPending_ = !fileBytes.empty();
}

SaveOutcome StoreFile::Save(std::string_view plaintext) {
    if (backupPending_) {
        const std::string backupPath = path_ + ".bak";
        // The cipher is its own inverse: this is the file exactly as it was read.
        const WriteResult backup = WriteWholeFileAtomic(
            backupPath, Rc4Crypt(storeBytes_, kStoreKey), FileAccess::OwnerOnly);
        if (!backup.ok) {
            return {SaveOutcome::Problem::Backup, backupPath, backup.reason};
        }
        backupPending_ = false;
    }
    const WriteResult written =
        WriteWholeFileAtomic(path_, Rc4Crypt(plaintext, kStoreKey), FileAccess::OwnerOnly);
    if (!written.ok) {
        return {SaveOutcome::Problem::Write, path_, written.reason};
    }
    return {};
}

}  // namespace vardex
