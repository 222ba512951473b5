#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "HostileFiles.h"
#include "TestSupport.h"
#include "platform/AtomicFile.h"
#include "platform/FileGate.h"
#include "platform/SoundLibrary.h"

namespace {

const char* const goodText = "<name>Tank</name>\n";

class FileGateHostile : public ::testing::TestWithParam<CHostileCase> {};

INSTANTIATE_TEST_SUITE_P(Cases, FileGateHostile, ::testing::ValuesIn(HostileCases()),
                         [](const ::testing::TestParamInfo<CHostileCase>& info) {
                             return std::string(info.param.label);
                         });

// The refusal names the path as the caller gave it, and the caller gets nothing to read.
TEST_P(FileGateHostile, IsRefusedWithALineOrMissingSilently) {
    MakeFolders("units");
    WriteFile("units/tank.xml", goodText);
    const std::string path = MakeHostile(GetParam().hostility, "units/tank.xml", FileKind::text);
    CWatchdog         watchdog(10, path.c_str());
    bool              missing = false;
    EXPECT_EQ(CFileGate::OpenForReading(path.c_str(), FileKind::text, &missing), nullptr);
    std::string bytes = "stale";
    EXPECT_FALSE(CFileGate::ReadWholeFile(path.c_str(), FileKind::text, bytes));
    EXPECT_TRUE(bytes.empty());
    const std::string log = ReadFile("log_error.txt");
    if (GetParam().gateReason == nullptr) {
        EXPECT_TRUE(missing);
        EXPECT_EQ(log, "") << "a missing file is the caller's to report";
    } else {
        EXPECT_FALSE(missing);
        const std::string line =
            "CFileGate::OpenForReading: refused " + path + ": " + std::string(GetParam().gateReason);
        EXPECT_EQ(CountLinesWith(log, line), 2) << "once per open; the log holds:\n" << log;
    }
}

TEST(FileGate, ReadsRegularFilesUpToTheBoundOfTheirKindInsideTheWorkingDirectory) {
    MakeFolders("Units");
    WriteFile("Units/Tank.xml", goodText);
    std::string text;
    ASSERT_TRUE(CFileGate::ReadWholeFile("units\\tank.xml", FileKind::text, text)) << "letter case is resolved";
    EXPECT_EQ(text, goodText);

    const std::string limit(static_cast<size_t>(CFileGate::maxTextBytes), 'x');
    WriteFile("limit.xml", limit);
    ASSERT_TRUE(CFileGate::ReadWholeFile("limit.xml", FileKind::text, text));
    EXPECT_EQ(text.size(), limit.size());
    WriteFile("limit.xml", limit + "y");
    EXPECT_FALSE(CFileGate::ReadWholeFile("limit.xml", FileKind::text, text));
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(CFileGate::ReadWholeFile("limit.xml", FileKind::image, bytes)) << "an image may be larger";
    EXPECT_EQ(bytes.size(), limit.size() + 1);
    const std::pair<const char*, bool> cases[] = {
        {"units\\tank.xml", true}, {"a/b/c.bmp", true}, {"...\\odd.xml", true}, {"a..b.xml", true},
        {"units\\..\\x", false},   {"..", false},       {"a/../../b", false},   {"/etc/passwd", false},
        {"\\root\\file", false},   {"units/..", false}, {"..\\", false},
    };
    for (const auto& [path, inside] : cases) {
        EXPECT_EQ(CFileGate::IsInsideDataFolder(path), inside) << path;
    }
    EXPECT_FALSE(CFileGate::IsInsideDataFolder(nullptr));
}

// Each way a write may be redirected out of the data folder is refused with its reason; the file outside is kept.
TEST(FileGate, WritesStayInsideAndNeverFollowALink) {
    CTempWorkDir      dir;
    const std::string outside = dir.Path() + ".outside";
    WriteFile(outside, "precious");
    MakeFolders("TestLevel");
    symlink("/dev/null", "TestLevel/device.xml");
    symlink(outside.c_str(), "TestLevel/link.xml");
    link(outside.c_str(), "TestLevel/hard.xml");
    symlink("/tmp", "linked");
    const std::pair<std::string, const char*> cases[] = {
        {"TestLevel\\device.xml", "the name is a symbolic link"},
        {"TestLevel\\link.xml", "the name is a symbolic link"},
        {"TestLevel\\hard.xml", "the file has other names (hard links)"},
        {"linked\\x.xml", "its folder is a link to outside the data and user folders"},
        {"..\\escape.xml", "the path leaves the data folder"},
        {outside, "the path leaves the data folder"},
    };
    for (const auto& [path, reason] : cases) {
        for (const char* mode : {"w", "a+"}) {
            EXPECT_EQ(CFileGate::OpenForWriting(path.c_str(), mode), nullptr) << path;
        }
        EXPECT_EQ(
            CountLinesWith(ReadFile("log_error.txt"), "CFileGate::OpenForWriting: refused " + path + ": " + reason), 2)
            << ReadFile("log_error.txt");
    }
    EXPECT_EQ(ReadFile(outside), "precious");
    EXPECT_FALSE(FileExists("/tmp/x.xml") || FileExists("../escape.xml"));
    unlink(outside.c_str());

    unlink("log_error.txt");
    EXPECT_EQ(CFileGate::OpenForWriting("..\\quiet.txt", "a", true), nullptr);
    EXPECT_FALSE(FileExists("log_error.txt")) << "the logger's own opens are quiet";

    for (const char* mode : {"w", "a", "a", "w", "a"}) {
        FILE* file = CFileGate::OpenForWriting("testlevel\\save.xml", mode); // created in the folder on disk
        ASSERT_NE(file, nullptr) << mode;
        fputs(mode, file);
        fclose(file);
    }
    EXPECT_EQ(ReadFile("TestLevel/save.xml"), "wa") << "w truncates, a appends";
}

// A unit file's sound may name a device through "..", or a sounds folder may hold a link to one: the sample
// loader must refuse it, not read forever.
TEST(FileGate, SoundLibraryOpensSamplesAndStreamsThroughTheGate) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    CSoundLibrary sound;
    const bool    opened = sound.Init(44100, 8);
    unsetenv("SDL_AUDIODRIVER");
    if (!opened) {
        GTEST_SKIP() << "another sound library object is open, or SDL has no dummy driver";
    }
    MakeFolders("sounds");
    ASSERT_EQ(symlink("/dev/zero", "sounds/zero.wav"), 0);
    ASSERT_EQ(mkfifo("sounds/pipe.wav", 0644), 0);
    const char* hostile[] = {"sounds\\..\\..\\..\\..\\..\\..\\..\\..\\dev\\zero", "sounds\\zero.wav",
                             "sounds\\pipe.wav", "/dev/zero", "sounds"};
    CWatchdog   watchdog(20, "loading samples from devices");
    for (const char* path : hostile) {
        EXPECT_EQ(sound.LoadSample(path), noSound) << path;
        EXPECT_EQ(sound.OpenStream(path), noSound) << path;
        EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), std::string("refused ") + path + ":"), 2) << path;
    }
    sound.Close();
}

// An atomic write given up (by a second Open or by the object's end) leaves the old file as it was and no
// temporary file behind; a commit replaces the old file.
TEST(AtomicFile, AnAbandonedWriteLeavesTheOldFileAndNoTemporaryFile) {
    WriteFile("a.xml", "old a");
    WriteFile("b.xml", "old b");
    {
        CAtomicFile file;
        ASSERT_TRUE(file.Open("a.xml"));
        fputs("new a", file.GetStream());
        ASSERT_TRUE(file.Open("b.xml"));
        EXPECT_FALSE(FileExists("a.xml.tmp")) << "the second Open gave up the first write";
        fputs("new b", file.GetStream());
    }
    EXPECT_FALSE(FileExists("b.xml.tmp")) << "the end of the object gave up the write";
    EXPECT_EQ(ReadFile("a.xml") + ReadFile("b.xml"), "old aold b");
    CAtomicFile file;
    ASSERT_TRUE(file.Open("a.xml"));
    fputs("new a", file.GetStream());
    EXPECT_TRUE(file.Commit());
    EXPECT_EQ(ReadFile("a.xml"), "new a");
}

} // namespace
