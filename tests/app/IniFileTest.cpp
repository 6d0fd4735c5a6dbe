// The INI layer: profile-function reads and writes on the text, and the
// atomic replacement of the file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "IniFile.h"
#include "TempDirectory.h"

namespace ambrel {
namespace {

TEST(IniRead, FollowsTheProfileRules) {
    const std::string text =
        "; comment\r\n"
        "[Global]\r\n"
        "  NetWorkName =  office  \r\n"
        "count=12abc\r\n"
        "bad=abc\r\n"
        "neg=-7\r\n"
        "dup=first\r\n"
        "DUP=second\r\n"
        "[global]\r\n"
        "later=ignored\r\n"
        "[Other]\r\n"
        "count=5";
    IniDocument file(text);
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"GLOBAL", "networkname", "office"},  // names without case, value trimmed
        {"Global", "dup", "first"},           // first key wins
        {"GLOBAL", "later", std::nullopt},    // only the first section counts
        {"other", "COUNT", "5"},              // last line without a line break
        {"Missing", "count", std::nullopt},
        {"Global", "; comment", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(file.Find(c.section, c.key), c.value) << c.section << "/" << c.key;
    }
    EXPECT_EQ(file.GetInt("Global", "count", 99), 12);
    EXPECT_EQ(file.GetInt("Global", "bad", 99), 0);
    EXPECT_EQ(file.GetInt("Global", "neg", 99), -7);
    EXPECT_EQ(file.GetInt("Global", "absent", 99), 99);
    EXPECT_EQ(file.GetString("Global", "absent", "dflt"), "dflt");
}

TEST(IniWrite, ChangesOnlyWhatIsWritten) {
    struct Case {
        const char* name;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    };
    const Case cases[] = {
        {"replace in place, keep the key's spelling and the CRLF",
         "#c\r\n[GLOBAL]\r\nIsClosed = 5 \r\nx=1\r\n", "global", "isclosed", "1",
         "#c\r\n[GLOBAL]\r\nIsClosed = 1\r\nx=1\r\n"},
        {"append the key after the section's last line, before blank lines",
         "[A]\nk=1\n\n[B]\nz=2\n", "a", "new", "v", "[A]\nk=1\nnew=v\n\n[B]\nz=2\n"},
        {"append the section at the end", "[A]\nk=1", "B", "key", "v", "[A]\nk=1\n[B]\nkey=v\n"},
        {"a section without a final line break", "[A]\nk=1", "A", "m", "2", "[A]\nk=1\nm=2"},
        {"an empty file", "", "GLOBAL", "deviceNum", "0", "[GLOBAL]\ndeviceNum=0\n"},
        {"a line break in a value cannot start a section", "[A]\n", "A", "Name",
         "x\n[GLOBAL]\r\nlangId=0", "[A]\nName=x [GLOBAL]  langId=0\n"},
    };
    for (const Case& c : cases) {
        IniDocument file(c.before);
        file.Set(c.section, c.key, c.value);
        EXPECT_EQ(file.Text(), c.after) << c.name;
    }
}

TEST(IniFileOnDisk, SaveIsAtomicAndPrivate) {
    TempDirectory dir;
    std::filesystem::path path = dir.Path() / "config.ini";
    dir.Write("config.ini", "old\n");
    ASSERT_TRUE(WriteFileAtomically(path, "new\n"));
    EXPECT_EQ(dir.Read("config.ini"), "new\n");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // A symbolic link is followed: its target is replaced, the link stays.
    dir.Write("real.ini", "a\n");
    std::filesystem::create_symlink(dir.Path() / "real.ini", dir.Path() / "link.ini");
    ASSERT_TRUE(WriteFileAtomically(dir.Path() / "link.ini", "b\n"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "link.ini"));
    EXPECT_EQ(dir.Read("real.ini"), "b\n");

    EXPECT_FALSE(WriteFileAtomically(dir.Path() / "no" / "such" / "dir.ini", "x"));
}

TEST(IniFileOnDisk, CrashDuringSaveLeavesTheOldFile) {
    TempDirectory dir;
    const std::string old = "[GLOBAL]\nisClosed=0\n; keep me\n";
    dir.Write("config.ini", old);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        testing::SetAtomicWriteHook([] { ::_exit(42); });  // the process dies mid-write
        IniDocument file(old);
        file.Set("GLOBAL", "isClosed", "1");
        file.Save(dir.Path() / "config.ini");
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 42);
    EXPECT_EQ(dir.Read("config.ini"), old);
}

}  // namespace
}  // namespace ambrel
