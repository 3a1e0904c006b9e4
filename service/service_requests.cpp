#include "service/service_requests.h"

#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"

namespace kestrova {

const std::vector<ServiceRequest>& ServiceRequests() {
  static const std::vector<ServiceRequest> table = {
      {ServiceRequestKind::kLogin, kLoginPath, false, "riyousyaId=%s&password=%s", true,
       "status 200; a UTF-8 page holding LoginSuccessMarker after a good login, and the fee "
       "between FeeStartMarker, FeeValueStart and FeeEndMarker"},
      {ServiceRequestKind::kStyleSheet, kStyleSheetPath, true, "", false,
       "the bytes, saved as they are"},
      {ServiceRequestKind::kStyleSheetFip, kStyleSheetFipPath, true, "", false,
       "the bytes, saved as they are"},
      {ServiceRequestKind::kSearch, kSearchPath, false, "", true,
       "a UTF-8 result page of at most 100 hits; HundredthHitMarker when the hundredth is shown"},
      {ServiceRequestKind::kDetail, kDetailPath, false, "dataSyurui=1&bukkenNo=%s", true,
       "a UTF-8 page in which each label ends a table cell and its value is the next cell"},
      {ServiceRequestKind::kFloorPlan, kFloorPlanPath, false, "seiyakuFlg=0&bukkenNo=%s", true,
       "the PDF bytes, saved as they are"},
  };
  return table;
}

const ServiceRequest& RequestOf(ServiceRequestKind kind) {
  for (const ServiceRequest& request : ServiceRequests()) {
    if (request.kind == kind) return request;
  }
  return ServiceRequests().front();  // every kind is in the table
}

std::string BaseUrl(const SettingsStore& settings) {
  std::string_view value = settings.GetView(keys::kBaseUrl);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && value.back() == '/') value.remove_suffix(1);
  return value.empty() ? std::string(kDefaultBaseUrl) : std::string(value);
}

std::string ServiceUrl(const SettingsStore& settings, std::string_view path) {
  std::string url = BaseUrl(settings);
  url += path;
  return url;
}

int LoadReductionMs(const SettingsStore& settings) {
  if (settings.IndexOf(keys::kLoadReductionWait) < 0) return kDefaultLoadReductionMs;
  return settings.GetInt(keys::kLoadReductionWait);
}

std::string FormEncode(std::string_view value) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    auto b = static_cast<unsigned char>(c);
    bool plain = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
                 b == '-' || b == '.' || b == '_' || b == '~';
    if (plain) {
      out += c;
    } else {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0x0F];
    }
  }
  return out;
}

std::string LoginBody(std::string_view loginId, std::string_view password) {
  return "riyousyaId=" + FormEncode(loginId) + "&password=" + FormEncode(password);
}

std::string DetailBody(std::string_view propertyNumber) {
  return "dataSyurui=1&bukkenNo=" + FormEncode(propertyNumber);
}

std::string FloorPlanBody(std::string_view propertyNumber) {
  return "seiyakuFlg=0&bukkenNo=" + FormEncode(propertyNumber);
}

const std::string& LoginSuccessMarker() { return SJIS("日報検索"); }
const std::string& FeeStartMarker() { return SJIS("前日までの利用料"); }
const std::string& FeeValueStart() {
  static const std::string marker = "\">";
  return marker;
}
const std::string& FeeEndMarker() { return SJIS("円"); }
const std::string& HundredthHitMarker() { return SJIS("100 件目"); }

int LoginSucceeded(std::string_view convertedPage) {
  return FindText(convertedPage, LoginSuccessMarker()) != std::string_view::npos ? 1 : 0;
}

}  // namespace kestrova
