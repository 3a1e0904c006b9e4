#include "sim/odd_listing.h"

#include "foundation/platform/platform.h"
#include "sim/civil_date.h"
#include "sim/service_pages.h"

namespace kestrova::sim {

bool OddListing::Matches(const std::string& number) const {
  return Active() && (number == text_ || platform::Cp932ToUtf8(number) == text_);
}

void OddListing::Remember(const ListingKey& key) {
  std::lock_guard lock(mutex_);
  latest_ = key;
}

ListingKey OddListing::Latest(const ListingUniverse& universe) const {
  {
    std::lock_guard lock(mutex_);
    if (latest_) return *latest_;
  }
  const auto& municipalities = universe.tables().municipalities;
  std::string code = municipalities.empty() ? std::string() : municipalities.begin()->first;
  return {code, DayNumber({2011, 5, 1}), 0};
}

Property OddListing::Make(const ListingUniverse& universe, const ListingKey& key) const {
  Property p = universe.Make(key);
  // The pages put the number into the markup as it stands; the other texts are the sim's own
  // and need no escaping, this one comes from the command line.
  p.number = HtmlEscaped(text_);
  p.hasFloorPlan = true;
  return p;
}

}  // namespace kestrova::sim
