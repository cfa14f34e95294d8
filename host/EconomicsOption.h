#pragma once
// --economics fixed=A,area=B,exponent=C,law=shells|units,interest=I,life=N,hours=H (any subset):
// the "DEFAULT" capital cost law a + b (A/shell)^c and the economic info of the scenario.
#include <string>
#include <utility>
#include <vector>

class IHeatIntegrationScenario;

struct EconomicsOption {
    // (economic data item, value), in the order given.
    std::vector<std::pair<int, double>> items;
    bool given = false;
};

// False with the reason for an unknown key, a repeated key, a value that is no number or lies out
// of its range.
bool ParseEconomicsOption(const std::string& text, EconomicsOption& out, std::string& error);
// The pairs after argv[i] (the option --economics itself); moves i past them.
bool TakeEconomicsOption(int argc, char** argv, int& i, EconomicsOption& out, std::string& error);
void ApplyEconomicsOption(IHeatIntegrationScenario& scenario, const EconomicsOption& option);
