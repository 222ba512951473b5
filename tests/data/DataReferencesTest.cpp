#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "DataFiles.h"
#include "core/XmlFile.h"
#include "platform/DataPath.h"
#include "render/ModelFile.h"
#include "rules/TeamFile.h"
#include "rules/UnitFile.h"
#include "fx/ParticleFile.h"
#include "ui/LayoutFiles.h"

// Every file that a data file names exists under data/ (by the game's own path patterns, backslashes and letter
// case included), and every interface, particle and unit file holds every key its loader requires.
namespace {

using DataFiles::Text;

// The interface index's sub-files, each an element of the layout.
const char* const layoutKeys[] = {"fontregular", "fonthead",     "fontfinish", "font3d",    "boxes",
                                  "terrain",     "selectedunit", "hoverunit",  "hitpoints", "curteam",
                                  "endturn",     "fpscounter",   "finish",     "pxinfos",   "comment"};

// Every effect file, as a path relative to data/.
std::vector<std::string> ParticleFiles() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(DataFiles::Folder() + "/particles")) {
        if (entry.path().extension() == ".xml") {
            files.push_back("particles/" + entry.path().filename().string());
        }
    }
    return files;
}

class CReferences {
public:
    void Add(const std::string& source, const std::string& gamePath) { names.insert({gamePath, source}); }

    // Through the game's own readers of team and unit files.
    void CollectTeams() {
        for (int team = 1; team <= 2; ++team) {
            const std::string path = "TestLevel\\team" + std::to_string(team) + ".xml";
            Add("the game", path);
            CTeamFile file;
            if (file.Load(path.c_str())) {
                Add(path, "particles\\" + file.GetEffectSpecial());
                for (const CTeamEntry& entry : file.GetEntries()) {
                    unitFiles.insert("units\\" + entry.fileName);
                }
            }
        }
        for (const std::string& path : unitFiles) {
            Add("a team file", path);
            CUnitFile unit;
            if (!unit.Load(path.c_str())) {
                continue;
            }
            const CUnitMedia& media = unit.GetMedia();
            models.insert(media.modelFile);
            for (const std::string& effect :
                 {media.effectWheels, media.effectSmoke, media.effectFire, media.effectAttack, media.effectExplosion}) {
                Add(path, "particles\\" + effect);
            }
            for (const std::string& sound : {media.soundMove, media.soundAttack, media.soundExplosion}) {
                Add(path, "sounds\\" + sound);
            }
        }
    }

    void CollectList(const std::string& path, const char* list, const char* prefix, std::set<std::string>* into) {
        CXmlFile file;
        if (!file.Open(path.c_str(), 0) || !file.EnterElement(list)) {
            return;
        }
        for (int n = 0; file.EnterSubElement(n); ++n) {
            const std::string name = Text(file, "filename");
            Add(path, prefix + name);
            if (into != nullptr) {
                into->insert(name);
            }
            file.LeaveSubElement();
        }
    }

    // The files that keys of one file name (the interface opens its sub-files as "interface\%s", in lower case).
    void CollectKeys(const std::string& path, const std::vector<const char*>& keys, const std::string& prefix) {
        CXmlFile file;
        if (!file.Open(path.c_str(), 0)) {
            return Add("the game", path);
        }
        for (const char* key : keys) {
            Add(path, prefix + Text(file, key));
        }
    }

    void CollectParticleTextures() {
        for (const std::string& effect : ParticleFiles()) {
            CXmlFile file;
            if (file.Open(effect.c_str(), 0)) {
                Add(effect, "particles\\" + Text(file, "texture"));
            }
        }
    }

    void CollectModelTextures() {
        for (const std::string& model : models) {
            Add("a unit, object or editor list", "objects\\" + model);
            CModelFile file;
            file.LoadFile(("objects\\" + model).c_str());
            for (const CModelMaterial& material : file.GetMaterials()) {
                if (!material.textureFile.empty()) {
                    Add(model, "objects\\" + material.textureFile);
                }
            }
        }
    }

    void CollectAll() {
        CollectTeams();
        CollectList("TestLevel\\objects.xml", "objects", "objects\\", &models);
        CollectList("objects\\editor.xml", "objects", "objects\\", &models);
        CollectKeys("Interface\\interface.xml", {std::begin(layoutKeys), std::end(layoutKeys)}, "interface\\");
        CollectKeys("music\\playlist.xml", {"intro", "end", "bridge"}, "music\\");
        CollectList("music\\playlist.xml", "playlist", "music\\", nullptr);
        CollectParticleTextures();
        CollectModelTextures();
    }

    std::set<std::pair<std::string, std::string>> names; // (game path, who names it)
    std::set<std::string>                         unitFiles, models;
};

TEST(DataReferencesTest, EveryNamedFileExists) {
    const DataFiles::CDataLinks inData;
    CReferences                 references;
    references.CollectAll();
    ASSERT_GT(references.names.size(), 60u) << "the collection found too little; is data/ generated?";
    for (const auto& [path, source] : references.names) {
        EXPECT_TRUE(CDataPath::FileExists((DataFiles::Folder() + "/" + path).c_str()))
            << source << " names " << path << ", which is missing below " << DataFiles::Folder();
    }
}

// The shipped interface through the game's reader, which stores an element only when its file holds every key.
TEST(DataReferencesTest, EveryInterfaceElementLoads) {
    const DataFiles::CDataLinks inData;
    CInterfaceLayout            layout;
    ASSERT_TRUE(CInterfaceLayoutReader(1024, 768).Load("Interface\\interface.xml", layout));
    for (const char* element : layoutKeys) {
        EXPECT_TRUE(LayoutElementLoaded(layout, element)) << element << " lacks a key";
    }
    // The box list ends at its first incomplete entry: every entry must load.
    CXmlFile index, boxes;
    ASSERT_TRUE(index.Open("Interface\\interface.xml", 0));
    ASSERT_TRUE(boxes.Open(("interface\\" + Text(index, "boxes")).c_str(), 0) && boxes.EnterElement("boxes"));
    int entries = 0;
    for (; boxes.EnterSubElement(entries); ++entries) {
        boxes.LeaveSubElement();
    }
    EXPECT_EQ(layout.boxes.size(), static_cast<size_t>(entries));
}

// Every effect file loads (the reader needs every key) with a known type and particles that live and can be seen.
TEST(DataReferencesTest, EveryParticleFileLoadsWithAKnownType) {
    const DataFiles::CDataLinks inData;
    int                         particleFiles = 0;
    for (const std::string& path : ParticleFiles()) {
        ++particleFiles;
        CParticleEffect effect;
        ASSERT_TRUE(CParticleFile::Load(path.c_str(), effect)) << path << " lacks a key";
        EXPECT_NE(effect.GetType(), CParticleEffect::typeUnknown) << path << " has type '" << effect.typeName << "'";
        EXPECT_GT(effect.count, 0) << path;
        EXPECT_GT(effect.life.to, 0.0f) << path;
        EXPECT_GT(effect.size, 0.0f) << path;
    }
    EXPECT_GE(particleFiles, 8) << "wheels, smoke, fire, attack, explosion, two specials and game over";
}

} // namespace
