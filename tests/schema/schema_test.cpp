#include "schema/schema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Fields(int formIndex)
{
    std::vector<std::string> list;
    ov::GetFormFields(static_cast<unsigned char>(formIndex), list);
    return list;
}

// --- Catalogue -----------------------------------------------------------------

struct CatalogueRow {
    int index;
    const char* title;
    size_t fieldCount; // 0: the title has no list
};

const CatalogueRow kCatalogue[] = {
    {0, "Clients", 0},     {1, "Sponsors", 0},   {2, "ALE Group", 6},   {3, "1094", 72},
    {4, "1095-B", 39},     {5, "1095-B CI", 22}, {6, "1095-C", 79},     {7, "1095-C CI", 22},
    {8, "1098", 41},       {9, "1098-C", 32},    {10, "1098-E", 19},    {11, "1098-F", 24},
    {12, "1098-T", 26},    {13, "1099-A", 23},   {14, "1099-B", 49},    {15, "1099-C", 26},
    {16, "1099-CAP", 21},  {17, "1099-DIV", 42}, {18, "1099-G", 32},    {19, "1099-INT", 38},
    {20, "1099-K", 44},    {21, "1099-LTC", 32}, {22, "1099-MISC", 40}, {23, "1099-NEC", 28},
    {24, "1099-OID", 36},  {25, "1099-PATR", 33}, {26, "1099-Q", 27},   {27, "1099-R", 48},
    {28, "1099-S", 26},    {29, "1099-SA", 24},  {30, "3921", 26},      {31, "3922", 25},
    {32, "5498", 41},      {33, "5498-ESA", 19}, {34, "5498-SA", 25},   {35, "W-2", 63},
    {36, "W-2C", 98},      {37, "W-2G", 32},
};

TEST(FormCatalogue, TitlesAndFieldCountsByIndex)
{
    ASSERT_EQ(std::size(kCatalogue), ov::FormNames.size());
    size_t total = 0;
    for (const CatalogueRow& row : kCatalogue) {
        SCOPED_TRACE(testing::Message() << "form index " << row.index);
        EXPECT_EQ(ov::FormNames[row.index], row.title);
        EXPECT_EQ(Fields(row.index).size(), row.fieldCount);
        total += Fields(row.index).size();
    }
    EXPECT_EQ(total, 1280u);
}

TEST(FormCatalogue, ComboStartsWith1094AndEndsWithW2G)
{
    EXPECT_EQ(ov::FormNames[0 + ov::kFirstOfferedForm], "1094");
    EXPECT_EQ(ov::FormNames[34 + ov::kFirstOfferedForm], "W-2G");
    EXPECT_EQ(ov::kOfferedFormCount, 35);
}

TEST(FormCatalogue, IndexesWithoutListAppendNothing)
{
    for (int index : {0, 1, 38, 39, 100, 255}) {
        SCOPED_TRACE(testing::Message() << "form index " << index);
        std::vector<std::string> list = {"kept"};
        ov::GetFormFields(static_cast<unsigned char>(index), list);
        EXPECT_EQ(list, std::vector<std::string>{"kept"});
    }
}

TEST(FormCatalogue, AppendsBehindWhatTheListHolds)
{
    std::vector<std::string> list = {"kept"};
    ov::GetFormFields(2, list);
    const std::vector<std::string> expected = {"kept",         "$Client ID",    "$Name line 1",
                                               "$Name line 2", "nEmployer id",  "$Name control",
                                               "wAverage employee count"};
    EXPECT_EQ(list, expected);
}

