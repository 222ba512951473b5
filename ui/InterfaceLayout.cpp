#include "ui/InterfaceLayout.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "core/Logger.h"
#include "core/XmlFile.h"

namespace {

using Reader = CInterfaceLayoutReader;

// A position or alignment text as read, cut to its limit.
struct CPositionText {
    char text[Reader::maxPositionLength + 1] = {};
};

std::string UpperCase(std::string text) {
    for (char& character : text) {
        character = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
    }
    return text;
}

// The leading decimal integer after white space, with an optional sign; 0
// without digits. Saturates instead of overflowing.
long long LeadingInteger(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    long long value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        value = value < LLONG_MAX / 20 ? value * 10 + (text[at] - '0') : value;
    }
    return negative ? -value : value;
}

// Positions far off the screen stay far off it, within a range in which the
// panels' line arithmetic cannot overflow.
int ClampPosition(long long value) {
    const long long limit = CInterfaceLayoutReader::maxPosition;
    return static_cast<int>(value > limit ? limit : value < -limit ? -limit : value);
}

// Font metrics are used as line steps below a position; kept in a range that
// cannot overflow either.
int ClampMetric(int value) {
    const int limit = CInterfaceLayoutReader::maxFontMetric;
    return value > limit ? limit : value < -limit ? -limit : value;
}

// Reads the keys of one file in order and remembers whether every one was
// found; after the first missing key nothing more is read.
class CKeyReader {
public:
    explicit CKeyReader(CXmlFile& file) : file(file) {}

    bool Ok() const { return ok; }

    void Text(const char* key, std::string& value, size_t limit = Reader::maxTextLength) {
        if (ok) {
            ok = ReadText(key, value, limit);
        }
    }
    // A key that may be missing; the value stays as it was then.
    void OptionalText(const char* key, std::string& value) {
        if (ok) {
            ReadText(key, value, Reader::maxTextLength);
        }
    }
    void Float(const char* key, float& value) { ok = ok && file.ReadFloat(key, value); }
    void Int(const char* key, int& value) { ok = ok && file.ReadInt(key, value); }
    void Flag(const char* key, bool& value) {
        int number = 0;
        Int(key, number);
        value = number != 0;
    }
    // The four keys prefix + "red"/"green"/"blue"/"alpha" + suffix.
    void Colour(const char* prefix, const char* suffix, CColour& colour) {
        const std::string head = prefix, tail = suffix;
        Float((head + "red" + tail).c_str(), colour.red);
        Float((head + "green" + tail).c_str(), colour.green);
        Float((head + "blue" + tail).c_str(), colour.blue);
        Float((head + "alpha" + tail).c_str(), colour.alpha);
    }
    void Position(const char* key, CPositionText& value) {
        ok = ok && file.ReadString(key, value.text, sizeof value.text);
    }

private:
    bool ReadText(const char* key, std::string& value, size_t limit) {
        std::vector<char> buffer(limit + 1, '\0');
        if (!file.ReadString(key, buffer.data(), buffer.size())) {
            return false;
        }
        value = buffer.data();
        return true;
    }

    CXmlFile& file;
    bool      ok = true;
};

// The alignment pair of a file, and resolution of its positions.
struct CAlignment {
    CPositionText x, y;

    void Read(CKeyReader& keys) {
        keys.Position("alignmentx", x);
        keys.Position("alignmenty", y);
    }
};

class CSubFileLoader {
public:
    CSubFileLoader(const Reader& reader) : reader(reader) {}

    // Opens "interface\<name>" and hands it to `read`, which stores its
    // record only when every key was found.
    bool Load(const char* name, const std::function<bool(CXmlFile&)>& read) const {
        char path[Reader::maxFileNameLength + 16];
        snprintf(path, sizeof path, "interface\\%s", name);
        CXmlFile file;
        if (!file.Open(path, CXmlFile::modeReading)) {
            GetLogger()->LogError("CInterface: Couldn't load interface file %s; its part keeps its defaults", path);
            return false;
        }
        const bool loaded = read(file);
        file.Close();
        if (!loaded) {
            GetLogger()->LogError("CInterface: %s lacks a value; its part keeps its defaults", path);
        }
        return loaded;
    }

