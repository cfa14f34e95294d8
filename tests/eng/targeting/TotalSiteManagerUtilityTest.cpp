// The site manager's rules for its utilities and site streams: ranges worked by hand, the value
// table per side, modes, exchanger types, and how the streams follow their utilities.
#include "TotalSiteManagerTestSupport.h"

#include "eng/model/StreamSegment.h"
#include "tevrin/CPList.h"

#include <gtest/gtest.h>

namespace {
using namespace sitemanager_test;

constexpr double E = -32767.0;

void AddHot(TotalSiteManager& m, const char* name, double supply, double dtmin, double cost = 1e-6) {
    ASSERT_EQ(m.AddDefaultUtility(name, SHT_Hot, supply, supply - 1.0, 1.0, cost, 0.0, 0.0, dtmin, "Shell & Tube",
                                  1.0, 1.0, 1.0, 1.0),
              1);
}

void AddCold(TotalSiteManager& m, const char* name, double target, double dtmin, double cost = 1e-6) {
    ASSERT_EQ(m.AddDefaultUtility(name, SHT_Cold, target - 5.0, target, 1.0, cost, 0.0, 0.0, dtmin, "Shell & Tube",
                                  1.0, 1.0, 1.0, 1.0),
              1);
}

TEST(TotalSiteManagerRanges, HotUtilitiesServeUpToTheirSupplyLessTheApproach) {
    TotalSiteManager m;
    AddHot(m, "High", 250.0, 10.0);  // listed out of temperature order on purpose
    AddHot(m, "Low", 125.0, 10.0);
    AddHot(m, "Middle", 175.0, 10.0);
    m.CalculateARTemp();
    EXPECT_DOUBLE_EQ(m.GetValue("Low", DUP_RangeLower), -273.15);
    EXPECT_DOUBLE_EQ(m.GetValue("Low", DUP_RangeUpper), 115.5);
    EXPECT_DOUBLE_EQ(m.GetValue("Middle", DUP_RangeLower), 115.5);
    EXPECT_DOUBLE_EQ(m.GetValue("Middle", DUP_RangeUpper), 165.5);
    EXPECT_DOUBLE_EQ(m.GetValue("High", DUP_RangeLower), 165.5);
    EXPECT_DOUBLE_EQ(m.GetValue("High", DUP_RangeUpper), 240.5);
    EXPECT_STREQ(m.GetRecommendedUtilityName(120.0, SHT_Hot, nullptr), "Middle");
}

TEST(TotalSiteManagerRanges, ColdUtilitiesServeDownToTheirTargetPlusTheApproach) {
    TotalSiteManager m;
    AddCold(m, "Water", 25.0, 5.0);
    AddCold(m, "Steam Raising", 250.0, 10.0);
    m.CalculateARTemp();
    EXPECT_DOUBLE_EQ(m.GetValue("Steam Raising", DUP_RangeLower), 259.5);
    EXPECT_DOUBLE_EQ(m.GetValue("Steam Raising", DUP_RangeUpper), 3000.0);
    EXPECT_DOUBLE_EQ(m.GetValue("Water", DUP_RangeLower), 29.5);
    EXPECT_DOUBLE_EQ(m.GetValue("Water", DUP_RangeUpper), 259.5);
}

TEST(TotalSiteManagerUtilities, AUtilityAddedByNameIsNeverRecommendedUntilItHasASide) {
    auto m = FactoryManager();
    Recorder r(*m);
    ASSERT_EQ(m->AddDefaultUtility("Site Brine"), 1);
    EXPECT_EQ(m->AddDefaultUtility("Site Brine"), 0);
    EXPECT_EQ(r.Count(55), 1);
    EXPECT_EQ(r.Count(30), 1);
    EXPECT_EQ(m->GetValue(21), SHT_NotSet);
    EXPECT_DOUBLE_EQ(m->GetValue("Site Brine", DUP_RangeUpper), E);
    EXPECT_STREQ(m->GetExchangerType("Site Brine"), "Shell & Tube");

    // Temperatures of a utility without a side are kept as given; the side stays open.
    EXPECT_EQ(m->SetValue("Site Brine", DUP_SupplyTemperature, -10.0), 1);
    EXPECT_EQ(m->SetValue("Site Brine", DUP_TargetTemperature, -10.0), 0);
    EXPECT_DOUBLE_EQ(m->GetValue("Site Brine", DUP_TargetTemperature), -10.0);
    EXPECT_EQ(m->SetValue("Site Brine", DUP_TargetTemperature, -5.0), 1);
    m->SetValue("Site Brine", DUP_FilmCoefficient, 1.0);
    m->SetValue("Site Brine", DUP_Cost, -1.0);
    m->SetValue("Site Brine", DUP_DTminContribution, 2.0);
    EXPECT_EQ(m->GetValue(21), SHT_NotSet);
    EXPECT_DOUBLE_EQ(m->GetValue("Site Brine", DUP_RangeLower), E);
    for (double T : {-20.0, -8.0, 0.0, 30.0}) {
        for (SegmentHeatType side : {SHT_Hot, SHT_Cold}) {
            const char* r1 = m->GetRecommendedUtilityName(T, side, nullptr);
            const char* r2 = m->GetMostEconomicalUtilityName(T, side);
            EXPECT_FALSE(r1 && std::string(r1) == "Site Brine");
            EXPECT_FALSE(r2 && std::string(r2) == "Site Brine");
            CPList usable;
            m->GetUsableUtilList(T, side, &usable);
            for (std::size_t i = 0; i < usable.Length(); ++i)
                EXPECT_NE(static_cast<DefaultUtility*>(usable.GetAt(i))->name, "Site Brine");
        }
    }

    // Once typed it takes its place among the cold utilities.
    ASSERT_EQ(m->SetStreamType("Site Brine", SHT_Cold), 1);
    m->SetValue("Site Brine", DUP_DTminContribution, 2.0);
    EXPECT_DOUBLE_EQ(m->GetValue("Site Brine", DUP_RangeLower), -3.5);
    EXPECT_STREQ(m->GetMostEconomicalUtilityName(0.0, SHT_Cold), "Site Brine");
}

struct SetCase {
    const char* label;
    const char* utility;
    DefaultUtilityParameter parameter;
    double value;
    hresult result;
    DefaultUtilityParameter check;
    double expected;
};

class ValueRules : public ::testing::TestWithParam<SetCase> {};

TEST_P(ValueRules, FollowTheUtilitysSide) {
    const SetCase& c = GetParam();
    auto m = FactoryManager();
    EXPECT_EQ(m->SetValue(c.utility, c.parameter, c.value), c.result) << c.label;
    EXPECT_NEAR(m->GetValue(c.utility, c.check), c.expected, 1e-12) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValueRules,
    ::testing::Values(
        SetCase{"hot supply not above target", "MP Steam", DUP_SupplyTemperature, 174.0, 0, DUP_SupplyTemperature, 175.0},
        SetCase{"hot supply above target", "MP Steam", DUP_SupplyTemperature, 180.0, 1, DUP_RangeUpper, 170.5},
        SetCase{"hot target not below supply", "MP Steam", DUP_TargetTemperature, 175.0, 0, DUP_TargetTemperature, 174.0},
        SetCase{"cold target not above supply", "Cooling Water", DUP_TargetTemperature, 20.0, 0, DUP_TargetTemperature, 25.0},
        SetCase{"cold target moves its range", "Cooling Water", DUP_TargetTemperature, 30.0, 1, DUP_RangeLower, 34.5},
        SetCase{"cold supply not below target", "Cooling Water", DUP_SupplyTemperature, 26.0, 0, DUP_SupplyTemperature, 20.0},
        SetCase{"approach below one is refused", "MP Steam", DUP_DTminContribution, 0.5, 1, DUP_DTminContribution, 10.0},
        SetCase{"approach moves the range", "MP Steam", DUP_DTminContribution, 20.0, 1, DUP_RangeUpper, 155.5},
        SetCase{"property must be positive", "Air", DUP_Viscosity, 0.0, 0, DUP_Viscosity, 1.79e-05},
        SetCase{"property taken", "Air", DUP_MassDensity, 1.3, 1, DUP_MassDensity, 1.3},
        SetCase{"film coefficient taken", "Air", DUP_FilmCoefficient, 0.2, 1, DUP_FilmCoefficient, 0.2},
        SetCase{"credit taken", "Air", DUP_Cost, -1e-9, 1, DUP_Cost, -1e-9},
        SetCase{"hot range upper below supply", "MP Steam", DUP_RangeUpper, 176.0, 0, DUP_RangeUpper, 165.5},
        SetCase{"hot range upper taken", "MP Steam", DUP_RangeUpper, 170.0, 1, DUP_RangeUpper, 170.0},
        SetCase{"hot range lower taken", "MP Steam", DUP_RangeLower, 120.0, 1, DUP_RangeLower, 120.0},
        SetCase{"hot range lower below upper", "MP Steam", DUP_RangeLower, 170.0, 0, DUP_RangeLower, 115.5},
        SetCase{"cold range lower above supply", "Cooling Water", DUP_RangeLower, 15.0, 0, DUP_RangeLower, 29.5},
        SetCase{"cold range upper above target", "Cooling Water", DUP_RangeUpper, 60.0, 1, DUP_RangeUpper, 60.0},
        SetCase{"parameter 3 has no value", "Air", DUP_EmptyFilmCoefficient, 1.0, 1, DUP_EmptyFilmCoefficient, 0.0},
        SetCase{"side is read only", "Air", DUP_HeatType, 0.0, 1, DUP_HeatType, 1.0},
        SetCase{"parameters past 12 have no value", "Air", DUP_EmissionsCoefficient, 0.5, 1, DUP_EmissionsCoefficient, 0.0},
        SetCase{"unknown utility", "Nothing", DUP_SupplyTemperature, 10.0, 1, DUP_SupplyTemperature, E}));

TEST(TotalSiteManagerUtilities, AnApproachBelowOneDegreeWarnsThroughTheViews) {
    auto m = FactoryManager();
    Recorder r(*m);
    ASSERT_EQ(m->SetValue("HP Steam", DUP_DTminContribution, 0.5), 1);
    ASSERT_EQ(r.Count(60), 1);
    EXPECT_EQ(r.changes[0].text, "DeltaTMinWarning");
    EXPECT_EQ(r.changes[0].data, static_cast<IDefaultUtilityManager*>(m.get()));
    EXPECT_EQ(r.Count(97), 0);
}

TEST(TotalSiteManagerUtilities, ANonZeroModeHoldsBackTheChangeCodeUntilItEnds) {
    auto m = FactoryManager();
    Recorder r(*m);
    m->SetMode(1);
    m->SetValue("Air", DUP_FilmCoefficient, 0.12);
    m->SetValue("Air", DUP_Cost, 2e-9);
    EXPECT_EQ(r.Count(97), 0);
    m->SetMode(0);
    EXPECT_EQ(r.Count(97), 1);
    m->SetValue("Air", DUP_FilmCoefficient, 0.13);
    EXPECT_EQ(r.Count(97), 2);
}

TEST(TotalSiteManagerUtilities, OnlyOneUtilityMayBeTheAirCooler) {
    auto m = FactoryManager();
    EXPECT_STREQ(m->SetExchangerType("Cooling Water", "Air Cooler"), "AirCoolerAlreadyExists");
    EXPECT_STREQ(m->SetExchangerType("Air", "Air Cooler"), "AirCoolerAlreadyExists");
    EXPECT_STREQ(m->GetExchangerType("Cooling Water"), "Shell & Tube");
    EXPECT_EQ(m->SetExchangerType("Air", "Shell & Tube"), nullptr);
    EXPECT_EQ(m->SetExchangerType(11, "Air Cooler"), nullptr);
    EXPECT_STREQ(m->GetExchangerType(11), "Air Cooler");
    EXPECT_EQ(m->SetExchangerType("Nothing", "Plate"), nullptr);
    EXPECT_EQ(m->Exists("Nothing"), 0);
}

TEST(TotalSiteManagerUtilities, ACreditMakesAColdUtilityTheMostEconomical) {
    TotalSiteManager m;
    AddCold(m, "Chilled Water", 25.0, 5.0, 2.1e-7);
    AddCold(m, "Steam Raising", 30.0, 5.0, -1.9e-6);
    m.CalculateARTemp();
    EXPECT_STREQ(m.GetMostEconomicalUtilityName(100.0, SHT_Cold), "Steam Raising");
}

// ---- site streams ------------------------------------------------------------------------------

TEST(TotalSiteManagerStreams, AChangedUtilityIsWrittenIntoItsStream) {
    auto m = FactoryManager();
    CPIHeatIntegrationStream* s = StreamOf(*m, "MP Steam");
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(m->SetValue("MP Steam", DUP_SupplyTemperature, 180.0), 1);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "Temperature", 0), 180.0);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "Temperature", 1), 174.0);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "CHTCoeff"), 6.0);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "SpecificHeat"), 1981.4);
    EXPECT_DOUBLE_EQ(s->GetCostIndex(), 2.2e-6);
    // A refused change still brings the stream up to date, and changes no value.
    EXPECT_EQ(m->SetValue("MP Steam", DUP_SupplyTemperature, 100.0), 0);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "Temperature", 0), 180.0);
}

