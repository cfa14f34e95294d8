// The range-target plot: its two modes, the quantity choice, the insert row of the target
// tables, the DTmin range and its commands, the designs' data-set pairs, and its record.
#include "brasko/CaseDocument.h"
#include "brasko/LurmetBinaryFile.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/Session.h"
#include "lumeth/ViewRecords.h"
#include "tests/eng/model/ScenarioTestDoubles.h"
#include "tests/support/FourStreamProject.h"
#include "tests/support/ProbeView.h"
#include "tests/support/SvgReadBack.h"
#include "lumeth/DisplayUnits.h"
#include "views/EnginePointers.h"
#include "views/plots/ChiSuperTargetPlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <type_traits>

namespace {

using scenario_test::FakeDesign;
using scenario_test::FakeDesignFactory;

static_assert(!std::is_copy_constructible_v<ChiSuperTargetPlot> && !std::is_copy_assignable_v<ChiSuperTargetPlot>);

// A scenario whose range-target points are set by the test: value k of point p is
// values[p][k - 1]; the points "computed" at their DTmin are listed apart.
class RangeScenario : public CPIScenario {
public:
    explicit RangeScenario(ScenarioServices services) : CPIScenario(nullptr, services) {}
    int GetNumberOfSuperTargetPoints() const override { return static_cast<int>(values.size()); }
    double PointTargetValue(int p, int k) const override {
        if (p < 0 || p >= GetNumberOfSuperTargetPoints() || k < 1 || k > 11) return 0.0;
        return values[static_cast<std::size_t>(p)][static_cast<std::size_t>(k - 1)];
    }
    int HasSuperTargetPointAtDTmin(double t) const override {
        return std::find(computed.begin(), computed.end(), t) != computed.end();
    }
    bool HasSuperTargetResults() const override { return !values.empty(); }
    void AddSuperTargetPoint(double t) override {
        added.push_back(t);
        values.push_back({t, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    }
    void CalculateSuperTargets(double lo, double hi, double step) override { calculated.push_back({lo, hi, step}); }
    void RecalculateSuperTargets() override { ++recalculated; }
    void ClearSuperTargets() override { ++cleared; }

    std::vector<std::vector<double>> values;
    std::vector<double> computed, added;
    std::vector<std::vector<double>> calculated;
    int recalculated = 0, cleared = 0;
};

VarDescription var(const char* address) {
    VarDescription v;
    EXPECT_TRUE(VarDescription::Parse(address, v)) << address;
    return v;
}

class ViewSuperTargetPlot : public ::testing::Test {
protected:
    ViewSuperTargetPlot() {
        ScenarioServices services;
        services.designs = designs;
        scenario = std::make_unique<RangeScenario>(services);
        // Five points at DTmin 5 ... 25: the hot utility of the first is 0, the costs of the
        // last are 0 (not computed).
        for (int p = 0; p < 5; ++p) {
            const double t = 5.0 * (p + 1);
            scenario->values.push_back({t, 10.0 * p, 40.0 + 10.0 * p, 300.0 - p, 400.0 - p, 7, 20, 1000.0 + p, 50.0 + p,
                                        500.0 + p, 0});
        }
        scenario->values[4] = {25.0, 40.0, 80.0, 0, 0, 0, 0, 0, 0, 0, 0};
        Session::Instance().Reset();
    }
    std::shared_ptr<FakeDesignFactory> designs = std::make_shared<FakeDesignFactory>();
    std::unique_ptr<RangeScenario> scenario;
};

TEST_F(ViewSuperTargetPlot, ModesSetUpTheirSeriesAxesAndCaptions) {
    ChiSuperTargetPlot general(nullptr, scenario.get(), ChiSuperTargetPlot::GeneralPlot);
    ChiSuperTargetPlot range(nullptr, scenario.get(), ChiSuperTargetPlot::RangeTargets);
    general.ConstructPlot();
    range.ConstructPlot();
    ASSERT_NE(nullptr, general.GetPlot());
    ASSERT_NE(nullptr, range.GetPlot());
    EXPECT_EQ("General Plot", general.GetPlot()->title);
    EXPECT_EQ("Range Targets", range.GetPlot()->title);
    // General: operating against capital cost; range: total cost over DTmin.
    EXPECT_EQ(":CostPerTime.333.[]", general.GetPlot()->GetPlotArea().GetDataSet(1)->XMoniker());
    EXPECT_EQ(":Cost.333.[]", general.GetPlot()->GetPlotArea().GetDataSet(1)->YMoniker());
    EXPECT_EQ("Operating Cost Index", general.GetPlot()->GetXAxisPtr()->title);
    EXPECT_EQ("Capital Cost Index", general.GetPlot()->GetYAxisPtr()->title);
    EXPECT_EQ(":DeltaTemp.333.[]", range.GetPlot()->GetPlotArea().GetDataSet(1)->XMoniker());
    EXPECT_EQ(":CostPerTime.334.[]", range.GetPlot()->GetPlotArea().GetDataSet(1)->YMoniker());
    EXPECT_EQ("Total Cost Index Target", range.GetPlot()->GetPlotArea().GetDataSet(1)->Label());
    for (ChiSuperTargetPlot* p : {&general, &range}) {
        EXPECT_TRUE(p->GetPlot()->GetPlotArea().GetDataSet(1)->IsVisible());
        EXPECT_FALSE(p->GetPlot()->GetRightYAxisPtr()->IsVisible()) << "no right quantity yet";
    }
    EXPECT_FALSE(range.GetPlot()->GetPlotArea().GetDataSet(2)->IsVisible());
    EXPECT_EQ("%4.0f", range.GetPlot()->GetXAxisPtr()->format);
    EXPECT_EQ("TwoDimPlotNTW.210", range.AttachedName(range.GetPlot()));
    EXPECT_EQ(range.GetPlot(), range.AttachedObject(var("TwoDimPlotNTW.210")));
    EXPECT_EQ(nullptr, range.AttachedObject(var("Dim2GraphControl.200")));

    // The quantity choice: x never none, left neither none nor the right one, right not the
    // left one.
    struct Choice {
        int axis;
        double q;
        int taken;
    };
    const Choice choices[] = {{0, 10, 0}, {1, 10, 0}, {2, 9, 0}, {2, 2, 1}, {1, 2, 0}, {1, 1, 1},
                              {2, 10, 1}, {0, 11, 0}, {0, -1, 0}, {0, 1.5, 0}, {0, 4, 1}};
    for (const Choice& c : choices) {
        VarDescription v(105, 210);
        v.SetOffset(0, c.axis);
        EXPECT_EQ(c.taken, range.Specify(v, c.q)) << c.axis << " " << c.q;
    }
    EXPECT_EQ(4, range.GetXQuantity());
    EXPECT_EQ(1, range.GetLeftQuantity());
    EXPECT_EQ(10, range.GetRightQuantity());
    range.SetRightQuantity(QuantityColdUtility);
    EXPECT_TRUE(range.GetPlot()->GetRightYAxisPtr()->IsVisible());
    EXPECT_EQ("Cold Utility Target", range.GetPlot()->GetRightYAxisPtr()->title);
    EXPECT_EQ(":HeatFlow.334.[]", range.GetPlot()->GetPlotArea().GetDataSet(2)->YMoniker());
    EXPECT_TRUE(range.GetPlot()->GetPlotArea().GetDataSet(2)->IsVisible());
    range.ShowSeries(0, "Target");
    EXPECT_FALSE(range.GetPlot()->GetPlotArea().GetDataSet(1)->IsVisible());
    range.ShowSeries(2, "Target");
    EXPECT_FALSE(range.GetPlot()->GetPlotArea().GetDataSet(1)->IsVisible()) << "only 0 and 1 are flags";
    EXPECT_EQ("", ChiSuperTargetPlot(nullptr, scenario.get(), 2).QuantityName(1)) << "another mode has no captions";
}

TEST_F(ViewSuperTargetPlot, InsertRowsTypedDTminAndTheStateOfEachRow) {
    ChiSuperTargetPlot plot(nullptr, scenario.get(), ChiSuperTargetPlot::RangeTargets);
    scenario->computed = {20.0};  // only point 3 was computed at its DTmin
    DimInfo dims;
    plot.Dimensions(var("DeltaTemp.333.[]"), dims);
    EXPECT_EQ(5, dims.Dim(0));
    EXPECT_EQ(1.0, plot.Value(var("InsertEnable.333")));

    ASSERT_EQ(1, plot.Specify(var("STInsPos.300"), 2.0));
    ASSERT_EQ(1, plot.Message("InsertAPointTarget"));
    EXPECT_EQ(0.0, plot.Value(var("InsertEnable.333")));
    DimInfo withRow;
    plot.Dimensions(var("HeatFlow.333.[]"), withRow);
    EXPECT_EQ(6, withRow.Dim(0));
    // Rows: p0, p1, the empty row, p2, p3, p4.
    const double dtmin[] = {5, 10, -32767, 15, 20, 25};
    const int state[] = {0, 0, 1, 0, 2, 0};
    for (int row = 0; row < 6; ++row) {
        VarDescription v(1517, 333);
        v.SetOffset(0, row);
        EXPECT_EQ(dtmin[row], plot.Value(v)) << row;
        ModifyState s = ReadOnlyState;
        int detail = 7;
        plot.VariableStatus(v, s, detail);
        EXPECT_EQ(state[row], s) << "row " << row << ": the state of the point shown there";
        EXPECT_EQ(0, detail);
    }
    // Typing into another row does nothing; a DTmin of 0 is refused; a DTmin in the empty row
    // adds the point and the row goes.
    VarDescription row1(1517, 333), row2(1517, 333);
    row1.SetOffset(0, 1);
    row2.SetOffset(0, 2);
    EXPECT_EQ(0, plot.Specify(row1, 12.0));
    EXPECT_EQ(0, plot.Specify(row2, 0.0));
    EXPECT_EQ(1u, Session::Instance().Entries(SessionEvent::Error).size());
    EXPECT_EQ("NoNegativeDT", Session::Instance().Entries(SessionEvent::Error)[0].key);
    EXPECT_TRUE(scenario->added.empty());
    EXPECT_EQ(1, plot.Specify(row2, 12.0));
    EXPECT_EQ(std::vector<double>{12.0}, scenario->added);
    EXPECT_EQ(ChiSuperTargetPlot::NoInsertion, plot.GetActiveInsertPosition());
    DimInfo after;
    plot.Dimensions(var("DeltaTemp.333.[]"), after);
    EXPECT_EQ(6, after.Dim(0)) << "six points, no empty row";

    // Insertion after the last point shows its row too; positions outside 0 ... K do not.
    const struct {
        double entered;
        double enable;
        int rows;
    } positions[] = {{6, 0.0, 7}, {-1, 1.0, 6}, {7, 1.0, 6}};
    for (const auto& p : positions) {
        plot.Specify(var("STInsPos.300"), p.entered);
        plot.Message("InsertAPointTarget");
        DimInfo d;
        plot.Dimensions(var("DeltaTemp.333.[]"), d);
        EXPECT_EQ(p.enable, plot.Value(var("InsertEnable.333"))) << p.entered;
        EXPECT_EQ(p.rows, d.Dim(0)) << p.entered;
        VarDescription first(1517, 333);
        first.SetOffset(0, 0);
        EXPECT_EQ(p.entered == 0 ? Viewable::EmptyValue : 5.0, plot.Value(first)) << p.entered;
    }
}

TEST_F(ViewSuperTargetPlot, ZeroCostsAreEmptyAndAZeroUtilityIsZero) {
    ChiSuperTargetPlot plot(nullptr, scenario.get(), ChiSuperTargetPlot::RangeTargets);
    auto at = [&](int type, int number, int row, const char* name = nullptr) {
        VarDescription v = name ? VarDescription(Text(name), number) : VarDescription(type, number);
        v.SetOffset(0, row);
        return plot.Value(v);
    };
    EXPECT_EQ(0.0, at(6, 333, 0)) << "the hot utility of point 0 is 0";
    EXPECT_EQ(40.0, at(6, 334, 0));
    EXPECT_EQ(1003.0, at(31000, 333, 3));
    EXPECT_EQ(53.0, at(31001, 333, 3));
    EXPECT_EQ(503.0, at(31001, 334, 3));
    EXPECT_EQ(397.0, at(1508, 334, 3));
    EXPECT_EQ(7.0, at(0, 333, 3, "Nmer"));
    EXPECT_EQ(20.0, at(0, 333, 3, "NumberOfShells"));
    for (int type : {31000, 1508})
        EXPECT_EQ(Viewable::EmptyValue, at(type, 333, 4)) << type;
    EXPECT_EQ(Viewable::EmptyValue, at(31001, 334, 4));
    EXPECT_EQ(Viewable::EmptyValue, at(0, 333, 4, "NMer"));
    EXPECT_EQ(40.0, at(6, 333, 4));
    EXPECT_EQ(1.0, plot.Value(var("ExtraData.201")));
}

void registerProbe();

TEST_F(ViewSuperTargetPlot, RangeValuesAndTheCommands) {
    registerProbe();
    ProbeView owner{nullptr, "Scenario"};
    auto* plot = new ChiSuperTargetPlot(&owner, scenario.get(), ChiSuperTargetPlot::RangeTargets);
    auto range = [](int i) {
        VarDescription v(1517, 201);
        v.SetOffset(0, i);
        return v;
    };
    EXPECT_EQ(0.0, plot->Value(var("Switch.201")));
    EXPECT_EQ(0, plot->Specify(range(0), 0.0));
    EXPECT_EQ(0, plot->Specify(range(2), -5.0));
    EXPECT_EQ(2u, Session::Instance().Entries(SessionEvent::Error).size());
    EXPECT_EQ(Viewable::EmptyValue, plot->Value(range(0))) << "a refused value is not stored";
    EXPECT_EQ(0, plot->Message("UserCalculate")) << "no range yet";
    ASSERT_EQ(1, plot->Specify(range(0), 30.0));
    ASSERT_EQ(1, plot->Specify(range(1), 5.0));
    ASSERT_EQ(1, plot->Specify(range(2), 5.0));
    EXPECT_EQ(1.0, plot->Value(var("Switch.201")));
    EXPECT_EQ(0, plot->Message("UserCalculate")) << "upper below lower";
    EXPECT_TRUE(scenario->calculated.empty());
    ASSERT_EQ(1, plot->Specify(range(0), 5.0));
    ASSERT_EQ(1, plot->Specify(range(1), 30.0));
    EXPECT_EQ(1, plot->Message("UserCalculate"));
    ASSERT_EQ(1u, scenario->calculated.size());
    EXPECT_EQ((std::vector<double>{5.0, 30.0, 5.0}), scenario->calculated[0]);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Viewable::EmptyValue, plot->Value(range(i)));
    bool closed = false;
    for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::MessageSent))
        closed = closed || (e.key == "Scenario" && e.text == "CloseView UserTargeting");
    EXPECT_TRUE(closed) << "the owner closes the range form";
    EXPECT_EQ(0, Session::Instance().BusyDepth());
    EXPECT_EQ(1, plot->Message("Calculate"));
    EXPECT_EQ(1, scenario->recalculated);
    EXPECT_EQ(1, plot->Message("ClearSuperTarget"));
    EXPECT_EQ(1, scenario->cleared);
    ChiSuperTargetPlot alone(nullptr, nullptr, 1);
    EXPECT_EQ(0, alone.Message("ClearSuperTarget")) << "without a scenario the framework answers";
    delete plot;
}

