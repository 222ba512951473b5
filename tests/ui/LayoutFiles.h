#pragma once

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"

// A complete interface layout for tests, written into "Interface/" of the
// working directory. Each sub-file is a list of keys and values; tests take
// keys out or change values before writing.
struct CLayoutFile {
    std::string                                      key;  // its key in the index file
    std::string                                      name; // its file name
    std::vector<std::pair<std::string, std::string>> values;

    void Remove(const std::string& name) {
        for (size_t index = 0; index < values.size(); ++index) {
            if (values[index].first == name) {
                values.erase(values.begin() + static_cast<long>(index));
                return;
            }
        }
    }
    void Set(const std::string& name, const std::string& value) {
        for (auto& entry : values) {
            if (entry.first == name) {
                entry.second = value;
                return;
            }
        }
        values.emplace_back(name, value);
    }
    std::string Text() const {
        std::string text;
        for (const auto& entry : values) {
            text += "<" + entry.first + ">" + entry.second + "</" + entry.first + ">\n";
        }
        return text;
    }
};

inline std::vector<std::pair<std::string, std::string>> ColourKeys(const std::string& prefix, const std::string& suffix,
                                                                   const char* red, const char* green, const char* blue,
                                                                   const char* alpha) {
    return {{prefix + "red" + suffix, red},
            {prefix + "green" + suffix, green},
            {prefix + "blue" + suffix, blue},
            {prefix + "alpha" + suffix, alpha}};
}