TEST(TotalSiteManagerStreams, ReadingAValueFillsTheStreamOnceWithoutFurtherNotice) {
    auto m = FactoryManager();
    CPIHeatIntegrationStream* s = StreamOf(*m, "LP Steam");
    ASSERT_NE(s, nullptr);
    Recorder watch(*s);
    EXPECT_DOUBLE_EQ(m->GetValue("LP Steam", DUP_FilmCoefficient), 6.0);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "CHTCoeff"), 6.0);
    EXPECT_EQ(watch.Count(37), 1);
    EXPECT_DOUBLE_EQ(m->GetValue(0, DUP_Cost), 1.9e-6);
    EXPECT_DOUBLE_EQ(s->GetCostIndex(), 1.9e-6);
    const DefaultUtilityParameter mirrored[] = {DUP_SupplyTemperature, DUP_TargetTemperature, DUP_FilmCoefficient,
                                                DUP_Cost, DUP_SpecificHeat};
    for (DefaultUtilityParameter p : mirrored) m->GetValue("LP Steam", p);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "Temperature", 0), 125.0);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "Temperature", 1), 124.0);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "SpecificHeat"), 2196.4);
    // Now in step: reading again writes nothing, so the scenarios hear nothing.
    const std::size_t inStep = watch.changes.size();
    for (DefaultUtilityParameter p : mirrored) m->GetValue("LP Steam", p);
    EXPECT_EQ(watch.changes.size(), inStep);
}

