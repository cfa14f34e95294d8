#include "views/case/project/TotalSiteUtilManagerView.h"

#include "brasko/DefaultUtility.h"
#include "brasko/LurmetBinaryFile.h"
#include "brasko/ReplaceChecks.h"
#include "eng/model/UtilityPrice.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/targeting/ITotalSiteUtilityManager.h"
#include "lumeth/CommandAnswer.h"
#include "lumeth/NewRowMarker.h"
#include "lumeth/Session.h"
#include "views/EngineNotices.h"
#include "views/case/scenario/UtilityNameView.h"
#include "views/case/streams/SegmentTable.h"

#include <filesystem>

namespace {
constexpr int kSwitch = 104;
constexpr int kEnum = 105;
constexpr int kText = 1519;
constexpr double kEmpty = Viewable::EmptyValue;
// The manager's notices the editor takes.
constexpr int kMessage = 60;
constexpr int kStreamAdded = 30;
constexpr int kStreamRemoved = 31;
constexpr int kManagerGone = 91;

// The exchanger types of the choice list, by value.
const char* const kExchangerTypes[] = {"Shell & Tube", "Fired Heater", "Air Cooler", "Steam Generator",
                                       "Steam Reboiler"};

// A grid column: its variable (type code and number) and the manager's parameter code.
struct Column {
    int type;
    int number;
    int parameter;
    const char* address;
};
constexpr Column kColumns[] = {
    {1, 903, 0, "Temperature.903"},        {1, 904, 1, "Temperature.904"},
    {1524, 905, 2, "HeatTransferCoeff.905"}, {31002, 906, 4, "CostPerEnergy.906"},
    {1, 907, 5, "Temperature.907"},        {1, 908, 6, "Temperature.908"},
    {1517, 909, 8, "DeltaTemp.909"},       {1008, 910, 9, "Viscosity.910"},
    {1007, 911, 10, "ThermCond.911"},      {1012, 912, 11, "MassDensity.912"},
    {1011, 913, 12, "SpecificHeat.913"},
};

const Column* columnOf(const VarDescription& var) {
    for (const Column& c : kColumns)
        if (c.number == var.Number() && c.type == var.Type()) return &c;
    return nullptr;
}

// An existing regular file this process may not write (marked read only). A pipe, device or
// directory is no file to save to: the save refuses it and says so.
bool isWriteProtected(const Text& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path.c_str(), error);
    if (error || !std::filesystem::exists(status) || !std::filesystem::is_regular_file(status)) return false;
    return IsWriteProtectedFile(path.c_str());
}
}  // namespace

TotalSiteUtilManagerView::TotalSiteUtilManagerView(Viewable* parent) : Viewable(parent, TypeName) {
    fillExchangerTypes();
}

TotalSiteUtilManagerView::TotalSiteUtilManagerView(ObjectInstanceInfo& info) : Viewable(info) { fillExchangerTypes(); }

TotalSiteUtilManagerView::~TotalSiteUtilManagerView() {
    if (mySiteManager) mySiteManager->RemoveNotificationReceiver(this);
    mySiteManager = nullptr;
    HVector<UtilityNameView*> names = utilityNameViews;
    utilityNameViews.Clear();
    for (UtilityNameView* view : names) {
        view->RemoveDeathPostee(this);
        delete view;
    }
    HVector<SegmentTable*> tables = segmentTables;
    segmentTables.Clear();
    for (SegmentTable* table : tables) {
        table->RemoveDeathPostee(this);
        delete table;
    }
}

void TotalSiteUtilManagerView::fillExchangerTypes() {
    exchangerTypeList = std::make_unique<VarEnumInfo>();
    for (int i = 0; i < 5; ++i) exchangerTypeList->AddEntry(i, kExchangerTypes[i]);
}

void TotalSiteUtilManagerView::SetDUM(ITotalSiteUtilityManager* manager) {
    if (manager && manager != mySiteManager) {
        if (mySiteManager) mySiteManager->RemoveNotificationReceiver(this);
        mySiteManager = manager;
    }
    if (!mySiteManager) return;
    mySiteManager->AddNotificationReceiver(this);
    for (int code : {kManagerGone, kMessage, kStreamAdded, kStreamRemoved}) mySiteManager->AddValidMessage(this, code);
}

