// The retrofit analysis object: the worked network-pinch example, the load scaling, the state
// words of its families and the lazy getters.
#include "eng/retrofit/HenRetrofit.h"

#include "RetrofitTestSupport.h"
#include "pellin/FlowSheet.h"

#include <gtest/gtest.h>

using namespace design_test;
using namespace retrofit_test;

namespace {

CPString UnitName(CNode* unit) {
    CPString name;
    unit->getVariableAsString(NodeValue::UnitOperationName, name);
    return name;
}

// The analysis of a design as the retrofit driver attaches it.
void Attach(HenRetrofit& r, CPIHENDesign& d, double dtMin = 10.0) {
    r.SetFlowSheet(d.GetFlowSheet());
    r.SetDTMin(dtMin);
    r.SetDesign(&d);
}

int NodeColumn(const HenRetrofit& r, std::uint32_t fingerprint) {
    const std::vector<NodeInfo>& nodes = r.GetNetwork().nodes;
    for (std::size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].fingerprint == fingerprint) return static_cast<int>(i);
    return -1;
}

}  // namespace

TEST(HenRetrofit, TheWorkedNetworkIsPinchedAtTheColdEndOfItsOnlyExchanger) {
    // The plant runs X at 60 kW (heater 180, cooler 140); the network can reach 80 kW.
    WorkedNetwork w;
    HenRetrofit r;
    Attach(r, *w.d);
    ASSERT_EQ(r.GetExtractionState(), HenRetrofit::kComputed);
    r.RunRetrofitPinch();
    ASSERT_EQ(r.GetDebottleneckState(), HenRetrofit::kComputed);

    // Largest temperature 160 C = 433.15 K, largest load 240 kW: 4331.5 / 240.
    const double f = r.GetLoadScalingFactor();
    EXPECT_NEAR(f, 18.0479, 5e-5);
    EXPECT_NEAR(r.GetNetwork().heaters[0].duty, 180.0 * f, 1e-9);

    // N 6 nodes, E 1, K 1, H 1: 1 + 6 + 1 + 1 + 7 + 2 x 12 interpolation columns = 40, of which
    // the 4 segment choices are integer.
    EXPECT_EQ(r.GetPinchModelWidth(), 40);
    EXPECT_EQ(r.GetPinchModelIntegerColumns(), 4);

    const std::vector<double>& s = r.GetPinchSolution();
    ASSERT_EQ(s.size(), 39u);
    EXPECT_NEAR(s[6] / f, 80.0, 1e-6);                // X
    EXPECT_NEAR(s[7] / f, 120.0, 1e-6);               // cooler
    EXPECT_NEAR(s[8], 2887.67, 0.005);                // heater, scaled
    EXPECT_NEAR(s[8] / f, 160.0, 1e-6);
    ASSERT_EQ(r.GetPinchHeaterDuties().size(), 1u);
    EXPECT_NEAR(r.GetPinchHeaterDuties()[0], 160.0 * f, 1e-6);
    const HXInfo& x = r.GetNetwork().exchangers[0];
    const double hotIn = s[NodeColumn(r, x.hotInlet)], hotOut = s[NodeColumn(r, x.hotOutlet)];
    const double coldIn = s[NodeColumn(r, x.coldInlet)], coldOut = s[NodeColumn(r, x.coldOutlet)];
    EXPECT_NEAR(Celsius(hotOut), 110.0, 1e-6);
    EXPECT_NEAR(hotOut - coldIn, 10.0, 1e-6);   // cold end: 110 - 100
    EXPECT_NEAR(hotIn - coldOut, 30.0, 1e-6);   // hot end: 150 - 120
    EXPECT_NEAR(s[9], 0.0, 1e-7);               // hot-end indicator
    EXPECT_NEAR(s[10], 1.0, 1e-7);              // cold-end indicator

    EXPECT_EQ(r.GetNumberOfBottleneckExchangers(), 1);
    EXPECT_EQ(r.GetBottleneckFingerPrints(), std::vector<std::uint32_t>{w.x->getDNAFingerPrint()});
    const std::vector<CPString>* ids = r.GetBottleneckExchangerIds();
    ASSERT_TRUE(ids);
    ASSERT_EQ(ids->size(), 1u);
    EXPECT_EQ(std::string((*ids)[0]), std::to_string(w.x->getDNAFingerPrint()));
    EXPECT_EQ(std::string(r.GetBottleneckText()), "DeBottlenecking HX are: " + std::string(UnitName(w.x)) + ".");
    EXPECT_EQ(r.GetRetrofitPinchCount(), 0);
    EXPECT_TRUE(r.IsRetrofitPinchDone());
    EXPECT_EQ(r.GetNumberOfProcessExchangers(), 1);
    EXPECT_EQ(r.GetNumberOfHeaters(), 1);
    EXPECT_EQ(r.GetNumberOfCoolers(), 1);
    // The base heater utility cost: the steam's unit cost times the heater's scaled duty.
    EXPECT_NEAR(r.GetModificationBenefit(), r.GetNetwork().hotUtilities[0].unitCost * 180.0 * f, 1e-6);
    // The design is read, never changed.
    EXPECT_EQ(Chain(*w.d, "H"), "FsXsXsE");
    EXPECT_EQ(AsHeatExch(w.x)->getLoad(), 60.0);
}

