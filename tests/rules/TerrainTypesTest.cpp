#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>

#include "TestSupport.h"
#include "rules/TerrainTypes.h"

namespace {

std::string TypeElement(int number, const std::string& name, const std::string& values) {
    const std::string tag = std::to_string(number);
    return "<" + tag + "><name>" + name + "</name>" + values + "</" + tag + ">\n";
}

const char* allValues = "<attack>1.5</attack><defense>2</defense><movement>3.25</movement>";

// Numbered types in any order, a long name cut to 511 characters; the first incomplete or missing
// element ends the list; outside the list (-1: a tile the tile file never set) a type is impassable.
TEST(TerrainTypes, ReadsNumberedTypesUpToTheFirstGap) {
    const std::string name = std::string(500, 'x') + std::string(100, 'y');
    WriteFile("types.xml",
              "<terraintypes>\n" +
                  TypeElement(1, "forest", "<movement>4</movement><attack>-1</attack><defense>0.5</defense>") +
                  TypeElement(0, name, allValues) + "</terraintypes>\n");
    const CTerrainTypes types("types.xml");
    ASSERT_EQ(types.GetCount(), 2);
    const auto values = [&types](int type) {
        return std::make_tuple(types.GetName(type), types.GetAttack(type), types.GetDefense(type),
                               types.GetMovement(type));
    };
    EXPECT_EQ(values(0), std::make_tuple(name.substr(0, 511), 1.5f, 2.0f, 3.25f));
    EXPECT_EQ(values(1), std::make_tuple(std::string("forest"), -1.0f, 0.5f, 4.0f));
    EXPECT_TRUE(types.IsPassable(1));
    for (const int type : {-1, 2, 1000, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(types.IsValid(type) || types.IsPassable(type)) << type;
        EXPECT_EQ(values(type), std::make_tuple(std::string(), 0.0f, 0.0f, 0.0f)) << type;
    }
    WriteFile("gap.xml", "<terraintypes>" + TypeElement(0, "a", allValues) +
                             TypeElement(1, "b", "<attack>1</attack><defense>1</defense>") +
                             TypeElement(2, "c", allValues) + "</terraintypes>");
    WriteFile("hole.xml",
              "<terraintypes>" + TypeElement(0, "a", allValues) + TypeElement(2, "c", allValues) + "</terraintypes>");
    EXPECT_EQ(CTerrainTypes("gap.xml").GetCount(), 1);
    EXPECT_EQ(CTerrainTypes("hole.xml").GetCount(), 1);
}

} // namespace
