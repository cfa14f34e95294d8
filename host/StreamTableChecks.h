#pragma once
// What a stream table must hold before it goes to a scenario: values in their physical range,
// segments that continue each other in one direction, and the columns of a row in agreement. Each
// refusal names the line, the stream and the column in the user's terms.
#include "eng/model/StreamValueLimits.h"
#include "host/StreamTable.h"

#include <string>

// The ranges are those of every entry of stream values (the forms check the same).
namespace StreamTableLimits {
using namespace StreamValueLimits;
}  // namespace StreamTableLimits

// Checks one number read from column `column`: false with a message for a value outside the
// column's range.
bool CheckStreamTableValue(const char* column, double value, std::string& error);

// Checks the table as a whole (each stream's segments and the columns of each row).
bool CheckStreamTable(const StreamTable& table, std::string& error);
