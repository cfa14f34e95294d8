// Raw property curves on a stream: linearisation into segments, properties from the raw tables,
// enthalpies from the raw curve, and the specific-heat polynomial.
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/SpecificHeatFit.h"
#include "osmeri/CPValue.h"
#include "tests/eng/model/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace streamtest;

namespace {

constexpr const char* kRawT = "Raw_Temperature_DataSet";
constexpr const char* kRawVF = "Raw_VapourFraction_DataSet";
constexpr const char* kRawH = "Raw_MassEnthalpy_DataSet";
constexpr const char* kRawCp = "Raw_SpecificHeat_DataSet";
constexpr const char* kRawMu = "Raw_Viscosity_DataSet";
constexpr const char* kRawRho = "Raw_MassDensity_DataSet";
constexpr const char* kRawK = "Raw_ThermalConductivity_DataSet";

void SetRaw(CPIHeatIntegrationStream& s, const char* name, const std::vector<double>& values) {
    for (std::size_t k = 0; k < values.size(); ++k) ASSERT_EQ(1, s.SetValue(name, values[k], static_cast<int>(k)));
}
// Raw temperatures with a vapour fraction of 0 at every point.
void SetRawTemperatures(CPIHeatIntegrationStream& s, const std::vector<double>& temperatures) {
    SetRaw(s, kRawT, temperatures);
    SetRaw(s, kRawVF, std::vector<double>(temperatures.size(), 0.0));
}
std::vector<double> Points(const CPIHeatIntegrationStream& s) {
    std::vector<double> p;
    for (int i = 0; i <= s.GetNumberOfSegments(); ++i) p.push_back(Value(s, "Temperature", i));
    return p;
}
std::vector<double> SegmentValues(const CPIHeatIntegrationStream& s, const char* name) {
    std::vector<double> v;
    for (int i = 0; i < s.GetNumberOfSegments(); ++i) v.push_back(Value(s, name, i));
    return v;
}

class StreamRawData : public ::testing::Test {
protected:
    void SetUp() override { EnsureRegistries(); }
    CPIHeatIntegrationStream* Stream(const std::vector<double>& points, const char* name = "S") {
        CPIHeatIntegrationStream* s = owner.Add(name);
        SetPoints(*s, points);
        return s;
    }
    FakeStreamOwner owner;
};

// ---- linearisation: refusals leave the stream as it was --------------------------------------------

// ---- linearisation: segments from the enthalpy curve ------------------------------------------------

TEST_F(StreamRawData, AStraightEnthalpyCurveGivesOneSegmentWithItsSlope) {
    CPIHeatIntegrationStream* s = Stream({20, 80});
    s->SetValue("MassFlow", 2.0, 0);
    std::vector<double> t, h;
    for (int k = 0; k < 12; ++k) {
        t.push_back(15.0 + 6.0 * k);  // 15 .. 81: the ends outside the range are dropped
        // Wiggles of 0.5 inside are well within 1 % of the range.
        h.push_back(4.0 * t.back() + (k == 4 || k == 7 ? 0.5 : 0.0));
    }
    SetRawTemperatures(*s, t);
    SetRaw(*s, kRawH, h);

    EXPECT_EQ(1, s->LinearizeRawData(kRawH, "", 0.01, 0));
    ASSERT_EQ(1, s->GetNumberOfSegments());
    EXPECT_EQ((std::vector<double>{20, 80}), Points(*s));
    // Kept points 21 .. 75 (wiggle 0 at both ends): slope exactly 4.
    EXPECT_NEAR(4.0, Value(*s, "SpecificHeat"), 1e-12);
    EXPECT_NEAR(8.0, Value(*s, "HeatCapacityFlowrate"), 1e-12);
    EXPECT_NEAR(-480.0, Value(*s, "Enthalpy"), 1e-9);
    EXPECT_LE(Value(*s, "LinearizationPerformance"), 0.01);
    EXPECT_GT(Value(*s, "LinearizationPerformance"), 0.0);
}

TEST_F(StreamRawData, PropertiesAreMeansAtTheBreakPointsAndDriveTheFilmCoefficient) {
    // Hot 80 -> 20 over a bent curve: slope 2 from 20 to 50, 4 from 50 to 80.
    CPIHeatIntegrationStream* s = Stream({80, 20});
    SetRawTemperatures(*s, {20, 35, 50, 65, 80});
    SetRaw(*s, kRawH, {0, 30, 60, 120, 180});
    SetRaw(*s, kRawCp, {9, 9, 9, 9, 9});  // ignored: the enthalpy curve gives the specific heat
    SetRaw(*s, kRawMu, {1.0, 0.9, 0.8, 0.7, 0.6});
    SetRaw(*s, kRawRho, {1000, 990, 980, 970, 960});
    SetRaw(*s, kRawK, {0.60, 0.61, 0.62, 0.63, 0.64});

    ASSERT_EQ(1, s->LinearizeRawData(kRawH, "SpecificHeat", 0.01, 0));
    ASSERT_EQ(2, s->GetNumberOfSegments());
    EXPECT_EQ((std::vector<double>{80, 50, 20}), Points(*s));
    const std::vector<double> cp = SegmentValues(*s, "SpecificHeat");
    EXPECT_DOUBLE_EQ(4.0, cp[0]);
    EXPECT_DOUBLE_EQ(2.0, cp[1]);
    const std::vector<double> mu = SegmentValues(*s, "Viscosity");
    EXPECT_DOUBLE_EQ(0.7, mu[0]);  // (0.6 + 0.8) / 2
    EXPECT_DOUBLE_EQ(0.9, mu[1]);  // (0.8 + 1.0) / 2
    EXPECT_DOUBLE_EQ(970.0, Value(*s, "MassDensity", 0));
    EXPECT_DOUBLE_EQ(0.61, Value(*s, "ThermalConductivity", 1));
    // With all transport properties in place the clean coefficient comes from the correlation.
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(2, s->GetValueStatus("CHTCoeff", i)) << i;
        EXPECT_GT(Value(*s, "CHTCoeff", i), 0.0);
        EXPECT_NE(StreamPropertySet::DefaultCleanCoefficient, Value(*s, "CHTCoeff", i));
    }
}

