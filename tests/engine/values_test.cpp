// Values crossing the interface: Currency, Date, numeric form text, and the
// quoting rule.
#include <gtest/gtest.h>

#include <clocale>

#include "engine/numeric.h"
#include "engine/text.h"
#include "engine/variant.h"

namespace dravmor {
namespace {

TEST(LegacyText, Utf8StaysOldCodePageIsConvertedAndJunkIsKept) {
  EXPECT_TRUE(IsValidUtf8("框料 abc"));
  EXPECT_FALSE(IsValidUtf8(std::string("框料").substr(0, 5)));  // cut inside a character
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));                      // overlong form
  EXPECT_EQ(LegacyTextToUtf8("框料"), "框料");
  EXPECT_EQ(LegacyTextToUtf8("\xBF\xF2\xC1\xCF"), "框料");
  EXPECT_EQ(LegacyTextToUtf8("\xFF\xFF"), "\xFF\xFF");
}

// A user interface may set a decimal-comma locale (Qt does): numbers read
// and written by the engine must not follow it.
TEST(Numbers, IgnoreTheProcessLocale) {
  std::string before = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE.UTF-8 locale here";
  EXPECT_EQ(LeadingNumber("18.5 mm"), 18.5);
  EXPECT_EQ(ParseNumber(" 1000.5 "), 1000.5);
  EXPECT_EQ(ShortestDecimal(1000.5), "1000.5");
  EXPECT_EQ(ShortestDecimal(0.85f), "0.85");
  EXPECT_EQ(JetNumberText(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(Currency::FromDouble(1000.5)->ToText(), "1000.5");
  EXPECT_EQ(Variant("2.25").ToDouble().value(), 2.25);
  std::setlocale(LC_ALL, before.c_str());
}

TEST(Numbers, JetTextOfANumber) {
  EXPECT_EQ(JetNumberText(-0.5), "-0.5");
  EXPECT_EQ(JetNumberText(1e15), "1E+15");
  EXPECT_EQ(JetNumberText(123456789012345.0), "123456789012345");
  EXPECT_EQ(JetNumberText(0.00001), "1E-05");
  EXPECT_EQ(JetNumberText(0.0001), "0.0001");
  EXPECT_EQ(JetNumberText(1.4285714285714286), "1.42857142857143");
}

TEST(Currency, TextIsPlainDecimal) {
  EXPECT_EQ(Currency::FromWhole(42).ToText(), "42");
  EXPECT_EQ(Currency{-35000}.ToText(), "-3.5");
  EXPECT_EQ(Currency{1}.ToText(), "0.0001");
  EXPECT_EQ(Currency{INT64_MIN}.ToText(), "-922337203685477.5808");
}

TEST(Currency, FromDoubleRoundsAndRefusesOverflow) {
  EXPECT_EQ(Currency::FromDouble(12.34561)->scaled, 123456);
  EXPECT_EQ(Currency::FromDouble(0.1 + 0.2)->ToText(), "0.3");
  EXPECT_EQ(Currency::FromDouble(1e300).status().number(), ErrorCode::kOverflow);
}

TEST(Date, RoundTripsThroughStoredText) {
  auto d = Date::Parse("2026-12-06 19:30:05");
  ASSERT_TRUE(d.ok());
  EXPECT_EQ(d->ToText(), "2026-12-06 19:30:05");
  EXPECT_EQ(Date::Parse("1899-12-30")->serial, 0);
  EXPECT_EQ(Date::Parse("2026/1/31")->ToText(), "2026-01-31 00:00:00");
  // Month boundary and leap day.
  EXPECT_EQ(Date{Date::Parse("2024-02-28")->serial + 1}.ToText(), "2024-02-29 00:00:00");
  EXPECT_EQ(Date{Date::Parse("2026-01-31")->serial + 1}.ToText(), "2026-02-01 00:00:00");
  for (const char* bad : {"2026-13-01", "20261206", "abc", "2026-12-06 25:00"})
    EXPECT_FALSE(Date::Parse(bad).ok()) << bad;
}

TEST(Variant, ConversionsFollowAutomationRules) {
  EXPECT_EQ(Variant("12").ConvertTo(VarType::Integer)->integer(), 12);
  EXPECT_EQ(Variant(2.5).ConvertTo(VarType::Long)->long_value(), 2);  // half to even
  EXPECT_EQ(Variant(3.5).ConvertTo(VarType::Long)->long_value(), 4);
  EXPECT_EQ(Variant(40000).ConvertTo(VarType::Integer).status().number(), ErrorCode::kOverflow);
  EXPECT_EQ(Variant(-1).ConvertTo(VarType::Byte).status().number(), ErrorCode::kOverflow);
  EXPECT_EQ(Variant("abc").ConvertTo(VarType::Long).status().number(), ErrorCode::kTypeMismatch);
  EXPECT_EQ(Variant(true).ConvertTo(VarType::Long)->long_value(), -1);
  EXPECT_EQ(Variant("7.25").ConvertTo(VarType::Currency)->currency().ToText(), "7.25");
  EXPECT_EQ(Variant(Currency{25000}).ConvertTo(VarType::Long)->long_value(), 2);
  EXPECT_EQ(Variant(Currency{35000}).ConvertTo(VarType::Long)->long_value(), 4);
  EXPECT_EQ(Variant(Null{}).ToText(), "");
  EXPECT_EQ(Variant(0.1f).ToText(), "0.1");
}

TEST(LeadingNumber, TakesTheNumberAtTheStart) {
  EXPECT_EQ(LeadingNumber("  12.5cm"), 12.5);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("-3"), -3);
  EXPECT_EQ(LeadingNumber("1 2 3"), 123);  // blanks inside are skipped too
  EXPECT_EQ(LeadingNumber("1e3x"), 1000);
  EXPECT_EQ(LeadingNumber("1e"), 1);
  EXPECT_EQ(LeadingNumber("."), 0);
  EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
  EXPECT_EQ(LeadingNumber("1e999"), 0);  // not representable: no number
}

TEST(ShortestDecimal, WritesWhatReadsBack) {
  EXPECT_EQ(ShortestDecimal(12.5), "12.5");
  EXPECT_EQ(ShortestDecimal(3.0), "3");
  EXPECT_EQ(ShortestDecimal(0.1f), "0.1");
  EXPECT_EQ(ShortestDecimal(-0.0), "0");
  EXPECT_EQ(ShortestDecimal(1e21).find('e'), std::string::npos);
  EXPECT_EQ(ShortestDecimal(0.000001), "0.000001");
}

TEST(SqlQuote, DoublesEverySingleQuote) {
  EXPECT_EQ(SqlQuote("O'Brien"), "O''Brien");
  EXPECT_EQ(SqlQuote("x' OR '1'='1"), "x'' OR ''1''=''1");
}

}  // namespace
}  // namespace dravmor
