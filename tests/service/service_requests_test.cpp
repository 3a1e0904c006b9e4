// The request table: host setting, paths, bodies and the markers judged in the answers.
#include "service/service_requests.h"

#include <gtest/gtest.h>

#include <set>

#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"

namespace kestrova {
namespace {

const std::string kUrlKey(keys::kBaseUrl.Text());

TEST(ServiceRequestsTest, BaseUrlDefaultsToTheServiceHostOverHttps) {
  SettingsStore settings;
  EXPECT_EQ(BaseUrl(settings), "https://system.reins.jp");
  EXPECT_EQ(ServiceUrl(settings, kLoginPath),
            "https://system.reins.jp/reinsip/an0100/an010002_login.do");
}

TEST(ServiceRequestsTest, BaseUrlComesFromTheSettingWithoutTrailingSlash) {
  SettingsStore settings;
  settings.Set(kUrlKey, " https://127.0.0.1:40123// ");
  EXPECT_EQ(BaseUrl(settings), "https://127.0.0.1:40123");
  EXPECT_EQ(ServiceUrl(settings, kDetailPath),
            "https://127.0.0.1:40123/reinsip/in0300/in030001_init.do");
  settings.Set(kUrlKey, "");
  EXPECT_EQ(BaseUrl(settings), "https://system.reins.jp");
}

TEST(ServiceRequestsTest, UserAgentEndsWithoutClosingParenthesis) {
  EXPECT_STREQ(kUserAgent, "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 5.1; Trident/4.0;");
}

TEST(ServiceRequestsTest, BodiesCarryTheValuesInTheirFields) {
  EXPECT_EQ(LoginBody("12345678", "pass99"), "riyousyaId=12345678&password=pass99");
  EXPECT_EQ(DetailBody("100012345678"), "dataSyurui=1&bukkenNo=100012345678");
  EXPECT_EQ(FloorPlanBody("100012345678"), "seiyakuFlg=0&bukkenNo=100012345678");
}

TEST(ServiceRequestsTest, FormCharactersInValuesCannotChangeTheForm) {
  EXPECT_EQ(LoginBody("id", "a&b=c+d%e f"), "riyousyaId=id&password=a%26b%3Dc%2Bd%25e%20f");
  EXPECT_EQ(DetailBody("1&dataSyurui=2"), "dataSyurui=1&bukkenNo=1%26dataSyurui%3D2");
  EXPECT_EQ(FormEncode("Az09-._~"), "Az09-._~");
  EXPECT_EQ(FormEncode("\x82\xa0"), "%82%A0");  // cp932 bytes pass byte for byte
}

TEST(ServiceRequestsTest, TableHoldsEveryRequestOnceAndOnlyStyleSheetsUseGet) {
  std::set<std::string> paths;
  for (const ServiceRequest& request : ServiceRequests()) {
    EXPECT_TRUE(paths.insert(request.path).second) << request.path;
    bool styleSheet = request.kind == ServiceRequestKind::kStyleSheet ||
                      request.kind == ServiceRequestKind::kStyleSheetFip;
    EXPECT_EQ(request.get, styleSheet) << request.path;
    EXPECT_EQ(request.waitsBefore, !styleSheet) << request.path;
    EXPECT_EQ(&RequestOf(request.kind), &request);
  }
  EXPECT_EQ(paths,
            (std::set<std::string>{
                "/reinsip/an0100/an010002_login.do", "/reinsip/css/style.css",
                "/reinsip/css/style_fip.css", "/reinsip/in0100/in010001_search.do",
                "/reinsip/in0300/in030001_init.do", "/reinsip/in0200/in020001_zumenDownload.do"}));
}

TEST(ServiceRequestsTest, LoadReductionWaitDefaultsToOneSecond) {
  SettingsStore settings;
  EXPECT_EQ(LoadReductionMs(settings), 1000);
  settings.Set(keys::kLoadReductionWait, "250");
  EXPECT_EQ(LoadReductionMs(settings), 250);
  settings.Set(keys::kLoadReductionWait, "0");
  EXPECT_EQ(LoadReductionMs(settings), 0);
}

TEST(ServiceRequestsTest, LoginIsJudgedByTheMenuText) {
  EXPECT_EQ(LoginSucceeded(Sjis("<td><a href=\"x\">日報検索</a></td>")), 1);
  EXPECT_EQ(LoginSucceeded(Sjis("<p>ログインできません</p>")), 0);
  // A lead byte before the marker's first byte must not produce a false match.
  EXPECT_EQ(LoginSucceeded("\x81" + Sjis("日報検索")), 0);
}

TEST(ServiceRequestsTest, MarkersAreCp932) {
  EXPECT_EQ(Utf8(LoginSuccessMarker()), "日報検索");
  EXPECT_EQ(Utf8(FeeStartMarker()), "前日までの利用料");
  EXPECT_EQ(FeeValueStart(), "\">");
  EXPECT_EQ(Utf8(FeeEndMarker()), "円");
  EXPECT_EQ(Utf8(HundredthHitMarker()), "100 件目");
  EXPECT_EQ(LoginSuccessMarker().size(), 8u);  // four double-byte characters
}

}  // namespace
}  // namespace kestrova
