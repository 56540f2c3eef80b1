// The Linux data protection: blobs open only under the same key and unaltered, and the key file
// is private, made once and never taken through a symlink.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "Environment_posix.h"
#include "TempDir.h"
#include "platform/KeyFileProtection.h"

namespace vardex {
namespace {

using testing::TempDir;

class KeyFileProtectionTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string folder = dir.File("share/vardex");
    std::string keyPath = folder + "/protect.key";
    const std::string plain = std::string("p\0a\0s\0s\0", 8) + std::string(504, '\0');
};

TEST_F(KeyFileProtectionTest, BlobOpensAgainUnderTheSameKeyOnly) {
    KeyFileProtection protection(keyPath);
    const auto blob = protection.Protect(plain);
    ASSERT_TRUE(blob);
    EXPECT_EQ(blob->size(), 1 + 12 + plain.size() + 16);
    EXPECT_EQ(blob->find(plain.substr(0, 8)), std::string::npos);
    EXPECT_EQ(KeyFileProtection(keyPath).Unprotect(*blob), plain);
    EXPECT_NE(protection.Protect(plain), blob) << "every blob has a nonce of its own";

    KeyFileProtection otherKey(dir.File("other/protect.key"));
    ASSERT_TRUE(otherKey.Protect("x"));
    EXPECT_EQ(otherKey.Unprotect(*blob), std::nullopt);
}

TEST_F(KeyFileProtectionTest, AnyFlippedBitOrCutIsRefused) {
    KeyFileProtection protection(keyPath);
    const auto blob = protection.Protect("short secret");
    ASSERT_TRUE(blob);
    for (size_t bit = 0; bit < blob->size() * 8; ++bit) {
        std::string altered = *blob;
        altered[bit / 8] = static_cast<char>(altered[bit / 8] ^ (1 << (bit % 8)));
        ASSERT_EQ(protection.Unprotect(altered), std::nullopt) << "bit " << bit;
    }
    EXPECT_EQ(protection.Unprotect(blob->substr(0, blob->size() - 1)), std::nullopt);
    EXPECT_EQ(protection.Unprotect(""), std::nullopt);
    EXPECT_EQ(protection.Unprotect(std::string(29, '\x01')), std::nullopt);
}

TEST_F(KeyFileProtectionTest, KeyIsMadeOnceWithPrivateModes) {
    ::umask(022);
    KeyFileProtection protection(keyPath);
    ASSERT_TRUE(protection.Protect(plain));
    EXPECT_EQ(testing::FileMode(keyPath), 0600u);
    EXPECT_EQ(testing::FileMode(folder), 0700u);
    EXPECT_EQ(testing::FileMode(dir.File("share")), 0700u);
    const std::string key = testing::ReadFileBytes(keyPath);
    EXPECT_EQ(key.size(), 32u);
    ASSERT_TRUE(protection.Protect(plain));
    EXPECT_EQ(testing::ReadFileBytes(keyPath), key);
}

TEST_F(KeyFileProtectionTest, OpeningMakesNoKey) {
    KeyFileProtection protection(keyPath);
    EXPECT_EQ(protection.Unprotect(std::string(64, '\x01')), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(keyPath));
}

TEST(KeyFileProtection, RefusesKeysItCannotTrust) {
    struct Case {
        const char* name;
        void (*plant)(const std::string& folder, const std::string& key, const std::string& aside);
    };
    const Case cases[] = {
        {"key file is a symlink",
         [](const std::string&, const std::string& key, const std::string& aside) {
             testing::WriteFileBytes(aside, std::string(32, 'k'));
             ::chmod(aside.c_str(), 0600);
             ASSERT_EQ(::symlink(aside.c_str(), key.c_str()), 0);
         }},
        {"dangling key symlink is not created through",
         [](const std::string&, const std::string& key, const std::string& aside) {
             ASSERT_EQ(::symlink(aside.c_str(), key.c_str()), 0);
         }},
        {"key file readable by others",
         [](const std::string&, const std::string& key, const std::string&) {
             testing::WriteFileBytes(key, std::string(32, 'k'));
             ::chmod(key.c_str(), 0644);
         }},
        {"key of the wrong size",
         [](const std::string&, const std::string& key, const std::string&) {
             testing::WriteFileBytes(key, std::string(31, 'k'));
             ::chmod(key.c_str(), 0600);
         }},
        {"folder writable by others", [](const std::string& folder, const std::string&,
                                         const std::string&) { ::chmod(folder.c_str(), 0777); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir root;
        const std::string folder = root.File("vardex");
        const std::string key = folder + "/protect.key";
        const std::string aside = root.File("aside");
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        c.plant(folder, key, aside);
        KeyFileProtection protection(key);
        EXPECT_EQ(protection.Protect("x"), std::nullopt);
        EXPECT_FALSE(std::filesystem::exists(aside) &&
                     testing::ReadFileBytes(aside) != std::string(32, 'k'))
            << "the file behind the symlink was written";
    }
}

TEST_F(KeyFileProtectionTest, KeyOfAnotherUserIsRefused) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    ASSERT_EQ(::mkdir(dir.File("share").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    testing::WriteFileBytes(keyPath, std::string(32, 'k'));
    ::chmod(keyPath.c_str(), 0600);
    ASSERT_EQ(::chown(keyPath.c_str(), ::geteuid() + 1, static_cast<gid_t>(-1)), 0);
    EXPECT_EQ(KeyFileProtection(keyPath).Protect("x"), std::nullopt);
    ASSERT_EQ(::chown(keyPath.c_str(), ::geteuid(), static_cast<gid_t>(-1)), 0);
    EXPECT_TRUE(KeyFileProtection(keyPath).Protect("x"));
}

TEST_F(KeyFileProtectionTest, FolderThatIsASymlinkIsRefused) {
    ASSERT_EQ(::mkdir(dir.File("real").c_str(), 0700), 0);
    ASSERT_EQ(::symlink(dir.File("real").c_str(), dir.File("linked").c_str()), 0);
    KeyFileProtection protection(dir.File("linked") + "/protect.key");
    EXPECT_EQ(protection.Protect("x"), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(dir.File("real/protect.key")));
}

TEST(DefaultProtectionKeyPath, FollowsXdgDataHomeElseHome) {
    const char* savedXdg = std::getenv("XDG_DATA_HOME");
    const std::string xdg = savedXdg ? savedXdg : "";
    const char* savedHome = std::getenv("HOME");
    const std::string home = savedHome ? savedHome : "";
    ::setenv("XDG_DATA_HOME", "/data/home", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(DefaultProtectionKeyPath(), "/data/home/vardex/protect.key");
    ::setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    EXPECT_EQ(DefaultProtectionKeyPath(), "/home/someone/.local/share/vardex/protect.key");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(DefaultProtectionKeyPath(), "/home/someone/.local/share/vardex/protect.key");
    savedXdg ? ::setenv("XDG_DATA_HOME", xdg.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
    savedHome ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}

}  // namespace
}  // namespace vardex
