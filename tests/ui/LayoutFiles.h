#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "ui/InterfaceLayout.h"

// A complete interface layout, written into "Interface/". Sub-files are given
// as "key=value|key=value"; "#prefix/suffix=r,g,b,a" stands for the four colour
// keys prefix + red/green/blue/alpha + suffix.
using CLayoutValues = std::vector<std::pair<std::string, std::string>>;

inline CLayoutValues ParseLayoutValues(const std::string& text) {
    CLayoutValues     values;
    std::stringstream items(text);
    for (std::string item; std::getline(items, item, '|');) {
        const size_t      equals = item.find('=');
        const std::string key = item.substr(0, equals), value = item.substr(equals + 1);
        if (key[0] != '#') {
            values.emplace_back(key, value);
            continue;
        }
        const size_t      slash = key.find('/');
        std::stringstream channels(value);
        std::string       channel;
        for (const char* name : {"red", "green", "blue", "alpha"}) {
            std::getline(channels, channel, ',');
            values.emplace_back(key.substr(1, slash - 1) + name + key.substr(slash + 1), channel);
        }
    }
    return values;
}

struct CLayoutFile {
    std::string   key;  // its key in the index file
    std::string   name; // its file name
    CLayoutValues values;

    void Remove(const std::string& name) {
        values.erase(
            std::remove_if(values.begin(), values.end(), [&](const auto& entry) { return entry.first == name; }),
            values.end());
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

// One entry "<n>...</n>" of the box list, its corners counted from the lower left.
inline std::string BoxEntry(int number, const char* upperLeftX, const char* upperLeftY, const char* lowerRightX,
                            const char* lowerRightY, bool withAlphaTeam2 = true) {
    CLayoutFile entry{"", "",
                      ParseLayoutValues(std::string("#/team1=1,0,0,0.5|#/team2=0,0,1,0.5|upperleftx=") + upperLeftX +
                                        "|upperlefty=" + upperLeftY + "|lowerrightx=" + lowerRightX +
                                        "|lowerrighty=" + lowerRightY + "|alignmentx=LEFT|alignmenty=LOWER")};
    if (!withAlphaTeam2) {
        entry.Remove("alphateam2");
    }
    const std::string tag = std::to_string(number);
    return "<" + tag + ">\n" + entry.Text() + "</" + tag + ">\n";
}

class CLayoutFiles {
public:
    CLayoutFiles() {
        const std::string font = "name=DejaVu Sans|bold=0|italic=0|underline=0|";
        const std::string bars = "|#/from=0,1,0,1|#/to=1,0,0,1|#/start=0.2,0.2,0.2,1|maxlength=";
        const std::string unit = "|team1=Red|team2=Blue|hitpoints=HP|attack=Attack|defense=Defence|movement=Movement|"
                                 "firerange=Range|maxslope=Slope|height=Height|none=none" +
                                 bars + "150|posxlabels=290|posxvalues=180|alignmentx=RIGHT";
        std::string info;
        int         line = 0;
        for (const char* key :
             {"head", "fps", "wireframe", "filter", "mipmap", "mode", "displaylist", "culling", "transparency", "lod",
              "off", "on", "nearest", "linear", "bilinear", "trilinear", "vbo", "immediate", "vertexarray"}) {
            info += std::string(key) + "=" + key + (line++ < 10 ? ": |" : "|");
        }
        const std::pair<const char*, std::string> entries[] = {
            {"fontregular", font + "size=13|lineheight=17|#/=1,1,1,1"},
            {"fonthead", font + "size=15|lineheight=22|#/=1,0.8,0.4,1"},
            {"fontfinish", font + "size=36|lineheight=44|#/=1,1,1,1"},
            {"font3d", "name=DejaVu Sans|size=48|lineheight=56|bold=1|italic=0|underline=0|deviation=0.01|"
                       "thickness=0.2|linewidth=2|#fill/=1,0.8,0.2,1|#outline/=0.2,0,0,1"},
            {"boxes", ""},
            {"terrain", "head=Terrain|height=Height|slope=Slope|attack=Attack|defense=Defence|movement=Movement|"
                        "posy=30|posxlabels=20|posxvalues=135|alignmentx=LEFT|alignmenty=TOP"},
            {"selectedunit", "head=Selected" + unit + "|posy=30|alignmenty=TOP"},
            {"hoverunit", "head=Under the cursor" + unit + "|posy=160|alignmenty=LOWER"},
            {"hitpoints", "head=Strength|team1=Red|team2=Blue" + bars +
                              "100|posy=66|posxlabels=20|posxvalues=80|alignmentx=LEFT|alignmenty=LOWER"},
            {"curteam", "head= to move|team1=Red|team2=Blue|posy=32|posxlabels=-80|alignmentx=MIDDLE|alignmenty=TOP"},
            {"endturn", "#/team1=1,0.5,0.5,1|#/team2=0.5,0.5,1,1|label=End turn|posy=60|posxlabels=-52|"
                        "upperleftx=-80|upperlefty=42|lowerrightx=80|lowerrighty=68|alignmentx=MIDDLE|alignmenty=TOP"},
            {"fpscounter", "label=fps: |posy=24|posxlabels=-90|alignmentx=MIDDLE|alignmenty=LOWER"},
            {"finish", "#box/team1=0.5,0,0,0.9|#box/team2=0,0,0.5,0.9|#button/team1=1,0.9,0.3,1|"
                       "#button/team2=0.3,0.9,1,1|head= team Wins|posyhead=-30|posxhead=-180|team1=Red|team2=bLue|"
                       "label=Leave the Game|posylabel=55|posxlabel=-90|boxupperleftx=-240|boxupperlefty=-110|"
                       "boxlowerrightx=240|boxlowerrighty=110|buttonupperleftx=-110|buttonupperlefty=38|"
                       "buttonlowerrightx=110|buttonlowerrighty=66|alignmentx=MIDDLE|alignmenty=MIDDLE"},
            {"pxinfos", info + "posy=-100|posxlabels=20|alignmentx=LEFT|alignmenty=MIDDLE"},
            {"comment", "goodattack=Hit!|weakattack=Ouch|turnteam1=Red's turn|turnteam2=Blue's turn"},
        };
        for (const auto& text : entries) {
            files.push_back({text.first, std::string(text.first) + ".xml", ParseLayoutValues(text.second)});
        }
    }

    CLayoutFile& File(const std::string& key) {
        const auto found =
            std::find_if(files.begin(), files.end(), [&](const CLayoutFile& file) { return file.key == key; });
        EXPECT_NE(found, files.end()) << "no layout file " << key;
        return found != files.end() ? *found : files.front();
    }

    void Write() const {
        MakeFolders("Interface");
        std::string index = "<interface>\n";
        for (const CLayoutFile& file : files) {
            if (std::find(indexKeysLeftOut.begin(), indexKeysLeftOut.end(), file.key) == indexKeysLeftOut.end()) {
                index += "<" + file.key + ">" + file.name + "</" + file.key + ">\n";
            }
            WriteFile("Interface/" + file.name, file.key == "boxes" ? "<boxes>\n" + boxes + "</boxes>\n" : file.Text());
        }
        WriteFile("Interface/interface.xml", index + "</interface>\n");
    }

    std::vector<CLayoutFile> files;
    std::string              boxes = BoxEntry(0, "10", "130", "250", "10"); // the entries inside "<boxes>"
    std::vector<std::string> indexKeysLeftOut;
};

// Whether each element holds what its file gave.
inline bool LayoutElementLoaded(const CInterfaceLayout& layout, const std::string& key) {
    const std::pair<const char*, bool> loaded[] = {
        {"fontregular", layout.fontRegular.loaded},
        {"fonthead", layout.fontHead.loaded},
        {"fontfinish", layout.fontFinish.loaded},
        {"font3d", layout.font3d.loaded},
        {"boxes", !layout.boxes.empty()},
        {"terrain", !layout.terrain.head.empty() || layout.terrain.posY != 0},
        {"selectedunit", !layout.selectedUnit.head.empty() || layout.selectedUnit.maxLength != 0},
        {"hoverunit", !layout.hoverUnit.head.empty() || layout.hoverUnit.maxLength != 0},
        {"hitpoints", !layout.hitpoints.head.empty() || layout.hitpoints.maxLength != 0},
        {"curteam", !layout.currentTeam.head.empty() || layout.currentTeam.posY != 0},
        {"endturn", !layout.endTurn.label.empty() || layout.endTurn.team1.red != 0.0f},
        {"fpscounter", !layout.fps.label.empty() || layout.fps.posY != 0},
        {"finish", !layout.finish.head.empty() || layout.finish.box.upperLeftX != 0},
        {"pxinfos", !layout.renderInfo.head.empty() || layout.renderInfo.posY != 0},
        {"comment", !layout.messages.goodAttack.empty()}};
    for (const auto& element : loaded) {
        if (key == element.first) {
            return element.second;
        }
    }
    ADD_FAILURE() << "no element " << key;
    return false;
}
