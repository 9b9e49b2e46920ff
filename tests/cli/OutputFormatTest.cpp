#include "cli/JsonWriter.h"
#include "cli/PropertyAssignment.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(JsonString("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(JsonString("line\nnext\ttab\r"), R"("line\nnext\ttab\r")");
    EXPECT_EQ(JsonString(std::string("\x01\x1f", 2) + std::string(1, '\0')), R"("\u0001\u001f\u0000")");
    EXPECT_EQ(JsonString("\xE2\x82\xAC"), "\"\xE2\x82\xAC\"");
}

struct AssignmentCase
{
    std::string argument;
    bool valid;
    std::size_t property;
    std::string value;
};

class ParseSetArgumentTest : public testing::TestWithParam<AssignmentCase>
{
};

TEST_P(ParseSetArgumentTest, ChecksNameAndValue)
{
    const AssignmentCase& c = GetParam();
    if (!c.valid) {
        EXPECT_THROW((void)ParseSetArgument(c.argument), EBadAssignment) << c.argument;
        return;
    }
    const PropertyAssignment assignment = ParseSetArgument(c.argument);
    EXPECT_EQ(assignment.Property, c.property);
    EXPECT_EQ(assignment.Value, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments,
    ParseSetArgumentTest,
    testing::Values(AssignmentCase{"Title=Quarterly = review", true, 0, "Quarterly = review"},
                    AssignmentCase{"title=x", true, 0, "x"},
                    AssignmentCase{"TOTALEDITTIME(SECOND)=125", true, 14, "125"},
                    AssignmentCase{"Manager=", true, 16, ""},
                    AssignmentCase{"CreatedTime=2013-05-06 09:08:09", true, 8, "2013-05-06 09:08:09"},
                    AssignmentCase{"LastPrinted=", true, 7, ""},
                    AssignmentCase{"CreatedTime=2013-05-06", true, 8, "2013-05-06 00:00:00"},
                    AssignmentCase{"CreatedTime=2013-05-06T09:08:09", false, 0, ""},
                    AssignmentCase{"CreatedTime=2013-02-29 10:00:00", false, 0, ""},
                    AssignmentCase{"ModifiedTime=2013-05-06T09:08:09Z", true, 9, "2013-05-06 09:08:09"},
                    AssignmentCase{"ModifiedTime=2013-05-06T09:08:09+02:00", true, 9, "2013-05-06 07:08:09"},
                    AssignmentCase{"ModifiedTime=2013-05-06 9:08:09", false, 0, ""},
                    AssignmentCase{"Revision=12a", false, 0, ""},
                    AssignmentCase{"Revision=-1", false, 0, ""},
                    AssignmentCase{"Titel=x", false, 0, ""},
                    AssignmentCase{"Title", false, 0, ""},
                    AssignmentCase{"=x", false, 0, ""}));

TEST(ParseAssignments, RejectsTheSamePropertyTwice)
{
    EXPECT_EQ(ParseAssignments({"Title=a"}, {"company"}).size(), 2U);
    EXPECT_TRUE(ParseAssignments({}, {}).empty()); // `set` itself refuses to run with nothing to do
    EXPECT_THROW((void)ParseAssignments({"Title=a"}, {"TITLE"}), EBadAssignment);
    EXPECT_THROW((void)ParseAssignments({}, {"Nope"}), EBadAssignment);
}

} // namespace
} // namespace cli
