#include <functional>
#include <string>

#include "core/XmlFile.h"
#include "tools/ContentGenerator.h"
#include "tools/ContentStages.h"

// The interface index and its fifteen sub-files. Positions are texts that
// the interface resolves against the window size with the file's alignment
// words, so the layout holds for any window: panels hang from the corners,
// the turn line and the end-turn button from the top centre, the finish
// screen from the middle.
namespace {

struct Colour {
    float red, green, blue, alpha;
};

const Colour redTeamPanel  = {0.32f, 0.06f, 0.05f, 0.55f};
const Colour blueTeamPanel = {0.05f, 0.09f, 0.32f, 0.55f};

bool WriteColour(CXmlFile& file, const char* prefix, const char* suffix, const Colour& colour) {
    const std::string head = prefix, tail = suffix;
    bool              ok = file.WriteFloat((head + "red" + tail).c_str(), colour.red);
    ok                   = ok && file.WriteFloat((head + "green" + tail).c_str(), colour.green);
    ok                   = ok && file.WriteFloat((head + "blue" + tail).c_str(), colour.blue);
    return ok && file.WriteFloat((head + "alpha" + tail).c_str(), colour.alpha);
}

bool WriteAlignment(CXmlFile& file, const char* x, const char* y) {
    return file.WriteString("alignmentx", x) && file.WriteString("alignmenty", y);
}

struct FontFile {
    const char* name;
    int         size, lineHeight;
    bool        bold;
    Colour      colour;
};

bool WriteFontBase(CXmlFile& file, const FontFile& font) {
    bool ok = file.WriteString("name", font.name);
    ok      = ok && file.WriteInt("size", font.size);
    ok      = ok && file.WriteInt("lineheight", font.lineHeight);
    ok      = ok && file.WriteInt("bold", font.bold ? 1 : 0);
    ok      = ok && file.WriteInt("italic", 0);
    return ok && file.WriteInt("underline", 0);
}

bool Write2dFont(CXmlFile& file, const FontFile& font) {
    return WriteFontBase(file, font) && WriteColour(file, "", "", font.colour);
}

bool Write3dFont(CXmlFile& file) {
    const FontFile font = {"DejaVu Sans", 48, 56, true, {}};
    bool           ok   = WriteFontBase(file, font);
    ok                  = ok && file.WriteFloat("deviation", 0.01f);
    ok                  = ok && file.WriteFloat("thickness", 0.2f);
    ok                  = ok && file.WriteFloat("linewidth", 2.0f);
    ok                  = ok && WriteColour(file, "fill", "", {1.0f, 0.78f, 0.22f, 1.0f});
    return ok && WriteColour(file, "outline", "", {0.18f, 0.06f, 0.0f, 1.0f});
}

struct Box {
    const char *upperLeftX, *upperLeftY, *lowerRightX, *lowerRightY, *alignX, *alignY;
};

// Backgrounds: terrain panel (top left), selected unit (top right), team
// strength (bottom left), unit under the cursor (bottom right), turn line
// and end-turn button (top centre).
bool WriteBoxes(CXmlFile& file) {
    const Box boxes[] = {
        {"10", "10", "215", "132", "LEFT", "TOP"},  {"220", "10", "10", "132", "RIGHT", "TOP"},
        {"10", "84", "240", "10", "LEFT", "LOWER"}, {"290", "172", "10", "16", "RIGHT", "LOWER"},
        {"-95", "8", "95", "72", "MIDDLE", "TOP"},
    };
    bool ok = file.BeginWriteElement("boxes");
    int  n  = 0;
    for (const Box& box : boxes) {
        ok = ok && file.BeginWriteSubElement(n++);
        ok = ok && WriteColour(file, "", "team1", redTeamPanel);
        ok = ok && WriteColour(file, "", "team2", blueTeamPanel);
        ok = ok && file.WriteString("upperleftx", box.upperLeftX);
        ok = ok && file.WriteString("upperlefty", box.upperLeftY);
        ok = ok && file.WriteString("lowerrightx", box.lowerRightX);
        ok = ok && file.WriteString("lowerrighty", box.lowerRightY);
        ok = ok && WriteAlignment(file, box.alignX, box.alignY);
        ok = ok && file.EndWriteSubElement();
    }
    return ok && file.EndWriteElement();
}

bool WriteTexts(CXmlFile& file, const char* const (*pairs)[2], size_t count) {
    bool ok = true;
    for (size_t i = 0; i < count && ok; ++i) {
        ok = file.WriteString(pairs[i][0], pairs[i][1]);
    }
    return ok;
}

bool WritePosition(CXmlFile& file, const char* posY, const char* posXLabels, const char* posXValues) {
    bool ok = file.WriteString("posy", posY);
    ok      = ok && file.WriteString("posxlabels", posXLabels);
    return ok && (posXValues == nullptr || file.WriteString("posxvalues", posXValues));
}

bool WriteTerrainPanel(CXmlFile& file) {
    static const char* const texts[][2] = {
        {"head", "Terrain"},  {"height", "Height"},   {"slope", "Slope"},
        {"attack", "Attack"}, {"defense", "Defence"}, {"movement", "Movement cost"},
    };
    return WriteTexts(file, texts, 6) && WritePosition(file, "30", "20", "125") && WriteAlignment(file, "LEFT", "TOP");
}

// Bars run from green at full strength to red when nearly destroyed, over a
// dark trough that shows the starting strength.
bool WriteBarColours(CXmlFile& file) {
    bool ok = WriteColour(file, "", "from", {0.25f, 0.85f, 0.2f, 0.95f});
    ok      = ok && WriteColour(file, "", "to", {0.9f, 0.15f, 0.1f, 0.95f});
    return ok && WriteColour(file, "", "start", {0.2f, 0.2f, 0.2f, 0.75f});
}

// The panel at the cursor is wider: its attack preview names the units
// whose hit points each line gives ("Blue Howitzer") and may say "destroyed".
bool WriteUnitPanel(CXmlFile& file, const char* head, const char* posY, const char* posXLabels, const char* posXValues,
                    const char* alignY) {
    const char* const texts[][2] = {
        {"head", head},
        {"team1", "Red"},
        {"team2", "Blue"},
        {"hitpoints", "Hit points"},
        {"attack", "Attack"},
        {"defense", "Defence"},
        {"movement", "Movement"},
        {"firerange", "Fire range"},
        {"maxslope", "Max. slope"},
        {"height", "Height"},
        {"none", "none"},
        {"boost", "Boost given"},
    };
    bool ok = WriteTexts(file, texts, 12) && WriteBarColours(file);
    ok      = ok && file.WriteInt("maxlength", 100);
    return ok && WritePosition(file, posY, posXLabels, posXValues) && WriteAlignment(file, "RIGHT", alignY);
}

bool WriteHitpointsPanel(CXmlFile& file) {
    static const char* const texts[][2] = {{"head", "Team strength"}, {"team1", "Red"}, {"team2", "Blue"}};
    bool                     ok         = WriteTexts(file, texts, 3) && WriteBarColours(file);
    ok                                  = ok && file.WriteInt("maxlength", 150);
    return ok && WritePosition(file, "66", "20", "80") && WriteAlignment(file, "LEFT", "LOWER");
}

bool WriteTeamLine(CXmlFile& file) {
    static const char* const texts[][2] = {{"head", " team to move"}, {"team1", "Red"}, {"team2", "Blue"}};
    return WriteTexts(file, texts, 3) && WritePosition(file, "32", "-80", nullptr) &&
           WriteAlignment(file, "MIDDLE", "TOP");
}

bool WriteEndTurnButton(CXmlFile& file) {
    bool ok = WriteColour(file, "", "team1", {1.0f, 0.45f, 0.35f, 1.0f});
    ok      = ok && WriteColour(file, "", "team2", {0.45f, 0.65f, 1.0f, 1.0f});
    ok      = ok && file.WriteString("label", "End turn");
    ok      = ok && WritePosition(file, "60", "-52", nullptr);
    ok      = ok && file.WriteString("upperleftx", "-80");
    ok      = ok && file.WriteString("upperlefty", "42");
    ok      = ok && file.WriteString("lowerrightx", "80");
    ok      = ok && file.WriteString("lowerrighty", "68");
    return ok && WriteAlignment(file, "MIDDLE", "TOP");
}

bool WriteFpsLine(CXmlFile& file) {
    return file.WriteString("label", "FPS: ") && WritePosition(file, "24", "-40", nullptr) &&
           WriteAlignment(file, "MIDDLE", "LOWER");
}

bool WriteFinishScreen(CXmlFile& file) {
    bool ok = WriteColour(file, "box", "team1", {0.45f, 0.05f, 0.04f, 0.85f});
    ok      = ok && WriteColour(file, "box", "team2", {0.04f, 0.09f, 0.45f, 0.85f});
    ok      = ok && WriteColour(file, "button", "team1", {1.0f, 0.85f, 0.3f, 1.0f});
    ok      = ok && WriteColour(file, "button", "team2", {1.0f, 0.85f, 0.3f, 1.0f});
    ok      = ok && file.WriteString("head", " team wins");
    ok      = ok && file.WriteString("posyhead", "-30");
    ok      = ok && file.WriteString("posxhead", "-180");
    ok      = ok && file.WriteString("team1", "Red");
    ok      = ok && file.WriteString("team2", "Blue");
    ok      = ok && file.WriteString("label", "Leave the game");
    ok      = ok && file.WriteString("posylabel", "55");
    ok      = ok && file.WriteString("posxlabel", "-90");
    ok      = ok && file.WriteString("boxupperleftx", "-240");
    ok      = ok && file.WriteString("boxupperlefty", "-110");
    ok      = ok && file.WriteString("boxlowerrightx", "240");
    ok      = ok && file.WriteString("boxlowerrighty", "110");
    ok      = ok && file.WriteString("buttonupperleftx", "-110");
    ok      = ok && file.WriteString("buttonupperlefty", "38");
    ok      = ok && file.WriteString("buttonlowerrightx", "110");
    ok      = ok && file.WriteString("buttonlowerrighty", "66");
    return ok && WriteAlignment(file, "MIDDLE", "MIDDLE");
}

bool WriteRenderInfo(CXmlFile& file) {
    static const char* const texts[][2] = {
        {"head", "Render settings"},
        {"fps", "Frame counter: "},
        {"wireframe", "Wireframe: "},
        {"filter", "Texture filter: "},
        {"mipmap", "Mipmaps: "},
        {"mode", "Geometry: "},
        {"displaylist", "Display lists: "},
        {"culling", "Frustum culling: "},
        {"transparency", "Transparency: "},
        {"lod", "Level of detail: "},
        {"off", "off"},
        {"on", "on"},
        {"nearest", "nearest"},
        {"linear", "linear"},
        {"bilinear", "bilinear"},
        {"trilinear", "trilinear"},
        {"vbo", "vertex buffer objects"},
        {"immediate", "immediate mode"},
        {"vertexarray", "vertex arrays"},
    };
    return WriteTexts(file, texts, 19) && WritePosition(file, "-100", "20", nullptr) &&
           WriteAlignment(file, "LEFT", "MIDDLE");
}

bool WriteMessages(CXmlFile& file) {
    static const char* const texts[][2] = {
        {"goodattack", "Direct hit!"},
        {"weakattack", "Driven back!"},
        {"turnteam1", "Red team's turn"},
        {"turnteam2", "Blue team's turn"},
    };
    return WriteTexts(file, texts, 4);
}

struct SubFile {
    const char*                    key;
    const char*                    fileName;
    std::function<bool(CXmlFile&)> write;
};

} // namespace

