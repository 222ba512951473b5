#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "GlFixture.h"
#include "HostileFiles.h"
#include "TestSupport.h"
#include "rules/GridManager.h"
#include "rules/TerrainTypes.h"
#include "view/BattleView.h"
#include "rules/TeamFile.h"
#include "core/TerrainParams.h"
#include "rules/UnitFile.h"
#include "rules/UnitLimits.h"
#include "platform/MessageBox.h"
#include "core/BmpHandler.h"
#include "render/Model.h"
#include "render/ModelTools.h"
#include "render/TextureManager.h"
#include "render/WorldObjects.h"
#include "ui/Interface.h"

// Every loader of a file players edit and share meets damaged and hostile
// versions of it: it gives its safe result, names the file in the log, returns.
namespace {

constexpr int samples = 33; // one terrain patch

std::string TriangleModel(float farX) {
    const std::vector<uint8_t> bytes = ModelTools::HandMadeModel(0, {farX, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 1, 2, 0});
    return std::string(bytes.begin(), bytes.end());
}

std::string UnitFile(const std::string& model, CKeyValues replace = {}) {
    replace.insert(replace.begin(), {{"filename", model}, {"hitpoints", "500"}});
    return UnitFileText(replace);
}

std::string ObjectEntry(int number, const std::string& model, const std::string& scale) {
    const std::string n = std::to_string(number);
    return "<" + n + "><filename>" + model + "</filename><positionX>100</positionX><positionY>100</positionY>" +
           "<rotation>0</rotation><scale>" + scale + "</scale></" + n + ">\n";
}

// A triangle whose vertex list claims `count` vertices and, with `lyingLength`,
// a second editor chunk holding a chunk that claims 1000 bytes.
std::string LyingModel(uint16_t count, bool lyingLength) {
    using ModelTools::CChunkWriter;
    std::vector<uint8_t> model       = ModelTools::HandMadeModel(0, {2.5f, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 1, 2, 0});
    const uint8_t        vertices[2] = {CModelFile::chunkVertices & 0xFF, CModelFile::chunkVertices >> 8};
    const size_t         at = std::search(model.begin(), model.end(), vertices, vertices + 2) - model.begin() + 6;
    model[at]               = static_cast<uint8_t>(count);
    model[at + 1]           = static_cast<uint8_t>(count >> 8);
    if (lyingLength) {
        const std::vector<uint8_t> editor =
            CChunkWriter::Chunk(CModelFile::chunkEditor, CChunkWriter::Chunk(0x1234, {'x', 'y'}, 1000));
        model = CChunkWriter::Chunk(CModelFile::chunkPrimary,
                                    ModelTools::Join({std::vector<uint8_t>(model.begin() + 6, model.end()), editor}));
    }
    return std::string(model.begin(), model.end());
}

// The level every loader works in: one terrain patch, a sphere model.
class DamagedDataGlTest : public GlSceneTest {
protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        WriteTestLevel("maxwidth=320\nmaxheight=255\n", Bitmap(samples));
        MakeFolders("TestLevel/Skydome");
        MakeFolders("units");
        ASSERT_TRUE(ModelTools::ExportModel("objects", "ball", ModelTools::SphereObj(2.5f, "paint"),
                                            "newmtl paint\nKd 0.8 0.8 0.8\n"));
        level = std::make_unique<CBattleView>("TestLevel");
        ASSERT_TRUE(level->IsLoaded());
        unlink("log_error.txt"); // the level's own missing textures are not this test's
    }
    void TearDown() override {
        level.reset();
        GlSceneTest::TearDown();
    }

public:
    std::string  Log() const { return ReadFile("log_error.txt"); }
    CBattleView& Level() { return *level; }
    using GlSceneTest::app;

protected:
    CTempWorkDir                 dir;
    std::unique_ptr<CBattleView> level;
};

struct CLoader {
    const char*                  label;
    const char*                  path; // of the file it reads, relative, slashes
    FileKind                     kind;
    std::function<std::string()> good;
    std::function<bool(CBattleView& level, const std::string& gamePath)> load; // true: loaded
    const char* failureLine;   // what the loader logs when its file cannot be read; nullptr: nothing
    bool        silentWhenCut; // a cut file loads what it holds, silently
};

