// The texts the design forms write: the design's notes, exchanger names (through the design's
// own rename, which refuses a name already used and records the change in its log), the
// current schedule's name, the instrument tags of an exchanger's ports, and the viewer's own
// texts.
#include "eng/design/IHENDesign.h"
#include "lumeth/NewRowMarker.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "views/design/DesignValueRows.h"

namespace {

using L = HIDesignViewerDesign::ValueRow::List;

// The port node of a tag row: 851 hot inlet, 852 hot outlet, 853 cold inlet, 854 cold outlet.
CNode* tagNode(CNode& unit, int number) {
    HeatExch* hx = AsHeatExch(&unit);
    if (!hx) return nullptr;
    switch (number) {
        case 851: return hx->getInlet(0);
        case 852: return hx->getOutlet(0);
        case 853: return hx->getInlet(1);
        case 854: return hx->getOutlet(1);
        default: return nullptr;
    }
}

}  // namespace

const std::vector<HIDesignViewerDesign::TextInput>& HIDesignViewerDesign::TextInputs() {
    static const std::vector<TextInput> inputs = {
        {"Notes.401", 0},        {"Name.300", 1, "CannotDeleteHeatExchanger HeatExchangerNameError NewRowMarkerEntryName"},
        {"ExtraData.208", 0},    {"HXSelection.389", 0},  {"ExtraData.593", 0, "EventNameAlreadyUsed EventNameEmpty NewRowMarkerEntryName"},
        {"ExtraData.851", 1},    {"ExtraData.852", 1}, {"ExtraData.853", 1},
        {"ExtraData.854", 1},    {"ExtraData.857", 0},
    };
    return inputs;
}

int HIDesignViewerDesign::SpecifyText(const VarDescription& var, const Text& text) {
    if (!pDesign) return 0;
    const int n = var.Number();
    const bool plain = var.Type() == 1519 || var.VariableIs("ExtraData");
    if (var.VariableIs("Notes") && n == 401) {
        pDesign->SetNotes(text.c_str());
        return 1;
    }
    if (var.VariableIs("HXSelection") && n == 389) {
        strHXSelection = text;
        return 1;
    }
    if ((plain || var.VariableIs("Name")) && n == 300) {
        CNode* unit = WriteRowUnit(static_cast<int>(L::Filtered), var.Offset(0));
        if (!unit) return 0;
        // A name cannot be taken away; the design refuses a name another unit has.
        if (text.empty()) {
            ErrorMsg("CannotDeleteHeatExchanger");
            return 0;
        }
        // The lists' new-row marker is no name, and the user is told so rather than that it is taken.
        if (IsNewRowMarker(text.c_str())) return ErrorMsg("NewRowMarkerEntryName"), 0;
        if (pDesign->RenameUnit(text.c_str(), unit) == 0) {
            ErrorMsg("HeatExchangerNameError");
            return 0;
        }
        return 1;
    }
    if (plain) {
        switch (n) {
            case 208: strText208 = text; return 1;
            case 857: strExchangerSearchName = text; return 1;
            case 593: {
                const char* current = pDesign->GetCurrentScheduleName();
                if (!current) return 0;
                // The design refuses a name another schedule holds, and the base case's.
                if (IsNewRowMarker(text.c_str())) {
                    ErrorMsg("NewRowMarkerEntryName");
                    return 0;
                }
                if (text.empty() || !pDesign->RenameSchedule(current, text.c_str())) {
                    ErrorMsg(text.empty() ? "EventNameEmpty" : "EventNameAlreadyUsed", text);
                    return 0;
                }
                return 1;
            }
            case 851: case 852: case 853: case 854: {
                CNode* unit = WriteRowUnit(static_cast<int>(L::Direct), var.Offset(0));
                CNode* port = unit ? tagNode(*unit, n) : nullptr;
                if (!port) return 0;
                port->addVariable("TemperatureInstrumentTag", text.c_str(), 1, 0);
                return 1;
            }
            default: break;
        }
    }
    int result = 0;
    return Form().SpecifyText(*this, var, text, result) ? result : Viewable::SpecifyText(var, text);
}
