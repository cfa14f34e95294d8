#pragma once
// A stream as a flowsheet sees it, from temperature points and per-segment heat-capacity flow
// rates and film coefficients given outright.
#include "pellin/IFlowsheetStream.h"

#include <vector>

class FlowsheetTestStream : public IFlowsheetStream {
public:
    // points run from supply to target; cps (and films, when given) one per segment.
    FlowsheetTestStream(const char* name, std::vector<double> points, std::vector<double> cps,
                        std::vector<double> films = {}, int kind = 0)
        : m_name(name), m_points(std::move(points)), m_cps(std::move(cps)), m_films(std::move(films)), m_kind(kind) {}

    const CPString& GetName() const override { return m_name; }
    int GetStreamKind() const override { return m_kind; }
    int GetHotCold() const override { return m_points.front() > m_points.back() ? 0 : 1; }
    int GetNumberOfSegments() const override { return static_cast<int>(m_cps.size()); }
    int GetValue(const CPString& name, double& out, int index) const override {
        const std::vector<double>* v = name == "Temperature" ? &m_points : name == "HTCoeff" ? &m_films : nullptr;
        if (!v || index < 0 || index >= static_cast<int>(v->size())) return 0;
        out = (*v)[static_cast<std::size_t>(index)];
        return 1;
    }
    double GetSegmentHeatCapacityFlowrate(int segment) const override {
        return segment >= 0 && segment < static_cast<int>(m_cps.size()) ? m_cps[static_cast<std::size_t>(segment)]
                                                                         : -32767.0;
    }
    double GetSupplyTemperature() const override { return m_points.front(); }
    double GetTargetTemperature() const override { return m_points.back(); }

private:
    CPString m_name;
    std::vector<double> m_points, m_cps, m_films;
    int m_kind;
};
