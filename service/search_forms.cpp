#include "service/search_forms.h"

#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"

namespace kestrova {

namespace {

constexpr std::string_view kTemplateUtf8 =
    "sortKey1=6&sortKey2=0&dataSyuruiKubun=$種類区分$&dataSyuruiStr=$データ種類$"
    "&bukkenSyubetu1Str=$物件種別1$&bukkenSyubetu2Str=$物件種別2$&bukkenSyumoku11Str="
    "&bukkenSyumoku12Str=&bukkenSyumoku21Str=&bukkenSyumoku22Str=&jyoukenNoStr=&calledKubun=1"
    "&returnUrl=%2Fin0100%2Fin010001_redisplay_from_In020001.do&syozaiti11=$所在1$"
    "&syozaiti11Name2=&syozaiti11End=&syozaiti11_EndName2=&syozaiti21=&syozaiti21Name2="
    "&syozaiti21End=&syozaiti21_EndName2=&syozaiti12=$所在2$&syozaiti12Name2=&syozaiti12End="
    "&syozaiti12_EndName2=&syozaiti22=&syozaiti22Name2=&syozaiti22End=&syozaiti22_EndName2="
    "&syozaiti13=$所在3$&syozaiti13Name2=&syozaiti13End=&syozaiti13_EndName2=&syozaiti23="
    "&syozaiti23Name2=&syozaiti23End=&syozaiti23_EndName2=&ensen1=&ensenName12=&eki1Start="
    "&eki1Name_start2=&eki1End=&eki1Name_end2=&ensen2=&ensenName22=&eki2Start=&eki2Name_start2="
    "&eki2End=&eki2Name_end2=&ensen3=&ensenName32=&eki3Start=&eki3Name_start2=&eki3End="
    "&eki3Name_end2=&basuJikan=&tohoJikan=&kakaku1=&kakaku2=&tuboTanka1=&tuboTanka2="
    "&heibeiTanka1=&heibeiTanka2=&totiMenseki1=&totiMenseki2=&tatemonoMenseki1="
    "&tatemonoMenseki2=&senyuuMenseki1=&senyuuMenseki2=&setudouJyoukyouStr=&setudouHoukou="
    "&setudouHukuin=&youtotiiki=&madoriTypeStr=&madoriHeyasuu1=&madoriHeyasuu2="
    "&tyuusyajyouzaihiStr=&tatemonoName=&tourokuTime1Y=$年ST$&tourokuTime1M=$月ST$"
    "&tourokuTime1D=$日ST$&tourokuTime2Y=$年ED$&tourokuTime2M=$月ED$&tourokuTime2D=$日ED$"
    "&tikunengetu1Y=&tikunengetu1M=&tikunengetu2Y=&tikunengetu2M=&setubijyoukenNaiyou2="
    "&setubijyoukenKubun=&setubijyoukenCode=&setubijyoukenNaiyou2_2=&setubijyoukenKubun_2="
    "&setubijyoukenCode_2=&dataCountInfo=&kaiinNo=";

std::string Label(std::string_view value,
                  std::initializer_list<std::pair<const char*, const char*>> table) {
  for (const auto& [v, label] : table) {
    if (value == v) return Sjis(label);
  }
  return {};
}

}  // namespace

const std::string& SearchFormTemplate() {
  static const std::string body = Sjis(kTemplateUtf8);
  return body;
}

std::string GroupLabel(const std::vector<std::string>& f) {
  // Both branches must be views: a ternary of a string and a literal would make a temporary.
  auto field = [&](std::size_t i) {
    return i < f.size() ? std::string_view(f[i]) : std::string_view();
  };
  std::string label = Label(field(0), {{"1", "1売  /"}, {"2", "2成約/"}});
  label +=
      Label(field(1), {{"1", "1売物件/"}, {"2", "2成約売/"}, {"3", "3賃貸  /"}, {"5", "5成約賃/"}});
  for (std::size_t i = 2; i <= 3; ++i) {
    label += Label(
        field(i),
        {{"1", "1土地/"}, {"2", "2戸建/"}, {"3", "3マン/"}, {"4", "4外全/"}, {"5", "5外一/"}});
  }
  return label;
}

void FillPlaceholders(std::string& body, const std::vector<std::string>& dateParts,
                      const TextList& codes, int firstCode) {
  static const char* const kCodeMarks[] = {"$所在1$", "$所在2$", "$所在3$"};
  static const char* const kDateMarks[] = {"$年ST$", "$月ST$", "$日ST$",
                                           "$年ED$", "$月ED$", "$日ED$"};
  for (int i = 0; i < 3; ++i) {
    // Get gives the empty text for a code beyond the list.
    ReplaceAllInPlace(body, Sjis(kCodeMarks[i]), codes.View(firstCode + i));
  }
  for (int i = 0; i < 6; ++i) {
    std::string_view part = i < static_cast<int>(dateParts.size()) ? std::string_view(dateParts[i])
                                                                   : std::string_view();
    ReplaceAllInPlace(body, Sjis(kDateMarks[i]), part);
  }
}

std::vector<std::string> RunDateParts(const SettingsStore& settings, SearchKind kind) {
  std::string start =
      settings.GetText(kind == SearchKind::kClosedDeals ? keys::kDealStartDate : keys::kStartDate);
  std::string both = start + " " + settings.GetText(keys::kEndDate);
  TextList parts(both, "/;:; ");
  std::vector<std::string> out;
  for (int i = 0; i < 6; ++i) out.emplace_back(parts.View(i));
  return out;
}

std::string RunSearchOrder(const SettingsStore& settings, SearchKind kind, bool sale, bool rent) {
  const bool deals = kind == SearchKind::kClosedDeals;
  std::string order;
  if (sale) order = settings.GetText(deals ? keys::kSaleDealOrder : keys::kSaleOrder);
  if (rent) {
    if (sale) order += ";";
    order += settings.GetText(deals ? keys::kRentDealOrder : keys::kRentOrder);
  }
  return order;
}

SearchForm MakeSearchForm(const std::vector<std::string>& codes,
                          const std::vector<std::string>& group,
                          const std::vector<std::string>& dateParts) {
  static const char* const kGroupMarks[] = {"$種類区分$", "$データ種類$", "$物件種別1$",
                                            "$物件種別2$"};
  auto at = [](const std::vector<std::string>& v, std::size_t i) {
    return i < v.size() ? std::string_view(v[i]) : std::string_view();
  };
  SearchForm form;
  form.codes = {std::string(at(codes, 0)), std::string(at(codes, 1)), std::string(at(codes, 2))};
  form.group = group;
  form.dateParts = dateParts;
  form.body = SearchFormTemplate();
  TextList codeList;
  for (const std::string& code : form.codes) codeList.Add(code);
  FillPlaceholders(form.body, dateParts, codeList, 0);
  for (std::size_t i = 0; i < 4; ++i)
    ReplaceAllInPlace(form.body, Sjis(kGroupMarks[i]), at(group, i));
  form.status =
      "(" + form.codes[0] + "," + form.codes[1] + "," + form.codes[2] + ")" + GroupLabel(group);
  return form;
}

std::vector<SearchForm> BuildSearchForms(const SettingsStore& settings, SearchKind kind, bool sale,
                                         bool rent) {
  std::vector<SearchForm> forms;
  const std::vector<std::string> dateParts = RunDateParts(settings, kind);
  TextList codes(settings.GetView(keys::kMunicipalityCodes), ",");
  std::string order = RunSearchOrder(settings, kind, sale, rent);
  if (order.empty()) return forms;
  TextList groups(order, ";");
  for (int index = 0; index < codes.Count(); index += 3) {
    const std::vector<std::string> codeGroup = {std::string(codes.View(index)),
                                                std::string(codes.View(index + 1)),
                                                std::string(codes.View(index + 2))};
    for (int g = 0; g < groups.Count(); ++g) {
      forms.push_back(
          MakeSearchForm(codeGroup, TextList(groups.View(g), ",").ToVector(), dateParts));
    }
  }
  return forms;
}

}  // namespace kestrova