TEST_F(ViewSuperTargetPlot, DesignsComeInPairsAndGoAndAreRenamedInPairs) {
    ChiSuperTargetPlot plot(nullptr, scenario.get(), ChiSuperTargetPlot::GeneralPlot);
    plot.ConstructPlot();
    scenario->AddDesign("D1");
    scenario->AddDesign("D2");
    designs->made[0]->utilityCost = 70.0;
    designs->made[0]->capitalCost = 900.0;
    designs->made[0]->exchangers = 3;
    plot.UpdateDesign("D1", "", DesignAdded);
    plot.UpdateDesign("D2", "", DesignAdded);
    TwoDimDataPlotArea& area = plot.GetPlot()->GetPlotArea();
    ASSERT_EQ(4, plot.DesignEntries().Count());
    const char* labels[] = {"D1(Left-Axis)", "D1(Right-Axis)", "D2(Left-Axis)", "D2(Right-Axis)"};
    for (int n = 3; n <= 6; ++n) {
        ASSERT_NE(nullptr, area.GetDataSet(n)) << n;
        EXPECT_EQ(labels[n - 3], area.GetDataSet(n)->Label());
        EXPECT_EQ(n % 2 == 1 ? Axis::LeftY : Axis::RightY, area.GetDataSet(n)->GetYAxis()->GetKind()) << n;
        EXPECT_TRUE(area.GetDataSet(n)->IsPoint());
    }
    EXPECT_EQ("CostPerTime.335.3", area.GetDataSet(3)->XMoniker());
    EXPECT_EQ("Cost.335.3", area.GetDataSet(3)->YMoniker());
    // The design's values through its data-set number.
    EXPECT_EQ(70.0, plot.Value(var("CostPerTime.335.3")));
    EXPECT_EQ(970.0, plot.Value(var("CostPerTime.336.3"))) << "utility cost + annualised capital cost";
    EXPECT_EQ(3.0, plot.Value(var("NMer.335.3")));
    EXPECT_EQ(Viewable::EmptyValue, plot.Value(var("Cost.335.9"))) << "no such data set";
    DimInfo dims;
    plot.Dimensions(var("HeatFlow.335.[]"), dims);
    EXPECT_EQ(2, dims.Dim(0));
    // The right quantity reaches the right-axis sets, the x quantity every set.
    plot.SetRightQuantity(QuantityUnits);
    EXPECT_EQ("NMer.335.4", area.GetDataSet(4)->YMoniker());
    EXPECT_EQ("Cost.335.3", area.GetDataSet(3)->YMoniker());
    plot.SetXQuantity(QuantityHotUtility);
    EXPECT_EQ("HeatFlow.335.6", area.GetDataSet(6)->XMoniker());
    plot.ShowSeries(0, "Design");
    EXPECT_FALSE(area.GetDataSet(5)->IsVisible());
    EXPECT_TRUE(area.GetDataSet(1)->IsVisible());

    plot.UpdateDesign("D2", "Best", DesignRenamed);
    EXPECT_EQ("Best(Left-Axis)", area.GetDataSet(5)->Label());
    EXPECT_EQ("Best(Right-Axis)", area.GetDataSet(6)->Name());
    EXPECT_EQ("Best", plot.DesignEntries()[3]->strName);
    plot.UpdateDesign("D1", "", DesignDeleted);
    EXPECT_EQ(nullptr, area.GetDataSet(3));
    EXPECT_EQ(nullptr, area.GetDataSet(4));
    ASSERT_EQ(2, plot.DesignEntries().Count());
    EXPECT_EQ(5, plot.DesignEntries()[0]->nDataSet);
    plot.UpdateDesign("Gone", "", DesignDeleted);
    EXPECT_EQ(2, plot.DesignEntries().Count());
    plot.UpdateDesign("D3", "", DesignAdded);
    EXPECT_NE(nullptr, area.GetDataSet(8)) << "after the last pair: 7 and 8";
    EXPECT_EQ(-32767, plot.FindDesignIndex(3));
}