TEST(FormCatalogue, FindFormIndex)
{
    struct Case {
        const char* title;
        int index;
    };
    const Case cases[] = {
        {"W-2C", 36},      {"1095-B CI", 5},   {"1095-B  CI", -1}, {"Clients", 0},
        {"Sponsors", 1},   {"ALE Group", 2},   {"ALE GROUP", -1},  {"CLIENTS", -1},
        {"w-2c", -1},      {"1099-misc", -1},  {"1094", 3},        {"W-2G", 37},
        {" W-2C", -1},     {"W-2C ", -1},      {"W-2", 35},        {"", -1},
        {"1099", -1},      {"5498-SA", 34},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "title \"" << c.title << "\"");
        EXPECT_EQ(ov::FindFormIndex(c.title), c.index);
    }
    for (int i = 0; i < ov::kFormNameCount; ++i) {
        SCOPED_TRACE(testing::Message() << "form index " << i);
        EXPECT_EQ(ov::FindFormIndex(ov::FormNames[i]), i);
    }
}

// --- Field lists -----------------------------------------------------------------

struct PositionCase {
    int index;
    size_t position; // from 1
    const char* descriptor;
};

const PositionCase kPositions[] = {
    // ALE Group
    {2, 1, "$Client ID"}, {2, 2, "$Name line 1"}, {2, 3, "$Name line 2"},
    {2, 4, "nEmployer id"}, {2, 5, "$Name control"}, {2, 6, "wAverage employee count"},
    // 1094
    {3, 1, "$Client ID"}, {3, 8, "IAll 12 Months Column (a) (Yes)"},
    {3, 13, "IJAN Column (a) (Yes)"}, {3, 72, "IDEC Column (d)"},
    // 1095-B
    {4, 24, "IJAN-DEC coverage"}, {4, 36, "IDEC coverage"},
    // 1095-C
    {6, 25, "oJAN-DEC coverage code"}, {6, 29, "oJAN coverage code"},
    {6, 76, "$DEC applicable Zip code"}, {6, 77, "IDo not print indicator"},
    {6, 78, "$E-Mail address"}, {6, 79, "$Client ID"},
    // 1098, 1098-T, 1098-C
    {8, 11, "$Apartment number"}, {8, 14, "$Name control"},
    {12, 13, "IStudent TIN Indicator"}, {12, 14, "$Name control"},
    {9, 31, "IDo not print indicator"}, {9, 32, "$Client ID"},
    // 1099-B, 1099-DIV, 1099-C
    {14, 18, "IFATCA filing requirement indicator"}, {14, 23, "CProceeds"},
    {17, 17, "IFATCA filing requirement indicator"},
    {15, 22, "EEvent Code"}, {15, 23, "cFMV of property"},
    // 1099-K, 1099-LTC, 1099-NEC, 1099-R
    {20, 25, "cJAN payments"}, {20, 36, "cDEC payments"},
    {20, 37, "cFederal income tax withheld"},
    {21, 1, "$Policyholder's name line 1"}, {21, 13, "$Name control"},
    {21, 19, "nInsured's taxpayer ID"},
    {23, 17, "cNonemployee compensation"}, {23, 21, "cState 1 income"},
    {27, 15, "dDate of payment"}, {27, 33, "IFATCA filing requirement indicator"},
    // 5498, 5498-ESA
    {32, 29, "IBox 11 - RMD Indicator for 2022"}, {32, 33, "yBox 13b - Year"},
    {32, 38, "$Box 15b - Code"},
    {33, 15, "cBox 1 - Coverdell ESA contributions"}, {33, 16, "cBox 2 - Rollover contributions"},
    // W-2, W-2C, W-2G
    {35, 19, "nSocial security number"}, {35, 30, "$Box 12a code"}, {35, 61, "$Employee ID"},
    {36, 21, "IPrevious statutory employee indicator"},
    {36, 60, "ICorrected statutory employee indicator"},
    {36, 98, "cCorrected Local 2 income tax"},
    {37, 8, "IForeign address indicator"}, {37, 16, "gType of wager code (1-9)"},
    {37, 32, "$Client ID"},
};

TEST(FieldLists, DescriptorsAtNamedPositions)
{
    for (const PositionCase& c : kPositions) {
        SCOPED_TRACE(testing::Message() << ov::FormNames[c.index] << " position " << c.position);
        const auto list = Fields(c.index);
        ASSERT_GE(list.size(), c.position);
        EXPECT_EQ(list[c.position - 1], c.descriptor);
    }
}

