#include "runtime/Conversions.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

using namespace vantorel;

namespace {

struct TextCase {
    const char* text;
    double number;
    std::int32_t integer;
};

// clang-format off
const TextCase kTextCases[] = {
    {"12.7",                      12.7,        12},
    {" 3",                        3,           3},
    {"\t\n\v\f\r 3",              3,           3},
    {"abc",                       0,           0},
    {"",                          0,           0},
    {"5abc",                      5,           5},
    {"-5",                        -5,          -5},
    {"+5",                        5,           5},
    {"- 5",                       0,           0},
    {"1e3",                       1000,        1},
    {"1d3",                       1000,        1},
    {"1E+3",                      1000,        1},
    {"1D-2",                      0.01,        1},
    {"1e",                        1,           1},
    {"1e+",                       1,           1},
    {".5",                        0.5,         0},
    {"5.",                        5,           5},
    {".",                         0,           0},
    {"1,5",                       1,           1},
    {"0x10",                      0,           0},
    {"１２．５",                  12.5,        12},   // full-width digits and full stop
    {"\xE3\x80\x80７",            7,           7},    // ideographic space, full-width 7
    {"－３",                      -3,          -3},   // full-width minus
    {"１ｅ３",                    1000,        1},
    {"4294967297",                4294967297., 1},
    {"3000000000",                3000000000., -1294967296},
    {"-2147483648",               -2147483648., -2147483648},
    {"1e999",                     INFINITY,    1},
    {"-1e999",                    -INFINITY,   -1},
    {"1e-999",                    0,           1},
    {"0.000e999999",              0,           0},
    {"坐标",                      0,           0},
    {"\xFF\xFE" "12",             0,           0},    // stray bytes are no blanks
};
// clang-format on

TEST(Conversions, TextToNumberAndTextToInteger)
{
    for (const auto& c : kTextCases) {
        SCOPED_TRACE(c.text);
        const double n = textToNumber(c.text);
        if (std::isinf(c.number))
            EXPECT_EQ(n, c.number);
        else
            EXPECT_DOUBLE_EQ(n, c.number);
        EXPECT_EQ(textToInteger(c.text), c.integer);
    }
}

TEST(Conversions, TextToIntegerPassesAnIntegerThrough)
{
    EXPECT_EQ(textToInteger(std::int32_t{-1}), -1);
    EXPECT_EQ(textToInteger(std::int32_t{3}), 3);
}

TEST(Conversions, FoldingCoversTheFullWidthBlockYenTildesAndStars)
{
    // U+FF01..U+FF5D except U+FF04 fold to ASCII 0x21..0x7D
    EXPECT_EQ(foldFullWidth("！"), "!");
    EXPECT_EQ(foldFullWidth("｝"), "}");
    EXPECT_EQ(foldFullWidth("＄"), "＄");
    EXPECT_EQ(foldFullWidth("～〜￣"), "~〜~"); // U+FF5E and U+FFE3 fold; the wave dash U+301C is not in the list
    EXPECT_EQ(foldFullWidth("￥"), "$");
    EXPECT_EQ(foldFullWidth("☆★"), "**");
    EXPECT_EQ(foldFullWidth("\xE3\x80\x80"), " ");
    EXPECT_EQ(foldFullWidth("Ｘ坐标１"), "X坐标1");
}

TEST(Conversions, NumberToIntegerTruncatesAndWraps)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // clang-format off
    const std::pair<double, std::int32_t> cases[] = {
        {12.7, 12}, {-2.9, -2}, {2.9, 2}, {-0.5, 0}, {4294967297., 1}, {3000000000., -1294967296},
        {1e19, 0}, {-1e19, 0}, {INFINITY, 0}, {-INFINITY, 0}, {nan, 0},
        {9223372036854775808., 0},                 // 2^63 is out of range
        {-9223372036854775808., 0},                // -2^63 itself keeps low bits 0
        {9223372036854774784., -1024},             // largest double below 2^63
    };
    // clang-format on
    for (const auto& [number, integer] : cases) {
        SCOPED_TRACE(number);
        EXPECT_EQ(numberToInteger(number), integer);
    }
}

TEST(Conversions, NumberToIntegerIgnoresTheRoundingMode)
{
    for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TONEAREST, FE_TOWARDZERO}) {
        std::fesetround(mode);
        EXPECT_EQ(numberToInteger(2.5), 2);
        EXPECT_EQ(numberToInteger(-2.5), -2);
        EXPECT_EQ(numberToInteger(1500.8), 1500);
    }
    std::fesetround(FE_TONEAREST);
}

TEST(Conversions, IntegerToTextCompareAndConcat)
{
    EXPECT_EQ(integerToText(-2147483648), "-2147483648");
    EXPECT_EQ(integerToText(1500), "1500");
    EXPECT_EQ(integerToText(0), "0");
    EXPECT_EQ(compareText("X坐标1", "X坐标1"), 0);
    EXPECT_EQ(compareText("", std::string_view{}), 0);
    EXPECT_EQ(compareText("a", "A"), 1);
    EXPECT_EQ(compareText("A", "a"), -1);
    EXPECT_EQ(compareText("ab", "abc"), -1);
    EXPECT_EQ(compareText("\xC3", "a"), 1); // bytes compare unsigned
    EXPECT_EQ(concatText({"当前循环次数：", integerToText(2)}), "当前循环次数：2");
    EXPECT_EQ(concatText({"", std::string_view{}}), "");
}

} // namespace