void TotalSiteUtilManagerView::NotifyChange(int code, const CPString& text, void*) {
    IHeatIntegrationStream* stream = nullptr;
    switch (code) {
        case kManagerGone:
            // The manager is going: let go of it (a sender may be left during its own dispatch).
            if (mySiteManager) mySiteManager->RemoveNotificationReceiver(this);
            mySiteManager = nullptr;
            break;
        // The manager's notice is a message key (with any numbers after it): its text is shown,
        // not the key.
        case kMessage:
            managerGaveReason = true;
            ShowEngineNotice(code, Text(text.c_str()));
            break;
        case kStreamAdded:
            if (mySiteManager && mySiteManager->GetStream(text.c_str(), stream) && stream) {
                auto* view = new UtilityNameView(this, text);
                view->AddDeathPostee(this);
                utilityNameViews.Append(view);
            }
            break;
        case kStreamRemoved:
            if (!mySiteManager || !mySiteManager->GetStream(text.c_str(), stream)) break;
            for (UtilityNameView* view : utilityNameViews)
                if (view->GetName() == text) {
                    utilityNameViews.Remove(view);
                    view->RemoveDeathPostee(this);
                    delete view;
                    break;
                }
            break;
        default: break;
    }
}

// ---- grid ----

int TotalSiteUtilManagerView::parameterOf(int number) {
    for (const Column& c : kColumns)
        if (c.number == number) return c.parameter;
    return -1;
}

double TotalSiteUtilManagerView::hotFlag(int row, bool infer) {
    const SegmentHeatType side = mySiteManager->GetValue(row);
    if (side == SHT_Hot) return 1.0;
    if (side == SHT_Cold) return 0.0;
    if (!infer) return kEmpty;
    const double a = mySiteManager->GetValue(row, DUP_SupplyTemperature);
    const double b = mySiteManager->GetValue(row, DUP_TargetTemperature);
    const char* name = mySiteManager->GetDefaultUtilityName(row);
    if (a == kEmpty || b == kEmpty || !name) return kEmpty;
    // Reading the column settles the side of a utility whose side was open.
    if (b < a) return mySiteManager->SetStreamType(name, SHT_Hot), 1.0;
    if (b > a) return mySiteManager->SetStreamType(name, SHT_Cold), 0.0;
    return kEmpty;
}

double TotalSiteUtilManagerView::exchangerType(int row) const {
    const char* type = mySiteManager->GetExchangerType(row);
    if (!type) return 0.0;
    const Text t = type;
    if (t == "Steam Reboiler") return 4.0;
    if (t == "Steam Generator") return 3.0;
    if (t == "Air Cooler") return 2.0;
    if (t == "Fired Heater") return 1.0;
    if (t == "Shell & Tube" || t == "Heat Exchanger") return 0.0;
    return 5.0;
}

bool TotalSiteUtilManagerView::siteStream(int row) {
    currentSiteStream = nullptr;
    if (row < 0 || row >= mySiteManager->GetNumberOfStreams()) return false;
    IHeatIntegrationStream* stream = nullptr;
    if (!mySiteManager->GetStream(row, stream) || !stream) return false;
    currentSiteStream = stream;
    return true;
}

// A utility a retrofit study's base runs on is the existing network's: its site stream is held
// (its owner answers), so the values the editor passes on to that stream, its name and its row
// are not changed here either.
bool TotalSiteUtilManagerView::heldByRetrofitBase(const char* utility) {
    IHeatIntegrationStream* stream = nullptr;
    return utility && mySiteManager->GetStream(utility, stream) && stream && stream->IsHeldByRetrofitBase(nullptr);
}

bool TotalSiteUtilManagerView::heldColumn(const VarDescription& var) {
    const Column* c = mySiteManager ? columnOf(var) : nullptr;
    if (!c) return false;
    switch (c->parameter) {
    case DUP_SupplyTemperature:
    case DUP_TargetTemperature:
    case DUP_FilmCoefficient:
    case DUP_Cost:
    case DUP_DTminContribution:
    case DUP_SpecificHeat: break;
    default: return false;
    }
    return heldByRetrofitBase(mySiteManager->GetDefaultUtilityName(var.Offset(0) < 0 ? 0 : var.Offset(0)));
}

void TotalSiteUtilManagerView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    Viewable::VariableStatus(var, state, detail);
    if (heldColumn(var)) state = ReadOnlyState;
}