    int X(const CPositionText& position, const CAlignment& alignment) const {
        return reader.ResolveX(position.text, alignment.x.text);
    }
    int Y(const CPositionText& position, const CAlignment& alignment) const {
        return reader.ResolveY(position.text, alignment.y.text);
    }
    CHudRect Rect(const CPositionText (&corners)[4], const CAlignment& alignment) const {
        CHudRect rect;
        rect.upperLeftX  = X(corners[0], alignment);
        rect.upperLeftY  = Y(corners[1], alignment);
        rect.lowerRightX = X(corners[2], alignment);
        rect.lowerRightY = Y(corners[3], alignment);
        return rect;
    }

private:
    const Reader& reader;
};

void ReadFontBase(CKeyReader& keys, CFontDescription& font) {
    keys.Text("name", font.name, CFontDescription::maxNameLength);
    keys.Int("size", font.size);
    keys.Int("lineheight", font.lineHeight);
    keys.Flag("bold", font.bold);
    keys.Flag("italic", font.italic);
    keys.Flag("underline", font.underline);
    font.size       = ClampMetric(font.size);
    font.lineHeight = ClampMetric(font.lineHeight);
}

bool Read2dFont(CXmlFile& file, CFontEntry& entry) {
    CKeyReader       keys(file);
    CFontDescription font;
    ReadFontBase(keys, font);
    keys.Colour("", "", font.colour);
    if (keys.Ok()) {
        entry.description = font;
        entry.loaded      = true;
    }
    return keys.Ok();
}

bool Read3dFont(CXmlFile& file, CFontEntry& entry) {
    CKeyReader       keys(file);
    CFontDescription font;
    ReadFontBase(keys, font);
    keys.Float("deviation", font.deviation);
    keys.Float("thickness", font.thickness);
    keys.Float("linewidth", font.lineWidth);
    keys.Colour("fill", "", font.fillColour);
    keys.Colour("outline", "", font.outlineColour);
    if (keys.Ok()) {
        entry.description = font;
        entry.loaded      = true;
    }
    return keys.Ok();
}

// Entries "0", "1", ... until one is missing or lacks a key.
bool ReadBoxes(CXmlFile& file, const CSubFileLoader& loader, std::vector<CHudBox>& boxes) {
    if (!file.EnterElement("boxes")) {
        return false;
    }
    for (int number = 0; file.EnterSubElement(number); ++number) {
        CKeyReader    keys(file);
        CHudBox       box;
        CPositionText corners[4];
        CAlignment    alignment;
        keys.Colour("", "team1", box.team1);
        keys.Colour("", "team2", box.team2);
        keys.Position("upperleftx", corners[0]);
        keys.Position("upperlefty", corners[1]);
        keys.Position("lowerrightx", corners[2]);
        keys.Position("lowerrighty", corners[3]);
        alignment.Read(keys);
        if (!keys.Ok()) {
            break;
        }
        const CHudRect rect = loader.Rect(corners, alignment);
        box.upperLeftX      = rect.upperLeftX;
        box.upperLeftY      = rect.upperLeftY;
        box.lowerRightX     = rect.lowerRightX;
        box.lowerRightY     = rect.lowerRightY;
        boxes.push_back(box);
        file.LeaveSubElement();
    }
    file.LeaveElement();
    return true;
}

bool ReadTerrainPanel(CXmlFile& file, const CSubFileLoader& loader, CTerrainPanel& target) {
    CKeyReader    keys(file);
    CTerrainPanel panel;
    CPositionText posY, posXLabels, posXValues;
    CAlignment    alignment;
    keys.Text("head", panel.head);
    keys.Text("height", panel.height);
    keys.Text("slope", panel.slope);
    keys.Text("attack", panel.attack);
    keys.Text("defense", panel.defense);
    keys.Text("movement", panel.movement);
    keys.Position("posy", posY);
    keys.Position("posxlabels", posXLabels);
    keys.Position("posxvalues", posXValues);
    alignment.Read(keys);
    if (!keys.Ok()) {
        return false;
    }
    panel.posY       = loader.Y(posY, alignment);
    panel.posXLabels = loader.X(posXLabels, alignment);
    panel.posXValues = loader.X(posXValues, alignment);
    target           = panel;
    return true;
}

