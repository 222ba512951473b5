#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "TestSupport.h"
#include "rules/TerrainTypes.h"

namespace {

std::string TypeElement(int number, const std::string& name, const std::string& values) {
    const std::string tag = std::to_string(number);
    return "<" + tag + "><name>" + name + "</name>" + values + "</" + tag + ">\n";
}

const char* allValues = "<attack>1.5</attack><defense>2</defense><movement>3.25</movement>";

TEST(TerrainTypes, ReadsNumberedTypesInOrder) {
    CTempWorkDir dir;
    WriteFile("types.xml", "<terraintypes>\n" +
                               TypeElement(1, "forest",
                                           "<movement>4</movement><attack>-1</attack>"
                                           "<defense>0.5</defense>") +
                               TypeElement(0, "grass", allValues) + "</terraintypes>\n");
    const CTerrainTypes types("types.xml");
    ASSERT_EQ(types.GetCount(), 2);
    EXPECT_EQ(types.GetName(0), "grass");
    EXPECT_FLOAT_EQ(types.GetAttack(0), 1.5f);
    EXPECT_FLOAT_EQ(types.GetDefense(0), 2.0f);
    EXPECT_FLOAT_EQ(types.GetMovement(0), 3.25f);
    EXPECT_EQ(types.GetName(1), "forest");
    EXPECT_FLOAT_EQ(types.GetAttack(1), -1.0f);
    EXPECT_FLOAT_EQ(types.GetMovement(1), 4.0f);
    EXPECT_TRUE(types.IsPassable(1));
}

TEST(TerrainTypes, FirstIncompleteOrMissingElementEndsTheList) {
    CTempWorkDir dir;
    WriteFile("gap.xml", "<terraintypes>" + TypeElement(0, "a", allValues) +
                             TypeElement(1, "b", "<attack>1</attack><defense>1</defense>") +
                             TypeElement(2, "c", allValues) + "</terraintypes>");
    WriteFile("hole.xml",
              "<terraintypes>" + TypeElement(0, "a", allValues) + TypeElement(2, "c", allValues) + "</terraintypes>");
    EXPECT_EQ(CTerrainTypes("gap.xml").GetCount(), 1);
    EXPECT_EQ(CTerrainTypes("hole.xml").GetCount(), 1);
}

TEST(TerrainTypes, LongNameIsCutTo511Characters) {
    CTempWorkDir      dir;
    const std::string name = std::string(500, 'x') + std::string(100, 'y');
    WriteFile("long.xml", "<terraintypes>" + TypeElement(0, name, allValues) + "</terraintypes>");
    const CTerrainTypes types("long.xml");
    ASSERT_EQ(types.GetCount(), 1);
    EXPECT_EQ(types.GetName(0), name.substr(0, 511));
    EXPECT_FLOAT_EQ(types.GetMovement(0), 3.25f);
}

class TerrainTypesOutside : public ::testing::TestWithParam<int> {};

// -1 is the type of a tile that the tile file never set.
INSTANTIATE_TEST_SUITE_P(Indices, TerrainTypesOutside, ::testing::Values(-1, 1, 2, 1000, INT_MIN, INT_MAX));

TEST_P(TerrainTypesOutside, IsAnImpassableTypeWithNoValues) {
    CTempWorkDir dir;
    WriteFile("one.xml", "<terraintypes>" + TypeElement(0, "grass", allValues) + "</terraintypes>");
    const CTerrainTypes types("one.xml");
    EXPECT_FALSE(types.IsValid(GetParam()));
    EXPECT_FALSE(types.IsPassable(GetParam()));
    EXPECT_EQ(types.GetName(GetParam()), "");
    EXPECT_EQ(types.GetAttack(GetParam()), 0.0f);
    EXPECT_EQ(types.GetDefense(GetParam()), 0.0f);
    EXPECT_EQ(types.GetMovement(GetParam()), 0.0f);
}

} // namespace
