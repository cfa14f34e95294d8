#pragma once
// The user-interface framework's string, used at every view boundary.
#include "dunmor/CPString.h"

using Text = CPString;
