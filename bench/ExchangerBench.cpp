// Calculating 10,000 exchangers one after another in one flowsheet, each between a segment of a
// hot and of a cold stream (two temperature segments each, film coefficients, shell-and-tube):
// with the duty given, and with the area given and the duty solved.
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/IFlowsheetStream.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

class BenchStream : public IFlowsheetStream {
public:
    BenchStream(const char* name, std::vector<double> points, std::vector<double> cps)
        : m_name(name), m_points(std::move(points)), m_cps(std::move(cps)) {}
    const CPString& GetName() const override { return m_name; }
    int GetStreamKind() const override { return 0; }
    int GetHotCold() const override { return m_points.front() > m_points.back() ? 0 : 1; }
    int GetNumberOfSegments() const override { return static_cast<int>(m_cps.size()); }
    int GetValue(const CPString& name, double& out, int index) const override {
        if (name == "Temperature" && index >= 0 && index < static_cast<int>(m_points.size())) out = m_points[index];
        else if (name == "HTCoeff" && index >= 0 && index < static_cast<int>(m_cps.size())) out = 0.8;
        else return 0;
        return 1;
    }
    double GetSegmentHeatCapacityFlowrate(int s) const override { return m_cps[static_cast<std::size_t>(s)]; }
    double GetSupplyTemperature() const override { return m_points.front(); }
    double GetTargetTemperature() const override { return m_points.back(); }

private:
    CPString m_name;
    std::vector<double> m_points, m_cps;
};

struct Exchangers {
    BenchStream hot{"H", {250, 150, 60}, {12, 9}};
    BenchStream cold{"C", {30, 120, 220}, {10, 14}};
    FlowSheet sheet;
    std::vector<HeatExch*> units;

    explicit Exchangers(bool areaGiven) {
        std::mt19937 rng(10000);
        std::uniform_real_distribution<double> duty(200.0, 1200.0), area(5.0, 60.0);
        for (int i = 0; i < 10000; ++i) {
            auto seg = [&](BenchStream& s, double t) {
                CNode* n = sheet.addNode(FlowSheet::CreateNode(NodeKind::MaterialStream, sheet.getDefaultNodeNameString(), &s));
                if (t > 0) n->addVariable(NodeValue::Temperature, t, 1);
                return n;
            };
            auto* x = AsHeatExch(sheet.addNode(FlowSheet::CreateNode(NodeKind::HeatExchanger, sheet.getDefaultNodeNameString())));
            sheet.connectToPort(x, 0, seg(hot, 250));
            sheet.connectToPort(x, 1, seg(hot, 0));
            sheet.connectToPort(x, 2, seg(cold, 30));
            sheet.connectToPort(x, 3, seg(cold, 0));
            x->addVariable(NodeValue::HTMaxAreaShell, 500, 1);
            if (areaGiven) x->addVariable(NodeValue::HTArea, area(rng), 1);
            else x->addVariable(NodeValue::Duty, duty(rng), 1);
            units.push_back(x);
        }
    }
};

void run(benchmark::State& state, bool areaGiven) {
    Exchangers e(areaGiven);
    for (auto _ : state) {
        int written = 0;
        for (HeatExch* x : e.units) {
            x->Calculate(UnitCode::ClearCalculated);
            written += x->Calculate(UnitCode::Calculate);
        }
        benchmark::DoNotOptimize(written);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(e.units.size()));
}

void BM_TenThousandExchangersDutyGiven(benchmark::State& state) { run(state, false); }
void BM_TenThousandExchangersAreaGiven(benchmark::State& state) { run(state, true); }

BENCHMARK(BM_TenThousandExchangersDutyGiven)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TenThousandExchangersAreaGiven)->Unit(benchmark::kMillisecond);

}  // namespace
