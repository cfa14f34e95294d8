// Utility placement: utilities for over-specified exchangers in their port order and at the
// ends of an over-specified network, renaming a unit, split fractions from branch duties, moving
// a utility exchanger to its stream's end and the end placeholder of a utility stream.
#include "DesignTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace design_test;

namespace {

// Hot H1 (180 -> 80, CP 2), cold C1 (40 -> 140, CP 2): a match between them covers both at 200 kW.
struct Network : ListenedDesign {
    Network() {
        Add("H1", 180, 80, 2.0);
        Add("C1", 40, 140, 2.0);
        Add("C2", 30, 100, 1.0);
        Add("ST", 250, 249, 0.5, 1);
        Add("CW", 20, 30, 0.1, 1);
        OpenDesign();
    }
    CPString Name(CNode* unit) {
        CPString name;
        unit->getVariableAsString(NodeValue::UnitOperationName, name);
        return name;
    }
};

void MarkOverSpecified(CNode* unit) { unit->addVariable("SpecStatus", 2.0, ValueStatus::Specified); }

}  // namespace

TEST(HENDesignUtilityPlacement, AnOverSpecifiedExchangerTakesAUtilityAtItsPortsInOrderZeroOneThreeTwo) {
    Network n;
    CNode* x = n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x);
    for (int port = 0; port < 4; ++port) ASSERT_TRUE(n.d->RemoveUtilityAtPort(x, port));
    ASSERT_EQ(Chain(*n.d, "H1"), "FsXsE");
    ASSERT_EQ(Chain(*n.d, "C1"), "FsXsE");
    // Each pass finds the first free port of 0, 1, 3, 2.
    const struct {
        const char* hot;
        const char* cold;
    } steps[] = {{"FsPsXsE", "FsXsE"}, {"FsPsXsPsE", "FsXsE"}, {"FsPsXsPsE", "FsXsPsE"}, {"FsPsXsPsE", "FsPsXsPsE"}};
    for (const auto& step : steps) {
        MarkOverSpecified(x);
        n.d->AddMissingUtilities();
        EXPECT_EQ(Chain(*n.d, "H1"), step.hot);
        EXPECT_EQ(Chain(*n.d, "C1"), step.cold);
    }
    // Every port holds a utility: the exchanger is left alone.
    const int nodes = n.d->GetNumberOfNodes();
    MarkOverSpecified(x);
    n.d->AddMissingUtilities();
    EXPECT_EQ(n.d->GetNumberOfNodes(), nodes);
    EXPECT_EQ(StructuralFault(*n.d), "");
}

TEST(HENDesignUtilityPlacement, AnOverSpecifiedHeaterWithBothColdPortsTakenGetsNoUtility) {
    Network n;
    CNode* heater = n.d->AddHeatExchanger(n.Segment("ST", 0), n.Segment("C1", 1), nullptr, nullptr, nullptr);
    ASSERT_TRUE(heater);
    ASSERT_FALSE(n.d->IsPortFreeOfUtility(heater, 2));
    ASSERT_FALSE(n.d->IsPortFreeOfUtility(heater, 3));
    const int nodes = n.d->GetNumberOfNodes();
    MarkOverSpecified(heater);
    n.d->AddMissingUtilities();
    EXPECT_EQ(n.d->GetNumberOfNodes(), nodes);
    EXPECT_EQ(Chain(*n.d, "ST"), "FsXsE");
}

TEST(HENDesignUtilityPlacement, StreamEndsTakeUtilitiesOnlyWhileTheNetworkIsOverSpecified) {
    Network n;
    // Streams alone: nothing open, nothing over-specified.
    ASSERT_EQ(n.d->GetDegreesOfFreedom(), 0);
    const int nodes = n.d->GetNumberOfNodes();
    EXPECT_EQ(n.d->AddUtilitiesAtStreamEnds(), 0);
    EXPECT_EQ(n.d->GetNumberOfNodes(), nodes);

    // A tied exchanger with its duty given on top of four fixed ends: one too many.
    CNode* x = n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C1", 0), nullptr, nullptr, nullptr);
    for (int port = 0; port < 4; ++port) ASSERT_TRUE(n.d->RemoveUtilityAtPort(x, port));
    x->addVariable(NodeValue::Duty, 150.0, ValueStatus::Specified);
    n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    ASSERT_EQ(n.d->GetDegreesOfFreedom(), -2);
    EXPECT_EQ(n.d->AddUtilitiesAtStreamEnds(), 0);
    // Each stream end takes a utility at the exchanger's outlet until nothing is over-specified;
    // C2, untouched, keeps its chain.
    EXPECT_EQ(Chain(*n.d, "H1"), "FsXsPsE");
    EXPECT_EQ(Chain(*n.d, "C1"), "FsXsPsE");
    EXPECT_EQ(Chain(*n.d, "C2"), "FsPsE");
    EXPECT_EQ(StructuralFault(*n.d), "");
}

