#include <sys/resource.h>

#include <cfloat>
#include <climits>
#include <csignal>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/XmlFile.h"

namespace {

class XmlFileTest : public ::testing::Test {
protected:
    void OpenText(const std::string& content) {
        WriteFile("data.xml", content);
        ASSERT_TRUE(xml.Open("data.xml", 0));
    }

    CXmlFile xml;
};

// Integers read as the stream extractor reads them; floats in decimal or exponent form, clamped to the float
// range; not a number: the tag is found but nothing is stored. An integer takes 15 characters (the sixteenth
// digit is not part of it), a float 20 (the exponent beyond them is left unread).
TEST_F(XmlFileTest, NumbersReadAsTheStreamExtractorReadsThem) {
    const auto readsInt = [&](const char* text, int expected) {
        OpenText(std::string("<v>") + text + "</v>");
        int value = 12345;
        EXPECT_TRUE(xml.ReadInt("v", value));
        EXPECT_EQ(value, expected) << "text '" << text << "'";
    };
    const std::pair<const char*, int> integers[] = {{"42", 42},     {"010", 8},     {"0x10", 16}, {"0X1f", 31},
                                                    {"  -7  ", -7}, {"\n\t+3", 3},  {"09", 0},    {"12abc", 12},
                                                    {"0xg", 0},     {"abc", 12345}, {"", 12345},  {"-", 12345}};
    for (const auto& [text, expected] : integers) {
        readsInt(text, expected);
    }
    readsInt("99999999999", INT_MAX);
    readsInt("-99999999999", INT_MIN);
    readsInt("1000000000000009", INT_MAX);
    readsInt("-00000000000012", -10);
    const std::pair<const char*, float> floats[] = {
        {"1.5", 1.5f},  {" -2.25 ", -2.25f},  {"1e3", 1000.0f},  {".5", 0.5f},         {"7.", 7.0f},
        {"1e", 1.0f},   {"-2.5E-2", -0.025f}, {"1e39", FLT_MAX}, {"-1e300", -FLT_MAX}, {"1.000000000000000000e5", 1.0f},
        {"inf", 0.25f}, {"nan", 0.25f},       {"x1", 0.25f}};
    for (const auto& [text, expected] : floats) {
        OpenText(std::string("<v>") + text + "</v>");
        float value = 0.25f;
        EXPECT_TRUE(xml.ReadFloat("v", value));
        EXPECT_FLOAT_EQ(value, expected) << "text '" << text << "'";
    }
}

TEST_F(XmlFileTest, ValuesReadInAnyOrderAndMissingOrNonNumericOnesLeaveTheDefault) {
    OpenText("<?xml version=\"1.0\"?>\n<!-- units -->\n<b>2</b>\n<a>1</a>\n<c>3.5</c>\n");
    int   a = 0, b = 0, missing = 77;
    float c = 0;
    EXPECT_TRUE(xml.ReadInt("a", a) && xml.ReadInt("b", b) && xml.ReadFloat("c", c));
    EXPECT_FALSE(xml.ReadInt("d", missing));
    EXPECT_EQ(std::make_tuple(a, b, c, missing), std::make_tuple(1, 2, 3.5f, 77));
    OpenText("<units><0><hp>lots</hp><range>oops</range><armour>4</armour></0><1><hp>9</hp></1></units>");
    ASSERT_TRUE(xml.EnterElement("units"));
    int hp[2] = {-1, -1}, range = -1, armour = -1, count = 0;
    for (int n = 0; xml.EnterSubElement(n); ++n) {
        xml.ReadInt("hp", hp[n]);
        xml.ReadInt("range", range);
        xml.ReadInt("armour", armour);
        xml.LeaveSubElement();
        ++count;
    }
    EXPECT_EQ(std::make_tuple(count, hp[0], range, armour, hp[1]), std::make_tuple(2, -1, -1, 4, 9));
}

TEST_F(XmlFileTest, ListStopsAtTheFirstMissingNumberAndItemsKeepTheirOwnValues) {
    OpenText("<list>\n<0>\n<name>first</name>\n</0>\n<10>\n<name>ten</name>\n</10>\n"
             "<1>\n<x>5</x>\n</1>\n<3>\n<name>third</name>\n</3>\n</list>\n<after>9</after>\n");
    ASSERT_TRUE(xml.EnterElement("list"));
    std::string names;
    int         items = 0;
    for (int n = 0; xml.EnterSubElement(n); ++n) {
        char name[32] = "none";
        xml.ReadString("name", name, sizeof name); // item 1 has no name: the next item's is not found
        names += std::string(name) + ";";
        EXPECT_TRUE(xml.LeaveSubElement());
        ++items;
    }
    EXPECT_EQ(items, 2) << "<1> must not match <10>, and the list ends at the missing 2";
    EXPECT_EQ(names, "first;none;");
    EXPECT_TRUE(xml.LeaveElement());
    int after = 0;
    EXPECT_TRUE(xml.ReadInt("after", after));
    EXPECT_EQ(after, 9);
}

TEST_F(XmlFileTest, SearchWrapsInsideTheScopeAndWrongModesFailKeepingIt) {
    OpenText("<x>0</x><team><0><x>1</x><y>2</y></0></team><z>outside</z>");
    ASSERT_TRUE(xml.EnterElement("team"));
    ASSERT_TRUE(xml.EnterSubElement(0));
    int x = -1, y = -1;
    EXPECT_TRUE(xml.ReadInt("y", y));
    EXPECT_TRUE(xml.ReadInt("x", x)) << "found by wrapping to the item's start";
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(1, 2));
    EXPECT_TRUE(xml.LeaveSubElement());
    EXPECT_FALSE(xml.EnterSubElement("z")) << "the top-level <z> lies outside the element";
    // Typed reads are refused directly inside a first-level element.
    OpenText("<e><v>3</v></e>");
    ASSERT_TRUE(xml.EnterElement("e"));
    EXPECT_FALSE(xml.ReadInt("v", x));
    EXPECT_TRUE(xml.FindOpenTag("v")) << "the refused read did not move the stream";
    EXPECT_EQ(x, 1);
    OpenText("<e><0><v>1</v></0></e>");
    EXPECT_FALSE(xml.LeaveElement());
    EXPECT_FALSE(xml.EnterSubElement(0)) << "only inside a first-level element";
    EXPECT_FALSE(xml.WriteInt("v", 1));
    ASSERT_TRUE(xml.EnterElement("e"));
    EXPECT_FALSE(xml.EnterElement("e"));
    EXPECT_FALSE(xml.EnterSubElement(1));
    EXPECT_EQ(xml.GetMode(), CXmlFile::modeReadingElement);
    EXPECT_TRUE(xml.EnterSubElement(0));
    EXPECT_EQ(xml.GetMode(), CXmlFile::modeReadingSubElement);
    xml.Close();
    EXPECT_EQ(xml.GetMode(), CXmlFile::modeClosed);
    int value = 0;
    EXPECT_FALSE(xml.ReadInt("v", value));
    EXPECT_FALSE(xml.Open("data.xml", 2));
    EXPECT_FALSE(xml.Open("nothing.xml", 0));
    EXPECT_EQ(xml.GetMode(), CXmlFile::modeClosed);
    EXPECT_FALSE(xml.Open("nofolder/out.xml", 1));
    // A missing close tag lets the end of the file close the element.
    OpenText("<e><0><v>1</v>");
    ASSERT_TRUE(xml.EnterElement("e"));
    ASSERT_TRUE(xml.EnterSubElement(0));
    EXPECT_TRUE(xml.ReadInt("v", value));
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(xml.LeaveSubElement());
    EXPECT_EQ(xml.GetMode(), CXmlFile::modeReadingElement);
}

