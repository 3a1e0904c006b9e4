// What an online run asks the service for. The numbers are those of the search's data kind.
#pragma once

namespace kestrova {

enum class SearchKind : int {
  kFeeCheck = 0,     // log in and read the usage fee, no search
  kListings = 1,     // listings: every result row becomes a PropertyRecord
  kClosedDeals = 3,  // closed deals: every result row gives a DealStore entry
};

}  // namespace kestrova
