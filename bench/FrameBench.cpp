// Frame benchmark of the terrain renderer: flies a fixed camera path over
// the level's heightmap and times every submission path with level of detail
// and culling on and off, against the same visible triangles drawn as one
// buffer-object call (the practical limit of this renderer).
//
// Usage (working directory data/): ridgeline-bench [--quick] [--game] [--pose NAME] [--seconds S]
//                                   [--level NAME] [--series] [--continue LOG] [--screenshot PREFIX]
// (--quick measures the start pose only, --pose one pose by name, --game
// only the whole game frame below, --level another level than "TestLevel",
// --continue starts that game as the game of the log continued, timed as
// its own startup step, --screenshot PREFIX saves a frame of the busy turn as
// PREFIX-after.png and, without the draw-time savings, PREFIX-before.png).
//
// --series: the cost as the heightmap grows. The islands level is made again
// at 257 and 513 samples a side (same board, same texels per world unit) in
// a temporary copy of the data folder, and each of TestLevel and the islands
// at 257, 513 and 1025 runs in a process of its own (so that its memory is
// its own), buffer objects only:
//   series level=NAME samples=N load_ms=F load_cpu=F rss_mb=F start_tris=N start_ms=F start_cpu=F
//          busy_tris=N busy_ms=F busy_cpu=F
//
// The whole game frame: the level "TestLevel" is built as the program
// builds it after the dialog's "Start" (level load, then camera, placed
// objects, teams and the first turn message, then the first frame; each step
// timed), and the frame at the start view is timed pass by pass (sky,
// terrain, tile overlay with a unit's move area, sea, cel-shaded units,
// objects, particles of a busy turn) and whole (the level's frame, which
// adds the rules, the interface and whatever else the game draws, plus the
// particles), for each submission path with every feature on:
//   game path=NAME pass=NAME ms=F cpu=F tris=N
//   startup step=NAME ms=F cpu=F
// At the start pose it also times the terrain with and without a scene that
// runs every particle effect of the game at once (one-shot effects are
// started again as they end), once as the game shows them and once ten
// times over:
//   particles=N emitters=N ms=F base=F ratio=F
// Prints one line per measurement (wall-clock times, the fastest of several
// rounds) and then a table that adds the processor time per frame and its
// ratio, which stay steady on a shared machine:
//   path=vbo|va|immediate|lists lod=0|1 cull=0|1 pose=NAME fps=F ms=F tris=N ratio=F

#include <GL/freeglut.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "core/Camera.h"
#include "core/Frustum.h"
#include "core/PropertyFile.h"
#include "fx/ParticleSystem.h"
#include "core/Heightmap.h"
#include "view/BattleView.h"
#include "rules/TileArea.h"
#include "render/SkyBox.h"
#include "render/Sea.h"
#include "render/WorldObjects.h"
#include "ui/Interface.h"
#include "render/BufferObjects.h"
#include "tools/ContentGenerator.h"
#include "tools/Image.h"
#include "tools/LevelLayout.h"
#include "render/Terrain.h"
#include "render/TextureManager.h"
#include "session/GameLog.h"
#include "session/LogReplay.h"

