// Stream profiles held by the flowsheet for one calculation: the same heat content as one read
// from the stream's segments, at any share of the flow, and read again once let go.
#include "pellin/FlowSheet.h"
#include "pellin/StreamProfile.h"
#include "tests/support/FlowsheetTestStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A stream whose single segment's heat-capacity flow rate can change.
class ChangingStream : public IFlowsheetStream {
public:
    double cp = 4.0;
    const CPString& GetName() const override { return m_name; }
    int GetStreamKind() const override { return 0; }
    int GetHotCold() const override { return 0; }
    int GetNumberOfSegments() const override { return 1; }
    int GetValue(const CPString& name, double& out, int index) const override {
        if (name != "Temperature" || index < 0 || index > 1) return 0;
        out = index == 0 ? 200.0 : 100.0;
        return 1;
    }
    double GetSegmentHeatCapacityFlowrate(int) const override { return cp; }
    double GetSupplyTemperature() const override { return 200.0; }
    double GetTargetTemperature() const override { return 100.0; }

private:
    CPString m_name{"X"};
};

struct HoldCase {
    const char* name;
    std::vector<double> points, cps;
    double fraction;
};

// A failing case is named by its name, not by its bytes.
void PrintTo(const HoldCase& c, std::ostream* os) { *os << c.name; }

class StreamProfileHold : public ::testing::TestWithParam<HoldCase> {};

// Held or read afresh, the profile answers the same to the last bit, and fails alike.
TEST_P(StreamProfileHold, AHeldProfileIsTheOneReadFromTheSegments) {
    const HoldCase& c = GetParam();
    FlowsheetTestStream stream("S", c.points, c.cps, std::vector<double>(c.cps.size(), 0.5));
    FlowSheet sheet;
    sheet.HoldStreamProfiles();
    StreamProfile read, held, heldAgain;
    const bool readOk = read.Build(stream, c.fraction);
    EXPECT_EQ(sheet.HeldStreamProfile(stream, c.fraction, held), readOk);
    EXPECT_EQ(sheet.HeldStreamProfile(stream, c.fraction, heldAgain), readOk);
    // The share itself, shared by every segment at that share of the flow.
    const StreamProfile& shared = sheet.HeldStreamProfile(stream, c.fraction);
    EXPECT_EQ(&shared, &sheet.HeldStreamProfile(stream, c.fraction));
    EXPECT_EQ(held.Valid(), read.Valid());
    EXPECT_EQ(shared.Valid(), read.Valid());
    for (double t : {-20.0, 35.0, 80.0, 121.5, 150.0, 199.0, 260.0}) {
        EXPECT_EQ(held.Enthalpy(t), read.Enthalpy(t)) << t;
        EXPECT_EQ(heldAgain.Enthalpy(t), read.Enthalpy(t)) << t;
        EXPECT_EQ(shared.Enthalpy(t), read.Enthalpy(t)) << t;
        EXPECT_EQ(held.FilmCoefficientAt(t), read.FilmCoefficientAt(t)) << t;
    }
    for (double h : {-50.0, 10.0, 400.0, 900.0, 5000.0}) {
        EXPECT_EQ(held.TemperatureAt(h), read.TemperatureAt(h)) << h;
        EXPECT_EQ(shared.TemperatureAt(h), read.TemperatureAt(h)) << h;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, StreamProfileHold,
    ::testing::Values(HoldCase{"TwoSegmentsFullFlow", {180.0, 120.0, 60.0}, {10.0, 4.0}, 1.0},
                      HoldCase{"TwoSegmentsOnABranch", {180.0, 120.0, 60.0}, {10.0, 4.0}, 0.37},
                      HoldCase{"ColdWithAFlatSegment", {30.0, 90.0, 90.0, 160.0}, {3.0, 5.0, 7.0}, 0.5},
                      HoldCase{"NoFlowOnTheBranch", {180.0, 60.0}, {10.0}, 0.0},
                      HoldCase{"ASegmentWithoutFlow", {180.0, 120.0, 60.0}, {10.0, 0.0}, 1.0}),
    [](const ::testing::TestParamInfo<HoldCase>& info) { return std::string(info.param.name); });

// A stream cut where nothing changes (the same heat-capacity flow rate and film coefficient on
// both sides of the cut) has the very profile it has uncut, to the last bit, so that a search
// over a network reads one plant however its stream table was cut; a cut where the film
// coefficient or the rate changes stays a point of the profile.
struct CutCase {
    const char* name;
    std::vector<double> whole, cut, wholeCps, cutCps, cutFilms;
    double fraction;
    bool sameAsWhole;
};
void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }
class StreamProfileCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(StreamProfileCut, ACutWhereNothingChangesIsNoPointOfTheProfile) {
    const CutCase& c = GetParam();
    FlowsheetTestStream whole("W", c.whole, c.wholeCps, std::vector<double>(c.wholeCps.size(), 0.5)),
        cut("C", c.cut, c.cutCps, c.cutFilms);
    StreamProfile a, b;
    ASSERT_TRUE(a.Build(whole, c.fraction));
    ASSERT_TRUE(b.Build(cut, c.fraction));
    std::vector<double> pointsA, pointsB;
    a.PointsBetween(-1e9, 1e9, pointsA);
    b.PointsBetween(-1e9, 1e9, pointsB);
    EXPECT_EQ(pointsA == pointsB, c.sameAsWhole);
    if (!c.sameAsWhole) return;
    for (double t : {-20.0, 35.0, 61.3, 80.0, 121.5, 127.5, 150.7, 199.0, 260.0}) {
        EXPECT_EQ(b.Enthalpy(t), a.Enthalpy(t)) << t;
        EXPECT_EQ(b.FilmCoefficientAt(t), a.FilmCoefficientAt(t)) << t;
    }
    for (double h : {-50.0, 10.0, 333.3, 400.0, 777.7, 900.0, 5000.0})
        EXPECT_EQ(b.TemperatureAt(h), a.TemperatureAt(h)) << h;
}

