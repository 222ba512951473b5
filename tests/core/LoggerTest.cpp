#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Logger.h"

namespace {

// Each run of the program has its own logger, so a "run" is a child process.
void RunInChild(const std::function<void()>& body) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
}

TEST(Logger, EachRunStartsTheLogAfreshAtItsFirstMessage) {
    CTempWorkDir dir;
    RunInChild([] { GetLogger()->LogError("first run %d", 1); });
    RunInChild([] {
        GetLogger()->LogError("second run %s", "a");
        GetLogger()->LogError("second run %s", "b");
    });
    EXPECT_EQ(ReadFile("log_error.txt"), "second run a\nsecond run b\n");
}

TEST(Logger, InfoOnlyRunLeavesTheErrorLogOfAnEarlierRun) {
    CTempWorkDir dir;
    RunInChild([] { GetLogger()->LogError("old error"); });
    RunInChild([] { GetLogger()->LogInfo("emitter %d deleted", 3); });
    EXPECT_EQ(ReadFile("log_error.txt"), "old error\n");
    EXPECT_EQ(ReadFile("log_info.txt"), "emitter 3 deleted\n");
}

// A log name that is a folder, or a link to another file, drops the message:
// the other file keeps its contents and the other log is still written.
TEST(Logger, LogThatMayNotBeWrittenDropsTheMessageAndTouchesNothingElse) {
    const std::function<void(const std::string&)> arrangements[] = {
        [](const std::string&) { MakeFolders("log_error.txt"); },
        [](const std::string& outside) { symlink(outside.c_str(), "log_error.txt"); },
        [](const std::string& outside) { link(outside.c_str(), "log_error.txt"); },
    };
    for (const auto& arrange : arrangements) {
        CTempWorkDir      dir;
        const std::string outside = dir.Path() + ".outside";
        WriteFile(outside, "precious");
        arrange(outside);
        RunInChild([] {
            GetLogger()->LogError("lost");
            GetLogger()->LogInfo("kept");
        });
        EXPECT_EQ(ReadFile("log_info.txt"), "kept\n");
        EXPECT_EQ(ReadFile(outside), "precious");
        unlink(outside.c_str());
    }
}

} // namespace