TEST(HENDesignUtilityPlacement, RenamingAUnitRefusesTakenOrMissingNamesAndTheLoopNamesFollow) {
    Network n;
    n.d->SetLoopAnalysisEnabled(true);
    CNode* a = n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C1", 0), nullptr, nullptr, nullptr);
    CNode* b = n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(a && b);
    ASSERT_GT(n.d->GetNumberOfLoops(), 0);
    const CPString oldA = n.Name(a), oldB = n.Name(b);
    const std::string log = n.d->GetChangeLog();

    EXPECT_EQ(n.d->RenameUnit(oldB, a), 0);
    EXPECT_EQ(n.d->RenameUnit(CPString(), a), 0);
    EXPECT_EQ(n.d->RenameUnit("HX-A", nullptr), 0);
    // The lists' new-row marker names no unit, renamed or added.
    EXPECT_EQ(n.d->RenameUnit("**new**", a), 0);
    EXPECT_EQ(n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C1", 0), nullptr, nullptr, "**New**"), nullptr);
    // Its own name typed again is no clash and no change: done, with nothing logged or told.
    EXPECT_EQ(n.d->RenameUnit(oldA, a), 1);
    EXPECT_EQ(n.Name(a), oldA);
    EXPECT_EQ(n.d->GetChangeLog(), log);
    EXPECT_EQ(n.view.Count(IHENDesign::ChangeUnitRenamed), 0);

    EXPECT_EQ(n.d->RenameUnit("HX-A", a), 1);
    EXPECT_EQ(n.Name(a), CPString("HX-A"));
    EXPECT_EQ(std::string(n.d->GetChangeLog()), log + "Renamed Exchanger No " + oldA.c_str() + " to HX-A;\n");
    EXPECT_TRUE(n.view.Saw(IHENDesign::ChangeUnitRenamed, "HX-A"));
    bool named = false;
    for (int i = 0; i < n.d->GetNumberOfLoops(); ++i) {
        const std::string loop = n.d->GetLoopName(i) ? n.d->GetLoopName(i) : "";
        EXPECT_EQ(loop.find(oldA.c_str()), std::string::npos) << loop;
        named = named || loop.find("HX-A") != std::string::npos;
        for (int k = 0; k < n.d->GetNumberOfUnitsInLoop(i); ++k)
            EXPECT_STRNE(n.d->GetLoopUnitName(i, k), oldA.c_str());
    }
    EXPECT_TRUE(named);
}

namespace {
// C1 split in two, H1 on one branch and H2 on the other with duties 300 and 100 kW; both branch
// fractions specified at one half. `heaterOnSecond` keeps the utility before the second
// branch's exchanger.
struct SplitNetwork : DesignScenario {
    explicit SplitNetwork(bool heaterOnSecond, bool utilitySplit = false) {
        Add("H1", 400, 100, 1.0);
        Add("H2", 300, 200, 1.0);
        Add("C1", 20, 220, 2.0);
        Add("CW", 20, 30, 0.1, 1);
        d = Design("D1");
        CNode* tee = nullptr;
        const char* split = utilitySplit ? "CW" : "C1";
        EXPECT_TRUE(d->AddSplitterMixer(NthSegment(*d, split, 0), NthSegment(*d, split, 0), tee, nullptr, 2));
        branches = tee->getAllDownStreamNodes();
        const char* hot[] = {"H1", "H2"};
        const double duties[] = {300.0, 100.0};
        for (int i = 0; i < 2; ++i) {
            CNode* x = utilitySplit ? d->AddHeatExchanger(NthSegment(*d, hot[i], 0), branches[i], nullptr, nullptr, nullptr)
                                    : d->AddHeatExchanger(NthSegment(*d, hot[i], 0), branches[i], nullptr, nullptr, nullptr);
            EXPECT_TRUE(x);
            x->addVariable(NodeValue::Duty, duties[i], ValueStatus::Specified);
            const int port = utilitySplit ? 0 : 2;
            if (!(heaterOnSecond && i == 1)) d->RemoveUtilityAtPort(x, port);
        }
        for (CNode* branch : branches) branch->addVariable(NodeValue::SplitFraction, 0.5, ValueStatus::Specified);
    }
    double Fraction(int i) const {
        double f = 0.0;
        branches[static_cast<std::size_t>(i)]->getVariableAsDouble(NodeValue::SplitFraction, f);
        return f;
    }
    CPIHENDesign* d = nullptr;
    std::vector<CNode*> branches;
};
}  // namespace

TEST(HENDesignUtilityPlacement, SplitFractionsFollowTheBranchDutiesUnlessABranchHoldsAUtility) {
    const struct {
        bool heaterOnSecond;
        double first, second;
    } cases[] = {{false, 0.75, 0.25}, {true, 0.5, 0.5}};
    for (const auto& c : cases) {
        SplitNetwork n(c.heaterOnSecond);
        double duty = 0.0;
        EXPECT_EQ(n.d->GetBranchDuty(n.branches[0], duty), true);
        EXPECT_NEAR(duty, 300.0, 1e-9);
        n.d->SetSplitFractionsFromDuties();
        EXPECT_NEAR(n.Fraction(0), c.first, 1e-12) << c.heaterOnSecond;
        EXPECT_NEAR(n.Fraction(1), c.second, 1e-12) << c.heaterOnSecond;
        EXPECT_EQ(n.branches[0]->getVariableStatus(NodeValue::SplitFraction), ValueStatus::Specified);
    }
}

// A split put on H2's branch ahead of its exchanger: the branch still carries that exchanger's
// 100 kW past the inner split's mixer, so the outer shares stay 0.75 and 0.25 (the inner split,
// whose branches carry nothing, is left as it is).
TEST(HENDesignUtilityPlacement, ABranchCarryingASplitCountsTheDutiesBeyondItsMixer) {
    SplitNetwork n(false);
    CNode* inner = nullptr;
    ASSERT_TRUE(n.d->AddSplitterMixer(n.branches[1], n.branches[1], inner, nullptr, 2));
    ASSERT_TRUE(inner);
    double duty = 0.0;
    EXPECT_TRUE(n.d->GetBranchDuty(n.branches[1], duty));
    EXPECT_NEAR(duty, 100.0, 1e-9);
    n.d->SetSplitFractionsFromDuties();
    EXPECT_NEAR(n.Fraction(0), 0.75, 1e-12);
    EXPECT_NEAR(n.Fraction(1), 0.25, 1e-12);
    double f = 0.0;
    ASSERT_TRUE(inner->getIthDownStreamNode(0)->getVariableAsDouble(NodeValue::SplitFraction, f));
    EXPECT_NEAR(f, 0.5, 1e-12);
}

TEST(HENDesignUtilityPlacement, BranchDutiesSetTheFractionsOfUtilitySplittersOnly) {
    SplitNetwork process(false);
    process.d->SetSplitFractionsFromBranchDuties();
    EXPECT_NEAR(process.Fraction(0), 0.5, 1e-12);
    EXPECT_NEAR(process.Fraction(1), 0.5, 1e-12);

    SplitNetwork utility(false, true);
    utility.d->SetSplitFractionsFromBranchDuties();
    EXPECT_NEAR(utility.Fraction(0), 0.75, 1e-12);
    EXPECT_NEAR(utility.Fraction(1), 0.25, 1e-12);
}

TEST(HENDesignUtilityPlacement, AUtilityExchangerMovesToTheEndOfItsUtilityAndAProcessExchangerDoesNot) {
    Network n;
    CNode* first = n.d->AddHeatExchanger(n.Segment("ST", 0), n.Segment("C1", 1), nullptr, nullptr, "HTR-1");
    CNode* second = n.d->AddHeatExchanger(n.Segment("ST", 0), n.Segment("C2", 1), nullptr, nullptr, "HTR-2");
    ASSERT_TRUE(first && second);
    auto order = [&] {
        std::string names;
        for (CNode* node : ChainNodes(*n.d, "ST"))
            if (Letter(node) == "X") names += std::string(n.Name(node).c_str()) + " ";
        return names;
    };
    ASSERT_EQ(order(), "HTR-2 HTR-1 ");
    EXPECT_EQ(n.d->MoveUtilityToStreamEnd(second, "ST", "to the end"), 1);
    EXPECT_EQ(order(), "HTR-1 HTR-2 ");
    // Already at the end, on no such stream, or no utility exchanger: nothing moves.
    EXPECT_EQ(n.d->MoveUtilityToStreamEnd(second, "ST", nullptr), 0);
    EXPECT_EQ(n.d->MoveUtilityToStreamEnd(first, "NoSuchStream", nullptr), 0);
    CNode* x = n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C2", 0), nullptr, nullptr, nullptr);
    EXPECT_EQ(n.d->MoveUtilityToStreamEnd(x, "H1", nullptr), 0);
    EXPECT_EQ(StructuralFault(*n.d), "");
}

TEST(HENDesignUtilityPlacement, AUtilityWhoseExchangersWorkWithinItGetsOneEndPlaceholderAndKeepsItsLoad) {
    Network n;
    CNode* heater = n.d->AddHeatExchanger(n.Segment("ST", 0), n.Segment("C1", 1), nullptr, nullptr, nullptr);
    ASSERT_TRUE(heater);
    heater->addVariable(NodeValue::Duty, 50.0, ValueStatus::Specified);
    ASSERT_TRUE(n.d->RemoveUtilityAtPort(heater, 3));
    n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    ASSERT_EQ(AsHeatExch(heater)->getStatus(), ExchangerStatus::Calculated);
    IHeatIntegrationStream* steam = n.scenario->FindStream("ST");
    const double load = steam->GetHeatLoad(1);
    ASSERT_EQ(Chain(*n.d, "ST"), "FsXsE");

    n.d->UpdateStreamTerminals();
    EXPECT_EQ(Chain(*n.d, "ST"), "FsXsPsE");
    EXPECT_DOUBLE_EQ(steam->GetHeatLoad(1), load);
    EXPECT_EQ(steam->GetStreamKind(), 1);
    // A second pass finds the placeholder in place and adds none.
    n.d->UpdateStreamTerminals();
    EXPECT_EQ(Chain(*n.d, "ST"), "FsXsPsE");
    EXPECT_EQ(StructuralFault(*n.d), "");
}

TEST(HENDesignUtilityPlacement, UtilitiesAfterMixersGoAndSplittersWithOneBranchAreTakenOut) {
    for (bool withUnit : {false, true}) {
        Network n;
        CNode* tee = nullptr;
        ASSERT_TRUE(n.d->AddSplitterMixer(n.Segment("C1", 0), n.Segment("C1", 0), tee, nullptr, 1));
        ASSERT_EQ(tee->getNumberOfDownStreamNodes(), 1);
        if (withUnit) {
            ASSERT_TRUE(n.d->AddHeatExchanger(n.Segment("H1", 0), tee->getIthDownStreamNode(0), nullptr, nullptr, nullptr));
            ASSERT_EQ(Chain(*n.d, "C1"), "FsTsPsXsMsPsE");
            n.d->RemoveUtilitiesAfterMixers();
            EXPECT_EQ(Chain(*n.d, "C1"), "FsTsPsXsMsE");
        } else {
            ASSERT_EQ(Chain(*n.d, "C1"), "FsTsMsPsE");
        }
        n.d->RemoveSingleBranchSplitters();
        EXPECT_EQ(Chain(*n.d, "C1"), withUnit ? "FsPsXsE" : "FsPsE");
        EXPECT_EQ(StructuralFault(*n.d), "") << withUnit;
    }
}

TEST(HENDesignUtilityPlacement, StrayPlaceholdersOfAUtilityGoBetweenUnitsAndAfterTheLastOne) {
    Network n;
    CNode* first = n.d->AddHeatExchanger(n.Segment("H1", 1), n.Segment("CW", 0), nullptr, nullptr, "CLR-1");
    ASSERT_TRUE(first);
    CNode* second = n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("CW", 0), nullptr, nullptr, "CLR-2");
    ASSERT_TRUE(second);
    ASSERT_EQ(Chain(*n.d, "CW"), "FsXsXsE");
    // Utilities put on the water by hand: one between the coolers, one after the last.
    ASSERT_TRUE(n.d->AddUtilityAtPort(second, 3));
    ASSERT_EQ(Chain(*n.d, "CW"), "FsXsPsXsE");
    ASSERT_TRUE(n.d->AddUtilityAtPort(ChainNodes(*n.d, "CW")[6], 3));
    ASSERT_EQ(Chain(*n.d, "CW"), "FsXsPsXsPsE");

    std::vector<CPString> removed;
    EXPECT_EQ(n.d->RemoveStrayPlaceholders(n.d->GetNodeByName("CWStart"), &removed), 2);
    EXPECT_EQ(removed.size(), 4u);
    EXPECT_EQ(Chain(*n.d, "CW"), "FsXsXsE");
    for (const CPString& name : removed) EXPECT_EQ(n.d->GetNodeByName(name), nullptr);
    EXPECT_EQ(StructuralFault(*n.d), "");
    // A stream without units keeps its placeholder.
    EXPECT_EQ(n.d->RemoveStrayPlaceholders(n.d->GetNodeByName("STStart"), nullptr), 0);
    EXPECT_EQ(Chain(*n.d, "ST"), "FsPsE");
}
