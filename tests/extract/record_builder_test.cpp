#include "extract/record_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const ov::RegionalSettings kSettings{};
constexpr int kYear = 2022;

struct RuleCase {
    const char* descriptor;
    std::string value;
    bool accepted;
    std::string stored;   // when accepted
    std::string fragment; // the field's message fragment when rejected
};

const RuleCase kRuleCases[] = {
    {"$Name line 1", "  PAYEE ONE  ", true, "PAYEE ONE", ""},
    {"$Name line 1", "\t\x01 x\x1f ", true, "x", ""},
    {"$Name line 1", "M\xFCller", true, "M\xFCller", ""},
    {"OOrigin of Health Coverage Code", "b", true, "B", ""},
    {"OOrigin of Health Coverage Code", "\xE9", true, "\xE9", ""},
    {"oOffer of Coverage", "1e", true, "1e", ""},
    {"hSafe Harbor", " 2a ", true, "2a", ""},
    {"pPlan start month", "07", true, "07", ""},
    {"EEvent Code", " a ", true, "a", ""}, // kept trimmed, like "o"
    {"TTIN Type", "", true, "N/A", ""},
    {"TTIN Type", "1", true, "EIN", ""},
    {"TTIN Type", "2", true, "SSN", ""},
    {"TTIN Type", "ein", true, "ein", ""},
    {"IForeign address indicator", "yes", true, "X", ""},
    {"IForeign address indicator", "No", true, "", ""},
    {"IForeign address indicator", "2", false, "", "to an invalid indicator value "},
    {"cNonemployee compensation", "$950.50", true, "950.50", ""},
    {"cNonemployee compensation", "-12.50", true, "12.50", ""},
    {"cNonemployee compensation", "", true, "0", ""},
    {"cNonemployee compensation", "abc", false, "", "to an invalid currency value "},
    {"CUnrealized P/L", "-$1,234.50", true, "-1234.50", ""},
    {"CUnrealized P/L", "(100.00)", false, "", "to an invalid currency value "},
    {"wAverage employee count", "1,000", true, "1000", ""},
    {"wAverage employee count", "12.5", false, "", "to an invalid whole number value "},
    {"#Shares", "$1,234.5", true, "1234.5", ""},
    {"#Shares", "abc", false, "", "to an invalid floating point value "},
    {"nSocial security number", "123-45-6789", true, "123456789", ""},
    {"nSocial security number", "", true, "", ""},
    {"nSocial security number", "12-3456789", false, "", "to an invalid SSN "},
    {"nSocial security number", "12345678901", false, "", "to an invalid SSN "},
    {"NTaxpayer id", "12-3456789", true, "123456789", ""},
    {"NTaxpayer id", "123-45-678", false, "", "to an invalid TIN "},
    {"YYear", "21", true, "2021", ""},
    {"YYear", "", false, "", "to an invalid (required) year "},
    {"yYear", "5", true, "", ""},
    {"DDate", "123121", true, "12312021", ""},
    {"DDate", "02/29/2021", false, "", "to an invalid (required) date "},
    {"dDate", "13/01/2021", true, "", ""},
    {"bDate of birth", "1/2/3", true, "01022003", ""},
    {"uUSPS Delivery Point", "7", true, "07", ""},
    {"uUSPS Delivery Point", "0", true, "00", ""},
    {"uUSPS Delivery Point", " 5 ", true, "05", ""},
    {"uUSPS Delivery Point", "", true, "", ""},
    {"uUSPS Delivery Point", "   ", true, "", ""},
    {"uUSPS Delivery Point", "100", false, "", "to an invalid USPS Delivery Point "},
    {"uUSPS Delivery Point", "-1", false, "", "to an invalid USPS Delivery Point "},
    {"uUSPS Delivery Point", "A", false, "", "to an invalid USPS Delivery Point "},
    {"gType of wager", "9", true, "9", ""},
    {"gType of wager", "1", true, "1", ""},
    {"gType of wager", "10", false, "", "to an invalid code "},
    {"gType of wager", "0", false, "", "to an invalid code "},
    {"gType of wager", "", false, "", "to an invalid code "},
};