namespace {

double PeakResidentMb();

constexpr int   windowWidth    = 1024;
constexpr int   windowHeight   = 768;
constexpr float startHeight    = 450.0f;
constexpr int   minimumFrames  = 3; // per round
constexpr int   rounds         = 6;
constexpr float defaultSeconds = 0.6f; // per measurement

struct CPose {
    const char* name;
    CVector3    eye;
    CVector3    center;
    float       heightAboveGround;
};

struct CPath {
    const char* name;
    RenderMode  renderMode;
    bool        displayLists;
};

const CPath paths[] = {{"vbo", renderBufferObjects, false},
                       {"va", renderVertexArrays, false},
                       {"immediate", renderImmediate, false},
                       {"lists", renderImmediate, true}};

// The particle effects of a played game, each at a place on the ground in
// front of the start camera (offsets from the point it looks at, world
// units), so that a frame holds what a busy turn shows. (The fireworks are
// left out: they only fly once the game is won and nothing else moves.)
struct CEffectPlace {
    const char* fileName;
    float       dx, dz, lift;
};
const CEffectPlace effectPlaces[] = {
    {"wheels.xml", -60.0f, 20.0f, 0.0f},           {"smoke.xml", 120.0f, -40.0f, 10.0f},
    {"smoke.xml", -150.0f, 60.0f, 10.0f},          {"smoke.xml", 40.0f, 140.0f, 10.0f},
    {"fire.xml", 120.0f, -40.0f, 10.0f},           {"fire.xml", -150.0f, 60.0f, 10.0f},
    {"attack.xml", -60.0f, 20.0f, 20.0f},          {"attack.xml", 120.0f, -40.0f, 20.0f},
    {"explosion.xml", 40.0f, 140.0f, 10.0f},       {"explosion_large.xml", 200.0f, 100.0f, 10.0f},
    {"special_team1.xml", -200.0f, -60.0f, 10.0f}, {"special_team2.xml", 0.0f, -120.0f, 10.0f},
};
constexpr float particleFrameTime = 1.0f / 30.0f;

struct CTiming {
    double ms        = 0.0; // wall clock per frame
    double cpuMs     = 0.0; // processor time of all the process's threads per frame
    int    triangles = 0;
};

// The game's projection and the camera's view.
void LookThrough(const CCamera& camera) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(windowWidth) / windowHeight, 1.0, 8000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const CVector3& e = camera.GetEye();
    const CVector3& c = camera.GetCenter();
    gluLookAt(e.x, e.y, e.z, c.x, c.y, c.z, 0, 1, 0);
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Processor seconds of the whole process (the software rasteriser's threads
// included): what a frame costs, whatever else the machine is running.
double ProcessorNow() {
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

// The steepest sample of the map, for the pose close to a slope.
void FindSteepest(const CHeightmap& heightmap, int& column, int& row) {
    float steepest = -1.0f;
    for (int r = 16; r < heightmap.GetWidth() - 16; r += 2) {
        for (int c = 16; c < heightmap.GetWidth() - 16; c += 2) {
            if (heightmap.SlopeAt(c, r) > steepest) {
                steepest = heightmap.SlopeAt(c, r);
                column   = c;
                row      = r;
            }
        }
    }
}

std::vector<CPose> MakePoses(const CHeightmap& heightmap) {
    const float        side = static_cast<float>(heightmap.GetWidth() - 1) * heightmap.GetSpacing();
    std::vector<CPose> poses;
    poses.push_back({"start", CVector3(665.0f, 528.0f, 145.0f), CVector3(683.76f, 209.0f, 409.0f), startHeight});
    poses.push_back({"low", CVector3(side * 0.05f, 0, side * 0.5f), CVector3(side, -60.0f, side * 0.55f), 200.0f});
    poses.push_back(
        {"high", CVector3(side * 0.5f, 0, side * 0.2f), CVector3(side * 0.5f, -900.0f, side * 0.45f), 1000.0f});
    // Near the far corner looking out over it: the lower half of the view is map, the upper half beyond it.
    poses.push_back(
        {"corner", CVector3(side * 0.9f, 0, side * 0.9f), CVector3(side * 1.12f, -450.0f, side * 1.12f), startHeight});
    int column = 0, row = 0;
    FindSteepest(heightmap, column, row);
    const float x = column * heightmap.GetSpacing();
    const float z = row * heightmap.GetSpacing();
    poses.push_back({"slope", CVector3(x - 250.0f, 0, z - 250.0f), CVector3(x, -120.0f, z), 200.0f});
    return poses;
}

class CFrameBench {
public:
    bool Load();
    // All poses, or only the one named.
    bool Run(const std::string& onlyPose, float seconds);

private:
    void                 SetView(const CPose& pose);
    std::vector<CTiming> Measure(const std::vector<std::function<int()>>& scenes, float seconds);
    std::function<int()> SingleDraw(GLuint& indexBuffer);
    void Report(const CPath& path, bool lod, bool cull, const CPose& pose, const CTiming& timing, const CTiming& limit);
    void MeasureParticles(float seconds);
    void StartEffects(CParticleSystem& particles, std::vector<int>& ids, int copies);

    std::unique_ptr<CHeightmap> heightmap;
    CTextureManager             textures;
    CTerrain                    terrain;
    std::unique_ptr<CCamera>    camera;
    CFrustum                    frustum;
    CBufferObjects              buffers;
    GLuint                      allVertices = 0;
    std::vector<std::string>    table;
};

bool CFrameBench::Load() {
    CPropertyFile parameters("TestLevel\\Terrain\\ter_params.ini");
    if (!parameters.LoadProperties()) {
        fprintf(stderr, "ridgeline-bench: no TestLevel/Terrain/ter_params.ini (run in data/)\n");
        return false;
    }
    heightmap =
        std::make_unique<CHeightmap>("TestLevel\\Terrain\\ter_heightmap.bmp", parameters.GetFloatProperty("maxwidth"),
                                     parameters.GetFloatProperty("maxheight"));
    CAppOptions& options        = GetApp()->options;
    options.vertexBufferObjects = CApplication::IsExtensionSupported("GL_ARB_vertex_buffer_object");
    options.displayLists        = true;
    if (!options.vertexBufferObjects || !buffers.Load()) {
        fprintf(stderr, "ridgeline-bench: buffer objects are needed for the single-draw limit\n");
        return false;
    }
    const double start = Now();
    if (!terrain.Create("TestLevel\\Terrain", heightmap.get(), &textures)) {
        fprintf(stderr, "ridgeline-bench: the terrain could not be built (see log_error.txt)\n");
        return false;
    }
    printf("# terrain %d x %d built in %.2f s; %s\n", heightmap->GetWidth(), heightmap->GetWidth(), Now() - start,
           reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    const std::vector<float> vertices = terrain.AllVertices();
    allVertices =
        buffers.Upload(GL_ARRAY_BUFFER_ARB, vertices.data(), vertices.size() * sizeof(float), GL_STATIC_DRAW_ARB);
    camera = std::make_unique<CCamera>(heightmap.get());
    terrain.SetCamera(camera.get());
    terrain.SetFrustum(&frustum);
    return true;
}

void CFrameBench::SetView(const CPose& pose) {
    camera->SetPosition(pose.eye, pose.center, CVector3(0, 1, 0));
    camera->SetHeightAboveGround(pose.heightAboveGround);
    LookThrough(*camera);
    float modelView[16];
    float projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    frustum.Update(modelView, projection);
}

// Each scene gets one warm-up frame, then the scenes take turns in rounds of
// frames; a scene's fastest round counts. The machine is shared, and other
// work only ever slows a round down, so taking turns lets every scene of a
// group (the paths and their limit) see the same quiet moments.
std::vector<CTiming> CFrameBench::Measure(const std::vector<std::function<int()>>& scenes, float seconds) {
    std::vector<CTiming> timings(scenes.size());
    for (size_t scene = 0; scene < scenes.size(); ++scene) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        timings[scene].triangles = scenes[scene]();
        glFinish();
    }
    // With no time to spend (a smoke run), one frame per scene.
    const int roundCount   = seconds > 0.0f ? rounds : 1;
    const int framesNeeded = seconds > 0.0f ? minimumFrames : 1;
    for (int round = 0; round < roundCount; ++round) {
        for (size_t scene = 0; scene < scenes.size(); ++scene) {
            int          frames   = 0;
            const double start    = Now();
            const double cpuStart = ProcessorNow();
            double       now      = start;
            while (frames < framesNeeded || now - start < seconds / roundCount) {
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                scenes[scene]();
                glFinish();
                ++frames;
                now = Now();
            }
            const double ms      = (now - start) * 1000.0 / frames;
            const double cpuMs   = (ProcessorNow() - cpuStart) * 1000.0 / frames;
            timings[scene].ms    = round == 0 ? ms : std::min(timings[scene].ms, ms);
            timings[scene].cpuMs = round == 0 ? cpuMs : std::min(timings[scene].cpuMs, cpuMs);
        }
    }
    return timings;
}

// The visible triangles of the current selection as one indexed draw from
// one vertex buffer, with one texture bound.
std::function<int()> CFrameBench::SingleDraw(GLuint& indexBuffer) {
    const std::vector<GLuint> indices = terrain.VisibleTriangles();
    const GLsizei             count   = static_cast<GLsizei>(indices.size());
    indexBuffer           = buffers.Upload(GL_ELEMENT_ARRAY_BUFFER_ARB, indices.data(), indices.size() * sizeof(GLuint),
                                           GL_STATIC_DRAW_ARB);
    const GLuint texture  = terrain.GetPatchCount() > 0 ? terrain.GetPatchByIndex(0).texture : 0;
    const GLuint vertices = allVertices;
    const GLuint elements = indexBuffer;
    return [this, texture, vertices, elements, count]() {
        glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT);
        glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        buffers.bindBuffer(GL_ARRAY_BUFFER_ARB, vertices);
        buffers.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, elements);
        glInterleavedArrays(GL_T2F_V3F, 0, nullptr);
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, nullptr);
        buffers.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
        buffers.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
        glBindTexture(GL_TEXTURE_2D, 0);
        glPopClientAttrib();
        glPopAttrib();
        return static_cast<int>(count / 3);
    };
}

