// The splitter view: binding to the tee of a split, the units before and after the split, the
// notices, the variables, the names and the commands.
#include "views/design/SplitterView.h"

#include "eng/design/DesignEditLock.h"
#include "eng/design/IHENDesign.h"
#include "lumeth/NewRowMarker.h"
#include "lumeth/Session.h"
#include "pellin/NodeKinds.h"
#include "pellin/UnitNodes.h"
#include "views/design/BeyondUtility.h"
#include "views/design/HIDesignViewerDesign.h"

namespace {

namespace NV = NodeValue;
constexpr double kEmpty = Viewable::EmptyValue;
constexpr int kFlowsheetChanged = 17;
constexpr int kLongestWalk = 1 << 20;

struct Busy {
    Busy() { SignalBusy(true); }
    ~Busy() { SignalBusy(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

Text stringValue(const CNode* node, const char* name) {
    CPString s;
    return node && node->getVariableAsString(name, s) ? Text(s.c_str()) : Text();
}

double knownTemperature(const CNode* node) {
    double v = kEmpty;
    if (!node || node->getVariableStatus(NV::Temperature) == ValueStatus::Open ||
        !node->getVariableAsDouble(NV::Temperature, v))
        return kEmpty;
    return v;
}

CNode* stepsFrom(CNode* node, bool upstream, int steps) {
    for (int i = 0; node && i < steps; ++i) node = upstream ? node->getIthUpStreamNode(0) : node->getIthDownStreamNode(0);
    return node;
}

}  // namespace

const std::vector<int>& SplitterView::SubscribedCodes() {
    static const std::vector<int> codes{1, 5, 6, 7, 27, 28};
    return codes;
}

CNode* SplitterView::SplitterOf(CNode* node) {
    if (!node) return nullptr;
    if (node->getKindId() == NodeKindId::Tee) return node;
    if (node->getKindId() == NodeKindId::Mixer)
        if (auto* mixer = dynamic_cast<Mixer*>(node)) return mixer->getAssociatedSplitter();
    return nullptr;
}

SplitterView::SplitterView(Viewable* parent, IHENDesign* design, const ObjectTypeInfo* type, CNode* node)
    : Viewable(parent, type), pDesign(design), pSplitter(SplitterOf(node)) {
    if (pSplitter) strSplitterName = pSplitter->getName().c_str();
    Subscribe();
}

SplitterView::SplitterView(ObjectInstanceInfo& info) : Viewable(info) {}

SplitterView::~SplitterView() {
    Unsubscribe();
    SetView(pUpstreamView, nullptr);
    SetView(pDownstreamView, nullptr);
}

void SplitterView::Subscribe() {
    if (!pDesign || subscribed || !pDesign->AddNotificationReceiver(this)) return;
    subscribed = true;
    for (int code : SubscribedCodes()) pDesign->AddValidMessage(this, code);
}

void SplitterView::Unsubscribe() {
    if (pDesign && subscribed) pDesign->RemoveNotificationReceiver(this);
    subscribed = false;
}

CNode* SplitterView::GetMixerNode() const {
    auto* tee = dynamic_cast<Splitter*>(pSplitter);
    return tee ? tee->getAssociatedMixer() : nullptr;
}

CNode* SplitterView::Branch(int i) const { return pSplitter ? pSplitter->getIthDownStreamNode(i) : nullptr; }

int SplitterView::NumberOfBranches() const { return pSplitter ? pSplitter->getNumberOfDownStreamSlots() : 0; }

void SplitterView::SetView(Viewable*& slot, Viewable* view) {
    Viewable* old = slot;
    slot = view;
    if (old == view) return;
    if (old && old != this && old != pUpstreamView && old != pDownstreamView) old->RemoveDeathPostee(this);
    if (view && view != this) view->AddDeathPostee(this);
}

void SplitterView::ResetConnection(int side) {
    if (!pSplitter || side < 0 || side > 3) return;
    const bool up = side % 2 == 0;
    CNode* start = up ? pSplitter->getIthUpStreamNode(0) : GetMixerNode() ? GetMixerNode()->getIthDownStreamNode(0) : nullptr;
    const NodeKindId end = up ? NodeKindId::FeedBlock : NodeKindId::ProductBlock;
    CNode* node = start;
    const int longest = pDesign ? pDesign->GetNumberOfNodes() + 1 : kLongestWalk;
    for (int steps = 0; node && steps < longest; ++steps) {
        const NodeKindId kind = node->getKindId();
        if (node->isExchangerKind() || kind == NodeKindId::Tee || kind == NodeKindId::Mixer || kind == end) break;
        node = up ? node->getIthUpStreamNode(0) : node->getIthDownStreamNode(0);
    }
    auto* viewer = dynamic_cast<HIDesignViewerDesign*>(GetParent());
    const std::weak_ptr<const bool> alive = LifeToken();
    Viewable* view = node && viewer ? viewer->GetEquipmentView(node) : nullptr;
    if (alive.expired()) return;
    (up ? pUpstreamNode : pDownstreamNode) = node;
    SetView(up ? pUpstreamView : pDownstreamView, view);
    if (view) {
        const Text name = node->getName().c_str();
        (up ? strUpstreamName : strDownstreamName) = name;
        view->SetCaption(name);
    }
}

void SplitterView::EstablishConnections() {
    ResetConnection(0);
    ResetConnection(1);
}

void SplitterView::NotifyChange(int code, const CPString& text, void*) {
    if (code == 1 || (code == 28 && Text(text.c_str()) == strSplitterName)) {
        // The design or this split is going: so is the view, inside the dispatch.
        delete this;
        return;
    }
    if (code == 5 || code == 6 || code == 7 || code == 27 || code == 28) EstablishConnections();
}

void SplitterView::DisconnectDeadObject(Viewable* dead) {
    if (dead == pUpstreamView) pUpstreamView = nullptr;
    if (dead == pDownstreamView) pDownstreamView = nullptr;
    Viewable::DisconnectDeadObject(dead);
}

int SplitterView::Message(const Text& line) {
    Text word, rest;
    line.Token(word, rest);
    // A network held fixed (in operation, or a retrofit's base) keeps its splits; the user is told
    // which lock holds it.
    const bool splitCommand = word == "AddBranchToExistingSplit" || word == "DeleteSplit";
    if (splitCommand && pSplitter && pDesign)
        if (const char* lock = StructureEditRefusal(*pDesign)) return ErrorMsg(lock, strSplitterName), 0;
    if (word == "AddBranchToExistingSplit") {
        if (!pSplitter || !pDesign) return 0;
        const int before = NumberOfBranches();
        pDesign->AddSplitterBranch(pSplitter, "manually", 1);
        return NumberOfBranches() > before ? 1 : 0;
    }
    if (word == "DeleteSplit") {
        if (!pSplitter || !pDesign) return 0;
        // A removed split closes this view inside the call: only the answer is used after.
        return pDesign->RemoveSplitterMixer(pSplitter, "manually") ? 1 : 0;
    }
    return Viewable::Message(line);
}

Viewable* SplitterView::AttachedObject(const VarDescription& var) {
    if (var.Flags() & VarDescription::FlagSelf) return this;
    if (!var.IsObjectLink() || (var.Number() != 252 && var.Number() != 256)) return Viewable::AttachedObject(var);
    const bool up = var.Number() == 252;
    ResetConnection(up ? 0 : 1);
    Viewable* view = up ? pUpstreamView : pDownstreamView;
    const VarDescription* next = var.GetNextLink();
    return view && next ? view->AttachedObject(*next) : view;
}

Text SplitterView::AttachedName(const Viewable* child) const {
    if (child && child == pUpstreamView) return "ExtraData.252";
    if (child && child == pDownstreamView) return "ExtraData.256";
    return Viewable::AttachedName(child);
}

// ---- variables ----

CNode* SplitterView::TemperatureNode(int number, bool forWrite) const {
    CNode* mixer = GetMixerNode();
    switch (number) {
        case 250: return mixer ? mixer->getIthDownStreamNode(0) : nullptr;
        case 251:
            // The mixed stream on the far side of a heater or cooler after the mixer; none without one.
            if (!mixer || !pDesign || pDesign->IsPortFreeOfUtility(mixer, 2)) return nullptr;
            return beyond_utility::NodeBeyond(mixer->getIthDownStreamNode(0), false);
        case 252:
            if (!pSplitter) return nullptr;
            return forWrite ? pSplitter->getIthUpStreamNode(0) : pSplitter->getIthDownStreamNode(0);
        default: return nullptr;
    }
}

double SplitterView::Value(const VarDescription& var) {
    const int t = var.Type(), n = var.Number(), i = var.Offset(0);
    CNode* mixer = GetMixerNode();
    const bool ready = pSplitter && pDesign && mixer;
    if (t == 11 && n == 200) {
        // An open share (cleared, and not worked out again by the network) holds what it was
        // before: that is no share of the flow, and reads as not known.
        double v = kEmpty;
        CNode* branch = Branch(i);
        if (branch && branch->hasVariable(NV::SplitFraction) &&
            branch->getVariableStatus(NV::SplitFraction) == ValueStatus::Open)
            return kEmpty;
        return branch && branch->getVariableAsDouble(NV::SplitFraction, v) ? v : kEmpty;
    }
    if ((t == 104 || t == 100) && n == 250) {
        if (!ready) return 0.0;
        const bool allowed = pDesign->IsPortFreeOfUtility(mixer, 2) ? pDesign->CanAddUtilityAfterMixer(mixer)
                                                                    : pDesign->CanRemoveUtilityAfterMixer(mixer);
        return allowed ? 1.0 : 0.0;
    }
    if (t == 104) {
        switch (n) {
            case 251: return 0.0;
            case 252: return pUpstreamView ? 1.0 : 0.0;
            case 256: return pDownstreamView ? 1.0 : 0.0;
            case 290: return ready && pDesign->IsPortFreeOfUtility(mixer, 2) ? 1.0 : 0.0;
            case 291: return 1.0;
            default: break;
        }
    }
    if (t == 100 && n == 201) return pDesign ? (pDesign->GetOperationLocked() ? 1.0 : 0.0) : kEmpty;
    if (t == 1 && n >= 250 && n <= 252) return knownTemperature(TemperatureNode(n, false));
    return Viewable::Value(var);
}

int SplitterView::Specify(const VarDescription& var, double value) {
    const int t = var.Type(), n = var.Number(), i = var.Offset(0);
    const bool erase = value == kEmpty;
    const Busy busy;
    if (t == 11 && n == 200) {
        CNode* branch = Branch(i);
        // The cell takes what its state lets the user type: a share the network calculates (the
        // branch left to the balance, or a utility's branch shared out by its duties) is not
        // the user's to write.
        ModifyState fraction = ModifiableState;
        if (!branch || !pDesign || (FractionState(i, fraction) && fraction != ModifiableState)) return 0;
        if (erase) {
            double old = 0.0;
            branch->getVariableAsDouble(NV::SplitFraction, old);
            branch->addVariable(NV::SplitFraction, old, ValueStatus::Open);
            // The shares the balance gave the other branches followed from the one cleared: they
            // are opened with it, so that the network works them out again from what still fixes
            // them (branch duties) or leaves them for the user to give. Kept as calculated, they
            // would hold each other and no share could be typed again.
            for (int k = 0; CNode* other = Branch(k); ++k) {
                if (k == i || !other->hasVariable(NV::SplitFraction) ||
                    other->getVariableStatus(NV::SplitFraction) != ValueStatus::Calculated)
                    continue;
                double share = 0.0;
                other->getVariableAsDouble(NV::SplitFraction, share);
                other->addVariable(NV::SplitFraction, share, ValueStatus::Open);
            }
        } else {
            // A branch takes a share of the inlet flow between 0 and 1.
            // and the shares the user fixes may not together promise more than the whole inflow;
            // where every other branch's share is fixed, this one must hand on what they leave,
            // or the mixer would lose or gain flow.
            double others = 0.0;
            bool othersFixed = true;
            for (int k = 0; CNode* other = Branch(k); ++k) {
                double share = 0.0;
                if (k == i) continue;
                if (other->hasVariable(NV::SplitFraction) &&
                    other->getVariableStatus(NV::SplitFraction) == ValueStatus::Specified &&
                    other->getVariableAsDouble(NV::SplitFraction, share) && share != kEmpty)
                    others += share;
                else
                    othersFixed = false;
            }
            if (!(value >= 0.0 && value <= 1.0) || others + value > 1.0 + 1e-9 ||
                (othersFixed && others + value < 1.0 - 1e-9)) {
                ErrorMsg("SplitFractionError");
                return 0;
            }
            branch->addVariable(NV::SplitFraction, value, ValueStatus::Specified, 1);
        }
        pDesign->ProcessChange(kFlowsheetChanged, CPString(), nullptr);
        return 1;
    }
    if (t == 104 && n == 290) {
        CNode* mixer = GetMixerNode();
        if (!pSplitter || !pDesign || !mixer) return 0;
        // Asked first, as the form's flag (250) asks: a utility the network may not take, or one
        // whose removal would leave it over-specified, is refused.
        const bool remove = !erase && value == 1.0;
        const bool allowed = remove ? pDesign->CanRemoveUtilityAfterMixer(mixer) : pDesign->CanAddUtilityAfterMixer(mixer);
        const bool done = allowed && (remove ? pDesign->RemoveUtilityAtPort(mixer, 2) : pDesign->AddUtilityAtPort(mixer, 2));
        return done ? 1 : 0;
    }
    if (t == 1 && n >= 250 && n <= 252) {
        CNode* node = TemperatureNode(n, true);
        // The cell takes what its state lets the user type, and nothing else.
        if (!node || !pDesign || TemperatureState(n) != ModifiableState) return 0;
        double old = 0.0;
        node->getVariableAsDouble(NV::Temperature, old);
        if (erase) node->addVariable(NV::Temperature, old, ValueStatus::Open, 1);
        else node->addVariable(NV::Temperature, value, ValueStatus::Specified, 1);
        pDesign->ProcessChange(kFlowsheetChanged, CPString(), nullptr);
        return 1;
    }
    return Viewable::Specify(var, value);
}

// False where the form's own state stands (an open share).
bool SplitterView::FractionState(int index, ModifyState& state) const {
    CNode* branch = Branch(index);
    const int s = branch && branch->hasVariable(NV::SplitFraction) ? branch->getVariableStatus(NV::SplitFraction)
                                                                   : ValueStatus::Specified;
    if (s != ValueStatus::Specified && s != ValueStatus::Calculated) return false;
    state = s == ValueStatus::Specified ? ModifiableState : ReadOnlyState;
    return true;
}

ModifyState SplitterView::TemperatureState(int number) const {
    CNode* node = TemperatureNode(number, number == 252);
    if (!node || !node->hasVariable(NV::Temperature)) return ReadOnlyState;
    switch (node->getVariableStatus(NV::Temperature)) {
        case ValueStatus::Specified: {
            // A stream's own supply or target temperature is changed on the stream.
            const CNode* next = stepsFrom(node, number == 252, 1);
            const NodeKindId kind = next ? next->getKindId() : NodeKindId::Other;
            return kind == NodeKindId::FeedBlock || kind == NodeKindId::ProductBlock ? ReadOnlyState : ModifiableState;
        }
        case ValueStatus::Calculated: return ReadOnlyState;
        default: return pDesign && pDesign->IsNotUtilityStreamNode(node) ? ModifiableState : ReadOnlyState;
    }
}

void SplitterView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    const int t = var.Type(), n = var.Number(), i = var.Offset(0);
    // The shares and temperatures edit the network: the existing network of a retrofit (its base)
    // takes none of them.
    if (pDesign && pDesign->GetScenarioLockState() == 1 && ((t == 11 && n == 200) || (t == 1 && n >= 250 && n <= 252))) {
        state = ReadOnlyState;
        return;
    }
    if (t == 11 && n == 200) {
        FractionState(i, state);
        return;
    }
    if (t == 1 && n >= 250 && n <= 252) {
        state = TemperatureState(n);
        return;
    }
    Viewable::VariableStatus(var, state, detail);
}

int SplitterView::Dimensions(const VarDescription& var, DimInfo& dims) {
    const int t = var.Type(), n = var.Number();
    if ((t == 11 && n == 200) || (t == 1519 && (n == 254 || n == 255))) {
        if (!pSplitter) return 0;
        dims.AddDim(NumberOfBranches());
        return 1;
    }
    return Viewable::Dimensions(var, dims);
}

Text SplitterView::TextValue(const VarDescription& var) {
    if (var.Type() != 1519) return Viewable::TextValue(var);
    switch (var.Number()) {
        case 250: return stringValue(pSplitter, NV::UnitOperationName);
        case 251: return stringValue(GetMixerNode(), NV::UnitOperationName);
        case 252: return stringValue(pUpstreamNode, NV::UnitOperationName);
        case 256: return stringValue(pDownstreamNode, NV::UnitOperationName);
        case 255: {
            CNode* branch = pDesign ? Branch(var.Offset(0)) : nullptr;
            if (!branch) return Text();
            const Text name = stringValue(branch, NV::UnitOperationName);
            return name.empty() ? Text(branch->getName().c_str()) : name;
        }
        default: return Viewable::TextValue(var);
    }
}

int SplitterView::SpecifyText(const VarDescription& var, const Text& text) {
    const int n = var.Number();
    if (var.Type() != 1519 || (n != 250 && n != 251 && n != 255)) return Viewable::SpecifyText(var, text);
    if (!pDesign || !pSplitter) return 0;
    CNode* unit = n == 250 ? pSplitter : n == 251 ? GetMixerNode() : Branch(var.Offset(0));
    if (!unit) return 0;
    // The lists' new-row marker is no name, and the user is told so, as on every other unit route.
    if (IsNewRowMarker(text.c_str())) return ErrorMsg("NewRowMarkerEntryName"), 0;
    // Through the design, which refuses an empty or a taken name and logs the change.
    if (pDesign->RenameUnit(CPString(text.c_str()), unit)) return 1;
    ErrorMsg("UnitNameError", text);
    return 0;
}
