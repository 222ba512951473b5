#include "view/UnitFigures.h"

#include <algorithm>
#include <cmath>

#include "audio/UnitSounds.h"
#include "core/Heightmap.h"
#include "core/Logger.h"
#include "fx/ParticleSystem.h"
#include "render/WorldObjects.h"

namespace {

constexpr float degreesPerRadian = 180.0f * 0.31830988614222805f;

// The value moved towards the target by at most step, never past it.
float Approach(float value, float target, float step) {
    if (value < target) {
        return std::min(value + step, target);
    }
    return std::max(value - step, target);
}

int SignOf(int value) {
    return (value > 0) - (value < 0);
}

// Where on a unit's model its effects start, as shares of the model's
// height: the muzzle flash at the gun, a hit and the explosion at the hull,
// fire and smoke from the top (not from inside the burning hull).
constexpr float gunShare  = 0.7f;
constexpr float hullShare = 0.4f;
constexpr float topShare  = 1.0f;

// The wheels' dust particles start over their first second: a shorter walk
// (a single tile takes a tenth of that) keeps its dust that long.
constexpr float dustSeconds = 1.0f;

// The highest point of a model above its base, in the model's own units.
float ModelHeight(const CModelInstance& instance) {
    float top = 0.0f;
    if (const CModel* model = instance.GetModel()) {
        for (const CModelMesh& mesh : model->GetData().GetMeshes()) {
            for (const CVector3& vertex : mesh.vertices) {
                top = std::max(top, vertex.y);
            }
        }
    }
    return top;
}

} // namespace

struct CUnitFigures::CFigure {
    CUnitMedia                       media;
    std::string                      effectSpecial;
    SoundSample                      soundMove      = noSound;
    SoundSample                      soundAttack    = noSound;
    SoundSample                      soundExplosion = noSound;
    int                              modelInstance  = -1; // index in the world objects
    int                              tileX = 0, tileY = 0;
    float                            worldX = 0.0f, worldZ = 0.0f;
    float                            yaw = 0.0f, pitch = 0.0f, roll = 0.0f; // about y, x and z
    bool                             walking  = false;
    int                              pathStep = 0;       // index of the path node last reached
    std::vector<std::pair<int, int>> path;               // tiles from start to destination
    int                              smokeEffect   = -1; // running particle emitters, -1 none
    int                              fireEffect    = -1;
    int                              specialEffect = -1;
    int                              wheelsEffect  = -1;
    float                            dustLeft      = 0.0f; // seconds the dust runs on after a walk
    float                            height        = 0.0f; // the model's top above the ground, world units
};

CUnitFigures::CUnitFigures(const CMatch& matchValue, CWorldObjects* worldObjects, const CHeightmap* levelHeightmap,
                           CParticleSystem* particleSystem, CSoundLibrary* sound)
    : match(matchValue), objects(worldObjects), heightmap(levelHeightmap), particles(particleSystem),
      sounds(sound != nullptr ? std::make_unique<CUnitSounds>(*sound) : nullptr) {}

CUnitFigures::~CUnitFigures() {
    if (sounds) {
        for (const auto& figure : figures) {
            for (const SoundSample sample : {figure->soundMove, figure->soundAttack, figure->soundExplosion}) {
                sounds->FreeSample(sample);
            }
        }
    }
}

