#pragma once
// The unit equation generators of the network calculator, by flowsheet node class:
// "htHeatExchanger" (six equations, or 71 when its area is specified: ten segments of equal
// area with a trapezoidal mean difference each, and the total), "ppTee" (2n + 1 for n branches),
// "ppMixer" (2) and "htHeater" (2, when it stands on a stream segment). Each answers 0.
class CNode;
class HENCalculator;

int GenerateExchangerEquations(HENCalculator& calculator, CNode& unit);
int GenerateSplitterEquations(HENCalculator& calculator, CNode& unit);
int GenerateMixerEquations(HENCalculator& calculator, CNode& unit);
int GenerateHeaterEquations(HENCalculator& calculator, CNode& unit);

// Enters one generator in the start-up's registry (0 exchanger, 1 tee, 2 mixer, 3 heater), only
// when its node class is absent.
void RegisterUnitEquationGenerator(int index);
