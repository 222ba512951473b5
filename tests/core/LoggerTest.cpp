#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Logger.h"

// A run is a CLogger here, so no test depends on what the process-wide logger has already written.
TEST(Logger, EachRunStartsTheLogAfreshAtItsFirstMessageAndOnlyTheLogItWrites) {
    CLogger().LogError("first run %d", 1);
    {
        CLogger second;
        second.LogError("second run %s", "a");
        second.LogError("CBmpHandler::Load\tx.bmp 100%% done");
    }
    CLogger().LogInfo("emitter %d deleted", 3); // an info-only run leaves the error log alone
    EXPECT_EQ(ReadFile("log_error.txt"), "second run a\nCBmpHandler::Load\tx.bmp 100% done\n");
    EXPECT_EQ(ReadFile("log_info.txt"), "emitter 3 deleted\n");
}

// A log name that is a folder, or a link to another file, drops the message: the other file keeps its contents
// and the other log is still written.
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
        CLogger run;
        run.LogError("lost");
        run.LogInfo("kept");
        EXPECT_EQ(ReadFile("log_info.txt"), "kept\n");
        EXPECT_EQ(ReadFile(outside), "precious");
        unlink(outside.c_str());
    }
}
