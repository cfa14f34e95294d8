#pragma once
// A scenario of the engineering manager (real targets, real designs) with streams given by
// supply, target and CP; a design's chains written as letters; and the structural check of a
// design's flowsheet that every edit must pass.
#include "brasko/NotificationSender.h"
#include "eng/design/HENDesign.h"
#include "eng/design/HENDesignChain.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"
#include "eng/core/Registries.h"
#include "module/LoadSteps.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "tests/support/NotificationRecorder.h"

#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace design_test {

using Listener = NotificationRecorder;

struct DesignScenario {
    DesignScenario() : DesignScenario(nullptr) {}
    // `designs`: the maker of the scenario's designs instead of the production one.
    explicit DesignScenario(std::shared_ptr<IHENDesignFactory> designs) {
        LoadModuleRegistries();
        ScenarioServices services = DefaultScenarioServices();
        if (designs) services.designs = std::move(designs);
        scenario = std::make_unique<CPIScenario>(nullptr, services);
    }
    // kind 0 process, 1 utility; a utility takes `cp` as its cost index.
    CPIHeatIntegrationStream* Add(const char* name, double supply, double target, double cp, int kind = 0) {
        if (!scenario->AddStream(name, kind)) return nullptr;
        CPIHeatIntegrationStream* s = scenario->FindStream(name);
        s->SetValue("Temperature", supply, 0);
        s->SetValue("Temperature", target, 1);
        if (kind == 0) s->SetValue("HeatCapacityFlowrate", cp, 0);
        else s->SetCostIndex(cp);
        return s;
    }
    CPIHENDesign* Design(const char* name) {
        IHENDesign* d = nullptr;
        if (!scenario->GetDesign(CPString(name), d) && !(scenario->AddDesign(name) && scenario->GetDesign(CPString(name), d)))
            return nullptr;
        return dynamic_cast<CPIHENDesign*>(d);
    }
    std::unique_ptr<CPIScenario> scenario;
};

// The nodes of a stream from its feed block to its product block, one letter each: F feed block,
// s segment, P utility placeholder, X exchanger, T tee, M mixer, E product block; "?" marks a
// break in the chain.
inline std::vector<CNode*> ChainNodes(const CPIHENDesign& d, const std::string& stream) {
    std::vector<CNode*> nodes;
    CNode* node = d.GetNodeByName(CPString(stream + "Start"));
    CNode* previous = nullptr;
    for (int guard = 0; node && guard < 100000; ++guard) {
        nodes.push_back(node);
        if (node->getClassName() == NodeKind::ProductBlock) break;
        CNode* next = nullptr;
        if (auto* x = AsHeatExch(node)) next = x->getIthDownStreamNode(x->upStreamSlotOf(previous));
        else next = node->getIthDownStreamNode(0);
        previous = node;
        node = next;
    }
    return nodes;
}

inline std::string Letter(const CNode* n) {
    const CPString& k = n->getClassName();
    if (k == NodeKind::FeedBlock) return "F";
    if (k == NodeKind::MaterialStream) return "s";
    if (k == NodeKind::Heater) return "P";
    if (k == NodeKind::HeatExchanger || k == NodeKind::CountercurrentHX) return "X";
    if (k == NodeKind::Tee) return "T";
    if (k == NodeKind::Mixer) return "M";
    if (k == NodeKind::ProductBlock) return "E";
    return "?";
}

// The n-th segment (from 0) of a stream's chain, or null.
inline CNode* NthSegment(const CPIHENDesign& d, const std::string& stream, int n) {
    for (CNode* node : ChainNodes(d, stream))
        if (Letter(node) == "s" && n-- == 0) return node;
    return nullptr;
}

inline std::string Chain(const CPIHENDesign& d, const std::string& stream) {
    std::string out;
    const std::vector<CNode*> nodes = ChainNodes(d, stream);
    for (const CNode* n : nodes) out += Letter(n);
    if (nodes.empty() || nodes.back()->getClassName() != NodeKind::ProductBlock) out += "?";
    return out;
}