namespace ContentStages {

bool WriteInterfaceFiles(CContentGenerator& generator) {
    const FontFile regular    = {"DejaVu Sans", 13, 17, false, {0.95f, 0.95f, 0.9f, 1.0f}};
    const FontFile head       = {"DejaVu Sans", 15, 22, true, {1.0f, 0.84f, 0.4f, 1.0f}};
    const FontFile finish     = {"DejaVu Sans", 36, 44, true, {1.0f, 1.0f, 1.0f, 1.0f}};
    const SubFile  subFiles[] = {
         {"fontregular", "fontregular.xml", [&regular](CXmlFile& file) { return Write2dFont(file, regular); }},
         {"fonthead", "fonthead.xml", [&head](CXmlFile& file) { return Write2dFont(file, head); }},
         {"fontfinish", "fontfinish.xml", [&finish](CXmlFile& file) { return Write2dFont(file, finish); }},
         {"font3d", "font3d.xml", Write3dFont},
         {"boxes", "boxes.xml", WriteBoxes},
         {"terrain", "terrainpanel.xml", WriteTerrainPanel},
         {"selectedunit", "selectedunit.xml",
          [](CXmlFile& file) { return WriteUnitPanel(file, "Selected", "30", "210", "120", "TOP"); }},
         {"hoverunit", "hoverunit.xml",
          [](CXmlFile& file) { return WriteUnitPanel(file, "At cursor", "152", "280", "150", "LOWER"); }},
         {"hitpoints", "hitpoints.xml", WriteHitpointsPanel},
         {"curteam", "curteam.xml", WriteTeamLine},
         {"endturn", "endturn.xml", WriteEndTurnButton},
         {"fpscounter", "fpscounter.xml", WriteFpsLine},
         {"finish", "finish.xml", WriteFinishScreen},
         {"pxinfos", "pxinfos.xml", WriteRenderInfo},
         {"comment", "comment.xml", WriteMessages},
    };
    bool ok = generator.EnsureXml("Interface/interface.xml", [&subFiles](CXmlFile& file) {
        bool written = true;
        for (const SubFile& subFile : subFiles) {
            written = written && file.WriteString(subFile.key, subFile.fileName);
        }
        return written;
    });
    for (const SubFile& subFile : subFiles) {
        ok = generator.EnsureXml(std::string("Interface/") + subFile.fileName, subFile.write) && ok;
    }
    return ok;
}

} // namespace ContentStages
