#include "brasko/CaseDamage.h"

#include <cstdio>

namespace {
thread_local std::string t_damage;
}

void ClearCaseDamage() { t_damage.clear(); }

bool NoteCaseDamage(const std::string& what) {
    if (t_damage.empty()) t_damage = what;
    return false;
}

const std::string& CaseDamage() { return t_damage; }

std::string CaseDamageValue(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}
