#include "checks/value_checks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Indicators, NormalizeIndicator)
{
    struct Case {
        std::string supplied;
        std::string result;
        bool accepted;
    } cases[] = {
        {"", "", true},       {"null", "", true},     {"x", "X", true},      {"yes", "X", true},
        {"True", "X", true},  {"1", "X", true},       {"No", "", true},      {"f", "", true},
        {"0", "", true},      {"2", "2", false},      {"ye", "YE", false},   {"on", "ON", false},
        {"X", "X", true},     {"y", "X", true},       {"t", "X", true},      {"n", "", true},
        {"FALSE", "", true},  {"NULL", "", true},     {"nul", "NUL", false}, {"X ", "X ", false},
        {"yes\xE9", "YES\xE9", false},                {"nullx", "NULLX", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.supplied << "\"");
        std::string value = c.supplied;
        ov::NormalizeIndicator(value);
        EXPECT_EQ(value, c.result);
        EXPECT_EQ(value.empty() || value == "X", c.accepted);
    }
}

} // namespace
