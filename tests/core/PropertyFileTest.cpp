#include <unistd.h>

#include <string>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/PropertyFile.h"

namespace {

const char* const invalidLine = "CPropertyFile::LoadProperties: Invalid property line in file gfxconfig.ini";

// Keys and look-ups are case-insensitive; text after a second '=' is dropped; nothing is trimmed; '=' then
// nothing, empty lines, no '=', no key and overlong lines (skipped whole) are invalid lines; the later line wins;
// a CR before the newline ends the line.
TEST(PropertyFileLines, SplitsLinesAsTheFormatSays) {
    const std::string overlong = "a=" + std::string(9000, 'x') + "=tail\nb=2\n";
    // Content, key, its value (nullptr: the key must be missing), invalid lines.
    const std::tuple<std::string, const char*, const char*, int> cases[] = {
        {"vbo=1\nfps=0\n", "fps", "0", 0}, {"VBO=1\n", "vbo", "1", 0},      {"vbo=1\n", "VbO", "1", 0},
        {"a=b=c\n", "a", "b", 0},          {" a = b \n", " a ", " b ", 0},  {"a=\nb=2\n", "a", nullptr, 1},
        {"\n\nb=2", "b", "2", 2},          {"novalue\nb=2\n", "b", "2", 1}, {"=x\n", "", nullptr, 1},
        {"k=1\nk=2\n", "k", "2", 0},       {"k=v\r\n", "k", "v", 0},        {overlong, "a", nullptr, 1},
        {overlong, "tail", nullptr, 1},    {overlong, "b", "2", 1}};
    for (const auto& [content, key, expectedValue, invalidLines] : cases) {
        WriteFile("gfxconfig.ini", content);
        unlink("log_error.txt");
        CPropertyFile         file("gfxconfig.ini");
        const CPropertyEntry* entry = file.FindProperty(key);
        const std::string     shown = content.substr(0, 20);
        EXPECT_EQ(entry == nullptr, expectedValue == nullptr) << shown;
        if (entry != nullptr && expectedValue != nullptr) {
            EXPECT_EQ(entry->value, expectedValue);
        }
        EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), invalidLine), invalidLines) << shown;
    }
}

TEST(PropertyFile, NumbersParseAsStrtolAndStrtodDo) {
    WriteFile("p.ini", "i=-42abc\nf=2.5e1\nh=0x10\n");
    CPropertyFile file("p.ini");
    // Base 10: 0x10 reads as 0.
    EXPECT_EQ(std::make_tuple(file.GetIntProperty("i"), file.GetIntProperty("h"), file.GetFloatProperty("f"),
                              file.GetIntProperty("missing"), file.GetFloatProperty("missing")),
              std::make_tuple(-42, 0, 25.0f, 0, 0.0f));
    EXPECT_STREQ(file.GetStringProperty("i"), "-42abc");
    EXPECT_EQ(file.GetStringProperty("missing"), nullptr);
}

// A level folder is no place for files the game invents: a missing file is neither created nor logged; its
// first saved property creates it. A file that cannot be read, or written, is logged.
TEST(PropertyFile, MissingFileIsNeitherCreatedNorLoggedButAnUnreadableOneIs) {
    CPropertyFile missing("gfxconfig.ini");
    EXPECT_FALSE(FileExists("gfxconfig.ini"));
    EXPECT_FALSE(FileExists("log_error.txt"));
    EXPECT_FALSE(missing.LoadProperties());
    EXPECT_TRUE(missing.SetIntProperty("fps", 1));
    EXPECT_EQ(ReadFile("gfxconfig.ini"), "fps=1\n");
    MakeFolders("folder.ini");
    CPropertyFile file("folder.ini");
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), "CPropertyFile::LoadProperties: Couldn't load file folder.ini"),
              1);
    EXPECT_FALSE(file.SetProperty("a", "1"));
    CPropertyFile nowhere("nofolder/gfxconfig.ini");
    EXPECT_FALSE(nowhere.SetProperty("a", "1"));
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), "Couldn't open file nofolder/gfxconfig.ini"), 1);
}

TEST(PropertyFile, NewKeyIsAppendedAndAnExistingKeyRewritesInFileOrder) {
    WriteFile("p.ini", "b=1\nA=2\nb=3");
    CPropertyFile file("p.ini");
    EXPECT_TRUE(file.SetProperty("new", "x"));
    EXPECT_EQ(ReadFile("p.ini"), "b=1\nA=2\nb=3\nnew=x\n") << "a last line without newline gets one first";
    EXPECT_TRUE(file.SetIntProperty("A", 7));
    EXPECT_EQ(ReadFile("p.ini"), "b=1\na=7\nb=3\nnew=x\n");
    EXPECT_TRUE(file.SetFloatProperty("f", 1.5f));
    EXPECT_EQ(ReadFile("p.ini"), "b=1\na=7\nb=3\nnew=x\nf=1.500000\n");
}

// Appends after a rewrite used to leave an empty line, which every later start reported as an invalid line. A
// file written so still loads (its empty line reported and skipped), and the next rewrite drops the line.
TEST(PropertyFile, AppendAfterARewriteLeavesNoEmptyLineAndOneFromBeforeIsMended) {
    {
        CPropertyFile file("gfxconfig.ini");
        file.SetIntProperty("fullscreen", 0);
        file.SetIntProperty("fullscreen", 1); // rewrite: the file ends with a newline
        file.SetIntProperty("fps", 1);        // append after it
    }
    EXPECT_EQ(ReadFile("gfxconfig.ini"), "fullscreen=1\nfps=1\n");
    unlink("log_error.txt");
    CPropertyFile reread("gfxconfig.ini");
    EXPECT_EQ(std::make_pair(reread.GetIntProperty("fullscreen"), reread.GetIntProperty("fps")), std::make_pair(1, 1));
    EXPECT_FALSE(FileExists("log_error.txt")) << ReadFile("log_error.txt");
    WriteFile("gfxconfig.ini", "fullscreen=1\n\nfps=1");
    CPropertyFile file("gfxconfig.ini");
    EXPECT_EQ(std::make_pair(file.GetIntProperty("fullscreen"), file.GetIntProperty("fps")), std::make_pair(1, 1));
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), invalidLine), 1);
    EXPECT_TRUE(file.SetIntProperty("fps", 0));
    EXPECT_EQ(ReadFile("gfxconfig.ini"), "fullscreen=1\nfps=0\n");
}

} // namespace