TEST_F(StreamRawData, AnIsothermalStreamSpreadsItsHeatOverHalfADegree) {
    CPIHeatIntegrationStream* s = Stream({100, 100});
    ASSERT_EQ(2, s->GetHotCold());
    SetRawTemperatures(*s, {100, 100, 100});
    SetRaw(*s, kRawH, {0, 20, 50});
    ASSERT_EQ(1, s->LinearizeRawData(kRawH, "SpecificHeat", 0.01, 0));
    ASSERT_EQ(1, s->GetNumberOfSegments());
    EXPECT_DOUBLE_EQ(100.0, Value(*s, "SpecificHeat"));
    EXPECT_EQ((std::vector<double>{100, 100.5}), Points(*s));
    EXPECT_EQ(1, s->GetHotCold());
}

// ---- properties at the stream's own points ----------------------------------------------------------

TEST_F(StreamRawData, PropertiesAreInterpolatedAtThePoints) {
    CPIHeatIntegrationStream* s = Stream({20, 50, 80});
    SetRawTemperatures(*s, {0, 40, 100});
    SetRaw(*s, kRawH, {0, 160, 400});
    SetRaw(*s, kRawMu, {1.0, 0.6, 0.3});
    ASSERT_EQ(1, s->UpdateSegmentPropertiesFromRawData(kRawH));
    // Viscosity 0.8, 0.55 and 0.4 at the points.
    EXPECT_NEAR(0.675, Value(*s, "Viscosity", 0), 1e-12);
    EXPECT_NEAR(0.475, Value(*s, "Viscosity", 1), 1e-12);
    EXPECT_NEAR(4.0, Value(*s, "SpecificHeat", 0), 1e-12);
    EXPECT_NEAR(4.0, Value(*s, "SpecificHeat", 1), 1e-12);
}

// ---- specific-heat polynomial -----------------------------------------------------------------------

