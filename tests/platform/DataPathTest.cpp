#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/DataPath.h"
#include "platform/FileGate.h"

namespace {

struct ResolveCase {
    const char* asWritten;
    const char* expected;
};

class DataPathResolve : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(DataPathResolve, FindsTheFolderAndFileInTheirOnDiskCase) {
    CTempWorkDir dir;
    MakeFolders("Interface/Fonts");
    MakeFolders("TestLevel/Terrain");
    WriteFile("Interface/interface.xml", "x");
    WriteFile("TestLevel/Terrain/ter_params.ini", "x");
    EXPECT_EQ(CDataPath::Resolve(GetParam().asWritten), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DataPathResolve,
                         ::testing::Values(ResolveCase{"Interface\\interface.xml", "Interface/interface.xml"},
                                           ResolveCase{"interface\\interface.xml", "Interface/interface.xml"},
                                           ResolveCase{"INTERFACE/Interface.XML", "Interface/interface.xml"},
                                           ResolveCase{"testlevel\\terrain\\TER_PARAMS.INI",
                                                       "TestLevel/Terrain/ter_params.ini"},
                                           // Unmatched components keep their spelling, below the resolved folders.
                                           ResolveCase{"interface\\missing.xml", "Interface/missing.xml"},
                                           ResolveCase{"nothere\\interface\\x", "nothere/interface/x"},
                                           ResolveCase{"interface\\fonts\\", "Interface/Fonts/"}));

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