// Empty when the design's flowsheet is in chain form and its exchanger list and stream index
// describe it; else what is wrong.
inline std::string StructuralFault(const CPIHENDesign& d) {
    std::set<const CNode*> visited;
    std::set<const CNode*> exchangersMet;
    for (int i = 0; i < d.GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* s = d.GetStream(i);
        const std::string name = s->GetName();
        const std::vector<CNode*> nodes = ChainNodes(d, name);
        const std::string chain = Chain(d, name);
        if (chain.size() < 5 || chain.front() != 'F' || chain.back() != 'E') return name + " broken: " + chain;
        std::set<const CNode*> onStream;
        for (std::size_t k = 1; k + 1 < nodes.size(); ++k) {
            const bool segment = k % 2 == 1;
            if ((chain[k] == 's') != segment) return name + " does not alternate: " + chain;
            if (segment) {
                CPString parent;
                if (!nodes[k]->getVariableAsString(NodeValue::ParentStream, parent) || parent != s->GetName())
                    return name + " has a foreign segment";
            }
            if (chain[k] == 'X') {
                auto* x = AsHeatExch(nodes[k]);
                const int side = x->upStreamSlotOf(nodes[k - 1]);
                if (side != s->GetHotCold()) return name + " enters an exchanger on the wrong side";
                CPString feed, product;
                x->getVariableAsString(ExchangerPort::Name(2 * side), feed);
                x->getVariableAsString(ExchangerPort::Name(2 * side + 1), product);
                if (feed != nodes[k - 1]->getName() || product != nodes[k + 1]->getName())
                    return name + " port names do not match";
                onStream.insert(nodes[k]);
                exchangersMet.insert(nodes[k]);
            }
            if (chain[k] == 'P' && k + 2 < nodes.size() && chain[k + 2] == 'P')
                return name + " has two placeholders one segment apart: " + chain;
        }
        for (const CNode* n : nodes)
            if (!visited.insert(n).second && Letter(n) != "X") return name + " shares a node";
        std::set<const CNode*> indexed;
        CNode* unit = nullptr;
        for (int k = 0; d.GetUnitOnStream(s->GetName(), k, unit); ++k) indexed.insert(unit);
        if (indexed != onStream) return name + " index differs from the chain";
    }
    std::set<const CNode*> listed;
    CNode* x = nullptr;
    for (int k = 0; d.GetHeatExchanger(k, x); ++k) listed.insert(x);
    if (listed != exchangersMet) return "exchanger list differs from the network";
    for (int k = 0; k < d.GetNumberOfNodes(); ++k)
        if (!visited.count(d.GetNodeByIndex(k))) return "orphan node " + std::string(d.GetNodeByIndex(k)->getName());
    return std::string();
}

// Empty when every stream piece of the design is bound to the scenario's stream of its
// "ParentStream"; else the first piece that is not.
inline std::string ForeignPiece(const CPIHENDesign& d, IHeatIntegrationScenario& scenario) {
    for (int k = 0; k < d.GetNumberOfNodes(); ++k) {
        const auto* piece = dynamic_cast<const StreamPiece*>(d.GetNodeByIndex(k));
        if (!piece) continue;
        IHeatIntegrationStream* own = nullptr;
        CPString name;
        piece->getVariableAsString(NodeValue::ParentStream, name);
        if (!scenario.GetStream(name, own) || own != dynamic_cast<IHeatIntegrationStream*>(piece->getParentPIStream()))
            return std::string(piece->getName());
    }
    return std::string();
}

// A scenario with one design that a recorder listens to for the life of the test.
struct ListenedDesign : DesignScenario {
    ~ListenedDesign() {
        if (d) d->RemoveNotificationReceiver(&view);
    }
    // Makes the design and starts listening to it.
    void OpenDesign(const char* name = "D1") {
        d = Design(name);
        Listen();
    }
    void Listen() {
        if (d) d->AddNotificationReceiver(&view);
    }
    // The n-th segment (0 first) of a stream's chain.
    CNode* Segment(const std::string& stream, int n) { return NthSegment(*d, stream, n); }
    CPIHENDesign* d = nullptr;
    Listener view;
};

// A scenario of `pairs` hot and `pairs` cold streams with steam and cooling water, and the design
// "R" that random edits work on, with the random picks they share.
struct RandomDesignScenario : DesignScenario {
    RandomDesignScenario(int pairs, unsigned seed, bool withDesign = true) : rng(seed) {
        for (int i = 0; i < pairs; ++i) Add(("H" + std::to_string(i)).c_str(), 200 - 5 * i, 60 + 3 * i, 1.0 + i % 3);
        for (int i = 0; i < pairs; ++i) Add(("C" + std::to_string(i)).c_str(), 30 + 4 * i, 180 - 5 * i, 1.5 + i % 2);
        Add("ST", 260, 259, 0.4, 1);
        Add("CW", 15, 25, 0.02, 1);
        if (withDesign) d = Design("R");
    }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    IHeatIntegrationStream* AnyStream() { return d->GetStream(Pick(d->GetNumberOfStreams())); }
    CNode* AnySegment(IHeatIntegrationStream* s) {
        std::vector<CNode*> segments;
        for (CNode* n : ChainNodes(*d, s->GetName()))
            if (Letter(n) == "s") segments.push_back(n);
        return segments.empty() ? nullptr : segments[static_cast<std::size_t>(Pick(static_cast<int>(segments.size())))];
    }
    CNode* AnyExchanger() {
        CNode* x = nullptr;
        return d->GetNumberOfHeatExchangers() && d->GetHeatExchanger(Pick(d->GetNumberOfHeatExchangers()), x) ? x
                                                                                                              : nullptr;
    }
    std::mt19937 rng;
    CPIHENDesign* d = nullptr;
};

}  // namespace design_test
