#include "service/search_split.h"

#include <gtest/gtest.h>

#include "foundation/sjis.h"

namespace kestrova {
namespace {

std::string FieldValue(const std::string& body, const std::string& name) {
  std::string padded = "&" + body;
  std::size_t at = padded.find("&" + name + "=");
  if (at == std::string::npos) return "<missing>";
  at += name.size() + 2;
  return padded.substr(at, padded.find('&', at) - at);
}

// "2011/05/01-2011/05/07" from the date fields of a body.
std::string RangeOf(const SearchForm& form) {
  const std::string& b = form.body;
  return FieldValue(b, "tourokuTime1Y") + "/" + FieldValue(b, "tourokuTime1M") + "/" +
         FieldValue(b, "tourokuTime1D") + "-" + FieldValue(b, "tourokuTime2Y") + "/" +
         FieldValue(b, "tourokuTime2M") + "/" + FieldValue(b, "tourokuTime2D");
}

SearchForm Form(std::vector<std::string> codes, std::vector<std::string> dateParts) {
  return MakeSearchForm(codes, {"1", "1", "3", "5"}, dateParts);
}

TEST(SearchSplitTest, CutRangesAreHalvedDepthFirstUntilNoPageIsCut) {
  SearchQueue queue({Form({"27128", "27111"}, {"2011", "05", "01", "2011", "05", "14"}),
                     Form({"27203"}, {"2011", "05", "01", "2011", "05", "14"})});
  // The service cuts every search of the first code group over more than four days.
  std::vector<std::string> sent;
  std::vector<int> totals;
  while (!queue.Empty()) {
    SearchForm form = queue.Take();
    sent.push_back(FieldValue(form.body, "syozaiti11") + " " + RangeOf(form));
    totals.push_back(queue.Total());
    const int days = std::stoi(FieldValue(form.body, "tourokuTime2D")) -
                     std::stoi(FieldValue(form.body, "tourokuTime1D")) + 1;
    if (form.codes[0] == "27128" && days > 4) {
      EXPECT_TRUE(queue.Split(form));
    }
  }
  const std::vector<std::string> expected = {
      "27128 2011/05/01-2011/05/14", "27128 2011/05/01-2011/05/07", "27128 2011/05/01-2011/05/04",
      "27128 2011/05/05-2011/05/07", "27128 2011/05/08-2011/05/14", "27128 2011/05/08-2011/05/11",
      "27128 2011/05/12-2011/05/14", "27203 2011/05/01-2011/05/14"};
  EXPECT_EQ(sent, expected);
  EXPECT_EQ(totals, (std::vector<int>{2, 4, 6, 6, 6, 8, 8, 8}));
  EXPECT_EQ(queue.ExtraForms(), 6);
  EXPECT_EQ(queue.Taken(), 8);
}

TEST(SearchSplitTest, PartsKeepGroupAndCodesAndShowTheirDatesAcrossAMonthEnd) {
  // Typed without leading zeros.
  std::vector<SearchForm> parts =
      SplitCutForm(Form({"27128", "27111"}, {"2011", "4", "28", "2011", "5", "3"}));
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(RangeOf(parts[0]), "2011/04/28-2011/04/30");
  EXPECT_EQ(FieldValue(parts[1].body, "bukkenSyubetu2Str"), "5");
  EXPECT_EQ(FieldValue(parts[1].body, "syozaiti12"), "27111");
  EXPECT_EQ(Utf8(parts[1].status),
            "(27128,27111,)1売  /1売物件/3マン/5外一/ 2011/05/01～2011/05/03");
}

TEST(SearchSplitTest, SingleDayWithThreeCodesGivesOneFormPerCode) {
  SearchForm cut = Form({"27128", "27111", "27203"}, {"2011", "05", "03", "2011", "05", "03"});
  ASSERT_TRUE(CanSplit(cut));
  std::vector<SearchForm> parts = SplitCutForm(cut);
  ASSERT_EQ(parts.size(), 3u);
  const char* codes[] = {"27128", "27111", "27203"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(FieldValue(parts[i].body, "syozaiti11"), codes[i]);
    EXPECT_EQ(FieldValue(parts[i].body, "syozaiti12"), "");
    EXPECT_EQ(FieldValue(parts[i].body, "syozaiti13"), "");
    EXPECT_EQ(RangeOf(parts[i]), "2011/05/03-2011/05/03");
  }
  EXPECT_EQ(Utf8(parts[2].status), "(27203,,)1売  /1売物件/3マン/5外一/ 2011/05/03～2011/05/03");
}

TEST(SearchSplitTest, SingleDayAndCodeOrNoDatesCannotBeSplit) {
  SearchQueue queue({});
  for (const SearchForm& form : {Form({"27128"}, {"2011", "05", "03", "2011", "05", "03"}),
                                 Form({"27128", "27111"}, {"2011", "02", "30", "2011", "03", "02"}),
                                 Form({"27128", "27111"}, {"2011", "05", "09", "2011", "05", "01"}),
                                 Form({"27128", "27111"}, {"", "", "", "", "", ""})}) {
    EXPECT_FALSE(CanSplit(form)) << RangeOf(form);
    EXPECT_TRUE(SplitCutForm(form).empty()) << RangeOf(form);
    EXPECT_FALSE(queue.Split(form));
  }
  EXPECT_TRUE(queue.Empty());
  EXPECT_EQ(queue.ExtraForms(), 0);
}

}  // namespace
}  // namespace kestrova
