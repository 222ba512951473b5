#include <sys/stat.h>

#include <gtest/gtest.h>

#include <tuple>

#include "TestSupport.h"
#include "platform/FileGate.h"
#include "platform/UserPaths.h"

TEST(UserPaths, FoldersFollowTheBaseDirectoryRules) {
    const std::tuple<const char*, const char*, const char*, const char*, const char*> cases[] = {
        {"/h", nullptr, nullptr, "/h/.config/ridgeline/", "/h/.local/state/ridgeline/"},
        {"/h/", "", "", "/h/.config/ridgeline/", "/h/.local/state/ridgeline/"},
        {"/h", "/c", "/s/", "/c/ridgeline/", "/s/ridgeline/"},
        {"/h", "relative", "./s", "/h/.config/ridgeline/", "/h/.local/state/ridgeline/"}, // relative: ignored
    };
    for (const auto& [home, configHome, stateHome, settings, state] : cases) {
        const CUserFolders folders = CUserPaths::FoldersFor(home, configHome, stateHome);
        EXPECT_EQ(folders.settings, settings) << configHome;
        EXPECT_EQ(folders.state, state) << stateHome;
    }
}

// Installed: data only from beside the executable with the marker; user files in private folders made on first
// use; the data folder not written.
TEST(UserPaths, InstalledCopyWritesOnlyIntoItsUserFolders) {
    CTempWorkDir dir;
    MakeFolders("games");
    MakeFolders("share/ridgeline");
    EXPECT_EQ(CUserPaths::InstalledDataFolder(dir.Path() + "/games/ridgeline"), "");
    WriteFile("share/ridgeline/installed-data", "");
    EXPECT_EQ(CUserPaths::InstalledDataFolder(dir.Path() + "/games/ridgeline"),
              dir.Path() + "/games/../share/ridgeline");

    CUserPaths::UseFolders({dir.Path() + "/config", dir.Path() + "/state"});
    const std::string settings = CUserPaths::SettingsFile("gfxconfig.ini");
    FILE*             file     = CFileGate::OpenForWriting(settings.c_str(), "w");
    const bool        refused  = CFileGate::OpenForWriting("share/x.xml", "w") == nullptr;
    CUserPaths::UseFolders({});
    ASSERT_NE(file, nullptr) << settings;
    fclose(file);
    EXPECT_TRUE(refused);
    struct stat info;
    ASSERT_EQ(stat((dir.Path() + "/config").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(CUserPaths::SettingsFile("gfxconfig.ini"), "gfxconfig.ini") << "the working-directory layout";
}
