#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/ConfigDialog.h"
#include "core/PropertyFile.h"

namespace {

constexpr int idFullscreen    = 1007;
constexpr int idEditorMode    = 1006;
constexpr int idFramerate     = 1009;
constexpr int idVertexBuffers = 1008;
constexpr int idSound         = 1014;

const std::vector<CDisplayMode> threeModes = {{1024, 768, 32, 60}, {800, 600, 32, 75}, {1280, 1024, 32, 60}};

std::string ValueOf(const char* key) {
    CPropertyFile         settings(CConfigDialog::settingsFileName);
    const CPropertyEntry* entry = settings.FindProperty(key);
    return entry != nullptr ? entry->value : "(missing)";
}

// The usable modes are listed and stored in order; with none, a start stores every box but no last choice.
TEST(ConfigDialog, StoresAndListsTheKeptModesInOrder) {
    const struct {
        std::vector<CDisplayMode> modes;
        const char*               list;
    } cases[] = {
        {threeModes, "1024x768:32@60 800x600:32@75 1280x1024:32@60"},
        {{{640, 480, 16, 60}, {639, 480, 32, 60}, {640, 479, 32, 60}, {800, 600, 8, 60}, {800, 600, 15, 60}},
         "640x480:16@60"},
        {{{800, 600, 32, 60}, {800, 600, 32, 60}}, "800x600:32@60 800x600:32@60"},
        {{{1280, 1024, 32, 0}}, "1280x1024:32@0"},
        {{{320, 200, 8, 70}}, ""},
    };
    for (const auto& test : cases) {
        CTempWorkDir  dir;
        CConfigDialog dialog;
        dialog.Initialise(test.modes);
        EXPECT_EQ(CConfigDialog::FormatModeList(test.modes), test.list);
        std::istringstream             list(test.list);
        const std::vector<std::string> items{std::istream_iterator<std::string>(list), {}};
        EXPECT_EQ(dialog.GetItems(), items);
        EXPECT_EQ(dialog.GetSelection(), items.empty() ? -1 : 0);
        EXPECT_EQ(ValueOf("resolutions"), items.empty() ? "(missing)" : test.list);
        dialog.Start();
        EXPECT_EQ(ValueOf("lastresolution"), items.empty() ? "(missing)" : items[0]);
        EXPECT_EQ(ValueOf("fullscreen"), "0") << test.list;
    }
}

// The first item beginning with the last choice (any case) is selected, else the first; non-zero keys check boxes.
TEST(ConfigDialog, SelectsTheLastChoiceAndChecksTheBoxesOfNonZeroKeys) {
    const struct {
        const char* settings;
        int         selection;
        const char* boxes; // fullscreen, frame rate, sound
    } cases[] = {
        {"lastresolution=800x600:32@75\nfullscreen=1\nfps=0\nsound=1\n", 2, "101"},
        {"lastresolution=1024x768\nfullscreen=-3\nfps=12\nsound=2x\n", 0, "111"},
        {"lastresolution=1024x768:32@75\nfullscreen=yes\nfps=on\nsound=x1\n", 1, "000"},
        {"lastresolution=1280X1024\n", 3, "000"},
        {"lastresolution=1600x1200:32@60\n", 0, "000"},
        {"lastresolution=800x600:32@75 extra\n", 0, "000"},
        {"", 0, "000"},
        {"\x01\x02\xff==\n\n=\n", 0, "000"},
    };
    for (const auto& test : cases) {
        CTempWorkDir dir;
        WriteFile(CConfigDialog::settingsFileName, test.settings);
        CConfigDialog dialog;
        dialog.Initialise({{1024, 768, 32, 60}, {1024, 768, 32, 75}, {800, 600, 32, 75}, {1280, 1024, 32, 60}});
        EXPECT_EQ(dialog.GetSelection(), test.selection) << test.settings;
        const std::string boxes = {"01"[dialog.IsChecked(idFullscreen)], "01"[dialog.IsChecked(idFramerate)],
                                   "01"[dialog.IsChecked(idSound)]};
        EXPECT_EQ(boxes, test.boxes) << test.settings;
    }
}

TEST(ConfigDialog, StartRewritesExistingKeysWithTheNewChoices) {
    CTempWorkDir dir;
    WriteFile(CConfigDialog::settingsFileName,
              "resolutions=640x480:16@60\nlastresolution=800x600\nfullscreen=1\nvbo=1\neditormode=1\nsound=1\n"
              "red=normal\nblue=robot\nnetwork=join\naddress=10.0.0.2:4000\n");
    CConfigDialog dialog;
    dialog.Initialise(threeModes);
    EXPECT_EQ(dialog.GetSelection(), 1);
    EXPECT_EQ(dialog.GetListSelection(CConfigDialog::idRedSeat), 2);
    EXPECT_EQ(dialog.GetListSelection(CConfigDialog::idBlueSeat), 0) << "an unknown seat is a person";
    EXPECT_EQ(dialog.GetListSelection(CConfigDialog::idNetwork), 2);
    EXPECT_EQ(dialog.GetText(CConfigDialog::idAddress), "10.0.0.2:4000");
    dialog.SetListSelection(CConfigDialog::idNetwork, 1);
    dialog.SetListSelection(CConfigDialog::idBlueSeat, 4);
    dialog.SetText(CConfigDialog::idAddress, "4100\nred=hard");
    EXPECT_TRUE(dialog.IsChecked(idEditorMode));
    dialog.SetChecked(idEditorMode, false);
    dialog.SetChecked(idVertexBuffers, false);
    dialog.SetSelection(0);
    dialog.Start();

    // A typed line break in the address adds no setting.
    for (const char* stored : {"lastresolution=1024x768:32@60", "editormode=0", "vbo=0", "fullscreen=1", "sound=1",
                               "blue=network", "network=host", "address=4100", "red=normal"}) {
        const std::string pair = stored, key = pair.substr(0, pair.find('='));
        EXPECT_EQ(key + "=" + ValueOf(key.c_str()), pair);
    }
}

// Hundreds of modes: the list is cut at whole items and its line survives the settings file's next read.
TEST(ConfigDialog, AnOverlongModeListIsCutToFitOneSettingsLine) {
    CTempWorkDir              dir;
    std::vector<CDisplayMode> modes;
    for (int index = 0; index < 1000; ++index) {
        modes.push_back({1000 + index, 1000 + index, 32, 60}); // "1000x1000:32@60" is 15 characters
    }
    CConfigDialog dialog;
    dialog.Initialise(modes);
    const std::string list = CConfigDialog::FormatModeList(modes);
    EXPECT_LT(list.size(), CConfigDialog::modeListSize);
    EXPECT_LE(list.size() + sizeof "resolutions=" - 1, static_cast<size_t>(CPropertyFile::maxLineLength));
    EXPECT_EQ(list.size() % 16, 15u) << "whole items only";
    EXPECT_EQ(dialog.GetItems().size(), (list.size() + 1) / 16);
    EXPECT_GT(dialog.GetItems().size(), 400u);

    EXPECT_EQ(ValueOf("resolutions"), list);
    EXPECT_NE(ReadFile("log_error.txt").find("display modes fit"), std::string::npos);
}

// A level folder with every file, then with one thing broken per case.
void MakeLevel(const std::string& name, const std::string& broken) {
    MakeFolders(name + "/Terrain");
    WriteFile(name + "/Terrain/ter_params.ini", broken == "params" ? "maxwidth=0\n" : "maxwidth=320\nmaxheight=255\n");
    WriteFile(name + "/Terrain/ter_heightmap.bmp", Bitmap(broken == "size" ? 48 : 33));
    for (const char* file : {"/Terrain/terrain.xml", "/team1.xml", "/team2.xml"}) {
        if (broken != file) {
            WriteFile(name + file, "<x/>\n");
        }
    }
}

// Levels are listed by name, unusable ones with the reason and never selectable; the saved level is
// selected when usable, else the default; the game's choice falls back the same way.
TEST(ConfigDialog, ListsTheLevelsAndOffersOnlyThoseThatCanBePlayed) {
    CTempWorkDir dir;
    MakeLevel("TestLevel", "");
    MakeLevel("Islands", "");
    WriteFile("Islands/preview.bmp", Bitmap(8));
    MakeLevel("NoTeam", "/team2.xml");
    MakeLevel("Odd", "size");
    MakeLevel("Flat", "params");
    MakeFolders("units");
    const std::vector<std::string> expected = {
        "Flat (cannot be played: Terrain/ter_params.ini lacks a positive maxwidth or maxheight)", "Islands",
        "NoTeam (cannot be played: no team2.xml)",
        "Odd (cannot be played: the heightmap's 48 samples a side are not 32 k + 1 (k = 1, 2, 4 ... 32))", "TestLevel"};
    const CLevelCatalog catalog;
    struct Case {
        const char* saved;
        int         selected;
    } cases[] = {{"Islands", 1}, {"NoTeam", 4}, {"Missing", 4}, {nullptr, 4}};
    for (const Case& c : cases) {
        WriteFile(CConfigDialog::settingsFileName, c.saved != nullptr ? std::string("level=") + c.saved + "\n" : "");
        CConfigDialog dialog;
        dialog.Initialise(threeModes, catalog.GetLevels());
        EXPECT_EQ(dialog.GetLevelItems(), expected);
        EXPECT_EQ(dialog.GetLevelSelection(), c.selected) << (c.saved ? c.saved : "none");
        EXPECT_EQ(catalog.Choose(c.saved != nullptr ? c.saved : ""), catalog.GetLevels()[c.selected].name);
    }
    CConfigDialog dialog;
    dialog.Initialise(threeModes, catalog.GetLevels());
    EXPECT_EQ(dialog.GetPreview().width, 0) << "TestLevel has no picture";
    dialog.SetLevelSelection(2);
    EXPECT_EQ(dialog.GetLevelSelection(), 4) << "NoTeam is not offered";
    dialog.SetLevelSelection(1);
    EXPECT_EQ(dialog.GetPreview().rgb.size(), 8u * 8u * 3u);
    dialog.Start();
    EXPECT_EQ(ValueOf("level"), "Islands");
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), "CLevelCatalog: level \""), 2) << "NoTeam and Missing";
}

} // namespace
