// The launcher with the privilege prompt replaced by a recording stub on PATH.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "TestNetwork.h"

namespace {

namespace fs = std::filesystem;

class UninstallLauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ambrel-uninstall-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "bin");
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A stand-in for pkexec that writes down its arguments, then takes its
    // time before it says it is done.
    void InstallStub() {
        const fs::path stub = dir_ / "bin" / "pkexec";
        // The arguments appear whole: written aside, then renamed.
        std::ofstream(stub) << "#!/bin/sh\n"
                            << "echo \"$@\" > '" << (dir_ / "args.part").string() << "'\n"
                            << "mv '" << (dir_ / "args.part").string() << "' '"
                            << (dir_ / "args").string() << "'\n"
                            << "sleep 1\n"
                            << "echo done > '" << (dir_ / "done").string() << "'\n";
        fs::permissions(stub, fs::perms::owner_all);
    }

    // Runs the launcher with only the stub folder on PATH; returns its exit code.
    int RunLauncher() {
        const std::string program = ambrel::test::BuiltProgram("AmbrelUninstall");
        std::string path = "PATH=" + (dir_ / "bin").string() + ":/usr/bin:/bin";
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        char* envp[] = {path.data(), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp) != 0)
            return -1;
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Read(const std::string& name) {
        std::ifstream in(dir_ / name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool WaitFor(const std::string& name) {
        for (int i = 0; i < 1000 && !fs::exists(dir_ / name); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return fs::exists(dir_ / name);
    }

    fs::path dir_;
};

TEST_F(UninstallLauncherTest, HandsTheRemovalToThePackageManagerWithoutWaiting) {
    InstallStub();
    EXPECT_EQ(RunLauncher(), 0);
    // The launcher is gone while the command still runs.
    EXPECT_FALSE(fs::exists(dir_ / "done"));
    ASSERT_TRUE(WaitFor("args"));
    EXPECT_EQ(Read("args"), "apt-get remove --yes ambrel\n");
    EXPECT_TRUE(WaitFor("done"));
}

TEST_F(UninstallLauncherTest, ExitsZeroWhenTheCommandCannotStart) {
    // No pkexec anywhere on PATH.
    const std::string program = ambrel::test::BuiltProgram("AmbrelUninstall");
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    std::string path = "PATH=" + (dir_ / "bin").string();
    char* envp[] = {path.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp), 0);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