TEST_F(ViewSuperTargetPlot, APlotDeletedElsewhereIsForgottenAndBuiltAgain) {
    ChiSuperTargetPlot plot(nullptr, scenario.get(), ChiSuperTargetPlot::GeneralPlot);
    plot.ConstructPlot();
    plot.UpdateDesign("D1", "", DesignAdded);
    delete plot.GetPlot();
    EXPECT_EQ(nullptr, plot.GetPlot());
    EXPECT_EQ(nullptr, plot.AttachedObject(var("TwoDimPlotNTW.210")));
    plot.UpdateDesign("D1", "D2", DesignRenamed);
    EXPECT_EQ("D2", plot.DesignEntries()[1]->strName);
    plot.ConstructPlot();
    ASSERT_NE(nullptr, plot.GetPlot());
    EXPECT_EQ("Capital Cost Index", plot.GetPlot()->GetPlotArea().GetDataSet(1)->Label());
}

TEST_F(ViewSuperTargetPlot, OlderTemperatureMonikerOfTheDTminSeriesIsFixedUp) {
    ChiSuperTargetPlot plot(nullptr, scenario.get(), ChiSuperTargetPlot::RangeTargets);
    plot.ConstructPlot();
    PlottedData* set = plot.GetPlot()->GetPlotArea().GetDataSet(1);
    set->SetXVariable(":Temperature.333.[]");
    plot.GetPlot()->GetPlotArea().GetDataSet(2)->SetYVariable(":Temperature.333.[]");
    plot.FixUpDeltaTempMonikers();
    EXPECT_EQ(":DeltaTemp.333.[]", set->XMoniker());
    EXPECT_EQ(":DeltaTemp.333.[]", plot.GetPlot()->GetPlotArea().GetDataSet(2)->YMoniker());
    EXPECT_EQ(":CostPerTime.334.[]", set->YMoniker());
}