TEST(RecordBuilder, AppliesTheRuleOfEachTypeCode)
{
    for (const RuleCase& c : kRuleCases) {
        SCOPED_TRACE(std::string("field \"") + c.descriptor + "\", value \"" + c.value + "\"");
        const std::vector<std::string> fields{c.descriptor};
        ov::RecordBuilder record(fields, "1", kSettings, kYear);
        record.PrepareRecord();
        EXPECT_EQ(record.StoreValue(0, c.value), c.accepted);
        if (c.accepted)
            EXPECT_EQ(record.RecordValues()[0], c.stored);
        else
            EXPECT_EQ(record.Fragment(0), c.fragment);
    }
}

TEST(RecordBuilder, FieldsNotSuppliedHoldTheirDefaults)
{
    const std::vector<std::string> fields{"$Name", "CAmount", "cAmount", "#Shares", "wCount", "TTIN Type",
                                          "NTaxpayer id", "IIndicator", "uUSPS", "EEvent Code", "DDate"};
    const std::vector<std::string> defaults{"", "0.00", "0.00", "0.00", "0", "N/A", "", "", "", "", ""};
    ov::RecordBuilder record(fields, std::string(fields.size(), '0'), kSettings, kYear);
    EXPECT_EQ(record.SuppliedCount(), 0u);
    EXPECT_EQ(record.TinTypeIndex(), 5);
    record.PrepareRecord();
    EXPECT_EQ(record.RecordValues(), defaults);
    EXPECT_EQ(record.ImportLine(), ",0.00,0.00,0.00,0,N/A,,,,,");
}

TEST(RecordBuilder, OnlyFlagsOfOneAreSupplied)
{
    const std::vector<std::string> fields{"$A", "$B", "$C", "$D"};
    ov::RecordBuilder record(fields, "1 01", kSettings, kYear);
    ASSERT_EQ(record.SuppliedCount(), 2u);
    EXPECT_EQ(record.SuppliedPosition(0), 0u);
    EXPECT_EQ(record.SuppliedPosition(1), 3u);
    EXPECT_EQ(record.Label(1), "D");
}

// The TIN decides the TIN type field after it, supplied or not, record by record.
TEST(RecordBuilder, TheTinWritesItsTypeIntoTheTinTypeField)
{
    struct Case {
        bool typeSupplied;
        std::string typeValue;
        std::string tin;
        std::string storedType;
        std::string storedTin;
    };
    const Case cases[] = {
        {true, "2", "12-3456789", "EIN", "123456789"},
        {true, "2", "123456789", "SSN", "123456789"},
        {true, "1", "", "N/A", ""},
        {false, "", "", "N/A", ""},
        {false, "", "123-45-6789", "SSN", "123456789"},
        {false, "", "123456789", "N/A", "123456789"},
    };
    const std::vector<std::string> fields{"TTIN Type", "NTaxpayer id"};
    for (const Case& c : cases) {
        SCOPED_TRACE("type \"" + c.typeValue + "\" (supplied " + std::to_string(c.typeSupplied) + "), TIN \""
                     + c.tin + "\"");
        ov::RecordBuilder record(fields, c.typeSupplied ? "11" : "01", kSettings, kYear);
        // A first record whose TIN sets the type must not leak into the next.
        record.PrepareRecord();
        std::size_t j = 0;
        if (c.typeSupplied) {
            ASSERT_TRUE(record.StoreValue(j++, "1"));
        }
        ASSERT_TRUE(record.StoreValue(j, "12-3456789"));
        ASSERT_EQ(record.RecordValues()[0], "EIN");

        record.PrepareRecord();
        j = 0;
        if (c.typeSupplied) {
            ASSERT_TRUE(record.StoreValue(j++, c.typeValue));
        }
        ASSERT_TRUE(record.StoreValue(j, c.tin));
        EXPECT_EQ(record.RecordValues()[0], c.storedType);
        EXPECT_EQ(record.RecordValues()[1], c.storedTin);
    }
}

TEST(RecordBuilder, FormWithoutTinTypeKeepsOnlyTheTin)
{
    const std::vector<std::string> fields{"$Name", "NIncorrect SSN"};
    ov::RecordBuilder record(fields, "01", kSettings, kYear);
    EXPECT_EQ(record.TinTypeIndex(), -1);
    record.PrepareRecord();
    ASSERT_TRUE(record.StoreValue(0, "123-45-6789"));
    EXPECT_EQ(record.RecordValues(), (std::vector<std::string>{"", "123456789"}));
}

} // namespace
