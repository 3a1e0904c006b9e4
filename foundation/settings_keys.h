// Every key of the settings file, by name. The keys are written here once, as UTF-8 text, and
// held as cp932 like every program text; a misspelt name does not compile, where a misspelt
// literal would read an empty setting.
#pragma once

#include <string>
#include <string_view>

#include "foundation/platform/platform.h"

namespace kestrova {

class SettingKey {
 public:
  explicit SettingKey(const char* utf8) : utf8_(utf8), text_(platform::Utf8ToCp932(utf8)) {}
  SettingKey(const SettingKey&) = delete;
  SettingKey& operator=(const SettingKey&) = delete;

  const std::string& Text() const { return text_; }  // cp932
  const char* Utf8() const { return utf8_; }
  operator std::string_view() const { return text_; }

 private:
  const char* utf8_;
  std::string text_;
};

namespace keys {

// Main window ("設定").
inline const SettingKey kStartDate{"//ini/設定/開始日付"};
inline const SettingKey kEndDate{"//ini/設定/終了日付"};
inline const SettingKey kLastDate{"//ini/設定/最終日付"};
inline const SettingKey kDealStartDate{"//ini/設定/成約開始日"};
inline const SettingKey kMunicipalityCodes{"//ini/設定/市町村コード"};
inline const SettingKey kPassword{"//ini/設定/ログインパス"};
inline const SettingKey kSale{"//ini/設定/売買"};
inline const SettingKey kRent{"//ini/設定/賃貸"};
inline const SettingKey kSkipExisting{"//ini/設定/PDFDL"};
inline const SettingKey kAgreed{"//ini/設定/同意"};
inline const SettingKey kFetchPdf{"//ini/設定/PDF取得"};
inline const SettingKey kFetchDetail{"//ini/設定/詳細情報取得"};

// Retention, tidy, search orders, connection ("設定2").
inline const SettingKey kRetentionMonths{"//ini/設定2/データ保持期間"};
inline const SettingKey kLastTidyMonth{"//ini/設定2/データ整理最終"};
inline const SettingKey kSaleOrder{"//ini/設定2/検索順序売買(検索)"};
inline const SettingKey kRentOrder{"//ini/設定2/検索順序賃貸(検索)"};
inline const SettingKey kSaleDealOrder{"//ini/設定2/検索順序売買(成約)"};
inline const SettingKey kRentDealOrder{"//ini/設定2/検索順序賃貸(成約)"};
inline const SettingKey kLoadReductionWait{"//ini/設定2/負荷軽減スリープ"};
inline const SettingKey kBaseUrl{"//ini/設定2/接続先URL"};
inline const SettingKey kCaFile{"//ini/設定2/CA証明書"};
// "1": a search whose result was cut at 100 hits is searched again in parts.
inline const SettingKey kSplitOnCut{"//ini/設定2/取りこぼし時に分割"};
inline const SettingKey kConnectTimeout{"//ini/設定2/接続タイムアウト"};  // seconds
inline const SettingKey kReceiveTimeout{"//ini/設定2/受信タイムアウト"};  // seconds
inline const SettingKey kSearchLimit{"//ini/設定2/検索上限"};             // search forms of one run
// The web map's search address; "%PARAM_SJISHEX%" stands for the escaped location.
inline const SettingKey kMapAddress{"//ini/設定2/地図URL"};

// Local search window ("検索用").
inline const SettingKey kSearchPlacement{"//ini/検索用/位置"};
inline const SettingKey kSearchColumnWidths{"//ini/検索用/カラム設定"};
inline const SettingKey kSearchKeys{"//ini/検索用/検索文字"};
inline const SettingKey kSearchDateFrom{"//ini/検索用/検索日付ST"};
inline const SettingKey kSearchDateTo{"//ini/検索用/検索日付ED"};
inline const SettingKey kSearchType{"//ini/検索用/検索種別"};
inline const SettingKey kSearchFloorPlan{"//ini/検索用/検索図面"};
inline const SettingKey kSearchPastData{"//ini/検索用/過去検索"};
inline const SettingKey kSearchHideDuplicates{"//ini/検索用/重複非表示"};
inline const SettingKey kSearchCount{"//ini/検索用/検索回数"};
inline const SettingKey kDoubleClickAction{"//ini/検索用/ダブルクリック時"};

// Municipality code lookup ("都道府県検索").
inline const SettingKey kLookupPlacement{"//ini/都道府県検索/位置2"};
inline const SettingKey kLookupColumnWidths{"//ini/都道府県検索/カラム設定2"};
inline const SettingKey kLookupPrefecture{"//ini/都道府県検索/都道府県名"};
inline const SettingKey kLookupMunicipality{"//ini/都道府県検索/市町村名"};

// Not a setting, though it reads like one: the fixed key that scrambles "zip_code.dat".
inline const SettingKey kCodeTableScrambleKey{"//ini/地域/符号変換"};

}  // namespace keys
}  // namespace kestrova
