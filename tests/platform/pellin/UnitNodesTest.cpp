// Tees, mixers and utility placeholders calculated unit by unit on splits worked by hand: the
// shares and mass flows of every branch, nested ones included, the mixed temperatures, and a
// placeholder that finds one end of its stream from the other and its duty.
#include "pellin/FlowSheet.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "pellin/UnitNodes.h"
#include "tests/support/FlowsheetTestStream.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

namespace V = NodeValue;

struct Sheet {
    FlowSheet sheet;
    CNode* add(const char* kind, IFlowsheetStream* s = nullptr) {
        return sheet.addNode(FlowSheet::CreateNode(kind, sheet.getDefaultNodeNameString().c_str(), s));
    }
    void link(CNode* a, CNode* b) { EXPECT_TRUE(sheet.connectNodes(a, b)); }
    std::pair<Splitter*, Mixer*> pair() {
        auto* tee = static_cast<Splitter*>(add(NodeKind::Tee));
        auto* mixer = static_cast<Mixer*>(add(NodeKind::Mixer));
        tee->setAssociatedMixer(mixer);
        mixer->setAssociatedSplitter(tee);
        return {tee, mixer};
    }
};

double value(const CNode* n, const char* name) {
    double v = NAN;
    return n->getVariableAsDouble(name, v) && n->getVariableStatus(name) != ValueStatus::Open ? v : NAN;
}

// H (CP 10, 200 C, 20 kg/s) splits 0.6 / 0.4; the 0.6 branch splits again 0.5 / 0.5, so each of
// its halves carries 0.3 of H (CP 3, 6 kg/s). Placeholders cool the halves by 300 and 180 kW:
// 200 - 300 / 3 = 100 C and 200 - 180 / 3 = 140 C, mixed (0.3 x 100 + 0.3 x 140) / 0.6 = 120 C;
// with the untouched 0.4 branch at 200 C the stream leaves at 0.6 x 120 + 0.4 x 200 = 152 C,
// which is 10 x (200 - 152) = 480 kW below its supply: the two duties.
TEST(UnitNodes, ANestedSplitSharesFlowAndMixesByHand) {
    FlowsheetTestStream h("H", {200, 0}, {10});
    Sheet s;
    CNode* in = s.add(NodeKind::MaterialStream, &h);
    auto [outer, outerMixer] = s.pair();
    auto [inner, innerMixer] = s.pair();
    CNode* a = s.add(NodeKind::MaterialStream, &h);
    CNode* b = s.add(NodeKind::MaterialStream, &h);
    CNode* halves[2] = {s.add(NodeKind::MaterialStream, &h), s.add(NodeKind::MaterialStream, &h)};
    CNode* cooled[2] = {s.add(NodeKind::MaterialStream, &h), s.add(NodeKind::MaterialStream, &h)};
    CNode* placeholders[2] = {s.add(NodeKind::Heater), s.add(NodeKind::Heater)};
    CNode* innerOut = s.add(NodeKind::MaterialStream, &h);
    CNode* out = s.add(NodeKind::MaterialStream, &h);
    s.link(in, outer);
    s.link(outer, a);
    s.link(outer, b);
    s.link(a, inner);
    for (int i = 0; i < 2; ++i) {
        s.link(inner, halves[i]);
        s.link(halves[i], placeholders[i]);
        s.link(placeholders[i], cooled[i]);
        s.link(cooled[i], innerMixer);
    }
    s.link(innerMixer, innerOut);
    s.link(innerOut, outerMixer);
    s.link(b, outerMixer);
    s.link(outerMixer, out);
    in->addVariable(V::Temperature, 200.0, ValueStatus::Specified);
    in->addVariable(V::MassFlow, 20.0, ValueStatus::Specified);
    a->addVariable(V::SplitFraction, 0.6, ValueStatus::Specified);
    halves[0]->addVariable(V::SplitFraction, 0.5, ValueStatus::Specified);
    placeholders[0]->addVariable(V::Duty, 300.0, ValueStatus::Specified);
    placeholders[1]->addVariable(V::Duty, 180.0, ValueStatus::Specified);

    for (CNode* unit : {static_cast<CNode*>(outer), static_cast<CNode*>(inner), placeholders[0], placeholders[1],
                        static_cast<CNode*>(innerMixer), static_cast<CNode*>(outerMixer)})
        unit->Calculate(UnitCode::Calculate);

    EXPECT_NEAR(value(b, V::SplitFraction), 0.4, 1e-12);
    EXPECT_NEAR(value(halves[1], V::SplitFraction), 0.5, 1e-12);
    EXPECT_NEAR(AsStreamNode(halves[0])->getSplitFraction(), 0.3, 1e-12);
    EXPECT_NEAR(AsStreamNode(halves[1])->getSplitFraction(), 0.3, 1e-12);
    EXPECT_NEAR(AsStreamNode(innerOut)->getSplitFraction(), 0.6, 1e-12);
    EXPECT_NEAR(AsStreamNode(out)->getSplitFraction(), 1.0, 1e-12);
    EXPECT_NEAR(value(a, V::MassFlow), 12.0, 1e-12);
    EXPECT_NEAR(value(b, V::MassFlow), 8.0, 1e-12);
    EXPECT_NEAR(value(halves[0], V::MassFlow), 6.0, 1e-12);
    EXPECT_NEAR(value(halves[1], V::MassFlow), 6.0, 1e-12);
    EXPECT_NEAR(value(cooled[0], V::Temperature), 100.0, 1e-9);
    EXPECT_NEAR(value(cooled[1], V::Temperature), 140.0, 1e-9);
    EXPECT_NEAR(value(innerOut, V::Temperature), 120.0, 1e-9);
    EXPECT_NEAR(value(out, V::Temperature), 152.0, 1e-9);
}

