#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Logger.h"

namespace {

// Each run of the program has a logger of its own: a run is a CLogger here,
// so no test depends on what the process-wide logger has already written.
TEST(Logger, EachRunStartsTheLogAfreshAtItsFirstMessageAndOnlyTheLogItWrites) {
    CTempWorkDir dir;
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

TEST(Logger, LogThatCannotBeOpenedDropsTheMessageWithoutFailing) {
    CTempWorkDir dir;
    MakeFolders("log_error.txt"); // a folder in the log's place cannot be opened, not even by root
    CLogger run;
    run.LogError("lost");
    run.LogInfo("kept");
    EXPECT_EQ(ReadFile("log_info.txt"), "kept\n");
}

} // namespace
