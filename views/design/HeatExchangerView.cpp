// The exchanger view's frame: construction, the design's notices, the units next to the four
// ports and their streams, the child links and the command words.
#include "views/design/HeatExchangerView.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/grid/HENDiagram.h"

namespace {

// Walks are bounded by this many steps when the design cannot say how many nodes it has.
constexpr int kLongestWalk = 1 << 20;

bool upstreamPort(int port) { return port == 0 || port == 2; }

Text stringValue(const CNode* node, const char* name) {
    CPString s;
    return node && node->getVariableAsString(name, s) ? Text(s.c_str()) : Text();
}

}  // namespace

const std::vector<int>& HeatExchangerView::SubscribedCodes() {
    static const std::vector<int> codes{1, 5, 6, 7, 27, 28, IHENDesign::ChangeUnitRenamed};
    return codes;
}

HeatExchangerView::HeatExchangerView(Viewable* parent, IHENDesign* design, const ObjectTypeInfo* type, CNode* node)
    : Viewable(parent, type), pDesign(design), pNode(node) {
    Subscribe();
    if (node) {
        pModel = NodeCast<HeatExch>(node, NodeKind::CountercurrentHX);
        strExchangerName = node->getName().c_str();
        // Forms reach the view by the unit's name.
        SetName(stringValue(node, NodeValue::UnitOperationName));
    }
    BuildTemperatureEnthalpyPlot();
}

HeatExchangerView::HeatExchangerView(ObjectInstanceInfo& info) : Viewable(info) {}

HeatExchangerView::~HeatExchangerView() {
    Unsubscribe();
    ForgetNeighbourViews();
    if (TwoDimPlot* plot = pPlot) {
        pPlot = nullptr;
        plot->RemoveDeathPostee(this);
        delete plot;
    }
    candidateOrder.clear();
}

void HeatExchangerView::Subscribe() {
    if (!pDesign || subscribed) return;
    if (!pDesign->AddNotificationReceiver(this)) return;
    subscribed = true;
    for (int code : SubscribedCodes()) pDesign->AddValidMessage(this, code);
}

void HeatExchangerView::Unsubscribe() {
    if (pDesign && subscribed) pDesign->RemoveNotificationReceiver(this);
    subscribed = false;
}

HIDesignViewerDesign* HeatExchangerView::DesignViewer() const {
    return dynamic_cast<HIDesignViewerDesign*>(GetParent());
}

CNode* HeatExchangerView::PortNode(int port) const {
    if (!pModel) return nullptr;
    switch (port) {
        case 0: return pModel->getInlet(0);
        case 1: return pModel->getOutlet(0);
        case 2: return pModel->getInlet(1);
        case 3: return pModel->getOutlet(1);
        default: return nullptr;
    }
}

CNode* HeatExchangerView::Beyond(CNode* node, bool upstream, int steps) {
    for (int i = 0; node && i < steps; ++i) node = upstream ? node->getIthUpStreamNode(0) : node->getIthDownStreamNode(0);
    return node;
}

IHeatIntegrationStream* HeatExchangerView::StreamOf(CNode* node) {
    auto* piece = dynamic_cast<StreamPiece*>(node);
    IHeatIntegrationStream* stream = piece ? dynamic_cast<IHeatIntegrationStream*>(piece->getParentPIStream()) : nullptr;
    if (stream) pCurrentStream = stream;
    return stream;
}

// ---- neighbours ----

void HeatExchangerView::SetNeighbourView(int port, Viewable* view) {
    Viewable* old = neighbourViews[port];
    neighbourViews[port] = view;
    if (old == view) return;
    // A view may stand next to two ports (a unit on both streams): it is let go when no port
    // holds it any more.
    bool stillHeld = false;
    for (Viewable* v : neighbourViews) stillHeld = stillHeld || v == old;
    if (old && !stillHeld && old != this) old->RemoveDeathPostee(this);
    if (view && view != this) view->AddDeathPostee(this);
}

