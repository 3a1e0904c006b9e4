#include "sim/search_query.h"

#include <gtest/gtest.h>

#include "sim/civil_date.h"

namespace kestrova::sim {
namespace {

std::map<std::string, std::string> Form(const std::string& kind, const std::string& type,
                                        const std::string& t1, const std::string& t2) {
  return ParseForm("sortKey1=6&dataSyuruiKubun=" + kind + "&dataSyuruiStr=" + type +
                   "&bukkenSyubetu1Str=" + t1 + "&bukkenSyubetu2Str=" + t2 +
                   "&returnUrl=%2Fin0100%2Fx.do&syozaiti11=27128&syozaiti12=27111&syozaiti13="
                   "&tourokuTime1Y=2011&tourokuTime1M=05&tourokuTime1D=01"
                   "&tourokuTime2Y=2011&tourokuTime2M=05&tourokuTime2D=07&kaiinNo=");
}

TEST(PercentDecodeTest, DecodesEscapesAndPlus) {
  EXPECT_EQ(PercentDecode("demo%2Dpass"), "demo-pass");
  EXPECT_EQ(PercentDecode("p%40ss+w%26rd%25"), "p@ss w&rd%");
  EXPECT_EQ(PercentDecode("%E6%97%A5"), "日");
  EXPECT_EQ(PercentDecode("%e6%97%a5"), "日");
}

TEST(PercentDecodeTest, KeepsBrokenEscapesAsTheyAre) {
  EXPECT_EQ(PercentDecode("100%"), "100%");
  EXPECT_EQ(PercentDecode("%4"), "%4");
  EXPECT_EQ(PercentDecode("%zz1"), "%zz1");
}

TEST(ParseFormTest, SplitsFieldsAndKeepsFirstOfTwins) {
  auto form = ParseForm("a=1&b=&c&a=2&%61x=y%3Dz");
  EXPECT_EQ(form.at("a"), "1");
  EXPECT_EQ(form.at("b"), "");
  EXPECT_EQ(form.at("c"), "");
  EXPECT_EQ(form.at("ax"), "y=z");
  EXPECT_EQ(form.size(), 4u);
}

TEST(SearchQueryTest, SaleListingWithTwoTypesAndTwoCodes) {
  SearchQuery q;
  std::string problem;
  ASSERT_EQ(ParseSearchQuery(Form("1", "1", "1", "4"), q, problem), 0) << problem;
  EXPECT_FALSE(q.closedDeals);
  EXPECT_TRUE(q.sale);
  EXPECT_EQ(q.typeCodes, (std::vector<int>{11, 14}));
  EXPECT_EQ(q.codes, (std::vector<std::string>{"27128", "27111"}));
  EXPECT_EQ(q.firstDay, DayNumber({2011, 5, 1}));
  EXPECT_EQ(q.lastDay, DayNumber({2011, 5, 7}));
}

TEST(SearchQueryTest, RentClosedDealsWithoutSecondType) {
  SearchQuery q;
  std::string problem;
  ASSERT_EQ(ParseSearchQuery(Form("2", "5", "2", ""), q, problem), 0) << problem;
  EXPECT_TRUE(q.closedDeals);
  EXPECT_FALSE(q.sale);
  EXPECT_EQ(q.typeCodes, (std::vector<int>{22}));
}

TEST(SearchQueryTest, RefusesKindAndDataTypeThatDoNotMatch) {
  SearchQuery q;
  std::string problem;
  EXPECT_EQ(ParseSearchQuery(Form("1", "2", "1", ""), q, problem), -1);
  EXPECT_EQ(ParseSearchQuery(Form("2", "3", "1", ""), q, problem), -1);
  EXPECT_EQ(ParseSearchQuery(Form("1", "1", "", ""), q, problem), -1);
  EXPECT_EQ(ParseSearchQuery(Form("1", "1", "6", ""), q, problem), -1);
  EXPECT_FALSE(problem.empty());
}

TEST(SearchQueryTest, RefusesImpossibleDateAndMissingCodes) {
  SearchQuery q;
  std::string problem;
  auto form = Form("1", "1", "3", "5");
  form["tourokuTime2M"] = "02";
  form["tourokuTime2D"] = "30";
  EXPECT_EQ(ParseSearchQuery(form, q, problem), -1);
  form = Form("1", "1", "3", "5");
  form["syozaiti11"] = "";
  form["syozaiti12"] = "";
  EXPECT_EQ(ParseSearchQuery(form, q, problem), -1);
  form = Form("1", "1", "3", "5");
  form["syozaiti13"] = "2712";
  EXPECT_EQ(ParseSearchQuery(form, q, problem), -1);
}

TEST(SearchQueryTest, EndBeforeStartIsAnEmptyRangeNotAnError) {
  SearchQuery q;
  std::string problem;
  auto form = Form("1", "1", "3", "5");
  form["tourokuTime2D"] = "01";
  form["tourokuTime1D"] = "07";
  ASSERT_EQ(ParseSearchQuery(form, q, problem), 0);
  EXPECT_GT(q.firstDay, q.lastDay);
}

TEST(CivilDateTest, DayNumbersRoundTripAcrossLeapYears) {
  EXPECT_EQ(DayNumber({2000, 1, 1}), 0);
  EXPECT_EQ(DayNumber({2000, 3, 1}) - DayNumber({2000, 2, 28}), 2);
  EXPECT_EQ(DayNumber({1900, 3, 1}) - DayNumber({1900, 2, 28}), 1);
  for (int d = -40000; d < 80000; d += 997) {
    CivilDate c = DateOfDay(d);
    EXPECT_EQ(DayNumber(c), d);
  }
  EXPECT_EQ(FormatSlashDate(DayNumber({2011, 5, 7})), "2011/05/07");
  EXPECT_TRUE(IsValidDate({2012, 2, 29}));
  EXPECT_FALSE(IsValidDate({2011, 2, 29}));
  EXPECT_FALSE(IsValidDate({2011, 13, 1}));
}

}  // namespace
}  // namespace kestrova::sim