// Strings keep their white space, are cut at the buffer (a one-byte buffer holds only the terminator) and end
// at the end of the file.
TEST_F(XmlFileTest, StringsKeepWhiteSpaceAndAreCutAtTheBuffer) {
    OpenText("<empty></empty><spaced>  ab </spaced><long>abcdefghij</long><one>Tank</one><tail>rest</tail>"
             "<name>no end");
    char text[6] = "xxxxx";
    for (const auto& [name, expected] :
         {std::make_pair("empty", ""), std::make_pair("spaced", "  ab "), std::make_pair("long", "abcde")}) {
        EXPECT_TRUE(xml.ReadString(name, text, sizeof text));
        EXPECT_STREQ(text, expected) << name;
    }
    char one[2] = {'?', '#'};
    EXPECT_TRUE(xml.ReadString("one", one, 1));
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(one[1], '#') << "nothing may be written past the buffer";
    EXPECT_TRUE(xml.ReadString("tail", text, sizeof text)) << "the cut text's rest is skipped";
    EXPECT_STREQ(text, "rest");
    EXPECT_FALSE(xml.ReadString("tail", text, 0));
    char unterminated[32] = "";
    EXPECT_TRUE(xml.ReadString("name", unterminated, sizeof unterminated));
    EXPECT_STREQ(unterminated, "no end");
}