// The bar colours, length and position shared by the hit-point and unit panels.
template <typename Panel> void ReadBarColours(CKeyReader& keys, Panel& panel) {
    keys.Colour("", "from", panel.from);
    keys.Colour("", "to", panel.to);
    keys.Colour("", "start", panel.start);
    keys.Int("maxlength", panel.maxLength);
}

void ReadPanelPosition(CKeyReader& keys, CPositionText (&positions)[3], CAlignment& alignment) {
    keys.Position("posy", positions[0]);
    keys.Position("posxlabels", positions[1]);
    keys.Position("posxvalues", positions[2]);
    alignment.Read(keys);
}

template <typename Panel>
void ResolvePanelPosition(const CSubFileLoader& loader, const CPositionText (&positions)[3],
                          const CAlignment& alignment, Panel& panel) {
    panel.posY       = loader.Y(positions[0], alignment);
    panel.posXLabels = loader.X(positions[1], alignment);
    panel.posXValues = loader.X(positions[2], alignment);
}

bool ReadUnitPanel(CXmlFile& file, const CSubFileLoader& loader, CUnitPanel& target) {
    CKeyReader    keys(file);
    CUnitPanel    panel;
    CPositionText positions[3];
    CAlignment    alignment;
    keys.Text("head", panel.head);
    keys.Text("team1", panel.team1);
    keys.Text("team2", panel.team2);
    keys.Text("hitpoints", panel.hitpoints);
    keys.Text("attack", panel.attack);
    keys.Text("defense", panel.defense);
    keys.Text("movement", panel.movement);
    keys.Text("firerange", panel.firerange);
    keys.Text("maxslope", panel.maxslope);
    keys.Text("height", panel.height);
    keys.Text("none", panel.none);
    ReadBarColours(keys, panel);
    ReadPanelPosition(keys, positions, alignment);
    keys.OptionalText("boost", panel.boost);
    if (!keys.Ok()) {
        return false;
    }
    ResolvePanelPosition(loader, positions, alignment, panel);
    target = panel;
    return true;
}

bool ReadHitpointsPanel(CXmlFile& file, const CSubFileLoader& loader, CHitpointsPanel& target) {
    CKeyReader      keys(file);
    CHitpointsPanel panel;
    CPositionText   positions[3];
    CAlignment      alignment;
    keys.Text("head", panel.head);
    keys.Text("team1", panel.team1);
    keys.Text("team2", panel.team2);
    ReadBarColours(keys, panel);
    ReadPanelPosition(keys, positions, alignment);
    if (!keys.Ok()) {
        return false;
    }
    ResolvePanelPosition(loader, positions, alignment, panel);
    target = panel;
    return true;
}

bool ReadTeamLine(CXmlFile& file, const CSubFileLoader& loader, CTeamLine& target) {
    CKeyReader    keys(file);
    CTeamLine     line;
    CPositionText posY, posXLabels;
    CAlignment    alignment;
    keys.Text("head", line.head);
    keys.Text("team1", line.team1);
    keys.Text("team2", line.team2);
    keys.Position("posy", posY);
    keys.Position("posxlabels", posXLabels);
    alignment.Read(keys);
    if (!keys.Ok()) {
        return false;
    }
    line.posY       = loader.Y(posY, alignment);
    line.posXLabels = loader.X(posXLabels, alignment);
    target          = line;
    return true;
}

bool ReadEndTurnButton(CXmlFile& file, const CSubFileLoader& loader, CEndTurnButton& target) {
    CKeyReader     keys(file);
    CEndTurnButton button;
    CPositionText  posY, posXLabels, corners[4];
    CAlignment     alignment;
    keys.Colour("", "team1", button.team1);
    keys.Colour("", "team2", button.team2);
    keys.Text("label", button.label);
    keys.Position("posy", posY);
    keys.Position("posxlabels", posXLabels);
    keys.Position("upperleftx", corners[0]);
    keys.Position("upperlefty", corners[1]);
    keys.Position("lowerrightx", corners[2]);
    keys.Position("lowerrighty", corners[3]);
    alignment.Read(keys);
    if (!keys.Ok()) {
        return false;
    }
    button.labelY = loader.Y(posY, alignment);
    button.labelX = loader.X(posXLabels, alignment);
    button.button = loader.Rect(corners, alignment);
    target        = button;
    return true;
}

