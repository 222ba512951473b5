#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/DataPath.h"
#include "platform/FileGate.h"

// Folders and files are found in their on-disk letter case, the exact case first; components that match nothing
// keep their spelling, below the resolved folders, and such a path fails like a missing file.
TEST(DataPath, ResolvesEachComponentInItsOnDiskCase) {
    for (const char* folder : {"Interface/Fonts", "TestLevel/Terrain", "music", "Music", "units"}) {
        MakeFolders(folder);
    }
    WriteFile("Interface/interface.xml", "x");
    WriteFile("TestLevel/Terrain/ter_params.ini", "x");
    WriteFile("Music/a.ogg", "upper");
    WriteFile("music/a.ogg", "lower");
    const std::pair<const char*, const char*> cases[] = {
        {"Interface\\interface.xml", "Interface/interface.xml"},
        {"interface\\interface.xml", "Interface/interface.xml"},
        {"INTERFACE/Interface.XML", "Interface/interface.xml"},
        {"testlevel\\terrain\\TER_PARAMS.INI", "TestLevel/Terrain/ter_params.ini"},
        {"interface\\missing.xml", "Interface/missing.xml"},
        {"nothere\\interface\\x", "nothere/interface/x"},
        {"interface\\fonts\\", "Interface/Fonts/"},
        {"music\\a.ogg", "music/a.ogg"},
        {"Music\\a.ogg", "Music/a.ogg"},
    };
    for (const auto& [asWritten, expected] : cases) {
        EXPECT_EQ(CDataPath::Resolve(asWritten), expected);
    }
    EXPECT_EQ(CFileGate::OpenForReading("Units\\tank.xml", FileKind::text), nullptr);
    EXPECT_FALSE(CDataPath::FileExists("Units\\tank.xml"));
    EXPECT_FALSE(CDataPath::FileExists("Units")) << "a folder is not a file";
}
