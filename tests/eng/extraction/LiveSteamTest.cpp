// Live steam: the water-to-steam profile of a steam feed, and the cold stream, utility match and
// exchanger the extraction makes for it.
#include "tests/eng/extraction/CaseBuilder.h"
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "brasko/ReportHolder.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/VelmorToTarsilImport.h"
#include "pellin/CNode.h"
#include "quenta/RalvexInterface.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace extraction_test;

namespace {

using Profile = VelmorToTarsilImport::LiveSteamProfile;
constexpr double kAtmosphere = 101.325;
constexpr double kBoilingPoint = 99.974;  // C at 101.325 kPa

double load(const Profile::Segment& s) { return s.specificHeat * (s.to - s.from); }

TEST(LiveSteamProfile, SaturatedSteamBoilsOverABandThatRaisesItsTemperature) {
    const Profile p = VelmorToTarsilImport::WorkOutLiveSteam(20, 100, kAtmosphere, 1.0, true, true);
    ASSERT_EQ(p.segments.size(), 2u);
    EXPECT_NEAR(p.temperature, kBoilingPoint + 0.75, 1e-3);
    EXPECT_DOUBLE_EQ(p.segments[0].from, 20.0);
    EXPECT_NEAR(p.segments[0].to, kBoilingPoint, 1e-3);
    EXPECT_EQ(p.segments[0].coefficient, 3.75);
    EXPECT_NEAR(load(p.segments[0]) / 335.3, 1.0, 0.005);  // per kg/s
    EXPECT_NEAR(p.segments[1].to, kBoilingPoint + 0.75, 1e-3);
    EXPECT_EQ(p.segments[1].coefficient, 6.0);
    EXPECT_NEAR(load(p.segments[1]) / 2258.5, 1.0, 0.005);
}

TEST(LiveSteamProfile, SuperheatAddsASegmentAndTheSettingsDropTheEnds) {
    struct Row {
        bool subCool, superHeat;
        double first, last;
        std::size_t segments;
    } rows[] = {{true, true, 20, 150, 3}, {false, true, kBoilingPoint, 150, 2}, {true, false, 20, kBoilingPoint + 0.75, 2},
                {false, false, kBoilingPoint, kBoilingPoint + 0.75, 1}};
    for (const Row& r : rows) {
        const Profile p = VelmorToTarsilImport::WorkOutLiveSteam(20, 150, kAtmosphere, 1.0, r.subCool, r.superHeat);
        ASSERT_EQ(p.segments.size(), r.segments) << r.subCool << r.superHeat;
        EXPECT_NEAR(p.segments.front().from, r.first, 1e-3);
        EXPECT_NEAR(p.segments.back().to, r.last, 1e-3);
        EXPECT_EQ(p.temperature, 150.0);
        for (std::size_t i = 1; i < p.segments.size(); ++i) EXPECT_EQ(p.segments[i].from, p.segments[i - 1].to);
    }
    // Superheat from 99.97 to 150 C at one atmosphere is about 101 kJ/kg, spread as the boiling
    // band's end to 150 C at the mean specific heat from the boiling point.
    const Profile p = VelmorToTarsilImport::WorkOutLiveSteam(20, 150, kAtmosphere, 1.0, true, true);
    EXPECT_NEAR(p.segments[2].specificHeat * (150 - kBoilingPoint), 101.1, 0.5);
    EXPECT_EQ(p.segments[2].coefficient, 6.0);
}

TEST(LiveSteamProfile, EdgesOfTheProfile) {
    // Boiling within 0.5 C of ambient (2.37 kPa boils at about 20.2 C): one vapour segment.
    Profile p = VelmorToTarsilImport::WorkOutLiveSteam(20, 50, 2.37, 1.0, true, true);
    ASSERT_EQ(p.segments.size(), 1u);
    EXPECT_DOUBLE_EQ(p.segments[0].from, 20.0);
    EXPECT_DOUBLE_EQ(p.segments[0].to, 50.0);
    EXPECT_EQ(p.segments[0].coefficient, 6.0);
    EXPECT_NEAR(p.segments[0].specificHeat, 1.87, 0.05);  // the vapour's own

    // Dry steam well below its boiling point starts boiling 0.75 under its temperature; when that
    // is not above ambient there is no liquid to heat (and no division by a zero span).
    p = VelmorToTarsilImport::WorkOutLiveSteam(20, 20.5, 1000, 1.0, true, true);
    ASSERT_EQ(p.segments.size(), 1u);
    EXPECT_DOUBLE_EQ(p.segments[0].from, 19.75);
    EXPECT_TRUE(std::isfinite(p.segments[0].specificHeat));

    // Wet steam takes its vapour fraction of the latent heat.
    const Profile dry = VelmorToTarsilImport::WorkOutLiveSteam(20, 100, kAtmosphere, 1.0, true, true);
    const Profile wet = VelmorToTarsilImport::WorkOutLiveSteam(20, 100, kAtmosphere, 0.5, true, true);
    EXPECT_NEAR(wet.segments[1].specificHeat, dry.segments[1].specificHeat / 2, 1e-9);
}

TEST(LiveSteamProfile, NoWaterPropertiesLeaveNoSegments) {
    // Above the critical pressure there is no boiling point; ice at -10 C has no liquid enthalpy.
    for (auto [ambient, pressure] : {std::pair{20.0, 30000.0}, {-10.0, kAtmosphere}}) {
        const Profile p = VelmorToTarsilImport::WorkOutLiveSteam(ambient, 150, pressure, 1.0, true, true);
        EXPECT_TRUE(p.propertiesMissing) << pressure;
        EXPECT_TRUE(p.segments.empty());
    }
}

// A feed block -> steam -> a stripping column tray section; the steam's values as given.
struct SteamCase {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    CPItem* steam;
    SteamCase(double temperature, const char* into = "vsTraySection", bool withVapourFraction = true) {
        CPItem* block = b.Item("FEED", "ppFeedOrProductBlock");
        steam = b.Item("STEAM", "ppMaterialStream");
        CaseBuilder::Link(block, steam);
        b.Through(steam, "COL", into, nullptr);
        CaseBuilder::Num(steam, "IsLiveSteam", 1);
        CaseBuilder::Num(steam, "Temperature", temperature);
        CaseBuilder::Num(steam, "Pressure", kAtmosphere);
        CaseBuilder::Num(steam, "MassFlow", 1.0);
        if (withVapourFraction) CaseBuilder::Num(steam, "VapourFraction", 1.0);
        Config().SetSettingValue("DoIExtractLiveSteam", 1);
    }
    DataExtractionConfig& Config() { return *p.scenario->GetDataExtractionConfig(); }
    IHeatIntegrationStream* Run() {
        VelmorToTarsilImport import(p.scenario, &access, &b.simulatorCase);
        import.Extract();
        IHeatIntegrationStream* s = nullptr;
        p.scenario->GetStream(CPString("STEAM"), s);
        return s;
    }
    CPString Report(const char* path) {
        ReportHolder* r = nullptr;
        p.scenario->GetReportHolder(r);
        return r->GetText(path);
    }
};

double segmentLoad(IHeatIntegrationStream* s, int i) {
    double t0 = 0, t1 = 0;
    s->GetValue("Temperature", t0, i);
    s->GetValue("Temperature", t1, i + 1);
    return s->GetSegmentHeatCapacityFlowrate(i) * (t1 - t0);
}

TEST(LiveSteamExtraction, SaturatedSteamBecomesAColdStreamMatchedAgainstSteam) {
    SteamCase c(100);
    IHeatIntegrationStream* s = c.Run();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetHotCold(), 1);
    ASSERT_EQ(s->GetNumberOfSegments(), 2);
    EXPECT_DOUBLE_EQ(s->GetSupplyTemperature(), 20.0);
    EXPECT_NEAR(s->GetTargetTemperature(), kBoilingPoint + 0.75, 1e-3);
    EXPECT_NEAR(segmentLoad(s, 0) / 335.3, 1.0, 0.005);
    EXPECT_NEAR(segmentLoad(s, 1) / 2258.5, 1.0, 0.005);
    double h = 0;
    s->GetValue("CHTCoeff", h, 0);
    EXPECT_EQ(h, 3.75);
    s->GetValue("CHTCoeff", h, 1);
    EXPECT_EQ(h, 6.0);

