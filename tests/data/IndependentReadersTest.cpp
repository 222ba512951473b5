#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "DataFiles.h"

// The generated media read back by tools that share no code with the
// generator: assimp for 3DS, sox for WAV. Each compares what the tool sees
// with what the file's own header declares and with what the game needs.
// (The images are read by the game's own loaders in the level tests.)
namespace {

using DataFiles::Quote;

// The number after "label:" in a tool's report, or -1.
double NumberAfter(const std::string& report, const std::string& label) {
    const size_t at = report.find(label);
    return at == std::string::npos ? -1.0 : std::atof(report.c_str() + at + label.size());
}

TEST(IndependentReadersTest, AssimpReadsEveryModelWithItsMeshesFacesAndMaterials) {
    const std::vector<std::string> models = DataFiles::FilesEndingWith(".3ds");
    ASSERT_GE(models.size(), 9u) << "five unit models and four object models expected";
    int textured = 0, untextured = 0;
    for (const std::string& model : models) {
        SCOPED_TRACE(model);
        const std::string                path    = DataFiles::Folder() + "/" + model;
        const DataFiles::Model3dsSummary summary = DataFiles::Summarise3ds(DataFiles::ReadBytes(path));
        ASSERT_TRUE(summary.wellFormed) << "chunk lengths do not nest";
        EXPECT_TRUE(summary.versionFirstInMain);
        EXPECT_TRUE(summary.meshVersionFirst)
            << "the game skips the first sub-chunk of 0x3D3D: it must be the mesh version";
        const std::string report = DataFiles::Run("assimp info " + Quote(path));
        EXPECT_EQ(NumberAfter(report, "Meshes:"), summary.meshes) << report.substr(0, 400);
        EXPECT_EQ(NumberAfter(report, "Faces:"), summary.faces);
        EXPECT_EQ(NumberAfter(report, "Materials:"), summary.materials);
        EXPECT_GT(summary.faces, 10);
        textured += summary.texturedMeshes;
        untextured += summary.untexturedMeshes;
        for (size_t mesh = 0; mesh < summary.faceMaterials.size(); ++mesh) {
            const auto* material = summary.FindMaterial(summary.faceMaterials[mesh]);
            ASSERT_NE(material, nullptr) << "mesh " << mesh << " uses an unknown material";
            EXPECT_EQ(!material->texture.empty(), static_cast<bool>(summary.hasCoordinates[mesh]))
                << "mesh " << mesh << ": textured meshes need texture coordinates";
        }
    }
    EXPECT_GT(textured, 0) << "both drawing paths need textured meshes";
    EXPECT_GT(untextured, 0) << "both drawing paths need untextured meshes";
}

struct SoundReport {
    double seconds = -1, rms = -1;
};

SoundReport Measure(const std::string& path) {
    SoundReport report;
    report.seconds          = std::atof(DataFiles::Run("sox --i -D " + Quote(path)).c_str());
    const std::string stats = DataFiles::Run("sox " + Quote(path) + " -n stat", true);
    report.rms              = NumberAfter(stats, "RMS     amplitude:");
    return report;
}

TEST(IndependentReadersTest, SoxFindsEverySoundAndPieceAudibleAndLongEnough) {
    const std::vector<std::string> files = DataFiles::FilesEndingWith(".wav");
    int                            music = 0, loops = 0;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const SoundReport report  = Measure(DataFiles::Folder() + "/" + file);
        const bool        isMusic = file.rfind("music/", 0) == 0;
        const bool        isLoop  = file.find("_move.wav") != std::string::npos;
        EXPECT_GT(report.rms, 0.02) << "silent or nearly so";
        if (isMusic) {
            ++music;
            EXPECT_GE(report.seconds, 30.0) << "music pieces last at least half a minute";
            EXPECT_LE(report.seconds, 120.0);
        } else if (isLoop) {
            ++loops;
            EXPECT_GE(report.seconds, 1.5);
            EXPECT_LE(report.seconds, 4.0);
        } else {
            EXPECT_GE(report.seconds, 0.3);
            EXPECT_LE(report.seconds, 4.0);
        }
    }
    EXPECT_GE(music, 6) << "intro, three tracks, bridge, end";
    EXPECT_GE(loops, 5) << "an engine loop per unit kind";
}

// A looped engine sound must not click where its end meets its start: the
// jump there is no larger than the largest jump inside the sound.
TEST(IndependentReadersTest, EngineLoopsJoinWithoutAClick) {
    for (const std::string& file : DataFiles::FilesEndingWith("_move.wav")) {
        const std::vector<uint8_t> bytes = DataFiles::ReadBytes(DataFiles::Folder() + "/" + file);
        ASSERT_GT(bytes.size(), 44u + 4) << file;
        std::vector<int> samples;
        for (size_t at = 44; at + 1 < bytes.size(); at += 2) {
            samples.push_back(static_cast<int16_t>(DataFiles::U16(bytes, at)));
        }
        int largestStep = 0;
        for (size_t i = 1; i < samples.size(); ++i) {
            largestStep = std::max(largestStep, std::abs(samples[i] - samples[i - 1]));
        }
        EXPECT_LE(std::abs(samples.front() - samples.back()), largestStep) << file;
    }
}

} // namespace
