// Where a CSV column's value comes from: a source spec of "|"-separated alternatives naming a
// record column, a value derived from one ("$"), a detail field ("%", "&") or the closed deal ("@").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class TextList;
struct ProgramState;

struct LineStation {
  std::string line;
  std::string station;
};
LineStation SplitLineStation(std::string_view text);

struct AddressParts {
  std::string address;
  std::string building;
  std::string floor;
};
AddressParts SplitAddress(std::string_view text);

// A source spec compiled against one column-name list and the detail header, so a writer
// resolves each column of each type once, not once per record.
class CompiledSpec {
 public:
  CompiledSpec(std::string_view spec, const TextList& names, const TextList& detailHeader);
  // fields: the record split at TAB; detail and deal: the property's store values split at TAB.
  std::string Resolve(const TextList& fields, const TextList& detail, const TextList& deal) const;

  enum class Kind { kColumn, kDerived, kDealDate, kDealPrice, kDetail, kAddressDetail, kTransport };
  struct Alternative {
    Kind kind;
    int index;    // column or detail piece; -1 when absent
    int variant;  // which derived value, or which transport piece
    std::vector<int> pieces;  // "&所在地&": the detail pieces joined
  };

 private:
  std::vector<Alternative> alternatives_;
};

// Detail and closed-deal pieces of the property whose number is in the record.
void LoadExtras(const ProgramState& state, const TextList& names, const TextList& fields,
                TextList& detail, TextList& deal);

// The value of one column for one record (empty when nothing resolves), at most 2,000 bytes.
std::string ResolveField(const ProgramState& state, const TextList& names, const TextList& fields,
                         std::string_view spec);

}  // namespace kestrova