bool ReadFpsLine(CXmlFile& file, const CSubFileLoader& loader, CFpsLine& target) {
    CKeyReader    keys(file);
    CFpsLine      line;
    CPositionText posY, posXLabels;
    CAlignment    alignment;
    keys.Text("label", line.label);
    keys.Position("posy", posY);
    keys.Position("posxlabels", posXLabels);
    alignment.Read(keys);
    if (!keys.Ok()) {
        return false;
    }
    line.posY       = loader.Y(posY, alignment);
    line.posXLabels = loader.X(posXLabels, alignment);
    target          = line;
    return true;
}

bool ReadFinishScreen(CXmlFile& file, const CSubFileLoader& loader, CFinishScreen& target) {
    CKeyReader    keys(file);
    CFinishScreen screen;
    CPositionText headY, headX, labelY, labelX, box[4], button[4];
    CAlignment    alignment;
    keys.Colour("box", "team1", screen.boxTeam1);
    keys.Colour("box", "team2", screen.boxTeam2);
    keys.Colour("button", "team1", screen.buttonTeam1);
    keys.Colour("button", "team2", screen.buttonTeam2);
    keys.Text("head", screen.head);
    keys.Position("posyhead", headY);
    keys.Position("posxhead", headX);
    keys.Text("team1", screen.team1);
    keys.Text("team2", screen.team2);
    keys.Text("label", screen.label);
    keys.Position("posylabel", labelY);
    keys.Position("posxlabel", labelX);
    keys.Position("boxupperleftx", box[0]);
    keys.Position("boxupperlefty", box[1]);
    keys.Position("boxlowerrightx", box[2]);
    keys.Position("boxlowerrighty", box[3]);
    keys.Position("buttonupperleftx", button[0]);
    keys.Position("buttonupperlefty", button[1]);
    keys.Position("buttonlowerrightx", button[2]);
    keys.Position("buttonlowerrighty", button[3]);
    alignment.Read(keys);
    if (!keys.Ok()) {
        return false;
    }
    screen.head   = UpperCase(screen.head);
    screen.team1  = UpperCase(screen.team1);
    screen.team2  = UpperCase(screen.team2);
    screen.headY  = loader.Y(headY, alignment);
    screen.headX  = loader.X(headX, alignment);
    screen.labelY = loader.Y(labelY, alignment);
    screen.labelX = loader.X(labelX, alignment);
    screen.box    = loader.Rect(box, alignment);
    screen.button = loader.Rect(button, alignment);
    target        = screen;
    return true;
}

bool ReadRenderInfo(CXmlFile& file, const CSubFileLoader& loader, CRenderInfoPanel& target) {
    CKeyReader                                 keys(file);
    CRenderInfoPanel                           panel;
    CPositionText                              posY, posXLabels;
    CAlignment                                 alignment;
    const std::pair<const char*, std::string*> texts[] = {
        {"head", &panel.head},
        {"fps", &panel.fps},
        {"wireframe", &panel.wireframe},
        {"filter", &panel.filter},
        {"mipmap", &panel.mipmap},
        {"mode", &panel.mode},
        {"displaylist", &panel.displayList},
        {"culling", &panel.culling},
        {"transparency", &panel.transparency},
        {"lod", &panel.lod},
        {"off", &panel.off},
        {"on", &panel.on},
        {"nearest", &panel.nearest},
        {"linear", &panel.linear},
        {"bilinear", &panel.bilinear},
        {"trilinear", &panel.trilinear},
        {"vbo", &panel.vbo},
        {"immediate", &panel.immediate},
        {"vertexarray", &panel.vertexArray},
    };
    for (const auto& text : texts) {
        keys.Text(text.first, *text.second);
    }
    keys.Position("posy", posY);
    keys.Position("posxlabels", posXLabels);
    alignment.Read(keys);
    if (!keys.Ok()) {
        return false;
    }
    panel.posY       = loader.Y(posY, alignment);
    panel.posXLabels = loader.X(posXLabels, alignment);
    target           = panel;
    return true;
}

bool ReadMessages(CXmlFile& file, CMessageTexts& target) {
    CKeyReader    keys(file);
    CMessageTexts texts;
    keys.Text("goodattack", texts.goodAttack);
    keys.Text("weakattack", texts.weakAttack);
    keys.Text("turnteam1", texts.turnTeam1);
    keys.Text("turnteam2", texts.turnTeam2);
    if (keys.Ok()) {
        target = texts;
    }
    return keys.Ok();
}

} // namespace

