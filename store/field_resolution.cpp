#include "store/field_resolution.h"

#include <cstring>
#include <initializer_list>
#include <iterator>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <string>
#include <utility>
#include <vector>

#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "store/program_state.h"

namespace kestrova {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The cp932 texts the resolution looks for, converted once.
struct Texts {
  std::string fullParen = Sjis("）");
  std::string line = Sjis("線");
  std::string fullSpace = Sjis("　");
  std::string floor = Sjis("階");
  std::string minute = Sjis("分");
  std::string metre = Sjis("ｍ");
  std::string sale = Sjis("売物件");
  std::string rent = Sjis("賃貸物件");
  std::string shortNames[10] = {Sjis("売土地"), Sjis("売戸建"), Sjis("売マン"), Sjis("売外全"),
                                Sjis("売外一"), Sjis("貸土地"), Sjis("貸戸建"), Sjis("貸マン"),
                                Sjis("貸外全"), Sjis("貸外一")};
};

const Texts& T() {
  static const Texts texts;
  return texts;
}

// Position and length of the first alternative that starts at a character boundary at or
// after from; npos when there is none.
std::pair<std::size_t, std::size_t> FindFirstOf(
    std::string_view text, std::initializer_list<std::string_view> alternatives, std::size_t from) {
  const std::size_t n = text.size();
  for (std::size_t i = from; i < n;) {
    const char c = text[i];
    for (std::string_view a : alternatives) {
      // The first byte decides most positions without a full comparison.
      if (!a.empty() && a[0] == c && a.size() <= n - i &&
          std::memcmp(text.data() + i, a.data(), a.size()) == 0) {
        return {i, a.size()};
      }
    }
    i += IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < n ? 2 : 1;
  }
  return {npos, 0};
}

// Piece index of text split at an ASCII delimiter below 0x40, which is never a trail byte.
std::string_view PieceOfChar(std::string_view text, char delimiter, int index) {
  std::size_t start = 0;
  for (int k = 0;; ++k) {
    std::size_t at = text.find(delimiter, start);
    if (k == index) return text.substr(start, (at == npos ? text.size() : at) - start);
    if (at == npos) return {};
    start = at + 1;
  }
}

}  // namespace

LineStationView SplitLineStationView(std::string_view text) {
  // No station text at all has no line either; a bare "線" would hide the next alternative.
  if (text.empty()) return {};
  const Texts& t = T();
  auto [at, length] = FindFirstOf(text, {")", t.fullParen}, 0);
  if (at != npos) {
    return {text.substr(0, at), t.fullParen,
            SplitPiece(text.substr(at + length), {")", t.fullParen}, 0)};
  }
  return {SplitPiece(text, {t.line}, 0), t.line, SplitPiece(text, {t.line}, 1)};
}

AddressView SplitAddressView(std::string_view text) {
  const Texts& t = T();
  auto [at, length] = FindFirstOf(text, {t.fullSpace}, 0);
  if (at == npos) return {text, {}, false, 0};
  AddressView out;
  out.address = text.substr(0, at);
  out.building = SplitPiece(text.substr(at + length), {t.fullSpace}, 0);
  std::size_t mark = FindText(out.building, t.floor);
  if (mark != npos) {
    // Trail bytes are 0x40 or above, so a byte in '0'..'9' is always a whole character.
    std::size_t digits = mark;
    while (digits > 0 && out.building[digits - 1] >= '0' && out.building[digits - 1] <= '9')
      --digits;
    out.hasFloor = true;
    out.floor = ToInt(out.building.substr(digits, mark - digits));
    out.building = out.building.substr(0, digits);
  }
  return out;
}

