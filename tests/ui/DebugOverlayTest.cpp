#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/DebugOverlay.h"

namespace {

struct CharacterCase {
    const char*      name;
    std::string      text;
    std::vector<int> expected;
};

class BitmapCharacters : public ::testing::TestWithParam<CharacterCase> {};

TEST_P(BitmapCharacters, DecodeUtf8ToLatin1) {
    EXPECT_EQ(CDebugOverlay::ToBitmapCharacters(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, BitmapCharacters,
                         ::testing::Values(CharacterCase{"Ascii", "F4: ein", {'F', '4', ':', ' ', 'e', 'i', 'n'}},
                                           CharacterCase{"Umlaut", "t\xc3\xa4t", {'t', 0xE4, 't'}},
                                           CharacterCase{"BeyondLatin1",
                                                         "\xe2\x82\xac"
                                                         "1",
                                                         {'?', '1'}}, // the euro sign
                                           CharacterCase{"FourByteSequence", "\xf0\x9f\x98\x80", {'?'}},
                                           CharacterCase{"Latin1Byte", "t\xe4t", {'t', 0xE4, 't'}}, // not UTF-8
                                           CharacterCase{"CutSequence", "a\xc3", {'a', 0xC3}},
                                           CharacterCase{"LoneContinuation", "\x80x", {0x80, 'x'}},
                                           CharacterCase{"Empty", "", {}}),
                         [](const ::testing::TestParamInfo<CharacterCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
