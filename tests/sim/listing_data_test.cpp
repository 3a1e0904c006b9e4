#include "sim/listing_data.h"

#include <gtest/gtest.h>

#include <set>

#include "sim/civil_date.h"
#include "sim/listing_fill.h"
#include "sim/listing_text.h"
#include "sim/setting_tables.h"

namespace kestrova::sim {
namespace {

class ListingDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_EQ(LoadSettingTables(std::string(KESTROVA_SOURCE_DIR) + "/Setting", tables_, error), 0)
        << error;
  }
  SettingTables tables_;
  int may1_ = DayNumber({2011, 5, 1});
};

TEST_F(ListingDataTest, NumbersAreThirteenDigitsUniqueAndLeadBackToTheirKey) {
  ListingUniverse u(tables_, 42, 30);
  std::set<std::string> seen;
  for (const char* code : {"27128", "13101", "01100", "47381"}) {
    for (int day = may1_ - 3700; day < may1_ + 20000; day += 731) {
      for (int index = 0; index < 30; index += 7) {
        ListingKey key{code, day, index};
        std::string n = u.NumberOf(key);
        ASSERT_EQ(n.size(), 13u);
        EXPECT_TRUE(seen.insert(n).second) << n;
        ListingKey back;
        ASSERT_TRUE(u.KeyOfNumber(n, back)) << n;
        EXPECT_EQ(back.code, key.code);
        EXPECT_EQ(back.day, key.day);
        EXPECT_EQ(back.index, key.index);
      }
    }
  }
}

TEST_F(ListingDataTest, NeighbouringListingsDoNotShareLongNumberTails) {
  ListingUniverse u(tables_, 1, 8);
  std::set<std::string> tails;
  for (int index = 0; index < 8; ++index)
    tails.insert(u.NumberOf({"27128", may1_, index}).substr(6));
  EXPECT_EQ(tails.size(), 8u);
}

TEST_F(ListingDataTest, RefusesNumbersItNeverGaveOut) {
  ListingUniverse u(tables_, 42, 8);
  ListingKey key;
  EXPECT_FALSE(u.KeyOfNumber("", key));
  EXPECT_FALSE(u.KeyOfNumber("123456789012", key));
  EXPECT_FALSE(u.KeyOfNumber("12345678901a3", key));
  // A number of another seed decodes to an index or municipality this one never uses.
  ListingUniverse other(tables_, 43, 8);
  int refused = 0;
  for (int index = 0; index < 8; ++index)
    refused += !u.KeyOfNumber(other.NumberOf({"27128", may1_, index}), key);
  EXPECT_GE(refused, 7);
}

TEST_F(ListingDataTest, SameSeedSameListingOtherSeedOtherListing) {
  ListingUniverse a(tables_, 5, 8), b(tables_, 5, 8), c(tables_, 6, 8);
  ListingKey key{"27203", may1_, 3};
  Property pa = a.Make(key), pb = b.Make(key), pc = c.Make(key);
  EXPECT_EQ(pa.number, pb.number);
  EXPECT_EQ(LocationText(pa), LocationText(pb));
  EXPECT_EQ(pa.priceTenThousand, pb.priceTenThousand);
  EXPECT_EQ(pa.member, pb.member);
  EXPECT_NE(pa.number, pc.number);
}

TEST_F(ListingDataTest, ListingsLieInTheRangeMunicipalitiesAndTypesAsked) {
  ListingUniverse u(tables_, 9, 20);
  std::vector<std::string> codes = {"27127", "27203", "27301", "27383"};
  auto keys = u.Listings(codes, may1_, may1_ + 9, {12, 22});
  ASSERT_GT(keys.size(), 20u);
  std::set<std::string> cities;
  for (const auto& key : keys) {
    Property p = u.Make(key);
    EXPECT_TRUE(p.typeCode == 12 || p.typeCode == 22);
    EXPECT_GE(p.registered, may1_);
    EXPECT_LE(p.registered, may1_ + 9);
    const Municipality& m = tables_.municipalities.at(key.code);
    EXPECT_EQ(LocationText(p).rfind(m.city, 0), 0u) << LocationText(p);
    cities.insert(m.city);
  }
  EXPECT_EQ(cities.size(), 4u);
  // Type order first: every house for sale comes before every house for rent.
  bool rent = false;
  for (const auto& key : keys) {
    bool isRent = u.TypeOf(key) == 22;
    EXPECT_FALSE(rent && !isRent);
    rent |= isRent;
  }
}

