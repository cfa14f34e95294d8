// The state view: the tables of an operating state, read as the form asks; nothing is copied.
#include "views/design/HENStateView.h"

#include "eng/design/IHENState.h"

namespace {

constexpr double kEmpty = Viewable::EmptyValue;

Text text(const char* s) { return s ? Text(s) : Text(); }

}  // namespace

HENStateView::~HENStateView() { SetState(nullptr); }

void HENStateView::SetState(IHENState* state) {
    if (pState == state) return;
    if (pState) pState->RemoveNotificationReceiver(this);
    pState = state;
    if (state && state->AddNotificationReceiver(this)) state->AddValidMessage(this, StateGoing);
}

void HENStateView::NotifyChange(int code, const CPString&, void*) {
    if (code != StateGoing) return;
    // The state is going: the view forgets it and closes, inside the state's dispatch.
    if (pState) pState->RemoveNotificationReceiver(this);
    pState = nullptr;
    delete this;
}

double HENStateView::ExchangerValue(int index, const char* name) const {
    double v = kEmpty;
    pState->GetHeatExchangerValue(index, name, v);
    return v;
}

double HENStateView::Value(const VarDescription& var) {
    const int t = var.Type(), n = var.Number(), i = var.Offset(0), j = var.Offset(1);
    if (!pState) return kEmpty;
    switch (t) {
        case 1:
            if (n == 301) return pState->GetStreamSupplyTemperature(i);
            if (n == 302) return pState->GetStreamTargetTemperature(i);
            if (n == 303) return pState->GetStreamOutletTemperature(i);
            if (n >= 321 && n <= 324) {
                static const char* const kNames[4] = {"HotInletTemperature", "HotOutletTemperature", "ColdInletTemperature",
                                                      "ColdOutletTemperature"};
                return ExchangerValue(i, kNames[n - 321]);
            }
            break;
        case 6:
            if (n == 311) return pState->GetUtilityDuty(i);
            if (n == 328) return ExchangerValue(i, "Duty");
            break;
        case 31001:
            if (n == 312) return pState->GetUtilityCost(i);
            if (n == 313) return pState->GetTotalUtilityCost();
            break;
        case 1508:
            if (n == 329) return ExchangerValue(i, "HTArea");
            break;
        case 1524:
            if (n == 325) return ExchangerValue(i, "OverallHTC");
            break;
        case 4101:
            if (n == 327) return ExchangerValue(i, "HXFoulingFactor");
            break;
        case 1519:
            if (n == 330) return ExchangerValue(i, "NShellsInSeries");
            if (n == 341) return pState->GetNumberOfBranches(i);
            if (n == 342) return pState->GetBranchFraction(i, j);
            break;
        default:
            break;
    }
    return Viewable::Value(var);
}

Text HENStateView::TextValue(const VarDescription& var) {
    if (!pState) return Viewable::TextValue(var);
    if (var.Type() != 1519) return Text();
    const int i = var.Offset(0);
    switch (var.Number()) {
        case 300: return text(pState->GetStreamName(i));
        case 310: return text(pState->GetUtilityName(i));
        case 320: return text(pState->GetHeatExchangerName(i));
        case 340: return text(pState->GetSplitterName(i));
        default: return Text();
    }
}

int HENStateView::Dimensions(const VarDescription& var, DimInfo& dims) {
    const int t = var.Type(), n = var.Number();
    int size = -1;
    if (pState) {
        const int streams = pState->GetNumberOfStreams(), utilities = pState->GetNumberOfUtilities();
        const int exchangers = pState->GetNumberOfHeatExchangers(), splitters = pState->GetNumberOfSplitters();
        switch (t) {
            case 1519:
                if (n == 300) size = streams;
                else if (n == 310) size = utilities;
                else if (n == 320 || n == 330) size = exchangers;
                else if (n == 340 || n == 341) size = splitters;
                else if (n == 342) {
                    dims.AddDim(splitters);
                    dims.AddDim(pState->GetNumberOfBranches(var.Offset(0)));
                    return 2;
                }
                break;
            case 1:
                if (n >= 301 && n <= 303) size = streams;
                else if (n >= 321 && n <= 324) size = exchangers;
                break;
            case 6: size = n == 311 ? utilities : n == 328 ? exchangers : -1; break;
            case 31001: size = n == 312 ? utilities : n == 313 ? 1 : -1; break;
            case 1524: size = n == 325 || n == 326 ? exchangers : -1; break;
            case 4101: size = n == 327 ? exchangers : -1; break;
            case 1508: size = n == 329 ? exchangers : -1; break;
            default: break;
        }
    }
    if (size < 0) return Viewable::Dimensions(var, dims);
    dims.AddDim(size);
    return 1;
}
