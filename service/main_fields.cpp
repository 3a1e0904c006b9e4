#include "service/main_fields.h"

#include "foundation/settings_keys.h"
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
  const SettingKey* key;
  std::string MainFields::*field;
};
struct IntBinding {
  const SettingKey* key;
  int MainFields::*field;
};

const TextBinding kTexts[] = {
    {&keys::kStartDate, &MainFields::startDate},
    {&keys::kEndDate, &MainFields::endDate},
    {&keys::kLastDate, &MainFields::lastDate},
    {&keys::kDealStartDate, &MainFields::dealStartDate},
    {&keys::kMunicipalityCodes, &MainFields::codes},
    {&keys::kPassword, &MainFields::password},
};
const IntBinding kInts[] = {
    {&keys::kSale, &MainFields::sale},
    {&keys::kRent, &MainFields::rent},
    {&keys::kSkipExisting, &MainFields::skipExisting},
    {&keys::kAgreed, &MainFields::agreed},
    {&keys::kFetchPdf, &MainFields::pdf},
    {&keys::kFetchDetail, &MainFields::detail},
};

}  // namespace

void StoreFieldsInSettings(const MainFields& fields, SettingsStore& settings) {
  for (const TextBinding& b : kTexts) settings.Set(*b.key, fields.*b.field);
  for (const IntBinding& b : kInts) settings.SetInt(*b.key, fields.*b.field);
  settings.Set(keys::kSearchCount, fields.searchCount);
}

void LoadFieldsFromSettings(MainFields& fields, const SettingsStore& settings) {
  for (const TextBinding& b : kTexts) fields.*b.field = settings.GetText(*b.key);
  for (const IntBinding& b : kInts) fields.*b.field = settings.GetInt(*b.key);
  fields.loginInfo.clear();
  fields.searchCount = settings.GetText(keys::kSearchCount);
}

}  // namespace kestrova