// ---- records ----

// A plot that writes its record as version 1 or 2 did: a plain scenario link, no total-site
// flag, and in version 1 no mode.
class OlderRangePlot : public ChiSuperTargetPlot {
public:
    OlderRangePlot(Viewable* owner, IHeatIntegrationScenario* scenario, int mode, int version)
        : ChiSuperTargetPlot(owner, scenario, mode), m_version(version) {}
    bool StoreClassData(BinaryFile& file) override {
        bool ok = StoreScenarioPointer(file, GetScenario()) && StorePointer(file, nullptr) &&
                  StorePlotParameters(file, GetPlotParameters()) && file.WriteInt(GetXQuantity()) &&
                  file.WriteInt(GetLeftQuantity()) && file.WriteInt(GetRightQuantity()) &&
                  file.WriteInt(GetActiveInsertPosition()) && file.WriteInt(4) && file.WriteInt(DesignEntries().Count());
        for (const PlotDesignEntry* e : DesignEntries()) ok = ok && file.WriteCPString(e->strName) && file.WriteInt(e->nDataSet);
        return m_version >= 2 ? ok && file.WriteInt(GetMode()) : ok;
    }

private:
    int m_version;
};

void registerProbe() {
    ObjectTypeRegistry* types = ObjectTypeRegistry::Current();
    if (types->Find(ProbeView::TypeName)) return;
    auto probe = std::make_unique<ObjectTypeInfo>(ProbeView::TypeName, types->Find("ViewableObject"), "ProbeView", 0, 1, "probe");
    probe->SetClassVersion(3);
    probe->SetFactory(&ProbeView::Create);
    types->Add(std::move(probe));
}

