// The retrofit driver, end to end through the scenario's stepwise run and on its own: the new
// exchanger written into the new design, the result codes of the modes, the solver log, the duty
// margin of a new exchanger, and the choice between a heater and a cooler of equal saving.
#include "eng/retrofit/PinchRetrofitDriver.h"

#include "RetrofitTestSupport.h"
#include "eng/design/HENDesignChain.h"
#include "eng/retrofit/HenRetrofit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace design_test;
using namespace retrofit_test;

namespace {

std::vector<std::string> DesignNames(const IHeatIntegrationScenario& s) {
    std::vector<std::string> names;
    for (int i = 0; i < s.GetNumberOfDesigns(); ++i) names.emplace_back(s.GetDesignName(i));
    return names;
}

bool FileExists(const std::string& path) { return std::ifstream(path).good(); }

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
std::string FileContents(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The exchanger of the design that bears the unit name.
CNode* UnitNamed(const IHENDesign& design, const char* name) {
    CNode* unit = nullptr;
    for (int i = 0; name && design.GetHeatExchanger(i, unit); ++i) {
        CPString own;
        unit->getVariableAsString(NodeValue::UnitOperationName, own);
        if (own == name) return unit;
    }
    return nullptr;
}

double ValueOf(CNode* unit, const char* name) {
    double v = -1.0;
    return unit && unit->getVariableAsDouble(name, v) ? v : -1.0;
}

// The name of the stream a side of an exchanger runs on.
std::string SideStream(CNode* unit, int side) {
    HeatExch* x = AsHeatExch(unit);
    CPString name;
    if (x && x->getInlet(side)) x->getInlet(side)->getVariableAsString(NodeValue::ParentStream, name);
    return std::string(name);
}

// The analysis of the driver with some answers replaced.
class ScriptedAnalysis : public HenRetrofit {
public:
    std::function<bool()> runNewExchanger;
    double duty = -1.0, indicator = -1.0, benefit = -1.0;
    bool scriptSavings = false;
    std::vector<double> heaterSavings, coolerSavings;
    std::vector<std::uint32_t> heaterIds, coolerIds;
    std::vector<CPString> heaterNames, coolerNames;

    bool RunNewExchangerAddition() override {
        return runNewExchanger ? runNewExchanger() : HenRetrofit::RunNewExchangerAddition();
    }
    double GetModificationDuty() const override { return duty >= 0 ? duty : HenRetrofit::GetModificationDuty(); }
    double GetNewExchangerIndicator() const override {
        return indicator >= 0 ? indicator : HenRetrofit::GetNewExchangerIndicator();
    }
    double GetModificationBenefit() const override {
        return benefit >= 0 ? benefit : HenRetrofit::GetModificationBenefit();
    }
    // A scripted move: the exchanger and its hot and cold locations (0: the model's own answer).
    std::uint32_t moved = 0, hotLocation = 0, coldLocation = 0;
    bool RunRepiping() override { return moved ? true : HenRetrofit::RunRepiping(); }
    int GetRepipedExchangerId() override { return moved ? static_cast<int>(moved) : HenRetrofit::GetRepipedExchangerId(); }
    int GetRepipeHotLocation() override { return moved ? static_cast<int>(hotLocation) : HenRetrofit::GetRepipeHotLocation(); }
    int GetRepipeColdLocation() override { return moved ? static_cast<int>(coldLocation) : HenRetrofit::GetRepipeColdLocation(); }
    int GetRepipeResult2() override { return moved ? static_cast<int>(coldLocation) : HenRetrofit::GetRepipeResult2(); }
    int GetRepipeResult3() override { return moved ? static_cast<int>(hotLocation) : HenRetrofit::GetRepipeResult3(); }
    bool RunResequencing() override { return moved ? true : HenRetrofit::RunResequencing(); }
    int GetResequencedExchangerId() override {
        return moved ? static_cast<int>(moved) : HenRetrofit::GetResequencedExchangerId();
    }
    int GetResequenceHotLocation() const override {
        return moved ? static_cast<int>(hotLocation) : HenRetrofit::GetResequenceHotLocation();
    }
    int GetResequenceColdLocation() override {
        return moved ? static_cast<int>(coldLocation) : HenRetrofit::GetResequenceColdLocation();
    }
    int GetResequenceResult2() override { return moved ? static_cast<int>(coldLocation) : HenRetrofit::GetResequenceResult2(); }
    int GetResequenceResult3() override { return moved ? static_cast<int>(hotLocation) : HenRetrofit::GetResequenceResult3(); }
    double GetResequenceIndicator() const override { return indicator >= 0 ? indicator : HenRetrofit::GetResequenceIndicator(); }

    bool CalculateUtilityExchangerSavings() override {
        return scriptSavings || HenRetrofit::CalculateUtilityExchangerSavings();
    }
    bool HasHeaterSavings() const override { return scriptSavings || HenRetrofit::HasHeaterSavings(); }
    bool HasCoolerSavings() const override { return scriptSavings || HenRetrofit::HasCoolerSavings(); }
    const std::vector<double>* GetHeaterSavings() override {
        return scriptSavings ? &heaterSavings : HenRetrofit::GetHeaterSavings();
    }
    const std::vector<double>* GetCoolerSavings() override {
        return scriptSavings ? &coolerSavings : HenRetrofit::GetCoolerSavings();
    }
    const std::vector<std::uint32_t>* GetHeaterExchangerIds() override {
        return scriptSavings ? &heaterIds : HenRetrofit::GetHeaterExchangerIds();
    }
    const std::vector<std::uint32_t>* GetCoolerExchangerIds() override {
        return scriptSavings ? &coolerIds : HenRetrofit::GetCoolerExchangerIds();
    }
    const std::vector<CPString>* GetHeaterAlternativeUtilityNames() override {
        return scriptSavings ? &heaterNames : HenRetrofit::GetHeaterAlternativeUtilityNames();
    }
    const std::vector<CPString>* GetCoolerAlternativeUtilityNames() override {
        return scriptSavings ? &coolerNames : HenRetrofit::GetCoolerAlternativeUtilityNames();
    }
};

class ScriptedDriver : public PinchRetrofitDriver {
public:
    std::function<void(ScriptedAnalysis&)> script;

protected:
    std::unique_ptr<IHenRetrofit> CreateAnalysis() override {
        auto analysis = std::make_unique<ScriptedAnalysis>();
        if (script) script(*analysis);
        return analysis;
    }
};

// The driver run on its own over a copy of the base design, as the scenario makes it.
struct DriverRun {
    explicit DriverRun(ThreeStreamNetwork& network, int mode) : n(network) {
        n.scenario->SetRetrofitBaseDesign("D1");
        n.scenario->AddDesign("D1-1N-1");
        IHENDesign* made = nullptr;
        n.scenario->GetDesign(CPString("D1-1N-1"), made);
        created = dynamic_cast<CPIHENDesign*>(made);
        created->MarkAsExistingNetwork();
        n.d->CopyTo(*created);
        settings.pBaseFlowSheet = n.d->GetFlowSheet();
        settings.strBaseDesignName = "D1";
        settings.dDTmin = n.d->GetDTMin();
        settings.nMode = mode;
    }
    int Run(PinchRetrofitDriver& driver) { return driver.Run(settings, *created); }
    // The exchanger the new-exchanger step added (named in stored text B).
    CNode* NewExchanger() const { return UnitNamed(*created, created->GetStoredTextB()); }
    ThreeStreamNetwork& n;
    CPIHENDesign* created = nullptr;
    ScenarioRetrofitSettings settings;
};

}  // namespace

// Mode 0 on the three-stream network: the model's one gainful exchanger (20 kW from H2 in front of
// its cooler into C in front of X) is built into the new design; the area check, met at once
// without exchangers held to a minimum area, then takes 1 kW off the named exchanger.
TEST(RetrofitDriver, NewExchangerIsBuiltIntoTheNewDesign) {
    PrivateTempDir logs;
    AcceptingProvider optimiser;
    ThreeStreamNetwork n(std::make_shared<ProvidedDesignFactory>(&optimiser), "CW2");
    DriverRun run(n, 0);
    PinchRetrofitDriver driver;
    const int before = run.created->GetNumberOfHeatExchangers();
    EXPECT_EQ(run.Run(driver), PinchRetrofitDriver::NewExchangerAdded);
    EXPECT_EQ(run.created->GetNumberOfHeatExchangers(), before + 1);
    CNode* added = run.NewExchanger();
    ASSERT_TRUE(added);
    EXPECT_EQ(SideStream(added, 0), "H2");
    EXPECT_EQ(SideStream(added, 1), "C");
    EXPECT_NEAR(ValueOf(added, "Duty"), 19.0, 1e-9);
    EXPECT_EQ(added->getVariableStatus("Duty"), ValueStatus::Specified);
    EXPECT_EQ(ValueOf(added, "DTMin"), n.d->GetDTMin());
    EXPECT_EQ(optimiser.runs, 1);
    EXPECT_NE(run.settings.newExchangerHistory[0], 0);
    EXPECT_EQ(std::string(run.created->GetStoredTextA()), "DeBottlenecking HX are: E-100.");
    // The base design is left as it was.
    EXPECT_EQ(n.d->GetNumberOfHeatExchangers(), before);
    EXPECT_TRUE(driver.SolverLogPath().empty());
    EXPECT_EQ(std::vector<std::string>{}, logs.Names());
}

// Through the scenario's stepwise run: without an optimiser the area check fails, the step
// answers 26 and its design goes again; the logs are gone afterwards.
TEST(RetrofitDriver, WithoutAnOptimiserTheAreaCheckFailsAndTheStepIsDropped) {
    PrivateTempDir logs;
    ThreeStreamNetwork n(std::make_shared<ProvidedDesignFactory>(nullptr), "CW2");
    n.scenario->SetRetrofitBaseDesign("D1");
    n.scenario->SetLevelSetting2(1);
    n.scenario->RetrofitDesign(n.d, 0);
    EXPECT_EQ(n.scenario->GetRetrofitStepStatus(0), PinchRetrofitDriver::OptimisationFailed);
    EXPECT_EQ(DesignNames(*n.scenario), std::vector<std::string>{"D1"});
    EXPECT_TRUE(n.scenario->RetrofitLogPath().empty());
    EXPECT_EQ(std::vector<std::string>{}, logs.Names());
}

// The heater and coolers at specified duties (180, 140 and 60 kW), a budget that covers any step,
// and one run of the new-exchanger mode on base design D1.
static void RunOnSpecifiedDuties(ThreeStreamNetwork& n) {
    n.scenario->SetOptimizerEconomicParameter(1e9);
    for (auto [unit, duty] : {std::pair{n.heater, 180.0}, std::pair{n.cooler, 140.0}, std::pair{n.cooler2, 60.0}})
        unit->addVariable("Duty", duty, ValueStatus::Specified);
    n.d->ProcessChange(17, CPString(), nullptr);
    n.scenario->SetRetrofitBaseDesign("D1");
    n.scenario->SetLevelSetting2(1);
    n.scenario->RetrofitDesign(n.d, 0);
}

// Through the scenario on a plant whose heater and coolers run at specified duties (180, 140 and
// 60 kW, as a table of an existing network gives them), with an optimiser that accepts the area
// check: the model's 20 kW exchanger from H2 into C, lowered by 1 kW after the check, leaves C
// 19 kW less for the heater and H2 19 kW less for its cooler. The step is kept with code 7: hot
// utility 180 - 19 = 161 kW, cold 140 + 60 - 19 = 181 kW; the base design keeps its duties. The
// scenario's budget covers the new exchanger's capital (at 0 no step that costs anything is kept).
TEST(RetrofitDriver, ThroughTheScenarioTheHeaterFollowsTheNewExchangerAndTheStepIsKept) {
    PrivateTempDir logs;
    AcceptingProvider optimiser;
    ThreeStreamNetwork n(std::make_shared<ProvidedDesignFactory>(&optimiser), "CW2");
    RunOnSpecifiedDuties(n);

    EXPECT_EQ(n.scenario->GetRetrofitStepStatus(0), PinchRetrofitDriver::NewExchangerAdded);
    ASSERT_EQ(DesignNames(*n.scenario), (std::vector<std::string>{"D1", "D1-1N-1"}));
    IHENDesign* step = nullptr;
    ASSERT_TRUE(n.scenario->GetDesign(CPString("D1-1N-1"), step));
    EXPECT_NEAR(ValueOf(UnitNamed(*step, step->GetStoredTextB()), "Duty"), 19.0, 0.01);
    EXPECT_NEAR(step->GetTotalUtilityLoad(0), 161.0, 0.01);
    EXPECT_NEAR(step->GetTotalUtilityLoad(1), 181.0, 0.01);
    CNode* heater = step->GetNodeByFingerPrint(n.heater->getDNAFingerPrint());
    EXPECT_NEAR(ValueOf(heater, "Duty"), 161.0, 0.01);
    EXPECT_EQ(heater->getVariableStatus("Duty"), ValueStatus::Calculated);
    EXPECT_EQ(n.heater->getVariableStatus("Duty"), ValueStatus::Specified);
    EXPECT_NEAR(n.d->GetTotalUtilityLoad(0), 180.0, 1e-9);
}

// The step's result through the scenario, as it stands after edits: the base takes no new
// exchanger (it keeps the structure every result is measured against), the result's added area
// follows a change of its new exchanger's duty (all of a new unit's area is added), and a result
// the user renames is no longer the run's to report or delete.
TEST(RetrofitDriver, TheResultFollowsItsEditsAndARenamedResultIsTheUsers) {
    PrivateTempDir logs;
    AcceptingProvider optimiser;
    ThreeStreamNetwork n(std::make_shared<ProvidedDesignFactory>(&optimiser), "CW2");
    RunOnSpecifiedDuties(n);
    IHENDesign* step = nullptr;
    ASSERT_TRUE(n.scenario->GetDesign(CPString("D1-1N-1"), step));
    EXPECT_EQ(n.scenario->GetRetrofitRunResult(n.d, 0), step);
    EXPECT_EQ(n.scenario->GetRetrofitRunMode(n.d), 0);

    EXPECT_EQ(nullptr, n.d->AddHeatExchanger(NthSegment(*n.d, "H2", 0), NthSegment(*n.d, "C", 0), nullptr, nullptr, nullptr));
    EXPECT_EQ(4, n.d->GetNumberOfHeatExchangers());

    CNode* added = UnitNamed(*step, step->GetStoredTextB());
    ASSERT_NE(nullptr, added);
    added->addVariable("Duty", 10.0, ValueStatus::Specified);
    step->ProcessChange(17, CPString(), nullptr);
    EXPECT_NEAR(ValueOf(added, "AddArea"), ValueOf(added, "HTArea"), 1e-9);
    EXPECT_GT(ValueOf(added, "HTArea"), 0.0);
    double sum = 0.0;
    CNode* unit = nullptr;
    for (int i = 0; step->GetHeatExchanger(i, unit); ++i) {
        CNode* twin = n.d->GetNodeByFingerPrint(unit->getDNAFingerPrint());
        const double grown = ValueOf(unit, "HTArea") - (twin ? ValueOf(twin, "HTArea") : 0.0);
        EXPECT_NEAR(std::max(0.0, grown), ValueOf(unit, "AddArea"), 1e-9) << i;
        sum += ValueOf(unit, "AddArea");
    }
    EXPECT_NEAR(sum, step->GetTotalAddedArea(), 1e-9);

    ASSERT_EQ(1, n.scenario->RenameDesign(CPString("D1-1N-1"), CPString("Mine")));
    EXPECT_EQ(nullptr, n.scenario->GetRetrofitRunResult(n.d, 0));
    EXPECT_EQ(-1, n.scenario->GetRetrofitRunMode(n.d));
}

// A new exchanger the model sees no utility saving in gets a 5 kW margin when its duty is above
// 5 kW. Whatever the model answers, the duty written is at most what H2 (in at 130 C, CP 1) and C
// (in at 100 C, CP 4) allow at DTmin 10: H2 down to 110 C, 20 kW. The model's own answer lies
// a balance tolerance above it (20.005 kW).
TEST(RetrofitDriver, NewExchangerDutyMargin) {
    PrivateTempDir logs;
    struct Case {
        double modelDuty, indicator, written;
    };
    for (const Case& c : std::vector<Case>{
             {7.5, 0.0, 2.5}, {5.0, 0.0, 5.0}, {20.0, 0.0, 15.0}, {20.005, 1.0, 20.0}, {26.0, 0.0, 20.0}, {19.0, 1.0, 19.0}}) {
        SCOPED_TRACE(c.modelDuty);
        ThreeStreamNetwork n(std::make_shared<ProvidedDesignFactory>(nullptr), "CW2");
        DriverRun run(n, 0);
        ScriptedDriver driver;
        driver.script = [&](ScriptedAnalysis& a) {
            a.duty = c.modelDuty;
            a.indicator = c.indicator;
        };
        // No optimiser: the area check fails after the exchanger is written.
        EXPECT_EQ(run.Run(driver), PinchRetrofitDriver::OptimisationFailed);
        ASSERT_TRUE(run.NewExchanger());
        EXPECT_NEAR(ValueOf(run.NewExchanger(), "Duty"), c.written, 1e-9);
    }
}

TEST(RetrofitDriver, ZeroBenefitEndsBeforeAnyEdit) {
    PrivateTempDir logs;
    ThreeStreamNetwork n(nullptr, "CW2");
    DriverRun run(n, 0);
    const int units = run.created->GetNumberOfHeatExchangers();
    ScriptedDriver driver;
    driver.script = [](ScriptedAnalysis& a) { a.benefit = 0.0; };
    EXPECT_EQ(run.Run(driver), PinchRetrofitDriver::NoNewExchanger);
    EXPECT_EQ(run.created->GetNumberOfHeatExchangers(), units);
    EXPECT_STREQ(run.created->GetStoredTextB(), "");
}

// The solver's log: read after a failed model run from the run's own directory, which goes with
// the run. A file of that name planted in the temporary directory is neither read nor removed.
TEST(RetrofitDriver, SolverLogDecidesTheCodeOfAFailedRun) {
    PrivateTempDir logs;
    const std::string planted = logs.Path() + "/Datafile.LOG";
    struct Case {
        const char* what;
        const char* plantedLog;   // in the temporary directory before the run (null: none)
        const char* writtenLog;   // written by the failing solve (null: none)
        int expected;
    };
    for (const Case& c : {Case{"error logged", nullptr, "solve\n[Error Code:  108]\n", 0},
                          Case{"other error", nullptr, "[Error Code: 108]", 5},
                          Case{"no log", nullptr, nullptr, 5},
                          Case{"planted log", "[Error Code:  108]", nullptr, 5}}) {
        SCOPED_TRACE(c.what);
        ThreeStreamNetwork n(nullptr, "CW2");
        DriverRun run(n, 0);
        if (c.plantedLog) WriteFile(planted, c.plantedLog);
        PinchRetrofitDriver* running = nullptr;
        std::string during;
        ScriptedDriver driver;
        running = &driver;
        driver.script = [&](ScriptedAnalysis& a) {
            a.runNewExchanger = [&] {
                during = running->SolverLogPath();
                if (c.writtenLog) WriteFile(during, c.writtenLog);
                return false;
            };
        };
        EXPECT_EQ(run.Run(driver), c.expected);
        EXPECT_NE(planted, during);
        EXPECT_FALSE(FileExists(during));
        EXPECT_EQ(c.plantedLog != nullptr, FileExists(planted));
        if (c.plantedLog) {
            EXPECT_EQ(c.plantedLog, FileContents(planted));
        }
        std::remove(planted.c_str());
        EXPECT_EQ(std::vector<std::string>{}, logs.Names());
    }
}

TEST(RetrofitDriver, ModesWithoutAModification) {
    PrivateTempDir logs;
    {
        // One hot and one cold utility: there is nothing to change a heater or cooler to.
        ThreeStreamNetwork n;
        DriverRun run(n, 3);
        PinchRetrofitDriver driver;
        EXPECT_EQ(run.Run(driver), PinchRetrofitDriver::NoAlternativeUtility);
    }
    {
        ThreeStreamNetwork n(nullptr, "CW2");
        DriverRun run(n, 5);
        PinchRetrofitDriver driver;
        EXPECT_EQ(run.Run(driver), PinchRetrofitDriver::NotValid);
        EXPECT_EQ(std::vector<std::string>{}, logs.Names());
    }
}

// Equal savings of a heater and a cooler: the heater goes to its cheaper utility.
TEST(RetrofitDriver, EqualSavingsModifyTheHeater) {
    PrivateTempDir logs;
    ThreeStreamNetwork n(nullptr, "CW2", {{"HP", 200, 199, 0.3}, {"RW", 10, 15, 0.05}});
    DriverRun run(n, 3);
    ScriptedDriver driver;
    const std::uint32_t heater = n.heater->getDNAFingerPrint(), cooler = n.cooler->getDNAFingerPrint();
    driver.script = [&](ScriptedAnalysis& a) {
        a.scriptSavings = true;
        a.heaterSavings = {10.0};
        a.coolerSavings = {10.0};
        a.heaterIds = {heater};
        a.coolerIds = {cooler};
        a.heaterNames = {CPString("HP")};
        a.coolerNames = {CPString("RW")};
    };
    EXPECT_EQ(run.Run(driver), PinchRetrofitDriver::UtilityChanged);
    EXPECT_EQ(SideStream(run.created->GetNodeByFingerPrint(heater), 0), "HP");
    EXPECT_EQ(SideStream(run.created->GetNodeByFingerPrint(cooler), 1), "CW");
}

// A network locked for operation runs its exchangers at the duties their frozen areas give, and
// keeps the duty the design gave each one. A step starts from the design's duty where the running
// one lies within the area equations' precision of it (5e-4 of the duty), and from the running
// duty where it has moved beyond: such a unit truly runs elsewhere. E-100 runs at 60 kW; the model
// finds nothing, so the step ends with the duty the driver took.
TEST(RetrofitDriver, ALockedExchangerKeepsItsDesignedDutyOnlyWithinThePrecision) {
    PrivateTempDir logs;
    struct Row {
        const char* label;
        double designed;  // kW
        double kept;
    };
    for (const Row& r : {Row{"AtIt", 60.0, 60.0}, Row{"WithinAbove", 60.024, 60.024}, Row{"WithinBelow", 59.976, 59.976},
                         Row{"BeyondAbove", 60.036, 60.0}, Row{"BeyondBelow", 59.964, 60.0}}) {
        SCOPED_TRACE(r.label);
        ThreeStreamNetwork n(nullptr, "CW2");
        DriverRun run(n, 0);
        CNode* x = run.created->GetNodeByFingerPrint(n.x->getDNAFingerPrint());
        ASSERT_TRUE(x);
        // Locked: held by its area, the design's duty kept beside the running one.
        x->addVariable(NodeValue::HTArea, ValueOf(x, NodeValue::HTArea), ValueStatus::Specified);
        x->addVariable(chain::kDesignedDuty, r.designed, ValueStatus::Specified);
        ScriptedDriver driver;
        driver.script = [](ScriptedAnalysis& a) { a.runNewExchanger = [] { return false; }; };
        EXPECT_EQ(run.Run(driver), PinchRetrofitDriver::NoNewExchanger);
        EXPECT_NEAR(ValueOf(x, NodeValue::Duty), r.kept, 1e-9);
        EXPECT_EQ(x->getVariableStatus(NodeValue::Duty), ValueStatus::Specified);
    }
}

namespace {

// An optimiser whose k-th run leaves the exchangers held to a minimum area `added[k]` m2 larger
// than in the base design, and answers `answers[k]` (improved when not given).
class AreaOptimiser : public INetworkOptimiser {
public:
    AreaOptimiser(IHENDesign& design, double baseArea, std::vector<double> added, std::vector<int> answers, int& runs)
        : m_design(design), m_baseArea(baseArea), m_added(std::move(added)), m_answers(std::move(answers)),
          m_runs(runs) {}
    void SetUseEquationBased(bool) override {}
    int Run(int, bool, bool) override {
        const std::size_t k = static_cast<std::size_t>(m_runs++);
        CNode* unit = nullptr;
        for (int i = 0; m_design.GetHeatExchanger(i, unit); ++i) {
            long minimum = 0;
            if (unit->getVariableAsInteger("AreaMinimum", minimum) && minimum && k < m_added.size())
                unit->addVariable(NodeValue::HTArea, m_baseArea + m_added[k], ValueStatus::Calculated);
        }
        return k < m_answers.size() ? m_answers[k] : IHENDesign::OptimiserImproved;
    }
    bool GetFittedValues(CNode*, double&, double&) const override { return false; }

private:
    IHENDesign& m_design;
    double m_baseArea;
    std::vector<double> m_added;
    std::vector<int> m_answers;
    int& m_runs;
};

class AreaProvider : public INetworkOptimiserProvider {
public:
    std::unique_ptr<INetworkOptimiser> MakeOptimiser(IHENDesign& design, const char*) override {
        return std::make_unique<AreaOptimiser>(design, baseArea, added, answers, runs);
    }
    std::unique_ptr<IOptimiserCheck> MakeCheck(IHENDesign&, const char*) override { return nullptr; }
    double baseArea = 0.0;  // the unit's area in the base design
    std::vector<double> added;
    std::vector<int> answers;
    int runs = 0;
};

}  // namespace

// The area check after a new exchanger: weighted optimisation passes (at most four, then the best
// pass once more, also after a refused pass) until the exchangers held to a minimum area add a
// negligible area. A pass that gets there is accepted whichever pass it is; the check fails when
// its last run was refused.
TEST(RetrofitDriver, AreaCheckPasses) {
    PrivateTempDir logs;
    struct Case {
        const char* what;
        std::vector<double> added;
        std::vector<int> answers;
        int runs, result;
        const char* why;
    };
    // A run that finds nothing to improve has passed as well as one that improved; a run without
    // a failed run is refused.
    const int refused = 2;
    // A step the check discards says why: the units still adding area (X is "E-100"), each with
    // what it adds, or the optimisation that failed.
    const char* failed = "the area check's optimisation of the network failed";
    for (const Case& c : {Case{"second pass", {5, 0}, {}, 2, 7, ""},
                          Case{"fourth pass", {5, 4, 3, 0}, {}, 4, 7, ""},
                          Case{"never, best pass again", {5, 2, 3, 4, 2}, {}, 5, 27, "E-100 adds 2.00 m2"},
                          Case{"never lower", {6, 6, 6, 6, 6}, {}, 5, 27, "E-100 adds 6.00 m2"},
                          Case{"last pass best", {4, 3, 2, 1}, {}, 4, 27, "E-100 adds 1.00 m2"},
                          Case{"nothing to improve, then negligible", {5, 0}, {IHENDesign::OptimiserUnchanged}, 2, 7, ""},
                          // A refused first pass that left more added area than the step began with.
                          Case{"refused, and refused again", {1e6, 1e6}, {refused, refused}, 2, 26, failed},
                          Case{"refused, then run again", {1e6, 1e6}, {refused}, 2, 27, "E-100 adds 1000000.00 m2"},
                          Case{"best pass refused", {5, 2, 3, 4, 2}, {4, 4, 4, 4, refused}, 5, 26, failed}}) {
        SCOPED_TRACE(c.what);
        AreaProvider optimiser;
        optimiser.added = c.added;
        optimiser.answers = c.answers;
        ThreeStreamNetwork n(std::make_shared<ProvidedDesignFactory>(&optimiser), "CW2");
        n.x->addVariable("AreaMinimum", 1.0, ValueStatus::Specified);
        ASSERT_TRUE(n.x->getVariableAsDouble(NodeValue::HTArea, optimiser.baseArea));
        DriverRun run(n, 0);
        PinchRetrofitDriver driver;
        EXPECT_EQ(run.Run(driver), c.result);
        EXPECT_EQ(optimiser.runs, c.runs);
        if (*c.why) EXPECT_NE(std::string::npos, run.settings.strDiscardReason.find(c.why)) << "[" << run.settings.strDiscardReason << "]";
        else EXPECT_EQ("", run.settings.strDiscardReason);
        // Every exchanger of the new design has its spare and new area limits specified.
        CNode* unit = nullptr;
        for (int i = 0; run.created->GetHeatExchanger(i, unit); ++i)
            EXPECT_EQ(unit->getVariableStatus("MaxNewArea"), ValueStatus::Specified);
    }
}

// A step the driver refuses keeps the driver's reason in the scenario's status; the design goes.
TEST(RetrofitDriver, ScenarioKeepsTheReasonOfARefusedStep) {
    PrivateTempDir logs;
    WorkedNetwork n;
    n.scenario->SetRetrofitBaseDesign("D1");
    n.scenario->RetrofitDesign(n.d, 3);
    EXPECT_EQ(n.scenario->GetRetrofitStatus(), PinchRetrofitDriver::NoAlternativeUtility);
    EXPECT_EQ(DesignNames(*n.scenario), std::vector<std::string>{"D1"});
}

// Moves of an existing exchanger, side 0 the hot side: X (H1 -> C, both at their supply ends) is
// repiped to H2's supply end and to C after the heater, or resequenced on C to after the heater
// (its hot location is where its hot side sits). A side already at its location is refused for
// repiping.
TEST(RetrofitDriver, RepipingAndResequencingMoveTheSidesToTheirLocations) {
    PrivateTempDir logs;
    struct Case {
        const char* what;
        int mode;
        const char* hotStream;  // the stream of the hot location; null: X's own hot inlet
        int expected;
        const char* hotAfter;
    };
    for (const Case& c : {Case{"repiping", 1, "H2", PinchRetrofitDriver::ExchangerRepiped, "H2"},
                          Case{"repiping in place", 1, nullptr, PinchRetrofitDriver::RepipingInPlace, "H1"},
                          Case{"resequencing", 2, nullptr, PinchRetrofitDriver::ExchangerResequenced, "H1"}}) {
        SCOPED_TRACE(c.what);
        AcceptingProvider optimiser;
        ThreeStreamNetwork n(std::make_shared<ProvidedDesignFactory>(&optimiser), "CW2");
        const std::uint32_t x = n.x->getDNAFingerPrint();
        const std::uint32_t hot = c.hotStream ? NthSegment(*n.d, c.hotStream, 0)->getDNAFingerPrint()
                                              : AsHeatExch(n.x)->getInlet(0)->getDNAFingerPrint();
        const std::uint32_t afterHeater = NthSegment(*n.d, "C", 2)->getDNAFingerPrint();
        DriverRun run(n, c.mode);
        ScriptedDriver driver;
        driver.script = [&](ScriptedAnalysis& a) {
            a.moved = x;
            a.hotLocation = hot;
            a.coldLocation = afterHeater;
            a.duty = 30.0;
        };
        EXPECT_EQ(run.Run(driver), c.expected);
        CNode* moved = run.created->GetNodeByFingerPrint(x);
        ASSERT_TRUE(moved);
        EXPECT_EQ(SideStream(moved, 0), c.hotAfter);
        EXPECT_EQ(SideStream(moved, 1), "C");
        EXPECT_EQ(StructuralFault(*run.created), "");
        if (c.expected == PinchRetrofitDriver::RepipingInPlace) continue;
        // X now takes C where the heater leaves it.
        CNode* heater = run.created->GetNodeByFingerPrint(n.heater->getDNAFingerPrint());
        EXPECT_EQ(AsHeatExch(heater)->getOutlet(1), AsHeatExch(moved)->getInlet(1));
        // C leaves the heater at its target: no duty is feasible there, and the feasibility pass
        // takes the 30 kW written down to its 5 kW floor.
        EXPECT_NEAR(ValueOf(moved, "Duty"), 5.0, 1e-9);
        EXPECT_EQ(moved->getVariableStatus("Duty"), ValueStatus::Specified);
        EXPECT_EQ(n.d->GetNodeByFingerPrint(x) ? SideStream(n.d->GetNodeByFingerPrint(x), 0) : "", "H1");
    }
}
