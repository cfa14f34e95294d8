#include "brasko/SteamProperties.h"

#include <cstring>

double SteamCriticalProperty(const char* name) {
    if (!name) return -32767.0;
    if (std::strcmp(name, "Temperature") == 0) return 647.096;
    if (std::strcmp(name, "Pressure") == 0) return 22.064;
    if (std::strcmp(name, "Volume") == 0) return 1.0 / 322.0;
    return -32767.0;
}