class ViewSuperTargetPlotRecord : public ::testing::TestWithParam<int> {};

TEST_P(ViewSuperTargetPlotRecord, EachVersionReadsBackWhatItHadAndTheModeOfTheFirst) {
    const int version = GetParam();
    FourStreamProject project;
    CaseDocument document{"case", &project.manager};
    registerProbe();
    ObjectTypeInfo* type = ObjectTypeRegistry::Current()->FindMutable(ChiSuperTargetPlot::TypeName);
    ASSERT_NE(nullptr, type);
    ASSERT_TRUE(type->CanRecall());
    const auto stored = type->GetClassVersion();
    type->SetClassVersion(static_cast<std::int16_t>(version));
    LurmetBinaryFile file = LurmetBinaryFile::ForWriting();
    {
        auto* root = new ProbeView(nullptr, "case");
        root->SetDocument(&document);
        for (int mode : {0, 1}) {
            ChiSuperTargetPlot* plot = version == 3 ? new ChiSuperTargetPlot(root, project.scenario, mode)
                                                    : new OlderRangePlot(root, project.scenario, mode, version);
            plot->SetName(FormattedText("plot %d", mode));
            plot->ConstructPlot();
            if (mode == 0) {
                plot->SetRightQuantity(QuantityTotalCost);
                plot->UpdateDesign("D1", "", DesignAdded);
            } else {
                plot->SetRightQuantity(QuantityColdUtility);
            }
        }
        EXPECT_TRUE(ViewRecords::Store(file, {root}));
        EXPECT_TRUE(file.Commit());
        delete root;
    }
    type->SetClassVersion(stored);
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(file.Bytes());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(in, roots, &document)) << version;
    ASSERT_EQ(1u, roots.size());
    for (int mode : {0, 1}) {
        auto* plot = static_cast<ChiSuperTargetPlot*>(roots[0]->FindChild(ChiSuperTargetPlot::TypeName, FormattedText("plot %d", mode)));
        ASSERT_NE(nullptr, plot) << mode;
        EXPECT_EQ(project.scenario, plot->GetScenario());
        EXPECT_EQ(mode, plot->GetMode()) << "version " << version << ": a first version takes the mode from its x quantity";
        EXPECT_EQ(mode == 0 ? 8 : 0, plot->GetXQuantity());
        EXPECT_EQ(mode == 0 ? 9 : 2, plot->GetRightQuantity());
        ASSERT_NE(nullptr, plot->GetPlot()) << "drawn anew";
        TwoDimDataPlotArea& area = plot->GetPlot()->GetPlotArea();
        EXPECT_EQ(mode == 0 ? ":CostPerTime.334.[]" : ":HeatFlow.334.[]", area.GetDataSet(2)->YMoniker());
        EXPECT_TRUE(plot->GetPlot()->GetRightYAxisPtr()->IsVisible());
        if (mode == 0) {
            ASSERT_EQ(2, plot->DesignEntries().Count());
            ASSERT_NE(nullptr, area.GetDataSet(4));
            EXPECT_EQ(Axis::RightY, area.GetDataSet(4)->GetYAxis()->GetKind());
            EXPECT_EQ("CostPerTime.336.4", area.GetDataSet(4)->YMoniker());
        }
    }
    delete roots[0];
}