void CFrameBench::Report(const CPath& path, bool lod, bool cull, const CPose& pose, const CTiming& timing,
                         const CTiming& limit) {
    const double fps   = timing.ms > 0.0 ? 1000.0 / timing.ms : 0.0;
    const double ratio = limit.ms > 0.0 ? timing.ms / limit.ms : 0.0;
    printf("path=%s lod=%d cull=%d pose=%s fps=%.2f ms=%.3f tris=%d ratio=%.3f\n", path.name, lod ? 1 : 0, cull ? 1 : 0,
           pose.name, fps, timing.ms, timing.triangles, ratio);
    fflush(stdout);
    const double cpuRatio = limit.cpuMs > 0.0 ? timing.cpuMs / limit.cpuMs : 0.0;
    char         row[200];
    snprintf(row, sizeof row, "| %-6s | %-9s | %3s | %4s | %8.2f | %8.2f | %7d | %6.2f | %8.2f | %7.2f | %6.2f |",
             pose.name, path.name, lod ? "on" : "off", cull ? "on" : "off", fps, timing.ms, timing.triangles, ratio,
             limit.ms, timing.cpuMs, cpuRatio);
    table.push_back(row);
}

bool CFrameBench::Run(const std::string& onlyPose, float seconds) {
    CAppOptions& options  = GetApp()->options;
    bool         measured = false;
    for (const CPose& pose : MakePoses(*heightmap)) {
        if (!onlyPose.empty() && onlyPose != pose.name) {
            continue;
        }
        measured = true;
        for (const bool lod : {true, false}) {
            for (const bool cull : {true, false}) {
                options.levelOfDetail  = lod;
                options.frustumCulling = cull;
                SetView(pose);
                // Select culling and detail once for the group; the paths do not change them.
                terrain.Invalidate();
                terrain.Draw();
                camera->SetChanged(false);
                GLuint                            indexBuffer = 0;
                std::vector<std::function<int()>> scenes{SingleDraw(indexBuffer)};
                for (const CPath& path : paths) {
                    scenes.push_back([this, &options, path]() {
                        options.renderMode   = path.renderMode;
                        options.displayLists = path.displayLists;
                        return terrain.Draw();
                    });
                }
                const std::vector<CTiming> timings = Measure(scenes, seconds);
                for (size_t k = 0; k < std::size(paths); ++k) {
                    Report(paths[k], lod, cull, pose, timings[k + 1], timings[0]);
                }
                buffers.Delete(indexBuffer);
            }
        }
    }
    if (onlyPose.empty() || onlyPose == "start") {
        MeasureParticles(seconds);
    }
    if (!measured) {
        fprintf(stderr, "ridgeline-bench: no pose named \"%s\" (start, low, high, corner, slope)\n", onlyPose.c_str());
        return false;
    }
    printf("\n| pose   | path      | lod | cull |      fps |       ms |    tris |  ratio | limit ms |  cpu ms | cpu ra "
           "|\n");
    printf(
        "|--------|-----------|-----|------|----------|----------|---------|--------|----------|---------|--------|\n");
    for (const std::string& row : table) {
        printf("%s\n", row.c_str());
    }
    return true;
}

