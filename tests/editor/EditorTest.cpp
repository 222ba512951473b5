#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "app/Input.h"
#include "core/XmlFile.h"
#include "editor/Editor.h"
#include "rules/GridManager.h"
#include "core/Heightmap.h"
#include "rules/TerrainTypes.h"
#include "platform/KeyState.h"

// The editor's choices, painting, input, and saves that keep the old file
// whenever the new one cannot be written whole.
namespace {

void WriteTypes(int count) {
    std::string text = "<terraintypes>\n";
    for (int n = 0; n < count; ++n) {
        const std::string tag = std::to_string(n);
        text += "<" + tag + "><name>type" + tag + "</name><attack>" + tag +
                ".5</attack><defense>1</defense><movement>2</movement></" + tag + ">\n";
    }
    WriteFile("types.xml", text + "</terraintypes>\n");
}

TEST(Editor, FunctionKeysStepAndWrapScaleAndRotation) {
    struct {
        int                key;
        float              start;
        std::vector<float> expected; // after each press
    } const cases[] = {
        {9, 348.75f, {360.0f, 0.0f, 11.25f}},  // 360 is shown before the wrap
        {10, 11.25f, {0.0f, 360.0f, 348.75f}}, // 0 stays, below 0 wraps
        {7, 9.998f, {10.0f, 10.0f}},
        {8, 0.102f, {0.1f, 0.1f}},
    };
    for (const auto& test : cases) {
        CEditor    editor;
        const bool rotating = test.key >= 9;
        rotating ? editor.SetRotation(test.start) : editor.SetScale(test.start);
        for (const float expected : test.expected) {
            EXPECT_TRUE(editor.OnFunctionKey(test.key));
            EXPECT_FLOAT_EQ(rotating ? editor.GetRotation() : editor.GetScale(), expected) << "F" << test.key;
        }
    }
    EXPECT_FALSE(CEditor().OnFunctionKey(4)) << "F4 does nothing in editor mode";

    // Held, a scale key repeats after the delay; a stalled frame repeats a few times only.
    CEditor held;
    held.OnFunctionKey(7);
    held.Update(CEditor::repeatDelay - 0.01f);
    EXPECT_NEAR(held.GetScale(), CEditor::defaultScale + CEditor::scaleStep, 1e-4f);
    held.Update(0.01f + 2.5f * CEditor::repeatInterval);
    EXPECT_NEAR(held.GetScale(), CEditor::defaultScale + 4 * CEditor::scaleStep, 1e-4f);
    held.Update(60.0f);
    const float afterStall = CEditor::defaultScale + (4 + CEditor::maxRepeatsPerFrame) * CEditor::scaleStep;
    EXPECT_NEAR(held.GetScale(), afterStall, 1e-4f);
    held.OnFunctionKeyUp(7);
    held.Update(1.0f);
    EXPECT_NEAR(held.GetScale(), afterStall, 1e-4f) << "released";
}

TEST(Editor, TerrainTypesAndModelsCycleAndTheOverlayNamesThem) {
    CTempWorkDir dir;
    WriteTypes(3);
    MakeFolders("objects");
    WriteFile("objects/editor.xml", "<objects><0><filename>pine.3ds</filename></0><1><x>y</x></1>"
                                    "<2><filename>oak.3ds</filename></2><4><filename>no.3ds</filename></4></objects>");
    const CTerrainTypes types("types.xml");
    CEditor             editor;
    editor.Attach({nullptr, nullptr, &types, nullptr});
    editor.LoadObjectList("editor.xml");
    EXPECT_EQ(editor.GetObjectFiles(), (std::vector<std::string>{"pine.3ds", "oak.3ds"}))
        << "an entry without a file name is skipped, a gap ends the list";
    for (const int type : {1, 2, 0, 1}) {
        EXPECT_TRUE(editor.OnFunctionKey(11) && editor.GetTerrainType() == type) << type;
    }
    editor.OnFunctionKey(6);
    editor.OnFunctionKey(12);
    EXPECT_EQ(editor.GetOverlayLines()[2], "OBJECTS filename: oak.3ds, scale: 2.50, rotation: 0.00");
    EXPECT_EQ(editor.GetOverlayLines()[3],
              "TERRAIN TYPES usable: 0, name: type1, attack: 1.5, defense: 1.0, movement: 2.0");
    editor.OnFunctionKey(6);
    EXPECT_EQ(editor.GetCurrentObjectName(), "pine.3ds") << "F6 wraps to the first model";

    // No list and no terrain types: an empty name, nothing to place, type 0.
    CEditor empty;
    empty.LoadObjectList("missing.xml");
    empty.OnFunctionKey(6);
    empty.OnFunctionKey(11);
    EXPECT_EQ(empty.GetTerrainType(), 0);
    EXPECT_EQ(empty.PlaceObject(10.0f, 10.0f), -1);
    empty.DrawOverlay(); // no terrain: no marker to draw, and nothing to dereference
    EXPECT_EQ(empty.GetOverlayLines()[2], "OBJECTS filename: , scale: 2.50, rotation: 0.00");
}

// A flat map 100 world units high with water at 50: every tile is dry.
class EditorGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTypes(3);
        MakeFolders("level");
        grid.SetWaterHeight(50.0f);
        types = std::make_unique<CTerrainTypes>("types.xml");
        editor.Attach({nullptr, &grid, types.get(), nullptr});
    }

    CTempWorkDir                   dir;
    CHeightmap                     ground{33, std::vector<int>(33 * 33, 100), 320.0f, 255.0f};
    CGridManager                   grid{"level\\terrain.xml", &ground};
    std::unique_ptr<CTerrainTypes> types;
    CEditor                        editor;
};

