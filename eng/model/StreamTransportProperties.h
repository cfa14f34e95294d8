#pragma once
// Whether a stream carries the transport properties an operated network restates it by (its film
// coefficients follow them): thermal conductivity, viscosity, density and specific heat, each on
// every segment.
#include "eng/model/IHeatIntegrationStream.h"

inline bool HasTransportProperties(const IHeatIntegrationStream& stream) {
    for (const char* name : {"ThermalConductivity", "Viscosity", "MassDensity", "SpecificHeat"})
        for (int i = 0; i < stream.GetNumberOfSegments(); ++i) {
            double v = -32767.0;
            if (!stream.GetValue(name, v, i) || v == -32767.0) return false;
        }
    return true;
}
