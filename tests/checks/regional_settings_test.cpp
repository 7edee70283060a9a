#include "platform/regional_settings.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using ov::DateOrder;
using ov::RegionalSettings;

bool LocaleAvailable(const std::string& name)
{
    const locale_t locale = newlocale(LC_ALL_MASK, name.c_str(), static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0))
        return false;
    freelocale(locale);
    return true;
}

void ExpectSettings(const RegionalSettings& actual, const RegionalSettings& expected)
{
    EXPECT_EQ(actual.decimalSeparator, expected.decimalSeparator);
    EXPECT_EQ(actual.dateSeparator, expected.dateSeparator);
    EXPECT_EQ(actual.dateOrder, expected.dateOrder);
}

TEST(RegionalSettings, ResolveLocaleNameTakesLcAllThenTheCategoryThenLang)
{
    struct Case {
        const char* lcAll;
        const char* category;
        const char* lang;
        std::string expected;
    } cases[] = {
        {"de_DE.UTF-8", "fr_FR.UTF-8", "en_US.UTF-8", "de_DE.UTF-8"},
        {"", "fr_FR.UTF-8", "en_US.UTF-8", "fr_FR.UTF-8"},
        {nullptr, "fr_FR.UTF-8", "en_US.UTF-8", "fr_FR.UTF-8"},
        {nullptr, "", "en_US.UTF-8", "en_US.UTF-8"},
        {nullptr, nullptr, "en_US.UTF-8", "en_US.UTF-8"},
        {nullptr, nullptr, nullptr, "C"},
        {"", "", "", "C"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "LC_ALL " << (c.lcAll ? c.lcAll : "(unset)") << " category "
                                        << (c.category ? c.category : "(unset)") << " LANG "
                                        << (c.lang ? c.lang : "(unset)"));
        EXPECT_EQ(ov::ResolveLocaleName(c.lcAll, c.category, c.lang), c.expected);
    }
}

TEST(RegionalSettings, DatePatternFromStrftime)
{
    struct Case {
        std::string format;
        std::string pattern;
    } cases[] = {
        {"%m/%d/%y", "M/d/y"},
        {"%d.%m.%Y", "d.M.y"},
        {"%Y-%m-%d", "y-M-d"},
        {"%D", "M/d/y"},
        {"%F", "y-M-d"},
        {"%e.%m.%C%y", "d.M.yy"},
        {"%-d/%-m/%y", "d/M/y"},
        {"%_d/%02m/%Ey", "d/M/y"},
        {"%d/%m/%Oy", "d/M/y"},
        {"%a, %Y.eko %bren %da", ", y. M d"},
        {"%A, %B %d, %Y", ", M d, y"},
        {"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", "y\xE5\xB9\xB4M\xE6\x9C\x88" "d\xE6\x97\xA5"},
        {"100%%", "100%"},
        {"%", ""},
        {"%-", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.format << "\"");
        EXPECT_EQ(ov::DatePatternFromStrftime(c.format), c.pattern);
    }
}

TEST(RegionalSettings, SeparatorAndOrderOfShortDateFormats)
{
    struct Case {
        std::string format;
        char separator;
        DateOrder order;
    } cases[] = {
        {"%m/%d/%y", '/', DateOrder::MonthDayYear},
        {"%d.%m.%Y", '.', DateOrder::DayMonthYear},
        {"%Y-%m-%d", '-', DateOrder::YearMonthDay},
        {"%D", '/', DateOrder::MonthDayYear},
        {"%F", '-', DateOrder::YearMonthDay},
        {"%d/%m-%Y", '/', DateOrder::DayMonthYear},
        {"%Y. %m. %d.", '.', DateOrder::YearMonthDay},
        {"%a, %Y.eko %bren %da", '.', DateOrder::YearMonthDay},
        // No single-byte punctuation between the first two parts: "/".
        {"%d %b, %Y", '/', DateOrder::DayMonthYear},
        {"%A, %d ta %b, %Y", '/', DateOrder::DayMonthYear},
        {"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", '/', DateOrder::YearMonthDay},
        {"%Y%m%d", '/', DateOrder::YearMonthDay},
        {"%Y", '/', DateOrder::YearMonthDay},
        {"%H:%M", '/', DateOrder::MonthDayYear},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.format << "\"");
        const std::string pattern = ov::DatePatternFromStrftime(c.format);
        EXPECT_EQ(ov::DateSeparatorFromPattern(pattern), c.separator);
        EXPECT_EQ(ov::DateOrderFromFormat(pattern), c.order);
    }
}

struct NamedLocaleCase {
    const char* numeric;
    const char* time;
    RegionalSettings expected;
};

// One test per locale pair, so that a pair not installed skips on its own.
class NamedLocales : public testing::TestWithParam<NamedLocaleCase> {};

TEST_P(NamedLocales, GiveTheirSeparatorsAndOrder)
{
    const NamedLocaleCase& c = GetParam();
    if (!LocaleAvailable(c.numeric) || !LocaleAvailable(c.time))
        GTEST_SKIP() << "locale " << c.numeric << " or " << c.time << " not installed";
    ExpectSettings(ov::ReadRegionalSettingsFor(c.numeric, c.time), c.expected);
}

