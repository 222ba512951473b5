#include <string>

#include "core/XmlFile.h"
#include "tools/ContentGenerator.h"
#include "tools/ContentStages.h"

// The particle effects named by the unit files and by the rules. Velocities
// are world units per second (a tile is 64 wide, a unit model about 40
// long), times in seconds; FIRE blends additively, SMOKE by alpha.
namespace {

struct Range {
    float from, to;
};

struct Effect {
    const char* fileName;
    int         count;
    Range       velX, velY, velZ, start, life;
    bool        startAgain;
    float       size, angle;
    int         alpha, red, green, blue;
    const char* texture;
    const char* type;
};

const Effect effects[] = {
    // Dust thrown up by wheels and tracks while a unit drives.
    {"wheels.xml",
     24,
     {-10, 10},
     {4, 14},
     {-10, 10},
     {0, 1.0f},
     {0.6f, 1.2f},
     true,
     14,
     40,
     110,
     150,
     132,
     104,
     "dust.tga",
     "SMOKE"},
    // A damaged unit smokes, a badly damaged one burns.
    {"smoke.xml",
     36,
     {-4, 4},
     {14, 30},
     {-4, 4},
     {0, 3.0f},
     {2.0f, 3.5f},
     true,
     24,
     25,
     150,
     70,
     70,
     72,
     "smoke.tga",
     "SMOKE"},
    {"fire.xml",
     40,
     {-4, 4},
     {10, 24},
     {-4, 4},
     {0, 1.5f},
     {0.5f, 1.0f},
     true,
     14,
     60,
     210,
     255,
     140,
     40,
     "fire.tga",
     "FIRE"},
    // The flash and sparks of a hit.
    {"attack.xml",
     18,
     {-40, 40},
     {10, 50},
     {-40, 40},
     {0, 0.1f},
     {0.15f, 0.4f},
     false,
     18,
     0,
     255,
     255,
     225,
     130,
     "flash.tga",
     "FIRE"},
    {"explosion.xml",
     60,
     {-70, 70},
     {20, 110},
     {-70, 70},
     {0, 0.2f},
     {0.5f, 1.4f},
     false,
     30,
     90,
     235,
     255,
     160,
     60,
     "fire.tga",
     "FIRE"},
    {"explosion_large.xml",
     120,
     {-110, 110},
     {30, 160},
     {-110, 110},
     {0, 0.5f},
     {0.8f, 2.0f},
     false,
     44,
     90,
     235,
     255,
     150,
     50,
     "fire.tga",
     "FIRE"},
    // The glow of a unit boosted by its general, in the team's colour.
    {"special_team1.xml",
     30,
     {-6, 6},
     {8, 20},
     {-6, 6},
     {0, 2.0f},
     {1.0f, 2.0f},
     true,
     10,
     90,
     210,
     255,
     70,
     50,
     "spark.tga",
     "FIRE"},
    {"special_team2.xml",
     30,
     {-6, 6},
     {8, 20},
     {-6, 6},
     {0, 2.0f},
     {1.0f, 2.0f},
     true,
     10,
     90,
     210,
     70,
     130,
     255,
     "spark.tga",
     "FIRE"},
    // Fireworks over the finished game; they follow the cursor.
    {"gameover.xml",
     220,
     {-120, 120},
     {80, 220},
     {-120, 120},
     {0, 4.0f},
     {1.0f, 2.2f},
     true,
     20,
     120,
     255,
     255,
     210,
     120,
     "spark.tga",
     "FIRE"},
};

bool WriteRange(CXmlFile& file, const char* axis, const Range& range) {
    const std::string name = axis;
    return file.WriteFloat((name + "from").c_str(), range.from) && file.WriteFloat((name + "to").c_str(), range.to);
}

bool WriteEffect(CXmlFile& file, const Effect& effect) {
    bool ok = file.WriteInt("count", effect.count);
    ok      = ok && WriteRange(file, "velX", effect.velX);
    ok      = ok && WriteRange(file, "velY", effect.velY);
    ok      = ok && WriteRange(file, "velZ", effect.velZ);
    ok      = ok && file.WriteFloat("startFrom", effect.start.from) && file.WriteFloat("startTo", effect.start.to);
    ok      = ok && file.WriteFloat("lifeFrom", effect.life.from) && file.WriteFloat("lifeTo", effect.life.to);
    ok      = ok && file.WriteInt("startAgain", effect.startAgain ? 1 : 0);
    ok      = ok && file.WriteFloat("size", effect.size);
    ok      = ok && file.WriteFloat("angle", effect.angle);
    ok      = ok && file.WriteInt("colorA", effect.alpha);
    ok      = ok && file.WriteInt("colorR", effect.red);
    ok      = ok && file.WriteInt("colorG", effect.green);
    ok      = ok && file.WriteInt("colorB", effect.blue);
    ok      = ok && file.WriteString("texture", effect.texture);
    return ok && file.WriteString("type", effect.type);
}

} // namespace

namespace ContentStages {

bool WriteParticleFiles(CContentGenerator& generator) {
    bool ok = true;
    for (const Effect& effect : effects) {
        ok = generator.EnsureXml(std::string("particles/") + effect.fileName, [&effect](CXmlFile& file) {
            return WriteEffect(file, effect);
        }) && ok;
    }
    return ok;
}

} // namespace ContentStages
