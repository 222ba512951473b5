#include <sys/stat.h>

#include <string>

#include "FuzzInput.h"
#include "ui/InterfaceLayout.h"

// The index that names the input as every one of the fifteen sub-files.
static const char indexText[] = "<fontregular>input.xml</fontregular><fonthead>input.xml</fonthead>"
                                "<fontfinish>input.xml</fontfinish><font3d>input.xml</font3d><boxes>input.xml</boxes>"
                                "<terrain>input.xml</terrain><selectedunit>input.xml</selectedunit>"
                                "<hoverunit>input.xml</hoverunit><hitpoints>input.xml</hitpoints>"
                                "<curteam>input.xml</curteam><endturn>input.xml</endturn>"
                                "<fpscounter>input.xml</fpscounter><finish>input.xml</finish>"
                                "<pxinfos>input.xml</pxinfos><comment>input.xml</comment>";

static void CheckTexts(const CInterfaceLayout& layout) {
    const size_t limit = CInterfaceLayoutReader::maxTextLength;
    Require(layout.fontRegular.description.name.size() <= CFontDescription::maxNameLength &&
            layout.terrain.head.size() <= limit && layout.hoverUnit.boost.size() <= limit &&
            layout.finish.head.size() <= limit && layout.renderInfo.vertexArray.size() <= limit &&
            layout.messages.turnTeam2.size() <= limit);
}

// Reads the input as every kind of interface sub-file (through an index naming it for all fifteen) and as the
// index itself, at a small and a huge screen size.
FUZZ_TARGET("") {
    mkdir("interface", 0755);
    WriteFuzzInput(data, size, "interface/input.xml");
    WriteFuzzInput(reinterpret_cast<const uint8_t*>(indexText), sizeof indexText - 1, "interface/index.xml");
    CInterfaceLayout layout;
    CInterfaceLayoutReader(640, 480).Load("interface\\index.xml", layout);
    CheckTexts(layout);
    CInterfaceLayout direct;
    CInterfaceLayoutReader(2147483647, 2147483647).Load("interface\\input.xml", direct);
    CheckTexts(direct);
}