struct MeanCase {
    double t1;
    double t2;
    double mean;
};
struct FitCase {
    const char* label;
    std::vector<double> points;
    std::vector<double> specificHeats;
    bool usable;
    std::vector<MeanCase> means;
};
void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.label;
}

class SpecificHeatPolynomial : public StreamRawData, public ::testing::WithParamInterface<FitCase> {};

TEST_P(SpecificHeatPolynomial, GivesMeanSpecificHeats) {
    const FitCase& c = GetParam();
    CPIHeatIntegrationStream* s = Stream(c.points);
    SetSegmentValues(*s, "SpecificHeat", c.specificHeats);
    EXPECT_EQ(1, s->FitSpecificHeatPolynomial());
    ASSERT_EQ(c.points.size(), s->GetSpecificHeatPolynomial().size()) << c.label;
    EXPECT_EQ(!c.usable, s->GetSpecificHeatPolynomial()[0] == kEmpty) << c.label;
    for (const MeanCase& m : c.means) {
        double reserved = -1.0, mean = -1.0;
        EXPECT_EQ(c.usable ? 1 : 0, s->GetMeanSpecificHeat(m.t1, m.t2, &reserved, &mean)) << c.label;
        EXPECT_DOUBLE_EQ(0.0, reserved);
        EXPECT_NEAR(m.mean, mean, 1e-9) << c.label << " " << m.t1 << ".." << m.t2;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpecificHeatPolynomial,
    ::testing::Values(
        FitCase{"cold two segments",
                {20, 50, 80},
                {4, 5},
                true,
                {{20, 80, 4.5}, {20, 50, 4.0}, {50, 80, 5.0}, {60, 60.005, 5.0}, {30, 30.009, 4.0}}},
        FitCase{"just under a factor 2", {20, 50, 80}, {4, 7.9}, true, {{20, 80, 5.95}}},
        FitCase{"factor 2", {20, 50, 80}, {2, 4}, false, {{20, 80, 0.0}}},
        FitCase{"change of sign", {20, 50, 80}, {4, -4}, false, {{20, 80, 0.0}}},
        FitCase{"missing specific heat", {20, 50, 80}, {4}, false, {{20, 80, 0.0}}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(StreamRawData, OneSegmentOfFourGivesFourTimesTMinusEighty) {
    CPIHeatIntegrationStream* s = Stream({20, 80});
    s->SetValue("SpecificHeat", 4.0, 0);
    double mean = -1.0, reserved = -1.0;
    EXPECT_EQ(0, s->GetMeanSpecificHeat(20, 80, &reserved, &mean));  // not fitted yet
    EXPECT_DOUBLE_EQ(0.0, mean);
    EXPECT_DOUBLE_EQ(0.0, reserved);
    s->FitSpecificHeatPolynomial();
    const std::vector<double>& a = s->GetSpecificHeatPolynomial();
    ASSERT_EQ(2u, a.size());
    EXPECT_NEAR(-80.0, a[0], 1e-12);
    EXPECT_NEAR(4.0, a[1], 1e-12);
    EXPECT_EQ(1, s->GetMeanSpecificHeat(20, 80, nullptr, nullptr));
}

TEST(SpecificHeatFitTest, ReproducesTheSegmentsOfALongStream) {
    std::vector<double> t, c;
    for (int i = 0; i <= 10; ++i) t.push_back(20.0 + 28.0 * i);
    for (int i = 0; i < 10; ++i) c.push_back(4.0 + 0.3 * std::sin(i));
    const SpecificHeatFit::Result fit = SpecificHeatFit::Fit(t, c);
    ASSERT_EQ(SpecificHeatFit::Status::Usable, fit.status);
    EXPECT_GT(fit.condition, 1.0);
    for (int i = 0; i < 10; ++i) {
        const double mean =
            (SpecificHeatFit::Evaluate(fit.coefficients, t[i + 1]) - SpecificHeatFit::Evaluate(fit.coefficients, t[i])) /
            (t[i + 1] - t[i]);
        EXPECT_NEAR(c[i], mean, 1e-9) << i;
    }
}

}  // namespace
