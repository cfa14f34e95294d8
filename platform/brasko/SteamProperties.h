#pragma once
// Properties of water and steam. The critical point is that of the IAPWS formulation; boiling
// points and enthalpies come from IAPWS-IF97 (IF97.h), regions 1, 2 and 4.
//
// Pressures are in kPa, temperatures in K, enthalpies in kJ/kmol (molar mass 18.015268 kg/kmol)
// on IF97's reference state. A state no equation here covers answers -32767.0, the empty value.

// "Temperature" 647.096 K, "Pressure" 22.064 MPa, "Volume" 1/322 m3/kg; -32767.0 (empty) for any
// other name or a null one.
double SteamCriticalProperty(const char* name);

// Saturation temperature at the pressure divided by the critical temperature. From the triple
// point's pressure (0.611213 kPa) to the critical pressure.
double Steam67ReducedBPCalcT(double pressureKPa);

// Enthalpy of the liquid (phase 1, region 1: 273.15 K to 623.15 K) or of the vapour (phase 0,
// region 2: 273.15 K to 1073.15 K, below the B23 line above 623.15 K), up to 100 MPa. Each phase
// is taken up to 1 K past the saturation line into the other phase's side (a slightly
// superheated liquid or subcooled vapour): a boiling point worked out from a pressure lands on
// either side of the line by rounding, and a vapour just below its boiling point is still asked
// for. Region 3 near the critical point and any other phase number answer empty.
double SteamEnthalpyCalcTPi(double temperatureK, double pressureKPa, int phase);
