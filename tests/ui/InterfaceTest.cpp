#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "LayoutFiles.h"
#include "TestSupport.h"
#include "ui/Interface.h"

namespace {

constexpr int screenWidth  = 1024;
constexpr int screenHeight = 768;

struct CResolveCase {
    const char* position;
    const char* alignment;
    int         at1024x768;
    int         at800x600;
};

TEST(InterfaceResolveTest, PositionsFollowTheirAlignment) {
    // clang-format off
    const CResolveCase xCases[] = {
        {"100", "RIGHT", 924, 700}, {"100", "MIDDLE", 612, 500}, {"100", "LEFT", 100, 100}, {"100", "", 100, 100},
        {"100", "right", 924, 700}, {"100", " RIGHT", 100, 100}, {" 100", "RIGHT", 924, 700}, {"MAX_X", "", 1024, 800},
        {"MAX_X", "RIGHT", 0, 0}, {"max_x", "middle", 1536, 1200}, {" MAX_X", "", 0, 0}, {"-30", "MIDDLE", 482, 370},
        {"12abc", "", 12, 12}, {"abc", "RIGHT", 1024, 800}, {"+7", "", 7, 7},
        {"99999999999999", "RIGHT", -1000000, -1000000},
        {"0000000000000001000", "", 0, 0}}; // cut to 15 characters first
    // clang-format on
    const CResolveCase yCases[] = {
        {"40", "", 728, 560},       {"40", "LOWER", 40, 40},  {"40", "MIDDLE", 344, 260}, {"40", "lower", 40, 40},
        {"40", " LOWER", 728, 560}, {" 40", "LOWER", 40, 40}, {"MAX_Y", "", 0, 0},        {"MAX_Y", "LOWER", 768, 600},
        {"max_y", "TOP", 0, 0},     {"-20", "TOP", 788, 620},
    };
    const CInterfaceLayoutReader large(1024, 768), small(800, 600);
    for (const CResolveCase& test : xCases) {
        EXPECT_EQ(large.ResolveX(test.position, test.alignment), test.at1024x768)
            << "ResolveX(\"" << test.position << "\", \"" << test.alignment << "\") at 1024";
        EXPECT_EQ(small.ResolveX(test.position, test.alignment), test.at800x600)
            << "ResolveX(\"" << test.position << "\", \"" << test.alignment << "\") at 800";
    }
    for (const CResolveCase& test : yCases) {
        EXPECT_EQ(large.ResolveY(test.position, test.alignment), test.at1024x768)
            << "ResolveY(\"" << test.position << "\", \"" << test.alignment << "\") at 768";
        EXPECT_EQ(small.ResolveY(test.position, test.alignment), test.at800x600)
            << "ResolveY(\"" << test.position << "\", \"" << test.alignment << "\") at 600";
    }
    EXPECT_EQ(large.ResolveX(nullptr, "RIGHT"), 0);
    EXPECT_EQ(large.ResolveY("40", nullptr), 0);
}

class InterfaceTest : public ::testing::Test {
protected:
    CInterfaceLayout Load() const {
        files.Write();
        CInterfaceLayout layout;
        CInterfaceLayoutReader(screenWidth, screenHeight).Load("Interface\\interface.xml", layout);
        return layout;
    }

