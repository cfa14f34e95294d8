#pragma once
// JSON string and number writing shared by the module's reports (view scripts, plot descriptions).
#include "lumeth/Text.h"

Text ViewJsonText(const Text& s);
Text ViewJsonNumber(double v);
