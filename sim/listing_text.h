// How a listing's facts are written on the pages (UTF-8): the result-table cells by field
// name, and the detail-page values by detail label.
#pragma once

#include <string>
#include <vector>

#include "sim/listing_data.h"

namespace kestrova::sim {

std::string FullWidthNumber(int n);  // 12 -> "１２"
std::string Grouped(int n);          // 12000 -> "12,000"
// Sale prices in 万円 ("1,980万円"), rents in tenths of 万円 ("8.5万円").
std::string PriceText(int priceTenThousand, bool sale);
std::string AreaText(int hundredths);  // "65.30㎡"
// The location as the result table shows it: city, ward, town and lot part separated by
// full-width spaces where the service puts them, then the building name and floor.
std::string LocationText(const Property& p);
std::string StationText(const Property& p);  // line and station: "阪急宝塚線梅田"
std::string BuiltText(const Property& p);    // "2005年3月", "昭和58年4月"
std::string TypeLabel(int typeCode);         // "売り・マンション"
std::string CategoryText(int typeCode);      // detail page 物件種目: "中古マンション"

// The result-table cell of the field name; "&nbsp;" for a name without a value.
std::string ResultValue(const Property& p, const std::string& name);
// The detail-page value of a detail field (landmarks, then the label); empty when the page
// does not show that field for this property.
std::string DetailValue(const Property& p, const std::vector<std::string>& field);

}  // namespace kestrova::sim
