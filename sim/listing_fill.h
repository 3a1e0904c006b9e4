// Fills every field of a synthetic listing from its random stream: location, transport,
// price, areas, building facts, terms and the member who listed it.
#pragma once

#include "sim/listing_data.h"
#include "sim/sim_random.h"

namespace kestrova::sim {

// p.key, p.number, p.typeCode and p.closingDay are set; m is the municipality (the ward, for
// a designated city searched as a whole).
void FillProperty(Property& p, const Municipality& m, Rng& rng);

bool IsSale(int typeCode);
bool IsLand(int typeCode);       // 11, 21
bool IsHouse(int typeCode);      // 12, 22
bool IsCondo(int typeCode);      // 13, 23
bool IsWhole(int typeCode);      // 14, 24
bool IsPart(int typeCode);       // 15, 25
bool HasBuilding(int typeCode);  // everything but land

}  // namespace kestrova::sim
