#include "store/field_resolution.h"

#include <cstdio>

#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "store/program_state.h"

namespace kestrova {

namespace {

constexpr std::size_t kValueLimit = 2000;

enum Derived {
  kLine, kStation, kWalk, kBus, kDealing, kFee, kRoad, kRoadDirection, kRoadFrontage, kDataKind,
  kTypeShort, kAddress, kBuilding, kFloor
};

struct DerivedSpec {
  const char* spec;
  const char* column;
  Derived what;
};

const DerivedSpec kDerived[] = {
    {"$沿線$", "最寄駅", kLine},           {"$駅$", "最寄駅", kStation},
    {"$徒歩分$", "徒歩", kWalk},            {"$バス$", "徒歩", kBus},
    {"$取引態様$", "取引態様/報酬形態", kDealing}, {"$報酬形態$", "取引態様/報酬形態", kFee},
    {"$接道状況$", "接道状況/方向", kRoad},   {"$接道方向$", "接道状況/方向", kRoadDirection},
    {"$接道接面$", "幅員/接面", kRoadFrontage}, {"$データ種類$", "物件種別", kDataKind},
    {"$物件種別$", "物件種別", kTypeShort},   {"$所在地$", "所在地", kAddress},
    {"$マンション名$", "所在地", kBuilding},  {"$階数$", "所在地", kFloor},
};

struct TransportSpec {
  const char* marker;
  const char* field;
  int piece;
};

const TransportSpec kTransport[] = {
    {"&交通１<>駅より徒歩&", "交通１<>駅より徒歩", 0},
    {"&交通１<>駅より徒歩ｍ&", "交通１<>駅より徒歩", 1},
    {"&交通１<>バス停より徒歩&", "交通１<>バス停より徒歩", 0},
    {"&交通２<>駅より徒歩&", "交通２<>駅より徒歩", 0},
    {"&交通２<>駅より徒歩ｍ&", "交通２<>駅より徒歩", 1},
    {"&交通２<>バス停より徒歩&", "交通２<>バス停より徒歩", 0},
};

std::string Piece(std::string_view text, std::string_view delimiters, int index) {
  TextList pieces(text, delimiters);
  return std::string(pieces.View(index));
}

std::string DerivedValue(Derived what, std::string_view column) {
  switch (what) {
    case kLine: return SplitLineStation(column).line;
    case kStation: return SplitLineStation(column).station;
    case kWalk: case kDealing: case kRoad: return Piece(column, "/", 0);
    case kBus: case kFee: case kRoadDirection: case kRoadFrontage: return Piece(column, "/", 1);
    case kDataKind:
      if (!column.empty() && column[0] == '1') return SJIS("売物件");
      if (!column.empty() && column[0] == '2') return SJIS("賃貸物件");
      return {};
    case kTypeShort: {
      static const char* const kShort[][2] = {{"11", "売土地"}, {"12", "売戸建"}, {"13", "売マン"},
                                              {"14", "売外全"}, {"15", "売外一"}, {"21", "貸土地"},
                                              {"22", "貸戸建"}, {"23", "貸マン"}, {"24", "貸外全"},
                                              {"25", "貸外一"}};
      std::string_view code = column.substr(0, 2);
      for (const auto& s : kShort) {
        if (code == s[0]) return Sjis(s[1]);
      }
      return {};
    }
    case kAddress: return SplitAddress(column).address;
    case kBuilding: return SplitAddress(column).building;
    case kFloor: return SplitAddress(column).floor;
  }
  return {};
}

}  // namespace

LineStation SplitLineStation(std::string_view text) {
  LineStation out;
  TextList parts(text, Sjis(");）"));
  if (parts.Count() > 1) {
    out.line = std::string(parts.View(0)) + SJIS("）");
    out.station = parts.View(1);
    return out;
  }
  TextList byLine(text, SJIS("線"));
  out.line = std::string(byLine.View(0)) + SJIS("線");
  out.station = byLine.View(1);
  return out;
}

AddressParts SplitAddress(std::string_view text) {
  AddressParts out;
  TextList parts(text, SJIS("　"));
  if (parts.Count() <= 1) {
    out.address = text;
    return out;
  }
  out.address = parts.View(0);
  out.building = parts.View(1);
  std::size_t floorMark = FindText(out.building, SJIS("階"));
  if (floorMark != std::string_view::npos) {
    std::size_t digits = floorMark;
    while (digits > 0 && out.building[digits - 1] >= '0' && out.building[digits - 1] <= '9') --digits;
    std::string number = out.building.substr(digits, floorMark - digits);
    out.floor = std::to_string(ToInt(number));
    out.building.resize(digits);
  }
  return out;
}

CompiledSpec::CompiledSpec(std::string_view spec, const TextList& names, const TextList& detailHeader) {
  TextList alternatives(spec, "|");
  for (int a = 0; a < alternatives.Count(); ++a) {
    std::string_view alt = alternatives.View(a);
    if (alt.empty() || alt[0] == '#') continue;
    if (alt[0] == '$') {
      for (const DerivedSpec& d : kDerived) {
        if (alt == Sjis(d.spec)) {
          alternatives_.push_back({Kind::kDerived, names.Find(0, Sjis(d.column)), d.what, {}});
          break;
        }
      }
    } else if (alt == SJIS("@成約日付@")) {
      alternatives_.push_back({Kind::kDealDate, 0, 0, {}});
    } else if (alt == SJIS("@成約価格@")) {
      alternatives_.push_back({Kind::kDealPrice, 1, 0, {}});
    } else if (alt[0] == '%') {
      std::string name = ReplaceAll(alt, "%", "");
      alternatives_.push_back({Kind::kDetail, detailHeader.Find(0, name), 0, {}});
    } else if (alt[0] == '&') {
      if (alt == SJIS("&所在地&")) {
        Alternative joined{Kind::kAddressDetail, 0, 0, {}};
        for (const char* f : {"所在地１", "所在地２", "所在地３", "その他所在地表示"}) {
          int i = detailHeader.Find(0, Sjis(f));
          if (i >= 0) joined.pieces.push_back(i);
        }
        alternatives_.push_back(joined);
        continue;
      }
      for (const TransportSpec& t : kTransport) {
        if (FindText(alt, Sjis(t.marker)) == std::string_view::npos) continue;
        int i = detailHeader.Find(0, Sjis(t.field));
        if (i < 0) continue;  // the next transport rows are still tried
        alternatives_.push_back({Kind::kTransport, i, t.piece, {}});
        break;
      }
    } else {
      alternatives_.push_back({Kind::kColumn, names.Find(0, alt), 0, {}});
    }
  }
}

std::string CompiledSpec::Resolve(const TextList& fields, const TextList& detail, const TextList& deal) const {
  std::string value;
  for (const Alternative& a : alternatives_) {
    if (!value.empty()) break;
    switch (a.kind) {
      case Kind::kColumn:
        if (a.index >= 0) value = fields.View(a.index);
        break;
      case Kind::kDerived:
        if (a.index >= 0) value = DerivedValue(static_cast<Derived>(a.variant), fields.View(a.index));
        break;
      case Kind::kDealDate:
      case Kind::kDealPrice:
        value = deal.View(a.index);
        break;
      case Kind::kDetail:
        if (a.index >= 0) value = detail.View(a.index);
        break;
      case Kind::kAddressDetail:
        for (int i : a.pieces) value += detail.View(i);
        break;
      case Kind::kTransport: {
        TextList pieces(detail.View(a.index), SJIS("分;ｍ"));
        value = pieces.View(a.variant);
        break;
      }
    }
  }
  if (value.size() > kValueLimit) {
    std::size_t cut = 0;
    while (cut < value.size()) {
      std::size_t n = CharLength(value, cut);
      if (cut + n > kValueLimit) break;
      cut += n;
    }
    value.resize(cut);
  }
  return value;
}

void LoadExtras(const ProgramState& state, const TextList& names, const TextList& fields,
                TextList& detail, TextList& deal) {
  detail.Clear();
  deal.Clear();
  int numberColumn = names.Find(0, SJIS("物件番号"));
  if (numberColumn < 0) return;
  std::string_view number = fields.View(numberColumn);
  if (number.empty()) return;
  std::string_view d = state.detailStore.GetView(number);
  if (!d.empty()) detail.Split(d, "\t");
  std::string_view s = state.dealStore.GetView(number);
  if (!s.empty()) deal.Split(s, "\t");
}

std::string ResolveField(const ProgramState& state, const TextList& names, const TextList& fields,
                         std::string_view spec) {
  TextList detail, deal;
  LoadExtras(state, names, fields, detail, deal);
  return CompiledSpec(spec, names, state.detailHeader.lines).Resolve(fields, detail, deal);
}

}  // namespace kestrova