inline void Append(std::vector<std::pair<std::string, std::string>>&       to,
                   const std::vector<std::pair<std::string, std::string>>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// One box entry "<n>...</n>" of the box list.
inline std::string BoxEntry(int number, const char* upperLeftX, const char* upperLeftY, const char* lowerRightX,
                            const char* lowerRightY, bool withAlphaTeam2 = true) {
    CLayoutFile entry;
    Append(entry.values, ColourKeys("", "team1", "1", "0", "0", "0.5"));
    Append(entry.values, ColourKeys("", "team2", "0", "0", "1", "0.5"));
    if (!withAlphaTeam2) {
        entry.Remove("alphateam2");
    }
    Append(entry.values, {{"upperleftx", upperLeftX},
                          {"upperlefty", upperLeftY},
                          {"lowerrightx", lowerRightX},
                          {"lowerrighty", lowerRightY},
                          {"alignmentx", "LEFT"},
                          {"alignmenty", "LOWER"}});
    const std::string tag = std::to_string(number);
    return "<" + tag + ">\n" + entry.Text() + "</" + tag + ">\n";
}

class CLayoutFiles {
public:
    CLayoutFiles() {
        AddFont("fontregular", "regular.xml", "13", "17", {"1", "1", "1", "1"});
        AddFont("fonthead", "head.xml", "15", "22", {"1", "0.8", "0.4", "1"});
        AddFont("fontfinish", "finish_font.xml", "36", "44", {"1", "1", "1", "1"});
        CLayoutFile font3d{"font3d", "font3d.xml", {}};
        Append(font3d.values, {{"name", "DejaVu Sans"},
                               {"size", "48"},
                               {"lineheight", "56"},
                               {"bold", "1"},
                               {"italic", "0"},
                               {"underline", "0"},
                               {"deviation", "0.01"},
                               {"thickness", "0.2"},
                               {"linewidth", "2"}});
        Append(font3d.values, ColourKeys("fill", "", "1", "0.8", "0.2", "1"));
        Append(font3d.values, ColourKeys("outline", "", "0.2", "0", "0", "1"));
        files.push_back(font3d);
        files.push_back({"boxes", "boxes.xml", {}});
        boxes = BoxEntry(0, "10", "130", "250", "10");
        files.push_back({"terrain",
                         "terrain.xml",
                         {{"head", "Terrain"},
                          {"height", "Height"},
                          {"slope", "Slope"},
                          {"attack", "Attack"},
                          {"defense", "Defence"},
                          {"movement", "Movement"},
                          {"posy", "30"},
                          {"posxlabels", "20"},
                          {"posxvalues", "135"},
                          {"alignmentx", "LEFT"},
                          {"alignmenty", "TOP"}}});
        AddUnitPanel("selectedunit", "selected.xml", "Selected", "30", "TOP");
        AddUnitPanel("hoverunit", "hover.xml", "Under the cursor", "160", "LOWER");
        CLayoutFile hitpoints{
            "hitpoints", "hitpoints.xml", {{"head", "Strength"}, {"team1", "Red"}, {"team2", "Blue"}}};
        AppendBar(hitpoints, "100");
        Append(hitpoints.values, {{"posy", "66"},
                                  {"posxlabels", "20"},
                                  {"posxvalues", "80"},
                                  {"alignmentx", "LEFT"},
                                  {"alignmenty", "LOWER"}});
        files.push_back(hitpoints);
        files.push_back({"curteam",
                         "curteam.xml",
                         {{"head", " to move"},
                          {"team1", "Red"},
                          {"team2", "Blue"},
                          {"posy", "32"},
                          {"posxlabels", "-80"},
                          {"alignmentx", "MIDDLE"},
                          {"alignmenty", "TOP"}}});
        CLayoutFile endTurn{"endturn", "endturn.xml", {}};
        Append(endTurn.values, ColourKeys("", "team1", "1", "0.5", "0.5", "1"));
        Append(endTurn.values, ColourKeys("", "team2", "0.5", "0.5", "1", "1"));
        Append(endTurn.values, {{"label", "End turn"},
                                {"posy", "60"},
                                {"posxlabels", "-52"},
                                {"upperleftx", "-80"},
                                {"upperlefty", "42"},
                                {"lowerrightx", "80"},
                                {"lowerrighty", "68"},
                                {"alignmentx", "MIDDLE"},
                                {"alignmenty", "TOP"}});
        files.push_back(endTurn);
        files.push_back({"fpscounter",
                         "fps.xml",
                         {{"label", "fps: "},
                          {"posy", "24"},
                          {"posxlabels", "-90"},
                          {"alignmentx", "MIDDLE"},
                          {"alignmenty", "LOWER"}}});
        CLayoutFile finish{"finish", "finish.xml", {}};
        Append(finish.values, ColourKeys("box", "team1", "0.5", "0", "0", "0.9"));
        Append(finish.values, ColourKeys("box", "team2", "0", "0", "0.5", "0.9"));
        Append(finish.values, ColourKeys("button", "team1", "1", "0.9", "0.3", "1"));
        Append(finish.values, ColourKeys("button", "team2", "0.3", "0.9", "1", "1"));
        Append(finish.values, {{"head", " team Wins"},
                               {"posyhead", "-30"},
                               {"posxhead", "-180"},
                               {"team1", "Red"},
                               {"team2", "bLue"},
                               {"label", "Leave the Game"},
                               {"posylabel", "55"},
                               {"posxlabel", "-90"},
                               {"boxupperleftx", "-240"},
                               {"boxupperlefty", "-110"},
                               {"boxlowerrightx", "240"},
                               {"boxlowerrighty", "110"},
                               {"buttonupperleftx", "-110"},
                               {"buttonupperlefty", "38"},
                               {"buttonlowerrightx", "110"},
                               {"buttonlowerrighty", "66"},
                               {"alignmentx", "MIDDLE"},
                               {"alignmenty", "MIDDLE"}});
        files.push_back(finish);
        CLayoutFile info{"pxinfos", "pxinfos.xml", {}};
        int         line = 0;
        for (const char* key :
             {"head", "fps", "wireframe", "filter", "mipmap", "mode", "displaylist", "culling", "transparency", "lod",
              "off", "on", "nearest", "linear", "bilinear", "trilinear", "vbo", "immediate", "vertexarray"}) {
            // The ten line labels end in ": ", the nine value words do not.
            info.values.emplace_back(key, std::string(key) + (line++ < 10 ? ": " : ""));
        }
        Append(info.values, {{"posy", "-100"}, {"posxlabels", "20"}, {"alignmentx", "LEFT"}, {"alignmenty", "MIDDLE"}});
        files.push_back(info);
        files.push_back({"comment",
                         "comment.xml",
                         {{"goodattack", "Hit!"},
                          {"weakattack", "Ouch"},
                          {"turnteam1", "Red's turn"},
                          {"turnteam2", "Blue's turn"}}});
    }

    CLayoutFile& File(const std::string& key) {
        for (CLayoutFile& file : files) {
            if (file.key == key) {
                return file;
            }
        }
        ADD_FAILURE() << "no layout file " << key;
        return files.front();
    }

    // The box list's numbered entries, written inside "<boxes>".
    std::string              boxes;
    std::vector<CLayoutFile> files;
    std::vector<std::string> indexKeysLeftOut;

    void Write() const {
        MakeFolders("Interface");
        std::string index = "<interface>\n";
        for (const CLayoutFile& file : files) {
            bool leftOut = false;
            for (const std::string& key : indexKeysLeftOut) {
                leftOut = leftOut || key == file.key;
            }
            if (!leftOut) {
                index += "<" + file.key + ">" + file.name + "</" + file.key + ">\n";
            }
            const std::string text = file.key == "boxes" ? "<boxes>\n" + boxes + "</boxes>\n" : file.Text();
            WriteFile("Interface/" + file.name, text);
        }
        WriteFile("Interface/interface.xml", index + "</interface>\n");
    }

private:
    void AddFont(const char* key, const char* name, const char* size, const char* lineHeight,
                 const std::vector<const char*>& colour) {
        CLayoutFile font{key,
                         name,
                         {{"name", "DejaVu Sans"},
                          {"size", size},
                          {"lineheight", lineHeight},
                          {"bold", "0"},
                          {"italic", "0"},
                          {"underline", "0"}}};
        Append(font.values, ColourKeys("", "", colour[0], colour[1], colour[2], colour[3]));
        files.push_back(font);
    }

    static void AppendBar(CLayoutFile& file, const char* maxLength) {
        Append(file.values, ColourKeys("", "from", "0", "1", "0", "1"));
        Append(file.values, ColourKeys("", "to", "1", "0", "0", "1"));
        Append(file.values, ColourKeys("", "start", "0.2", "0.2", "0.2", "1"));
        file.values.emplace_back("maxlength", maxLength);
    }

    void AddUnitPanel(const char* key, const char* name, const char* head, const char* posY, const char* alignY) {
        CLayoutFile panel{key,
                          name,
                          {{"head", head},
                           {"team1", "Red"},
                           {"team2", "Blue"},
                           {"hitpoints", "HP"},
                           {"attack", "Attack"},
                           {"defense", "Defence"},
                           {"movement", "Movement"},
                           {"firerange", "Range"},
                           {"maxslope", "Slope"},
                           {"height", "Height"},
                           {"none", "none"}}};
        AppendBar(panel, "150");
        Append(panel.values, {{"posy", posY},
                              {"posxlabels", "290"},
                              {"posxvalues", "180"},
                              {"alignmentx", "RIGHT"},
                              {"alignmenty", alignY}});
        files.push_back(panel);
    }
};
