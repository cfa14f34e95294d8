// The heat-integration plot's design data sets, its largest saving, its texts and commands,
// the target table, and the plot's record across versions.
#include "brasko/CaseDocument.h"
#include "brasko/LurmetBinaryFile.h"
#include "lumeth/ViewRecords.h"
#include "tests/eng/model/ScenarioTestDoubles.h"
#include "tests/support/FourStreamProject.h"
#include "tests/support/ProbeView.h"
#include "lumeth/PlotParameters.h"
#include "tests/support/SvgReadBack.h"
#include "views/EnginePointers.h"
#include "views/plots/ChiTable.h"
#include "views/plots/chiPlot.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

using scenario_test::FakeDesign;
using scenario_test::FakeDesignFactory;

static_assert(!std::is_copy_constructible_v<chiPlot> && !std::is_copy_assignable_v<chiPlot>,
              "a plot's design entries are its own: no copy may share them");

// A scenario whose retrofit base and range-target points are set by the test.
class CostScenario : public CPIScenario {
public:
    explicit CostScenario(ScenarioServices services) : CPIScenario(nullptr, services) {}
    const char* GetRetrofitBaseDesignName() const override { return baseName.c_str(); }
    double GetRetrofitBaseUtilityCost() const override { return baseUtility; }
    double GetRetrofitBaseCapitalCost() const override { return baseCapital; }
    int GetNumberOfSuperTargetPoints() const override { return static_cast<int>(operating.size()); }
    double PointTargetValue(int i, int selector) const override {
        if (i < 0 || i >= GetNumberOfSuperTargetPoints()) return 0.0;
        if (selector == 9) return operating[static_cast<std::size_t>(i)];
        if (selector == 8 || selector == 11) return capital[static_cast<std::size_t>(i)];
        return 0.0;
    }
    CPString baseName;
    double baseUtility = 0.0, baseCapital = 0.0;
    std::vector<double> operating, capital;
};

class ViewPlotDesigns : public ::testing::Test {
protected:
    ViewPlotDesigns() {
        ScenarioServices services;
        services.designs = designs;
        scenario = std::make_unique<CostScenario>(services);
    }
    FakeDesign* addDesign(const char* name, double utilityCost, int exchangers = 2) {
        scenario->AddDesign(name);
        FakeDesign* d = designs->made.back();
        d->utilityCost = utilityCost;
        d->exchangers = exchangers;
        return d;
    }
    std::shared_ptr<FakeDesignFactory> designs = std::make_shared<FakeDesignFactory>();
    std::unique_ptr<CostScenario> scenario;
};