INSTANTIATE_TEST_SUITE_P(
    Streams, StreamProfileCut,
    ::testing::Values(
        CutCase{"HotCutInTwo", {186.0, 69.0}, {186.0, 127.5, 69.0}, {1.0226293004786875}, {1.0226293004786875, 1.0226293004786875},
                {0.5, 0.5}, 1.0, true},
        CutCase{"ColdCutInThreeOnABranch", {25.0, 131.0}, {25.0, 60.0, 78.0, 131.0}, {2.1876575572537673},
                {2.1876575572537673, 2.1876575572537673, 2.1876575572537673}, {0.5, 0.5, 0.5}, 0.37, true},
        CutCase{"CutWhereTheFilmChanges", {186.0, 69.0}, {186.0, 127.5, 69.0}, {1.0226293004786875},
                {1.0226293004786875, 1.0226293004786875}, {0.5, 0.25}, 1.0, false},
        CutCase{"CutWhereTheRateChanges", {186.0, 69.0}, {186.0, 127.5, 69.0}, {1.0226293004786875},
                {1.0226293004786875, 1.0226293004787}, {0.5, 0.5}, 1.0, false}),
    [](const ::testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

// While held, the stream is read once (the calculation it serves changes no stream); let go, the
// next request reads the stream as it now is.
TEST(StreamProfileHold, LetGoTheStreamIsReadAsItNowIs) {
    ChangingStream stream;
    FlowSheet sheet;
    StreamProfile p;
    sheet.HoldStreamProfiles();
    ASSERT_TRUE(sheet.HeldStreamProfile(stream, 0.5, p));
    EXPECT_DOUBLE_EQ(p.Enthalpy(200.0), 0.5 * 4.0 * 100.0);
    stream.cp = 6.0;
    ASSERT_TRUE(sheet.HeldStreamProfile(stream, 1.0, p));
    EXPECT_DOUBLE_EQ(p.Enthalpy(200.0), 4.0 * 100.0);
    EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(stream, 0.5).Enthalpy(200.0), 0.5 * 4.0 * 100.0);
    sheet.ReleaseStreamProfiles();
    EXPECT_FALSE(sheet.HoldsStreamProfiles());
    sheet.HoldStreamProfiles();
    ASSERT_TRUE(sheet.HeldStreamProfile(stream, 1.0, p));
    EXPECT_DOUBLE_EQ(p.Enthalpy(200.0), 6.0 * 100.0);
    EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(stream, 0.5).Enthalpy(200.0), 0.5 * 6.0 * 100.0);
}

