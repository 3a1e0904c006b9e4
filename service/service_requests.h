// Everything the program sends to the listing service and relies on in its answers, in one
// place: the host setting, the paths, the bodies and the markers the answers must hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class SettingsStore;

// The service's own public host; "//ini/設定2/接続先URL" replaces it (a stand-in, a test server).
inline constexpr char kDefaultBaseUrl[] = "https://system.reins.jp";
// Exactly this text; it ends after "Trident/4.0;" with no closing parenthesis.
inline constexpr char kUserAgent[] =
    "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 5.1; Trident/4.0;";
inline constexpr char kFormContentType[] = "application/x-www-form-urlencoded";
inline constexpr int kDefaultLoadReductionMs = 1000;

inline constexpr char kLoginPath[] = "/reinsip/an0100/an010002_login.do";
inline constexpr char kStyleSheetPath[] = "/reinsip/css/style.css";
inline constexpr char kStyleSheetFipPath[] = "/reinsip/css/style_fip.css";
inline constexpr char kSearchPath[] = "/reinsip/in0100/in010001_search.do";
inline constexpr char kDetailPath[] = "/reinsip/in0300/in030001_init.do";
inline constexpr char kFloorPlanPath[] = "/reinsip/in0200/in020001_zumenDownload.do";

enum class ServiceRequestKind { kLogin, kStyleSheet, kStyleSheetFip, kSearch, kDetail, kFloorPlan };

struct ServiceRequest {
  ServiceRequestKind kind;
  const char* path;
  bool get;            // GET (style sheets), else POST with the form content type
  const char* body;    // format of the body ("%s" per value); the search form is built
                       // elsewhere, style sheets have none
  bool waitsBefore;    // preceded by the load-reduction wait
  const char* answer;  // what the program relies on in the answer (a note, ASCII)
};

// The whole table, in the order a run sends the requests.
const std::vector<ServiceRequest>& ServiceRequests();
const ServiceRequest& RequestOf(ServiceRequestKind kind);

// The base URL of the settings without a trailing "/"; the default host when none is set.
std::string BaseUrl(const SettingsStore& settings);
// BaseUrl + path.
std::string ServiceUrl(const SettingsStore& settings, std::string_view path);
// The wait before a request in milliseconds: the setting, or 1000 when it is not set.
int LoadReductionMs(const SettingsStore& settings);

// Form-encodes one value: every byte but A-Z a-z 0-9 - . _ ~ as %XX, so a "&", "=", "+" or
// "%" in a password or a page-supplied number cannot change the form.
std::string FormEncode(std::string_view value);
// "riyousyaId=%s&password=%s".
std::string LoginBody(std::string_view loginId, std::string_view password);
// "dataSyurui=1&bukkenNo=%s".
std::string DetailBody(std::string_view propertyNumber);
// "seiyakuFlg=0&bukkenNo=%s".
std::string FloorPlanBody(std::string_view propertyNumber);

// Markers of the answers (cp932; the pages are converted from UTF-8 before they are judged).
const std::string& LoginSuccessMarker();  // "日報検索": the menu shown after a good login
const std::string& FeeStartMarker();      // "前日までの利用料"
const std::string& FeeValueStart();       // "\">" right before the amount
const std::string& FeeEndMarker();        // "円"
const std::string& HundredthHitMarker();  // "100 件目": the page was cut at 100 hits

// 1 when the converted login answer shows the logged-in menu, else 0.
int LoginSucceeded(std::string_view convertedPage);

}  // namespace kestrova