TEST_F(ViewPlotDesigns, FirstDesignDataSetsDeleteAndRename) {
    struct Graph {
        int type;
        int first;
        void (chiPlot::*update)(const Text&, const Text&, int);
    };
    const Graph graphs[] = {{AlphaPlot, 2, &chiPlot::Update_ALPHA},
                            {AreaHeatDemandCurve, 2, &chiPlot::Update_AreaLoad},
                            {InvestmentSavingCurve, 3, &chiPlot::Update_InvestSaving},
                            {PaybackInvestmentCurve, 1, &chiPlot::Update_PaybackInvest},
                            {RetrofitAlphaPlot, 6, &chiPlot::Update_Retrofit_ALPHA}};
    scenario->baseName = "Base";
    for (const Graph& g : graphs) {
        chiPlot plot(nullptr, scenario.get(), false);
        plot.ConstructPlot(g.type);
        ASSERT_NE(nullptr, plot.GetPlot()) << g.type;
        // The other graphs' updates leave this one alone.
        for (const Graph& other : graphs)
            if (other.type != g.type) (plot.*other.update)("Elsewhere", "", DesignAdded);
        (plot.*g.update)("D", "", DesignAdded);
        (plot.*g.update)("D", "", DesignAdded);
        (plot.*g.update)("Base", "", DesignAdded);
        const HVector<PlotDesignEntry*>& list = g.type == RetrofitAlphaPlot ? plot.RetrofitAlphaVector() : plot.AlphaVector();
        ASSERT_EQ(3, list.Count()) << g.type;
        EXPECT_EQ(g.first, list[0]->nDataSet) << g.type;
        EXPECT_EQ(g.first + 2, list[2]->nDataSet) << g.type;
        const PlottedData* set = plot.GetPlot()->GetPlotArea().GetDataSet(g.first);
        ASSERT_NE(nullptr, set) << g.type;
        EXPECT_TRUE(set->IsPoint());
        EXPECT_EQ(1, set->appearance.capacity);
        EXPECT_EQ("D", set->Label());
        const bool baseRed = g.type >= AreaHeatDemandCurve && g.type <= PaybackInvestmentCurve;
        EXPECT_EQ(baseRed ? RedColour().Hex() : BlueColour().Hex(),
                  plot.GetPlot()->GetPlotArea().GetDataSet(g.first + 2)->appearance.colour.Hex())
            << g.type;

        // Deleting one of two designs of a name removes only the first entry; an unknown name
        // changes nothing.
        (plot.*g.update)("D", "", DesignDeleted);
        (plot.*g.update)("Nobody", "", DesignDeleted);
        ASSERT_EQ(2, list.Count());
        EXPECT_EQ(g.first + 1, list[0]->nDataSet);
        EXPECT_EQ(nullptr, plot.GetPlot()->GetPlotArea().GetDataSet(g.first));
        (plot.*g.update)("D", "Renamed", DesignRenamed);
        (plot.*g.update)("Nobody", "X", DesignRenamed);
        EXPECT_EQ("Renamed", list[0]->strName);
        EXPECT_EQ("Renamed", plot.GetPlot()->GetPlotArea().GetDataSet(g.first + 1)->Label());
        // A new design numbers on from the last entry.
        (plot.*g.update)("E", "", DesignAdded);
        EXPECT_EQ(g.first + 3, list[2]->nDataSet);
    }
}

TEST_F(ViewPlotDesigns, LargestSavingFromDesignsAndFromRangePointsAndTheBaseDesignsOwnPoint) {
    chiPlot plot(nullptr, scenario.get(), false);
    plot.ConstructPlot(InvestmentSavingCurve);
    scenario->baseUtility = 1000.0;
    scenario->baseCapital = 5000.0;
    // No design: the range points give S (1000 - 700); a saving below zero counts as none.
    scenario->operating = {900.0, 700.0, 1200.0};
    scenario->capital = {5500.0, 8000.0, 4000.0};
    EXPECT_DOUBLE_EQ(300.0, plot.LargestSaving(false));
    scenario->operating = {1200.0};
    EXPECT_DOUBLE_EQ(0.0, plot.LargestSaving(false)) << "S starts at 0";
    scenario->operating = {900.0, 700.0, 1200.0};
    // One design: still the range points.
    addDesign("Base", 1000.0);
    EXPECT_DOUBLE_EQ(300.0, plot.LargestSaving(false));
    // Two and more: the designs.
    addDesign("Better", 600.0);
    addDesign("Worse", 1100.0);
    EXPECT_DOUBLE_EQ(400.0, plot.LargestSaving(false));
    EXPECT_DOUBLE_EQ(400.0, plot.LargestSaving(true));

    // The payback line runs from (0, 0) to (2 S, S) in display units.
    SetDisplayUnitSet(SIUnits);
    const UnitConversion perYear = DefUnitConv(31001);
    const auto points = plot.GetPlot()->ResolvePoints(*plot.GetPlot()->GetPlotArea().GetDataSet(1));
    ASSERT_EQ(2u, points.size());
    EXPECT_DOUBLE_EQ(0.0, points[0].x);
    EXPECT_DOUBLE_EQ(0.0, points[0].y);
    EXPECT_NEAR(calc_ounit(400.0, perYear), points[1].y, 1e-6 * calc_ounit(400.0, perYear));
    EXPECT_NEAR(2.0 * points[1].y, points[1].x, 1e-9 * points[1].x);
    // The investment/saving curve: saving against extra investment; negative values are empty
    // and skipped (the point above the base's operating cost).
    const auto curve = plot.GetPlot()->ResolvePoints(*plot.GetPlot()->GetPlotArea().GetDataSet(2));
    ASSERT_EQ(2u, curve.size()) << "point 1 invests 500 for 100, point 2 3000 for 300, point 3 saves nothing";
    EXPECT_DOUBLE_EQ(500.0, curve[0].x);
    EXPECT_NEAR(calc_ounit(100.0, perYear), curve[0].y, 1e-6 * calc_ounit(100.0, perYear));
    scenario->baseName = "Base";
    for (const char* name : {"Base", "Better"}) plot.Update_InvestSaving(name, "", DesignAdded);
    VarDescription own, other;
    ASSERT_TRUE(VarDescription::Parse("ExtraData.337.3", own) && VarDescription::Parse("ExtraData.337.4", other));
    EXPECT_EQ(Viewable::EmptyValue, plot.Value(own)) << "the base design saves nothing against itself";
    EXPECT_NEAR(calc_ounit(400.0, perYear), plot.Value(other), 1e-6 * calc_ounit(400.0, perYear));
}