TEST(FieldLists, CoveredIndividualFormsShareOneList)
{
    EXPECT_EQ(Fields(5), Fields(7));
}

// Every line of the golden file is "TITLE<TAB>position<TAB>descriptor", forms
// in index order from ALE Group to W-2G.
TEST(FieldLists, MatchGoldenFile)
{
    std::ifstream in(OV_SCHEMA_DATA_DIR "/fields.txt", std::ios::binary);
    ASSERT_TRUE(in) << "cannot open fields.txt";
    std::vector<std::string> expected;
    for (std::string line; std::getline(in, line);) expected.push_back(line);
    ASSERT_EQ(expected.size(), 1280u);

    std::vector<std::string> actual;
    for (int index = 2; index < ov::kFormNameCount; ++index) {
        const auto list = Fields(index);
        for (size_t i = 0; i < list.size(); ++i) {
            actual.push_back(std::string(ov::FormNames[index]) + '\t' + std::to_string(i + 1) +
                             '\t' + list[i]);
        }
    }
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i], expected[i]) << "golden line " << i + 1;
    }
}

TEST(FieldLists, NoLabelTwiceWithinAForm)
{
    for (int index = 2; index < ov::kFormNameCount; ++index) {
        std::set<std::string> labels;
        for (const std::string& d : Fields(index)) {
            EXPECT_TRUE(labels.insert(d.substr(1)).second)
                << ov::FormNames[index] << ": label \"" << d.substr(1) << "\" repeats";
        }
    }
}

TEST(FieldLists, TinFieldsAtMostOnceAndTinTypeRightBeforeTin)
{
    for (int index = 2; index < ov::kFormNameCount; ++index) {
        SCOPED_TRACE(testing::Message() << ov::FormNames[index]);
        const auto list = Fields(index);
        std::map<char, std::vector<size_t>> at;
        for (size_t i = 0; i < list.size(); ++i) at[list[i][0]].push_back(i);
        for (char code : {'T', 'N', 'n'}) {
            EXPECT_LE(at[code].size(), 1u) << "type " << code;
        }
        if (!at['T'].empty() && !at['N'].empty()) {
            EXPECT_EQ(at['T'][0] + 1, at['N'][0]) << "\"T\" must stand right before \"N\"";
        }
    }
}

TEST(FieldLists, EveryDescriptorHasAKnownCodeAndALabel)
{
    for (int index = 2; index < ov::kFormNameCount; ++index) {
        for (const std::string& d : Fields(index)) {
            SCOPED_TRACE(testing::Message() << ov::FormNames[index] << ": \"" << d << "\"");
            ASSERT_GE(d.size(), 2u);
            EXPECT_NE(ov::FindTypeCode(d[0]), nullptr);
        }
    }
}

// Which forms use each type code.
TEST(FieldLists, TypeCodesAreUsedByExactlyTheirForms)
{
    std::set<int> all, except, payers;
    for (int i = 2; i <= 37; ++i) all.insert(i);
    for (int i = 8; i <= 34; ++i) payers.insert(i); // 1098 to 5498-SA
    auto without = [&](std::set<int> s, std::initializer_list<int> out) {
        for (int i : out) s.erase(i);
        return s;
    };
    auto with = [](std::set<int> s, std::initializer_list<int> in) {
        s.insert(in);
        return s;
    };
    const std::map<char, std::set<int>> expected = {
        {'$', all},
        {'C', {14, 24, 26}},
        {'c', without(all, {2, 3, 4, 5, 7})},
        {'w', {2, 3, 8, 16, 20}},
        {'#', {8, 27, 30, 31}},
        {'I', without(all, {2})},
        {'D', {9, 11, 13, 15, 16, 28, 37}},
        {'d', {8, 9, 14, 21, 27, 30, 31, 32}},
        {'b', {4, 5, 7}},
        {'Y', {36}},
        {'y', {27, 32}},
        {'n', {2, 4, 5, 6, 7, 21, 35, 36}},
        {'N', with(payers, {36, 37})},
        {'T', with(payers, {37})},
        {'u', with(payers, {4, 6, 35})},
        {'O', {4}},
        {'o', {6}},
        {'h', {6}},
        {'p', {6}},
        {'g', {37}},
        {'E', {15}},
    };
    std::map<char, std::set<int>> used;
    for (int index = 2; index < ov::kFormNameCount; ++index) {
        for (const std::string& d : Fields(index)) used[d[0]].insert(index);
    }
    for (const auto& [code, forms] : expected) {
        SCOPED_TRACE(testing::Message() << "type " << code);
        EXPECT_EQ(used[code], forms);
    }
    EXPECT_EQ(used.size(), expected.size());
}

