#include "views/case/streams/LinkTable.h"

#include "eng/model/CaseValueLimits.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/StreamLynx.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Session.h"

#include <algorithm>
#include <cmath>

namespace {

// A typed number as a whole number: truncated, kept inside the 32-bit range (a number too large
// for it would make the conversion undefined).
std::int32_t wholeNumber(double value) {
    if (!(value == value)) return 0;
    return static_cast<std::int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}

// The term a cell is about: its target and whether the source is the candidate's temperature.
struct Term {
    const char* target;
    bool temperatureSource;
};

// Term switches 100, 101, 200, 201 and bound flags 105, 106, 205, 206 (type 104).
Term switchTerm(int number) {
    const int n = number % 100;
    return {number < 200 ? "Temperature" : "MassFlow", n == 0 || n == 5};
}

// Bounds: type 1 (temperature sources) or 4 (mass-flow sources), numbers 200/202 in the
// "Temperature" target and 201/203 in "MassFlow"; 202 and 203 are upper bounds.
Term boundTerm(const VarDescription& var) {
    return {var.Number() % 2 == 0 ? "Temperature" : "MassFlow", var.Type() == 1};
}
bool isUpper(const VarDescription& var) { return var.Number() >= 202; }

int row(const VarDescription& var) { return std::max(var.Offset(0), 0); }

// What a retrofit study's base holds of its streams' links, and what a refused change says.
constexpr const char* kLinkValue = "StreamLink";
constexpr const char* kRetrofitBaseRefusal = "NoChangeinHENRBaseCase";

const char* const kCommands[] = {"UpdateSimpleLink", "UpdateAdvancedLink", "ShowAdvancedLinkView",
                                 "ConvertToSimpleLink", "DeleteLink"};

}  // namespace

LinkTable::LinkTable(Viewable* parent, LinkTableCollection* collection, StreamLynx* link, IHeatIntegrationStream* stream,
                     int hotCold)
    : Viewable(parent, TypeName) {
    Attach(collection, link, stream, hotCold);
}

void LinkTable::Attach(LinkTableCollection* collection, StreamLynx* link, IHeatIntegrationStream* stream, int hotCold) {
    myCollection = collection;
    myLink = link;
    myStream = stream;
    streamHotCold = hotCold;
    if (stream) SetName(stream->GetName());
}

