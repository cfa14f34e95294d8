// The exchanger view's numbers: what each variable shows of the exchanger's node, its ports and
// its neighbours; what a form may write and how a wrong entry is refused; which cells the user
// may edit; the lengths of the lists.
#include "views/design/HeatExchangerView.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/IHENEvent.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"
#include "views/design/ExchangerFouling.h"
#include "pellin/HeatTransfer.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "views/AnnualisedCosts.h"
#include "views/design/BeyondUtility.h"
#include "views/design/HIDesignViewerDesign.h"

#include <cmath>

namespace {

namespace NV = NodeValue;
constexpr double kEmpty = Viewable::EmptyValue;
// The change code that makes the design recalculate after a flowsheet value changed.
constexpr int kFlowsheetChanged = 17;

// Ports of the utility switches 291 to 294: cold inlet, cold outlet, hot inlet, hot outlet.
constexpr int kSwitchPort[4] = {2, 3, 0, 1};

bool upstreamPort(int port) { return port == 0 || port == 2; }

// Every write brackets its work with the busy signal.
struct Busy {
    Busy() { SignalBusy(true); }
    ~Busy() { SignalBusy(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

double anyStatus(const CNode* node, const char* name) {
    double v = kEmpty;
    return node && node->getVariableAsDouble(name, v) ? v : kEmpty;
}

}  // namespace

double HeatExchangerView::KnownValue(const CNode* node, const char* name) {
    double v = kEmpty;
    if (!node || node->getVariableStatus(name) == ValueStatus::Open || !node->getVariableAsDouble(name, v)) return kEmpty;
    return v;
}

double HeatExchangerView::AnyValue(const CNode* node, const char* name) { return anyStatus(node, name); }

void HeatExchangerView::refreshProfile() {
    // The design builds the profile, its utilities at the design's loads of them.
    constexpr int kUnitProfile = 121;
    if (!pModel) return;
    if (pDesign) pDesign->ProcessChange(kUnitProfile, CPString(), pModel);
    else pModel->RefreshTHProfile();
}

CNode* HeatExchangerView::TemperatureNode(int number) const {
    if (number >= 751 && number <= 754) {
        const int port = number - 751;
        // The port's stream on the far side of a heater or cooler at the port; none without one.
        if (!pDesign || !pNode || pDesign->IsPortFreeOfUtility(pNode, port)) return nullptr;
        return beyond_utility::NodeBeyond(PortNode(port), upstreamPort(port));
    }
    if (number >= 755 && number <= 762) return PortNode((number - 755) % 4);
    return nullptr;
}

bool HeatExchangerView::BindScenario() {
    pScenario = pDesign ? pDesign->GetScenario() : nullptr;
    return pScenario != nullptr;
}

double HeatExchangerView::CostLawValue(int type, int index) const {
    IHeatIntegrationScenario* scenario = pDesign ? pDesign->GetScenario() : nullptr;
    if (!scenario || !pNode) return kEmpty;
    CPString model;
    if (!pNode->getVariableAsString(NV::CostModelName, model) || model.empty()) model = "DEFAULT";
    auto datum = [&](int k) { return scenario->GetEconomicData(k, model.c_str()); };
    if (type == 31000) return index == 2 ? datum(0) : kEmpty;
    switch (index) {
        case 3: {
            const double b = datum(1);
            if (b == kEmpty) return kEmpty;
            // The coefficient per unit of the law's basis (heat load or area) in display units.
            const int basis = static_cast<int>(datum(5)) != 0 ? 6 : 41;
            const double unit = calc_ounit(1.0, DefUnitConv(basis, DefaultUnits));
            return calc_ounit(b, DefUnitConv(99, DefaultUnits)) / std::pow(unit, datum(2));
        }
        case 4: return datum(2);
        case 5: return datum(3) * 100.0;
        case 6: return datum(4);
        default: return kEmpty;
    }
}

double HeatExchangerView::Value(const VarDescription& var) {
    const int t = var.Type(), n = var.Number(), i = var.Offset(0);
    const bool ready = pNode && pModel && pDesign;
    switch (t) {
        case 100:
            if (n == 500) {
                if (!ready) return kEmpty;
                switch (pModel->getStatus()) {
                    case 0: case 7: case 8: case 9: return 45.0;
                    case 3: return 46.0;
                    case 2: case 4: case 6: return 0.0;
                    default: return kEmpty;
                }
            }
            if (n == 201) return pDesign ? (pDesign->GetOperationLocked() ? 1.0 : 0.0) : kEmpty;
            if (n == 222) return anyStatus(pModel, "HeatExchangerConfiguration");
            break;
        case 104:
            if (n == 222) return pDesign ? (pDesign->GetOperationLocked() ? 0.0 : 1.0) : kEmpty;
            if (n == 790) {
                long type = 0;
                return pNode && pNode->getVariableStatus(NV::HXType) == ValueStatus::Specified &&
                               pNode->getVariableAsInteger(NV::HXType, type)
                           ? static_cast<double>(type)
                           : 0.0;
            }
            if (n >= 291 && n <= 294)
                return ready ? (pDesign->IsPortFreeOfUtility(pNode, kSwitchPort[n - 291]) ? 1.0 : 0.0) : kEmpty;
            if (n >= 751 && n <= 754) {
                if (!ready) return kEmpty;
                const int port = n - 751;
                const bool can = pDesign->IsPortFreeOfUtility(pNode, port) ? pDesign->CanAddUtilityAtPort(pNode, port)
                                                                          : pDesign->CanRemoveUtilityAtPort(pNode, port);
                return can ? 1.0 : 0.0;
            }
            if (n == 295 || n == 296) {
                GetHExStreamNames();
                // Both neighbours on the other side lie on one stream other than the own one.
                const Text& a = streamNames[n == 295 ? 4 : 3];
                const Text& b = streamNames[n == 295 ? 2 : 5];
                return a == b && a != streamNames[n == 295 ? 0 : 1] ? 1.0 : 0.0;
            }
            if (n == 570) return 1.0;
            if (n >= 781 && n <= 784) return neighbourViews[static_cast<std::size_t>(n - 781)] ? 1.0 : 0.0;
            if (n == 765) return i == 0 ? 0.0 : i == 1 ? 1.0 : kEmpty;
            if (n == 701 || n == 702) {
                const char* name = n == 701 ? NV::NShellsInSeries : "NShellsInParallel";
                if (!pNode || !pNode->hasVariable(name)) return kEmpty;
                return pNode->getVariableStatus(name) == ValueStatus::Specified ? 0.0 : 1.0;
            }
            break;
        case 6:
            if (n == 200 || n == 763) return KnownValue(pNode, NV::Duty);
            if (n == 201) return KnownValue(pNode, "MaxDuty");
            if (n == 210 || n == 211) {
                double v = kEmpty;
                return pModel && pModel->GetTHArrayData("EnthalpyArray", i, v) ? v : kEmpty;
            }
            if (n == 250) {
                double v = kEmpty;
                return pNode && pNode->getIndexedVariable(NV::CrossPinchLoads, i, v) ? v : kEmpty;
            }
            if (n == 570 || n == 572) return CandidateValue(t, n, i);
            if (n == 765) {
                IHeatIntegrationStream* s = (i == 0 || i == 1) ? StreamOf(PortNode(i == 0 ? 2 : 0)) : nullptr;
                return s ? s->GetHeatLoad(0) : kEmpty;
            }
            break;
        case 1517:
            if (n == 100) return KnownValue(pNode, NV::HighEndDelT);
            if (n == 101) return KnownValue(pNode, NV::LowEndDelT);
            if (n == 702) {
                if (!pNode || !pModel) return 0.0;
                StreamOf(PortNode(0));
                StreamOf(PortNode(2));
                double lmtd = 0.0;
                if (pNode->getVariableAsDouble("LMTD", lmtd)) return lmtd;
                // The model keeps the end approaches rather than their log mean.
                double high = 0.0, low = 0.0;
                if (!pNode->getVariableAsDouble(NV::HighEndDelT, high) || !pNode->getVariableAsDouble(NV::LowEndDelT, low))
                    return 0.0;
                return high > 0.0 && low > 0.0 ? LogMeanTemperatureDifference(high, low) : 0.0;
            }
            break;
        case 1508:
            if (n == 200) return KnownValue(pNode, NV::HTArea);
            if (n == 201) return KnownValue(pNode, NV::HTMaxAreaShell);
            break;
        case 4101:
            if (n == 200) return pNode && !pNode->hasVariable(NV::HXFoulingFactor) ? 0.0 : KnownValue(pNode, NV::HXFoulingFactor);
            break;
        case 1524:
            if (n == 701) return anyStatus(pNode, NV::OverallHTC);
            break;
        case 1519:
            if (n == 700) return anyStatus(pNode, NV::FtFactor);
            if (n == 701) {
                static const char* const kShells[3] = {NV::NShellsInSeries, "NShellsInParallel", NV::TotalNShells};
                return i >= 0 && i < 3 ? anyStatus(pNode, kShells[i]) : 0.0;
            }
            if (n == 215) return CostLawValue(t, i);
            if (n >= 771 && n <= 774) return NeighbourKind(n - 771);
            if (n == 775) return OrientationCode();
            break;
        case 31000:
            if (n == 215) return i == 1 ? anyStatus(pNode, NV::CapitalCost) : CostLawValue(t, i);
            break;
        case 31001:
            if (n == 701) {
                if (!annualised_costs::HasPlantLife(pDesign ? pDesign->GetScenario() : nullptr)) return kEmpty;
                return anyStatus(pNode, NV::AnnualizedCapitalCost);
            }
            break;
        case 1:
            if (n == 200 || n == 201) {
                if (!pModel) return kEmpty;
                if (n == 200) refreshProfile();
                double v = kEmpty;
                return pModel->GetTHArrayData(n == 200 ? "HotTempArray" : "ColdTempArray", i, v) ? v : kEmpty;
            }
            if (n >= 751 && n <= 762) return KnownValue(TemperatureNode(n), NV::Temperature);
            if (n == 763 || n == 764) {
                if (i != 0 && i != 1) return kEmpty;
                // Index 0 the cold side, 1 the hot side; 763 the inlets, 764 the outlets.
                const int port = (i == 0 ? 2 : 0) + (n == 764 ? 1 : 0);
                return KnownValue(PortNode(port), NV::Temperature);
            }
            if (n == 765 || n == 766) {
                IHeatIntegrationStream* s =
                    (i == 0 || i == 1) ? StreamOf(PortNode((i == 0 ? 2 : 0) + (n == 766 ? 1 : 0))) : nullptr;
                if (!s) return kEmpty;
                return n == 765 ? s->GetSupplyTemperature() : s->GetTargetTemperature();
            }
            if (n >= 570 && n <= 573) return CandidateValue(t, n, i);
            break;
        default:
            break;
    }
    return Viewable::Value(var);
}

// ---- writes ----

void HeatExchangerView::Recalculate() {
    if (pDesign) pDesign->ProcessChange(kFlowsheetChanged, CPString(), nullptr);
}

void HeatExchangerView::SetUnspecified(CNode* node, const char* name, int flag) {
    if (!node) return;
    double v = 0.0;
    node->getVariableAsDouble(name, v);
    node->addVariable(name, v, ValueStatus::Open, flag);
}

void HeatExchangerView::ShellsStep() {
    long areaMinimum = 0;
    if (!pNode || !pNode->getVariableAsInteger("AreaMinimum", areaMinimum)) return;
    SetUnspecified(pNode, NV::NShellsInSeries, areaMinimum == 0 ? 1 : 0);
}

int HeatExchangerView::SpecifyShellSwitch(int number, double value) {
    const bool series = number == 701;
    const char* flag = series ? NV::ShellsInSeriesSpecified : "ShellsInParallelSpecified";
    auto respecify = [&](const char* name) {
        double v = 0.0;
        pNode->getVariableAsDouble(name, v);
        pNode->removeVariable(name);
        pNode->addVariable(name, v, ValueStatus::Specified, 1);
    };
    if (value == 1.0) {
        // The count is worked out again: from the F-factor (series) or the largest shell (parallel).
        pNode->addVariable(flag, 0.0, ValueStatus::Specified);
        if (series) pNode->addVariable(NV::NShellsInSeries, 0.0, ValueStatus::Calculated);
        else respecify(NV::HTMaxAreaShell);
    } else {
        pNode->addVariable(flag, 1.0, ValueStatus::Specified);
        respecify(series ? NV::NShellsInSeries : "NShellsInParallel");
    }
    return 1;
}

int HeatExchangerView::Specify(const VarDescription& var, double value) {
    const int t = var.Type(), n = var.Number(), i = var.Offset(0);
    const bool erase = value == kEmpty;
    const bool ready = pNode && pModel && pDesign;
    const Busy busy;
    int result = -1;  // -1: not one of the view's own
    switch (t) {
        case 104:
            if (n == 790 && !erase) {
                if (!pModel) return 0;
                pModel->ChangeModelKind(value == 1.0 ? NodeKind::HeatExchanger : NodeKind::CountercurrentHX);
                Recalculate();
                return 1;
            }
            if (n >= 291 && n <= 294) {
                if (!ready) return 0;
                const int port = kSwitchPort[n - 291];
                // Only what the port's flag (751 to 754) offers: a heater or cooler the design may
                // place there, or one it may take away without over-specifying the network. The
                // design announces the changed flowsheet itself.
                const bool remove = !erase && value == 1.0;
                if (remove ? !pDesign->CanRemoveUtilityAtPort(pNode, port) : !pDesign->CanAddUtilityAtPort(pNode, port)) {
                    ErrorMsg(remove ? "UtilityCannotBeRemovedAtPort" : "UtilityCannotBeAddedAtPort");
                    return 0;
                }
                const bool done = remove ? pDesign->RemoveUtilityAtPort(pNode, port) : pDesign->AddUtilityAtPort(pNode, port);
                return done ? 1 : 0;
            }
            if ((n == 701 || n == 702) && !erase) {
                if (!pNode) return 0;
                result = SpecifyShellSwitch(n, value);
            }
            break;
        case 6:
            // A duty or a largest duty carries heat from the hot side to the cold one: never less
            // than nothing.
            if ((n == 200 || n == 201) && !erase && value < 0.0) {
                ErrorMsg("SpecRange");
                return 0;
            }
            if (n == 200) {
                if (!pNode) return 0;
                if (erase) {
                    SetUnspecified(pNode, NV::Duty);
                    ShellsStep();
                } else {
                    pNode->addVariable(NV::Duty, value, ValueStatus::Specified, 1);
                    // As in the design forms: the heaters and coolers at the ends of the two
                    // streams take up the demand the new duty leaves.
                    if (pDesign) pDesign->LetEndUtilitiesFollowExchanger(pNode);
                }
                result = 1;
            } else if (n == 201 && !erase) {
                if (!pNode) return 0;
                pNode->addVariable("MaxDuty", value, ValueStatus::Specified, 1);
                result = 1;
            }
            break;
        case 1508:
            if (n == 200) {
                if (!ready) return 0;
                if (erase) {
                    const bool locked = pDesign->GetOperationLocked();
                    // In operation the area is the exchanger's own: it stays.
                    if (locked) ErrorMsg("HTCoeffUpdateError2");
                    else SetUnspecified(pNode, NV::HTArea);
                    ShellsStep();
                    result = locked ? 0 : 1;
                    if (locked) return 0;
                } else if (value < 0.0) {
                    ErrorMsg("AreaInputError");
                    return 0;
                } else if (pModel->IsUtilityExch() && !pDesign->GetOperationLocked()) {
                    ErrorMsg("CannotSpecifyAreaForUtilExchanger");
                    return 0;
                } else {
                    pNode->addVariable(NV::HTArea, value, ValueStatus::Specified, 1);
                    result = 1;
                }
            } else if (n == 201 && !erase) {
                if (!pNode) return 0;
                if (!(value > 0.0)) {
                    ErrorMsg("ShellsInputError");
                    return 0;
                }
                pNode->addVariable(NV::HTMaxAreaShell, value, ValueStatus::Specified, 1);
                result = 1;
            }
            break;
        case 4101:
            if (n == 200) {
                if (!pNode) return 0;
                // A fouling resistance adds to the exchanger's own; it takes nothing away.
                if (!erase && value < 0.0) {
                    ErrorMsg("SpecRange");
                    return 0;
                }
                // Nor past the whole resistance the exchanger runs at, as the design forms refuse it.
                // (nor so close to it that a cleaning would give back a coefficient past any a case holds).
                const HeatExch* x = AsHeatExch(pNode);
                if (const char* refused = !erase && x && FoulsAFixedResistance(*x) ? HENFoulingRefusal(x->FoulingBaseCoefficient(), value) : nullptr) {
                    ErrorMsg(refused);
                    return 0;
                }
                if (erase) SetUnspecified(pNode, NV::HXFoulingFactor);
                else pNode->addVariable(NV::HXFoulingFactor, value, ValueStatus::Specified, 1);
                result = 1;
            }
            break;
        case 1519:
            if (n == 701) {
                if (!pNode) return 0;
                if (erase || !(value > 0.0)) {
                    // A number of shells is never erased, nor 0 or less.
                    if (erase && i != 0 && i != 1) return 0;
                    ErrorMsg("ShellsInputError");
                    return 0;
                }
                if (i != 0 && i != 1) return 0;
                const char* name = i == 0 ? NV::NShellsInSeries : "NShellsInParallel";
                pNode->removeVariable(name);
                pNode->addVariable(name, value, ValueStatus::Specified, 1);
                result = 1;
            }
            break;
        case 1: {
            CNode* node = TemperatureNode(n);
            if (!node) return 0;
            // Beyond a port the cell takes what its state lets the user type, and nothing else.
            if (n <= 754 && ModifyOfTemperature(node, upstreamPort(n - 751)) != ModifiableState) return 0;
            if (erase) SetUnspecified(node, NV::Temperature);
            else node->addVariable(NV::Temperature, value, ValueStatus::Specified, 1);
            result = 1;
            break;
        }
        default:
            break;
    }
    if (result < 0) return Viewable::Specify(var, value);
    if (result > 0) Recalculate();
    return result;
}

// ---- cell states ----

bool HeatExchangerView::IsNetworkEdit(int type, int number) {
    switch (type) {
        case 104: return number == 790 || (number >= 291 && number <= 294) || number == 701 || number == 702;
        case 6:
        case 1508: return number == 200 || number == 201;
        case 4101: return number == 200;
        case 1519: return number == 701;
        case 1: return number >= 751 && number <= 762;
        default: return false;
    }
}

int HeatExchangerView::ModifyOfTemperature(CNode* node, bool upstream) const {
    if (!node || !node->hasVariable(NV::Temperature)) return ReadOnlyState;
    switch (node->getVariableStatus(NV::Temperature)) {
        case ValueStatus::Specified: {
            // A stream's own supply or target temperature is changed on the stream.
            const CNode* next = Beyond(node, upstream, 1);
            const NodeKindId kind = next ? next->getKindId() : NodeKindId::Other;
            return kind == NodeKindId::FeedBlock || kind == NodeKindId::ProductBlock ? ReadOnlyState : ModifiableState;
        }
        case ValueStatus::Calculated: return ReadOnlyState;
        default: return pDesign && pDesign->IsNotUtilityStreamNode(node) ? ModifiableState : ReadOnlyState;
    }
}

void HeatExchangerView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (!pModel || !pNode) return Viewable::VariableStatus(var, state, detail);
    const int t = var.Type(), n = var.Number(), i = var.Offset(0);
    // Every number this view writes edits the network: the existing network of a retrofit (its
    // base) takes none of them, as every result is measured against it.
    if (pDesign && pDesign->GetScenarioLockState() == 1 && IsNetworkEdit(t, n)) {
        state = ReadOnlyState;
        return;
    }
    // The sizes the lock froze stay frozen here as in the design viewer's lists, until the
    // operation is opened for modification there: one unit, one rule, whichever view types.
    if (const HIDesignViewerDesign* viewer = DesignViewer();
        viewer && ((t == 1508 && n == 200 && viewer->IsSizeFrozen(1508, 302)) ||
                   (t == 1519 && n == 701 && viewer->IsSizeFrozen(1519, 301)))) {
        state = ReadOnlyState;
        return;
    }
    auto byStatus = [&](const char* name, int absent, int open) {
        if (!pNode->hasVariable(name)) return absent;
        const int s = pNode->getVariableStatus(name);
        return s == ValueStatus::Specified ? 1 : s == ValueStatus::Calculated ? 0 : open;
    };
    const bool locked = pDesign && pDesign->GetOperationLocked();
    int m = -1;  // -1: the framework's
    if (t == 1519 && n == 701) {
        const char* name = i == 0 ? NV::NShellsInSeries : i == 1 ? "NShellsInParallel" : nullptr;
        if (!name) {
            m = 0;
        } else if (pNode->hasVariable(name)) {
            const int s = pNode->getVariableStatus(name);
            if (i == 0) m = s == 1 ? 1 : s == 2 ? (locked ? 1 : 0) : 0;
            else m = s == 2 ? 0 : s == 1 ? (locked ? 0 : 1) : 0;
        } else {
            return;  // unchanged
        }
    } else if (t == 4101 && n == 200) {
        m = byStatus(NV::HXFoulingFactor, 1, 1);
    } else if (t == 1508 && (n == 200 || n == 201)) {
        m = byStatus(n == 200 ? NV::HTArea : NV::HTMaxAreaShell, 0, 1);
        // A heater's or cooler's area is its own only while the network operates.
        if (n == 200 && pModel->IsUtilityExch() && !locked) m = 0;
    } else if (t == 104 && n >= 291 && n <= 294) {
        // A port takes a switch only where the design may place a heater or cooler there, or
        // take one away.
        if (!pDesign) return;
        const int port = kSwitchPort[n - 291];
        m = pDesign->CanAddUtilityAtPort(pNode, port) || pDesign->CanRemoveUtilityAtPort(pNode, port) ? 1 : 0;
    } else if (t == 1508) {
        return;  // unchanged
    } else if (t == 6 && n == 200) {
        const int s = pNode->hasVariable(NV::Duty) ? pNode->getVariableStatus(NV::Duty) : -1;
        m = s == 1 ? 1 : s == 0 ? (pDesign && pDesign->IsNotUtilityStreamNode(pNode) ? 1 : 0) : 0;
    } else if (t == 1) {
        if (n >= 751 && n <= 762) {
            const int port = n <= 754 ? n - 751 : (n - 755) % 4;
            m = ModifyOfTemperature(TemperatureNode(n), upstreamPort(port));
        } else if (n == 200) {
            m = ModifyOfTemperature(pNode, true);
        } else {
            m = 0;
        }
    }
    if (m < 0) return Viewable::VariableStatus(var, state, detail);
    state = m == 1 ? ModifiableState : ReadOnlyState;
}

// ---- list lengths ----

int HeatExchangerView::Dimensions(const VarDescription& var, DimInfo& dims) {
    const int t = var.Type(), n = var.Number();
    const bool listType = t == 1519 || t == 6 || t == 1 || t == 104;
    const bool mine = (t == 6 && (n == 250 || n == 210 || n == 211)) || (t == 1 && (n == 200 || n == 201)) ||
                      (listType && n >= 570 && n <= 573) || (listType && n >= 763 && n <= 766);
    if (!mine) return Viewable::Dimensions(var, dims);
    if (!pModel) return 0;
    if (t == 6 && n == 250) {
        dims.AddDim(pModel->getVariableSize(NV::CrossPinchLoads));
        return 1;
    }
    if (n == 200 || n == 201 || n == 210 || n == 211) {
        refreshProfile();
        dims.AddDim(pModel->GetTHArrayLength("HotTempArray"));
        return 1;
    }
    if (n >= 570 && n <= 573) {
        if (!BindScenario()) return 0;
        SortStreams();
        dims.AddDim(nCandidateCount - nZeroDutyCount);
        return 1;
    }
    dims.AddDim(2);
    return 1;
}