TEST_F(ViewPlotDesigns, NamesTitlesCommandsAndASecondDrawThatChangesNothing) {
    Viewable owner(nullptr, "ViewableObject");
    owner.SetName("Scenario 1");
    auto* plot = new chiPlot(&owner, scenario.get(), false);
    VarDescription name, tag;
    ASSERT_TRUE(VarDescription::Parse("PlotName.1", name) && VarDescription::Parse("TitleTag.200", tag));
    EXPECT_EQ("CC_0", plot->TextValue(name));
    EXPECT_EQ("Scenario 1", plot->TextValue(tag));
    EXPECT_EQ(1, plot->GetGraphType());

    plot->ConstructPlot(ShiftedBalancedCompositeCurves);
    TwoDimPlot* first = plot->GetPlot();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(350.0, first->titlePlacement.x);
    const Text before = first->Dump();
    EXPECT_EQ(1, plot->Message("ViewHeatCascadeCurve"));
    plot->DrawShiftedBalancedCompositeCurve();
    EXPECT_EQ(first, plot->GetPlot());
    EXPECT_EQ(before, plot->GetPlot()->Dump()) << "a drawn plot is left as it is";
    MessageInfo info;
    info.code = 6;
    info.name = "chiPlot";
    EXPECT_TRUE(plot->GenMessage(info));
    EXPECT_EQ(first, info.answer);
    VarDescription child;
    ASSERT_TRUE(VarDescription::Parse("TwoDimPlotNTW.200", child));
    EXPECT_EQ(first, plot->AttachedObject(child));
    EXPECT_EQ("TwoDimPlotNTW.200", plot->AttachedName(first));
    // An unknown graph deletes the plot; the plot going by itself is noticed.
    plot->ConstructPlot(17);
    EXPECT_EQ(nullptr, plot->GetPlot());
    plot->ConstructPlot(CompositeCurves);
    EXPECT_EQ(300.0, plot->GetPlot()->titlePlacement.x);
    delete plot->GetPlot();
    EXPECT_EQ(nullptr, plot->GetPlot());
    // The form lists the plot's variables.
    FormDescription form;
    chiPlot::LoadVariables(form);
    EXPECT_GT(form.Variables().size(), 60u);
    int commands = 0;
    for (const FormVariable& v : form.Variables()) commands += v.hook == FormHook::Command ? 1 : 0;
    EXPECT_EQ(10, commands);
}

