#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "ui/Font.h"

// The heads-up display's layout as the interface files give it: plain
// records, read without GL. Every position is resolved to window pixels
// (x to the right from the left edge, y upwards from the bottom edge) for
// the screen size given to the loader. An element whose file is missing or
// lacks a key keeps its empty value: no texts, zero colours and positions.

struct CHudBox {
    CColour team1;
    CColour team2;
    int     lowerRightX = 0;
    int     lowerRightY = 0;
    int     upperLeftX  = 0;
    int     upperLeftY  = 0;
};

// A rectangle by its resolved corners (upper left has the larger y).
struct CHudRect {
    int upperLeftX  = 0;
    int upperLeftY  = 0;
    int lowerRightX = 0;
    int lowerRightY = 0;
};

struct CTerrainPanel {
    int         posY       = 0;
    int         posXLabels = 0;
    int         posXValues = 0;
    std::string head, height, slope, attack, defense, movement;
};

struct CHitpointsPanel {
    int         posY       = 0;
    int         posXLabels = 0;
    int         posXValues = 0;
    CColour     from;  // bar colour at full strength
    CColour     to;    // bar colour near destruction
    CColour     start; // the bar of the starting strength behind
    int         maxLength = 0;
    std::string head, team1, team2;
};

// The hit-point panel's fields and the unit's texts. The boost text labels
// a general's boost preview; its key is optional. (Older files may still
// hold "dealt" and "taken": the attack preview now names its units instead.)
struct CUnitPanel {
    static constexpr const char* defaultBoost = "Boost given";

    int         posY       = 0;
    int         posXLabels = 0;
    int         posXValues = 0;
    CColour     from;
    CColour     to;
    CColour     start;
    int         maxLength = 0;
    std::string head, team1, team2, hitpoints, attack, defense, movement, firerange, maxslope, height, none;
    std::string boost = defaultBoost;
};

struct CTeamLine {
    int         posY       = 0;
    int         posXLabels = 0;
    std::string head, team1, team2;
};

struct CEndTurnButton {
    CColour     team1;
    CColour     team2;
    std::string label;
    int         labelY = 0;
    int         labelX = 0;
    CHudRect    button;
};

struct CFpsLine {
    int         posY       = 0;
    int         posXLabels = 0;
    std::string label;
};

// head, team1 and team2 are stored in upper case; label keeps its case.
struct CFinishScreen {
    int         labelY = 0;
    int         labelX = 0;
    int         headY  = 0;
    int         headX  = 0;
    CHudRect    box;
    CHudRect    button;
    std::string head, label, team1, team2;
    CColour     boxTeam1, boxTeam2, buttonTeam1, buttonTeam2;
};

// Ten line labels and the nine value words appended to them.
struct CRenderInfoPanel {
    int         posY       = 0;
    int         posXLabels = 0;
    std::string head, fps, wireframe, filter, mipmap, mode, displayList, culling, transparency, lod;
    std::string off, on, nearest, linear, bilinear, trilinear, vbo, immediate, vertexArray;
};

struct CMessageTexts {
    std::string goodAttack, weakAttack, turnTeam1, turnTeam2;
};

// A font's description and whether its file was read completely (only then
// is the font built).
struct CFontEntry {
    CFontDescription description;
    bool             loaded = false;
};

struct CInterfaceLayout {
    CFontEntry           fontRegular, fontHead, fontFinish, font3d;
    std::vector<CHudBox> boxes;
    CTerrainPanel        terrain;
    CHitpointsPanel      hitpoints;
    CUnitPanel           selectedUnit, hoverUnit;
    CTeamLine            currentTeam;
    CEndTurnButton       endTurn;
    CFpsLine             fps;
    CFinishScreen        finish;
    CRenderInfoPanel     renderInfo;
    CMessageTexts        messages;
};

// Reads the index file and its sub-files. Paths of sub-files are built with
// "interface\%s" relative to the working directory.
class CInterfaceLayoutReader {
public:
    static constexpr size_t maxFileNameLength = 1023;
    static constexpr size_t maxTextLength     = 511;
    static constexpr size_t maxPositionLength = 15;
    static constexpr int    maxPosition       = 1000000; // resolved positions lie within +-this
    static constexpr int    maxFontMetric     = 65536;   // font sizes and line heights likewise

    CInterfaceLayoutReader(int screenWidth, int screenHeight) : screenWidth(screenWidth), screenHeight(screenHeight) {}

    // False when the index file cannot be opened (the layout is then left
    // as it was). Sub-files that fail leave their element as it was.
    bool Load(const char* indexPath, CInterfaceLayout& layout) const;

    // A position text and its alignment word turned into window pixels:
    // "MAX_X" is the screen width, other texts their leading integer; "RIGHT"
    // counts from the right edge, "MIDDLE" from the centre, anything else
    // from the left. Letter case does not matter. Missing texts give 0.
    // Results are limited to +-maxPosition.
    int ResolveX(const char* position, const char* alignment) const;
    // "MAX_Y" is the screen height; "LOWER" counts up from the bottom edge,
    // "MIDDLE" down from the centre, anything else down from the top edge.
    int ResolveY(const char* position, const char* alignment) const;

private:
    int screenWidth;
    int screenHeight;
};