TEST(TotalSiteManagerStreams, AddStreamRefusesATakenOrUnknownNameWithAMessage) {
    auto m = FactoryManager();
    Recorder r(*m);
    EXPECT_EQ(m->AddStream("HP Steam"), 0);
    EXPECT_EQ(m->AddStream("Unheard Of"), 0);
    ASSERT_EQ(r.Count(60), 2);
    EXPECT_EQ(r.changes[0].text, "SameStreamErrorMsg");
    EXPECT_EQ(r.changes[1].text, "PickTotalSiteUtilityFromDropDownList");
    EXPECT_EQ(r.Count(30), 0);
    EXPECT_EQ(m->GetNumberOfStreams(), 21);
    IHeatIntegrationStream* s = nullptr;
    EXPECT_EQ(m->GetStream("Unheard Of", s), 0);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(m->GetStream(21, s), 0);
    // The refusals did not count: the next stream is number 22.
    ASSERT_EQ(m->AddDefaultUtility("Extra"), 1);
    ASSERT_EQ(m->GetStream("Extra", s), 1);
    EXPECT_EQ(s->GetStoredInt(), 22);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "CHTCoeff"), 0.2);  // the first coefficient default
}

TEST(TotalSiteManagerStreams, RemovingAUtilityTakesItsStreamFromTheSiteFirst) {
    std::vector<std::string> log;
    auto m = FactoryManager();
    FakeSite site(&log);
    m->SetMyTSPointer(&site);
    Recorder r(*m, &log);
    ASSERT_EQ(m->RemoveDefaultUtility("HP Steam"), 1);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "site:HP Steam");
    EXPECT_EQ(log[1], "31:HP Steam");
    EXPECT_EQ(log[2], "57:HP Steam");
    EXPECT_EQ(r.Count(97), 1);
    EXPECT_EQ(m->GetNumberOfStreams(), 20);
    EXPECT_EQ(m->Exists("HP Steam"), 0);
    EXPECT_EQ(StreamOf(*m, "HP Steam"), nullptr);
    // Ranges close up over the gap.
    EXPECT_DOUBLE_EQ(m->GetValue("Hot Oil", DUP_RangeLower), 165.5);
    // Streams and utilities stay row for row.
    for (int i = 0; i < 20; ++i) {
        IHeatIntegrationStream* s = nullptr;
        ASSERT_EQ(m->GetStream(i, s), 1);
        EXPECT_STREQ(s->GetName().c_str(), m->GetDefaultUtilityName(i));
    }
    EXPECT_EQ(m->RemoveDefaultUtility("HP Steam"), 0);
}

