// The rules of the levels dialog as plain functions: the checks of Edit (the cases that the widget
// tests leave out), the conversion of the fields, the limits of Save it and how a level's start
// square is shown.

#include <gtest/gtest.h>

#include "commands/qmeditor3.h"
#include "platform/errors.h"

namespace {

using qm::LevelField;

struct CheckCase {
    const char *name;
    qm::LevelFieldTexts fields;      // only width, height, column and row matter
    std::vector<std::string> messages;
    std::vector<std::string> after; // width, height, column, row after the checks
};

qm::LevelFieldTexts sizes(const char *w, const char *h, const char *column, const char *row)
{
    qm::LevelFieldTexts t;
    t.width = w;
    t.height = h;
    t.column = column;
    t.row = row;
    return t;
}

void PrintTo(const CheckCase &c, std::ostream *out) { *out << c.name; }

class LevelFieldChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(LevelFieldChecks, CorrectFieldsInOrder)
{
    const CheckCase &c = GetParam();
    qm::LevelFieldTexts fields = c.fields;
    const qm::LevelFieldCheck check = qm::checkLevelFields(fields);
    std::vector<std::string> messages;
    for (const auto &correction : check.corrections)
        messages.push_back(correction.message);
    EXPECT_EQ(messages, c.messages);
    EXPECT_FALSE(check.conversionError);
    EXPECT_EQ(check.valid(), c.messages.empty());
    EXPECT_EQ((std::vector<std::string>{fields.width, fields.height, fields.column, fields.row}), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LevelFieldChecks,
    ::testing::Values(
        CheckCase{"AcceptedLimits", sizes("6", "70", "6", "70"), {}, {"6", "70", "6", "70"}},
        CheckCase{"RowBelowOne", sizes("40", "6", "2", "-3"),
                  {"Edit start position row cannot be smaller that 1!"}, {"40", "6", "2", "1"}},
        CheckCase{"ColumnComparedWithTheCorrectedWidth", sizes("71", "40", "71", "2"),
                  {"The maximum width is 70.", "Edit start position column cannot be bigger than 70!"},
                  {"70", "40", "70", "2"}}),
    [](const auto &entry) { return std::string(entry.param.name); });

TEST(LevelFieldChecks, ANonNumberEndsTheChecksAfterEarlierCorrections)
{
    qm::LevelFieldTexts fields = sizes("5", "4x", "2", "2");
    const qm::LevelFieldCheck check = qm::checkLevelFields(fields);
    ASSERT_EQ(check.corrections.size(), 1u);
    EXPECT_EQ(check.corrections[0].field, LevelField::Width);
    ASSERT_TRUE(check.conversionError);
    EXPECT_EQ(*check.conversionError, "'4x' is not a valid integer value");
    EXPECT_FALSE(check.valid());

    qm::LevelFieldTexts empty = sizes("", "40", "2", "2");
    EXPECT_EQ(*qm::checkLevelFields(empty).conversionError, "'' is not a valid integer value");
}

TEST(LevelProperties, EveryNumberIsConvertedAndTheFirstBadOneReported)
{
    qm::LevelFieldTexts fields = sizes("40", "30", "3", "4");
    fields.infotrons = "12";
    const qm::LevelProperties p = qm::readLevelProperties(fields);
    EXPECT_EQ(p.width, 40);
    EXPECT_EQ(p.height, 30);
    EXPECT_EQ(p.column, 3);
    EXPECT_EQ(p.row, 4);
    EXPECT_EQ(p.infotrons, 12);

    fields.infotrons = "many";
    EXPECT_THROW(qm::readLevelProperties(fields), qm::EConvertError);
    fields.width = "wide";
    try {
        qm::readLevelProperties(fields);
        FAIL() << "no conversion error";
    } catch (const qm::EConvertError &e) {
        EXPECT_STREQ(e.what(), "'wide' is not a valid integer value");
    }
}

TEST(LevelProperties, SaveItKeepsALevelWithinItsGrid)
{
    qm::LevelProperties p;
    p.width = 41;
    p.height = 99;
    p.column = 41;
    p.row = 1;
    p.infotrons = 7;
    qm::LevelProperties kept = qm::limitSavedProperties(p);
    EXPECT_EQ(kept.width, 41); // no rule of Edit applies to Save it
    EXPECT_EQ(kept.height, 99);
    EXPECT_EQ(kept.column, 41);
    EXPECT_EQ(kept.infotrons, 7);

    p.width = 150;
    p.height = 0;
    p.column = 120;
    p.row = 5;
    p.infotrons = -3;
    kept = qm::limitSavedProperties(p);
    EXPECT_EQ(kept.width, 100);
    EXPECT_EQ(kept.height, 1);
    EXPECT_EQ(kept.column, 100);
    EXPECT_EQ(kept.row, 1);
    EXPECT_EQ(kept.infotrons, 0);

    p.width = -2147483647 - 1;
    p.column = -2147483647 - 1;
    kept = qm::limitSavedProperties(p);
    EXPECT_EQ(kept.width, 1);
    EXPECT_EQ(kept.column, 1);
}

TEST(LevelProperties, StartSquareIsReadBackTruncatingTowardZero)
{
    qm::tlevel level;
    level.startx = 100; // column 2
    level.starty = 59;  // row 0 (39 div 40)
    EXPECT_EQ(qm::levelFieldTexts(level).column, "2");
    EXPECT_EQ(qm::levelFieldTexts(level).row, "0");
    level.startx = 0;    // -20 div 40 truncates to 0, not -1
    level.starty = -100; // -120 div 40 = -3
    EXPECT_EQ(qm::levelFieldTexts(level).column, "0");
    EXPECT_EQ(qm::levelFieldTexts(level).row, "-3");
}

} // namespace
