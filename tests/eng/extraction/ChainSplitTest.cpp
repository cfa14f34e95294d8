// Chains cut where the temperature or the molar enthalpy turns, or at a valve, pump or pipe.
#include "tests/eng/extraction/CaseBuilder.h"
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "brasko/ReportHolder.h"
#include "eng/extraction/VelmorToTarsilImport.h"
#include "quenta/RalvexInterface.h"

#include <gtest/gtest.h>

using namespace extraction_test;

namespace {

struct SplitCase {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    ReportHolder report;
    VelmorToTarsilImport import{p.scenario, &access, &b.simulatorCase};
    std::vector<CPItem*> streams;
    // Streams of these temperatures (and molar enthalpies), each joined to the next through a
    // unit of the class given.
    void Build(const std::vector<double>& t, const std::vector<const char*>& units,
               const std::vector<double>& h = {}) {
        for (std::size_t i = 0; i < t.size(); ++i)
            streams.push_back(b.Stream("S" + std::to_string(i + 1), t[i], h.empty() ? CPValue::Empty : h[i]));
        for (std::size_t i = 0; i + 1 < t.size(); ++i)
            b.Through(streams[i], "U" + std::to_string(i + 1), units[i], streams[i + 1]);
    }
    StreamChain Chain() const {
        StreamChain c;
        for (CPItem* s : streams) c.AddItem(s);
        return c;
    }
    std::unique_ptr<StreamChain> Split(StreamChain& c, bool useTemperature = true, double shift = 0.0) {
        return import.SplitChainAtReversal(c, &report, useTemperature, shift);
    }
};

TEST(ChainSplit, ACoolingThenHeatingChainIsCutAtTheTurnWithOneWarning) {
    SplitCase s;
    s.Build({100, 80, 120}, {"htCooler", "htHeater"});
    StreamChain chain = s.Chain();
    auto cut = s.Split(chain);
    ASSERT_TRUE(cut);
    EXPECT_EQ(Names(cut->streams), (std::vector<std::string>{"S1", "S2Duplicate"}));
    EXPECT_EQ(Names(chain.streams), (std::vector<std::string>{"S2", "S3"}));
    EXPECT_EQ(s.report.GetText("Warnings:Temperature_reversal"),
              "The temperature turns at stream S2: the stream was cut there.");
    EXPECT_EQ(s.report.GetTitle("Warnings:Temperature_reversal"), "Streams cut where the temperature turns");
    // The rest is one direction: nothing more to cut.
    EXPECT_FALSE(s.Split(chain));
}

TEST(ChainSplit, ChainsThatAreNotCut) {
    struct Row {
        const char* what;
        std::vector<double> t;
        std::vector<const char*> units;
    };
    const Row rows[] = {
        {"two streams", {100, 150}, {"htHeater"}},
        {"one direction", {100, 80, 60}, {"htCooler", "htCooler"}},
        {"a tee upstream ends the walk", {100, 80, 120}, {"htCooler", "ppTee"}},
        // Under 1 % and no heat lost in the pipe: neither a transfer nor a cut.
        {"pipe with a small change", {100, 99.5, 120}, {"ppPipeSegment", "htHeater"}},
    };
    for (const Row& r : rows) {
        SplitCase s;
        s.Build(r.t, r.units);
        StreamChain chain = s.Chain();
        EXPECT_FALSE(s.Split(chain)) << r.what;
        EXPECT_EQ(chain.Length(), r.t.size()) << r.what;
        EXPECT_FALSE(s.report.HasEntry("Warnings:Temperature_reversal")) << r.what;
    }
}

// A tee met on the walk of a stream folded over it: a break unit met at the start (a valve, or a
// pump with the pump shift on) with two streams before the tee cuts them off there; with one stream
// before it the walk ends, and never goes on through the branches to cut one from the rest. (A
// tee without a break before it ends the walk: the row of ChainsThatAreNotCut.)
TEST(ChainSplit, ATeeEndsTheWalkUnlessAPendingBreakHasAPartToCutOff) {
    SplitCase valve;
    valve.Build({100, 100, 100, 80}, {"ppValve", "ppTee", "htCooler"});
    StreamChain chain = valve.Chain();
    auto cut = valve.Split(chain);
    ASSERT_TRUE(cut);
    EXPECT_EQ(Names(cut->streams), (std::vector<std::string>{"S1", "S2Duplicate"}));
    EXPECT_EQ(Names(chain.streams), (std::vector<std::string>{"S2", "S3", "S4"}));

    // By enthalpy a pump passes its stream on without adding it: one stream before the tee. The
    // cooled branch (S4) and the other (S5, at the feed's enthalpy) are side by side.
    SplitCase pump;
    pump.Build({100, 100, 100, 60, 100}, {"rtPump", "ppTee", "htCooler", "ppMixer"}, {-200, -200, -200, -250, -200});
    StreamChain folded = pump.Chain();
    EXPECT_FALSE(pump.Split(folded, false, 1.0));
    EXPECT_EQ(folded.Length(), 5u);
}

TEST(ChainSplit, AValveCutsAfterTwoStreamsWhateverTheTemperatures) {
    SplitCase s;
    s.Build({100, 120, 140}, {"htHeater", "ppValve"});
    StreamChain chain = s.Chain();
    auto cut = s.Split(chain);
    ASSERT_TRUE(cut);
    EXPECT_EQ(Names(cut->streams), (std::vector<std::string>{"S1", "S2Duplicate"}));
    EXPECT_EQ(Names(chain.streams), (std::vector<std::string>{"S2", "S3"}));
    // Nothing turns at a valve: no reversal is reported.
    EXPECT_FALSE(s.report.HasEntry("Warnings:Temperature_reversal"));
}

TEST(ChainSplit, AValveAtTheStartCutsAtTheNextUnit) {
    SplitCase s;
    s.Build({100, 95, 140, 160}, {"ppValve", "htHeater", "htHeater"});
    StreamChain chain = s.Chain();
    auto cut = s.Split(chain);
    ASSERT_TRUE(cut);
    EXPECT_EQ(Names(cut->streams), (std::vector<std::string>{"S1", "S2Duplicate"}));
    EXPECT_EQ(Names(chain.streams), (std::vector<std::string>{"S2", "S3", "S4"}));
}

TEST(ChainSplit, APureComponentIntoAHeaterIsWalkedByItsEnthalpy) {
    // Boiling at one temperature: the temperatures say nothing, the enthalpies fall and rise.
    SplitCase s;
    s.Build({100, 100, 100}, {"htCooler", "htHeater"}, {-200, -250, -180});
    CaseBuilder::Num(s.streams[0], "IsPureComp", 1);
    s.b.simulatorCase.DeleteItem("U1");
    CPItem* heater = s.b.Item("H0", "htHeater");
    CPItem* cooler = s.b.Item("C0", "htCooler");
    CaseBuilder::Link(s.streams[0], heater);  // its first unit downstream is a heater
    CaseBuilder::Link(s.streams[0], cooler);
    CaseBuilder::Link(cooler, s.streams[1]);
    StreamChain chain = s.Chain();
    auto cut = s.Split(chain, true);
    ASSERT_TRUE(cut);
    EXPECT_EQ(Names(chain.streams), (std::vector<std::string>{"S2", "S3"}));
}

TEST(ChainSplit, APipeThatChangesANegativeEnthalpyMuchIsATransfer) {
    // -1000 to -800 is a change of 20 %: the pipe counts, so the fall through it and the rise
    // through the heater make a turn.
    SplitCase s;
    s.Build({100, 90, 95}, {"ppPipeSegment", "htHeater"}, {-800, -1000, -900});
    StreamChain chain = s.Chain();
    EXPECT_TRUE(s.Split(chain, false));
    // A change of 0.5 % with no heat lost does not.
    SplitCase small;
    small.Build({100, 90, 95}, {"ppPipeSegment", "htHeater"}, {-1000, -1005, -900});
    StreamChain other = small.Chain();
    EXPECT_FALSE(small.Split(other, false));
}

TEST(ChainSplit, AChainCutByTemperatureIsExaminedAgainByEnthalpy) {
    SplitCase s;
    // By temperature: cooled, then heated (cut). By enthalpy the second part turns again.
    s.Build({100, 80, 120, 119}, {"htCooler", "htHeater", "htCooler"}, {-100, -150, -50, -120});
    VelmorToTarsilImport::ChainList chains;
    chains.push_back(std::make_unique<StreamChain>(s.Chain()));
    s.import.SplitChainsAtReversals(chains);
    ASSERT_EQ(chains.size(), 3u);
    EXPECT_EQ(Names(chains[0]->streams), (std::vector<std::string>{"S3", "S4"}));
    EXPECT_EQ(Names(chains[1]->streams), (std::vector<std::string>{"S1", "S2Duplicate"}));
    EXPECT_EQ(Names(chains[2]->streams), (std::vector<std::string>{"S2", "S3Duplicate"}));
}

TEST(ChainSplit, DuplicatesSpliceInNextToTheirSourceUnderAFreeName) {
    SplitCase s;
    s.Build({100, 80}, {"htCooler"});
    CPItem* copy = s.import.DuplicateCaseItem(s.streams[1], 1);
    ASSERT_NE(copy, nullptr);
    CPItem* unit = s.b.simulatorCase.GetItemByName("U1");
    EXPECT_TRUE(unit->IsRelatedTo(copy, CPItem::Downstream));
    EXPECT_TRUE(copy->IsRelatedTo(s.streams[1], CPItem::Downstream));
    EXPECT_FALSE(unit->IsRelatedTo(s.streams[1], CPItem::Downstream));
    EXPECT_EQ(copy->GetVariable("Temperature")->GetAsDouble(), 80.0);
    // The name is taken now (as by an earlier extraction): the next copy takes the first free
    // name after it and splices in between the first copy and its source.
    CPItem* second = s.import.DuplicateCaseItem(s.streams[1], 1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->_get_szName(), "S2Duplicate_2");
    EXPECT_TRUE(copy->IsRelatedTo(second, CPItem::Downstream));
    EXPECT_TRUE(second->IsRelatedTo(s.streams[1], CPItem::Downstream));
    EXPECT_FALSE(copy->IsRelatedTo(s.streams[1], CPItem::Downstream));
    // No neighbour on that side: no copy is left behind in the case.
    EXPECT_EQ(s.import.DuplicateCaseItem(s.streams[0], 1), nullptr);
    EXPECT_EQ(s.b.simulatorCase.GetItemByName("S1Duplicate"), nullptr);
}

}  // namespace
