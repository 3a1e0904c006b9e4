#include "service/main_fields.h"

#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"

namespace kestrova {

void NormaliseField(std::string& text, bool separators) {
  static const char* const kDigits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
  for (int d = 0; d < 10; ++d) {
    ReplaceAllInPlace(text, Sjis(kDigits[d]), std::string(1, static_cast<char>('0' + d)));
  }
  if (!separators) return;
  static const char* const kSeparators[] = {"、", "。", "，", "．", "　", "；",
                                            "：", ".",  " ",  ":",  ";"};
  for (const char* s : kSeparators) ReplaceAllInPlace(text, Sjis(s), ",");
}

namespace {

struct TextBinding {
  const char* key;
  std::string MainFields::*field;
};
struct IntBinding {
  const char* key;
  int MainFields::*field;
};

const TextBinding kTexts[] = {
    {"//ini/設定/開始日付", &MainFields::startDate},
    {"//ini/設定/終了日付", &MainFields::endDate},
    {"//ini/設定/最終日付", &MainFields::lastDate},
    {"//ini/設定/成約開始日", &MainFields::dealStartDate},
    {"//ini/設定/市町村コード", &MainFields::codes},
    {"//ini/設定/ログインパス", &MainFields::password},
};
const IntBinding kInts[] = {
    {"//ini/設定/売買", &MainFields::sale},
    {"//ini/設定/賃貸", &MainFields::rent},
    {"//ini/設定/PDFDL", &MainFields::skipExisting},
    {"//ini/設定/同意", &MainFields::agreed},
    {"//ini/設定/PDF取得", &MainFields::pdf},
    {"//ini/設定/詳細情報取得", &MainFields::detail},
};
constexpr const char* kSearchCount = "//ini/検索用/検索回数";

}  // namespace

void StoreFieldsInSettings(const MainFields& fields, SettingsStore& settings) {
  for (const TextBinding& b : kTexts) settings.Set(Sjis(b.key), fields.*b.field);
  for (const IntBinding& b : kInts) settings.SetInt(Sjis(b.key), fields.*b.field);
  settings.Set(Sjis(kSearchCount), fields.searchCount);
}

void LoadFieldsFromSettings(MainFields& fields, const SettingsStore& settings) {
  for (const TextBinding& b : kTexts) fields.*b.field = settings.GetText(Sjis(b.key));
  for (const IntBinding& b : kInts) fields.*b.field = settings.GetInt(Sjis(b.key));
  fields.loginInfo.clear();
  fields.searchCount = settings.GetText(Sjis(kSearchCount));
}

}  // namespace kestrova