void HeatExchangerView::ForgetNeighbourViews() {
    for (int port = 0; port < 4; ++port) SetNeighbourView(port, nullptr);
}

void HeatExchangerView::ResetConnection(int port) {
    if (!pModel || !validPort(port)) return;
    const bool up = upstreamPort(port);
    const NodeKindId end = up ? NodeKindId::FeedBlock : NodeKindId::ProductBlock;
    CNode* found = nullptr;
    const int longest = pDesign ? pDesign->GetNumberOfNodes() + 1 : kLongestWalk;
    CNode* node = PortNode(port);
    for (int steps = 0; node && steps < longest; ++steps) {
        const NodeKindId kind = node->getKindId();
        if (node->isExchangerKind() || kind == NodeKindId::Tee || kind == NodeKindId::Mixer || kind == end) {
            found = node;
            break;
        }
        node = up ? node->getIthUpStreamNode(0) : node->getIthDownStreamNode(0);
    }
    neighbourNodes[port] = found;
    HIDesignViewerDesign* viewer = DesignViewer();
    // The design viewer may make the neighbour's view now, which resolves its own neighbours
    // and may find this view again: this view is already in the viewer's list.
    const std::weak_ptr<const bool> alive = LifeToken();
    Viewable* view = found && viewer ? viewer->GetEquipmentView(found) : nullptr;
    if (alive.expired()) return;
    SetNeighbourView(port, view);
    neighbourNames[port] = Text();
    if (view) {
        neighbourNames[port] = stringValue(found, NodeValue::UnitOperationName);
        view->SetCaption(neighbourNames[port]);
    }
}

void HeatExchangerView::EstablishConnections() {
    for (int port = 0; port < 4; ++port) ResetConnection(port);
}

void HeatExchangerView::GetHExStreamNames() {
    for (int i = 2; i < 6; ++i) streamNames[i] = Text();
    if (!pModel || !pDesign || !pNode) return;
    streamNames[0] = stringValue(PortNode(0), NodeValue::ParentStream);
    streamNames[1] = stringValue(PortNode(2), NodeValue::ParentStream);
    // Port: the side of the neighbour whose stream is read, and where its name goes.
    struct Far {
        int side;
        bool inlet;
        int slot;
    };
    static const Far kFar[4] = {{1, false, 3}, {1, true, 5}, {0, false, 4}, {0, true, 2}};
    for (int port = 0; port < 4; ++port) {
        CNode* neighbour = neighbourNodes[port];
        if (!neighbour || !neighbour->isExchangerKind()) continue;
        // Found again from the port: a heater or cooler at the port puts it two nodes further.
        const int steps = pDesign->IsPortFreeOfUtility(pNode, port) ? 1 : 3;
        HeatExch* far = NodeCast<HeatExch>(Beyond(PortNode(port), upstreamPort(port), steps), NodeKind::CountercurrentHX);
        if (!far) continue;
        const Far& f = kFar[port];
        CNode* node = f.inlet ? static_cast<CNode*>(far->getInlet(f.side)) : far->getOutlet(f.side);
        streamNames[static_cast<std::size_t>(f.slot)] = stringValue(node, NodeValue::ParentStream);
    }
}

double HeatExchangerView::NeighbourKind(int port) {
    if (!validPort(port)) return EmptyValue;
    const CNode* n = neighbourNodes[port];
    if (!n) return 0.0;
    switch (n->getKindId()) {
        case NodeKindId::FeedBlock:
        case NodeKindId::ProductBlock: return 0.0;
        case NodeKindId::Mixer: return 1.0;
        case NodeKindId::Tee: return 2.0;
        case NodeKindId::CountercurrentHX:
        case NodeKindId::HeatExchanger: break;
        default: return EmptyValue;
    }
    GetHExStreamNames();
    // Hot inlet and cold outlet sit at the exchanger's hot end, hot outlet and cold inlet at its
    // cold end: the neighbours there share both streams when the names agree.
    const bool hotEnd = port == 0 || port == 3;
    const bool same = hotEnd ? streamNames[0] == streamNames[2] && streamNames[1] == streamNames[3]
                             : streamNames[0] == streamNames[4] && streamNames[1] == streamNames[5];
    return same ? 4.0 : 3.0;
}

