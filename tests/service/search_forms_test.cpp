#include "service/search_forms.h"

#include <gtest/gtest.h>

#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "foundation/text_list.h"

namespace kestrova {
namespace {

// The value of one form field of a body, or "<missing>".
std::string FieldValue(const std::string& body, const std::string& name) {
  std::string mark = "&" + name + "=";
  std::string padded = "&" + body;
  std::size_t at = padded.find(mark);
  if (at == std::string::npos) return "<missing>";
  at += mark.size();
  return padded.substr(at, padded.find('&', at) - at);
}

class SearchFormsTest : public ::testing::Test {
 protected:
  SearchFormsTest() {
    Set("//ini/設定/開始日付", "2011/05/01");
    Set("//ini/設定/終了日付", "2011/05/07");
    Set("//ini/設定/成約開始日", "2011/02/10");
    Set("//ini/設定/市町村コード", "27128,27111");
    Set("//ini/設定2/検索順序売買(検索)", "1,1,1,4;1,1,3,5;1,1,2,");
    Set("//ini/設定2/検索順序賃貸(検索)", "1,3,1,4;1,3,3,5;1,3,2,");
    Set("//ini/設定2/検索順序売買(成約)", "2,2,1,4;2,2,3,5;2,2,2,");
    Set("//ini/設定2/検索順序賃貸(成約)", "2,5,1,4;2,5,3,5;2,5,2,");
  }
  void Set(const char* key, const char* value) { settings.Set(Sjis(key), Sjis(value)); }
  SettingsStore settings;
};

TEST_F(SearchFormsTest, TemplateHasNinetySixFieldsIn1572Characters) {
  const std::string utf8 = Utf8(SearchFormTemplate());
  EXPECT_EQ(std::count(utf8.begin(), utf8.end(), '&') + 1, 96);
  // Counted in characters: the placeholders hold double-byte characters.
  std::size_t chars = 0;
  for (unsigned char c : utf8) chars += (c & 0xC0) != 0x80;
  EXPECT_EQ(chars, 1572u);
  EXPECT_EQ(utf8.rfind("sortKey1=6&sortKey2=0&dataSyuruiKubun=$種類区分$&", 0), 0u);
  EXPECT_NE(utf8.find("&returnUrl=%2Fin0100%2Fin010001_redisplay_from_In020001.do&"),
            std::string::npos);
}

TEST_F(SearchFormsTest, TwoCodesWithSaleAndRentGiveSixFormsInOrder) {
  std::vector<SearchForm> forms = BuildSearchForms(settings, SearchKind::kListings, true, true);
  ASSERT_EQ(forms.size(), 6u);
  const char* expected[][4] = {{"1", "1", "1", "4"}, {"1", "1", "3", "5"}, {"1", "1", "2", ""},
                               {"1", "3", "1", "4"}, {"1", "3", "3", "5"}, {"1", "3", "2", ""}};
  for (std::size_t i = 0; i < 6; ++i) {
    const std::string& b = forms[i].body;
    EXPECT_EQ(FieldValue(b, "dataSyuruiKubun"), expected[i][0]) << i;
    EXPECT_EQ(FieldValue(b, "dataSyuruiStr"), expected[i][1]) << i;
    EXPECT_EQ(FieldValue(b, "bukkenSyubetu1Str"), expected[i][2]) << i;
    EXPECT_EQ(FieldValue(b, "bukkenSyubetu2Str"), expected[i][3]) << i;
    EXPECT_EQ(FieldValue(b, "syozaiti11"), "27128");
    EXPECT_EQ(FieldValue(b, "syozaiti12"), "27111");
    EXPECT_EQ(FieldValue(b, "syozaiti13"), "");
    EXPECT_EQ(b.find('$'), std::string::npos) << "placeholder left in form " << i;
    EXPECT_EQ(std::count(b.begin(), b.end(), '&') + 1, 96);
  }
  EXPECT_EQ(Utf8(forms[0].status), "(27128,27111,)1売  /1売物件/1土地/4外全/");
  EXPECT_EQ(Utf8(forms[5].status), "(27128,27111,)1売  /3賃貸  /2戸建/");
}

TEST_F(SearchFormsTest, DatePartsFillTheRegistrationRange) {
  std::vector<SearchForm> forms = BuildSearchForms(settings, SearchKind::kListings, true, false);
  ASSERT_EQ(forms.size(), 3u);
  const std::string& b = forms[0].body;
  EXPECT_EQ(FieldValue(b, "tourokuTime1Y"), "2011");
  EXPECT_EQ(FieldValue(b, "tourokuTime1M"), "05");
  EXPECT_EQ(FieldValue(b, "tourokuTime1D"), "01");
  EXPECT_EQ(FieldValue(b, "tourokuTime2Y"), "2011");
  EXPECT_EQ(FieldValue(b, "tourokuTime2M"), "05");
  EXPECT_EQ(FieldValue(b, "tourokuTime2D"), "07");
}

TEST_F(SearchFormsTest, ClosedDealsUseTheirOrderAndStartDate) {
  std::vector<SearchForm> forms = BuildSearchForms(settings, SearchKind::kClosedDeals, false, true);
  ASSERT_EQ(forms.size(), 3u);
  const std::string& b = forms[1].body;
  EXPECT_EQ(FieldValue(b, "dataSyuruiKubun"), "2");
  EXPECT_EQ(FieldValue(b, "dataSyuruiStr"), "5");
  EXPECT_EQ(FieldValue(b, "tourokuTime1M"), "02");
  EXPECT_EQ(FieldValue(b, "tourokuTime1D"), "10");
  EXPECT_EQ(FieldValue(b, "tourokuTime2D"), "07");
  EXPECT_EQ(Utf8(forms[1].status), "(27128,27111,)2成約/5成約賃/3マン/5外一/");
}

TEST_F(SearchFormsTest, SevenCodesMakeThreeCodeGroups) {
  Set("//ini/設定/市町村コード", "27101,27102,27103,27104,27105,27106,27107");
  std::vector<SearchForm> forms = BuildSearchForms(settings, SearchKind::kListings, true, false);
  ASSERT_EQ(forms.size(), 9u);
  EXPECT_EQ(FieldValue(forms[3].body, "syozaiti11"), "27104");
  EXPECT_EQ(FieldValue(forms[3].body, "syozaiti13"), "27106");
  EXPECT_EQ(FieldValue(forms[6].body, "syozaiti11"), "27107");
  EXPECT_EQ(FieldValue(forms[6].body, "syozaiti12"), "");
  EXPECT_EQ(Utf8(forms[8].status), "(27107,,)1売  /1売物件/2戸建/");
}

TEST_F(SearchFormsTest, NeitherSaleNorRentSendsNothingAndRentAloneHasNoLeadingSeparator) {
  EXPECT_TRUE(BuildSearchForms(settings, SearchKind::kListings, false, false).empty());
  EXPECT_EQ(RunSearchOrder(settings, SearchKind::kListings, false, true), "1,3,1,4;1,3,3,5;1,3,2,");
  EXPECT_EQ(RunSearchOrder(settings, SearchKind::kListings, true, true),
            "1,1,1,4;1,1,3,5;1,1,2,;1,3,1,4;1,3,3,5;1,3,2,");
}

TEST(GroupLabelTest, EveryFieldAddsItsLabelAndUnknownValuesAddNothing) {
  EXPECT_EQ(Utf8(GroupLabel({"1", "1", "1", "4"})), "1売  /1売物件/1土地/4外全/");
  EXPECT_EQ(Utf8(GroupLabel({"2", "2", "3", "5"})), "2成約/2成約売/3マン/5外一/");
  EXPECT_EQ(Utf8(GroupLabel({"1", "3", "2"})), "1売  /3賃貸  /2戸建/");
  EXPECT_EQ(Utf8(GroupLabel({"9", "4", "6", ""})), "");
  EXPECT_EQ(Utf8(GroupLabel({})), "");
}

}  // namespace
}  // namespace kestrova
