#include <gtest/gtest.h>

#include "ParticleFiles.h"
#include "TestSupport.h"
#include "fx/ParticleFile.h"

// Absurd numbers are bounded, each with a line in the error log; colours keep their low 8 bits and type words
// must match exactly.
TEST(ParticleFileTest, AbsurdValuesAreBoundedAndLogged) {
    const std::pair<const char*, bool (*)(const CParticleEffect&)> cases[] = {
        {"count=2000000000", [](const CParticleEffect& e) { return e.count == CParticleFile::maxCount; }},
        {"count=-5", [](const CParticleEffect& e) { return e.count == 0; }},
        {"lifeTo=1e30", [](const CParticleEffect& e) { return e.life.to == CParticleFile::maxSeconds; }},
        {"startFrom=-1e38", [](const CParticleEffect& e) { return e.start.from == -CParticleFile::maxSeconds; }},
        {"velXto=1e300", [](const CParticleEffect& e) { return e.velX.to == CParticleFile::maxSpeed; }},
        {"velYfrom=-1e300", [](const CParticleEffect& e) { return e.velY.from == -CParticleFile::maxSpeed; }},
        {"velYto=1e300", [](const CParticleEffect& e) { return e.velY.to == CParticleFile::maxSpeed; }},
        {"size=1e9", [](const CParticleEffect& e) { return e.size == CParticleFile::maxSize; }},
        {"angle=1e12", [](const CParticleEffect& e) { return e.angle == CParticleFile::maxAngle; }},
    };
    for (const auto& [changes, holds] : cases) {
        CTempWorkDir dir;
        WriteEffect("absurd.xml", changes);
        CParticleEffect effect;
        ASSERT_TRUE(CParticleFile::Load("particles\\absurd.xml", effect)) << changes;
        EXPECT_TRUE(holds(effect)) << changes;
        EXPECT_NE(ReadFile("log_error.txt").find("absurd.xml"), std::string::npos) << changes << " not logged";
    }
    WriteEffect("odd.xml", "colorA=511 colorR=-1 colorG=256 colorB=18 type=fire startAgain=7");
    CParticleEffect effect;
    ASSERT_TRUE(CParticleFile::Load("particles\\odd.xml", effect));
    EXPECT_EQ(effect.GetColour(), 0xFFFF0012u);
    EXPECT_EQ(effect.GetType(), CParticleEffect::typeUnknown) << "\"fire\" is not \"FIRE\"";
    EXPECT_TRUE(effect.startAgain) << "any non-zero value restarts";
}
