// Where a CSV column's value comes from: a source spec of "|"-separated alternatives naming a
// record column, a value derived from one ("$"), a detail field ("%", "&") or the closed deal
// ("@").
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class TextList;
struct ProgramState;

inline constexpr std::size_t kResolvedValueLimit = 2000;  // bytes of one resolved value

struct LineStation {
  std::string line;
  std::string station;
};
// "阪急宝塚線梅田" -> "阪急宝塚線", "梅田"; "JR(東西線)北新地" -> "JR(東西線）", "北新地".
LineStation SplitLineStation(std::string_view text);

struct AddressParts {
  std::string address;
  std::string building;
  std::string floor;
};
// Address, then after a full-width space the building name with the floor digits before "階".
AddressParts SplitAddress(std::string_view text);

// The same splits as views into the text, without copying.
struct LineStationView {
  std::string_view line;     // without its closing "）" or "線"
  std::string_view closing;  // empty only for an empty text
  std::string_view station;
};
LineStationView SplitLineStationView(std::string_view text);
struct AddressView {
  std::string_view address;
  std::string_view building;
  bool hasFloor = false;
  int floor = 0;
};
AddressView SplitAddressView(std::string_view text);

// Working space of CompiledSpec::Resolve for one record: a scratch text, and the splits of the
// station and location columns, made once per record however many columns derive from them.
struct ResolveScratch {
  std::string text;
  int lineStationColumn = -1;
  LineStationView lineStation;
  int addressColumn = -1;
  AddressView address;
  void NewRecord() { lineStationColumn = addressColumn = -1; }
};

// Pieces of a text held as views into it, with TextList::Split's rule: an empty text has none.
using Pieces = std::vector<std::string_view>;
void SplitPieces(std::string_view text, char delimiter, Pieces& out);
inline std::string_view PieceAt(const Pieces& pieces, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < pieces.size() ? pieces[static_cast<std::size_t>(i)]
                                                               : std::string_view();
}

// Piece index of text split at the alternatives (each match starting at a character boundary),
// as TextList::Split would give it, without copying.
std::string_view SplitPiece(std::string_view text,
                            std::initializer_list<std::string_view> alternatives, int index);

// The first count pieces of the same split in one pass; missing pieces are empty.
void FirstPieces(std::string_view text, std::initializer_list<std::string_view> alternatives,
                 std::string_view* pieces, int count);

// A source spec compiled against one column-name list and the detail header, so a writer
// looks every name up once per type, not once per record.
class CompiledSpec {
 public:
  CompiledSpec(std::string_view spec, const TextList& names, const TextList& detailHeader);
  // The value for one record: fields is the record split at TAB, detail and deal the property's
  // store values split at TAB. The view points into the pieces or into scratch; cut at 2,000 bytes.
  // Call scratch.NewRecord() before the first column of each record.
  std::string_view Resolve(const Pieces& fields, const Pieces& detail, const Pieces& deal,
                           ResolveScratch& scratch) const;
  bool NeedsDetail() const { return needsDetail_; }
  bool NeedsDeal() const { return needsDeal_; }

  enum class Kind { kColumn, kDerived, kDealDate, kDealPrice, kDetail, kAddressDetail, kTransport };
  struct Alternative {
    Kind kind;
    int index;                // record column or detail piece
    int variant;              // which derived value, or which transport piece
    std::vector<int> pieces;  // "&所在地&": the detail pieces joined
  };

 private:
  std::vector<Alternative> alternatives_;
  bool needsDetail_ = false;
  bool needsDeal_ = false;
};

// The column of "物件番号" in a column-name list, or -1.
int PropertyNumberColumn(const TextList& names);
// The detail and closed-deal pieces of the property whose number is fields[numberColumn];
// empty when the column is absent or a store holds no entry.
void LoadExtras(const ProgramState& state, int numberColumn, const Pieces& fields, Pieces* detail,
                Pieces* deal);

// The value of one column for one record (empty when nothing resolves), at most 2,000 bytes.
std::string ResolveField(const ProgramState& state, const TextList& names, const TextList& fields,
                         std::string_view spec);

}  // namespace kestrova