namespace {

// The longest prefix of at most kResolvedValueLimit bytes that ends at a character boundary.
std::string_view Limit(std::string_view value) {
  if (value.size() <= kResolvedValueLimit) return value;
  std::size_t cut = 0;
  while (cut < value.size()) {
    std::size_t n = CharLength(value, cut);
    if (cut + n > kResolvedValueLimit) break;
    cut += n;
  }
  return value.substr(0, cut);
}

enum Derived {
  kLine,
  kStation,
  kWalk,
  kBus,
  kDealing,
  kFee,
  kRoad,
  kRoadDirection,
  kRoadFrontage,
  kDataKind,
  kTypeShort,
  kAddress,
  kBuilding,
  kFloor
};

struct DerivedSpec {
  const char* spec;
  const char* column;
  Derived what;
};

const DerivedSpec kDerived[] = {
    {"$沿線$", "最寄駅", kLine},
    {"$駅$", "最寄駅", kStation},
    {"$徒歩分$", "徒歩", kWalk},
    {"$バス$", "徒歩", kBus},
    {"$取引態様$", "取引態様/報酬形態", kDealing},
    {"$報酬形態$", "取引態様/報酬形態", kFee},
    {"$接道状況$", "接道状況/方向", kRoad},
    {"$接道方向$", "接道状況/方向", kRoadDirection},
    {"$接道接面$", "幅員/接面", kRoadFrontage},
    {"$データ種類$", "物件種別", kDataKind},
    {"$物件種別$", "物件種別", kTypeShort},
    {"$所在地$", "所在地", kAddress},
    {"$マンション名$", "所在地", kBuilding},
    {"$階数$", "所在地", kFloor},
};

struct TransportSpec {
  const char* marker;
  const char* field;
  int piece;
};

// Tried in this order; the first marker contained in the alternative whose field exists wins.
const TransportSpec kTransport[] = {
    {"&交通１<>駅より徒歩&", "交通１<>駅より徒歩", 0},
    {"&交通１<>駅より徒歩ｍ&", "交通１<>駅より徒歩", 1},
    {"&交通１<>バス停より徒歩&", "交通１<>バス停より徒歩", 0},
    {"&交通２<>駅より徒歩&", "交通２<>駅より徒歩", 0},
    {"&交通２<>駅より徒歩ｍ&", "交通２<>駅より徒歩", 1},
    {"&交通２<>バス停より徒歩&", "交通２<>バス停より徒歩", 0},
};

// The texts of the derived-value, transport and address tables in cp932, converted once: a
// layout compiles one column source per column and type.
struct SpecTexts {
  std::vector<std::pair<std::string, std::string>> derived;    // kDerived's spec and column
  std::vector<std::pair<std::string, std::string>> transport;  // kTransport's marker and field
  std::vector<std::string> address;  // the detail fields "&所在地&" joins
  SpecTexts() {
    for (const DerivedSpec& d : kDerived) derived.emplace_back(Sjis(d.spec), Sjis(d.column));
    for (const TransportSpec& t : kTransport) transport.emplace_back(Sjis(t.marker), Sjis(t.field));
    for (const char* f : {"所在地１", "所在地２", "所在地３", "その他所在地表示"})
      address.push_back(Sjis(f));
  }
};

const SpecTexts& SpecText() {
  static const SpecTexts texts;
  return texts;
}

const LineStationView& LineStationOf(int column, std::string_view text, ResolveScratch& scratch) {
  if (scratch.lineStationColumn != column) {
    scratch.lineStation = SplitLineStationView(text);
    scratch.lineStationColumn = column;
  }
  return scratch.lineStation;
}

const AddressView& AddressOf(int column, std::string_view text, ResolveScratch& scratch) {
  if (scratch.addressColumn != column) {
    scratch.address = SplitAddressView(text);
    scratch.addressColumn = column;
  }
  return scratch.address;
}

std::string_view DerivedValue(Derived what, int index, std::string_view column,
                              ResolveScratch& scratch) {
  const Texts& t = T();
  switch (what) {
    case kLine: {
      const LineStationView& v = LineStationOf(index, column, scratch);
      if (v.closing.empty()) return {};
      scratch.text.assign(v.line).append(v.closing);
      return scratch.text;
    }
    case kStation:
      return LineStationOf(index, column, scratch).station;
    case kWalk:
    case kDealing:
    case kRoad:
      return PieceOfChar(column, '/', 0);
    case kBus:
    case kFee:
    case kRoadDirection:
    case kRoadFrontage:
      return PieceOfChar(column, '/', 1);
    case kDataKind:
      if (!column.empty() && column[0] == '1') return t.sale;
      if (!column.empty() && column[0] == '2') return t.rent;
      return {};
    case kTypeShort: {
      static const char kCodes[10][3] = {"11", "12", "13", "14", "15",
                                         "21", "22", "23", "24", "25"};
      std::string_view code = column.substr(0, 2);
      for (int i = 0; i < 10; ++i) {
        if (code == kCodes[i]) return t.shortNames[i];
      }
      return {};
    }
    case kAddress:
      return AddressOf(index, column, scratch).address;
    case kBuilding:
      return AddressOf(index, column, scratch).building;
    case kFloor: {
      const AddressView& v = AddressOf(index, column, scratch);
      if (!v.hasFloor) return {};
      scratch.text = std::to_string(v.floor);
      return scratch.text;
    }
  }
  return {};
}

}  // namespace