double TotalSiteUtilManagerView::Value(const VarDescription& var) {
    const int type = var.Type(), number = var.Number();
    if (var.VariableIs("RowPos")) return Viewable::Value(var);
    if (!mySiteManager) return type == kSwitch && number == 201 ? utilityButtonFlag : kEmpty;
    const int row = var.Offset(0) < 0 ? 0 : var.Offset(0);
    if (type == kText && number == 902) return hotFlag(row, false);
    if (type == kSwitch && number == 902) return hotFlag(row, true);
    if (type == kEnum && number == 900) return exchangerType(row);
    if (const Column* c = columnOf(var))
        return mySiteManager->GetValue(row, static_cast<DefaultUtilityParameter>(c->parameter));
    if (type == kSwitch && number == 440) {
        if (!siteStream(row)) return kEmpty;
        if (currentSiteStream->GetNumberOfSegments() < 2) return kEmpty;
        const int side = currentSiteStream->GetHotCold();
        return side == 0 ? 1.0 : side == 1 ? 0.0 : kEmpty;
    }
    if (type == kSwitch && number == 201) return utilityButtonFlag;
    if (type == 100 && number == 200) return mySiteManager->GetMode();
    if (type == kSwitch && number == 2002) return 1.0;
    return type == kSwitch ? Viewable::Value(var) : kEmpty;
}

int TotalSiteUtilManagerView::Specify(const VarDescription& var, double value) {
    const int type = var.Type(), number = var.Number();
    if (var.VariableIs("RowPos") && number == 288) {
        selectedUtilityRow = static_cast<std::int32_t>(value);
        if (mySiteManager) siteStream(selectedUtilityRow);
        return 1;
    }
    if (!mySiteManager) return type == kSwitch ? Viewable::Specify(var, value) : 0;
    const int row = var.Offset(0) < 0 ? 0 : var.Offset(0);
    if (type == kEnum && number == 900) {
        const int choice = static_cast<int>(value);
        const bool listed = value == choice && choice >= 0 && choice < 5;
        // The manager names why it refuses a type (a second "Air Cooler", a type the utility's
        // side cannot have): the user is told and nothing is stored.
        if (const char* refused = mySiteManager->SetExchangerType(row, listed ? kExchangerTypes[choice] : "None")) {
            ErrorMsg(refused);
            return 0;
        }
        return 1;
    }
    if (const Column* c = columnOf(var)) {
        const char* name = mySiteManager->GetDefaultUtilityName(row);
        if (!name) return 0;
        if (heldColumn(var)) return ErrorMsg("ReadOnlyCell"), 0;
        // A price holds to the rule of every table that types one: a utility bought is not
        // made one sold by a sign. What the utility is, the default keeps (its kind, through a
        // rename, a price it pays and the case file), as does its site stream of the same name;
        // never its current name or price.
        IHeatIntegrationStream* stream = nullptr;
        const DefaultUtility* utility = mySiteManager->GetDefaultUtility(row);
        const bool earns = (utility && utility->earnsCredit) ||
                           (mySiteManager->GetStream(name, stream) && stream && stream->EarnsCredit());
        if (c->parameter == DUP_Cost && value != kEmpty && !CaseValueLimits::UtilityPriceTaken(value, earns))
            return ErrorMsg("SpecRange"), 0;
        return mySiteManager->SetValue(name, static_cast<DefaultUtilityParameter>(c->parameter), value) ? 1 : 0;
    }
    if (type == kSwitch && number == 440) {
        if (siteStream(row)) ShowSegmentTable(currentSiteStream);
        return 1;
    }
    if (type == 100 && number == 200) {
        if (value != 0.0 && value != 1.0) return 0;
        mySiteManager->SetMode(static_cast<int>(value));
        return 1;
    }
    return type == kSwitch ? Viewable::Specify(var, value) : 0;
}

Text TotalSiteUtilManagerView::TextValue(const VarDescription& var) {
    if (!mySiteManager || var.Type() != kText || var.Number() != 901) return Text();
    const int row = var.Offset(0) < 0 ? 0 : var.Offset(0);
    if (row == mySiteManager->GetNumberOfDefaultUtilities()) return "**New**";
    const char* name = mySiteManager->GetRecommendedUtilityName(row);
    return name ? Text(name) : Text();
}

