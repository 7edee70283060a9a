#include "checks/value_checks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

// What the data block verification requires of a normalised SSN or TIN.
bool IsAcceptedIdentifier(const std::string& value)
{
    return value.empty() || (value.size() == 9 && ov::IsAllDigits(value));
}

TEST(Identifiers, NormalizeSsn)
{
    struct Case {
        std::string supplied;
        std::string normalised;
        bool accepted;
    } cases[] = {
        {"123-45-6789", "123456789", true},
        {"123456789", "123456789", true},
        {"123 45 6789", "123456789", true},
        {"123-45-678", "123-45-678", false},
        {"12-3456789", "12-3456789", false},
        {"ABC-DE-FGHI", "ABCDEFGHI", false},
        {"", "", true},
        {"123.45/6789", "123456789", true},
        {"123\0" "45\0" "6789"s, "123456789", true},
        // A digit at position 4 or 7 means the value is not in the XXX-XX-XXXX
        // form; dropping those characters would turn eleven digits into an
        // accepted nine-digit number.
        {"12345678901", "12345678901", false},
        {"123-4567890", "123-4567890", false},
        {"1234X6-8901", "1234X6-8901", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.supplied << "\"");
        std::string value = c.supplied;
        ov::NormalizeSsn(value);
        EXPECT_EQ(value, c.normalised);
        EXPECT_EQ(IsAcceptedIdentifier(value), c.accepted);
    }
}

TEST(Identifiers, NormalizeTin)
{
    struct Case {
        std::string supplied;
        std::string normalised;
        std::string tinType;
        bool accepted;
    } cases[] = {
        {"12-3456789", "123456789", "EIN", true},
        {"123-45-6789", "123456789", "SSN", true},
        {"123456789", "123456789", "", true},
        {"12-345678", "12-345678", "", false},
        {"", "", "N/A", true},
        {"12 3456789", "123456789", "EIN", true},
        {"123 45 6789", "123456789", "SSN", true},
        // Ten or eleven digits, or a digit where the separator belongs: left as
        // they are, type undetermined, and rejected as not nine digits.
        {"1234567890", "1234567890", "", false},
        {"123-45-678", "123-45-678", "", false},
        {"12345678901", "12345678901", "", false},
        {"123-4567890", "123-4567890", "", false},
        {"AB-CDEFGHI", "ABCDEFGHI", "EIN", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.supplied << "\"");
        std::string value = c.supplied;
        std::string tinType = "stale";
        ov::NormalizeTin(value, tinType);
        EXPECT_EQ(value, c.normalised);
        EXPECT_EQ(tinType, c.tinType);
        EXPECT_EQ(IsAcceptedIdentifier(value), c.accepted);
    }
}

TEST(Identifiers, NormalizeTinType)
{
    struct Case {
        std::string supplied;
        std::string stored;
    } cases[] = {
        {"", "N/A"}, {"1", "EIN"}, {"2", "SSN"}, {"ein", "ein"}, {"3", "3"},
        {"EIN", "EIN"}, {"SSN", "SSN"}, {"N/A", "N/A"}, {"01", "01"}, {" 1", " 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.supplied << "\"");
        std::string value = c.supplied;
        ov::NormalizeTinType(value);
        EXPECT_EQ(value, c.stored);
    }
}

TEST(Identifiers, IsAllDigits)
{
    struct Case {
        std::string text;
        bool digits;
    } cases[] = {
        {"", true},
        {"0123456789", true},
        {"12a", false},
        {" 1", false},
        {"1/", false},
        {"1:", false},
        {"\xB2\xB3", false},
        {"12\0" "3"s, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.text << "\"");
        EXPECT_EQ(ov::IsAllDigits(c.text), c.digits);
    }
}

} // namespace
