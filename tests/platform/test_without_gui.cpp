// Helpers called from programs and tests that have no QApplication.
#include "platform/Helpers.h"
#include "platform/MainThread.h"

#include <gtest/gtest.h>

TEST(WithoutGui, MessagesAreLoggedAndQuestionsAnsweredNoOrCancel)
{
    EXPECT_NO_FATAL_FAILURE(Show_MessageBox(QStringLiteral("Nothing to show on.")));
    EXPECT_FALSE(Show_YES_NO_MessageBox(QStringLiteral("Delete everything?")));
    EXPECT_EQ(Show_YES_NO_CANCEL_MessageBox(QStringLiteral("Save first?")), YesNoCancel::Cancel);
    int ran = 0;
    platform::runOnMainThread([&] { ++ran; });
    EXPECT_EQ(ran, 1);
}