int TotalSiteUtilManagerView::SpecifyText(const VarDescription& var, const Text& text) {
    if (!mySiteManager || var.Type() != kText || var.Number() != 901) return 0;
    SignalBusy(true);
    const int result = setName(var.Offset(0) < 0 ? 0 : var.Offset(0), text);
    SignalBusy(false);
    return result;
}

int TotalSiteUtilManagerView::setName(int row, const Text& text) {
    if (IsNewRowMarker(text.c_str())) {
        ErrorMsg("NewRowMarkerEntryName");
        return 0;
    }
    const char* current = mySiteManager->GetRecommendedUtilityName(row);
    managerGaveReason = false;
    if (current) {
        const Text name = current;  // the manager's text goes with the utility
        if (heldByRetrofitBase(current)) return ErrorMsg("NoChangeinHENRBaseCase"), 0;
        // An emptied name deletes the utility, once the user confirms it: a cell cleared by
        // mistake loses nothing.
        if (text.empty())
            return ResponseMsg("ConfirmDeleteDefaultUtility", 2) == 1 && mySiteManager->RemoveDefaultUtility(name.c_str()) ? 1 : 0;
        if (mySiteManager->RenameDefaultUtility(name.c_str(), text.c_str())) return 1;
    } else if (!text.empty() && mySiteManager->AddDefaultUtility(text.c_str())) {
        return 1;
    }
    // A refusal the manager explained (a site stream bears the name) gets no second message.
    if (!managerGaveReason) ErrorMsg("DefaultUtilityNameError", text);
    return 0;
}

int TotalSiteUtilManagerView::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (!mySiteManager) return 0;
    const int type = var.Type(), number = var.Number();
    const bool grid = (type == kText && number == 901) || (type == kEnum && number == 900) ||
                      (type == kSwitch && (number == 902 || number == 440)) || columnOf(var);
    if (!grid) return 0;
    dims.AddDim(mySiteManager->GetNumberOfDefaultUtilities() + 1);
    return 1;
}

int TotalSiteUtilManagerView::GetEDVarType(const VarDescription& var) {
    if (const Column* c = columnOf(var)) return c->type;
    return Viewable::GetEDVarType(var);
}

VarEnumInfo* TotalSiteUtilManagerView::GetEnumInfo(const VariableNameInfo& info) {
    if (info.Var().Type() == kEnum && info.Var().Number() == 900) return exchangerTypeList.get();
    return Viewable::GetEnumInfo(info);
}

// ---- segment tables ----

void TotalSiteUtilManagerView::ShowSegmentTable(IHeatIntegrationStream* stream) {
    if (!stream) return;
    for (SegmentTable* table : segmentTables)
        if (table->GetStream() == stream) {
            table->View();
            return;
        }
    // Site mode: the table listens to the manager (25, 31) and to its stream (37) itself.
    auto* table = new SegmentTable(this, mySiteManager, stream);
    table->AddDeathPostee(this);
    segmentTables.Append(table);
    table->View();
}

Viewable* TotalSiteUtilManagerView::AttachedObject(const VarDescription& var) {
    if (!var.IsObjectLink() || !var.VariableIs("SegmentTable")) return Viewable::AttachedObject(var);
    const int i = var.Offset(0) < 0 ? 0 : var.Offset(0);
    Viewable* found = i < segmentTables.Count() ? segmentTables[i] : nullptr;
    if (!found) return nullptr;
    const VarDescription* next = var.GetNextLink();
    return next && next->IsObjectLink() ? found->AttachedObject(*next) : found;
}

Text TotalSiteUtilManagerView::AttachedName(const Viewable* child) const {
    if (!child || !child->IsA(SegmentTable::TypeName)) return Viewable::AttachedName(child);
    int i = segmentTables.Find(static_cast<SegmentTable*>(const_cast<Viewable*>(child)));
    if (i < 0) i = segmentTables.Count();
    return FormattedText("SegmentTable.200.%d(%s)", i, VarDescription::EscapeChildName(child->GetName()).c_str());
}

void TotalSiteUtilManagerView::DisconnectDeadObject(Viewable* dead) {
    segmentTables.RemoveAllAt(dead);
    utilityNameViews.RemoveAllAt(dead);
    Viewable::DisconnectDeadObject(dead);
}

// ---- commands ----

