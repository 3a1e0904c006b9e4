// The listing pages (UTF-8 HTML): search results, closed-deal results and property details,
// in the markup the program's page parsers read.
#pragma once

#include <string>

#include "sim/listing_data.h"
#include "sim/odd_listing.h"
#include "sim/search_query.h"

namespace kestrova::sim {

inline constexpr int kMaxHitsShown = 100;

// The result page of a search: at most the first 100 hits, in table row groups. With an active
// odd listing, the first hit of a listing (not closed-deal) page is shown as the odd listing
// and remembered there.
std::string ResultPage(const ListingUniverse& universe, const SearchQuery& query,
                       OddListing* odd = nullptr);
// The page the service shows for a search form it cannot run.
std::string SearchProblemPage(const std::string& problem);
// The detail page of a property number; a "not found" page for a number it never gave out.
std::string DetailPage(const ListingUniverse& universe, const std::string& number);
// The detail page of a property as given (the odd listing's, whose number is its own).
std::string DetailPageOf(const ListingUniverse& universe, const Property& p);

}  // namespace kestrova::sim
