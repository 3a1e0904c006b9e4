#include "ui/default_settings.h"

#include "foundation/environment.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "service/service_requests.h"

namespace kestrova {

const std::vector<DefaultSetting>& DefaultSettings() {
  static const std::vector<DefaultSetting> table = {
      {&keys::kStartDate, ""},
      {&keys::kEndDate, ""},
      {&keys::kLastDate, ""},
      {&keys::kDealStartDate, ""},
      {&keys::kMunicipalityCodes, ""},
      {&keys::kPassword, ""},
      {&keys::kSale, "1"},
      {&keys::kRent, "1"},
      {&keys::kSkipExisting, "1"},
      {&keys::kAgreed, "0"},
      {&keys::kFetchPdf, "1"},
      {&keys::kFetchDetail, "1"},
      {&keys::kRetentionMonths, "12"},
      {&keys::kLastTidyMonth, ""},
      {&keys::kSaleOrder, "1,1,1,4;1,1,3,5;1,1,2,"},
      {&keys::kRentOrder, "1,3,1,4;1,3,3,5;1,3,2,"},
      {&keys::kSaleDealOrder, "2,2,1,4;2,2,3,5;2,2,2,"},
      {&keys::kRentDealOrder, "2,5,1,4;2,5,3,5;2,5,2,"},
      {&keys::kSearchPlacement, "118,128,1103,714"},
      {&keys::kSearchColumnWidths,
       "80,72,60,44,68,104,39,20,38,37,33,152,36,44,44,60,72,24,24,70,57,60,24,48,36,60,36,36,48,"
       "46,30,53"},
      {&keys::kSearchKeys, ""},
      {&keys::kSearchDateFrom, ""},
      {&keys::kSearchDateTo, ""},
      {&keys::kSearchType, "0"},
      {&keys::kSearchFloorPlan, "2"},
      {&keys::kSearchPastData, "0"},
      {&keys::kSearchHideDuplicates, "0"},
      {&keys::kSearchCount, "0"},
      {&keys::kLoadReductionWait, "1000"},
      {&keys::kDoubleClickAction, "0"},
      {&keys::kLookupPlacement, "482,248,483,536"},
      {&keys::kLookupColumnWidths, "50,78,100,213"},
      {&keys::kLookupPrefecture, "大阪府"},
      {&keys::kLookupMunicipality, "おおさかし"},
      // Where the listing service is, and CA certificates to trust besides the system's.
      {&keys::kBaseUrl, kDefaultBaseUrl},
      {&keys::kCaFile, ""},
      // A search whose result was cut at 100 hits is searched again in parts.
      {&keys::kSplitOnCut, "1"},
      // Seconds before a connection that does not come up, or an answer that stops, is given up.
      {&keys::kConnectTimeout, "60"},
      {&keys::kReceiveTimeout, "60"},
      // Search forms one run may send (each costs the agent about 10 yen).
      {&keys::kSearchLimit, "300"},
      // The map site's classic search form, whose query keys these are; "q" is the location.
      {&keys::kMapAddress,
       "https://maps.google.co.jp/maps?f=q&source=s_q&hl=ja&geocode=&q=%PARAM_SJISHEX%"},
  };
  return table;
}

void ApplyDefaultSettings(SettingsStore& settings, const SettingsStore& environment) {
  for (const DefaultSetting& d : DefaultSettings()) {
    SetDefault(d.key->Text(), Sjis(d.value), settings, environment);
  }
}

}  // namespace kestrova