TEST(HenRetrofit, ALoadScalingFactorOfTwoDoublesStreamLoadsAndUtilityDuties) {
    RetrofitNetwork net;
    HotStrmInfo h;
    h.pointTemperatures = {400.0, 300.0};
    h.pointLoads = {0.0, 2000.0};
    ColdStrmInfo c;
    c.pointTemperatures = {290.0, 380.0};
    c.pointLoads = {0.0, 1500.0};
    net.hotStreams.push_back(h);
    net.coldStreams.push_back(c);
    HeaterInfo heater;
    heater.duty = 50.0;
    CoolerInfo cooler;
    cooler.duty = 70.0;
    HXInfo x;
    x.duty = 30.0;
    HotUtilInfo u;
    u.pointLoads = {0.0, 10.0};
    net.heaters.push_back(heater);
    net.coolers.push_back(cooler);
    net.exchangers.push_back(x);
    net.hotUtilities.push_back(u);

    RetrofitNetwork scaled = net;
    EXPECT_DOUBLE_EQ(ScaleNetworkLoads(scaled), 2.0);
    EXPECT_EQ(scaled.hotStreams[0].pointLoads, (std::vector<double>{0.0, 4000.0}));
    EXPECT_EQ(scaled.coldStreams[0].pointLoads, (std::vector<double>{0.0, 3000.0}));
    EXPECT_DOUBLE_EQ(scaled.heaters[0].duty, 100.0);
    EXPECT_DOUBLE_EQ(scaled.coolers[0].duty, 140.0);
    EXPECT_DOUBLE_EQ(scaled.exchangers[0].duty, 30.0);
    EXPECT_EQ(scaled.hotUtilities[0].pointLoads, (std::vector<double>{0.0, 10.0}));
    EXPECT_EQ(scaled.hotStreams[0].pointTemperatures, h.pointTemperatures);

    // Loads already ten times the largest temperature: factor 1, nothing scaled.
    EXPECT_DOUBLE_EQ(ScaleNetworkLoads(scaled), 1.0);
    EXPECT_DOUBLE_EQ(scaled.heaters[0].duty, 100.0);
}

TEST(HenRetrofit, AnAnalysisThatCannotRunIsNotDone) {
    // Without a cooler the extraction refuses the network, and nothing after it runs.
    WorkedNetwork w(true, false);
    HenRetrofit r;
    Attach(r, *w.d);
    EXPECT_EQ(r.GetExtractionState(), HenRetrofit::kFailed);
    r.RunRetrofitPinch();
    EXPECT_FALSE(r.IsRetrofitPinchDone());
    EXPECT_EQ(r.GetDebottleneckState(), HenRetrofit::kFailed);
    EXPECT_FALSE(r.IsRetrofitPinchDone());
    EXPECT_EQ(r.GetNumberOfBottleneckExchangers(), 0);
    EXPECT_EQ(std::string(r.GetBottleneckText()), "");
    EXPECT_FALSE(r.GetBottleneckExchangerIds());
    EXPECT_EQ(r.GetSetUpState(), HenRetrofit::kFailed);
    // A fresh object asked first also runs the analysis and answers its failure.
    HenRetrofit fresh;
    Attach(fresh, *w.d);
    EXPECT_FALSE(fresh.IsRetrofitPinchDone());
}

