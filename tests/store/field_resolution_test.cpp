#include "store/field_resolution.h"

#include "foundation/text_list.h"
#include "tests/store/store_fixture.h"

namespace kestrova {
namespace {

using test::StoreTest;

class FieldResolutionTest : public StoreTest {
 protected:
  void SetUp() override {
    for (const char* n : {"物件種別", "物件番号", "最寄駅", "徒歩", "所在地", "取引態様/報酬形態", "接道状況/方向", "幅員/接面"}) {
      names.Add(Sjis(n));
    }
    for (const char* d : {"物件番号", "所在地１", "所在地２", "その他所在地表示", "交通１<>駅より徒歩", "築年月"}) {
      state.detailHeader.lines.Add(Sjis(d));
    }
  }
  std::string Resolve(const std::string& spec, std::vector<std::string> values) {
    std::string line;
    for (auto& v : values) line += Sjis(v) + "\t";
    TextList fields(line, "\t");
    return ResolveField(state, names, fields, Sjis(spec));
  }
  TextList names;
};

TEST_F(FieldResolutionTest, ColumnsAndFallBacks) {
  std::vector<std::string> rec = {"13売り・マンション", "100", "阪急宝塚線梅田", "5/12", "大阪市北区梅田１丁目　梅田ハイツ12階"};
  EXPECT_EQ(Resolve("物件番号", rec), "100");
  EXPECT_EQ(Resolve("#物件番号|最寄駅", rec), Sjis("阪急宝塚線梅田"));
  EXPECT_EQ(Resolve("無い列|物件番号", rec), "100");
  EXPECT_EQ(Resolve("$駅$|最寄駅", rec), Sjis("梅田"));
  EXPECT_EQ(Resolve("$沿線$", rec), Sjis("阪急宝塚線"));
  EXPECT_EQ(Resolve("$徒歩分$", rec), "5");
  EXPECT_EQ(Resolve("$バス$", rec), "12");
  EXPECT_EQ(Resolve("$データ種類$", rec), Sjis("売物件"));
  EXPECT_EQ(Resolve("$物件種別$", rec), Sjis("売マン"));
  EXPECT_EQ(Resolve("$所在地$", rec), Sjis("大阪市北区梅田１丁目"));
  EXPECT_EQ(Resolve("$マンション名$", rec), Sjis("梅田ハイツ"));
  EXPECT_EQ(Resolve("$階数$", rec), "12");
  EXPECT_EQ(Resolve("$未知$", rec), "");
}

TEST_F(FieldResolutionTest, DetailAndDealValues) {
  state.detailStore.Set("100", Sjis("100\t大阪市\t北区\t梅田\t5分400\t平成5年3月\t"));
  state.dealStore.Set("100", Sjis("2012/03/01\t1980\t"));
  std::vector<std::string> rec = {"13売り・マンション", "100"};
  EXPECT_EQ(Resolve("%築年月%", rec), Sjis("平成5年3月"));
  EXPECT_EQ(Resolve("&所在地&", rec), Sjis("大阪市北区梅田"));
  EXPECT_EQ(Resolve("&交通１<>駅より徒歩&", rec), "5");
  EXPECT_EQ(Resolve("&交通１<>駅より徒歩ｍ&", rec), "400");
  EXPECT_EQ(Resolve("&交通２<>駅より徒歩&|物件番号", rec), "100");  // not in the header
  EXPECT_EQ(Resolve("@成約日付@", rec), "2012/03/01");
  EXPECT_EQ(Resolve("@成約価格@", rec), "1980");
  std::vector<std::string> other = {"13売り・マンション", "200"};
  EXPECT_EQ(Resolve("&所在地&|物件番号", other), "200");
  EXPECT_EQ(Resolve("@成約価格@", other), "");
}

TEST(SplitLineStationTest, ParenthesisOrLine) {
  LineStation a = SplitLineStation(Sjis("阪急宝塚線梅田"));
  EXPECT_EQ(a.line, Sjis("阪急宝塚線"));
  EXPECT_EQ(a.station, Sjis("梅田"));
  LineStation b = SplitLineStation(Sjis("JR(東西線)北新地"));
  EXPECT_EQ(b.line, Sjis("JR(東西線）"));
  EXPECT_EQ(b.station, Sjis("北新地"));
  LineStation c = SplitLineStation(Sjis("梅田"));
  EXPECT_EQ(c.line, Sjis("梅田線"));
  EXPECT_EQ(c.station, "");
}

TEST(SplitAddressTest, BuildingAndFloor) {
  AddressParts a = SplitAddress(Sjis("大阪市北区梅田１丁目　梅田ハイツ10階"));
  EXPECT_EQ(a.building, Sjis("梅田ハイツ"));
  EXPECT_EQ(a.floor, "10");
  AddressParts b = SplitAddress(Sjis("大阪市北区　梅田ハイツ１２階"));
  EXPECT_EQ(b.building, Sjis("梅田ハイツ１２"));
  EXPECT_EQ(b.floor, "0");
  AddressParts c = SplitAddress(Sjis("大阪市北区梅田"));
  EXPECT_EQ(c.address, Sjis("大阪市北区梅田"));
  EXPECT_EQ(c.building, "");
  EXPECT_EQ(c.floor, "");
  AddressParts d = SplitAddress(Sjis("豊中市　千里タワー"));
  EXPECT_EQ(d.building, Sjis("千里タワー"));
  EXPECT_EQ(d.floor, "");
}

}  // namespace
}  // namespace kestrova