const std::vector<CLoader>& Loaders() {
    const auto loadTexture = [](CBattleView& level, const std::string& path) {
        return level.GetTextures()->LoadTexture(path.c_str(), false) != 0;
    };
    static const std::vector<CLoader> loaders = {
        {"UnitFile", "units/scout.xml", FileKind::text, [] { return UnitFile("ball.3ds"); },
         [](CBattleView&, const std::string& path) { return CUnitFile().Load(path.c_str()); },
         "CUnitManager::LoadUnit: Couldn't load unit file", false},
        {"TeamFile", "TestLevel/team1.xml", FileKind::text,
         [] {
             return TeamFileText(TeamEntry(0, {"scout.xml", 1, 2, 0, 1}), "s.xml");
         },
         [](CBattleView&, const std::string& path) { return CTeamFile().Load(path.c_str()); },
         "CTeamFile::Load: Couldn't load team file", false},
        {"ObjectList", "TestLevel/objects.xml", FileKind::text,
         [] { return "<objects>\n" + ObjectEntry(0, "ball.3ds", "1") + "</objects>\n"; },
         [](CBattleView& level, const std::string& path) {
             CWorldObjects objects(path.c_str(), level.GetTextures(), level.GetHeightmap());
             return objects.LoadObjects() && objects.GetCount() == 1;
         },
         "CWorldObjects::LoadObjects: Couldn't load object list", true},
        {"TileFile", "TestLevel/Terrain/tiles.xml", FileKind::text, UsableTilesText,
         [](CBattleView& level, const std::string& path) {
             const CGridManager grid(path.c_str(), level.GetHeightmap());
             return grid.GetTile(0, 0).terrainType == 0;
         },
         "CGridManager::LoadTiles: Couldn't load tile file", true},
        {"TerrainParams", "TestLevel/Terrain/params.ini", FileKind::text,
         [] { return std::string("maxwidth=320\nmaxheight=255\n"); },
         [](CBattleView&, const std::string& path) { return CTerrainParams().Load(path.c_str()); },
         "CTerrainParams::Load: ", false},
        {"BmpTexture", "TestLevel/Terrain/grass.bmp", FileKind::image, [] { return Bitmap(16); }, loadTexture,
         "CTextureManager::LoadTexture: Couldn't load texture", false},
        {"TgaSkyFace", "TestLevel/Skydome/top.tga", FileKind::image,
         [] {
             ConvertRawImage(std::vector<uint8_t>(8 * 8 * 3, 0x50), "rgb", 8, 8, "tga:sky.tga");
             return ReadFile("sky.tga");
         },
         loadTexture, "CTextureManager::LoadTexture: Couldn't load texture", false},
        {"Model", "objects/crate.3ds", FileKind::model, [] { return ReadFile("objects/ball.3ds"); },
         [](CBattleView& level, const std::string& path) {
             return CModel(path.c_str(), level.GetTextures()).GetMeshCount() > 0;
         },
         "Error: Unable to", false},
        {"Heightmap", "TestLevel/Terrain/other.bmp", FileKind::image, [] { return Bitmap(samples); },
         [](CBattleView&, const std::string& path) {
             CBmpHandler image;
             image.Load(path.c_str(), false);
             return image.GetWidth() == samples;
         },
         nullptr, false},
    };
    return loaders;
}

class HostileFileGlTest : public DamagedDataGlTest,
                          public ::testing::WithParamInterface<std::tuple<CLoader, CHostileCase>> {};

INSTANTIATE_TEST_SUITE_P(Loaders, HostileFileGlTest,
                         ::testing::Combine(::testing::ValuesIn(Loaders()), ::testing::ValuesIn(HostileCases())),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).label) + std::get<1>(info.param).label;
                         });

TEST_P(HostileFileGlTest, IsRefusedWithALineAndTheSafeResult) {
    const auto& [loader, hostile] = GetParam();
    WriteFile(loader.path, loader.good());
    const std::string path   = MakeHostile(hostile.hostility, loader.path, loader.kind);
    bool              loaded = true;
    {
        CWatchdog watchdog(30, path.c_str());
        loaded = loader.load(*level, path);
    }
    EXPECT_FALSE(loaded);
    const std::string log = Log();
    if (hostile.gateReason != nullptr) {
        EXPECT_GE(CountLinesWith(log, "refused " + path + ": " + hostile.gateReason), 1) << log;
    }
    if (loader.failureLine != nullptr) {
        EXPECT_EQ(CountLinesWith(log, loader.failureLine), 1) << "the loader names its file once:\n" << log;
        EXPECT_GE(CountLinesWith(log, path), 1) << log;
    }
}

class LoaderGlTest : public DamagedDataGlTest, public ::testing::WithParamInterface<CLoader> {};