TEST(HenRetrofit, ARepeatedRunKeepsTheResultsAndANewFlowsheetStartsOver) {
    WorkedNetwork w;
    HenRetrofit r;
    Attach(r, *w.d);
    // Lazy: the count runs the analysis.
    EXPECT_EQ(r.GetNumberOfBottleneckExchangers(), 1);
    r.RunRetrofitPinch();
    r.RunRetrofitPinch();
    EXPECT_EQ(r.GetNumberOfBottleneckExchangers(), 1);
    EXPECT_TRUE(r.GetBottleneckExchangerIds());

    ASSERT_TRUE(r.SetFlowSheet(w.d->GetFlowSheet()));
    EXPECT_EQ(r.GetExtractionState(), HenRetrofit::kNotComputed);
    EXPECT_EQ(r.GetDebottleneckState(), HenRetrofit::kNotComputed);
    EXPECT_EQ(r.GetNumberOfProcessExchangers(), 0);
    EXPECT_EQ(r.GetLoadScalingFactor(), 1.0);
    EXPECT_TRUE(r.GetBottleneckFingerPrints().empty());
    EXPECT_EQ(std::string(r.GetBottleneckText()), "");  // no design attached: the analysis fails
    r.SetFlowSheet(w.d->GetFlowSheet());
    r.SetDTMin(10.0);
    ASSERT_TRUE(r.SetDesign(w.d));
    EXPECT_TRUE(r.IsRetrofitPinchDone());
    EXPECT_EQ(r.GetNumberOfBottleneckExchangers(), 1);
}

namespace {

// A modification model with fixed results; a zero result stays zero through every run.
struct FixedModel : ModificationModel {
    FixedModel(std::array<int, 9> r, int& runs) : results(r), runs(runs) {}
    bool RunSteps() override {
        ++runs;
        return true;
    }
    bool IsGood() const override { return true; }
    int Result(int index) const override { return results[static_cast<std::size_t>(index)]; }
    int HistoryEntry(int index) const override { return 700 + index; }
    double SolveValue() const override { return 500.0; }
    const std::vector<double>* HeaterValues() override { return &values; }
    std::array<int, 9> results;
    int& runs;
    std::vector<double> values{2.0};
};

struct FixedModels : HenRetrofit {
    std::unique_ptr<ModificationModel> CreateModificationModel(ModificationKind kind) override {
        ++created;
        std::array<int, 9> r{11, 12, 13, 14, 21, 22, 23, 24, 99};
        if (kind == ModificationKind::Repiping) r[3] = 0;  // no cold location
        return std::make_unique<FixedModel>(r, runs);
    }
    int created = 0;
    int runs = 0;
};

}  // namespace

TEST(HenRetrofit, ModificationGettersRunTheirFamilyOnceAndKeepItsResults) {
    WorkedNetwork w;
    FixedModels r;
    Attach(r, *w.d);
    r.RunRetrofitPinch();
    r.SetNumberOfPreviousModifications(2);
    const int history[5] = {1, 2, 3, 4, 5};
    r.SetResequenceHistory(history);

    // Two getters answer what is kept and never run the family.
    EXPECT_EQ(r.GetResequenceHotLocation(), 0);
    EXPECT_EQ(r.GetResequenceOriginResult1(), 0);
    EXPECT_EQ(r.created, 0);
    EXPECT_EQ(r.GetResequenceResult2(), 12);
    EXPECT_EQ(r.created, 1);
    EXPECT_EQ(r.runs, 1);
    EXPECT_EQ(r.GetResequenceHotLocation(), 11);
    EXPECT_EQ(r.GetResequenceOriginResult1(), 21);
    EXPECT_EQ(r.GetResequencedExchangerId(), 99);
    EXPECT_TRUE(r.RunResequencing());
    EXPECT_EQ(r.created, 1);
    // The history entry of this step, the others as handed over.
    EXPECT_EQ(r.GetResequenceHistory(2), 702);
    EXPECT_EQ(r.GetResequenceHistory(4), 5);
    // The model's duty back in kW, and the indicator from its per-heater values.
    const double f = r.GetLoadScalingFactor();
    EXPECT_NEAR(r.GetModificationDuty(), 500.0 / f, 1e-9);
    EXPECT_NEAR(r.GetResequenceIndicator(), r.GetNetwork().hotUtilities[0].unitCost * 2.0, 1e-12);

    // A family whose cold location stays 0 fails, after running the model again for it, but its
    // history and duty are written.
    r.SetModificationDuty(0.0);
    EXPECT_FALSE(r.RunRepiping());
    EXPECT_EQ(r.runs, 3);
    EXPECT_EQ(r.GetFamilyState(ModificationKind::Repiping), HenRetrofit::kFailed);
    EXPECT_EQ(r.GetRepipeHotLocation(), 0);
    EXPECT_EQ(r.GetRepipeHistory(2), 702);
    EXPECT_NEAR(r.GetModificationDuty(), 500.0 / f, 1e-9);
    EXPECT_EQ(r.created, 2);

    // Without a model the family fails.
    HenRetrofit plain;
    Attach(plain, *w.d);
    EXPECT_FALSE(plain.RunNewExchangerAddition());
    EXPECT_EQ(plain.GetNewExchangerHotLocation(), 0);
    EXPECT_EQ(plain.GetFamilyState(ModificationKind::NewExchanger), HenRetrofit::kFailed);
}