// Starts every effect that is not running (again, for one-shot effects
// that ended), `copies` times, spread around the start view's centre.
void CFrameBench::StartEffects(CParticleSystem& particles, std::vector<int>& ids, int copies) {
    const CVector3 centre(683.76f, 0.0f, 409.0f);
    ids.resize(std::size(effectPlaces) * copies, -1);
    for (size_t slot = 0; slot < ids.size(); ++slot) {
        const CParticleEmitter* emitter = particles.GetEmitter(ids[slot]);
        if (emitter != nullptr && !emitter->deleted) {
            continue;
        }
        const CEffectPlace& place  = effectPlaces[slot % std::size(effectPlaces)];
        const float         spread = 30.0f * static_cast<float>(slot / std::size(effectPlaces));
        const float         x      = centre.x + place.dx + spread;
        const float         z      = centre.z + place.dz - spread;
        ids[slot] = particles.LoadEmitter(place.fileName, CVector3(x, heightmap->HeightAt(x, z) + place.lift, z));
    }
}

// The start view with terrain alone and with the effects drawn over it,
// taking turns like the paths above; the effects advance by a fixed frame
// time, so every frame draws about the same particles.
void CFrameBench::MeasureParticles(float seconds) {
    CAppOptions& options   = GetApp()->options;
    options.levelOfDetail  = true;
    options.frustumCulling = true;
    options.renderMode     = renderBufferObjects;
    options.displayLists   = false;
    options.transparency   = true;
    const CPose start      = MakePoses(*heightmap)[0];
    SetView(start);
    terrain.Invalidate();
    terrain.Draw();
    camera->SetChanged(false);

    printf("\n");
    for (const int copies : {1, 10}) {
        CParticleSystem particles(&textures);
        particles.SetFrustum(&frustum);
        std::vector<int> ids;
        StartEffects(particles, ids, copies);
        // Two seconds of effects before timing, so that delayed particles fly.
        for (int frame = 0; frame < 60; ++frame) {
            particles.Update(particleFrameTime);
            StartEffects(particles, ids, copies);
        }
        const std::vector<std::function<int()>> scenes{
            [this]() { return terrain.Draw(); },
            [this, &particles, &ids, copies]() {
                const int triangles = terrain.Draw() + particles.UpdateAndDraw(particleFrameTime);
                StartEffects(particles, ids, copies);
                return triangles;
            }};
        const std::vector<CTiming> timings = Measure(scenes, seconds);
        const CParticleFrameStats& stats   = particles.GetFrameStats();
        printf("particles=%d emitters=%d drawcalls=%d ms=%.3f base=%.3f ratio=%.3f cpu=%.3f cpubase=%.3f\n",
               stats.renderedParticles, stats.activeEmitters, stats.drawCalls, timings[1].ms, timings[0].ms,
               timings[0].ms > 0.0 ? timings[1].ms / timings[0].ms : 0.0, timings[1].cpuMs, timings[0].cpuMs);
        fflush(stdout);
        particles.DestroyAll();
    }
}

// ---- the whole game frame ----

struct CPass {
    const char*          name;
    std::function<int()> draw;
};

class CGameFrameBench {
public:
    // With a game log, the game starts as that game continued.
    CGameFrameBench(float seconds, const std::string& levelName, bool seriesRow, std::string continueLog,
                    std::string screenshot)
        : seconds(seconds), levelName(levelName), seriesRow(seriesRow), continueLog(std::move(continueLog)),
          screenshot(std::move(screenshot)) {}
    bool Run();

private:
    void StartupStep(const char* name, const std::function<void()>& step);
    bool ContinueGame();
    void StartEffects();
    void MeasureStartView(const CPath& path);
    void MeasurePath(const CPath& path);
    void SelectPath(const CPath& path);
    void TimeWholeFrames(CTiming& best);
    void TimeReferenceFrames(CTiming& best);
    void AddRow(const CPath& path, const char* name, const CTiming& timing, bool whole);
    bool SaveBusyTurn();

    void SetView() const;
    int  WholeFrame();
    void WaitForTurnMessage();
    bool SelectUnit();

    float                        seconds;
    std::string                  levelName;
    bool                         seriesRow = false; // buffer objects only, one "series" line
    CTiming                      startView, busyTurn;
    std::string                  continueLog;
    std::string                  screenshot; // the busy turn's frames saved as PNG files, when named
    std::unique_ptr<CBattleView> level;
    std::unique_ptr<CCamera>     camera;
    CFrustum                     frustum;
    CParticleSystem*             particles = nullptr; // the level's
    std::vector<int>             effects;
    std::vector<std::string>     startupRows;
    std::vector<std::string>     rows[std::size(paths)];
    double                       startupMs = 0.0, startupCpuMs = 0.0;
};

void CGameFrameBench::StartupStep(const char* name, const std::function<void()>& step) {
    const double start    = Now();
    const double cpuStart = ProcessorNow();
    step();
    const double ms    = (Now() - start) * 1000.0;
    const double cpuMs = (ProcessorNow() - cpuStart) * 1000.0;
    startupMs += ms;
    startupCpuMs += cpuMs;
    printf("startup step=%s ms=%.1f cpu=%.1f\n", name, ms, cpuMs);
    fflush(stdout);
    char row[160];
    snprintf(row, sizeof row, "| %-36s | %8.1f | %8.1f |", name, ms, cpuMs);
    startupRows.push_back(row);
}