TEST_F(EditorGridTest, PaintedTilesAreSeenAtOnceAndSavedForTheNextStart) {
    editor.OnFunctionKey(11);
    editor.OnFunctionKey(11);
    editor.PaintTile(5, 7);
    EXPECT_EQ(grid.GetTile(5, 7).terrainType, 2);
    EXPECT_TRUE(grid.IsTileUsable(5, 7)) << "the rules read the painted flag at once";
    editor.OnFunctionKey(12);
    editor.PaintTile(6, 7);
    EXPECT_FALSE(grid.IsTileUsable(6, 7));

    EXPECT_TRUE(editor.Save());
    EXPECT_EQ(editor.GetOverlayLines().end()[-2], "F5: saved level\\terrain.xml");
    const CGridManager reloaded("level\\terrain.xml", &ground); // the whole board's round trip is the grid's own test
    EXPECT_TRUE(reloaded.GetTile(5, 7).terrainType == 2 && reloaded.IsTileUsable(5, 7) && !reloaded.IsTileUsable(6, 7));
}

// Each way a save can fail or a shared data folder may redirect it: the old file
// survives unless the save is allowed (then keeping its permissions), nothing
// outside is written, no temporary file is left, and the overlay says so.
TEST_F(EditorGridTest, SavesKeepTheOldFileAndWriteNothingOutside) {
    const std::string outside = dir.Path() + ".outside";
    struct {
        const char*           name;
        bool                  needsNonRoot; // permissions do not stop root
        std::function<void()> arrange, restore;
        bool                  saves;
        const char*           notice; // the start of the overlay's line after the save
    } const cases[] = {
        {"the temporary name is a folder", false, [] { MakeFolders("level/terrain.xml.tmp"); },
         [] { rmdir("level/terrain.xml.tmp"); }, false, "F5: level\\terrain.xml NOT saved (File exists)"},
        {"a link to an outside file at the temporary name", false,
         [&] { symlink(outside.c_str(), "level/terrain.xml.tmp"); }, [] {}, true, "F5: saved"},
        {"the file is a link to an outside file", false,
         [&] {
             unlink("level/terrain.xml");
             symlink(outside.c_str(), "level/terrain.xml");
         },
         [] {}, false, "F5: level\\terrain.xml NOT saved (Operation not permitted)"},
        {"the file is read-only", false, [] { chmod("level/terrain.xml", 0444); }, [] {}, false,
         "F5: level\\terrain.xml NOT saved (read-only"},
        {"the folder is read-only", true, [] { chmod("level", 0555); }, [] { chmod("level", 0755); }, false,
         "F5: level\\terrain.xml NOT saved (read-only"},
    };
    const std::string old = "<tiles>\n<0>\n<usable>1</usable>\n<terrainID>1</terrainID>\n</0>\n</tiles>\n";
    for (const auto& test : cases) {
        if (test.needsNonRoot && geteuid() == 0) {
            continue;
        }
        unlink("level/terrain.xml");
        WriteFile("level/terrain.xml", old);
        chmod("level/terrain.xml", 0640);
        WriteFile(outside, old);
        unlink("log_error.txt");
        test.arrange();
        EXPECT_EQ(editor.Save(), test.saves) << test.name;
        test.restore();
        EXPECT_EQ(editor.GetSaveMessage().rfind(test.notice, 0), 0u) << editor.GetSaveMessage();
        EXPECT_EQ(ReadFile(outside), old) << test.name << ": a file outside the data folder was written";
        EXPECT_EQ(ReadFile("level/terrain.xml") == old, !test.saves) << test.name;
        EXPECT_FALSE(FileExists("level/terrain.xml.tmp")) << test.name << ": the temporary file is left behind";
        struct stat saved = {};
        EXPECT_TRUE(!test.saves || (stat("level/terrain.xml", &saved) == 0 && (saved.st_mode & 0777) == 0640u))
            << test.name << ": the new file keeps the old file's permissions";
        EXPECT_EQ(ReadFile("log_error.txt").find("level/terrain.xml could not be written") != std::string::npos,
                  !test.saves)
            << test.name << ": " << ReadFile("log_error.txt");
        chmod("level/terrain.xml", 0644);
    }
    unlink(outside.c_str());
    // A writer that stops inside an element does not replace the file either.
    CXmlFile xml;
    ASSERT_TRUE(xml.Open("level\\terrain.xml", CXmlFile::modeWriting));
    xml.BeginWriteElement("tiles");
    EXPECT_FALSE(xml.Close());
    EXPECT_EQ(ReadFile("level/terrain.xml"), old);
    // A file-size limit fails the save; the process (signal at its default) lives on.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit small = {4096, 4096};
        setrlimit(RLIMIT_FSIZE, &small);
        _exit(editor.Save() ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 3) << "the save must fail";
    EXPECT_EQ(ReadFile("level/terrain.xml"), old);
    EXPECT_FALSE(FileExists("level/terrain.xml.tmp"));
    EXPECT_NE(ReadFile("log_error.txt").find("File too large"), std::string::npos) << ReadFile("log_error.txt");
}