// --- Descriptors and type codes -------------------------------------------------------

TEST(SplitDescriptor, CodeIsTheFirstCharacterAlone)
{
    struct Case {
        std::string_view descriptor;
        char code;
        std::string_view label;
    };
    const Case cases[] = {
        {"cCost or other basis", 'c', "Cost or other basis"},
        {"I98% Offer Method indicator", 'I', "98% Offer Method indicator"},
        {"$Foreign city, province, postal code", '$', "Foreign city, province, postal code"},
        {"CProceeds", 'C', "Proceeds"},
        {"NTaxpayer id", 'N', "Taxpayer id"},
        {"$X", '$', "X"},
        {"$", '\0', ""},
        {"", '\0', ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "descriptor \"" << c.descriptor << "\"");
        const ov::FieldDescriptor split = ov::SplitDescriptor(c.descriptor);
        EXPECT_EQ(split.typeCode, c.code);
        EXPECT_EQ(split.label, c.label);
    }
}

struct TypeCodeCase {
    char code;
    const char* hint;
    const char* defaultValue;
    ov::TypeRule rule;
    const char* errorFragment;
};

const TypeCodeCase kTypeCodeCases[] = {
    {'$', "STRING DATA - No special formatting required", "", ov::TypeRule::Keep, ""},
    {'C', "CURRENCY - Negative amounts reflect losses", "0.00", ov::TypeRule::Currency,
     "to an invalid currency value "},
    {'c', "CURRENCY - Cannot be negative", "0.00", ov::TypeRule::Currency,
     "to an invalid currency value "},
    {'w', "WHOLE NUMBER (no decimals, no negative signs)", "0", ov::TypeRule::WholeNumber,
     "to an invalid whole number value "},
    {'#', "FLOATING POINT NUMBER (can contain a decimal)", "0.00", ov::TypeRule::Float,
     "to an invalid floating point value "},
    {'I', "INDICATOR: { Y, YES, T, TRUE, 1 }=TRUE, { N, NO, F, FALSE, 0 }=FALSE", "",
     ov::TypeRule::Indicator, "to an invalid indicator value "},
    {'D', "DATE - Required (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", "",
     ov::TypeRule::RequiredDate, "to an invalid (required) date "},
    {'d', "DATE - Not Required (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", "",
     ov::TypeRule::OptionalDate, ""},
    {'b', "Date of Birth - (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", "",
     ov::TypeRule::OptionalDate, ""},
    {'Y', "2-DIGIT (YY) OR 4-DIGIT YEAR (YYYY) - Required", "", ov::TypeRule::RequiredYear,
     "to an invalid (required) year "},
    {'y', "2-DIGIT (YY) OR 4-DIGIT YEAR (YYYY) - Not Required", "", ov::TypeRule::OptionalYear,
     ""},
    {'n', "SOCIAL SECURITY NUMBER - Enter as 9 digits or XXX-XX-XXXX", "", ov::TypeRule::Ssn,
     "to an invalid SSN "},
    {'N', "TAXPAYER ID NUMBER - Enter as 9 digits, XX-XXXXXX, or XXX-XX-XXXX", "",
     ov::TypeRule::Tin, "to an invalid TIN "},
    {'T',
     "TIN TYPE: { 1, EIN }=Employer ID, { 2, SSN }=Social Security, { Blank, N/A }=Not available",
     "N/A", ov::TypeRule::TinType, ""},
    {'u', "USPS DELIVERY POINT - Enter as 2 digits (00-99)", "", ov::TypeRule::DeliveryPoint,
     "to an invalid USPS Delivery Point "},
    {'O', "REQUIRED - Origin of Health Coverage Code (A-G)", "", ov::TypeRule::UpperCase, ""},
    {'o', "Offer of Coverage Code (1A - 1S)", "", ov::TypeRule::Keep, ""},
    {'h', "Sec 4980H Safe Harbor Code (2A - 2I)", "", ov::TypeRule::Keep, ""},
    {'p', "2-digit month (01-12), or 00 = No Plan", "", ov::TypeRule::Keep, ""},
    {'g', "1=Horses, 2=Dogs, 3=Jai-alai, 4=Lottery, 5=Keno, 6=Bingo, 7=Slots, 8=Poker, 9=Other", "",
     ov::TypeRule::WagerCode, "to an invalid code "},
    {'E', "Identifiable Event Code -- Refer to Instructions for Form 1099-C", "",
     ov::TypeRule::EventCode, ""},
};