const NamedLocaleCase kNamedLocales[] = {
    {"C", "C", {'.', '/', DateOrder::MonthDayYear}},
    {"POSIX", "POSIX", {'.', '/', DateOrder::MonthDayYear}},
    {"C.UTF-8", "C.UTF-8", {'.', '/', DateOrder::MonthDayYear}},
    {"de_DE.UTF-8", "de_DE.UTF-8", {',', '.', DateOrder::DayMonthYear}},
    {"fr_FR.UTF-8", "fr_FR.UTF-8", {',', '/', DateOrder::DayMonthYear}},
    {"en_US.UTF-8", "en_US.UTF-8", {'.', '/', DateOrder::MonthDayYear}},
    {"sv_SE.UTF-8", "sv_SE.UTF-8", {',', '-', DateOrder::YearMonthDay}},
    {"lv_LV.UTF-8", "lv_LV.UTF-8", {',', '.', DateOrder::YearMonthDay}},
    {"cs_CZ.UTF-8", "cs_CZ.UTF-8", {',', '.', DateOrder::DayMonthYear}},
    {"fr_CH.UTF-8", "fr_CH.UTF-8", {'.', '.', DateOrder::DayMonthYear}},
    {"ko_KR.UTF-8", "ko_KR.UTF-8", {'.', '/', DateOrder::YearMonthDay}},
    {"ja_JP.UTF-8", "ja_JP.UTF-8", {'.', '/', DateOrder::YearMonthDay}},
    {"de_DE.UTF-8", "en_US.UTF-8", {',', '/', DateOrder::MonthDayYear}},
    {"en_US.UTF-8", "de_DE.UTF-8", {'.', '.', DateOrder::DayMonthYear}},
};

std::string NamedLocaleTestName(const testing::TestParamInfo<NamedLocaleCase>& info)
{
    std::string name = std::string(info.param.numeric) + "_" + info.param.time;
    for (char& ch : name)
        if (!((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9')))
            ch = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(RegionalSettings, NamedLocales, testing::ValuesIn(kNamedLocales), NamedLocaleTestName);

TEST(RegionalSettings, LocalesThatCannotBeLoadedGiveTheDefaults)
{
    ASSERT_FALSE(LocaleAvailable("xx_NOWHERE.UTF-8"));
    ExpectSettings(ov::ReadRegionalSettingsFor("xx_NOWHERE.UTF-8", "xx_NOWHERE.UTF-8"), RegionalSettings{});
    if (!LocaleAvailable("de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 not installed";
    // Each part falls back on its own.
    ExpectSettings(ov::ReadRegionalSettingsFor("de_DE.UTF-8", "xx_NOWHERE.UTF-8"),
                   RegionalSettings{',', '/', DateOrder::MonthDayYear});
    ExpectSettings(ov::ReadRegionalSettingsFor("xx_NOWHERE.UTF-8", "de_DE.UTF-8"),
                   RegionalSettings{'.', '.', DateOrder::DayMonthYear});
}

// Sets the locale variables for one test and puts the old values back.
class LocaleEnvironment : public testing::Test {
protected:
    static constexpr const char* kNames[] = {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG"};

    void SetUp() override
    {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }
    void TearDown() override
    {
        for (std::size_t i = 0; i < saved_.size(); ++i) {
            if (saved_[i])
                setenv(kNames[i], saved_[i]->c_str(), 1);
            else
                unsetenv(kNames[i]);
        }
    }
    static void Set(const char* name, const char* value) { setenv(name, value, 1); }

private:
    std::vector<std::optional<std::string>> saved_;
};

TEST_F(LocaleEnvironment, NothingSetGivesTheDefaults)
{
    ExpectSettings(ov::ReadRegionalSettings(), RegionalSettings{});
}

TEST_F(LocaleEnvironment, CategoriesOverrideLangAndLcAllOverridesBoth)
{
    if (!LocaleAvailable("de_DE.UTF-8") || !LocaleAvailable("sv_SE.UTF-8") || !LocaleAvailable("en_US.UTF-8"))
        GTEST_SKIP() << "locales de_DE, sv_SE or en_US not installed";
    Set("LANG", "de_DE.UTF-8");
    ExpectSettings(ov::ReadRegionalSettings(), RegionalSettings{',', '.', DateOrder::DayMonthYear});
    Set("LC_TIME", "sv_SE.UTF-8");
    ExpectSettings(ov::ReadRegionalSettings(), RegionalSettings{',', '-', DateOrder::YearMonthDay});
    Set("LC_NUMERIC", "en_US.UTF-8");
    ExpectSettings(ov::ReadRegionalSettings(), RegionalSettings{'.', '-', DateOrder::YearMonthDay});
    Set("LC_ALL", "C");
    ExpectSettings(ov::ReadRegionalSettings(), RegionalSettings{});
    Set("LC_ALL", "");
    ExpectSettings(ov::ReadRegionalSettings(), RegionalSettings{'.', '-', DateOrder::YearMonthDay});
}

TEST_F(LocaleEnvironment, ReadingLeavesTheProcessLocaleAlone)
{
    if (!LocaleAvailable("de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 not installed";
    Set("LC_ALL", "de_DE.UTF-8");
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const RegionalSettings settings = ov::ReadRegionalSettings();
    EXPECT_EQ(settings.decimalSeparator, ',');
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
}

} // namespace