// Clicks and Delete reach the editor at the pick point, never the game, and only on the terrain.
TEST(EditorInput, ClicksAndDeleteActAtThePickPointOnly) {
    CKeyState::Reset();
    CMouseState     mouse;
    CInput          input(mouse, nullptr);
    bool            hit  = true;
    int             game = 0, places = 0, paints = 0, removes = 0;
    CInputCommands& commands = input.Commands();
    commands.click = commands.cancel = [&] { ++game; };
    commands.pickPoint               = [&](float& x, float& z) { return x = 7, z = 9, hit; };
    commands.placeObject             = [&](float x, float z) { places += x == 7 && z == 9; };
    commands.paintTile               = [&] { ++paints; };
    commands.removeObjectsNear       = [&](float x, float z) { removes += x == 7 && z == 9; };
    const CInputFrame frame{false, true, 0.02f, 800, 600};
    mouse.currentX = mouse.currentY = mouse.previousX = mouse.previousY = 400;

    mouse.buttons = mouseLeft | mouseRight;
    input.ProcessInput(frame);
    input.ProcessInput(frame); // held: one placement per press
    CKeyState::OnCharacter(127, true);
    input.ProcessInput(frame);
    input.ProcessInput(frame); // Delete held: removes every frame
    hit           = false;
    mouse.buttons = 0;
    input.ProcessInput(frame);
    mouse.buttons = mouseLeft | mouseRight;
    input.ProcessInput(frame); // off the terrain: nothing placed, painted or removed
    CKeyState::Reset();
    EXPECT_EQ(std::make_tuple(game, places, paints, removes), std::make_tuple(0, 1, 1, 2));
}

} // namespace