int TotalSiteUtilManagerView::saveUtilityDefaultSet() {
    FNPromptStruct prompt{"SaveHIPreferences", "HUD", {{"HeatIntegrationUtilityDefaultFile", "hud"}, {"AllFiles", "*"}},
                          0x35};
    FileName chosen;
    if (!FilePicker::ChooseFileName(prompt, chosen) || chosen.empty()) return 1;
    // Nothing is touched without a manager to write. A set not written answers 0 with the
    // reason, as any refused command does.
    if (!mySiteManager) return ErrorMsg("SavePreferenceError", chosen), 0;
    if (isWriteProtected(chosen)) return ErrorMsg("FileWriteProtected", chosen), 0;
    // The file is written beside the chosen one and takes its place only once the whole set is
    // stored: a failed store leaves an existing file as it was.
    LurmetBinaryFile file;
    if (!file.OpenForWrite(chosen) || !mySiteManager->Store(&file, SRT_Utilities) || !file.Commit())
        return ErrorMsg("SavePreferenceError", SaveFailure(chosen, file.ErrorText())), 0;
    return 1;
}

int TotalSiteUtilManagerView::openUtilityDefaultSet() {
    FNPromptStruct prompt{"OpenHIPreferences", "HUD", {{"HeatIntegrationDefaultFile", "hud"}, {"AllFiles", "*"}}, 5};
    FileName chosen;
    if (!FilePicker::ChooseFileName(prompt, chosen) || chosen.empty()) return 1;
    LurmetBinaryFile file;
    if (!mySiteManager || !file.OpenForRead(chosen) || !mySiteManager->Recall(&file, SRT_Utilities))
        return ErrorMsg("RecallPreferenceError", chosen), 0;
    // The site streams a retrofit base runs on kept their values: the read did the rest of its
    // work, and says which utilities it left alone there.
    Text left;
    for (const CPString& name : mySiteManager->GetUtilitiesLeftAlone()) left += (left.empty() ? "" : ", ") + Text(name.c_str());
    if (!left.empty()) NoteNotDone("HeldUtilitiesLeftAlone", {left});
    return 1;
}

int TotalSiteUtilManagerView::Message(const Text& line) {
    const Text word = Text(line.substr(0, line.find(' ')));
    if (word == "SaveUtilityDefaultSet") return saveUtilityDefaultSet();
    if (word == "OpenUtilityDefaultSet") return openUtilityDefaultSet();
    if (word == "ViewSegTableViewU" && mySiteManager) {
        if (siteStream(selectedUtilityRow)) ShowSegmentTable(currentSiteStream);
        return 1;
    }
    return Viewable::Message(line);
}

void TotalSiteUtilManagerView::DescribeForm(FormDescription& form) {
    form.Add({"ExtraData.901", FormHook::Text, kText, true, 1});
    form.Add({"ExtraData.902", FormHook::Value, kText, false, 1});
    form.Add({"Switch.902", FormHook::Value, kSwitch, false, 1});
    form.Add({"Enum.900", FormHook::Value, kEnum, true, 1});
    for (const Column& c : kColumns) form.Add({c.address, FormHook::Value, c.type, true, 1});
    form.Add({"Switch.440", FormHook::Value, kSwitch, true, 1});
    form.Add({"Switch.201", FormHook::Value, kSwitch, false, 0});
    form.Add({"Index.200", FormHook::Value, 100, true, 0});
    form.Add({"Switch.2002", FormHook::Value, kSwitch, false, 0});
    form.Add({"RowPos.288", FormHook::Value, 100, true, 0});
    form.Add({"SegmentTable.200", FormHook::Object, 0, false, 1});
    for (const char* word : {"SaveUtilityDefaultSet", "OpenUtilityDefaultSet", "ViewSegTableViewU"}) form.AddCommand(word);
    form.SetRefusals("DeltaTemp.909", "DeltaTMinWarning ReadOnlyCell SpecRange");
    // A utility's contribution to the approach is above nothing, as its own check says.
    form.SetDomain("DeltaTemp.909", CellDomain::Above(0.0).RefusedWith("DeltaTMinWarning"));
    form.SetRefusals("ExtraData.901", "DefaultUtilityNameError SameStreamErrorMsg NewRowMarkerEntryName "
                                      "ConfirmDeleteDefaultUtility NoChangeinHENRBaseCase");
    form.SetRefusals("Enum.900", "ValidOptionError");
    form.SetRefusals("CostPerEnergy.906", "SpecRange");
}