void CUnitFigures::AddFigures(const std::vector<CUnitSetup>& setups) {
    for (const CUnitSetup& setup : setups) {
        const int    index = static_cast<int>(figures.size());
        const CUnit* unit  = match.GetUnit(index);
        if (unit == nullptr) {
            return;
        }
        auto figure           = std::make_unique<CFigure>();
        figure->media         = setup.media;
        figure->effectSpecial = setup.effectSpecial;
        if (objects != nullptr) {
            figure->modelInstance = objects->AddObject(setup.media.modelFile.c_str());
            if (CModelInstance* instance = objects->GetObjectByIndex(figure->modelInstance)) {
                instance->SetScale(unitScale);
                instance->SetUnitIndex(index);
                figure->height = ModelHeight(*instance) * unitScale;
            } else {
                GetLogger()->LogError("CUnitFigures: the model %s of unit %d (%s) cannot be shown",
                                      setup.media.modelFile.c_str(), index, unit->name.c_str());
                figure->modelInstance = -1;
            }
        }
        if (sounds) {
            figure->soundAttack    = sounds->LoadSample(setup.media.soundAttack.c_str());
            figure->soundMove      = sounds->LoadSample(setup.media.soundMove.c_str());
            figure->soundExplosion = sounds->LoadSample(setup.media.soundExplosion.c_str());
        }
        CFigure& added = *figure;
        figures.push_back(std::move(figure));
        const int x = unit->tileX, y = unit->tileY;
        PlaceOnTile(added, x, y);
        FaceTile(added, x + setup.lookX, y + setup.lookY);
        if (!unit->isHeadquarter) {
            TiltFigure(added, x - setup.lookX, y - setup.lookY, x, y);
        }
        PlaceModel(added);
    }
}

void CUnitFigures::ShowMatchState() {
    for (int unit = 0; unit < static_cast<int>(figures.size()); ++unit) {
        CFigure&     figure = *figures[static_cast<size_t>(unit)];
        const CUnit* state  = match.GetUnit(unit);
        if (state == nullptr) {
            continue;
        }
        StopWalking(unit, figure);
        for (int* handle : {&figure.smokeEffect, &figure.fireEffect, &figure.specialEffect}) {
            StopEffect(*handle);
        }
        PlaceOnTile(figure, state->tileX, state->tileY);
        if (state->hitpoints > 0) {
            ShowDamage(unit, figure);
            if (state->boostAttack != 0 || state->boostDefense != 0 || state->boostMovement != 0 ||
                state->boostFirerange != 0) {
                figure.specialEffect =
                    SpawnUnitEffect(unit, state->team == 1 ? "special_team1.xml" : "special_team2.xml");
            }
        }
        PlaceModel(figure);
    }
}

// ---- placing and turning ----

CUnitFigures::CFigure* CUnitFigures::FigureOf(int unit) {
    return unit >= 0 && unit < static_cast<int>(figures.size()) ? figures[static_cast<size_t>(unit)].get() : nullptr;
}

const CUnitFigures::CFigure* CUnitFigures::FigureOf(int unit) const {
    return unit >= 0 && unit < static_cast<int>(figures.size()) ? figures[static_cast<size_t>(unit)].get() : nullptr;
}

float CUnitFigures::TileSize() const {
    return match.GetBoard().GetTileSize();
}

CModelInstance* CUnitFigures::ModelOf(const CFigure& figure) const {
    return objects != nullptr ? objects->GetObjectByIndex(figure.modelInstance) : nullptr;
}

// The model follows the figure: ground position and the three angles.
void CUnitFigures::PlaceModel(const CFigure& figure) const {
    if (CModelInstance* instance = ModelOf(figure)) {
        objects->PlaceOnGround(figure.modelInstance, figure.worldX, figure.worldZ);
        instance->SetRotation(figure.pitch, figure.yaw, figure.roll);
    }
}

void CUnitFigures::PlaceOnTile(CFigure& figure, int x, int y) {
    figure.tileX = x;
    figure.tileY = y;
    CGridManager::TileCentreAt(TileSize(), x, y, figure.worldX, figure.worldZ);
}

void CUnitFigures::FaceTile(CFigure& figure, int x, int y) {
    float px = 0.0f, pz = 0.0f;
    CGridManager::TileCentreAt(TileSize(), x, y, px, pz);
    FacePoint(figure, px, pz);
}

// Yaw 0 looks along +z; a point towards +x turns the model by a negative yaw.
// At the figure's own position the direction is undefined and the yaw stays.
void CUnitFigures::FacePoint(CFigure& figure, float px, float pz) {
    const float dx     = px - figure.worldX;
    const float dz     = pz - figure.worldZ;
    const float length = std::sqrt(dx * dx + dz * dz);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        return;
    }
    float yaw = std::acos(std::max(-1.0f, std::min(1.0f, dz / length))) * degreesPerRadian;
    if (px > figure.worldX) {
        yaw = -yaw;
    }
    figure.yaw = yaw;
}