    CTempWorkDir         work;
    mutable CLayoutFiles files;
};

// Overlong texts and huge numbers are cut; what the index lacks stays empty.
TEST_F(InterfaceTest, LoadsEveryIndexedElementWithResolvedPositionsAndBoundedValues) {
    files.indexKeysLeftOut = {"comment"};
    files.File("terrain").Set("head", std::string(600, 'h'));
    files.File("fontregular").Set("name", std::string(200, 'n'));
    files.File("fontregular").Set("lineheight", "2147483647");
    files.File("fonthead").Set("size", "-2147483648");
    const CInterfaceLayout layout = Load();
    EXPECT_EQ(layout.terrain.head.size(), CInterfaceLayoutReader::maxTextLength);
    EXPECT_EQ(layout.fontRegular.description.name.size(), CFontDescription::maxNameLength);
    EXPECT_EQ(layout.fontRegular.description.lineHeight, CInterfaceLayoutReader::maxFontMetric);
    EXPECT_EQ(layout.fontHead.description.size, -CInterfaceLayoutReader::maxFontMetric);
    EXPECT_TRUE(layout.fontRegular.loaded && layout.fontHead.loaded && layout.fontFinish.loaded &&
                layout.font3d.loaded);
    EXPECT_EQ(layout.fontHead.description.lineHeight, 22);
    EXPECT_TRUE(layout.font3d.description.bold);
    EXPECT_FLOAT_EQ(layout.font3d.description.lineWidth, 2.0f);
    EXPECT_EQ(layout.terrain.posY, 768 - 30);
    EXPECT_EQ(layout.hoverUnit.posXLabels, 1024 - 290);
    EXPECT_EQ(layout.hoverUnit.boost, CUnitPanel::defaultBoost) << "the preview label is optional";
    // The finish texts are upper case, the label keeps its case.
    EXPECT_EQ(layout.finish.head + layout.finish.team2 + layout.finish.label, " TEAM WINSBLUELeave the Game");
    EXPECT_EQ(layout.finish.box.upperLeftY, 768 - (-110 + 384));
    EXPECT_FALSE(LayoutElementLoaded(layout, "comment"));

    CInterfaceLayout nothing;
    EXPECT_FALSE(CInterfaceLayoutReader(screenWidth, screenHeight).Load("Interface\\missing.xml", nothing));
    EXPECT_TRUE(nothing.boxes.empty() && nothing.terrain.head.empty() && !nothing.fontRegular.loaded);
}

// A sub-file lacking any one key stores nothing; every other element still loads.
TEST_F(InterfaceTest, AFileMissingAnyOneKeyStoresNothing) {
    files.Write();
    for (const CLayoutFile& file : files.files) {
        if (file.key == "boxes") {
            continue;
        }
        for (const auto& value : file.values) {
            CLayoutFile lacking = file;
            lacking.Remove(value.first);
            WriteFile("Interface/" + file.name, lacking.Text());
            CInterfaceLayout layout;
            CInterfaceLayoutReader(screenWidth, screenHeight).Load("Interface\\interface.xml", layout);
            EXPECT_FALSE(LayoutElementLoaded(layout, file.key)) << file.name << " without " << value.first;
            for (const CLayoutFile& other : files.files) {
                if (other.key != file.key) {
                    EXPECT_TRUE(LayoutElementLoaded(layout, other.key))
                        << other.key << " after " << file.name << " lost a key";
                }
            }
        }
        WriteFile("Interface/" + file.name, file.Text());
    }
}

TEST_F(InterfaceTest, BoxListsEndAtTheFirstMissingOrIncompleteEntry) {
    const struct {
        std::string entries;
        size_t      boxes;
    } cases[] = {
        {"", 0},
        {BoxEntry(0, "1", "2", "3", "4"), 1},
        {BoxEntry(0, "1", "2", "3", "4") + BoxEntry(1, "5", "6", "7", "8") + BoxEntry(2, "9", "9", "9", "9"), 3},
        {BoxEntry(0, "1", "2", "3", "4") + BoxEntry(1, "5", "6", "7", "8") + BoxEntry(3, "9", "9", "9", "9"), 2},
        {BoxEntry(0, "1", "2", "3", "4") + BoxEntry(1, "5", "6", "7", "8", false) + BoxEntry(2, "9", "9", "9", "9"), 1},
    };
    for (const auto& test : cases) {
        files.boxes                   = test.entries;
        const CInterfaceLayout layout = Load();
        EXPECT_EQ(layout.boxes.size(), test.boxes) << test.entries;
        if (test.boxes >= 2) {
            EXPECT_EQ(layout.boxes[1].upperLeftX, 5);
            EXPECT_EQ(layout.boxes[1].lowerRightY, 8);
            EXPECT_FLOAT_EQ(layout.boxes[1].team2.blue, 1.0f);
        }
    }
}

// Every edge of (432, 42)..(592, 68) belongs to the button, in a stretched window too.
TEST_F(InterfaceTest, HoverBoundsAreInclusiveOnEveryEdgeAtAnyWindowSize) {
    files.Write();
    CInterface hud("Interface\\interface.xml", screenWidth, screenHeight);
    const struct {
        int  x, y;
        bool over;
    } points[] = {{432, 42, true},  {592, 42, true},  {432, 68, true},  {592, 68, true}, {500, 55, true},
                  {431, 55, false}, {593, 55, false}, {500, 41, false}, {500, 69, false}};
    for (const int scale : {2, 1, -2}) { // -2: half as wide
        const int width = scale > 0 ? scale * screenWidth : screenWidth / 2, height = std::max(scale, 1) * screenHeight;
        for (const auto& point : points) {
            if (scale < 0 && point.x != 500) {
                continue; // a narrower window's pixel shows two layout columns
            }
            hud.UpdateHover(point.x * width / screenWidth + (scale > 1), point.y * height / screenHeight + (scale > 1),
                            width, height);
            EXPECT_EQ(hud.IsEndTurnHovered(), point.over)
                << "layout " << point.x << ", " << point.y << " in a " << width << " x " << height << " window";
        }
    }
    // Once finished only the finish button, (402, 422)..(622, 450), follows the mouse.
    hud.UpdateHover(500, 55, screenWidth, screenHeight);
    hud.SetFinished();
    hud.UpdateHover(2 * 622 + 1, 2 * 450 + 1, 2 * screenWidth, 2 * screenHeight);
    EXPECT_TRUE(hud.IsFinishButtonHovered());
    EXPECT_TRUE(hud.IsEndTurnHovered()) << "left as it was";
    hud.UpdateHover(2 * 622 + 1, 2 * 451, 2 * screenWidth, 2 * screenHeight);
    EXPECT_FALSE(hud.IsFinishButtonHovered());
}

TEST_F(InterfaceTest, OneMessageAtATime) {
    files.Write();
    CInterface hud("Interface\\interface.xml", screenWidth, screenHeight);
    EXPECT_TRUE(hud.ShowMessage(7, 1)) << "an unknown kind starts nothing but succeeds";
    EXPECT_FALSE(hud.IsMessageRunning());
    EXPECT_TRUE(hud.ShowMessage(CInterface::messageTurn, 2));
    EXPECT_EQ(hud.GetMessage().GetText(), "Blue's turn");
    EXPECT_FALSE(hud.ShowMessage(CInterface::messageGoodAttack, 1));
    EXPECT_EQ(hud.GetMessage().GetKind(), CMessageAnimation::turn) << "the running message is unchanged";
    EXPECT_FALSE(hud.ShowMessage(CInterface::messageTurn, 1));
    EXPECT_EQ(hud.GetMessage().GetText(), "Blue's turn");
}

// The turn message is frozen without frame time and ends after 1.5 seconds.
TEST(MessageAnimationTest, TurnMessageRunsItsCourse) {
    CMessageAnimation animation;
    animation.Start(CMessageAnimation::turn, "text");
    CMessagePose pose;
    EXPECT_TRUE(animation.Advance(0.0f, pose));
    EXPECT_NEAR(pose.shear, -15.0f, 1e-4f);
    int frames = 1; // the last frame is drawn once more
    while (frames < 1000 && animation.Advance(0.01f, pose)) {
        ++frames;
    }
    EXPECT_NEAR(frames * 0.01f, 1.5f, 0.03f);
    EXPECT_NEAR(pose.shear, 15.0f, 1e-4f);
}

} // namespace
