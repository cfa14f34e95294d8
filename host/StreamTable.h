#pragma once
// The stream table the host reads: a CSV file of process and utility streams, one row per
// segment. Reading it adds no engine behaviour: it only turns text into rows for the scenario.
#include <string>
#include <vector>

struct StreamTableSegment {
    int line = 0;                 // line of the file the segment came from
    double supply = -32767.0;     // °C
    double target = -32767.0;     // °C
    double cp = -32767.0;         // kW/°C
    double duty = -32767.0;       // kW
    double h = -32767.0;          // kW/(m2.°C)
    double dtminContribution = -32767.0;
    double cost = -32767.0;       // per kW.year
    // Transport properties of the segment's fluid, which an operated network needs to correct its
    // exchangers' coefficients for flow changes.
    double thermalConductivity = -32767.0;  // W/(m.°C)
    double viscosity = -32767.0;            // cP
    double density = -32767.0;              // kg/m3
    double specificHeat = -32767.0;         // kJ/(kg.°C)
    bool HasTransportProperty() const;
};

struct StreamTableStream {
    std::string name;
    bool utility = false;
    std::vector<StreamTableSegment> segments;
    // A utility row with only a name, and perhaps the approach it asks for: take the default
    // utility of that name (with that approach in place of the default's own).
    bool NameOnly() const;
};

struct StreamTable {
    std::vector<StreamTableStream> streams;
};

// A decimal number as a person types it (sign, digits, decimal point, exponent), finite; hex,
// "inf" and "nan" are not.
bool ParseTableNumber(const std::string& text, double& value);

// Reads the table. On failure answers false with a message naming the line and the problem.
bool ReadStreamTable(const std::string& text, StreamTable& table, std::string& error);
bool ReadStreamTableFile(const std::string& path, StreamTable& table, std::string& error);