double HeatExchangerView::OrientationCode() const {
    HIDesignViewerDesign* viewer = DesignViewer();
    if (!viewer) return EmptyValue;
    const HENDiagram* diagram = viewer->GetGridDiagram();
    const bool switched = diagram && diagram->reverseDirection;
    const bool test = !(pModel && (pModel->IsHotSideReversed() || pModel->IsColdSideReversed()));
    if (switched) return test ? 0.0 : 2.0;
    return test ? 1.0 : 3.0;
}

// ---- notices, links, commands ----

void HeatExchangerView::NotifyChange(int code, const CPString& text, void*) {
    if (code == 1 || (code == 6 && Text(text.c_str()) == strExchangerName)) {
        // The design or the exchanger is going: so is the view. Nothing of it is touched after;
        // the design's dispatch skips the receiver the destructor took out.
        delete this;
        return;
    }
    if (code == 5 || code == 6 || code == 7 || code == 27 || code == 28) EstablishConnections();
    // Forms reach the view by its unit's name, which a rename anywhere (the design viewer's
    // list, the grid) changes: the view takes the name the unit shows now.
    if (code == IHENDesign::ChangeUnitRenamed && pNode) SetName(stringValue(pNode, NodeValue::UnitOperationName));
}

void HeatExchangerView::DisconnectDeadObject(Viewable* dead) {
    for (Viewable*& view : neighbourViews)
        if (view == dead) view = nullptr;
    if (dead == pPlot) pPlot = nullptr;
    Viewable::DisconnectDeadObject(dead);
}

int HeatExchangerView::Message(const Text& line) {
    Text word, rest;
    line.Token(word, rest);
    if (word == "DeleteHeatExchanger") {
        if (!pDesign || !pNode) return ErrorMsg("ExchangerNotDeleted", Text("(none)")), 0;
        const Text name = pNode->getName().c_str();
        // A network the design holds fixed (in operation, or a retrofit's base) keeps its units;
        // the user is told which of the two holds it.
        if (pDesign->GetOperationLocked()) return ErrorMsg("ExchangerNotDeletedInOperation", name), 0;
        if (pDesign->GetEditLockState() == 1) return ErrorMsg("ExchangerNotDeletedRetrofitBase", name), 0;
        // The design's notice of the deletion closes this view: nothing of it is used after.
        if (!pDesign->DeleteHeatExchanger(pNode, "manually")) return ErrorMsg("ExchangerNotDeleted", name), 0;
        return 1;
    }
    return Viewable::Message(line);
}

Viewable* HeatExchangerView::AttachedObject(const VarDescription& var) {
    if (var.Flags() & VarDescription::FlagSelf) return this;
    if (!var.IsObjectLink()) return Viewable::AttachedObject(var);
    const int number = var.Number();
    const Text& asked = var.ObjectType();
    if (number == 299 && (asked == "TwoDimPlotNTW" || asked == "TwoDimPlotObject")) {
        NameTemperatureEnthalpyPlot();
        return pPlot;
    }
    if (number < 781 || number > 784) return Viewable::AttachedObject(var);
    const int port = number - 781;
    ResetConnection(port);
    Viewable* view = neighbourViews[port];
    const VarDescription* next = var.GetNextLink();
    return view && next ? view->AttachedObject(*next) : view;
}

Text HeatExchangerView::AttachedName(const Viewable* child) const {
    if (child && child == pPlot) return "TwoDimPlotNTW.299";
    return Viewable::AttachedName(child);
}