TEST(TotalSiteManagerStreams, ARenamedUtilityLeavesItsStreamUnderTheOldName) {
    auto m = FactoryManager();
    Recorder r(*m);
    ASSERT_EQ(m->RenameDefaultUtility("Hot Oil", "Thermal Oil"), 1);
    EXPECT_EQ(m->RenameDefaultUtility("LP Steam", "MP Steam"), 0);
    ASSERT_EQ(r.Count(56), 1);
    EXPECT_EQ(r.changes[0].text, "Hot Oil");
    EXPECT_STREQ(static_cast<const char*>(r.changes[0].data), "Thermal Oil");
    EXPECT_NE(StreamOf(*m, "Hot Oil"), nullptr);
    EXPECT_EQ(StreamOf(*m, "Thermal Oil"), nullptr);
}

TEST(TotalSiteManagerStreams, SegmentsShiftByTheSitesRule) {
    TotalSiteManager m;
    StreamSegment hot, cold, local;
    hot.dInletTemperature = 200.0;
    hot.dOutletTemperature = 150.0;
    hot.nHotCold = 0;
    cold.dInletTemperature = 20.0;
    cold.dOutletTemperature = 40.0;
    cold.nHotCold = 1;
    local.dInletTemperature = 100.0;
    local.dOutletTemperature = 90.0;
    local.nHotCold = 0;
    local.DTminContribution = ValueAndFlag{3.0, ValueAndFlag::ScopeLocal};
    CPList list;
    list.Append(&hot);
    list.Append(&cold);
    list.Append(&local);
    m.TemperatureShift(&list, 10.0);
    EXPECT_DOUBLE_EQ(hot.dShiftedInletTemperature, 195.0);
    EXPECT_DOUBLE_EQ(hot.dShiftedOutletTemperature, 145.0);
    EXPECT_DOUBLE_EQ(cold.dShiftedInletTemperature, 25.0);
    EXPECT_DOUBLE_EQ(cold.dShiftedOutletTemperature, 45.0);
    EXPECT_DOUBLE_EQ(local.dShiftedInletTemperature, 97.0);
    m.TemperatureShift(nullptr, 10.0);
}

