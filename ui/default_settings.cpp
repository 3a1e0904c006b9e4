#include "ui/default_settings.h"

#include "foundation/environment.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "service/service_requests.h"

namespace kestrova {

const std::vector<DefaultSetting>& DefaultSettings() {
  static const std::vector<DefaultSetting> table = {
      {"//ini/設定/開始日付", ""},
      {"//ini/設定/終了日付", ""},
      {"//ini/設定/最終日付", ""},
      {"//ini/設定/成約開始日", ""},
      {"//ini/設定/市町村コード", ""},
      {"//ini/設定/ログインパス", ""},
      {"//ini/設定/売買", "1"},
      {"//ini/設定/賃貸", "1"},
      {"//ini/設定/PDFDL", "1"},
      {"//ini/設定/同意", "0"},
      {"//ini/設定/PDF取得", "1"},
      {"//ini/設定/詳細情報取得", "1"},
      {"//ini/設定2/データ保持期間", "12"},
      {"//ini/設定2/データ整理最終", ""},
      {"//ini/設定2/検索順序売買(検索)", "1,1,1,4;1,1,3,5;1,1,2,"},
      {"//ini/設定2/検索順序賃貸(検索)", "1,3,1,4;1,3,3,5;1,3,2,"},
      {"//ini/設定2/検索順序売買(成約)", "2,2,1,4;2,2,3,5;2,2,2,"},
      {"//ini/設定2/検索順序賃貸(成約)", "2,5,1,4;2,5,3,5;2,5,2,"},
      {"//ini/検索用/位置", "118,128,1103,714"},
      {"//ini/検索用/カラム設定",
       "80,72,60,44,68,104,39,20,38,37,33,152,36,44,44,60,72,24,24,70,57,60,24,48,36,60,36,36,48,"
       "46,30,53"},
      {"//ini/検索用/検索文字", ""},
      {"//ini/検索用/検索日付ST", ""},
      {"//ini/検索用/検索日付ED", ""},
      {"//ini/検索用/検索種別", "0"},
      {"//ini/検索用/検索図面", "2"},
      {"//ini/検索用/過去検索", "0"},
      {"//ini/検索用/重複非表示", "0"},
      {"//ini/検索用/検索回数", "0"},
      {"//ini/設定2/負荷軽減スリープ", "1000"},
      {"//ini/検索用/ダブルクリック時", "0"},
      {"//ini/都道府県検索/位置2", "482,248,483,536"},
      {"//ini/都道府県検索/カラム設定2", "50,78,100,213"},
      {"//ini/都道府県検索/都道府県名", "大阪府"},
      {"//ini/都道府県検索/市町村名", "おおさかし"},
      // Where the listing service is, and CA certificates to trust besides the system's.
      {"//ini/設定2/接続先URL", kDefaultBaseUrl},
      {"//ini/設定2/CA証明書", ""},
      // Seconds before a connection that does not come up, or an answer that stops, is given up.
      {"//ini/設定2/接続タイムアウト", "60"},
      {"//ini/設定2/受信タイムアウト", "60"},
      // Search forms one run may send (each costs the agent about 10 yen).
      {"//ini/設定2/検索上限", "300"},
  };
  return table;
}

void ApplyDefaultSettings(SettingsStore& settings, const SettingsStore& environment) {
  for (const DefaultSetting& d : DefaultSettings()) {
    SetDefault(Sjis(d.key), Sjis(d.value), settings, environment);
  }
}

}  // namespace kestrova