TEST(TypeCodes, HintDefaultRuleAndFragmentOfEachCode)
{
    ASSERT_EQ(std::size(kTypeCodeCases), ov::TypeCodes.size());
    for (const TypeCodeCase& c : kTypeCodeCases) {
        SCOPED_TRACE(testing::Message() << "type " << c.code);
        const ov::TypeCodeInfo* info = ov::FindTypeCode(c.code);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->code, c.code);
        EXPECT_EQ(info->hint, c.hint);
        EXPECT_EQ(info->defaultValue, c.defaultValue);
        EXPECT_EQ(info->rule, c.rule);
        EXPECT_EQ(info->errorFragment, c.errorFragment);
        EXPECT_EQ(ov::TypeHint(c.code), c.hint);
        EXPECT_EQ(ov::TypeDefault(c.code), c.defaultValue);
    }
}

TEST(TypeCodes, LetterCaseIsSignificant)
{
    struct Case {
        char upper;
        char lower;
    };
    for (const Case c : {Case{'C', 'c'}, Case{'D', 'd'}, Case{'N', 'n'}, Case{'O', 'o'},
                         Case{'Y', 'y'}}) {
        SCOPED_TRACE(testing::Message() << c.upper << "/" << c.lower);
        ASSERT_NE(ov::FindTypeCode(c.upper), nullptr);
        ASSERT_NE(ov::FindTypeCode(c.lower), nullptr);
        EXPECT_EQ(ov::FindTypeCode(c.upper)->code, c.upper);
        EXPECT_EQ(ov::FindTypeCode(c.lower)->code, c.lower);
        EXPECT_NE(ov::TypeHint(c.upper), ov::TypeHint(c.lower));
    }
    EXPECT_EQ(ov::TypeHint('C'), "CURRENCY - Negative amounts reflect losses");
    EXPECT_EQ(ov::TypeHint('c'), "CURRENCY - Cannot be negative");
}

TEST(TypeCodes, UnknownCodesHaveNothing)
{
    // Folded-case twins of real codes among them: "e", "G", "i", "B", "W", "U".
    for (char code : {'e', 'G', 'i', 'B', 'W', 'U', 'x', 'P', 'H', 't', ' ', '\0', '%'}) {
        SCOPED_TRACE(testing::Message() << "code " << static_cast<int>(code));
        EXPECT_EQ(ov::FindTypeCode(code), nullptr);
        EXPECT_EQ(ov::TypeHint(code), "");
        EXPECT_EQ(ov::TypeDefault(code), "");
    }
}

} // namespace
