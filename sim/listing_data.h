// The synthetic listings. Every listing is a pure function of the seed and its key
// (municipality code, registration day, index within that day), so a detail page or a floor
// plan asked for by property number shows the same property the result page showed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/setting_tables.h"

namespace kestrova::sim {

struct ListingKey {
  std::string code;  // municipality code as searched
  int day = 0;       // registration day number (civil_date.h)
  int index = 0;     // 0 .. hits per day - 1
};

struct Property {
  ListingKey key;
  std::string number;
  int typeCode = 0;  // 11..15, 21..25
  bool hasFloorPlan = false;
  // Location: prefecture, city, ward (may be empty), town, 丁目, lot, building and floor.
  std::string prefecture, city, ward, town, chome, lot, building;
  int floor = 0;
  std::string line1, station1, line2, station2;
  int walk1 = 0, bus1 = 0, walk2 = 0;
  int priceTenThousand = 0;  // sale: 万円; rent: tenths of 万円 (85 = 8.5万円)
  int landArea = 0, buildingArea = 0, balconyArea = 0;  // hundredths of ㎡
  int builtYear = 0, builtMonth = 0;
  std::string structure, layout, zoning, road, roadDirection, usage, status, handover;
  int coverage = 0, floorRatio = 0, roadWidth = 0, frontage = 0;  // widths in tenths of m
  int storeys = 0, totalUnits = 0, yieldTenths = 0;
  int managementFee = 0, repairFund = 0, parkingFee = 0;  // 円; parking 0 = none
  int deposit = 0, keyMoney = 0, contractYears = 0;       // months, years
  std::string dealForm, commission, advertising;
  std::string member, phone, staff, managementNo;
  std::vector<std::string> remarks;              // three
  int registered = 0, updated = 0, changed = 0;  // day numbers
  int closingDay = -1;                           // -1: never closes
  int closingPriceTenThousand = 0;
};

class ListingUniverse {
 public:
  ListingUniverse(const SettingTables& tables, std::uint64_t seed, int hitsPerDay);

  const SettingTables& tables() const { return tables_; }
  int hitsPerDay() const { return hitsPerDay_; }

  // Property numbers: 13 digits, a reversible scramble of the key.
  std::string NumberOf(const ListingKey& key) const;
  // The key of a number this universe gives out; false for any other text.
  bool KeyOfNumber(const std::string& number, ListingKey& key) const;

  // The type code of a listing (cheap: no other field is made).
  int TypeOf(const ListingKey& key) const;
  // The day the listing's deal closes, or -1.
  int ClosingDayOf(const ListingKey& key) const;
  Property Make(const ListingKey& key) const;

  // Listings registered in [firstDay, lastDay] in the municipalities, of the type codes, in
  // page order (by type in the given order, then day, municipality, index).
  std::vector<ListingKey> Listings(const std::vector<std::string>& codes, int firstDay, int lastDay,
                                   const std::vector<int>& typeCodes) const;
  // Listings whose deal closed in [firstDay, lastDay], in the same order by closing day.
  std::vector<ListingKey> ClosedDeals(const std::vector<std::string>& codes, int firstDay,
                                      int lastDay, const std::vector<int>& typeCodes) const;

  static constexpr int kFirstDay = -3652;  // 1990/01/01
  static constexpr int kLastDay = 73000;   // about 2199
  static constexpr int kLongestToClose = 120;
  static constexpr int kShortestToClose = 7;

 private:
  std::uint64_t KeySeed(const ListingKey& key, std::uint64_t salt) const;

  const SettingTables& tables_;
  std::uint64_t seed_;
  int hitsPerDay_;
  std::uint64_t offsets_[3];  // of the number scramble, from the seed
};

}  // namespace kestrova::sim