TEST(TotalSiteManagerStreams, ASiteStreamsOwnApproachShiftsItsDesignSegments) {
    auto m = FactoryManager();
    CPIHeatIntegrationStream* s = StreamOf(*m, "HP Steam");
    ASSERT_NE(s, nullptr);
    auto segments = std::make_unique<StreamSegmentList>();
    auto segment = std::make_unique<StreamSegment>();
    segment->dInletTemperature = 250.0;
    segment->dOutletTemperature = 249.0;
    segment->nHotCold = 0;
    segment->pStream = s;
    segments->push_back(std::move(segment));
    s->SetDesignSegments(std::move(segments));
    ASSERT_EQ(s->SetDTminContribution(10.0, "Local", 0, 1), 1);
    const StreamSegment& shifted = *s->GetDesignSegments()->front();
    EXPECT_DOUBLE_EQ(shifted.dShiftedInletTemperature, 245.0);
    EXPECT_DOUBLE_EQ(shifted.dShiftedOutletTemperature, 244.0);
}

// ---- life cycle and interfaces -------------------------------------------------------------------

TEST(TotalSiteManagerLifeCycle, ACopyHasTheTablesAndStreamsOfItsOwn) {
    auto source = FactoryManager();
    FakeSite site;
    source->SetMyTSPointer(&site);
    source->SetValue("MP Steam", DUP_SupplyTemperature, 180.0);
    source->AddEconomicData("Plate");
    source->SetMode(2);
    TotalSiteManager copy(*source);
    EXPECT_EQ(RecordBytes(copy, SRT_Utilities), RecordBytes(*source, SRT_Utilities));
    EXPECT_EQ(RecordBytes(copy, SRT_Economics), RecordBytes(*source, SRT_Economics));
    EXPECT_EQ(copy.GetMode(), 2);
    EXPECT_EQ(copy.GetMyTSPointer(), nullptr);
    ASSERT_EQ(copy.GetNumberOfStreams(), 21);
    for (int i = 0; i < 21; ++i) {
        IHeatIntegrationStream* mine = nullptr;
        IHeatIntegrationStream* theirs = nullptr;
        ASSERT_EQ(copy.GetStream(i, mine), 1);
        ASSERT_EQ(source->GetStream(i, theirs), 1);
        EXPECT_NE(mine, theirs);
        EXPECT_EQ(mine->GetName(), theirs->GetName());
        EXPECT_EQ(mine->GetStoredInt(), i + 1);
    }
}