// Pitch and roll on the ground of tile `to` for a step from `from`: the
// ground is sampled half a tile ahead of and behind the centre of `to`
// along the step, and half a tile to either side of it.
void CUnitFigures::TiltFigure(CFigure& figure, int fromX, int fromY, int toX, int toY) {
    float pitch = 0.0f, roll = 0.0f;
    if ((fromX != toX || fromY != toY) && heightmap != nullptr) {
        const float tileSize = TileSize();
        const float half     = tileSize / 2.0f;
        float       cx = 0.0f, cz = 0.0f;
        CGridManager::TileCentreAt(tileSize, toX, toY, cx, cz);
        const float dx = static_cast<float>(SignOf(toX - fromX)), dz = static_cast<float>(SignOf(toY - fromY));
        const float rx = -dz, rz = dx;
        auto        height = [this](float x, float z) { return heightmap->HeightAt(x, z); };
        pitch = std::atan2(height(cx + half * dx, cz + half * dz) - height(cx - half * dx, cz - half * dz), tileSize) *
                degreesPerRadian;
        roll = std::atan2(height(cx + half * rx, cz + half * rz) - height(cx - half * rx, cz - half * rz), tileSize) *
               degreesPerRadian;
    }
    figure.pitch = pitch;
    figure.roll  = roll;
}

// The figure turns to the target and tilts as for a step from the far side
// of its own tile towards it.
void CUnitFigures::TurnTowards(CFigure& figure, int unit, int target) {
    const CUnit* self  = match.GetUnit(unit);
    const CUnit* other = match.GetUnit(target);
    if (self == nullptr || other == nullptr) {
        return;
    }
    const int x = self->tileX, y = self->tileY;
    FaceTile(figure, other->tileX, other->tileY);
    TiltFigure(figure, x - (other->tileX - x), y - (other->tileY - y), x, y);
    PlaceModel(figure);
}

// ---- walking ----

// A path of one node puts the figure there at once.
void CUnitFigures::StartWalk(int unit, const std::vector<std::pair<int, int>>& path) {
    CFigure* figure = FigureOf(unit);
    if (figure == nullptr || path.empty()) {
        return;
    }
    if (path.size() == 1) {
        StopWalking(unit, *figure);
        PlaceOnTile(*figure, path[0].first, path[0].second);
        PlaceModel(*figure);
        FollowEffects(*figure, unit);
        return;
    }
    figure->path     = path;
    figure->pathStep = 0;
    figure->tileX    = path[0].first;
    figure->tileY    = path[0].second;
    figure->walking  = true;
    figure->dustLeft = dustSeconds;
    if (figure->wheelsEffect == -1) {
        figure->wheelsEffect = SpawnUnitEffect(unit, figure->media.effectWheels);
    }
    if (sounds) {
        sounds->StartMove(unit, figure->soundMove);
    }
}

void CUnitFigures::Update(float frameTime) {
    for (int unit = 0; unit < static_cast<int>(figures.size()); ++unit) {
        CFigure& figure = *figures[static_cast<size_t>(unit)];
        figure.dustLeft = std::max(figure.dustLeft - std::max(frameTime, 0.0f), 0.0f);
        if (!figure.walking) {
            if (figure.dustLeft <= 0.0f) {
                StopEffect(figure.wheelsEffect);
            }
            continue;
        }
        if (figure.pathStep >= static_cast<int>(figure.path.size()) - 1) {
            StopWalking(unit, figure);
        } else {
            StepFigure(unit, figure, frameTime);
        }
        PlaceModel(figure);
    }
}

// At rest: the wheel effect stops, and so does the move sound if this unit
// still holds the move channel (a unit that started later keeps its sound).
void CUnitFigures::StopWalking(int unit, CFigure& figure) {
    figure.walking = false;
    figure.path.clear();
    figure.pathStep = 0;
    if (figure.dustLeft <= 0.0f) {
        StopEffect(figure.wheelsEffect);
    }
    if (sounds) {
        sounds->StopMove(unit);
    }
}

