#include "edit/HeldEdits.h"

#include <gtest/gtest.h>

using namespace vorn;

TEST(HeldEdits, ADescriptionIsEditedByMoreThanLetterCase)
{
    struct Case { const char *stored; const char *typed; bool edited; };
    const Case cases[] = {
        {"Line one\r\nLine two", "LINE ONE\nline two", false},
        {"Line one\r\nLine two", "Line one\nLine two!", true},
        {"", "", false},
        {"", " ", true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(descriptionEdited(QString::fromUtf8(c.stored), QString::fromUtf8(c.typed)), c.edited) << c.typed;
}