INSTANTIATE_TEST_SUITE_P(ViewVersions, ViewSuperTargetPlotRecord, ::testing::Values(1, 2, 3));

}  // namespace

namespace {

// The range targets of the four streams over DTmin 5 ... 30, drawn with the hot utility on the
// left and the cold utility on the right axis and read back from the picture through each
// axis's own range.
TEST(ViewSuperTargetPicture, EachSeriesReadBackThroughItsAxisIsTheScenariosRangeTargets) {
    SetDisplayUnitSet(SIUnits);
    FourStreamProject project;
    ASSERT_TRUE(project.AddUtility("HP Steam"));
    ASSERT_TRUE(project.AddUtility("Cooling Water"));
    IHeatIntegrationScenario& scenario = *project.scenario;
    scenario.CalculateSuperTargets(5.0, 30.0, 5.0);
    const int n = scenario.GetNumberOfSuperTargetPoints();
    ASSERT_EQ(6, n);
    ChiSuperTargetPlot plot(nullptr, &scenario, ChiSuperTargetPlot::RangeTargets);
    plot.ConstructPlot();
    plot.SetLeftQuantity(QuantityHotUtility);
    plot.SetRightQuantity(QuantityColdUtility);
    const SvgPicture picture = ReadSvg(plot.GetPlot()->ExportSVG(ChiSuperTargetPlot::PictureWidth, ChiSuperTargetPlot::PictureHeight));
    ASSERT_TRUE(picture.parsed);
    const SvgElement* area = picture.PlotArea();
    ASSERT_NE(nullptr, area);
    const SvgAxes axes(*area);
    const double y2Min = area->Number("data-y2-min"), y2Max = area->Number("data-y2-max");
    ASSERT_GT(y2Max, y2Min);
    auto y2 = [&](double py) { return y2Min + (axes.top + axes.height - py) / axes.height * (y2Max - y2Min); };
    for (const char* set : {"1", "2"}) {
        std::vector<const SvgElement*> lines;
        for (const SvgElement* l : picture.OfClass("data-set"))
            if (l->Attribute("data-set") == set) lines.push_back(l);
        ASSERT_EQ(1u, lines.size()) << set;
        const bool right = std::string(set) == "2";
        EXPECT_EQ(right ? "right" : "left", lines[0]->Attribute("data-axis"));
        const auto vertices = lines[0]->Points();
        ASSERT_EQ(static_cast<std::size_t>(n), vertices.size());
        for (int p = 0; p < n; ++p) {
            EXPECT_NEAR(scenario.PointTargetValue(p, 1), axes.X(vertices[p].x), 1e-4 * (axes.xMax - axes.xMin)) << p;
            const double y = right ? y2(vertices[p].y) : axes.Y(vertices[p].y);
            const double span = right ? y2Max - y2Min : axes.yMax - axes.yMin;
            EXPECT_NEAR(scenario.PointTargetValue(p, right ? 3 : 2), y, 1e-4 * span) << set << " " << p;
        }
    }
    // The right axis: its ticks where their values map, and its title with the unit.
    const auto ticks = picture.OfClass("y2-tick");
    EXPECT_GE(ticks.size(), 3u);
    for (const SvgElement* t : ticks)
        EXPECT_NEAR(std::strtod(t->text.c_str(), nullptr), y2(t->Number("y")), 1e-4 * (y2Max - y2Min)) << t->text;
    ASSERT_EQ(1u, picture.OfClass("y2-title").size());
    EXPECT_EQ("Cold Utility Target (kW)", picture.OfClass("y2-title")[0]->text);
    EXPECT_EQ("Hot Utility Target (kW)", picture.OfClass("y-title")[0]->text);
    EXPECT_EQ("DeltaTmin (C)", picture.OfClass("x-title")[0]->text);
}

}  // namespace