struct TeeCase {
    const char* what;
    double given[3];  // the branches' specified shares; NAN: open
    double shares[3];  // what the tee leaves on them; NAN: still open
};
void PrintTo(const TeeCase& c, std::ostream* os) {
    *os << c.what;
}

class UnitNodesTee : public ::testing::TestWithParam<TeeCase> {};

// A tee of three branches on 20 kg/s: the one open share is what the others leave; two open
// shares stay open (either could take any part of the rest). Every branch with a share carries
// that share of the flow.
TEST_P(UnitNodesTee, GivesTheOneOpenShareTheRestAndEachBranchItsFlow) {
    const TeeCase& c = GetParam();
    FlowsheetTestStream h("H", {200, 0}, {10});
    Sheet s;
    CNode* in = s.add(NodeKind::MaterialStream, &h);
    auto [tee, mixer] = s.pair();
    s.link(in, tee);
    CNode* branches[3];
    for (int i = 0; i < 3; ++i) {
        branches[i] = s.add(NodeKind::MaterialStream, &h);
        s.link(tee, branches[i]);
        s.link(branches[i], mixer);
        if (!std::isnan(c.given[i])) branches[i]->addVariable(V::SplitFraction, c.given[i], ValueStatus::Specified);
    }
    in->addVariable(V::Temperature, 200.0, ValueStatus::Specified);
    in->addVariable(V::MassFlow, 20.0, ValueStatus::Specified);
    tee->Calculate(UnitCode::Calculate);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(value(branches[i], V::Temperature), 200.0, 1e-12);
        if (std::isnan(c.shares[i])) {
            EXPECT_TRUE(std::isnan(value(branches[i], V::SplitFraction)));
            EXPECT_TRUE(std::isnan(value(branches[i], V::MassFlow)));
        } else {
            EXPECT_NEAR(value(branches[i], V::SplitFraction), c.shares[i], 1e-12);
            EXPECT_NEAR(value(branches[i], V::MassFlow), 20.0 * c.shares[i], 1e-12);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shares, UnitNodesTee,
                         ::testing::Values(TeeCase{"one open", {0.5, 0.3, NAN}, {0.5, 0.3, 0.2}},
                                           TeeCase{"open first", {NAN, 0.25, 0.25}, {0.5, 0.25, 0.25}},
                                           TeeCase{"two open", {0.5, NAN, NAN}, {0.5, NAN, NAN}}),
                         [](const ::testing::TestParamInfo<TeeCase>& info) {
                             std::string name = info.param.what;
                             for (char& ch : name)
                                 if (ch == ' ') ch = '_';
                             return name;
                         });

struct PlaceholderCase {
    const char* what;
    double supply, target;  // the stream's direction: hot when supply is above target
    bool inletKnown;
    double known, duty, other;
};
void PrintTo(const PlaceholderCase& c, std::ostream* os) {
    *os << c.what;
}

class UnitNodesPlaceholder : public ::testing::TestWithParam<PlaceholderCase> {};

// CP 10: 300 kW move a stream by 30 C, down on a hot stream and up on a cold one; from the
// outlet the placeholder works back to the inlet.
TEST_P(UnitNodesPlaceholder, FindsTheOtherEndFromOneEndAndItsDuty) {
    const PlaceholderCase& c = GetParam();
    FlowsheetTestStream stream("S", {c.supply, c.target}, {10});
    Sheet s;
    CNode* in = s.add(NodeKind::MaterialStream, &stream);
    CNode* p = s.add(NodeKind::Heater);
    CNode* out = s.add(NodeKind::MaterialStream, &stream);
    s.link(in, p);
    s.link(p, out);
    (c.inletKnown ? in : out)->addVariable(V::Temperature, c.known, ValueStatus::Specified);
    p->addVariable(V::Duty, c.duty, ValueStatus::Specified);
    EXPECT_GT(p->Calculate(UnitCode::Calculate), 0);
    EXPECT_NEAR(value(c.inletKnown ? out : in, V::Temperature), c.other, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Sides, UnitNodesPlaceholder,
                         ::testing::Values(PlaceholderCase{"hot_from_inlet", 200, 50, true, 150, 300, 120},
                                           PlaceholderCase{"hot_from_outlet", 200, 50, false, 120, 300, 150},
                                           PlaceholderCase{"cold_from_inlet", 20, 180, true, 50, 300, 80},
                                           PlaceholderCase{"cold_from_outlet", 20, 180, false, 80, 300, 50}),
                         [](const ::testing::TestParamInfo<PlaceholderCase>& info) { return std::string(info.param.what); });

}  // namespace
