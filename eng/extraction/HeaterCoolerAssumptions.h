#pragma once
// The report's assumption of the utility each heater and cooler of the existing network stands
// on. The extraction writes it; a unit given another utility (by hand in the extraction wizard, or
// moved by a refresh) has it written again, so that it never names a utility the unit left.
class IHeatIntegrationScenario;

// Writes "Assumptions:Heaters_and_coolers" afresh from the scenario's design of the existing
// network as it stands: a line per unit, utility by utility in the scenario's order. Nothing is
// done where the report holds no such entry (no extraction made this scenario's report).
void RestateHeaterAndCoolerAssumptions(IHeatIntegrationScenario& scenario);
