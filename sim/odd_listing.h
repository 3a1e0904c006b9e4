// The odd-number fault: the first listing of every listing result page carries a text of the
// command line as its property number, so that tests can check that the program refuses file
// names taken from page data that would leave its folder ("../../escape", "a/b", "..").
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "sim/listing_data.h"

namespace kestrova::sim {

class OddListing {
 public:
  explicit OddListing(std::string text) : text_(std::move(text)) {}

  bool Active() const { return !text_.empty(); }
  const std::string& text() const { return text_; }
  // True for the odd text as a request gives it back (bukkenNo, decoded): in UTF-8 as the
  // page showed it, or in cp932 as the program sends its texts.
  bool Matches(const std::string& number) const;

  // The listing a result page shows under the odd number. Detail and floor-plan requests for
  // that number answer with the latest one, so they show the property of the result page.
  void Remember(const ListingKey& key);
  // The latest remembered listing; before any result page, the first listing of the first
  // municipality of the table on 2011/05/01, so that a request never goes unanswered.
  ListingKey Latest(const ListingUniverse& universe) const;

  // The listing as the pages show it: the odd text (escaped for the page) as its number and
  // always a floor plan, so that a program that takes the number as a file name gets a PDF
  // to write as well as a detail page.
  Property Make(const ListingUniverse& universe, const ListingKey& key) const;

 private:
  std::string text_;
  mutable std::mutex mutex_;
  std::optional<ListingKey> latest_;
};

}  // namespace kestrova::sim
