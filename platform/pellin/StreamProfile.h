#pragma once
// The heat content of one side of a unit as a function of temperature, piecewise linear over
// the temperature segments of its stream: H(T) = f x integral of CP dT, with f the share of the
// stream's flow that passes (a branch carries its split fraction). Beyond the stream's first and
// last point the end segments' heat capacities carry on, so a network may run a stream past its
// target without losing its balance. Segments without width hold no heat and are skipped.
#include <vector>

class IFlowsheetStream;

class StreamProfile {
public:
    // From the stream's segments. False when it has none, or a segment with width has no
    // positive heat-capacity flow rate.
    bool Build(const IFlowsheetStream& stream, double fraction);
    // One segment of constant heat capacity (a side without a stream behind it); film
    // coefficient optional (<= 0: none).
    bool BuildConstant(double heatCapacityFlowrate, double filmCoefficient, double fraction);
    // The same as Build at `fraction` from a profile built at the full flow (BuildFullFlow):
    // the stream's segments are not read again.
    bool Scale(const StreamProfile& fullFlow, double fraction);
    // The stream's segments at the full flow, for Scale; false as Build would be.
    bool BuildFullFlow(const IFlowsheetStream& stream);

    bool Valid() const { return !m_cp.empty(); }
    double Enthalpy(double temperature) const;
    double TemperatureAt(double enthalpy) const;
    // Film coefficient of the segment that holds the temperature; 0 when the stream has none.
    double FilmCoefficientAt(double temperature) const;
    // Stream temperature points strictly between lo and hi, rising.
    void PointsBetween(double lo, double hi, std::vector<double>& out) const;

private:
    bool finish(double fraction);

    std::vector<double> m_t;     // rising temperature points
    std::vector<double> m_cp;    // per segment, times the fraction
    std::vector<double> m_h;     // heat content at each point
    std::vector<double> m_film;  // per segment, 0 when unknown
};