// As the program continues a game: the log read and its header checked
// (the level's files hashed), the teams for its seed, every command replayed
// and checked on a copy of the match, the position shown at once.
bool CGameFrameBench::ContinueGame() {
    CLoadedLog  log;
    std::string error;
    if (!CGameLog::Load(continueLog, log, error) || !CLogReplay::CheckHeader(log.header, error)) {
        fprintf(stderr, "ridgeline-bench: %s: %s\n", continueLog.c_str(), error.c_str());
        return false;
    }
    level->LoadTeams(log.header.seed);
    CMatch state = *level->GetMatch();
    state.SetTraceExchanges(false);
    const size_t replayed = CLogReplay::Apply(state, log.entries, 0, log.entries.size(), error);
    level->ResetMatch(state);
    printf("# continued: %zu commands replayed%s%s\n", replayed, error.empty() ? "" : "; ", error.c_str());
    return replayed == log.entries.size();
}

// The effects of a busy turn around the start view (see effectPlaces);
// one-shot effects start again as they end.
void CGameFrameBench::StartEffects() {
    const CVector3 centre(683.76f, 0.0f, 409.0f);
    effects.resize(std::size(effectPlaces), -1);
    for (size_t slot = 0; slot < effects.size(); ++slot) {
        const CParticleEmitter* emitter = particles->GetEmitter(effects[slot]);
        if (emitter != nullptr && !emitter->deleted) {
            continue;
        }
        const CEffectPlace& place = effectPlaces[slot];
        const float         x     = centre.x + place.dx;
        const float         z     = centre.z + place.dz;
        effects[slot] =
            particles->LoadEmitter(place.fileName, CVector3(x, level->GetHeightmap()->HeightAt(x, z) + place.lift, z));
    }
}

bool CGameFrameBench::Run() {
    CAppOptions& options = GetApp()->options;
    // Every feature the driver offers, as the dialog's boxes all ticked give it.
    options.vertexBufferObjects = CApplication::IsExtensionSupported("GL_ARB_vertex_buffer_object");
    options.vertexShader        = CApplication::IsExtensionSupported("GL_ARB_vertex_program");
    options.multitexture        = CApplication::IsExtensionSupported("GL_ARB_multitexture");
    options.sgiMipmap           = CApplication::IsExtensionSupported("GL_SGIS_generate_mipmap");
    options.textureCompression  = false; // compressing every texture at load is the slow choice
    options.transparency        = true;
    options.levelOfDetail       = true;
    options.frustumCulling      = true;
    options.renderMode          = options.vertexBufferObjects ? renderBufferObjects : renderVertexArrays;
    options.displayLists        = false;
    options.debugInfo           = false;

    const double      startAll = Now(), cpuAll = ProcessorNow();
    const std::string loadStep = "level load (CBattleView \"" + levelName + "\")";
    StartupStep(loadStep.c_str(), [this]() { level = std::make_unique<CBattleView>(levelName.c_str()); });
    if (level->GetTerrain() == nullptr || level->GetHeightmap()->IsEmpty()) {
        fprintf(stderr, "ridgeline-bench: no level (run in data/)\n");
        return false;
    }
    StartupStep("camera, objects, teams, turn message", [this]() {
        camera = std::make_unique<CCamera>(level->GetHeightmap(), startHeight);
        camera->SetPosition(CVector3(665.0f, 528.0f, 145.0f), CVector3(683.76f, 209.0f, 409.0f), CVector3(0, 1, 0));
        camera->SetHeightAboveGround(startHeight);
        level->SetView(camera.get(), &frustum);
        level->GetObjects()->LoadObjects();
        if (continueLog.empty()) {
            level->LoadTeams(1);
        }
        level->ShowTurnMessage();
    });
    bool continued = true;
    if (!continueLog.empty()) {
        StartupStep("game log: read, check, teams, replay", [this, &continued]() { continued = ContinueGame(); });
    }
    if (!continued) {
        return false;
    }
    StartupStep("first frame", [this]() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SetView();
        float modelView[16], projection[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        frustum.Update(modelView, projection);
        level->LevelFrame(false);
        glFinish();
        glutSwapBuffers();
    });
    startupMs    = (Now() - startAll) * 1000.0;
    startupCpuMs = (ProcessorNow() - cpuAll) * 1000.0;
    printf("startup step=total ms=%.1f cpu=%.1f\n", startupMs, startupCpuMs);

    WaitForTurnMessage();
    for (const CPath& path : paths) {
        if ((path.renderMode != renderBufferObjects || options.vertexBufferObjects) && (!seriesRow || &path == paths)) {
            MeasureStartView(path);
        }
    }
    const bool chosen = SelectUnit();
    printf("# %s\n", chosen ? "a unit is selected: its move area is coloured"
                            : "no unit of the current team in view: no move area");
    particles = level->GetParticles();
    StartEffects();
    for (int frame = 0; frame < 60; ++frame) {
        particles->Update(particleFrameTime);
        StartEffects();
    }
    camera->SetChanged(false);
    if (!screenshot.empty() && !SaveBusyTurn()) {
        return false;
    }

    for (const CPath& path : paths) {
        if ((path.renderMode == renderBufferObjects && !options.vertexBufferObjects) || (seriesRow && &path != paths)) {
            continue;
        }
        MeasurePath(path);
    }
    if (seriesRow) {
        printf("series level=%s samples=%d load_ms=%.0f load_cpu=%.0f rss_mb=%.0f start_tris=%d start_ms=%.2f "
               "start_cpu=%.2f busy_tris=%d busy_ms=%.2f busy_cpu=%.2f\n",
               levelName.c_str(), level->GetHeightmap()->GetWidth(), startupMs, startupCpuMs, PeakResidentMb(),
               startView.triangles, startView.ms, startView.cpuMs, busyTurn.triangles, busyTurn.ms, busyTurn.cpuMs);
        level->UnloadLevel();
        return true;
    }

    printf("\n| start-up step                        |  wall ms |   cpu ms |\n");
    printf("|--------------------------------------|----------|----------|\n");
    for (const std::string& row : startupRows) {
        printf("%s\n", row.c_str());
    }
    printf("| %-36s | %8.1f | %8.1f |\n", "total: \"Start\" to the first frame", startupMs, startupCpuMs);
    printf("\n| path      | pass                       |  wall ms |   cpu ms |    tris |      fps |\n");
    printf("|-----------|----------------------------|----------|----------|---------|----------|\n");
    for (const std::vector<std::string>& pathRows : rows) {
        for (const std::string& row : pathRows) {
            printf("%s\n", row.c_str());
        }
    }
    level->UnloadLevel();
    return true;
}