// One frame along the path: towards the centre of the next node, or onto
// that node once its centre is reached exactly. The axes move independently
// by the same step, so a diagonal step is faster than a straight one.
void CUnitFigures::StepFigure(int unit, CFigure& figure, float frameTime) {
    const size_t step  = static_cast<size_t>(figure.pathStep);
    const int    nodeX = figure.path[step].first, nodeY = figure.path[step].second;
    const int    nextX = figure.path[step + 1].first, nextY = figure.path[step + 1].second;
    TiltFigure(figure, nodeX, nodeY, nextX, nextY);

    float targetX = 0.0f, targetZ = 0.0f;
    CGridManager::TileCentreAt(TileSize(), nextX, nextY, targetX, targetZ);
    float distance = frameTime * walkRate * figure.media.speed;
    if (!(distance > 0.0f)) {
        distance = 0.0f; // no frame time, no speed: the figure waits
    }
    if (figure.worldX == targetX && figure.worldZ == targetZ) {
        ++figure.pathStep;
        TiltFigure(figure, figure.tileX, figure.tileY, nextX, nextY);
        figure.tileX = nextX;
        figure.tileY = nextY;
    } else {
        FacePoint(figure, targetX, targetZ);
        figure.worldX = Approach(figure.worldX, targetX, distance);
        figure.worldZ = Approach(figure.worldZ, targetZ, distance);
    }
    FollowEffects(figure, unit);
}

bool CUnitFigures::IsWalking(int unit) const {
    const CFigure* figure = FigureOf(unit);
    return figure != nullptr && figure->walking;
}

bool CUnitFigures::IsAnyWalking() const {
    return std::any_of(figures.begin(), figures.end(), [](const auto& figure) { return figure->walking; });
}

// ---- fighting ----

// A side turns to the other only when it fires back (it deals damage).
AttackMessage CUnitFigures::ShowAttack(int attacker, int defender, const CCombatExchange& exchange) {
    CFigure* a = FigureOf(attacker);
    CFigure* d = FigureOf(defender);
    if (a == nullptr || d == nullptr) {
        return AttackMessage::none;
    }
    if (sounds) {
        sounds->PlayAttack(a->soundAttack);
    }
    if (exchange.damageToDefender > 0) {
        TurnTowards(*a, attacker, defender);
    }
    if (exchange.damageToAttacker > 0) {
        TurnTowards(*d, defender, attacker);
    }
    const int     damageToA = exchange.damageToAttacker;
    const int     damageToD = exchange.damageToDefender;
    AttackMessage message   = AttackMessage::none;
    if (damageToA > a->media.startEffectAttack) {
        SpawnUnitEffect(attacker, a->media.effectAttack, gunShare);
    }
    if (damageToD > d->media.startEffectAttack) {
        SpawnUnitEffect(defender, d->media.effectAttack, hullShare);
        if (damageToD > 2LL * damageToA) {
            message = AttackMessage::goodAttack;
        }
    }
    if (damageToA > damageToD) {
        message = AttackMessage::weakAttack;
    }
    ShowDamage(attacker, *a);
    ShowDamage(defender, *d);
    return message;
}

// Smoke and fire start below their thresholds (on a destroyed unit too:
// they stop at once for its explosion, their last particles still flying).
void CUnitFigures::ShowDamage(int unit, CFigure& figure) {
    const CUnit* state = match.GetUnit(unit);
    if (state == nullptr) {
        return;
    }
    if (state->hitpoints < figure.media.startEffectSmoke && figure.smokeEffect == -1) {
        figure.smokeEffect = SpawnUnitEffect(unit, figure.media.effectSmoke, topShare);
    }
    if (state->hitpoints < figure.media.startEffectFire && figure.fireEffect == -1) {
        figure.fireEffect = SpawnUnitEffect(unit, figure.media.effectFire, topShare);
    }
}

