#include "sim/listing_text.h"

#include <cstdio>
#include <functional>
#include <map>

#include "sim/civil_date.h"
#include "sim/listing_fill.h"

namespace kestrova::sim {

namespace {

constexpr const char* kNbsp = "&nbsp;";

std::string Format(const char* format, int a, int b = 0) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

std::string Yen(int yen) { return yen > 0 ? Grouped(yen) + "円" : "なし"; }
std::string Months(int months) { return months > 0 ? Format("%dヶ月", months) : "なし"; }
std::string Tenths(int tenths) { return Format("%d.%d", tenths / 10, tenths % 10); }
std::string Or(const std::string& text) { return text.empty() ? kNbsp : text; }

std::string Walk(const Property& p) {
  return p.bus1 > 0 ? Format("%d/%d", p.walk1, p.bus1) : Format("%d", p.walk1);
}

using ResultField = std::function<std::string(const Property&)>;

const std::map<std::string, ResultField>& ResultFields() {
  static const std::map<std::string, ResultField> fields = {
      {"物件番号", [](const Property& p) { return p.number; }},
      {"価格", [](const Property& p) { return PriceText(p.priceTenThousand, true); }},
      {"賃料", [](const Property& p) { return PriceText(p.priceTenThousand, false); }},
      {"取引態様/報酬形態", [](const Property& p) { return p.dealForm + "/" + p.commission; }},
      {"所在地", [](const Property& p) { return LocationText(p); }},
      {"最寄駅", [](const Property& p) { return StationText(p); }},
      {"徒歩", [](const Property& p) { return Walk(p); }},
      {"土地面積", [](const Property& p) { return p.landArea ? AreaText(p.landArea) : kNbsp; }},
      {"建物面積",
       [](const Property& p) { return p.buildingArea ? AreaText(p.buildingArea) : kNbsp; }},
      {"専有面積",
       [](const Property& p) { return p.buildingArea ? AreaText(p.buildingArea) : kNbsp; }},
      {"使用部分面積",
       [](const Property& p) { return p.buildingArea ? AreaText(p.buildingArea) : kNbsp; }},
      {"バルコニー面積",
       [](const Property& p) { return p.balconyArea ? AreaText(p.balconyArea) : kNbsp; }},
      {"用途地域", [](const Property& p) { return Or(p.zoning); }},
      {"建ぺい率",
       [](const Property& p) { return p.coverage ? Format("%d%%", p.coverage) : kNbsp; }},
      {"容積率",
       [](const Property& p) { return p.floorRatio ? Format("%d%%", p.floorRatio) : kNbsp; }},
      {"地目", [](const Property&) -> std::string { return "宅地"; }},
      {"接道状況/方向",
       [](const Property& p) { return p.road.empty() ? kNbsp : p.road + "/" + p.roadDirection; }},
      {"幅員/接面",
       [](const Property& p) {
         return p.roadWidth ? Tenths(p.roadWidth) + "/" + Tenths(p.frontage) : kNbsp;
       }},
      {"都市計画", [](const Property&) -> std::string { return "市街化区域"; }},
      {"地勢", [](const Property&) -> std::string { return "平坦"; }},
      {"現況", [](const Property& p) { return Or(p.status); }},
      {"間取", [](const Property& p) { return Or(p.layout); }},
      {"築年月", [](const Property& p) { return Or(BuiltText(p)); }},
      {"構造", [](const Property& p) { return Or(p.structure); }},
      {"所在階", [](const Property& p) { return p.floor ? Format("%d階", p.floor) : kNbsp; }},
      {"建物名", [](const Property& p) { return Or(p.building); }},
      {"管理費", [](const Property& p) { return Yen(p.managementFee); }},
      {"修繕積立金", [](const Property& p) { return Yen(p.repairFund); }},
      {"総戸数",
       [](const Property& p) { return p.totalUnits ? Format("%d戸", p.totalUnits) : kNbsp; }},
      {"階建", [](const Property& p) { return p.storeys ? Format("%d階建", p.storeys) : kNbsp; }},
      {"利回り",
       [](const Property& p) { return p.yieldTenths ? Tenths(p.yieldTenths) + "%" : kNbsp; }},
      {"用途", [](const Property& p) { return Or(p.usage); }},
      {"敷金/保証金", [](const Property& p) { return Months(p.deposit) + "/なし"; }},
      {"敷金/礼金", [](const Property& p) { return Months(p.deposit) + "/" + Months(p.keyMoney); }},
      {"保証金", [](const Property&) -> std::string { return "なし"; }},
      {"礼金", [](const Property& p) { return Months(p.keyMoney); }},
      {"契約期間",
       [](const Property& p) { return p.contractYears ? Format("%d年", p.contractYears) : kNbsp; }},
      {"駐車場",
       [](const Property& p) { return p.parkingFee ? "有(" + Yen(p.parkingFee) + ")" : "無"; }},
      {"更新年月日", [](const Property& p) { return FormatSlashDate(p.updated); }},
      {"登録年月日", [](const Property& p) { return FormatSlashDate(p.registered); }},
      {"変更年月日", [](const Property& p) { return FormatSlashDate(p.changed); }},
      {"取引状況", [](const Property&) -> std::string { return "公開中"; }},
      {"広告転載区分", [](const Property& p) { return p.advertising; }},
      {"会員名", [](const Property& p) { return p.member; }},
      {"電話番号", [](const Property& p) { return p.phone; }},
      {"担当者", [](const Property& p) { return p.staff; }},
      {"備考１", [](const Property& p) { return Or(p.remarks[0]); }},
      {"備考２", [](const Property& p) { return Or(p.remarks[1]); }},
      {"備考３", [](const Property& p) { return Or(p.remarks[2]); }},
      {"管理番号", [](const Property& p) { return p.managementNo; }},
  };
  return fields;
}

// Walking to the station as the detail page writes it: minutes and metres ("5分400ｍ"), or
// the bare minutes unit when the way goes by bus.
std::string StationWalk(int walk, int bus) {
  return bus > 0 ? "分" : Format("%d分%dｍ", walk, walk * 80);
}

std::string TransportValue(const Property& p, int which, const std::string& label) {
  const std::string& line = which == 1 ? p.line1 : p.line2;
  if (line.empty()) return "";
  if (label == "沿線名") return line;
  if (label == "駅名") return which == 1 ? p.station1 : p.station2;
  if (label == "駅より徒歩")
    return which == 1 ? StationWalk(p.walk1, p.bus1) : StationWalk(p.walk2, 0);
  if (label == "バス停より徒歩") return which == 1 && p.bus1 > 0 ? Format("%d分", p.walk1) : "分";
  return "";
}

std::string DealFormText(const std::string& form) {
  return form == "専任" || form == "専属専任" || form == "一般" ? form + "媒介" : form;
}

}  // namespace

std::string FullWidthNumber(int n) {
  std::string digits = std::to_string(n);
  std::string out;
  for (char c : digits) {
    // U+FF10 + digit, in UTF-8: EF BC 90+d.
    out += "\xEF\xBC";
    out += static_cast<char>(0x90 + (c - '0'));
  }
  return out;
}

std::string Grouped(int n) {
  std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string PriceText(int priceTenThousand, bool sale) {
  if (sale) return Grouped(priceTenThousand) + "万円";
  if (priceTenThousand % 10 == 0) return Grouped(priceTenThousand / 10) + "万円";
  return Tenths(priceTenThousand) + "万円";
}

std::string AreaText(int hundredths) {
  return Format("%d.%02d㎡", hundredths / 100, hundredths % 100);
}

std::string LocationText(const Property& p) {
  std::string text = p.city;
  bool spaced = !p.ward.empty() || text.ends_with("市") || text.ends_with("区");
  if (!p.ward.empty()) text += "　" + p.ward;
  text += (spaced ? "　" : "") + p.town + p.chome;
  if (IsCondo(p.typeCode) || IsPart(p.typeCode)) {
    text += "　" + p.building + Format("%d階", p.floor);
  } else if (IsWhole(p.typeCode)) {
    text += "　" + p.building;
  }
  return text;
}

std::string StationText(const Property& p) { return p.line1 + p.station1; }

std::string BuiltText(const Property& p) {
  if (p.builtYear == 0) return "";
  if (p.builtYear < 1989) return Format("昭和%d年%d月", p.builtYear - 1925, p.builtMonth);
  return Format("%d年%d月", p.builtYear, p.builtMonth);
}

std::string TypeLabel(int typeCode) {
  static const char* const kKinds[] = {"土地", "戸建て", "マンション", "建物全部", "建物一部"};
  int kind = typeCode % 10;
  if (kind < 1 || kind > 5) return "";
  return std::string(IsSale(typeCode) ? "売り・" : "賃貸・") + kKinds[kind - 1];
}

std::string CategoryText(int typeCode) {
  static const char* const kSale[] = {"売地", "中古戸建", "中古マンション", "売ビル",
                                      "売店舗・事務所"};
  static const char* const kRent[] = {"貸地", "貸家", "貸マンション", "貸ビル", "貸店舗・事務所"};
  int kind = typeCode % 10;
  if (kind < 1 || kind > 5) return "";
  return (IsSale(typeCode) ? kSale : kRent)[kind - 1];
}

std::string ResultValue(const Property& p, const std::string& name) {
  auto it = ResultFields().find(name);
  if (it == ResultFields().end()) return kNbsp;
  std::string value = it->second(p);
  return value.empty() ? kNbsp : value;
}

std::string DetailValue(const Property& p, const std::vector<std::string>& field) {
  if (field.empty()) return "";
  const std::string& label = field.back();
  if (field.size() > 1) {
    if (field[0] == "交通１") return TransportValue(p, 1, label);
    if (field[0] == "交通２") return TransportValue(p, 2, label);
    return "";
  }
  int t = p.typeCode;
  bool sale = IsSale(t);
  if (label == "物件番号") return p.number;
  if (label == "物件種目") return CategoryText(t);
  if (label == "取引態様") return DealFormText(p.dealForm);
  if (label == "所在地１") return p.prefecture;
  if (label == "所在地２") return p.ward.empty() ? p.city : p.city + "　" + p.ward;
  if (label == "所在地３") return p.town + p.chome;
  if (label == "その他所在地表示") return p.lot;
  if (label == "建物名") return p.building;
  if (label == "価格") return sale ? PriceText(p.priceTenThousand, true) : "";
  if (label == "賃料") return sale ? "" : PriceText(p.priceTenThousand, false);
  if (label == "敷金") return sale ? "" : p.deposit ? Format("%dヶ月", p.deposit) : "ヶ月";
  if (label == "礼金") return sale ? "" : p.keyMoney ? Format("%dヶ月", p.keyMoney) : "ヶ月";
  if (label == "保証金") return sale ? "" : "ヶ月";
  if (label == "土地面積") return p.landArea ? AreaText(p.landArea) : "";
  if (label == "建物面積１") return IsHouse(t) || IsWhole(t) ? AreaText(p.buildingArea) : "";
  if (label == "専有面積") return IsCondo(t) || IsPart(t) ? AreaText(p.buildingArea) : "";
  if (label == "バルコニー面積") return p.balconyArea ? AreaText(p.balconyArea) : "";
  if (label == "所在階") return p.floor ? Format("%d階", p.floor) : "";
  if (label == "間取") return p.layout;
  if (label == "築年月") return BuiltText(p);
  if (label == "構造")
    return p.structure.empty() ? "" : p.structure + (p.structure.ends_with("造") ? "" : "造");
  if (label == "用途地域") return p.zoning.empty() ? "" : p.zoning + "地域";
  if (label == "建ぺい率") return p.coverage ? Format("%d%%", p.coverage) : "";
  if (label == "容積率") return p.floorRatio ? Format("%d%%", p.floorRatio) : "";
  if (label == "接道状況") return p.road;
  if (label == "管理費") return IsCondo(t) || IsPart(t) ? Yen(p.managementFee) : "";
  if (label == "修繕積立金") return p.repairFund ? Yen(p.repairFund) : "";
  if (label == "駐車場") return p.parkingFee ? "有(" + Yen(p.parkingFee) + ")" : "無";
  if (label == "現況") return p.status;
  if (label == "引渡時期") return p.handover;
  if (label == "備考") {
    std::string text;
    for (const std::string& r : p.remarks) {
      if (!r.empty()) text += (text.empty() ? "" : "・") + r;
    }
    return text;
  }
  return "";
}

}  // namespace kestrova::sim
