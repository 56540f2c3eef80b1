// Linux data protection: AES-256-GCM (OpenSSL libcrypto) under a per-user key file.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "KeyFileProtection.h"

namespace vardex {
namespace {

constexpr unsigned char kBlobVersion = 1;
constexpr size_t kKeySize = 32;
constexpr size_t kNonceSize = 12;
constexpr size_t kTagSize = 16;

using Key = std::array<unsigned char, kKeySize>;

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

class CipherContext {
public:
    CipherContext() : ctx_(EVP_CIPHER_CTX_new()) {}
    ~CipherContext() { EVP_CIPHER_CTX_free(ctx_); }
    CipherContext(const CipherContext&) = delete;
    CipherContext& operator=(const CipherContext&) = delete;
    EVP_CIPHER_CTX* get() const { return ctx_; }

private:
    EVP_CIPHER_CTX* ctx_;
};

// The key must stay the user's secret: anything others could read or swap is refused.
bool IsPrivateToUs(const struct stat& info, mode_t forbidden) {
    return info.st_uid == ::geteuid() && (info.st_mode & forbidden) == 0;
}

// Makes every missing folder of path with mode 0700, as the XDG base directories ask.
void MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    }
    ::mkdir(path.c_str(), 0700);
}

int OpenKeyFolder(const std::string& folder, bool create) {
    if (create) {
        MakeFolders(folder);
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    if (fd < 0) {
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !IsPrivateToUs(info, S_IWGRP | S_IWOTH)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool ReadKey(int fd, Key& key) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !IsPrivateToUs(info, S_IRWXG | S_IRWXO) || info.st_size != static_cast<off_t>(kKeySize)) {
        return false;
    }
    size_t got = 0;
    while (got < key.size()) {
        const ssize_t n = ::read(fd, key.data() + got, key.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        got += static_cast<size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Writes a fresh key beside the final name and links it into place, so a second process that
// makes a key at the same moment never overwrites ours: the later one finds ours and uses it.
enum class MakeOutcome { Made, AlreadyThere, Failed };

MakeOutcome MakeKey(int folder, const std::string& name, Key& key) {
    if (RAND_bytes(key.data(), static_cast<int>(key.size())) != 1) {
        return MakeOutcome::Failed;
    }
    unsigned char suffix[8];
    if (RAND_bytes(suffix, sizeof suffix) != 1) {
        return MakeOutcome::Failed;
    }
    std::string temp = name + ".new-";
    for (unsigned char c : suffix) {
        temp += "0123456789abcdef"[c >> 4];
        temp += "0123456789abcdef"[c & 15];
    }
    const int fd =
        ::openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return MakeOutcome::Failed;
    }
    const bool written = WriteAll(fd, key.data(), key.size()) && ::fsync(fd) == 0;
    ::close(fd);
    MakeOutcome outcome = MakeOutcome::Failed;
    if (written) {
        if (::linkat(folder, temp.c_str(), folder, name.c_str(), 0) == 0) {
            outcome = MakeOutcome::Made;
        } else if (errno == EEXIST) {
            outcome = MakeOutcome::AlreadyThere;
        }
    }
    ::unlinkat(folder, temp.c_str(), 0);
    ::fsync(folder);
    return outcome;
}

bool LoadKey(const std::string& keyPath, bool create, Key& key) {
    const auto slash = keyPath.rfind('/');
    if (slash == std::string::npos || slash + 1 == keyPath.size()) {
        return false;
    }
    const std::string folderPath = slash == 0 ? "/" : keyPath.substr(0, slash);
    const std::string name = keyPath.substr(slash + 1);
    const Descriptor folder(OpenKeyFolder(folderPath, create));
    if (folder.get() < 0) {
        return false;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Descriptor file(
            ::openat(folder.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (file.get() >= 0) {
            return ReadKey(file.get(), key);
        }
        if (errno != ENOENT || !create) {
            return false;
        }
        switch (MakeKey(folder.get(), name, key)) {
            case MakeOutcome::Made:
                return true;
            case MakeOutcome::AlreadyThere:
                continue;
            case MakeOutcome::Failed:
                return false;
        }
    }
    return false;
}

class KeyHolder {
public:
    ~KeyHolder() { OPENSSL_cleanse(key.data(), key.size()); }
    Key key{};
};

}  // namespace

KeyFileProtection::KeyFileProtection(std::string keyPath) : keyPath_(std::move(keyPath)) {}

std::optional<std::string> KeyFileProtection::Protect(std::string_view plain) {
    KeyHolder holder;
    if (!LoadKey(keyPath_, true, holder.key)) {
        return std::nullopt;
    }
    std::string blob(1 + kNonceSize + plain.size() + kTagSize, '\0');
    auto* out = reinterpret_cast<unsigned char*>(blob.data());
    out[0] = kBlobVersion;
    unsigned char* nonce = out + 1;
    unsigned char* cipherText = nonce + kNonceSize;
    if (RAND_bytes(nonce, static_cast<int>(kNonceSize)) != 1) {
        return std::nullopt;
    }
    const CipherContext ctx;
    int length = 0;
    int finalLength = 0;
    // The version byte is authenticated too, so a blob cannot be passed off as another format.
    if (ctx.get() == nullptr ||
        EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, holder.key.data(), nonce) != 1 ||
        EVP_EncryptUpdate(ctx.get(), nullptr, &length, out, 1) != 1 ||
        EVP_EncryptUpdate(ctx.get(), cipherText, &length,
                          reinterpret_cast<const unsigned char*>(plain.data()),
                          static_cast<int>(plain.size())) != 1 ||
        EVP_EncryptFinal_ex(ctx.get(), cipherText + length, &finalLength) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, static_cast<int>(kTagSize),
                            cipherText + plain.size()) != 1) {
        return std::nullopt;
    }
    return blob;
}

std::optional<std::string> KeyFileProtection::Unprotect(std::string_view blob) {
    if (blob.size() < 1 + kNonceSize + kTagSize ||
        static_cast<unsigned char>(blob[0]) != kBlobVersion) {
        return std::nullopt;
    }
    KeyHolder holder;
    if (!LoadKey(keyPath_, false, holder.key)) {
        return std::nullopt;
    }
    const auto* in = reinterpret_cast<const unsigned char*>(blob.data());
    const unsigned char* nonce = in + 1;
    const unsigned char* cipherText = nonce + kNonceSize;
    const size_t cipherSize = blob.size() - 1 - kNonceSize - kTagSize;
    std::vector<unsigned char> tag(cipherText + cipherSize, cipherText + cipherSize + kTagSize);
    std::string plain(cipherSize, '\0');
    auto* out = reinterpret_cast<unsigned char*>(plain.data());
    const CipherContext ctx;
    int length = 0;
    int finalLength = 0;
    const bool opened =
        ctx.get() != nullptr &&
        EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, holder.key.data(), nonce) == 1 &&
        EVP_DecryptUpdate(ctx.get(), nullptr, &length, in, 1) == 1 &&
        EVP_DecryptUpdate(ctx.get(), out, &length, cipherText, static_cast<int>(cipherSize)) == 1 &&
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, static_cast<int>(kTagSize),
                            tag.data()) == 1 &&
        EVP_DecryptFinal_ex(ctx.get(), out + length, &finalLength) == 1;
    if (!opened) {
        OPENSSL_cleanse(plain.data(), plain.size());
        return std::nullopt;
    }
    return plain;
}

std::string DefaultProtectionKeyPath() {
    std::string dataHome;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        dataHome = xdg;
    } else {
        std::string home;
        if (const char* env = std::getenv("HOME"); env != nullptr && env[0] == '/') {
            home = env;
        } else {
            struct passwd entry {};
            struct passwd* found = nullptr;
            std::vector<char> buffer(16384);
            if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
                found != nullptr && found->pw_dir != nullptr) {
                home = found->pw_dir;
            }
        }
        dataHome = home + "/.local/share";
    }
    return dataHome + "/vardex/protect.key";
}

std::unique_ptr<DataProtection> MakeSystemDataProtection() {
    return std::make_unique<KeyFileProtection>(DefaultProtectionKeyPath());
}

}  // namespace vardex
