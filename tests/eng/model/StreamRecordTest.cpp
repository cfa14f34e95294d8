// The stream record: round trips of version 5, older versions read back with their migrations,
// links recalled before their streams exist, and damaged files.
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/HeatIntegrationStream.h"
#include "osmeri/CPValue.h"
#include "tests/eng/model/OldStreamRecordWriter.h"
#include "tests/eng/model/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <ostream>

using namespace streamtest;

namespace {

std::vector<std::uint8_t> StoreStream(const CPIHeatIntegrationStream& s) {
    LurmetBinaryFile f = LurmetBinaryFile::ForWriting();
    EXPECT_TRUE(s.Store(f));
    return f.Bytes();
}

// Reads a stream record into a new stream of `owner`, entering it (as an owner does after
// reading it) when the read succeeds.
CPIHeatIntegrationStream* Recall(FakeStreamOwner& owner, const std::vector<std::uint8_t>& bytes, bool* ok = nullptr) {
    auto stream = std::make_unique<CPIHeatIntegrationStream>(&owner, "");
    LurmetBinaryFile f = LurmetBinaryFile::ForReading(bytes);
    const bool good = stream->Recall(f);
    if (ok) *ok = good;
    if (!good) return nullptr;
    return owner.Enter(std::move(stream));
}

class StreamRecord : public ::testing::Test {
protected:
    void SetUp() override { EnsureRegistries(); }
    FakeStreamOwner owner;
};

TEST_F(StreamRecord, AMultiSegmentStreamWithLinksComesBackWhole) {
    CPIHeatIntegrationStream* a = owner.Add("A");
    owner.Add("B");
    SetPoints(*a, {20, 50, 80});
    SetSegmentValues(*a, "HeatCapacityFlowrate", {1.0, 2.0});
    a->SetValue("Viscosity", 0.8, 1);
    a->SetDTminContribution(8.0, "Local", 0, 0);
    TakeSegments(*a);
    a->SetDTminContribution(8.0, "Local", 0, 0);
    a->SetLoadFraction(0.05, -1);
    a->SetCostIndex(4e-06);
    a->SetStoredInt(17);
    a->LinkStream("B");
    a->GetHeatLoad(0);
    a->SetLocked(true);
    const std::vector<std::uint8_t> bytes = StoreStream(*a);

    FakeStreamOwner other;
    other.Add("B");
    CPIHeatIntegrationStream* r = Recall(other, bytes);
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(CPString("A"), r->GetName());
    EXPECT_EQ(17, r->GetStoredInt());
    EXPECT_EQ(2, r->GetNumberOfSegments());
    EXPECT_TRUE(*a->GetPropertySet().GetProperties() == *r->GetPropertySet().GetProperties());
    EXPECT_EQ(a->GetStreamKind(), r->GetStreamKind());
    EXPECT_EQ(a->GetHotCold(), r->GetHotCold());
    EXPECT_DOUBLE_EQ(4e-06, r->GetCostIndex());
    EXPECT_DOUBLE_EQ(0.05, r->GetLoadFraction(-1));
    EXPECT_DOUBLE_EQ(4.0, r->GetDTminContribution());
    EXPECT_EQ(1, r->GetDTminContributionScope());
    EXPECT_TRUE(r->IsLoadInStep(0));
    EXPECT_DOUBLE_EQ(90.0, r->GetHeatLoad(0));
    EXPECT_TRUE(r->IsLocked());
    EXPECT_TRUE(r->IsComplete());
    EXPECT_TRUE(r->AreDesignSegmentsComplete());
    EXPECT_TRUE(r->IsLinkedTo("B"));
    EXPECT_TRUE(other.FindStream("B")->IsLinkedTo("A"));
    ASSERT_EQ(2u, r->GetDesignSegments()->size());
    EXPECT_EQ(static_cast<IHeatIntegrationStream*>(r), r->GetDesignSegments()->front()->pStream);
    EXPECT_EQ(CPString("A"), r->GetDesignSegments()->front()->StreamName());

    // Stored again, the recalled stream writes the same bytes: every field came back.
    EXPECT_EQ(bytes, StoreStream(*r));
}

// ---- settings few streams change -------------------------------------------------------------------

// A stream keeps its price, end load fractions, placed temperature and emissions coefficient
// apart until one differs from its default bit for bit. Each case sets one of them (or all) and
// checks that it reads back, that the others keep their defaults, and that a copy and a record
// round trip carry it.
struct RareSetting {
    const char* what;
    double costIndex = CPIHeatIntegrationStream::DefaultCostIndex;
    double fractionUp = CPIHeatIntegrationStream::DefaultLoadFraction;    // end +1
    double fractionDown = CPIHeatIntegrationStream::DefaultLoadFraction;  // end -1
    double stored = 0.0;
    double emissions = CPIHeatIntegrationStream::DefaultMassEmissionsCoefficient;
    double creditBefore = 0.0;  // a utility's credit given before the price, when below 0
};

std::ostream& operator<<(std::ostream& os, const RareSetting& c) { return os << c.what; }

void Apply(CPIHeatIntegrationStream& s, const RareSetting& c) {
    if (c.creditBefore < 0.0) s.SetCostIndex(c.creditBefore);
    s.SetCostIndex(c.costIndex);
    s.SetLoadFraction(c.fractionUp, 1);
    s.SetLoadFraction(c.fractionDown, -1);
    s.SetStoredValue(c.stored);
    s.SetMassEmissionsCoefficient(c.emissions);
}

void ExpectSame(double expected, double actual, const char* what) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(expected), std::bit_cast<std::uint64_t>(actual)) << what;
}