std::string_view SplitPiece(std::string_view text,
                            std::initializer_list<std::string_view> alternatives, int index) {
  std::size_t start = 0;
  for (int k = 0;; ++k) {
    auto [at, length] = FindFirstOf(text, alternatives, start);
    if (k == index) return text.substr(start, (at == npos ? text.size() : at) - start);
    if (at == npos) return {};
    start = at + length;
  }
}

void FirstPieces(std::string_view text, std::initializer_list<std::string_view> alternatives,
                 std::string_view* pieces, int count) {
  std::size_t start = 0;
  int k = 0;
  for (; k < count && start <= text.size(); ++k) {
    auto [at, length] = FindFirstOf(text, alternatives, start);
    pieces[k] = text.substr(start, (at == npos ? text.size() : at) - start);
    if (at == npos) {
      ++k;
      break;
    }
    start = at + length;
  }
  for (; k < count; ++k) pieces[k] = {};
}

LineStation SplitLineStation(std::string_view text) {
  LineStationView v = SplitLineStationView(text);
  LineStation out;
  out.line.assign(v.line).append(v.closing);
  out.station.assign(v.station);
  return out;
}

AddressParts SplitAddress(std::string_view text) {
  AddressView v = SplitAddressView(text);
  return {std::string(v.address), std::string(v.building),
          v.hasFloor ? std::to_string(v.floor) : ""};
}

void SplitPieces(std::string_view text, char delimiter, Pieces& out) {
  out.clear();
  if (text.empty()) return;
  // Fields are short: sixteen bytes are compared at once, rather than a library search call
  // per field.
  const char* data = text.data();
  const std::size_t n = text.size();
  std::size_t start = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(delimiter);
  for (; i + 16 <= n; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)));
    while (hits != 0) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(hits));
      out.emplace_back(data + start, at - start);
      start = at + 1;
      hits &= hits - 1;
    }
  }
#endif
  for (; i < n; ++i) {
    if (data[i] == delimiter) {
      out.emplace_back(data + start, i - start);
      start = i + 1;
    }
  }
  out.emplace_back(data + start, n - start);
}