// Kept streams outlive each release for a run of calculations that changes none of them; any
// other stream is read afresh at each hold, and once the keeping stops every stream is.
TEST(StreamProfileHold, AKeptStreamIsReadOncePerRunAndEveryOtherAtEachHold) {
    ChangingStream kept, other;
    FlowSheet sheet;
    sheet.KeepStreamProfiles({&kept});
    auto heldAt = [&](ChangingStream& stream, double fraction) {
        sheet.HoldStreamProfiles();
        const double h = sheet.HeldStreamProfile(stream, fraction).Enthalpy(200.0);
        sheet.ReleaseStreamProfiles();
        return h;
    };
    EXPECT_DOUBLE_EQ(heldAt(kept, 1.0), 400.0);
    EXPECT_DOUBLE_EQ(heldAt(other, 1.0), 400.0);
    kept.cp = 6.0;
    other.cp = 6.0;
    EXPECT_DOUBLE_EQ(heldAt(kept, 1.0), 400.0);
    EXPECT_DOUBLE_EQ(heldAt(other, 1.0), 600.0);
    // Another share of a kept stream comes from the profile it kept.
    EXPECT_DOUBLE_EQ(heldAt(kept, 0.25), 100.0);
    // Many shares left behind by a moving split: the kept profile still answers them all.
    for (int k = 1; k <= 200; ++k) EXPECT_DOUBLE_EQ(heldAt(kept, k / 400.0), 400.0 * k / 400.0);
    sheet.StopKeepingStreamProfiles();
    EXPECT_DOUBLE_EQ(heldAt(kept, 1.0), 600.0);
    // Keeping again starts from the streams as they are.
    kept.cp = 8.0;
    sheet.KeepStreamProfiles({&kept});
    EXPECT_DOUBLE_EQ(heldAt(kept, 1.0), 800.0);
    kept.cp = 2.0;
    EXPECT_DOUBLE_EQ(heldAt(kept, 1.0), 800.0);
}

// A stream that is not kept is read afresh after every release however its profile was held:
// whole, at shares, while keeping stopped within a hold, before the keeping began, and after
// the shares left behind by a moving split were let go all at once.
TEST(StreamProfileHold, WhatIsNotKeptIsLetGoAtEveryReleaseWhicheverWayItWasHeld) {
    ChangingStream kept, other;
    FlowSheet sheet;
    StreamProfile p;
    // Held before any stream is kept: keeping lets it go, even within the hold.
    sheet.HoldStreamProfiles();
    EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(other, 1.0).Enthalpy(200.0), 400.0);
    other.cp = 5.0;
    sheet.KeepStreamProfiles({&kept});
    ASSERT_TRUE(sheet.HeldStreamProfile(other, 1.0, p));
    EXPECT_DOUBLE_EQ(p.Enthalpy(200.0), 500.0);
    // Whole and at two shares within one hold, all let go at the release.
    EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(other, 0.5).Enthalpy(200.0), 250.0);
    EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(other, 0.25).Enthalpy(200.0), 125.0);
    EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(kept, 1.0).Enthalpy(200.0), 400.0);
    sheet.ReleaseStreamProfiles();
    other.cp = 6.0;
    kept.cp = 6.0;
    sheet.HoldStreamProfiles();
    EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(other, 0.5).Enthalpy(200.0), 300.0);
    EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(other, 1.0).Enthalpy(200.0), 600.0);
    EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(kept, 0.5).Enthalpy(200.0), 200.0);
    sheet.ReleaseStreamProfiles();
    // Shares left behind by a moving split, let go together once they pile up; the stream that
    // is not kept is still read afresh at each hold after that.
    for (int k = 1; k <= 100; ++k) {
        other.cp = 4.0 + k;
        sheet.HoldStreamProfiles();
        EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(kept, k / 200.0).Enthalpy(200.0), 400.0 * k / 200.0);
        EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(other, 0.5).Enthalpy(200.0), 50.0 * (4.0 + k));
        sheet.ReleaseStreamProfiles();
    }
    // Keeping stopped within a hold: the release lets every profile go.
    sheet.HoldStreamProfiles();
    EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(kept, 1.0).Enthalpy(200.0), 400.0);
    sheet.StopKeepingStreamProfiles();
    EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(kept, 1.0).Enthalpy(200.0), 400.0);
    sheet.ReleaseStreamProfiles();
    sheet.HoldStreamProfiles();
    EXPECT_DOUBLE_EQ(sheet.HeldStreamProfile(kept, 1.0).Enthalpy(200.0), 600.0);
    sheet.ReleaseStreamProfiles();
}

}  // namespace
