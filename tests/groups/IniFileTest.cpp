// Reading and writing one INI value on the file's bytes: names, blanks, the read limit, and
// everything else in the file kept byte for byte.
#include <gtest/gtest.h>

#include "groups/IniFile.h"

namespace vardex {
namespace {

TEST(IniFile, ReadsTheValueOfTheKeyInItsSection) {
    struct Case {
        const char* name;
        std::string file;
        std::string section;
        std::string key;
        std::string value;
    } const cases[] = {
        {"plain", "[s]\r\nk=v\r\n", "s", "k", "v"},
        {"ascii case ignored", "[SeC]\nKEY=v", "sec", "key", "v"},
        {"blanks dropped", "[s]\n  k \t=  \t v w \t \r\n", "s", "k", "v w"},
        {"double quotes dropped", "[s]\nk= \"v w\" ", "s", "k", "v w"},
        {"single quotes kept", "[s]\nk='v'", "s", "k", "'v'"},
        {"a lone quote kept", "[s]\nk=\"", "s", "k", "\""},
        {"empty value", "[s]\nk=\nj=x", "s", "k", ""},
        {"equals sign in the value", "[s]\nk=a=b", "s", "k", "a=b"},
        {"blanks around the header", " [ s ] \nk=v", "s", "k", "v"},
        {"first of two keys", "[s]\nk=1\nk=2", "s", "k", "1"},
        {"first of two sections", "[s]\nj=1\n[s]\nk=2", "s", "k", ""},
        {"missing section", "[t]\nk=v", "s", "k", ""},
        {"missing key", "[s]\nj=v", "s", "k", ""},
        {"key of the next section", "[s]\nj=v\n[t]\nk=w", "s", "k", ""},
        {"key before every section", "k=v\n[s]\n", "s", "k", ""},
        {"comment is no key", "[s]\n;k=v", "s", "k", ""},
        {"line without equals sign", "[s]\nk\nk=v", "s", "k", "v"},
        {"lone CR at the end", "[s]\nk=v\r", "s", "k", "v"},
        {"gbk names and value",
         "[\xD7\xE9\xBA\xCF\xBF\xF2]\r\n\xD7\xE9\xBA\xCF\xBF\xF2\x31=\xCB\xF9\xD3\xD0\r\n",
         "\xD7\xE9\xBA\xCF\xBF\xF2", "\xD7\xE9\xBA\xCF\xBF\xF2\x31", "\xCB\xF9\xD3\xD0"},
        // A trail byte that looks like "]" does not end the header, and one that looks like a
        // letter is no letter: its case is not folded.
        {"trail byte like ]", "[\x81\x5D]\nk=v", "\x81\x5D", "k", "v"},
        {"trail byte like A", "[\x81\x41]\nk=v", "\x81\x61", "k", ""},
        {"empty file", "", "s", "k", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadIniValue(c.file, c.section, c.key), c.value);
    }
}

TEST(IniFile, ReadsAtMost10239BytesAndNeverHalfACharacter) {
    const std::string limit(kMaxIniValueBytes, 'a');
    EXPECT_EQ(ReadIniValue("[s]\nk=" + limit + "\n", "s", "k"), limit);
    EXPECT_EQ(ReadIniValue("[s]\nk=  " + limit + "bcd  \n", "s", "k"), limit);
    // 工 would take bytes 10239 and 10240: it is left out whole.
    const std::string shortOfOne(kMaxIniValueBytes - 1, 'a');
    EXPECT_EQ(ReadIniValue("[s]\nk=" + shortOfOne + "\xB9\xA4", "s", "k"), shortOfOne);
    const std::string shortOfTwo(kMaxIniValueBytes - 2, 'a');
    EXPECT_EQ(ReadIniValue("[s]\nk=" + shortOfTwo + "\xB9\xA4z", "s", "k"),
              shortOfTwo + "\xB9\xA4");
}

TEST(IniFile, WritesTheValueAndKeepsEveryOtherByte) {
    struct Case {
        const char* name;
        std::string before;
        std::string after;  // with section "s", key "k", value "new"
    } const cases[] = {
        {"new file", "", "[s]\r\nk=new\r\n"},
        {"replaced in place, blanks and neighbours kept",
         "; top\r\n[a]\r\nk=1\r\n\r\n[S]\r\n  K = old  \r\nother=2\r\n[b]\r\nk=3",
         "; top\r\n[a]\r\nk=1\r\n\r\n[S]\r\n  K = new  \r\nother=2\r\n[b]\r\nk=3"},
        {"last line without line end", "[s]\nk=old", "[s]\nk=new"},
        {"empty old value", "[s]\r\nk=\r\nj=1\r\n", "[s]\r\nk=new\r\nj=1\r\n"},
        {"blank old value", "[s]\r\nk=   \r\n", "[s]\r\nk=   new\r\n"},
        {"first of two keys", "[s]\nk=1\nk=2\n", "[s]\nk=new\nk=2\n"},
        {"key added after the section's last line", "[s]\r\na=1\r\n\r\n[t]\r\nb=2\r\n",
         "[s]\r\na=1\r\nk=new\r\n\r\n[t]\r\nb=2\r\n"},
        {"key added to an empty last section", "[s]", "[s]\r\nk=new\r\n"},
        {"key added to a last section without line end", "[s]\na=1", "[s]\na=1\r\nk=new\r\n"},
        {"section added after a final line end", "[t]\nb=2\n", "[t]\nb=2\n[s]\r\nk=new\r\n"},
        {"section added without a final line end", "[t]\nb=2", "[t]\nb=2\r\n[s]\r\nk=new\r\n"},
        // A lone CR at the end already reads as a line end; it is made CR LF, not doubled.
        {"key added after a last line ending in a lone CR", "[s]\na=1\r", "[s]\na=1\r\nk=new\r\n"},
        {"section added after a last line ending in a lone CR", "[t]\nb=2\r",
         "[t]\nb=2\r\n[s]\r\nk=new\r\n"},
        {"gbk bytes elsewhere untouched", "[t]\n\xB9\xA4=\xBE\xDF\x5D\n[s]\nk=\xB0\x7C\n",
         "[t]\n\xB9\xA4=\xBE\xDF\x5D\n[s]\nk=new\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto after = WriteIniValue(c.before, "s", "k", "new");
        ASSERT_TRUE(after);
        EXPECT_EQ(*after, c.after);
        EXPECT_EQ(ReadIniValue(*after, "s", "k"), "new");
    }
}

// Blanks the value brings take the place of the old ones at that end, so writing the same
// value again changes nothing; the blanks around a value without its own stay.
TEST(IniFile, WritingTheSameValueAgainChangesNothing) {
    struct Case {
        const char* name;
        std::string before;
        std::string value;
        std::string after;
    } const cases[] = {
        {"trailing blank", "[s]\r\nk=old  \r\n", "Web ", "[s]\r\nk=Web \r\n"},
        {"leading blank", "[s]\r\nk=  old\r\n", " Web", "[s]\r\nk= Web\r\n"},
        {"blanks at both ends", "[s]\r\nk = old \r\n", "\tWeb ", "[s]\r\nk =\tWeb \r\n"},
        {"no blanks of its own", "[s]\r\nk = old \r\n", "Web", "[s]\r\nk = Web \r\n"},
        {"new key", "[s]\r\n", "Web ", "[s]\r\nk=Web \r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto text = WriteIniValue(c.before, "s", "k", c.value);
        for (int i = 0; i < 3 && text; ++i) {
            ASSERT_EQ(*text, c.after);
            text = WriteIniValue(*text, "s", "k", c.value);
        }
        ASSERT_TRUE(text);
        EXPECT_EQ(ReadIniValue(*text, "s", "k"), "Web");
    }
}

TEST(IniFile, RefusesWhatWouldNotReadBack) {
    struct Case {
        const char* name;
        std::string section;
        std::string key;
        std::string value;
    } const cases[] = {
        {"line end in the value", "s", "k", "a\r\n[x]"},
        {"LF in the key", "s", "k\nj", "v"},
        {"CR in the section", "s\r", "k", "v"},
        {"empty key", "s", "", "v"},
        {"equals sign in the key", "s", "k=j", "v"},
        {"key like a header", "s", "[t]", "v"},
        {"blank around the key", "s", " k", "v"},
        {"bracket in the section", "s]x", "k", "v"},
        {"blank around the section", "s ", "k", "v"},
        // Half a character at the end of a name would take the "=" or "]" after it.
        {"key ending in half a character", "s", "k\x81", "v"},
        {"section ending in half a character", "s\x81", "k", "v"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(WriteIniValue("[s]\r\nk=old\r\n", c.section, c.key, c.value));
    }
}

}  // namespace
}  // namespace vardex