// One frame of the busy turn with buffer objects, read back before the swap,
// saved as PREFIX-after.png, and the same frame without the draw-time
// savings (only the particles have moved on, by a frame) as PREFIX-before.png.
bool CGameFrameBench::SaveBusyTurn() {
    SelectPath(paths[0]);
    bool        written = true;
    const float drift   = CSea::GetDriftOffset();
    GetApp()->BeginFrame();
    for (const bool shortcuts : {true, false}) {
        // The same frame time and sea drift for both.
        GetApp()->options.fillShortcuts = shortcuts;
        CSea::SetDriftOffset(drift);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SetView();
        level->LevelFrame(false);
        glFinish();
        std::vector<uint8_t> rgba(static_cast<size_t>(windowWidth) * windowHeight * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glutSwapBuffers();
        CImage image(windowWidth, windowHeight);
        for (int row = 0; row < windowHeight; ++row) {
            const uint8_t* pixel = &rgba[static_cast<size_t>(windowHeight - 1 - row) * windowWidth * 4];
            for (int column = 0; column < windowWidth; ++column, pixel += 4) {
                image.SetPixel(column, row, pixel[0], pixel[1], pixel[2]);
            }
        }
        const std::string          name  = screenshot + (shortcuts ? "-after.png" : "-before.png");
        const std::vector<uint8_t> png   = image.EncodePng();
        FILE*                      file  = fopen(name.c_str(), "wb");
        bool                       saved = file != nullptr && fwrite(png.data(), 1, png.size(), file) == png.size();
        if (file != nullptr) {
            saved = fclose(file) == 0 && saved;
        }
        printf("# the busy turn's frame %s %s\n", saved ? "saved in" : "could not be written to", name.c_str());
        written = written && saved;
    }
    GetApp()->options.fillShortcuts = true;
    return written;
}

// The start camera's view, with the game's projection.
void CGameFrameBench::SetView() const {
    LookThrough(*camera);
}

// One frame as the program shows it: the frame clock and clear, the
// level's frame (scene, particles, heads-up display), the buffer swap.
int CGameFrameBench::WholeFrame() {
    CApplication* app = GetApp();
    app->BeginFrame();
    SetView();
    const int triangles = level->LevelFrame(false);
    if (particles != nullptr) {
        StartEffects();
    }
    app->EndFrame(triangles);
    return triangles;
}

// Clicks count for nothing while the turn's message runs; it runs for a few
// seconds of frames.
void CGameFrameBench::WaitForTurnMessage() {
    const CInterface* hud   = level->GetInterface();
    const double      start = Now();
    while (hud != nullptr && hud->IsMessageRunning() && Now() - start < 30.0) {
        WholeFrame();
    }
}

// A unit of the current team selected: its move area is coloured, as in
// most frames of a turn. The pointer sweeps the view until it rests on such
// a unit; with none of the current team in view, Space hands the turn over.
bool CGameFrameBench::SelectUnit() {
    SetView();
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt == 1) {
            level->Submit(CCommand::EndTurn()); // the turn passes at once, without the second press
            WaitForTurnMessage();
            SetView();
        }
        for (int y = 60; y < windowHeight - 60; y += 8) {
            for (int x = 60; x < windowWidth - 60; x += 8) {
                level->OnPointerMoved(x, y);
                const CMatch& match = *level->GetMatch();
                const CUnit*  unit =
                    match.GetUnit(match.GetBoard().GetTile(level->GetActiveX(), level->GetActiveY()).unit);
                if (unit != nullptr && unit->team == level->GetCurrentTeam() && !unit->isHeadquarter) {
                    level->OnClick();
                    if (level->GetUnitMode() == CBattleView::unitModeMove) {
                        return true;
                    }
                }
            }
        }
    }
    return false;
}

void CGameFrameBench::SelectPath(const CPath& path) {
    CAppOptions& options = GetApp()->options;
    options.renderMode   = path.renderMode;
    options.displayLists = path.displayLists;
}

// One round of whole frames as the program shows them (one glFinish, the
// swap); keeps the faster figures in `best`.
void CGameFrameBench::TimeWholeFrames(CTiming& best) {
    const int    framesNeeded = seconds > 0.0f ? minimumFrames : 1;
    const double roundSeconds = seconds / (seconds > 0.0f ? rounds : 1);
    int          frames       = 0;
    const double start        = Now();
    const double cpuStart     = ProcessorNow();
    double       now          = start;
    while (frames < framesNeeded || now - start < roundSeconds) {
        best.triangles = WholeFrame();
        ++frames;
        now = Now();
    }
    best.ms    = std::min(best.ms, (now - start) * 1000.0 / frames);
    best.cpuMs = std::min(best.cpuMs, (ProcessorNow() - cpuStart) * 1000.0 / frames);
}