TEST_F(ViewPlotDesigns, RetrofitReferenceLinesHaveTwoPointsAndShowOnRequest) {
    scenario->baseUtility = 800.0;
    scenario->baseCapital = 3000.0;
    chiPlot plot(nullptr, scenario.get(), false);
    plot.ConstructPlot(RetrofitAlphaPlot);
    TwoDimDataPlotArea& area = plot.GetPlot()->GetPlotArea();
    for (int n : {3, 4, 5}) {
        ASSERT_NE(nullptr, area.GetDataSet(n));
        EXPECT_FALSE(area.GetDataSet(n)->IsVisible()) << n;
    }
    EXPECT_TRUE(plot.GetPlot()->ResolvePoints(*area.GetDataSet(1)).empty()) << "no range targets, no alpha curve";
    EXPECT_EQ(2u, plot.GetPlot()->ResolvePoints(*area.GetDataSet(3)).size());
    EXPECT_EQ(2u, plot.GetPlot()->ResolvePoints(*area.GetDataSet(4)).size());
    plot.ShowManager(1);
    for (int n : {3, 4, 5}) EXPECT_TRUE(area.GetDataSet(n)->IsVisible()) << n;
    const SvgPicture picture = ReadSvg(plot.GetPlot()->ExportSVG());
    int dashed = 0;
    for (const SvgElement* line : picture.OfClass("data-set"))
        if (!line->Attribute("stroke-dasharray").empty()) ++dashed;
    EXPECT_EQ(2, dashed) << "the base lines are dashed; the target line has no point (no range targets)";
    plot.ShowManager(0);
    for (int n : {3, 4, 5}) EXPECT_FALSE(area.GetDataSet(n)->IsVisible()) << n;
}

TEST(ViewTargetTable, TitleIsTheOwnersNameAndTheKind) {
    Viewable owner(nullptr, "ViewableObject");
    owner.SetName("Scenario 1");
    VarDescription title, kind;
    ASSERT_TRUE(VarDescription::Parse("ExtraData.200", title) && VarDescription::Parse("Enum.266", kind));
    auto* pockets = new ChiTable(&owner, 1);
    EXPECT_EQ("Scenario 1 - Pocket Data Table", pockets->TextValue(title));
    EXPECT_EQ(1.0, pockets->Value(kind));
    auto* beyond = new ChiTable(&owner, 6);
    EXPECT_EQ("Scenario 1 - ", beyond->TextValue(title));
    VarDescription link;
    ASSERT_TRUE(VarDescription::Parse("Viewable.299", link));
    EXPECT_EQ(&owner, pockets->AttachedObject(link));
}

// The plot in a case: stored at this version and at version 6, recalled with its designs.
class ViewPlotRecord : public ::testing::TestWithParam<int> {};

