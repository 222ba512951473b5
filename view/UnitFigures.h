#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Vector3.h"
#include "platform/SoundLibrary.h"
#include "rules/Match.h"

class CHeightmap;
class CModelInstance;
class CParticleSystem;
class CUnitSounds;
class CWorldObjects;
struct CUnitLook;

// How each unit of a match is shown: its model, where it stands in the world
// and how it is turned, its running particle effects and its sounds. Figures
// follow what the match says happened; they walk paths by frame time and
// never change the match. Figures are addressed by unit index. World
// objects, particles and sound may be absent (null): the figures then only
// keep positions and angles. World positions are on the ground plane (x, z);
// angles are degrees.
class CUnitFigures {
public:
    static constexpr float unitScale = 2.0f;
    // World units a unit walks per second at speed 1.
    static constexpr float walkRate = 500.0f;

    CUnitFigures(const CMatch& match, CWorldObjects* objects, const CHeightmap* heightmap, CParticleSystem* particles,
                 CSoundLibrary* sound);
    ~CUnitFigures();
    CUnitFigures(const CUnitFigures&)            = delete;
    CUnitFigures& operator=(const CUnitFigures&) = delete;

    // One figure per unit of the match, in index order: its model and
    // samples loaded, placed on its tile looking along the setup's offset.
    // A model that cannot be shown leaves the unit without one (logged).
    void AddFigures(const std::vector<CUnitSetup>& setups);

    // ---- what the match reported ----
    void StartWalk(int unit, const std::vector<std::pair<int, int>>& path);
    // Turns both to each other, plays the attack and shows the damage; the
    // message the shot earns for the interface.
    AttackMessage ShowAttack(int attacker, int defender, const CCombatExchange& exchange);
    void          ShowBoost(int general, int unit);
    void          ShowDestroyed(int unit);
    // The boost effects of the team whose turn begins end.
    void EndBoosts(int team);

    // Every figure stands at once where the match says, with the effects of
    // its damage and boosts, after the match was set to another state.
    void ShowMatchState();

    // Walks every walking figure by frameTime seconds along its path.
    void Update(float frameTime);
    bool IsWalking(int unit) const;
    bool IsAnyWalking() const;

    // Where the figure stands: ground position and the ground's height there.
    CVector3 GetPosition(int unit) const;
    float    GetYaw(int unit) const;
    float    GetPitch(int unit) const;
    float    GetRoll(int unit) const;
    // What the world objects draw for a unit; false for an unknown index.
    bool GetUnitLook(int unit, CUnitLook& look) const;
    // Starts the named particle effect at the unit, raised by a share of its
    // model's height; its handle, -1 none.
    int SpawnUnitEffect(int unit, const std::string& effectName, float heightShare = 0.0f);
    // The ground position raised by that share of the model's height (of
    // none without a model).
    CVector3 GetEffectPosition(int unit, float heightShare) const;

private:
    struct CFigure;

    CFigure*        FigureOf(int unit);
    const CFigure*  FigureOf(int unit) const;
    float           TileSize() const;
    CModelInstance* ModelOf(const CFigure& figure) const;
    void            PlaceModel(const CFigure& figure) const;
    void            PlaceOnTile(CFigure& figure, int x, int y);
    void            FaceTile(CFigure& figure, int x, int y);
    void            FacePoint(CFigure& figure, float px, float pz);
    void            TiltFigure(CFigure& figure, int fromX, int fromY, int toX, int toY);
    void            TurnTowards(CFigure& figure, int unit, int target);
    void            StepFigure(int unit, CFigure& figure, float frameTime);
    void            StopWalking(int unit, CFigure& figure);
    void            ShowDamage(int unit, CFigure& figure);
    void            FollowEffects(const CFigure& figure, int unit);
    int             StartEffect(const std::string& name, const CVector3& position);
    void            StopEffect(int& handle);

    const CMatch&                         match;
    CWorldObjects*                        objects   = nullptr;
    const CHeightmap*                     heightmap = nullptr;
    CParticleSystem*                      particles = nullptr;
    std::unique_ptr<CUnitSounds>          sounds; // null without a sound library
    std::vector<std::unique_ptr<CFigure>> figures;
};