// A destroyed unit's emitters stop and it explodes.
void CUnitFigures::ShowDestroyed(int unit) {
    CFigure* figure = FigureOf(unit);
    if (figure == nullptr) {
        return;
    }
    StopEffect(figure->fireEffect);
    StopEffect(figure->smokeEffect);
    StopEffect(figure->specialEffect);
    SpawnUnitEffect(unit, figure->media.effectExplosion, hullShare);
    if (sounds) {
        sounds->PlayExplosion(figure->soundExplosion);
    }
}

void CUnitFigures::ShowBoost(int general, int unit) {
    CFigure*     figure = FigureOf(unit);
    const CUnit* state  = match.GetUnit(unit);
    if (figure == nullptr || state == nullptr) {
        return;
    }
    if (figure->specialEffect == -1) {
        figure->specialEffect = SpawnUnitEffect(unit, state->team == 1 ? "special_team1.xml" : "special_team2.xml");
    }
    if (general != unit) {
        if (CFigure* generalFigure = FigureOf(general)) {
            TurnTowards(*generalFigure, general, unit);
        }
    }
}

void CUnitFigures::EndBoosts(int team) {
    for (int unit = 0; unit < static_cast<int>(figures.size()); ++unit) {
        const CUnit* state = match.GetUnit(unit);
        if (state != nullptr && state->team == team) {
            StopEffect(figures[static_cast<size_t>(unit)]->specialEffect);
        }
    }
}

// ---- queries and effects ----

CVector3 CUnitFigures::GetPosition(int unit) const {
    const CFigure* figure = FigureOf(unit);
    if (figure == nullptr) {
        return CVector3();
    }
    const float height = heightmap != nullptr ? heightmap->HeightAt(figure->worldX, figure->worldZ) : 0.0f;
    return CVector3(figure->worldX, height, figure->worldZ);
}

float CUnitFigures::GetYaw(int unit) const {
    const CFigure* figure = FigureOf(unit);
    return figure != nullptr ? figure->yaw : 0.0f;
}

float CUnitFigures::GetPitch(int unit) const {
    const CFigure* figure = FigureOf(unit);
    return figure != nullptr ? figure->pitch : 0.0f;
}

float CUnitFigures::GetRoll(int unit) const {
    const CFigure* figure = FigureOf(unit);
    return figure != nullptr ? figure->roll : 0.0f;
}

bool CUnitFigures::GetUnitLook(int unit, CUnitLook& look) const {
    const CUnit* state = match.GetUnit(unit);
    if (state == nullptr) {
        return false;
    }
    look.hitPoints = state->hitpoints;
    look.team      = state->team;
    look.done      = state->done;
    return true;
}

int CUnitFigures::SpawnUnitEffect(int unit, const std::string& effectName, float heightShare) {
    return FigureOf(unit) != nullptr ? StartEffect(effectName, GetEffectPosition(unit, heightShare)) : -1;
}

CVector3 CUnitFigures::GetEffectPosition(int unit, float heightShare) const {
    const CFigure* figure = FigureOf(unit);
    return GetPosition(unit) + CVector3(0.0f, figure != nullptr ? figure->height * heightShare : 0.0f, 0.0f);
}

void CUnitFigures::FollowEffects(const CFigure& figure, int unit) {
    if (particles == nullptr) {
        return;
    }
    const std::pair<int, float> effects[] = {{figure.specialEffect, 0.0f},
                                             {figure.fireEffect, topShare},
                                             {figure.smokeEffect, topShare},
                                             {figure.wheelsEffect, 0.0f}};
    for (const auto& effect : effects) {
        if (effect.first != -1) {
            const CVector3 position = GetEffectPosition(unit, effect.second);
            particles->SetEmitterPosition(effect.first, position.x, position.y, position.z);
        }
    }
}

int CUnitFigures::StartEffect(const std::string& name, const CVector3& position) {
    return particles != nullptr ? particles->LoadEmitter(name.c_str(), position) : -1;
}

// The emitter's flying particles finish their flight; it ends by itself.
void CUnitFigures::StopEffect(int& handle) {
    if (particles != nullptr && handle != -1) {
        particles->StopRespawn(handle);
    }
    handle = -1;
}
