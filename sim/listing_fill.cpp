#include "sim/listing_fill.h"

#include <algorithm>
#include <cstdio>

#include "sim/civil_date.h"
#include "sim/listing_text.h"
#include "sim/word_lists.h"

namespace kestrova::sim {

bool IsSale(int typeCode) { return typeCode / 10 == 1; }
bool IsLand(int typeCode) { return typeCode % 10 == 1; }
bool IsHouse(int typeCode) { return typeCode % 10 == 2; }
bool IsCondo(int typeCode) { return typeCode % 10 == 3; }
bool IsWhole(int typeCode) { return typeCode % 10 == 4; }
bool IsPart(int typeCode) { return typeCode % 10 == 5; }
bool HasBuilding(int typeCode) { return !IsLand(typeCode); }

namespace {

const char* PickText(Rng& rng, std::span<const char* const> items) { return rng.Pick(items); }

template <std::size_t N>
const char* PickOf(Rng& rng, const char* const (&items)[N]) {
  return items[rng.Below(static_cast<int>(N))];
}

// The name of a municipality without its 市/区/町/村, for generic station names.
std::string BaseName(const Municipality& m) {
  std::string name = m.ward.empty() ? m.name : m.city;
  for (const char* tail : {"市", "区", "町", "村"}) {
    std::string t = tail;
    if (name.size() > t.size() && name.compare(name.size() - t.size(), t.size(), t) == 0) {
      return name.substr(0, name.size() - t.size());
    }
  }
  return name;
}

void FillTransport(Property& p, const Municipality& m, Rng& rng) {
  const std::vector<RailLine>& lines = LinesOfPrefecture(m.code.substr(0, 2));
  if (!lines.empty()) {
    std::size_t first = static_cast<std::size_t>(rng.Below(static_cast<int>(lines.size())));
    const RailLine& a = lines[first];
    p.line1 = a.name;
    p.station1 =
        a.stations[static_cast<std::size_t>(rng.Below(static_cast<int>(a.stations.size())))];
    if (lines.size() > 1 && rng.Percent(70)) {
      const RailLine& b =
          lines[(first + 1 +
                 static_cast<std::size_t>(rng.Below(static_cast<int>(lines.size()) - 1))) %
                lines.size()];
      p.line2 = b.name;
      p.station2 =
          b.stations[static_cast<std::size_t>(rng.Below(static_cast<int>(b.stations.size())))];
    }
  } else {
    // No line table for the prefecture: lines and stations named after the municipality.
    static const char* const kPrefix[] = {"", "東", "西", "新", "北", "南"};
    std::string base = BaseName(m);
    p.line1 = "ＪＲ本線";
    p.station1 = std::string(PickOf(rng, kPrefix)) + base;
    if (rng.Percent(50)) {
      p.line2 = base + "電鉄線";
      p.station2 = base + PickOf(rng, {"中央", "駅前", "本通", "公園前"});
    }
  }
  if (rng.Percent(20)) {
    p.bus1 = rng.Range(5, 20);
    p.walk1 = rng.Range(1, 6);
  } else {
    p.walk1 = rng.Range(1, 20);
  }
  if (!p.line2.empty()) p.walk2 = rng.Range(3, 25);
}

void FillLocation(Property& p, const Municipality& m, Rng& rng) {
  p.prefecture = m.prefecture;
  p.city = m.city;
  p.ward = m.ward;
  p.town = PickText(rng, TownNames());
  if (rng.Percent(80)) p.chome = FullWidthNumber(rng.Range(1, 5)) + "丁目";
  p.lot = FullWidthNumber(rng.Range(1, 30)) + "－" + FullWidthNumber(rng.Range(1, 20));
  int t = p.typeCode;
  if (IsCondo(t)) {
    p.storeys = rng.Range(4, 30);
    p.floor = rng.Range(1, p.storeys);
    p.building = std::string(PickText(rng, BuildingPrefixes())) + (rng.Percent(50) ? p.town : "") +
                 PickText(rng, BuildingSuffixes());
  } else if (IsPart(t)) {
    p.storeys = rng.Range(3, 12);
    p.floor = rng.Range(1, p.storeys);
    p.building = std::string(PickText(rng, BuildingPrefixes())) + "ビル";
  } else if (IsWhole(t)) {
    p.storeys = rng.Range(2, 10);
    p.building = p.town + "第" + FullWidthNumber(rng.Range(1, 5)) + "ビル";
  } else if (IsHouse(t)) {
    p.storeys = rng.Range(1, 3);
  }
}

// Prices: sale in 万円, rent in tenths of 万円.
int PriceOf(int t, Rng& rng) {
  if (IsSale(t)) {
    if (IsLand(t)) return rng.Stepped(500, 8000, 10);
    if (IsHouse(t)) return rng.Stepped(1480, 6980, 10);
    if (IsCondo(t)) return rng.Stepped(780, 9800, 10);
    if (IsWhole(t)) return rng.Stepped(5000, 48000, 100);
    return rng.Stepped(300, 5000, 10);
  }
  if (IsLand(t)) return rng.Stepped(30, 500, 5);
  if (IsHouse(t)) return rng.Stepped(80, 250, 5);
  if (IsCondo(t)) return rng.Stepped(40, 300, 1);
  if (IsWhole(t)) return rng.Stepped(300, 3000, 10);
  return rng.Stepped(50, 800, 5);
}

void FillBuilding(Property& p, Rng& rng) {
  int t = p.typeCode;
  int registeredYear = DateOfDay(p.registered).year;
  if (IsLand(t) || IsHouse(t) || IsWhole(t)) {
    p.landArea = rng.Stepped(IsWhole(t) ? 10000 : 6000, IsWhole(t) ? 60000 : 30000, 1);
    p.zoning = PickText(rng, Zonings());
    p.coverage = rng.Stepped(40, 80, 10);
    p.floorRatio = rng.Stepped(100, 400, 50);
    p.road = PickOf(rng, {"一方", "二方", "角地"});
    p.roadDirection = PickOf(rng, {"南", "東", "西", "北", "南東", "南西", "北東", "北西"});
    p.roadWidth = rng.Range(40, 120);
    p.frontage = rng.Range(50, 200);
  }
  if (!HasBuilding(t)) {
    p.status = IsSale(t) ? PickOf(rng, {"更地", "古家有"}) : "更地";
    return;
  }
  p.builtYear = std::max(1970, registeredYear - rng.Range(0, 45));
  p.builtMonth = rng.Range(1, 12);
  if (IsHouse(t)) {
    p.buildingArea = rng.Range(7000, 15000);
    p.structure = PickOf(rng, {"木造", "軽量鉄骨造"});
    p.layout = PickOf(rng, {"3LDK", "4LDK", "4DK", "5LDK", "3SLDK"});
  } else if (IsCondo(t)) {
    p.buildingArea = IsSale(t) ? rng.Range(4500, 12000) : rng.Range(1800, 8000);
    p.balconyArea = rng.Range(400, 2000);
    p.structure = PickOf(rng, {"RC", "SRC"});
    p.layout = IsSale(t) ? PickOf(rng, {"2LDK", "3LDK", "3LDK", "4LDK", "2DK"})
                         : PickOf(rng, {"1K", "1DK", "1LDK", "2LDK", "2DK", "3LDK"});
    p.totalUnits = rng.Range(20, 200);
    p.managementFee = rng.Stepped(5000, 25000, 100);
    p.repairFund = IsSale(t) ? rng.Stepped(3000, 20000, 100) : 0;
  } else if (IsWhole(t)) {
    p.buildingArea = rng.Range(30000, 300000);
    p.structure = PickOf(rng, {"RC", "SRC", "鉄骨造"});
    p.totalUnits = rng.Range(4, 40);
    p.yieldTenths = IsSale(t) ? rng.Range(40, 100) : 0;
  } else {
    p.buildingArea = rng.Range(2000, 20000);
    p.structure = PickOf(rng, {"RC", "SRC", "鉄骨造"});
    p.usage = PickOf(rng, {"店舗", "事務所", "店舗・事務所"});
    p.managementFee = rng.Stepped(0, 30000, 1000);
    p.zoning = PickOf(rng, {"近隣商業", "商業", "準工業"});
    p.road = "一方";
    p.roadDirection = PickOf(rng, {"南", "東", "西", "北"});
    p.roadWidth = rng.Range(60, 200);
    p.frontage = rng.Range(50, 150);
  }
  p.status =
      IsSale(t) ? PickOf(rng, {"空家", "居住中", "賃貸中"}) : PickOf(rng, {"空室", "居住中"});
}

void FillTerms(Property& p, Rng& rng) {
  int t = p.typeCode;
  p.priceTenThousand = PriceOf(t, rng);
  if (p.closingDay >= 0) {
    p.closingPriceTenThousand =
        IsSale(t) ? std::max(10, p.priceTenThousand * rng.Range(90, 100) / 100 / 10 * 10)
                  : p.priceTenThousand;
  }
  if (rng.Percent(50)) p.parkingFee = rng.Stepped(5000, 30000, 1000);
  if (!IsSale(t)) {
    p.deposit = rng.Range(0, 3);
    p.keyMoney = rng.Range(0, 2);
    p.contractYears = IsPart(t) || IsWhole(t) ? 3 : 2;
  }
  p.dealForm = IsSale(t) ? PickOf(rng, {"専任", "専属専任", "一般", "売主", "代理"})
                         : PickOf(rng, {"専任", "一般", "貸主", "代理"});
  p.commission = PickOf(rng, {"分かれ", "元付"});
  p.advertising = PickOf(rng, {"広告可", "広告可", "不可", "広告可（但し要連絡）"});
  p.handover = PickOf(rng, {"即時", "相談", "期日指定"});
  p.hasFloorPlan = rng.Percent(IsLand(t) ? 40 : 80);
}

void FillMember(Property& p, Rng& rng) {
  std::string name = std::string(PickText(rng, MemberPrefixes())) + PickText(rng, MemberSuffixes());
  int form = rng.Below(100);
  p.member = form < 45 ? "株式会社" + name : form < 85 ? name + "株式会社" : "有限会社" + name;
  std::string pref = p.key.code.substr(0, 2);
  const char* area = pref == "27"   ? "06"
                     : pref == "13" ? "03"
                     : pref == "14" ? "045"
                     : pref == "28" ? "078"
                     : pref == "26" ? "075"
                     : pref == "23" ? "052"
                                    : "0120";
  char phone[40];
  std::snprintf(phone, sizeof phone, "%s-%d-%04d", area, rng.Range(200, 7999), rng.Range(0, 9999));
  p.phone = phone;
  p.staff = PickText(rng, StaffNames());
  char no[16];
  std::snprintf(no, sizeof no, "K-%05d", rng.Range(0, 99999));
  p.managementNo = no;
  p.remarks.push_back(PickText(rng, Remarks()));
  p.remarks.push_back(rng.Percent(60) ? PickText(rng, Remarks()) : "");
  p.remarks.push_back(rng.Percent(30) ? PickText(rng, Remarks()) : "");
}

}  // namespace

void FillProperty(Property& p, const Municipality& m, Rng& rng) {
  p.registered = p.key.day;
  p.updated = p.key.day;
  p.changed = p.key.day;
  FillLocation(p, m, rng);
  FillTransport(p, m, rng);
  FillBuilding(p, rng);
  FillTerms(p, rng);
  FillMember(p, rng);
}

}  // namespace kestrova::sim