INSTANTIATE_TEST_SUITE_P(Loaders, LoaderGlTest, ::testing::ValuesIn(Loaders()),
                         [](const auto& info) { return std::string(info.param.label); });

// The whole file loads silently; cut anywhere, what is sound loads, the rest is
// refused with a line, and nothing is read past the end (the sanitizer checks).
TEST_P(LoaderGlTest, WholeFileLoadsSilentlyACutOneWhatItHolds) {
    const std::string whole = GetParam().good();
    WriteFile(GetParam().path, whole);
    EXPECT_TRUE(GetParam().load(*level, GetParam().path));
    EXPECT_EQ(Log(), "");
    for (const size_t cut :
         {size_t{0}, size_t{1}, whole.size() / 4, whole.size() / 2, whole.size() * 3 / 4, whole.size() - 1}) {
        unlink("log_error.txt");
        const std::string path = std::string(GetParam().path) + "." + std::to_string(cut);
        WriteFile(path, whole.substr(0, cut));
        CWatchdog  watchdog(30, path.c_str());
        const bool loaded = GetParam().load(*level, path);
        if (!loaded && !GetParam().silentWhenCut) {
            EXPECT_NE(Log(), "") << "cut at " << cut << " of " << whole.size() << " failed without a line";
        }
    }
}

TEST_F(DamagedDataGlTest, AbsurdUnitValuesAreBoundedWithALine) {
    WriteFile("units/odd.xml", UnitFile("ball.3ds", {{"hitpoints", "0"},
                                                     {"defense", "99999999999"},
                                                     {"attack", "-7"},
                                                     {"movement", "2147483647"},
                                                     {"speed", "1e39"}}));
    CUnitFile file;
    ASSERT_TRUE(file.Load("units\\odd.xml"));
    EXPECT_EQ(file.GetUnit().hitpoints, CUnitLimits::minHitpoints);
    EXPECT_EQ(file.GetUnit().maxHitpoints, CUnitLimits::minHitpoints) << "the maximum follows the bounded value";
    EXPECT_EQ(file.GetUnit().defense, CUnitLimits::maxStrength) << "a number beyond int";
    EXPECT_EQ(file.GetUnit().movement, CUnitLimits::maxRange);
    EXPECT_FLOAT_EQ(file.GetMedia().speed, CUnitLimits::maxSpeed);
    EXPECT_EQ(CountLinesWith(Log(), "CUnitLimits: units\\odd.xml: "), 5) << Log();
}

TEST_F(DamagedDataGlTest, ObjectsWithAbsurdScalesAreSkippedWithALine) {
    WriteFile("TestLevel/objects.xml", "<objects>\n" + ObjectEntry(0, "ball.3ds", "0") +
                                           ObjectEntry(1, "ball.3ds", "-2") + ObjectEntry(2, "ball.3ds", "1e30") +
                                           ObjectEntry(3, "ball.3ds", "1.5") + ObjectEntry(4, "ball.3ds", "1e-9") +
                                           ObjectEntry(5, "ball.3ds", "nan") + "</objects>\n");
    CWorldObjects objects("TestLevel\\objects.xml", level->GetTextures(), level->GetHeightmap());
    EXPECT_TRUE(objects.LoadObjects());
    ASSERT_EQ(objects.GetCount(), 1) << "only the sound scale is placed, and the list goes on after a skip";
    EXPECT_FLOAT_EQ(objects.GetObjectByIndex(0)->GetScale(), 1.5f);
    EXPECT_TRUE(std::isfinite(objects.GetObjectByIndex(0)->GetRadius()));
    EXPECT_EQ(CountLinesWith(Log(), "CWorldObjects::LoadObjects: TestLevel\\objects.xml: object "), 5) << Log();
}

// Each class of damage a level pack may hold, and the line that names it.
struct CDamageClass {
    const char*                             label;
    const char*                             path; // relative, slashes; nullptr: nothing written
    std::string                             content;
    std::function<void(DamagedDataGlTest&)> load;
    const char*                             line;
};

