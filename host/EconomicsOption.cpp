#include "host/EconomicsOption.h"

#include "brasko/DefaultUtilityTypes.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "host/StreamTable.h"

#include <cmath>
#include <cstdio>

namespace {

struct Key {
    const char* name;
    int item;
    double low, high;      // allowed range, both ends included
    bool lowOpen;          // the low end itself is not allowed
    const char* range;     // as the refusal states it
};

// Ranges of what a cost law and a plant's economics can sensibly be.
const Key kKeys[] = {
    {"fixed", EDT_FixedCostPerUnit, 0.0, 1e12, false, "from 0 to 1e12"},
    {"area", EDT_AreaCostCoefficient, 0.0, 1e12, false, "from 0 to 1e12"},
    {"exponent", EDT_AreaExponent, 0.0, 2.0, true, "above 0 and at most 2"},
    {"interest", EDT_RateOfReturn, 0.0, 1.0, false, "a fraction from 0 to 1"},
    {"life", EDT_PlantLife, 0.0, 100.0, true, "above 0 and at most 100 years"},
    {"hours", EDT_OperatingHours, 0.0, 8784.0, true, "above 0 and at most 8784 hours a year"},
};

}  // namespace

bool ParseEconomicsOption(const std::string& text, EconomicsOption& out, std::string& error) {
    out = EconomicsOption{};
    out.given = true;
    std::vector<int> seen;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = text.find(',', at);
        const std::string part = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        at = comma == std::string::npos ? text.size() + 1 : comma + 1;
        const std::size_t eq = part.find('=');
        if (part.empty() || eq == std::string::npos || eq == 0 || eq + 1 == part.size()) {
            error = "--economics needs KEY=VALUE pairs separated by commas (fixed, area, exponent, law, interest, "
                    "life, hours)";
            return false;
        }
        const std::string key = part.substr(0, eq), value = part.substr(eq + 1);
        int item = -1;
        double v = 0.0;
        if (key == "law") {
            if (value != "shells" && value != "units") {
                error = "--economics law must be shells or units (got " + value + ")";
                return false;
            }
            item = EDT_CostLaw;
            v = value == "shells" ? 0.0 : 1.0;
        } else {
            const Key* k = nullptr;
            for (const Key& c : kKeys)
                if (key == c.name) k = &c;
            if (!k) {
                error = "--economics: unknown key " + key + " (fixed, area, exponent, law, interest, life, hours)";
                return false;
            }
            if (!ParseTableNumber(value.c_str(), v) || !std::isfinite(v) || v < k->low || v > k->high ||
                (k->lowOpen && v == k->low)) {
                error = "--economics " + key + " must be " + k->range + " (got " + value + ")";
                return false;
            }
            item = k->item;
        }
        for (int s : seen)
            if (s == item) {
                error = "--economics gives " + key + " twice";
                return false;
            }
        seen.push_back(item);
        out.items.emplace_back(item, v);
    }
    return true;
}

void ApplyEconomicsOption(IHeatIntegrationScenario& scenario, const EconomicsOption& option) {
    for (const auto& [item, value] : option.items) scenario.SetEconomicData(item, value, "DEFAULT");
}

bool TakeEconomicsOption(int argc, char** argv, int& i, EconomicsOption& out, std::string& error) {
    if (i + 1 >= argc) {
        error = "--economics needs KEY=VALUE pairs";
        return false;
    }
    return ParseEconomicsOption(argv[++i], out, error);
}
