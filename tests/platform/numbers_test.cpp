#include "platform/errors.h"
#include "platform/numbers.h"

#include <gtest/gtest.h>

TEST(StrToInt, AcceptsSignedDecimalsWithLeadingBlanks)
{
    EXPECT_EQ(qm::strToInt("0"), 0);
    EXPECT_EQ(qm::strToInt("42"), 42);
    EXPECT_EQ(qm::strToInt("-7"), -7);
    EXPECT_EQ(qm::strToInt("+5"), 5);
    EXPECT_EQ(qm::strToInt("  12"), 12);
    EXPECT_EQ(qm::strToInt("2147483647"), 2147483647);
    EXPECT_EQ(qm::strToInt("-2147483648"), INT32_MIN);
}

TEST(StrToInt, RefusesAnythingElseWithTheTextInTheMessage)
{
    for (const std::string text : {"", " ", "-", "12a", "1 2", "3 ", "2147483648", "-2147483649",
                                   "99999999999999999999", "3\r\n", "abc"}) {
        try {
            qm::strToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const qm::EConvertError &e) {
            EXPECT_EQ(e.what(), "'" + text + "' is not a valid integer value");
        }
    }
}
