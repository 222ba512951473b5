#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/DataPath.h"
#include "platform/FileGate.h"

namespace {

// Folders and files are found in their on-disk letter case; components
// that match nothing keep their spelling, below the resolved folders.
TEST(DataPath, ResolvesEachComponentInItsOnDiskCase) {
    CTempWorkDir dir;
    MakeFolders("Interface/Fonts");
    MakeFolders("TestLevel/Terrain");
    WriteFile("Interface/interface.xml", "x");
    WriteFile("TestLevel/Terrain/ter_params.ini", "x");
    const std::pair<const char*, const char*> cases[] = {
        {"Interface\\interface.xml", "Interface/interface.xml"},
        {"interface\\interface.xml", "Interface/interface.xml"},
        {"INTERFACE/Interface.XML", "Interface/interface.xml"},
        {"testlevel\\terrain\\TER_PARAMS.INI", "TestLevel/Terrain/ter_params.ini"},
        {"interface\\missing.xml", "Interface/missing.xml"},
        {"nothere\\interface\\x", "nothere/interface/x"},
        {"interface\\fonts\\", "Interface/Fonts/"},
    };
    for (const auto& [asWritten, expected] : cases) {
        EXPECT_EQ(CDataPath::Resolve(asWritten), expected);
    }
}

TEST(DataPath, UnresolvablePathFailsLikeAMissingFile) {
    CTempWorkDir dir;
    MakeFolders("units");
    EXPECT_EQ(CFileGate::OpenForReading("Units\\tank.xml", FileKind::text), nullptr);
    EXPECT_FALSE(CDataPath::FileExists("Units\\tank.xml"));
    EXPECT_FALSE(CDataPath::FileExists("Units")) << "a folder is not a file";
}

TEST(DataPath, ExactCaseWinsOverOtherSpellings) {
    CTempWorkDir dir;
    MakeFolders("music");
    MakeFolders("Music");
    WriteFile("Music/a.ogg", "upper");
    WriteFile("music/a.ogg", "lower");
    EXPECT_EQ(CDataPath::Resolve("music\\a.ogg"), "music/a.ogg");
    EXPECT_EQ(CDataPath::Resolve("Music\\a.ogg"), "Music/a.ogg");
}

} // namespace
