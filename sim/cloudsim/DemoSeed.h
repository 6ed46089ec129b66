#pragma once
// The demo data set the database starts with (and returns to on reset). docs/cloudsim.md lists it.
#include "Database.h"

#include <ctime>

namespace cloudsim {

// Fills an empty schema. Alarms are spread over the seven days up to `now` (UTC), with more than
// one page of them on the day of `now`.
void SeedDemoData(Transaction& tx, std::time_t now);

}  // namespace cloudsim