    // The default utilities serve 100.7 C with LP steam; the match has its own economics.
    IHeatIntegrationStream* utility = nullptr;
    ASSERT_TRUE(c.p.scenario->GetStream(CPString("LP Steam"), utility));
    EXPECT_STREQ(c.p.scenario->GetMatchCostModelName("LP Steam", "STEAM"), "SIMULATEDLIVESTEAMECONOMICS");
    EXPECT_DOUBLE_EQ(c.p.scenario->GetEconomicData(1, "SIMULATEDLIVESTEAMECONOMICS"), 0.0001);
    EXPECT_DOUBLE_EQ(c.p.scenario->GetEconomicData(2, "SIMULATEDLIVESTEAMECONOMICS"), 1.0);
    IHENDesign* design = nullptr;
    ASSERT_TRUE(c.p.scenario->GetDesign(CPString("SimulationBaseCase"), design));
    CNode* exchanger = design->GetNodeByName("STEAM_HeatExchange");
    ASSERT_NE(exchanger, nullptr);
    EXPECT_EQ(design->GetNumberOfHeatExchangers(), 1);
    EXPECT_NE(c.Report("Streams:STEAM").find("STEAM"), std::string::npos);
}

TEST(LiveSteamExtraction, SettingsAndFeedsThatLeaveNoStreamOrFewerSegments) {
    {
        SteamCase c(100);
        c.Config().SetSettingValue("UseSubCoolLiveSteam", 0);
        IHeatIntegrationStream* s = c.Run();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->GetNumberOfSegments(), 1);
        EXPECT_NEAR(s->GetSupplyTemperature(), kBoilingPoint, 1e-3);
    }
    {
        SteamCase c(150);
        c.Config().SetSettingValue("UseSuperHeatLiveSteam", 0);
        IHeatIntegrationStream* s = c.Run();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->GetNumberOfSegments(), 2);
        EXPECT_NEAR(s->GetTargetTemperature(), kBoilingPoint + 0.75, 1e-3);
    }
    {
        SteamCase c(150, "vsTraySection", false);  // no vapour fraction: dry steam
        IHeatIntegrationStream* s = c.Run();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->GetNumberOfSegments(), 3);
    }
    {
        SteamCase c(35);  // colder than an ambient of 40: left out, and named
        c.Config().SetSettingValue("UserSuppliedAmbientTemperature", 40);
        EXPECT_EQ(c.Run(), nullptr);
        EXPECT_NE(c.Report("Warnings:Live_Steam").find("Live steam STEAM at 35 C, below the ambient 40 C"), std::string::npos);
    }
    {
        SteamCase c(150, "htHeater");  // steam into a heater is a utility there
        EXPECT_EQ(c.Run(), nullptr);
    }
    {
        SteamCase c(150);
        c.Config().SetSettingValue("DoIExtractLiveSteam", 0);
        EXPECT_EQ(c.Run(), nullptr);
    }
    {
        SteamCase c(15);
        EXPECT_EQ(c.Run(), nullptr);
        EXPECT_NE(c.Report("Warnings:Live_Steam").find("STEAM"), std::string::npos);
    }
}

TEST(LiveSteamExtraction, SteamWithoutWaterPropertiesGetsNoSegmentsAndAWarning) {
    SteamCase c(150);
    c.Config().SetSettingValue("UserSuppliedAmbientTemperature", -10);  // liquid water below 0 C
    IHeatIntegrationStream* s = c.Run();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetSupplyTemperature(), CPValue::Empty);
    EXPECT_EQ(s->GetNumberOfSegments(), 1);
    const CPString warning = c.Report("Warnings:Live_Steam");
    EXPECT_NE(warning.find("STEAM"), std::string::npos);
    EXPECT_EQ(warning.find("-32767"), std::string::npos);
}

}  // namespace
