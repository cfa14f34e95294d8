#pragma once
// Properties of water and steam. The critical point is that of the IAPWS formulation.

// "Temperature" 647.096 K, "Pressure" 22.064 MPa, "Volume" 1/322 m3/kg; -32767.0 (empty) for any
// other name or a null one.
double SteamCriticalProperty(const char* name);