int CInterfaceLayoutReader::ResolveX(const char* position, const char* alignment) const {
    if (position == nullptr || alignment == nullptr) {
        return 0;
    }
    const std::string where = UpperCase(std::string(position).substr(0, maxPositionLength));
    const std::string align = UpperCase(std::string(alignment).substr(0, maxPositionLength));
    const long long   base  = where == "MAX_X" ? screenWidth : LeadingInteger(where);
    if (align == "RIGHT") {
        return ClampPosition(screenWidth - base);
    }
    if (align == "MIDDLE") {
        return ClampPosition(base + screenWidth / 2);
    }
    return ClampPosition(base);
}

int CInterfaceLayoutReader::ResolveY(const char* position, const char* alignment) const {
    if (position == nullptr || alignment == nullptr) {
        return 0;
    }
    const std::string where = UpperCase(std::string(position).substr(0, maxPositionLength));
    const std::string align = UpperCase(std::string(alignment).substr(0, maxPositionLength));
    const long long   base  = where == "MAX_Y" ? screenHeight : LeadingInteger(where);
    if (align == "LOWER") {
        return ClampPosition(base);
    }
    if (align == "MIDDLE") {
        return ClampPosition(screenHeight - (base + screenHeight / 2));
    }
    return ClampPosition(screenHeight - base);
}

bool CInterfaceLayoutReader::Load(const char* indexPath, CInterfaceLayout& layout) const {
    CXmlFile index;
    if (indexPath == nullptr || !index.Open(indexPath, CXmlFile::modeReading)) {
        GetLogger()->LogError("CInterface: Couldn't load interface file %s; the interface keeps its defaults",
                              indexPath != nullptr ? indexPath : "(none)");
        return false;
    }
    const CSubFileLoader loader(*this);
    using Read                                    = std::function<bool(CXmlFile&)>;
    const std::pair<const char*, Read> subFiles[] = {
        {"fontregular", [&](CXmlFile& file) { return Read2dFont(file, layout.fontRegular); }},
        {"fonthead", [&](CXmlFile& file) { return Read2dFont(file, layout.fontHead); }},
        {"fontfinish", [&](CXmlFile& file) { return Read2dFont(file, layout.fontFinish); }},
        {"font3d", [&](CXmlFile& file) { return Read3dFont(file, layout.font3d); }},
        {"boxes", [&](CXmlFile& file) { return ReadBoxes(file, loader, layout.boxes); }},
        {"terrain", [&](CXmlFile& file) { return ReadTerrainPanel(file, loader, layout.terrain); }},
        {"selectedunit", [&](CXmlFile& file) { return ReadUnitPanel(file, loader, layout.selectedUnit); }},
        {"hoverunit", [&](CXmlFile& file) { return ReadUnitPanel(file, loader, layout.hoverUnit); }},
        {"hitpoints", [&](CXmlFile& file) { return ReadHitpointsPanel(file, loader, layout.hitpoints); }},
        {"curteam", [&](CXmlFile& file) { return ReadTeamLine(file, loader, layout.currentTeam); }},
        {"endturn", [&](CXmlFile& file) { return ReadEndTurnButton(file, loader, layout.endTurn); }},
        {"fpscounter", [&](CXmlFile& file) { return ReadFpsLine(file, loader, layout.fps); }},
        {"finish", [&](CXmlFile& file) { return ReadFinishScreen(file, loader, layout.finish); }},
        {"pxinfos", [&](CXmlFile& file) { return ReadRenderInfo(file, loader, layout.renderInfo); }},
        {"comment", [&](CXmlFile& file) { return ReadMessages(file, layout.messages); }},
    };
    char fileName[maxFileNameLength + 1];
    for (const auto& subFile : subFiles) {
        if (index.ReadString(subFile.first, fileName, sizeof fileName)) {
            loader.Load(fileName, subFile.second);
        } else {
            GetLogger()->LogError("CInterface: %s names no %s file; its part keeps its defaults", indexPath,
                                  subFile.first);
        }
    }
    index.Close();
    return true;
}