// Bools take only 0 and 1, unsigned minus wraps like the stream extractor, overlong names are refused.
TEST_F(XmlFileTest, BoolsAcceptOnlyZeroAndOneAndOverlongNamesAreRefused) {
    const std::string longName(CXmlFile::maxNameLength + 1, 'n');
    OpenText("<t>1</t><f>0</f><two>2</two><word>yes</word><u>-1</u><w>0x20</w><" + longName + ">1</" + longName + ">");
    bool t = false, f = true, two = true, word = true;
    EXPECT_TRUE(xml.ReadBool("t", t) && xml.ReadBool("f", f));
    EXPECT_FALSE(xml.ReadBool("two", two) || xml.ReadBool("word", word));
    EXPECT_TRUE(t && !f && two && word);
    unsigned u = 0, w = 0;
    EXPECT_TRUE(xml.ReadUInt("u", u) && xml.ReadUInt("w", w));
    EXPECT_EQ(std::make_pair(u, w), std::make_pair(UINT_MAX, 32u));
    int value = 0;
    EXPECT_FALSE(xml.ReadInt(longName.c_str(), value));
    EXPECT_FALSE(xml.EnterElement(longName.c_str()));
}

TEST_F(XmlFileTest, WriterLayoutReadsBack) {
    ASSERT_TRUE(xml.Open("out.xml", 1));
    EXPECT_TRUE(xml.WriteInt("count", 2));
    EXPECT_TRUE(xml.BeginWriteElement("objects"));
    EXPECT_FALSE(xml.WriteInt("direct", 1)) << "no values directly in a first-level element";
    EXPECT_TRUE(xml.BeginWriteSubElement(0) && xml.WriteString("name", "tree.3ds") && xml.WriteFloat("x", 1024.5f) &&
                xml.WriteFloat("tiny", 0.00001f) && xml.WriteFloat("big", 1234567.0f) && xml.WriteBool("team", true) &&
                xml.WriteUInt("u", 7u) && xml.EndWriteSubElement() && xml.EndWriteElement() && xml.Close());
    EXPECT_EQ(ReadFile("out.xml"), "<count>2</count>\n<objects>\n<0>\n<name>tree.3ds</name>\n<x>1024.5</x>\n"
                                   "<tiny>1e-05</tiny>\n<big>1.23457e+06</big>\n<team>1</team>\n<u>7</u>\n"
                                   "</0>\n</objects>\n");

    ASSERT_TRUE(xml.Open("out.xml", 0));
    ASSERT_TRUE(xml.EnterElement("objects"));
    ASSERT_TRUE(xml.EnterSubElement(0));
    float x = 0;
    char  name[16];
    EXPECT_TRUE(xml.ReadFloat("x", x) && xml.ReadString("name", name, sizeof name));
    EXPECT_EQ(std::make_pair(x, std::string(name)), std::make_pair(1024.5f, std::string("tree.3ds")));
}

// The file size limit stands in for a full disk: the buffered values fail to reach the file only at the close.
TEST_F(XmlFileTest, SaveThatDoesNotReachTheDiskFailsToClose) {
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_TRUE(xml.Open("objects.xml", 1));
    struct rlimit small = saved;
    small.rlim_cur      = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = xml.BeginWriteElement("objects");
    for (int n = 0; n < 8; ++n) {
        written = xml.BeginWriteSubElement(n) && written;
        written = xml.WriteString("filename", "pine.3ds") && written;
        written = xml.EndWriteSubElement() && written;
    }
    written           = xml.EndWriteElement() && written;
    const bool closed = xml.Close();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written && closed) << "a save cut short must not be reported as done";
    EXPECT_FALSE(closed);

    ASSERT_TRUE(xml.Open("objects.xml", 1));
    EXPECT_TRUE(xml.WriteInt("count", 1));
    EXPECT_TRUE(xml.Close()) << "a save that fits closes fine";
}

} // namespace