CompiledSpec::CompiledSpec(std::string_view spec, const TextList& names,
                           const TextList& detailHeader) {
  TextList alternatives(spec, "|");
  for (int a = 0; a < alternatives.Count(); ++a) {
    std::string_view alt = alternatives.View(a);
    if (alt.empty() || alt[0] == '#') continue;
    if (alt[0] == '$') {
      for (std::size_t k = 0; k < std::size(kDerived); ++k) {
        const auto& [derivedSpec, derivedColumn] = SpecText().derived[k];
        if (alt != derivedSpec) continue;
        int column = names.Find(0, derivedColumn);
        if (column >= 0) alternatives_.push_back({Kind::kDerived, column, kDerived[k].what, {}});
        break;
      }
    } else if (alt == SJIS("@成約日付@")) {
      alternatives_.push_back({Kind::kDealDate, 0, 0, {}});
      needsDeal_ = true;
    } else if (alt == SJIS("@成約価格@")) {
      alternatives_.push_back({Kind::kDealPrice, 1, 0, {}});
      needsDeal_ = true;
    } else if (alt[0] == '%') {
      int piece = detailHeader.Find(0, ReplaceAll(alt, "%", ""));
      if (piece >= 0) alternatives_.push_back({Kind::kDetail, piece, 0, {}});
      needsDetail_ = needsDetail_ || piece >= 0;
    } else if (alt[0] == '&') {
      if (alt == SJIS("&所在地&")) {
        Alternative joined{Kind::kAddressDetail, 0, 0, {}};
        for (const std::string& field : SpecText().address) {
          int i = detailHeader.Find(0, field);
          if (i >= 0) joined.pieces.push_back(i);
        }
        if (!joined.pieces.empty()) {
          alternatives_.push_back(joined);
          needsDetail_ = true;
        }
        continue;
      }
      for (std::size_t k = 0; k < std::size(kTransport); ++k) {
        const auto& [marker, field] = SpecText().transport[k];
        if (FindText(alt, marker) == npos) continue;
        int i = detailHeader.Find(0, field);
        if (i < 0) continue;  // the next transport rows are still tried
        alternatives_.push_back({Kind::kTransport, i, kTransport[k].piece, {}});
        needsDetail_ = true;
        break;
      }
    } else {
      int column = names.Find(0, alt);
      if (column >= 0) alternatives_.push_back({Kind::kColumn, column, 0, {}});
    }
  }
}

std::string_view CompiledSpec::Resolve(const Pieces& fields, const Pieces& detail,
                                       const Pieces& deal, ResolveScratch& scratch) const {
  for (const Alternative& a : alternatives_) {
    std::string_view value;
    switch (a.kind) {
      case Kind::kColumn:
        value = PieceAt(fields, a.index);
        break;
      case Kind::kDerived:
        value = DerivedValue(static_cast<Derived>(a.variant), a.index, PieceAt(fields, a.index),
                             scratch);
        break;
      case Kind::kDealDate:
      case Kind::kDealPrice:
        value = PieceAt(deal, a.index);
        break;
      case Kind::kDetail:
        value = PieceAt(detail, a.index);
        break;
      case Kind::kAddressDetail:
        scratch.text.clear();
        for (int i : a.pieces) scratch.text.append(PieceAt(detail, i));
        value = scratch.text;
        break;
      case Kind::kTransport:
        value = SplitPiece(PieceAt(detail, a.index), {T().minute, T().metre}, a.variant);
        break;
    }
    if (!value.empty()) return Limit(value);
  }
  return {};
}

int PropertyNumberColumn(const TextList& names) { return names.Find(0, SJIS("物件番号")); }

void LoadExtras(const ProgramState& state, int numberColumn, const Pieces& fields, Pieces* detail,
                Pieces* deal) {
  if (detail) detail->clear();
  if (deal) deal->clear();
  std::string_view number = PieceAt(fields, numberColumn);
  if (number.empty()) return;
  // An empty store needs no look-up (the closed-deal store is often empty).
  if (detail && state.detailStore.Count() > 0)
    SplitPieces(state.detailStore.GetView(number), '\t', *detail);
  if (deal && state.dealStore.Count() > 0)
    SplitPieces(state.dealStore.GetView(number), '\t', *deal);
}

std::string ResolveField(const ProgramState& state, const TextList& names, const TextList& fields,
                         std::string_view spec) {
  Pieces record, detail, deal;
  for (int i = 0; i < fields.Count(); ++i) record.push_back(fields.View(i));
  LoadExtras(state, PropertyNumberColumn(names), record, &detail, &deal);
  ResolveScratch scratch;
  return std::string(
      CompiledSpec(spec, names, state.detailHeader.lines).Resolve(record, detail, deal, scratch));
}

}  // namespace kestrova