// Whole frames without the draw-time savings that keep the picture (the
// reference the picture test compares with), in the same rounds as the others.
void CGameFrameBench::TimeReferenceFrames(CTiming& best) {
    GetApp()->options.fillShortcuts = false;
    WholeFrame(); // warm-up: the other state's shaders
    TimeWholeFrames(best);
    GetApp()->options.fillShortcuts = true;
    WholeFrame();
}

void CGameFrameBench::AddRow(const CPath& path, const char* name, const CTiming& timing, bool whole) {
    printf("game path=%s pass=%s ms=%.3f cpu=%.3f tris=%d\n", path.name, name, timing.ms, timing.cpuMs,
           timing.triangles);
    char fps[16] = "";
    if (whole && timing.ms > 0.0) {
        snprintf(fps, sizeof fps, "%.1f", 1000.0 / timing.ms);
    }
    char row[200];
    snprintf(row, sizeof row, "| %-9s | %-26s | %8.2f | %8.2f | %7d | %8s |", path.name, name, timing.ms, timing.cpuMs,
             timing.triangles, fps);
    rows[&path - paths].push_back(row);
}

// The frame as the game begins: nothing selected, no effects running.
void CGameFrameBench::MeasureStartView(const CPath& path) {
    SelectPath(path);
    CTiming best;
    best.ms = best.cpuMs = 1e30;
    CTiming reference    = best;
    WholeFrame(); // warm-up (display lists are compiled then)
    for (int round = 0; round < (seconds > 0.0f ? rounds : 1); ++round) {
        TimeWholeFrames(best);
        if (&path == paths) {
            TimeReferenceFrames(reference);
        }
    }
    AddRow(path, "whole frame, start view", best, true);
    if (&path == paths) {
        AddRow(path, "start view, no shortcuts", reference, true);
    }
    startView = best;
    fflush(stdout);
}

// The passes of one frame in the busy turn, each followed by glFinish so
// that its own cost is counted, then whole frames. The fastest of several
// rounds counts.
void CGameFrameBench::MeasurePath(const CPath& path) {
    SelectPath(path);
    CBattleView& game = *level;
    // In the order the level's frame draws them.
    const std::vector<CPass> passes{
        {"terrain", [&game]() { return game.GetTerrain()->Draw(); }},
        // The level colours the selection's tiles in its frame; the overlay
        // draws (and forgets) the colours it was given.
        {"tile overlay",
         [&game]() {
             const CTileArea& area = game.GetSelection().moveArea;
             for (int i = 0; i < area.GetCount(); ++i) {
                 game.GetTerrain()->SetTileColour(area.GetX(i), area.GetY(i), 255, 123, 0, 128);
             }
             return game.GetTerrain()->DrawOverlay();
         }},
        {"sea", [&game]() { return game.GetSea()->Draw(GetOptions().fillShortcuts); }},
        {"sky",
         [&game]() { return GetOptions().fillShortcuts && game.GetSea()->HidesSky() ? 0 : game.GetSky()->Draw(); }},
        {"units (cel shading)", [&game]() { return game.GetObjects()->Draw(CWorldObjects::passUnits); }},
        {"objects", [&game]() { return game.GetObjects()->Draw(CWorldObjects::passObjects); }},
        {"particles",
         [this]() {
             const int triangles = particles->UpdateAndDraw(particleFrameTime);
             StartEffects();
             return triangles;
         }},
        {"heads-up display",
         [&game]() {
             game.DrawInterface();
             return 0;
         }},
    };
    const int            roundCount   = seconds > 0.0f ? rounds : 1;
    const int            framesNeeded = seconds > 0.0f ? minimumFrames : 1;
    const size_t         count        = passes.size();
    std::vector<CTiming> best(count);
    CTiming              whole, reference;
    for (CTiming& timing : best) {
        timing.ms = timing.cpuMs = 1e30;
    }
    whole.ms = whole.cpuMs = reference.ms = reference.cpuMs = 1e30;
    WholeFrame(); // warm-up
    for (int round = 0; round < roundCount; ++round) {
        std::vector<double> sum(count, 0.0), cpuSum(count, 0.0);
        int                 frames = 0;
        const double        start  = Now();
        while (frames < framesNeeded || Now() - start < seconds / roundCount) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            for (size_t k = 0; k < count; ++k) {
                const double t0 = Now(), c0 = ProcessorNow();
                best[k].triangles = passes[k].draw();
                glFinish();
                sum[k] += Now() - t0;
                cpuSum[k] += ProcessorNow() - c0;
            }
            ++frames;
        }
        for (size_t k = 0; k < count; ++k) {
            best[k].ms    = std::min(best[k].ms, sum[k] * 1000.0 / frames);
            best[k].cpuMs = std::min(best[k].cpuMs, cpuSum[k] * 1000.0 / frames);
        }
        TimeWholeFrames(whole);
        if (&path == paths) {
            TimeReferenceFrames(reference);
        }
    }
    for (size_t k = 0; k < count; ++k) {
        AddRow(path, passes[k].name, best[k], false);
    }
    AddRow(path, "whole frame, busy turn", whole, true);
    if (&path == paths) {
        AddRow(path, "busy turn, no shortcuts", reference, true);
    }
    busyTurn = whole;
    fflush(stdout);
}

