#include <string>

#include <gtest/gtest.h>

#include "platform/MessageBox.h"

TEST(MessageBox, RecordsCaptionAndFormattedTextInsteadOfShowing) {
    CMessageBox::StartRecording();
    CMessageBox::Show("Error", "Couldn't load %s (%d)", "objects\\tank.3ds", 3);
    CMessageBox::Show("Warning", "%s", std::string(5000, 'w').c_str());
    CMessageBox::Show(nullptr, nullptr);
    ASSERT_EQ(CMessageBox::GetRecorded().size(), 3u);
    EXPECT_EQ(CMessageBox::GetRecorded()[0].caption, "Error");
    EXPECT_EQ(CMessageBox::GetRecorded()[0].text, "Couldn't load objects\\tank.3ds (3)");
    EXPECT_EQ(CMessageBox::GetRecorded()[1].text.size(), CMessageBox::maxTextLength);
    EXPECT_EQ(CMessageBox::GetRecorded()[2].caption, "");
    CMessageBox::StopRecording();
    EXPECT_TRUE(CMessageBox::GetRecorded().empty());
}