TEST_P(ViewPlotRecord, PlotsAreRebuiltWithTheirDesignsAtEveryVersion) {
    const int version = GetParam();
    FourStreamProject project;
    CaseDocument document{"case", &project.manager};
    ObjectTypeInfo* type = ObjectTypeRegistry::Current()->FindMutable(chiPlot::TypeName);
    ASSERT_NE(nullptr, type);
    ASSERT_TRUE(type->CanRecall());
    ObjectTypeRegistry* types = ObjectTypeRegistry::Current();
    if (!types->Find(ProbeView::TypeName)) {
        auto probe = std::make_unique<ObjectTypeInfo>(ProbeView::TypeName, types->Find("ViewableObject"), "ProbeView", 0, 1,
                                                      "probe");
        probe->SetClassVersion(3);
        probe->SetFactory(&ProbeView::Create);
        types->Add(std::move(probe));
    }
    const auto stored = type->GetClassVersion();
    type->SetClassVersion(static_cast<std::int16_t>(version));

    LurmetBinaryFile file = LurmetBinaryFile::ForWriting();
    {
        auto* root = new ProbeView(nullptr, "case");
        root->SetDocument(&document);
        for (int graph : {GrandCompositeCurve, UtilityCompositeCurve, AlphaPlot, RetrofitAlphaPlot}) {
            auto* plot = new chiPlot(root, project.scenario, graph == AlphaPlot);
            plot->SetName(FormattedText("plot %d", graph));
            plot->ConstructPlot(graph);
            plot->Update_ALPHA("D1", "", DesignAdded);
            plot->Update_ALPHA("D2", "", DesignAdded);
            plot->Update_Retrofit_ALPHA("R1", "", DesignAdded);
        }
        EXPECT_TRUE(ViewRecords::Store(file, {root}));
        EXPECT_TRUE(file.Commit());
        delete root;
    }
    type->SetClassVersion(stored);
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(file.Bytes());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(in, roots, &document));
    ASSERT_EQ(1u, roots.size());
    for (int graph : {GrandCompositeCurve, UtilityCompositeCurve, AlphaPlot, RetrofitAlphaPlot}) {
        auto* plot = static_cast<chiPlot*>(roots[0]->FindChild(chiPlot::TypeName, FormattedText("plot %d", graph)));
        ASSERT_NE(nullptr, plot) << graph;
        EXPECT_EQ(project.scenario, plot->GetScenario());
        EXPECT_EQ(graph, plot->GetGraphType());
        ASSERT_NE(nullptr, plot->GetPlot()) << "graph " << graph << " is drawn anew";
        TwoDimDataPlotArea& area = plot->GetPlot()->GetPlotArea();
        const std::size_t fixed = graph == UtilityCompositeCurve ? 3 : graph == RetrofitAlphaPlot ? 5 : 1;
        const std::size_t designs = graph == AlphaPlot ? 2 : graph == RetrofitAlphaPlot ? 1 : 0;
        EXPECT_EQ(fixed + designs, area.DataSets().size()) << graph;
        if (graph == AlphaPlot) {
            ASSERT_EQ(2, plot->AlphaVector().Count());
            EXPECT_EQ("D2", plot->AlphaVector()[1]->strName);
            EXPECT_EQ("D2", area.GetDataSet(3)->Label());
            VarDescription name;
            ASSERT_TRUE(VarDescription::Parse("PlotName.1", name));
            EXPECT_NE("CC_0", plot->TextValue(name)) << "the named flag came back";
        }
        if (graph == RetrofitAlphaPlot) {
            ASSERT_EQ(1, plot->RetrofitAlphaVector().Count());
            EXPECT_EQ("R1", area.GetDataSet(6)->Label());
        }
    }
    delete roots[0];
}

INSTANTIATE_TEST_SUITE_P(ViewVersions, ViewPlotRecord, ::testing::Values(6, chiPlot::ClassVersion));

}  // namespace