void IgnoreDisplay() {}

// The largest resident set so far, in MiB (VmHWM), 0 when unknown.
double PeakResidentMb() {
    FILE* status = fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return 0.0;
    }
    char   line[256];
    double kib = 0.0;
    while (fgets(line, sizeof line, status) != nullptr) {
        if (sscanf(line, "VmHWM: %lf kB", &kib) == 1) {
            break;
        }
    }
    fclose(status);
    return kib / 1024.0;
}

// The islands level made again with `side` samples a side in the working
// directory (the copy of the data folder); returns the level's name.
std::string MakeSeriesLevel(int side) {
    LevelLayout::Design             design = LevelLayout::Designs()[1];
    static std::vector<std::string> names;
    names.push_back(std::string(design.name) + std::to_string(side));
    design.name             = names.back().c_str();
    design.samplesPerSide   = side;
    design.patchTextureSize = 64 * 1024 / (side - 1);
    CContentGenerator generator(".");
    generator.RunLevel(design);
    std::filesystem::create_symlink(
        std::filesystem::absolute(std::string(LevelLayout::Designs()[1].name) + "/fight.xml"),
        names.back() + "/fight.xml");
    return names.back();
}

// Each level of the series in a process of its own, with the data folder
// copied (linked) into a temporary folder that also holds the coarser levels.
int RunSeries(const char* program, float seconds) {
    char folderName[] = "/tmp/ridgeline-series-XXXXXX";
    if (mkdtemp(folderName) == nullptr) {
        fprintf(stderr, "ridgeline-bench: no temporary folder\n");
        return 1;
    }
    // The folders only: the logs of the runs stay in the temporary folder.
    const std::string folder = folderName;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        if (entry.is_directory()) {
            std::filesystem::create_symlink(std::filesystem::absolute(entry.path()),
                                            folder + "/" + entry.path().filename().string());
        }
    }
    // The game's file layer reads only below the working directory.
    const std::string self = std::filesystem::absolute(program).string();
    std::filesystem::current_path(folder);
    std::vector<std::string> levels = {"TestLevel"};
    for (const int side : {257, 513}) {
        const double start = Now();
        levels.push_back(MakeSeriesLevel(side));
        printf("# %s generated in %.1f s\n", levels.back().c_str(), Now() - start);
    }
    levels.push_back(LevelLayout::Designs()[1].name);
    for (const std::string& levelName : levels) {
        char command[2048];
        snprintf(command, sizeof command, "cd '%s' && '%s' --series-row --level '%s' --seconds %g 2>/dev/null",
                 folder.c_str(), self.c_str(), levelName.c_str(), static_cast<double>(seconds));
        FILE* child = popen(command, "r");
        char  line[1024];
        while (child != nullptr && fgets(line, sizeof line, child) != nullptr) {
            if (strncmp(line, "series ", 7) == 0) {
                fputs(line, stdout);
                fflush(stdout);
            }
        }
        if (child != nullptr) {
            pclose(child);
        }
    }
    std::filesystem::current_path("/tmp");
    std::filesystem::remove_all(folder);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    bool        quick     = false;
    bool        gameOnly  = false;
    float       seconds   = defaultSeconds;
    std::string onlyPose  = "";
    std::string levelName = "TestLevel";
    bool        series    = false;
    bool        seriesRow = false;
    std::string continueLog;
    std::string screenshot;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--quick") == 0) {
            quick = true;
        } else if (strcmp(argv[i], "--game") == 0) {
            gameOnly = true;
        } else if (strcmp(argv[i], "--pose") == 0 && i + 1 < argc) {
            onlyPose = argv[++i];
        } else if (strcmp(argv[i], "--series") == 0) {
            series = true;
        } else if (strcmp(argv[i], "--series-row") == 0) {
            seriesRow = true;
            gameOnly  = true;
        } else if (strcmp(argv[i], "--level") == 0 && i + 1 < argc) {
            levelName = argv[++i];
        } else if (strcmp(argv[i], "--continue") == 0 && i + 1 < argc) {
            continueLog = argv[++i];
        } else if (strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
            screenshot = argv[++i];
        } else if (strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::max(0.0f, static_cast<float>(atof(argv[++i])));
        } else {
            fprintf(stderr, "usage: ridgeline-bench [--quick] [--game] [--pose NAME] [--seconds S] [--level NAME] "
                            "[--series] [--continue LOG] [--screenshot PREFIX]\n");
            return 2;
        }
    }
    if (series) {
        return RunSeries(argv[0], seconds);
    }
    if (getenv("DISPLAY") == nullptr) {
        fprintf(stderr, "ridgeline-bench: needs a display (try xvfb-run -a -s \"-screen 0 1280x1024x24\")\n");
        return 1;
    }
    glutInit(&argc, argv);
    glutInitDisplayString("rgb double depth stencil");
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("ridgeline-bench");
    glutDisplayFunc(IgnoreDisplay);
    glutMainLoopEvent();
    glViewport(0, 0, windowWidth, windowHeight);
    CApplication::SetFixedGlState();
    glClearColor(0.5f, 0.6f, 0.8f, 1.0f);
    if (!gameOnly) {
        CFrameBench bench;
        if (!bench.Load()) {
            return 1;
        }
        if (!bench.Run(quick ? "start" : onlyPose, seconds)) {
            return 2;
        }
        printf("\n");
    }
    CGameFrameBench game(seconds, levelName, seriesRow, continueLog, screenshot);
    return game.Run() ? 0 : 2;
}
