#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/DebugOverlay.h"

namespace {

// UTF-8 becomes Latin-1; what Latin-1 lacks is "?", and bytes that are not
// UTF-8 (a Latin-1 byte, a cut sequence, a lone continuation) stay as they are.
TEST(BitmapCharacters, DecodeUtf8ToLatin1) {
    const struct {
        std::string      text;
        std::vector<int> expected;
    } cases[] = {{"F4: ein", {'F', '4', ':', ' ', 'e', 'i', 'n'}},
                 {"t\xc3\xa4t", {'t', 0xE4, 't'}},
                 {"\xe2\x82\xac\x31", {'?', '1'}}, // the euro sign, then "1"
                 {"\xf0\x9f\x98\x80", {'?'}},
                 {"t\xe4t", {'t', 0xE4, 't'}},
                 {"a\xc3", {'a', 0xC3}},
                 {"\x80x", {0x80, 'x'}},
                 {"", {}}};
    for (const auto& test : cases) {
        EXPECT_EQ(CDebugOverlay::ToBitmapCharacters(test.text), test.expected) << test.text;
    }
}

} // namespace