namespace {

// A plot that writes its record as an older version did, to read it back as one.
class OlderPlot : public chiPlot {
public:
    OlderPlot(Viewable* owner, IHeatIntegrationScenario* scenario, int version)
        : chiPlot(owner, scenario, false), m_version(version) {}
    bool StoreClassData(BinaryFile& file) override {
        bool ok = file.WriteChar(0) && StorePlotParameters(file, GetPlotParameters()) &&
                  StoreScenarioPointer(file, GetScenario()) && StorePointer(file, GetParent()) &&
                  file.WriteInt(GetGraphType());
        if (m_version >= 2) ok = ok && StorePointer(file, GetPlot());
        auto entries = [&](const HVector<PlotDesignEntry*>& list) {
            bool done = file.WriteInt(list.Count());
            for (const PlotDesignEntry* e : list) done = done && file.WriteCPString(e->strName) && file.WriteInt(e->nDataSet);
            return done;
        };
        if (m_version >= 4) ok = ok && entries(AlphaVector());
        if (m_version >= 5) ok = ok && entries(RetrofitAlphaVector());
        return ok;
    }

private:
    int m_version;
};

class ViewPlotOlderRecord : public ::testing::TestWithParam<int> {};

TEST_P(ViewPlotOlderRecord, EveryVersionReadsWhatItHadAndDrawsThePlotAnew) {
    const int version = GetParam();
    FourStreamProject project;
    CaseDocument document{"case", &project.manager};
    ObjectTypeRegistry* types = ObjectTypeRegistry::Current();
    ObjectTypeInfo* type = types->FindMutable(chiPlot::TypeName);
    ASSERT_NE(nullptr, type);
    if (!types->Find(ProbeView::TypeName)) {
        auto probe = std::make_unique<ObjectTypeInfo>(ProbeView::TypeName, types->Find("ViewableObject"), "ProbeView", 0, 1,
                                                      "probe");
        probe->SetClassVersion(3);
        probe->SetFactory(&ProbeView::Create);
        types->Add(std::move(probe));
    }
    const auto stored = type->GetClassVersion();
    type->SetClassVersion(static_cast<std::int16_t>(version));
    LurmetBinaryFile file = LurmetBinaryFile::ForWriting();
    {
        auto* root = new ProbeView(nullptr, "case");
        root->SetDocument(&document);
        for (int graph : {GrandCompositeCurve, AlphaPlot, RetrofitAlphaPlot}) {
            auto* plot = new OlderPlot(root, project.scenario, version);
            plot->SetName(FormattedText("plot %d", graph));
            plot->ConstructPlot(graph);
            plot->Update_ALPHA("D1", "", DesignAdded);
            plot->Update_Retrofit_ALPHA("R1", "", DesignAdded);
        }
        EXPECT_TRUE(ViewRecords::Store(file, {root}));
        EXPECT_TRUE(file.Commit());
        delete root;
    }
    type->SetClassVersion(stored);
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(file.Bytes());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(in, roots, &document)) << "version " << version;
    ASSERT_EQ(1u, roots.size());
    for (int graph : {GrandCompositeCurve, AlphaPlot, RetrofitAlphaPlot}) {
        auto* plot = static_cast<chiPlot*>(roots[0]->FindChild(chiPlot::TypeName, FormattedText("plot %d", graph)));
        ASSERT_NE(nullptr, plot) << graph;
        EXPECT_EQ(project.scenario, plot->GetScenario());
        ASSERT_NE(nullptr, plot->GetPlot()) << graph;
        EXPECT_NE(nullptr, plot->GetPlot()->GetPlotArea().GetDataSet(1)) << graph;
    }
    auto* alpha = static_cast<chiPlot*>(roots[0]->FindChild(chiPlot::TypeName, "plot 11"));
    auto* retrofit = static_cast<chiPlot*>(roots[0]->FindChild(chiPlot::TypeName, "plot 16"));
    EXPECT_EQ(version >= 4 ? 1 : 0, alpha->AlphaVector().Count());
    EXPECT_EQ(version >= 4, alpha->GetPlot()->GetPlotArea().GetDataSet(2) != nullptr);
    EXPECT_EQ(version >= 5 ? 1 : 0, retrofit->RetrofitAlphaVector().Count());
    delete roots[0];
}

INSTANTIATE_TEST_SUITE_P(ViewOlderVersions, ViewPlotOlderRecord, ::testing::Values(1, 2, 3, 4, 5));

TEST(ViewPlotPointing, APositionOnTheHotCompositeCurveNamesItsStreams) {
    SetDisplayUnitSet(SIUnits);
    FourStreamProject project;
    chiPlot plot(nullptr, project.scenario, false);
    Text result;
    EXPECT_EQ(1, plot.Interaction().DescribePoint(300.0, 200.0, result));
    EXPECT_TRUE(result.empty()) << "no plot yet";
    plot.ConstructPlot(CompositeCurves);
    const PlotFrame f = plot.GetPlot()->Frame(chiPlot::PictureWidth, chiPlot::PictureHeight);
    // The hot composite curve at 120 C carries H1 and H2.
    double heatFlow = 0.0;
    for (int i = 0; i + 1 < project.scenario->GetNumberOfCurvePoints(3); ++i) {
        const double t0 = project.scenario->GetTargetCurveValue(3, 0, i), t1 = project.scenario->GetTargetCurveValue(3, 0, i + 1);
        if ((t0 - 120.0) * (t1 - 120.0) > 0.0) continue;
        const double h0 = project.scenario->GetTargetCurveValue(3, 1, i), h1 = project.scenario->GetTargetCurveValue(3, 1, i + 1);
        heatFlow = h0 + (120.0 - t0) / (t1 - t0) * (h1 - h0);
    }
    EXPECT_EQ(1, plot.Interaction().DescribePoint(f.ToPixelX(heatFlow), f.ToPixelY(120.0), result));
    EXPECT_NE(Text::npos, result.find("\n H1")) << result;
    EXPECT_NE(Text::npos, result.find("\n H2")) << result;
    EXPECT_EQ('\n', result[0]);
    plot.Interaction().DescribePoint(1.0, 1.0, result);
    EXPECT_TRUE(result.empty()) << "outside the plot area";
}