TEST_F(ListingDataTest, LocationNamesItsMunicipalityBeforeAnyOther) {
  // The program names a property's folder after the text up to the first 区, else 市, 町, 村.
  ListingUniverse u(tables_, 3, 30);
  struct Case {
    const char* code;
    const char* folder;
  };
  for (const Case& c : {Case{"27128", "大阪市　中央区"}, Case{"27203", "豊中市"},
                        Case{"27301", "島本町"}, Case{"27383", "千早赤阪村"}}) {
    for (const auto& key :
         u.Listings({c.code}, may1_, may1_ + 5, {11, 12, 13, 14, 15, 21, 22, 23, 24, 25})) {
      std::string loc = LocationText(u.Make(key));
      std::string first;
      for (const char* unit : {"区", "市", "町", "村"}) {
        std::size_t at = loc.find(unit);
        if (at != std::string::npos) {
          first = loc.substr(0, at + std::string(unit).size());
          break;
        }
      }
      EXPECT_EQ(first, c.folder) << loc;
    }
  }
}

TEST_F(ListingDataTest, WholeDesignatedCitySpreadsOverItsWards) {
  ListingUniverse u(tables_, 3, 20);
  std::set<std::string> wards;
  for (const auto& key : u.Listings({"27100"}, may1_, may1_ + 6, {13, 23}))
    wards.insert(u.Make(key).ward);
  EXPECT_GT(wards.size(), 5u);
  EXPECT_FALSE(wards.count(""));
}

TEST_F(ListingDataTest, UnknownMunicipalityHasNoListings) {
  ListingUniverse u(tables_, 3, 20);
  EXPECT_TRUE(u.Listings({"99999"}, may1_, may1_ + 30, {13}).empty());
}

TEST_F(ListingDataTest, ClosedDealsCloseInsideTheRangeAfterRegistration) {
  ListingUniverse u(tables_, 11, 10);
  auto keys = u.ClosedDeals({"27128", "27203"}, may1_, may1_ + 29, {11, 13});
  ASSERT_GT(keys.size(), 5u);
  int previous = may1_;
  for (const auto& key : keys) {
    Property p = u.Make(key);
    EXPECT_GE(p.closingDay, may1_);
    EXPECT_LE(p.closingDay, may1_ + 29);
    EXPECT_GE(p.closingDay - p.registered, ListingUniverse::kShortestToClose);
    EXPECT_GT(p.closingPriceTenThousand, 0);
    if (p.typeCode == 11) {
      EXPECT_GE(p.closingDay, previous);  // by closing day within a type
      previous = p.closingDay;
    }
  }
}

TEST_F(ListingDataTest, AllTenTypesOccur) {
  ListingUniverse u(tables_, 2, 50);
  std::set<int> types;
  for (int i = 0; i < 50; ++i) types.insert(u.TypeOf({"27128", may1_, i}));
  for (int d = 1; d < 20; ++d) {
    for (int i = 0; i < 50; ++i) types.insert(u.TypeOf({"27128", may1_ + d, i}));
  }
  EXPECT_EQ(types.size(), 10u);
}

TEST(SettingTablesTest, SplitsWardsAndLinksDesignatedCities) {
  SettingTables t;
  ParseMunicipalities(
      "27100\t大阪府\t大阪市\tおおさかし\r\n27127\t大阪府\t大阪市北区\tx\r\n"
      "13101\t東京都\t千代田区\tx\r\n27203\t大阪府\t豊中市\tx\r\nbad line\r\n",
      t);
  ASSERT_EQ(t.municipalities.size(), 4u);
  EXPECT_EQ(t.municipalities["27127"].city, "大阪市");
  EXPECT_EQ(t.municipalities["27127"].ward, "北区");
  EXPECT_EQ(t.municipalities["13101"].city, "千代田区");
  EXPECT_EQ(t.municipalities["13101"].ward, "");
  EXPECT_EQ(t.municipalities["27100"].wardCodes, (std::vector<std::string>{"27127"}));
  EXPECT_TRUE(t.municipalities["27203"].wardCodes.empty());
}

TEST(SettingTablesTest, BuiltInTableWhenZipCodesAreMissing) {
  SettingTables t;
  UseBuiltInMunicipalities(t);
  EXPECT_TRUE(t.builtInMunicipalities);
  EXPECT_TRUE(t.municipalities.count("27128"));
  EXPECT_FALSE(t.municipalities["27100"].wardCodes.empty());
}

TEST(SettingTablesTest, FieldNamesPerTypeAndDetailFieldsSplitAtMarks) {
  SettingTables t;
  ParseFieldNames("図面\t物件種別\t物件番号\t\r\n図面\t物件種別\r\n", t);
  EXPECT_EQ(t.fieldNames[0], (std::vector<std::string>{"図面", "物件種別", "物件番号", ""}));
  EXPECT_EQ(t.fieldNames[1].size(), 2u);
  EXPECT_TRUE(t.fieldNames[9].empty());
  ParseDetailFields("物件番号\r\n交通１<>駅より徒歩\r\n\r\n", t);
  ASSERT_EQ(t.detailFields.size(), 2u);
  EXPECT_EQ(t.detailFields[1], (std::vector<std::string>{"交通１", "駅より徒歩"}));
}

}  // namespace
}  // namespace kestrova::sim
