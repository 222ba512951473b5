#include <gtest/gtest.h>

#include "ParticleFiles.h"
#include "TestSupport.h"
#include "fx/ParticleFile.h"

namespace {

TEST(ParticleFileTest, ReadsEveryKeyOfTheFormat) {
    CTempWorkDir dir;
    CEffectText  text;
    text.count      = "12";
    text.velX[0]    = "-1.5";
    text.velZ[1]    = "3";
    text.start[1]   = "0.25";
    text.life[0]    = "0.5";
    text.startAgain = "7";
    text.size       = "14";
    text.angle      = "-30";
    text.colour[0]  = "200";
    text.texture    = "fire.tga";
    text.type       = "FIRE";
    text.Write("fire.xml");

    CParticleEffect effect;
    ASSERT_TRUE(CParticleFile::Load("particles\\fire.xml", effect));
    EXPECT_EQ(effect.count, 12);
    EXPECT_FLOAT_EQ(effect.velX.from, -1.5f);
    EXPECT_FLOAT_EQ(effect.velZ.to, 3.0f);
    EXPECT_FLOAT_EQ(effect.start.to, 0.25f);
    EXPECT_FLOAT_EQ(effect.life.from, 0.5f);
    EXPECT_TRUE(effect.startAgain) << "any non-zero value restarts";
    EXPECT_FLOAT_EQ(effect.size, 14.0f);
    EXPECT_FLOAT_EQ(effect.angle, -30.0f);
    EXPECT_EQ(effect.GetColour(), 0xC8FFFFFFu);
    EXPECT_EQ(effect.texture, "fire.tga");
    EXPECT_EQ(effect.GetType(), CParticleEffect::typeFire);
}

TEST(ParticleFileTest, EveryKeyIsRequired) {
    const char*  keys[] = {"count",     "velXfrom", "velXto",   "velYfrom", "velYto",     "velZfrom", "velZto",
                           "startFrom", "startTo",  "lifeFrom", "lifeTo",   "startAgain", "size",     "angle",
                           "colorA",    "colorR",   "colorG",   "colorB",   "texture",    "type"};
    CTempWorkDir dir;
    for (const char* key : keys) {
        CEffectText text;
        text.missing = key;
        text.Write("incomplete.xml");
        CParticleEffect effect;
        EXPECT_FALSE(CParticleFile::Load("particles\\incomplete.xml", effect)) << "without " << key;
    }
    CParticleEffect effect;
    EXPECT_FALSE(CParticleFile::Load("particles\\missing.xml", effect));
    EXPECT_FALSE(CParticleFile::Load(nullptr, effect));
}

// Only the exact words name a type; anything else blends as smoke does.
TEST(ParticleFileTest, TypesAreExactWordsAndColoursKeepTheLowBits) {
    const std::pair<const char*, CParticleEffect::Type> types[] = {
        {"FIRE", CParticleEffect::typeFire},     {"SMOKE", CParticleEffect::typeSmoke},
        {"fire", CParticleEffect::typeUnknown},  {"FIRE ", CParticleEffect::typeUnknown},
        {"MAGIC", CParticleEffect::typeUnknown}, {"", CParticleEffect::typeUnknown},
    };
    for (const auto& type : types) {
        CParticleEffect effect;
        effect.typeName = type.first;
        EXPECT_EQ(effect.GetType(), type.second) << "\"" << type.first << "\"";
    }
    CParticleEffect effect;
    effect.colorA = 0x1FF;
    effect.colorR = -1;
    effect.colorG = 256;
    effect.colorB = 0x12;
    EXPECT_EQ(effect.GetColour(), 0xFFFF0012u);
}

struct ClampCase {
    const char* name;
    void (*edit)(CEffectText&);
    bool (*holds)(const CParticleEffect&);
};

// Absurd numbers are bounded, with a line in the error log for each.
TEST(ParticleFileTest, AbsurdValuesAreClampedAndLogged) {
    const ClampCase cases[] = {
        {"huge count", [](CEffectText& t) { t.count = "2000000000"; },
         [](const CParticleEffect& e) { return e.count == CParticleFile::maxCount; }},
        {"negative count", [](CEffectText& t) { t.count = "-5"; },
         [](const CParticleEffect& e) { return e.count == 0; }},
        {"endless life", [](CEffectText& t) { t.life[1] = "1e30"; },
         [](const CParticleEffect& e) { return e.life.to == CParticleFile::maxSeconds && e.life.from == 1.0f; }},
        {"endless wait", [](CEffectText& t) { t.start[0] = "-1e38"; },
         [](const CParticleEffect& e) { return e.start.from == -CParticleFile::maxSeconds; }},
        {"overflowing speeds",
         [](CEffectText& t) {
             t.velY[0] = "-1e300";
             t.velY[1] = "1e300";
         },
         [](const CParticleEffect& e) {
             return e.velY.from == -CParticleFile::maxSpeed && e.velY.to == CParticleFile::maxSpeed;
         }},
        {"giant size", [](CEffectText& t) { t.size = "1e9"; },
         [](const CParticleEffect& e) { return e.size == CParticleFile::maxSize; }},
        {"spin", [](CEffectText& t) { t.angle = "1e12"; },
         [](const CParticleEffect& e) { return e.angle == CParticleFile::maxAngle; }},
    };
    for (const ClampCase& clamp : cases) {
        CTempWorkDir dir;
        CEffectText  text;
        clamp.edit(text);
        text.Write("absurd.xml");
        CParticleEffect effect;
        ASSERT_TRUE(CParticleFile::Load("particles\\absurd.xml", effect)) << clamp.name;
        EXPECT_TRUE(clamp.holds(effect)) << clamp.name;
        EXPECT_NE(ReadFile("log_error.txt").find("absurd.xml"), std::string::npos) << clamp.name << " was not logged";
    }
}

TEST(ParticleFileTest, LongNamesAreCutToTheirBuffers) {
    CTempWorkDir dir;
    CEffectText  text;
    text.texture = std::string(600, 't');
    text.type    = std::string(200, 'F');
    text.Write("long.xml");
    CParticleEffect effect;
    ASSERT_TRUE(CParticleFile::Load("particles\\long.xml", effect));
    EXPECT_EQ(effect.texture.size(), CParticleFile::maxTextureLength);
    EXPECT_EQ(effect.typeName.size(), CParticleFile::maxTypeLength);
}

} // namespace