TEST(TotalSiteManagerLifeCycle, AssignmentKeepsTheStreamsAndBringsThemInStep) {
    auto target = FactoryManager();
    CPIHeatIntegrationStream* mp = StreamOf(*target, "MP Steam");
    CPIHeatIntegrationStream* air = StreamOf(*target, "Air");
    auto source = FactoryManager();
    source->SetValue("MP Steam", DUP_SupplyTemperature, 190.0);
    source->RemoveDefaultUtility("Air");
    source->AddDefaultUtility("Flue Gas");
    FakeSite site;
    source->SetMyTSPointer(&site);
    *target = *source;
    EXPECT_EQ(StreamOf(*target, "MP Steam"), mp);
    EXPECT_DOUBLE_EQ(StreamValue(*mp, "Temperature", 0), 190.0);
    EXPECT_EQ(StreamOf(*target, "Air"), air);  // kept: the site may still use it
    EXPECT_NE(StreamOf(*target, "Flue Gas"), nullptr);
    EXPECT_EQ(target->GetMyTSPointer(), &site);
    EXPECT_TRUE(site.deleted.empty());
}

TEST(TotalSiteManagerLifeCycle, AnswersBothInterfacesAndAnnouncesItsEnd) {
    auto m = FactoryManager();
    void* out = nullptr;
    ASSERT_EQ(m->QueryInterface(ITotalSiteUtilityManager::InterfaceId, &out), 1);
    auto* site = static_cast<ITotalSiteUtilityManager*>(out);
    EXPECT_STREQ(site->GetRecommendedUtilityName(150.0, SHT_Hot, nullptr), "MP Steam");
    EXPECT_EQ(site->GetNumberOfStreams(), 21);
    ASSERT_EQ(m->QueryInterface(IDefaultUtilityManager::InterfaceId, &out), 1);
    auto* scenarioSide = static_cast<IDefaultUtilityManager*>(out);
    EXPECT_STREQ(scenarioSide->GetMostEconomicalUtilityName(150.0, SHT_Cold), "LP Steam Generation");
    EXPECT_EQ(scenarioSide->GetNumberOfStreams(), 21);
    EXPECT_EQ(m->GetMyIdentifier(), CPString());
    EXPECT_FALSE(m->IsScenario());

    Recorder r(*m);
    r.Forget();
    m.reset();
    ASSERT_FALSE(r.changes.empty());
    EXPECT_EQ(r.changes.back().code, 91);
}

}  // namespace
