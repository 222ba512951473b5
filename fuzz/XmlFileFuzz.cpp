#include "FuzzInput.h"
#include "core/XmlFile.h"

// Reads an item's values the way the loaders do: ints, floats, bools, text.
static void ReadValues(CXmlFile& xml) {
    int      number = 0;
    unsigned count  = 0;
    float    real   = 0.0f;
    bool     flag   = false;
    char     text[16];
    xml.ReadInt("x", number);
    xml.ReadUInt("count", count);
    xml.ReadFloat("y", real);
    xml.ReadBool("flag", flag);
    xml.ReadString("name", text, sizeof text);
    xml.ReadInt("x", number);
}

// Drives the reader as the loaders do: top-level values, a list of numbered items (bounded, so the harness
// cannot loop forever) and a named second-level element.
FUZZ_TARGET("input.xml") {
    CXmlFile xml;
    if (!xml.Open(path.c_str(), 0)) {
        return;
    }
    ReadValues(xml);
    if (xml.EnterElement("list")) {
        for (int n = 0; n < 64 && xml.EnterSubElement(n); ++n) {
            ReadValues(xml);
            xml.LeaveSubElement();
        }
        if (xml.EnterSubElement("named")) {
            ReadValues(xml);
            xml.LeaveSubElement();
        }
        xml.LeaveElement();
    }
    ReadValues(xml);
    xml.Close();
}