const std::vector<CDamageClass>& DamageClasses() {
    const auto types   = [](DamagedDataGlTest&) { CTerrainTypes("Terrain\\terraintypes.xml"); };
    const auto objects = [](DamagedDataGlTest& test) {
        CWorldObjects("TestLevel\\objects.xml", test.Level().GetTextures(), test.Level().GetHeightmap()).LoadObjects();
    };
    const auto model = [](DamagedDataGlTest& test) { CModel("objects\\odd.3ds", test.Level().GetTextures()); };
    static const std::vector<CDamageClass> classes = {
        {"TeamWithoutUnits", "TestLevel/team1.xml", "<effectSpecial>s.xml</effectSpecial><units></units>",
         [](DamagedDataGlTest&) { CTeamFile().Load("TestLevel\\team1.xml"); }, "holds no complete unit entry"},
        {"TerrainTypesMissing", nullptr, "", types, "Couldn't load terrain types Terrain\\terraintypes.xml"},
        {"TerrainTypesEmpty", "Terrain/terraintypes.xml", "", types, "lists no terrain types"},
        {"TerrainValueNaN", "Terrain/terraintypes.xml",
         "<terraintypes><0><name>g</name><attack>nan</attack><defense>1</defense><movement>1</movement></0>"
         "</terraintypes>",
         types, "type 0: attack is not a finite number"},
        {"TileIdUnknown", "TestLevel/Terrain/terrain.xml",
         "<tiles><0><usable>1</usable><terrainID>7</terrainID></0></tiles>",
         [](DamagedDataGlTest&) {
             WriteFile("Terrain/terraintypes.xml", "<terraintypes><0><name>g</name><attack>0</attack><defense>0"
                                                   "</defense><movement>1</movement></0></terraintypes>");
             CBattleView("TestLevel");
         },
         "have no terrain type of the 1 known, the first at (0, 0) with 7"},
        {"FontDescriptionMissing", "Interface/interface.xml", "<fontregular>fontregular.xml</fontregular>",
         [](DamagedDataGlTest&) { CInterface("Interface\\interface.xml", 800, 600); },
         "Couldn't load interface file interface\\fontregular.xml"},
        {"VertexProgramMissing", nullptr, "",
         [](DamagedDataGlTest& test) {
             test.app->options.vertexShader = test.app->options.multitexture = true;
             CWorldObjects("TestLevel\\objects.xml", test.Level().GetTextures(), test.Level().GetHeightmap());
         },
         "vertex program shader\\celshadermulti.vsh is missing"},
        {"ObjectListCut", "TestLevel/objects.xml", "<objects>\n<0><filename>ball.3ds</filename><positionX>1", objects,
         "object 0 lacks a value"},
        {"ModelCountLies", "objects/odd.3ds", LyingModel(200, false), model, "1 list counts claim more"},
        {"ModelLengthLies", "objects/odd.3ds", LyingModel(3, true), model, "1 chunk lengths claim more"},
        {"ModelVertexNaN", "objects/odd.3ds", TriangleModel(std::nanf("")), model,
         "1 vertex coordinates are not finite"},
    };
    return classes;
}

class DamageClassGlTest : public DamagedDataGlTest, public ::testing::WithParamInterface<CDamageClass> {};

INSTANTIATE_TEST_SUITE_P(Classes, DamageClassGlTest, ::testing::ValuesIn(DamageClasses()),
                         [](const auto& info) { return std::string(info.param.label); });

// Handled safely, named in exactly one line; no line of the log comes twice.
TEST_P(DamageClassGlTest, IsNamedInOneLine) {
    MakeFolders("Terrain");
    MakeFolders("Interface");
    if (GetParam().path != nullptr) {
        WriteFile(GetParam().path, GetParam().content);
    }
    GetParam().load(*this);
    const std::string log = FileExists("log_error.txt") ? Log() : "";
    EXPECT_EQ(CountLinesWith(log, GetParam().line), 1) << log;
    std::istringstream lines(log);
    std::string        line;
    while (std::getline(lines, line)) {
        EXPECT_EQ(CountLinesWith(log, line), 1) << "repeated: " << line;
    }
}

// Many broken models: one box lists them all, the log keeps one line each.
TEST_F(DamagedDataGlTest, ManyMissingModelsShowOneBoxThatListsThem) {
    {
        const CMessageBoxBatch oneBox;
        for (const char* name : {"objects\\a.3ds", "objects\\b.3ds", "objects\\c.3ds"}) {
            CModel(name, level->GetTextures());
        }
        EXPECT_TRUE(CMessageBox::GetRecorded().empty()) << "held until the batch ends";
    }
    const std::vector<CMessageBoxRecord>& boxes = CMessageBox::GetRecorded();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(CountLinesWith(boxes[0].text, "Error: Unable to find the file: objects\\"), 3) << boxes[0].text;
    EXPECT_EQ(CountLinesWith(Log(), "Error: Unable to find the file: objects\\"), 3) << Log();
}

} // namespace
