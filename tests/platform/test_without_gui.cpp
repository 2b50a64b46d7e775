// Helpers called from programs and tests that have no QApplication.
#include "platform/Helpers.h"
#include "platform/MainThread.h"

#include <gtest/gtest.h>

TEST(WithoutGui, MessagesAreLoggedAndQuestionsAnsweredNo)
{
    EXPECT_NO_FATAL_FAILURE(Show_MessageBox(QStringLiteral("Nothing to show on.")));
    EXPECT_FALSE(Show_YES_NO_MessageBox(QStringLiteral("Delete everything?")));
    int ran = 0;
    platform::runOnMainThread([&] { ++ran; });
    EXPECT_EQ(ran, 1);
}