TEST_F(ViewPlotDesigns, APaybackNeedsARetrofitBaseDesign) {
    addDesign("Ordinary", 500.0);
    chiPlot payback(nullptr, scenario.get(), false);
    payback.ConstructPlot(PaybackInvestmentCurve);
    payback.Update_PaybackInvest("Ordinary", "", DesignAdded);
    VarDescription years;
    ASSERT_TRUE(VarDescription::Parse("ExtraData.236.1", years));  // the first design's data set
    EXPECT_EQ(Viewable::EmptyValue, payback.Value(years)) << "no base design: no saving to repay anything";
    addDesign("Base", 800.0);
    scenario->baseName = "Base";
    EXPECT_NE(Viewable::EmptyValue, payback.Value(years));
}

// A design whose network does not calculate (a stream left short of its target) has no payback,
// saving or capital: its points of the payback and investment-saving plots are not drawn, and it
// gives no largest saving, where its missing utility would read as a saving of 500.
TEST_F(ViewPlotDesigns, ADesignThatDoesNotCalculateDrawsNoPoint) {
    scenario->baseName = "Base";
    scenario->baseUtility = 800.0;
    addDesign("Base", 800.0);
    FakeDesign* open = addDesign("Open", 300.0);
    addDesign("Done", 600.0);
    chiPlot plot(nullptr, scenario.get(), false);
    plot.ConstructPlot(InvestmentSavingCurve);
    for (const char* name : {"Base", "Open", "Done"}) plot.Update_InvestSaving(name, "", DesignAdded);
    VarDescription saving, capital, years;
    ASSERT_TRUE(VarDescription::Parse("ExtraData.337.4", saving) && VarDescription::Parse("ExtraData.339.4", capital) &&
                VarDescription::Parse("ExtraData.236.4", years));
    const struct {
        int unsatisfied;
        bool shown;
    } kCases[] = {{0, true}, {2, false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.unsatisfied);
        open->unsatisfiedStreams = c.unsatisfied;
        for (const VarDescription* v : {&saving, &capital, &years})
            EXPECT_EQ(c.shown, plot.Value(*v) != Viewable::EmptyValue) << v->Number();
        EXPECT_DOUBLE_EQ(c.shown ? 500.0 : 200.0, plot.LargestSaving(false));
    }
}

TEST_F(ViewPlotDesigns, FeasibilityStylesOfTheAlphaPlotsDesigns) {
    FakeDesign* done = addDesign("Done", 500.0);
    FakeDesign* open = addDesign("Open", 500.0);
    (void)done;
    (void)open;
    chiPlot alpha(nullptr, scenario.get(), false);
    alpha.ConstructPlot(AlphaPlot);
    alpha.Update_ALPHA("Done", "", DesignAdded);
    alpha.Update_ALPHA("Open", "", DesignAdded);
    alpha.Update_ALPHA("Gone", "", DesignAdded);
    alpha.UpdateAlphaFeasibility();
    // The fake designs have no unsatisfied process streams: every existing design is feasible.
    EXPECT_EQ(101, alpha.GetPlot()->GetPlotArea().GetDataSet(2)->appearance.style);
    EXPECT_EQ(101, alpha.GetPlot()->GetPlotArea().GetDataSet(3)->appearance.style);
    EXPECT_EQ(7, alpha.GetPlot()->GetPlotArea().GetDataSet(4)->appearance.style) << "a missing design is left alone";
    VarDescription cost;
    ASSERT_TRUE(VarDescription::Parse("CostPerTime.236.4", cost));
    EXPECT_EQ(Viewable::EmptyValue, alpha.Value(cost)) << "no design of that name";
}

}  // namespace
