// Random legal edits on a design of 24 streams and up to 40 exchangers: after every edit each
// stream is still one chain from its feed block to its product block, segments and units
// alternate, every exchanger sits on its side with its port names, and the exchanger list and
// the stream index describe the network. Now and then the design moves into a fresh scenario of
// the same streams and the old scenario goes: the copy must stand on the new streams alone.
#include "DesignTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

using namespace design_test;

namespace {

struct RandomNetwork : RandomDesignScenario {
    explicit RandomNetwork(unsigned seed, bool withDesign = true) : RandomDesignScenario(11, seed, withDesign) {}
    // The design copied into a fresh scenario of the same streams, which carries on with the
    // random choices where this one left off.
    std::unique_ptr<RandomNetwork> MoveToFreshScenario() {
        auto next = std::make_unique<RandomNetwork>(0u, false);
        if (next->scenario->CopyDesignFromScenario(*d) != 1) return nullptr;
        next->d = next->Design("R");
        next->rng = rng;
        return next;
    }
    // One random edit that the design allows; answers what it tried.
    std::string Edit() {
        const int what = d->GetNumberOfHeatExchangers() < 40 ? Pick(10) : 2 + Pick(8);
        if (what < 3) {
            CNode* a = AnySegment(AnyStream());
            CNode* b = AnySegment(AnyStream());
            if (!d->CanMatchStreams(a, b)) return "no match";
            return d->AddHeatExchanger(a, b, "random", nullptr, nullptr) ? "add" : "add refused";
        }
        CNode* x = AnyExchanger();
        if (!x) return "none";
        auto* hx = AsHeatExch(x);
        if (what < 4) return d->DeleteHeatExchanger(x, "random") ? "delete" : "delete refused";
        if (what < 7) {
            const int side = Pick(2);
            CNode* to = AnySegment(AnyStream());
            if (d->CheckStreamMatch(hx->getInlet(1 - side), to)) return "no move";
            return d->MoveHeatExchangerSide(x, hx->getInlet(side), to, "random") ? "move" : "move refused";
        }
        const int port = Pick(4);
        if (what < 9) return d->CanAddUtilityAtPort(x, port) && d->AddUtilityAtPort(x, port) ? "utility added" : "no add";
        return d->CanRemoveUtilityAtPort(x, port) && d->RemoveUtilityAtPort(x, port) ? "utility removed" : "no remove";
    }
};

// Every stream's chain, one line each.
std::string Chains(const CPIHENDesign& d) {
    std::string out;
    for (int i = 0; i < d.GetNumberOfStreams(); ++i) out += Chain(d, d.GetStream(i)->GetName()) + "\n";
    return out;
}

class RandomEdits : public ::testing::TestWithParam<unsigned> {};

}  // namespace

TEST_P(RandomEdits, EveryEditKeepsTheFlowsheetInChainForm) {
    auto owner = std::make_unique<RandomNetwork>(GetParam());
    RandomNetwork* net = owner.get();
    RandomNetwork& n = *net;
    ASSERT_EQ(n.d->GetNumberOfStreams(), 24);
    for (int attempt = 0; attempt < 2000 && n.d->GetNumberOfHeatExchangers() < 40; ++attempt) {
        CNode* a = n.AnySegment(n.AnyStream());
        CNode* b = n.AnySegment(n.AnyStream());
        if (n.d->CanMatchStreams(a, b)) {
            ASSERT_TRUE(n.d->AddHeatExchanger(a, b, "random", nullptr, nullptr));
        }
        ASSERT_EQ(StructuralFault(*n.d), "") << "after adding exchanger " << n.d->GetNumberOfHeatExchangers();
    }
    ASSERT_EQ(n.d->GetNumberOfHeatExchangers(), 40);
    for (int step = 0; step < 500; ++step) {
        if (step % 100 == 50) {
            // The source scenario and its streams go; the copy recalculates on its own.
            const std::string before = Chains(*owner->d);
            const int exchangers = owner->d->GetNumberOfHeatExchangers();
            std::unique_ptr<RandomNetwork> next = owner->MoveToFreshScenario();
            ASSERT_TRUE(next) << "at step " << step;
            owner = std::move(next);
            ASSERT_EQ(ForeignPiece(*owner->d, *owner->scenario), "") << "at step " << step;
            owner->d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
            ASSERT_EQ(Chains(*owner->d), before);
            ASSERT_EQ(owner->d->GetNumberOfHeatExchangers(), exchangers);
        }
        const std::string edit = owner->Edit();
        ASSERT_EQ(StructuralFault(*owner->d), "") << "after step " << step << ": " << edit;
    }
    // A stream leaving takes its exchangers with it and leaves the others in chain form.
    ASSERT_EQ(owner->scenario->DeleteStream("H0"), 1);
    EXPECT_EQ(StructuralFault(*owner->d), "");
    EXPECT_EQ(owner->d->GetNumberOfStreams(), 23);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomEdits, ::testing::Values(1u, 7u, 2024u));