void ExpectSettings(const CPIHeatIntegrationStream& s, const RareSetting& c, bool withEmissions = true) {
    ExpectSame(c.costIndex, s.GetCostIndex(), "cost index");
    ExpectSame(c.fractionUp, s.GetLoadFraction(1), "fraction at end +1");
    ExpectSame(c.fractionDown, s.GetLoadFraction(-1), "fraction at end -1");
    ExpectSame(c.stored, s.GetStoredValue(), "placed temperature");
    if (withEmissions) ExpectSame(c.emissions, s.GetMassEmissionsCoefficient(), "emissions");
}

class RareSettings : public ::testing::TestWithParam<RareSetting> {
protected:
    void SetUp() override { EnsureRegistries(); }
    FakeStreamOwner owner;
};

TEST_P(RareSettings, ReadBackCopiedAndRecalled) {
    const RareSetting& c = GetParam();
    CPIHeatIntegrationStream* a = owner.Add("A");
    SetPoints(*a, {150, 50});
    // A utility given a credit once earns one, whatever it is priced at since.
    const bool earns = c.creditBefore < 0.0 || c.costIndex < 0.0;
    if (earns) a->SetStreamKind(CPIHeatIntegrationStream::KindUtility, 0);
    Apply(*a, c);
    ExpectSettings(*a, c);
    EXPECT_EQ(earns, a->EarnsCredit());

    CPIHeatIntegrationStream* copy = owner.Add("Copy");
    ASSERT_EQ(1, copy->CopyFrom(a));
    RareSetting copied = c;  // a copy takes every setting but the emissions coefficient
    copied.emissions = CPIHeatIntegrationStream::DefaultMassEmissionsCoefficient;
    ExpectSettings(*copy, copied);
    EXPECT_EQ(earns, copy->EarnsCredit());

    const std::vector<std::uint8_t> bytes = StoreStream(*a);
    FakeStreamOwner other;
    CPIHeatIntegrationStream* r = Recall(other, bytes);
    ASSERT_NE(nullptr, r);
    ExpectSettings(*r, c, false);  // the record does not hold the emissions coefficient
    EXPECT_EQ(earns, r->EarnsCredit());
    EXPECT_EQ(bytes, StoreStream(*r));

    // Set back to the defaults, every setting reads its default again.
    Apply(*a, RareSetting{"defaults"});
    ExpectSettings(*a, RareSetting{"defaults"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RareSettings,
    ::testing::Values(RareSetting{"defaults"}, RareSetting{"costIndex", 4e-06},
                      RareSetting{"fractionAtUpperEnd", CPIHeatIntegrationStream::DefaultCostIndex, 0.05},
                      RareSetting{"fractionAtLowerEnd", CPIHeatIntegrationStream::DefaultCostIndex,
                                  CPIHeatIntegrationStream::DefaultLoadFraction, 0.2},
                      // -0.0 equals the default 0.0 but is not it bit for bit: it is kept as given.
                      RareSetting{"negativeZeroPlacedTemperature", CPIHeatIntegrationStream::DefaultCostIndex,
                                  CPIHeatIntegrationStream::DefaultLoadFraction,
                                  CPIHeatIntegrationStream::DefaultLoadFraction, -0.0},
                      RareSetting{"emissionsOnly", CPIHeatIntegrationStream::DefaultCostIndex,
                                  CPIHeatIntegrationStream::DefaultLoadFraction,
                                  CPIHeatIntegrationStream::DefaultLoadFraction, 0.0, 7e-05},
                      RareSetting{"allOffTheirDefaults", 1e-06, 0.03, 0.07, 120.0, 2e-05},
                      RareSetting{"credit", -1.89e-06},
                      RareSetting{"creditThenAPricePaid", 2e-06, CPIHeatIntegrationStream::DefaultLoadFraction,
                                  CPIHeatIntegrationStream::DefaultLoadFraction, 0.0,
                                  CPIHeatIntegrationStream::DefaultMassEmissionsCoefficient, -1.89e-06}),
    [](const ::testing::TestParamInfo<RareSetting>& info) { return std::string(info.param.what); });

// ---- older versions --------------------------------------------------------------------------------

// The tree of a stream with two segments, as a version 2 to 4 value set held it.
CPValue TwoSegmentTree(FakeStreamOwner& owner, const std::function<void(CPIHeatIntegrationStream&)>& adjust = {}) {
    CPIHeatIntegrationStream* s = owner.Add("Template");
    SetPoints(*s, {150, 100, 50});
    SetSegmentValues(*s, "HeatCapacityFlowrate", {1.0, 2.0});
    if (adjust) adjust(*s);
    CPValue tree = *s->GetPropertySet().GetProperties();
    owner.Remove("Template");
    return tree;
}

// A utility that earns a credit at a price it pays says so in version 7; each record a writer
// never makes is refused: one that says it earns none, a process stream's, one whose price is a
// credit already, one that ends before it says, and a version 6 record that kept no process values.
struct CreditRecord {
    const char* what;
    int version = 7;
    std::int32_t kind = 1;
    double costIndex = 2e-06;
    std::optional<bool> earns = true;
    bool read = false;
};
void PrintTo(const CreditRecord& c, std::ostream* os) { *os << c.what; }

class CreditRecords : public StreamRecord, public ::testing::WithParamInterface<CreditRecord> {};

TEST_P(CreditRecords, OnlyAUtilityEarningACreditAtAPricePaidIsRead) {
    const CreditRecord& c = GetParam();
    CPValue tree = TwoSegmentTree(owner);
    OldStreamRecord r;
    r.properties = &tree;
    r.version = c.version;
    r.kind = c.kind;
    r.costIndex = c.costIndex;
    r.keptValues = false;
    r.earnsCredit = c.earns;
    bool ok = false;
    CPIHeatIntegrationStream* s = Recall(owner, WriteOldStreamRecord(r), &ok);
    ASSERT_EQ(c.read, ok);
    if (c.read) {
        EXPECT_TRUE(s->EarnsCredit());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CreditRecords,
                         ::testing::Values(CreditRecord{"earnsAtAPricePaid", 7, 1, 2e-06, true, true},
                                           CreditRecord{"saysItEarnsNone", 7, 1, 2e-06, false},
                                           CreditRecord{"processStream", 7, 0},
                                           CreditRecord{"priceIsACredit", 7, 1, -2e-06},
                                           CreditRecord{"endsBeforeTheFlag", 7, 1, 2e-06, std::nullopt},
                                           CreditRecord{"versionSixKeptNothing", 6, 1, 2e-06, std::nullopt}),
                         [](const ::testing::TestParamInfo<CreditRecord>& info) { return std::string(info.param.what); });

TEST_F(StreamRecord, VersionOneListsBecomeValuesAndSegments) {
    OldStreamRecord r;
    r.version = 1;
    r.setVersion = 1;
    r.name = "V1";
    r.kind = 0;
    r.hotCold = 0;
    r.lists[0] = {true, {150, 100, 50}};  // Temperature
    r.lists[3] = {true, {0.3, 0.4}};      // CHTCoeff
    r.lists[4] = {true, {2.0, 3.0}};      // HeatCapacityFlowrate
    bool ok = false;
    CPIHeatIntegrationStream* s = Recall(owner, WriteOldStreamRecord(r), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(CPString("V1"), s->GetName());
    EXPECT_EQ(2, s->GetNumberOfSegments());
    EXPECT_DOUBLE_EQ(150.0, Value(*s, "Temperature", 0));
    EXPECT_DOUBLE_EQ(100.0, Value(*s, "Temperature", 1));
    EXPECT_DOUBLE_EQ(50.0, Value(*s, "Temperature", 2));
    EXPECT_DOUBLE_EQ(2.0, Value(*s, "HeatCapacityFlowrate", 0));
    EXPECT_DOUBLE_EQ(3.0, Value(*s, "HeatCapacityFlowrate", 1));
    EXPECT_DOUBLE_EQ(100.0, Value(*s, "Enthalpy", 0));
    EXPECT_DOUBLE_EQ(150.0, Value(*s, "Enthalpy", 1));
    EXPECT_DOUBLE_EQ(0.3, Value(*s, "CHTCoeff", 0));
    EXPECT_DOUBLE_EQ(0.4, Value(*s, "CHTCoeff", 1));
    EXPECT_DOUBLE_EQ(10.0, Value(*s, "MaxSplitBranches", 0));
    EXPECT_DOUBLE_EQ(0.0, Value(*s, "PricePerMass", 0));
    EXPECT_FALSE(s->IsLocked());
    EXPECT_EQ(0, s->GetHotCold());
}

struct SplitCase {
    double cannotSplit;  // kEmpty: no such value
    double branches;
};
void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << "cannot-split " << c.cannotSplit << ", " << c.branches << " branches";
}

class VersionTwo : public StreamRecord, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(VersionTwo, CannotSplitBecomesABranchLimit) {
    const SplitCase& c = GetParam();
    CPValue tree = TwoSegmentTree(owner, [&](CPIHeatIntegrationStream& s) {
        if (c.cannotSplit != kEmpty) s.SetValue("CannotSplit", c.cannotSplit, 0);
        s.SetValue("PricePerMass", 3.0, 0);
    });
    OldStreamRecord r;
    r.version = 2;
    r.setVersion = 2;
    r.properties = &tree;
    r.locked = true;
    bool ok = false;
    CPIHeatIntegrationStream* s = Recall(owner, WriteOldStreamRecord(r), &ok);
    ASSERT_TRUE(ok);
    EXPECT_DOUBLE_EQ(c.branches, Value(*s, "MaxSplitBranches", 0));
    EXPECT_DOUBLE_EQ(0.0, Value(*s, "PricePerMass", 0));
    EXPECT_TRUE(s->IsLocked());
}

INSTANTIATE_TEST_SUITE_P(Cases, VersionTwo,
                         ::testing::Values(SplitCase{1.0, 1.0}, SplitCase{kEmpty, 10.0}, SplitCase{0.0, 10.0}));

TEST_F(StreamRecord, VersionThreeMovesTheCleanCoefficientAndDropsThePrice) {
    CPValue tree = TwoSegmentTree(owner, [](CPIHeatIntegrationStream& s) {
        s.SetValue("HTCoeff", 0.5, 0);
        s.SetValue("PricePerMass", 3.0, 0);
        s.SetValue("MaxSplitBranches", 4.0, 0);
    });
    // A version 3 tree had neither a clean coefficient nor a fouling factor.
    for (const char* gone : {"CHTCoeff", "FoulingFactor"})
        for (std::size_t k = 0; k < tree.GetNumberOfSubValues(); ++k)
            if (tree.GetSubValue(k)->GetName() == gone) tree.RemoveSubValue(k);
    OldStreamRecord r;
    r.version = 3;
    r.setVersion = 3;
    r.properties = &tree;
    bool ok = false;
    CPIHeatIntegrationStream* s = Recall(owner, WriteOldStreamRecord(r), &ok);
    ASSERT_TRUE(ok);
    EXPECT_DOUBLE_EQ(0.5, Value(*s, "CHTCoeff", 0));
    EXPECT_EQ(1, s->GetValueStatus("CHTCoeff", 0));
    EXPECT_DOUBLE_EQ(0.0, Value(*s, "FoulingFactor", 0));
    EXPECT_EQ(1, s->GetValueStatus("FoulingFactor", 1));
    EXPECT_DOUBLE_EQ(0.5, Value(*s, "HTCoeff", 0));
    EXPECT_EQ(2, s->GetValueStatus("HTCoeff", 0));
    // Segment 1 had a calculated coefficient only: its clean one is empty after the move, and the
    // next value stored gives it the default.
    EXPECT_DOUBLE_EQ(0.2, Value(*s, "CHTCoeff", 1));
    EXPECT_DOUBLE_EQ(0.0, Value(*s, "PricePerMass", 0));
    EXPECT_DOUBLE_EQ(4.0, Value(*s, "MaxSplitBranches", 0));
}

TEST_F(StreamRecord, VersionFourTakesTheBranchLimitFromTheLastSegment) {
    CPValue tree = TwoSegmentTree(owner, [](CPIHeatIntegrationStream& s) {
        s.SetValue("MaxSplitBranches", 3.0, 1);
        s.SetValue("PricePerMass", 3.0, 0);
    });
    OldStreamRecord r;
    r.version = 4;
    r.properties = &tree;
    r.segments = std::vector<StreamSegment>(2);
    bool ok = false;
    CPIHeatIntegrationStream* s = Recall(owner, WriteOldStreamRecord(r), &ok);
    ASSERT_TRUE(ok);
    EXPECT_DOUBLE_EQ(3.0, Value(*s, "MaxSplitBranches", 0));
    EXPECT_DOUBLE_EQ(3.0, Value(*s, "PricePerMass", 0));  // kept from version 4 on
    ASSERT_NE(nullptr, s->GetDesignSegments());
    EXPECT_EQ(2u, s->GetDesignSegments()->size());
    EXPECT_DOUBLE_EQ(kEmpty, s->GetDesignSegments()->front()->dFilmCoefficient);
    EXPECT_EQ(5, s->GetDesignSegments()->front()->nKind);
}

// Version 4 kept a table's film coefficient as the coefficient in use, given; it is read as the
// clean coefficient that gives the same coefficient in use with the segment's fouling, so that a
// fouling or coefficient given afterwards changes the coefficient in use. A fouling beyond the
// coefficient's whole resistance leaves no clean coefficient: the segment stays as it was.
struct GivenCoefficient {
    const char* name;
    int setVersion;
    double fouling;   // given on segment 0 before the coefficient (kEmpty: the default)
    double clean;     // the clean coefficient read (kEmpty: the file's given coefficient kept)
};
void PrintTo(const GivenCoefficient& c, std::ostream* os) { *os << c.name; }

class GivenCoefficientRead : public StreamRecord, public ::testing::WithParamInterface<GivenCoefficient> {};

TEST_P(GivenCoefficientRead, KeepsTheCoefficientInUseAndLetsTheFoulingReachIt) {
    const GivenCoefficient& c = GetParam();
    CPValue tree = TwoSegmentTree(owner, [&](CPIHeatIntegrationStream& s) {
        if (c.fouling != kEmpty) s.SetValue("FoulingFactor", c.fouling, 0);
        s.SetValue("HTCoeff", 0.5, 0);
    });
    OldStreamRecord r;
    r.setVersion = c.setVersion;
    r.properties = &tree;
    bool ok = false;
    CPIHeatIntegrationStream* s = Recall(owner, WriteOldStreamRecord(r), &ok);
    ASSERT_TRUE(ok);
    EXPECT_DOUBLE_EQ(0.5, Value(*s, "HTCoeff", 0));
    // The other segment had no coefficient of its own: the default, as before.
    EXPECT_DOUBLE_EQ(0.2, Value(*s, "CHTCoeff", 1));
    EXPECT_DOUBLE_EQ(0.2, Value(*s, "HTCoeff", 1));
    if (c.clean == kEmpty) {
        EXPECT_EQ(1, s->GetValueStatus("HTCoeff", 0));
        return;
    }
    EXPECT_EQ(2, s->GetValueStatus("HTCoeff", 0));
    EXPECT_EQ(1, s->GetValueStatus("CHTCoeff", 0));
    EXPECT_NEAR(c.clean, Value(*s, "CHTCoeff", 0), 1e-12);
    // A fouling given now reaches the coefficient in use: clean / (fouling x clean + 1).
    ASSERT_EQ(1, s->SetValue("FoulingFactor", 0.4, 0));
    EXPECT_NEAR(c.clean / (0.4 * c.clean + 1.0), Value(*s, "HTCoeff", 0), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GivenCoefficientRead,
    ::testing::Values(GivenCoefficient{"NoFouling", 4, kEmpty, 0.5},
                      GivenCoefficient{"WithFouling", 4, 0.1, 0.5 / (1.0 - 0.5 * 0.1)},
                      GivenCoefficient{"FoulingBeyondTheCoefficient", 4, 2.5, kEmpty},
                      // From version 5 on a given coefficient in use is read as it stands.
                      GivenCoefficient{"CurrentVersion", 5, kEmpty, kEmpty}),
    [](const ::testing::TestParamInfo<GivenCoefficient>& info) { return std::string(info.param.name); });

// ---- links read before their streams ----------------------------------------------------------------

TEST_F(StreamRecord, LinksReadBeforeTheirStreamsAreResolvedAfterwards) {
    OldStreamRecord ra;
    ra.name = "A";
    ra.links = std::vector<CPString>{"B", "Gone"};
    ra.kind = 2;
    CPValue tree = TwoSegmentTree(owner);
    ra.properties = &tree;
    OldStreamRecord rb = ra;
    rb.name = "B";
    rb.links.reset();  // an older file kept the link on one side only
    rb.kind = 0;

    CPIHeatIntegrationStream* a = Recall(owner, WriteOldStreamRecord(ra));
    ASSERT_NE(nullptr, a);
    EXPECT_TRUE(a->IsLinkedTo("B"));
    EXPECT_TRUE(a->IsLinkedTo("Gone"));
    // Stored before the links are resolved, the names are kept.
    std::vector<CPString> names = a->GetLinkedStreamNames();
    EXPECT_EQ((std::vector<CPString>{"B", "Gone"}), names);

    CPIHeatIntegrationStream* b = Recall(owner, WriteOldStreamRecord(rb));
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(1, a->ResolvePendingLinks());  // "Gone" has no stream
    EXPECT_EQ(0, b->ResolvePendingLinks());
    EXPECT_TRUE(a->IsLinkedTo("B"));
    EXPECT_FALSE(a->IsLinkedTo("Gone"));
    EXPECT_TRUE(b->IsLinkedTo("A"));
    EXPECT_EQ(CPIHeatIntegrationStream::KindLinked, b->GetStreamKind());
    owner.Remove("B");
    EXPECT_EQ(0, a->GetNumberOfLinkedStreams());
}

// ---- damaged files --------------------------------------------------------------------------------

}  // namespace