const ViewForm<LinkTable>& LinkTable::Form() {
    using V = LinkTable;
    static const ViewForm<V> form{
        {{"Switch.100.[]", FormHook::Value, 104, true, 1}, &V::TermSwitch, &V::SetTermSwitch, nullptr, nullptr,
         &V::CandidateRows},
        {{"Switch.101.[]", FormHook::Value, 104, true, 1}, &V::TermSwitch, &V::SetTermSwitch, nullptr, nullptr,
         &V::CandidateRows},
        {{"Switch.200.[]", FormHook::Value, 104, true, 1}, &V::TermSwitch, &V::SetTermSwitch, nullptr, nullptr,
         &V::CandidateRows},
        {{"Switch.201.[]", FormHook::Value, 104, true, 1}, &V::TermSwitch, &V::SetTermSwitch, nullptr, nullptr,
         &V::CandidateRows},
        {{"Switch.102.[]", FormHook::Value, 104, false, 1}, &V::CandidateSide, nullptr, nullptr, nullptr,
         &V::CandidateRows},
        {{"Switch.303", FormHook::Value, 104, false, 0}, &V::PreferenceClear},
        {{"Switch.105.[]", FormHook::Value, 104, true, 1}, &V::BoundFlag, &V::SetBoundFlag, nullptr, nullptr,
         &V::CandidateRows},
        {{"Switch.106.[]", FormHook::Value, 104, true, 1}, &V::BoundFlag, &V::SetBoundFlag, nullptr, nullptr,
         &V::CandidateRows},
        {{"Switch.205.[]", FormHook::Value, 104, true, 1}, &V::BoundFlag, &V::SetBoundFlag, nullptr, nullptr,
         &V::CandidateRows},
        {{"Switch.206.[]", FormHook::Value, 104, true, 1}, &V::BoundFlag, &V::SetBoundFlag, nullptr, nullptr,
         &V::CandidateRows},
        {{"Temperature.100.[]", FormHook::Value, 1, false, 1}, &V::CandidateValue, nullptr, nullptr, nullptr,
         &V::CandidateRows},
        {{"MassFlow.100.[]", FormHook::Value, 4, false, 1}, &V::CandidateValue, nullptr, nullptr, nullptr,
         &V::CandidateRows},
        {{"Index.100", FormHook::Value, 100, false, 0}, &V::HotColdValue},
        {{"Index.400", FormHook::Value, 100, true, 0}, &V::FormSettingValue, &V::SetFormSetting},
        {{"TempCoefficient.100.[]", FormHook::Value, 1519, true, 1}, &V::Coefficient, &V::SetCoefficient, nullptr,
         nullptr, &V::CandidateRows},
        {{"FlowCoefficient.200.[]", FormHook::Value, 1519, true, 1}, &V::Coefficient, &V::SetCoefficient, nullptr,
         nullptr, &V::CandidateRows},
        {{"LinkCoefficientA.100.[]", FormHook::Value, 32048, true, 1}, &V::Coefficient, &V::SetCoefficient, nullptr,
         nullptr, &V::CandidateRows},
        {{"LinkCoefficientB.100.[]", FormHook::Value, 32049, true, 1}, &V::Coefficient, &V::SetCoefficient, nullptr,
         nullptr, &V::CandidateRows},
        {{"DeltaTemp.400", FormHook::Value, 1517, true, 0}, &V::Offset, &V::SetOffset},
        {{"Temperature.101", FormHook::Value, 1, true, 0}, &V::Constant, &V::SetConstant},
        {{"MassFlow.101", FormHook::Value, 4, true, 0}, &V::Constant, &V::SetConstant},
        {{"Temperature.200.[]", FormHook::Value, 1, true, 1}, &V::Bound, &V::SetBound, nullptr, nullptr,
         &V::CandidateRows},
        {{"Temperature.201.[]", FormHook::Value, 1, true, 1}, &V::Bound, &V::SetBound, nullptr, nullptr,
         &V::CandidateRows},
        {{"Temperature.202.[]", FormHook::Value, 1, true, 1}, &V::Bound, &V::SetBound, nullptr, nullptr,
         &V::CandidateRows},
        {{"Temperature.203.[]", FormHook::Value, 1, true, 1}, &V::Bound, &V::SetBound, nullptr, nullptr,
         &V::CandidateRows},
        {{"MassFlow.200.[]", FormHook::Value, 4, true, 1}, &V::Bound, &V::SetBound, nullptr, nullptr,
         &V::CandidateRows},
        {{"MassFlow.201.[]", FormHook::Value, 4, true, 1}, &V::Bound, &V::SetBound, nullptr, nullptr,
         &V::CandidateRows},
        {{"MassFlow.202.[]", FormHook::Value, 4, true, 1}, &V::Bound, &V::SetBound, nullptr, nullptr,
         &V::CandidateRows},
        {{"MassFlow.203.[]", FormHook::Value, 4, true, 1}, &V::Bound, &V::SetBound, nullptr, nullptr,
         &V::CandidateRows},
        {{"PSTitleName.100", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::Title},
        {{"PSName.100", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::StreamName},
        {{"PStreamName.100.[]", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::CandidateName, nullptr,
         &V::CandidateRows},
        {{"TempPropertyValue.101", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::EquationLine},
        {{"TempPropertyValue.102", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::EquationLine},
        {{"FlowPropertyValue.201", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::EquationLine},
    };
    return form;
}

void LinkTable::LoadVariables(FormDescription& form) {
    Form().Describe(form);
    for (const char* word : kCommands) form.AddCommand(word);
    // The law of a link: coefficients and a flow constant of either sign, within the size a case
    // holds; an offset of either sign within the span of temperatures; bounds on a flow from none up.
    namespace L = CaseValueLimits;
    const CellDomain coefficient = CellDomain::Between(-L::MaxMagnitude, L::MaxMagnitude);
    for (const char* address : {"TempCoefficient.100.[]", "FlowCoefficient.200.[]", "LinkCoefficientA.100.[]",
                                "LinkCoefficientB.100.[]", "MassFlow.101"})
        form.SetDomain(address, coefficient);
    const double span = L::MaxTemperature - L::MinTemperature;
    form.SetDomain("DeltaTemp.400", CellDomain::Between(-span, span));
    for (const char* address : {"MassFlow.200.[]", "MassFlow.201.[]", "MassFlow.202.[]", "MassFlow.203.[]"})
        form.SetDomain(address, CellDomain::Between(0.0, L::MaxMagnitude));
}

// ---- hooks ----

double LinkTable::Value(const VarDescription& var) {
    double out = EmptyValue;
    if (!myLink) return Viewable::Value(var);
    return Form().Value(*this, var, out) ? out : Viewable::Value(var);
}

int LinkTable::Specify(const VarDescription& var, double value) {
    int result = 0;
    if (!myLink) return Viewable::Specify(var, value);
    return Form().Specify(*this, var, value, result) ? result : Viewable::Specify(var, value);
}

Text LinkTable::TextValue(const VarDescription& var) {
    Text out;
    if (!myLink || !myStream) return Viewable::TextValue(var);
    return Form().TextValue(*this, var, out) ? out : Viewable::TextValue(var);
}

// The names shown are the link's: typing over them changes nothing while a stream is linked.
int LinkTable::SpecifyText(const VarDescription& var, const Text& text) {
    if (myStream) return 0;
    return Viewable::SpecifyText(var, text);
}

int LinkTable::Dimensions(const VarDescription& var, DimInfo& dims) {
    int added = 0;
    if (!myLink) return Viewable::Dimensions(var, dims);
    return Form().Dimensions(*this, var, dims, added) ? added : Viewable::Dimensions(var, dims);
}

void LinkTable::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (!myLink) {
        Viewable::VariableStatus(var, state, detail);
        return;
    }
    state = ModifiableState;
    detail = 0;
    const int type = var.Type(), number = var.Number();
    // The link of a stream a retrofit study's base holds is the existing network's: only the
    // form's own page setting is the user's.
    if (HeldByRetrofitBase() && !(type == 100 && number == 400)) {
        state = ReadOnlyState;
        return;
    }
    if (var.VariableIs("TempCoefficient") || var.VariableIs("FlowCoefficient") || type == 32048 || type == 32049) {
        if (!TermExists(var)) state = ReadOnlyState;
    } else if ((type == 1 || type == 4) && number == 100) {
        state = ReadOnlyState;
    } else if ((type == 1 || type == 4) && number >= 200 && number <= 203) {
        if (!BoundEditable(var)) state = ReadOnlyState;
    } else if (type == 1517 && number == 400) {
        if (myLink->GetNumberOfCoefficients("Temp_Temp") < 1) state = ReadOnlyState;
    }
}

int LinkTable::GetEDVarType(const VarDescription& var) {
    int type = 0;
    return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}

bool LinkTable::TermExists(const VarDescription& var) const {
    const int i = row(var);
    if (var.VariableIs("TempCoefficient")) return myLink->IsTemperatureTerm("Temperature", i);
    if (var.Type() == 32048) return myLink->IsMassFlowTerm("Temperature", i);
    if (var.Type() == 32049) return myLink->IsTemperatureTerm("MassFlow", i);
    if (var.VariableIs("FlowCoefficient")) return myLink->IsMassFlowTerm("MassFlow", i);
    const Term t = boundTerm(var);
    return t.temperatureSource ? myLink->IsTemperatureTerm(t.target, i) : myLink->IsMassFlowTerm(t.target, i);
}

bool LinkTable::BoundEditable(const VarDescription& var) const {
    const Term t = boundTerm(var);
    const int i = row(var);
    const int enabled = t.temperatureSource ? myLink->IsTemperatureBoundEnabled(t.target, i)
                                            : myLink->IsMassFlowBoundEnabled(t.target, i);
    return TermExists(var) && enabled != 0;
}

// ---- numbers ----

double LinkTable::TermSwitch(const VarDescription& var) {
    const Term t = switchTerm(var.Number());
    const int i = row(var);
    return (t.temperatureSource ? myLink->IsTemperatureTerm(t.target, i) : myLink->IsMassFlowTerm(t.target, i)) ? 1.0
                                                                                                                : 0.0;
}

int LinkTable::SetTermSwitch(const VarDescription& var, double value) {
    const Term t = switchTerm(var.Number());
    if (t.temperatureSource) myLink->SetTemperatureTerm(t.target, row(var), value != 0.0);
    else myLink->SetMassFlowTerm(t.target, row(var), value != 0.0);
    return 1;
}

double LinkTable::CandidateSide(const VarDescription& var) {
    const IHeatIntegrationStream* candidate = myLink->GetCandidate(row(var));
    const int side = candidate ? candidate->GetHotCold() : -1;
    return side == 0 ? 1.0 : side == 1 ? 0.0 : EmptyValue;
}

double LinkTable::PreferenceClear(const VarDescription&) { return myLink->GetAdvancedPreference() ? 0.0 : 1.0; }

double LinkTable::BoundFlag(const VarDescription& var) {
    const Term t = switchTerm(var.Number());
    const int i = row(var);
    if (t.temperatureSource) return myLink->IsTemperatureTerm(t.target, i) ? myLink->IsTemperatureBoundEnabled(t.target, i) : EmptyValue;
    return myLink->IsMassFlowTerm(t.target, i) ? myLink->IsMassFlowBoundEnabled(t.target, i) : EmptyValue;
}

int LinkTable::SetBoundFlag(const VarDescription& var, double value) {
    const Term t = switchTerm(var.Number());
    if (t.temperatureSource) myLink->EnableTemperatureBound(t.target, row(var), wholeNumber(value));
    else myLink->EnableMassFlowBound(t.target, row(var), wholeNumber(value));
    return 1;
}

double LinkTable::CandidateValue(const VarDescription& var) {
    return var.Type() == 1 ? myLink->GetCandidateTemperature(row(var)) : myLink->GetCandidateMassFlow(row(var));
}

double LinkTable::HotColdValue(const VarDescription&) { return streamHotCold; }
double LinkTable::FormSettingValue(const VarDescription&) { return formSetting; }

int LinkTable::SetFormSetting(const VarDescription&, double value) {
    formSetting = wholeNumber(value);
    return 1;
}

double LinkTable::Coefficient(const VarDescription& var) {
    const int i = row(var);
    if (var.VariableIs("TempCoefficient")) return myLink->GetTemperatureCoefficient("Temperature", i);
    if (var.VariableIs("FlowCoefficient")) return myLink->GetMassFlowCoefficient("MassFlow", i);
    if (var.Type() == 32048) return myLink->GetMassFlowCoefficient("Temperature", i);
    return myLink->GetTemperatureCoefficient("MassFlow", i);
}

int LinkTable::SetCoefficient(const VarDescription& var, double value) {
    const int i = row(var);
    if (var.VariableIs("TempCoefficient")) myLink->SetTemperatureCoefficient("Temperature", i, value);
    else if (var.VariableIs("FlowCoefficient")) myLink->SetMassFlowCoefficient("MassFlow", i, value);
    else if (var.Type() == 32048) myLink->SetMassFlowCoefficient("Temperature", i, value);
    else myLink->SetTemperatureCoefficient("MassFlow", i, value);
    return 1;
}

// DT to two decimals.
double LinkTable::Offset(const VarDescription&) { return std::floor(myLink->GetSimpleOffset() / 0.01 + 0.5) * 0.01; }

int LinkTable::SetOffset(const VarDescription&, double value) {
    myLink->SetSimpleOffset(value);
    if (myLink->GetNumberOfCoefficients("Temp_Temp") >= 1) {
        myLink->SetConstant("Temperature", value);
        myLink->MarkModified();
    }
    return 1;
}

double LinkTable::Constant(const VarDescription& var) {
    return myLink->GetConstant(var.Type() == 1 ? "Temperature" : "MassFlow");
}

// An empty constant only marks the link changed.
int LinkTable::SetConstant(const VarDescription& var, double value) {
    if (value != EmptyValue) myLink->SetConstant(var.Type() == 1 ? "Temperature" : "MassFlow", value);
    myLink->MarkModified();
    return 1;
}

// A bound nobody gave shows its default; reading it stores nothing.
double LinkTable::Bound(const VarDescription& var) {
    if (!TermExists(var)) return EmptyValue;
    const Term t = boundTerm(var);
    const int i = row(var);
    const bool upper = isUpper(var);
    if (!myLink->IsBoundSet(t.target, i, t.temperatureSource, upper))
        return myLink->DefaultBound(t.target, i, t.temperatureSource, upper);
    if (t.temperatureSource)
        return upper ? myLink->GetTemperatureUpperBound(t.target, i) : myLink->GetTemperatureLowerBound(t.target, i);
    return upper ? myLink->GetMassFlowUpperBound(t.target, i) : myLink->GetMassFlowLowerBound(t.target, i);
}

int LinkTable::SetBound(const VarDescription& var, double value) {
    const Term t = boundTerm(var);
    const int i = row(var);
    if (t.temperatureSource) {
        if (isUpper(var)) myLink->SetTemperatureUpperBound(t.target, i, value);
        else myLink->SetTemperatureLowerBound(t.target, i, value);
    } else {
        if (isUpper(var)) myLink->SetMassFlowUpperBound(t.target, i, value);
        else myLink->SetMassFlowLowerBound(t.target, i, value);
    }
    return 1;
}

int LinkTable::CandidateRows(const VarDescription& var, DimInfo& dims) {
    const int n = myLink->GetNumberOfCandidates();
    dims.AddDim(var.VariableIs("PStreamName") ? std::max(n, 1) : n);
    return 1;
}

// ---- texts ----

// The linked stream while the scenario still holds it: a stream deleted since reads as none.
IHeatIntegrationStream* LinkTable::LiveStream() const { return myLink ? myLink->GetLinkedStream() : nullptr; }

Text LinkTable::Title(const VarDescription&) {
    const IHeatIntegrationStream* stream = LiveStream();
    return "Process Stream: " + (stream ? Text(stream->GetName()) : Text());
}

Text LinkTable::StreamName(const VarDescription&) {
    const IHeatIntegrationStream* stream = LiveStream();
    return stream ? Text(stream->GetName()) : Text();
}

Text LinkTable::CandidateName(const VarDescription& var) {
    const IHeatIntegrationStream* candidate = myLink->GetCandidate(var.Offset(0));
    return candidate ? Text(candidate->GetName()) : Text();
}

Text LinkTable::EquationLine(const VarDescription& var) {
    const bool flow = var.VariableIs("FlowPropertyValue");
    const int kind = flow ? 4 : 1;
    double value = EmptyValue;
    const IHeatIntegrationStream* stream = LiveStream();
    if (!stream || !stream->GetValue(flow ? "MassFlow" : "Temperature", value, 0)) value = EmptyValue;
    const UnitConversion unit = DefUnitConv(kind);
    const bool simple = !flow && var.Number() == 101;
    const char* what = simple ? "Inlet Temperature" : flow ? "MassFlow" : "Inlet Temperature";
    const char* law = simple ? "= T + DT" : "=  A + Sum  (Bi * Ti)  +  Sum  (Ci * Fi)";
    const char* equals = simple ? " = " : "  =  ";
    // A stream without that value (no mass flow without transport properties) says so.
    if (value == EmptyValue) return FormattedText("%s  %s%snot available", what, law, equals);
    return FormattedText("%s  %s%s%.4g  %s", what, law, equals, calc_ounit(value, unit), unit.name.c_str());
}

// ---- commands ----

int LinkTable::Message(const Text& line) {
    if (!myLink || !myStream) return Viewable::Message(line);
    Text word, rest;
    line.Token(word, rest);
    // A held link is neither changed nor deleted: the page may still be switched, but a simple
    // link shown as an advanced one becomes one (its record says which it is).
    const bool changes = word == "UpdateSimpleLink" || word == "UpdateAdvancedLink" || word == "ConvertToSimpleLink" ||
                         word == "DeleteLink" || (word == "ShowAdvancedLinkView" && !myLink->IsAdvanced());
    if (changes && HeldByRetrofitBase()) {
        ErrorMsg(kRetrofitBaseRefusal);
        return 0;
    }
    if (word == "UpdateSimpleLink" || word == "UpdateAdvancedLink") {
        int updated = 0;
        if (myLink->IsModified()) {
            SignalBusy(true);
            myLink->ClearModified();
            SignalBusy(false);
            updated = 1;
        }
        SendViewableMessage(this, word == "UpdateSimpleLink" ? "CloseView DefaultView" : "CloseView AdvancedLinkView");
        return updated;
    }
    if (word == "ShowAdvancedLinkView") {
        myLink->SetAdvanced(true);
        SendAMessage(FormChangedCode, CPString(), myLink);
        View("AdvancedLinkView");
        SendViewableMessage(this, "CloseView DefaultView");
        return 1;
    }
    if (word == "ConvertToSimpleLink") {
        if (myLink->IsAdvanced()) {
            myLink->ClearTermLists();
            myLink->InitFlowFlowCoefficients();
            myLink->InitFlowTempCoefficients();
            myLink->InitTempFlowCoefficients();
            myLink->InitTempTempCoefficients();
            myLink->InitTemperatureConstant();
            myLink->InitMassFlowConstant();
            myLink->UpdateSimpleLinkOffset();
            myLink->SetAdvanced(false);
        }
        SendAMessage(FormChangedCode, CPString(), myLink);
        SendViewableMessage(this, "CloseView AdvancedLinkView");
        View();
        return 1;
    }
    if (word == "DeleteLink") return DeleteLink();
    return Viewable::Message(line);
}

bool LinkTable::HeldByRetrofitBase() const {
    IHeatIntegrationStream* linked = myLink ? myLink->GetLinkedStream() : nullptr;
    return linked && linked->IsHeldByRetrofitBase(kLinkValue);
}

int LinkTable::DeleteLink() {
    SendViewableMessage(this, myLink->IsAdvanced() ? "CloseView AdvancedLinkView" : "CloseView DefaultView");
    auto life = LifeToken();
    SendAMessage(DeleteLinkCode, CPString(), myLink);
    // The list took the editor out of its lists; the editor goes unless someone deleted it meanwhile.
    // The link is gone as asked: the command answers that it was done.
    if (!life.expired()) delete this;
    return 1;
}

// ---- record ----

bool LinkTable::StoreClassData(BinaryFile& file) { return file.WriteInt(formSetting); }

bool LinkTable::RecallClassData(BinaryFile& file, int version) {
    if (version < 1) return true;
    std::int32_t setting = 0;
    if (!file.ReadInt(setting)) return false;
    formSetting = setting;
    return true;
}
