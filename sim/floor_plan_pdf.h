// A small one-page PDF floor plan per property: its number, type, area and a room layout
// drawn from the property's facts, with a correct cross-reference table.
#pragma once

#include <string>

#include "sim/listing_data.h"

namespace kestrova::sim {

std::string FloorPlanPdf(const Property& p);

}  // namespace kestrova::sim
