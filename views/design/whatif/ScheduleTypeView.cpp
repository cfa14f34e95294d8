// The event summary of a design's schedules: its items, the comparison table against the base
// case, and the filter by event kind and calculation status.
#include "views/design/whatif/ScheduleTypeView.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/IHENEvent.h"
#include "eng/design/IHENSchedule.h"
#include "eng/design/IHENState.h"
#include "lumeth/Messages.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/design/whatif/WhatIfSupport.h"

#include <algorithm>

using whatif::kEmpty;

namespace {

constexpr const char* kCommands[] = {"ApplyFilterCriteria", "SelectAllFilterCriteria", "DeleteAllFilterCriteria"};

bool isItemLink(const Text& asked) { return asked == ScheduleItemView::TypeName || asked == "ScheduleItemView"; }

}  // namespace

ScheduleTypeView::ScheduleTypeView(Viewable* parent, const Text& name) : Viewable(parent, whatif::TypeNamed(TypeName)) {
    SetName(name);
    lstItems.reserve(10);
    lstDisplayed.reserve(10);
}

ScheduleTypeView::~ScheduleTypeView() {
    lstDisplayed.clear();
    std::vector<ScheduleItemView*> items;
    items.swap(lstItems);
    m_itemOf.clear();
    for (ScheduleItemView* item : items) {
        item->RemoveDeathPostee(this);
        delete item;
    }
}

HIDesignViewerDesign* ScheduleTypeView::Parent() const {
    Viewable* parent = GetParent();
    return parent && parent->IsA(HIDesignViewerDesign::TypeName) ? static_cast<HIDesignViewerDesign*>(parent) : nullptr;
}

void ScheduleTypeView::SetSelectedObject(Viewable* view) {
    if (!view || !(view == this || view->IsA(ScheduleItemView::TypeName) || view->IsA(EventItemView::TypeName))) return;
    if (HIDesignViewerDesign* viewer = Parent()) viewer->SelectWhatIfItem(view);
}

ScheduleItemView* ScheduleTypeView::MakeItem(const Text& name, IHENSchedule* schedule) {
    if (!schedule) return nullptr;
    // The design announces a new schedule after it is in its list: a list made on that
    // announcement holds it already, and each schedule has one row.
    if (const auto it = m_itemOf.find(schedule); it != m_itemOf.end() && it->second->GetSchedule() == schedule)
        return it->second;
    // Every row is in the index while it has as many entries as there are rows.
    if (m_itemOf.size() != lstItems.size())
        for (ScheduleItemView* item : lstItems)
            if (item->GetSchedule() == schedule) return item;
    auto* item = new ScheduleItemView(this, name);
    item->AddDeathPostee(this);
    item->SetEngineeringSchedule(schedule);
    item->PopulateEvent();
    lstItems.push_back(item);
    m_itemOf[schedule] = item;
    UpdateDisplayVector(DisplayChange::Add, item);
    return item;
}

void ScheduleTypeView::PopulateSchedule() {
    for (int i = 0; pDesign && i < pDesign->GetNumberOfSchedules(); ++i) {
        const char* name = pDesign->GetScheduleName(i);
        MakeItem(name ? name : "", pDesign->GetOperatingSchedule(i));
    }
}

void ScheduleTypeView::AddScheduleItem(const Text& name, IHENSchedule* schedule) {
    if (ScheduleItemView* item = MakeItem(name, schedule)) SetSelectedObject(item);
}

void ScheduleTypeView::RenameScheduleItem(const Text& oldName, const Text& newName) {
    for (ScheduleItemView* item : lstItems)
        if (item->GetName() == oldName) {
            item->SetName(newName);
            return;
        }
}

void ScheduleTypeView::RenameEventItemsAfterTheirTargets() {
    for (ScheduleItemView* item : lstItems)
        for (EventItemView* event : item->GetEventItems())
            if (event->GetEvent() && event->GetEvent()->GetTargetName()) event->SetName(event->GetEvent()->GetTargetName());
}

void ScheduleTypeView::UpdateDisplayVector(DisplayChange change, ScheduleItemView* item) {
    if (!item) return;
    if (change == DisplayChange::Remove) {
        lstDisplayed.erase(std::remove(lstDisplayed.begin(), lstDisplayed.end(), item), lstDisplayed.end());
        return;
    }
    if ((!filter.byKind && !filter.convergedOnly) || item->IsEventFilterCriteriaOK(filter)) lstDisplayed.push_back(item);
}

void ScheduleTypeView::ApplyEventFilterCriteria() {
    if (!filter.byKind && !filter.convergedOnly) return;
    lstDisplayed.clear();
    for (ScheduleItemView* item : lstItems)
        if (item->IsEventFilterCriteriaOK(filter)) lstDisplayed.push_back(item);
}

void ScheduleTypeView::DisconnectDeadObject(Viewable* dead) {
    auto it = std::find(lstItems.begin(), lstItems.end(), static_cast<const void*>(dead));
    if (it != lstItems.end()) {
        lstItems.erase(it);
        for (auto entry = m_itemOf.begin(); entry != m_itemOf.end(); ++entry)
            if (entry->second == dead) {
                m_itemOf.erase(entry);
                break;
            }
        lstDisplayed.erase(std::remove(lstDisplayed.begin(), lstDisplayed.end(), static_cast<const void*>(dead)),
                           lstDisplayed.end());
        SetSelectedObject(this);
    }
    Viewable::DisconnectDeadObject(dead);
}

// ---- the table ----

IHENState* ScheduleTypeView::BaseState() const { return pDesign ? pDesign->GetDefaultState() : nullptr; }

// A schedule's row shows its results only while they are solved: one not run since it or the plant
// under it changed has no figures to set beside the base case.
IHENState* ScheduleTypeView::StateOfRow(int row) const {
    if (row == 0) return BaseState();
    if (row < 1 || row > static_cast<int>(lstDisplayed.size())) return nullptr;
    IHENSchedule* schedule = lstDisplayed[static_cast<std::size_t>(row - 1)]->GetSchedule();
    return schedule && schedule->GetStatus() != 0 ? schedule->GetState() : nullptr;
}

void ScheduleTypeView::LoadVariables(FormDescription& form) {
    form.Add({"ObjectStatus.300", FormHook::Value, 100, false, 0});
    form.Add({"Index.300", FormHook::Value, 100, true, 0});
    form.Add({"Index.301", FormHook::Value, 100, true, 0});
    form.Add({"Index.400", FormHook::Value, 100, true, 1});
    form.Add({"Switch.401", FormHook::Value, 104, true, 0});
    form.Add({"Switch.402", FormHook::Value, 104, true, 0});
    form.Add({"HeatFlow.300", FormHook::Value, 6, false, 2});
    form.Add({"HeatFlow.301", FormHook::Value, 6, false, 2});
    form.Add({"CostPerTime.300", FormHook::Value, 31001, false, 2});
    form.Add({"CostPerTime.301", FormHook::Value, 31001, false, 1});
    form.Add({"ExtraData.305", FormHook::Value, 1519, false, 2});
    form.Add({"ExtraData.300", FormHook::Text, 1519, false, 1});
    form.Add({"ExtraData.301", FormHook::Text, 1519, false, 1});
    form.Add({"ExtraData.302", FormHook::Text, 1519, false, 1});
    form.Add({"ExtraData.303", FormHook::Text, 1519, false, 1});
    form.Add({"ExtraData.304", FormHook::Text, 1519, false, 2});
    form.Add({"ScheduleItemView.300", FormHook::Object, 0, false, 1});
    for (const char* word : kCommands) form.AddCommand(word);
}

double ScheduleTypeView::Value(const VarDescription& var) {
    const int type = var.Type(), n = var.Number(), s = var.Offset(0), k = var.Offset(1);
    if (n == 300 && var.VariableIs("ObjectStatus")) return whatif::IconNumber("WhatIfSummaryIco");
    if (type == 100 && n == 300) return nForm300;
    if (type == 100 && n == 301) return nForm301;
    if (type == 100 && n == 400) return s >= 0 && s < 8 ? filter.criteria[s] : kEmpty;
    if (type == 104 && n == 401) return filter.byKind;
    if (type == 104 && n == 402) return filter.convergedOnly;
    const bool table = ((type == 6 || type == 31001) && (n == 300 || n == 301)) || (type == 1519 && n == 305);
    if (!table) return Viewable::Value(var);
    IHENState* state = BaseState() ? StateOfRow(s) : nullptr;
    if (!state) return kEmpty;
    double out = kEmpty;
    if (type == 6 && n == 300) {
        if (k < 0 || k >= state->GetNumberOfHeatExchangers()) return kEmpty;
        state->GetHeatExchangerValue(k, "Duty", out);
    } else if (type == 1519 && n == 305) {
        if (k < 0 || k >= state->GetNumberOfHeatExchangers()) return kEmpty;
        state->GetHeatExchangerValue(k, "FtFactor", out);
    } else if (type == 6 && n == 301) {
        out = k >= 0 && k < state->GetNumberOfUtilities() ? state->GetUtilityDuty(k) : kEmpty;
    } else if (type == 31001 && n == 300) {
        out = k >= 0 && k < state->GetNumberOfUtilities() ? state->GetUtilityCost(k) : kEmpty;
    } else {
        out = state->GetTotalUtilityCost();
    }
    return out;
}

int ScheduleTypeView::Specify(const VarDescription& var, double value) {
    const int type = var.Type(), n = var.Number(), i = var.Offset(0);
    if (type == 100 && n == 300) return nForm300 = static_cast<int>(value), 1;
    if (type == 100 && n == 301) return nForm301 = static_cast<int>(value), 1;
    if (type == 100 && n == 400) {
        if (i < 0 || i >= 8) return 0;
        filter.criteria[i] = static_cast<std::int16_t>(static_cast<int>(value));
        return 1;
    }
    if (type == 104 && (n == 401 || n == 402)) {
        (n == 401 ? filter.byKind : filter.convergedOnly) = static_cast<int>(value) != 0 ? 1 : 0;
        if (!filter.byKind && !filter.convergedOnly) lstDisplayed = lstItems;
        else ApplyEventFilterCriteria();
        return 1;
    }
    return Viewable::Specify(var, value);
}

Text ScheduleTypeView::TextValue(const VarDescription& var) {
    if (var.Type() != 1519 || var.Number() < 300 || var.Number() > 304) return Viewable::TextValue(var);
    const int i = var.Offset(0);
    IHENState* base = BaseState();
    switch (var.Number()) {
        case 300:
            if (i == 0) return FindString("BaseCaseSchedule");
            return i > 0 && i <= static_cast<int>(lstDisplayed.size()) ? lstDisplayed[static_cast<std::size_t>(i - 1)]->GetName()
                                                                       : Text();
        case 301: return base && i >= 0 && i < base->GetNumberOfHeatExchangers() ? Text(base->GetHeatExchangerName(i)) : Text();
        case 302: return base && i >= 0 && i < base->GetNumberOfUtilities() ? Text(base->GetUtilityName(i)) : Text();
        case 303: return base && i >= 0 && i < base->GetNumberOfSplitters() ? Text(base->GetSplitterName(i)) : Text();
        default: {
            const int splitter = var.Offset(1);
            IHENState* state = base ? StateOfRow(i) : nullptr;
            if (!state || splitter < 0 || splitter >= base->GetNumberOfSplitters()) return Text();
            // The branches as the base case has them.
            Text fractions;
            for (int b = 0; b < base->GetNumberOfBranches(splitter); ++b)
                fractions += (b ? ", " : "") + FormattedText("%.4f", state->GetBranchFraction(splitter, b));
            return fractions;
        }
    }
}

int ScheduleTypeView::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (var.IsObjectLink() && isItemLink(var.ObjectType()) && var.Number() == 300) {
        dims.AddDim(static_cast<int>(lstItems.size()));
        return 1;
    }
    const int type = var.Type(), n = var.Number();
    IHENState* base = BaseState();
    const int rows = static_cast<int>(lstDisplayed.size()) + 1;
    const int exchangers = base ? base->GetNumberOfHeatExchangers() : 0, utilities = base ? base->GetNumberOfUtilities() : 0;
    const int splitters = base ? base->GetNumberOfSplitters() : 0;
    auto two = [&dims](int a, int b) {
        dims.AddDim(a);
        dims.AddDim(b);
        return 2;
    };
    auto one = [&dims](int a) {
        dims.AddDim(a);
        return 1;
    };
    if (type == 6 && n == 300) return two(rows, exchangers);
    if ((type == 6 && n == 301) || (type == 31001 && n == 300)) return two(rows, utilities);
    if (type == 31001 && n == 301) return one(rows);
    if (type == 100 && n == 400) return one(8);
    if (type == 1519 && n == 300) return one(rows);
    if (type == 1519 && n == 301) return one(exchangers);
    if (type == 1519 && n == 302) return one(utilities);
    if (type == 1519 && n == 303) return one(splitters);
    if (type == 1519 && n == 304) return two(rows, splitters);
    if (type == 1519 && n == 305) return two(rows, exchangers);
    return Viewable::Dimensions(var, dims);
}

void ScheduleTypeView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    const int type = var.Type(), n = var.Number();
    if (((type == 6 || type == 31001) && (n == 300 || n == 301)) || (type == 1519 && n >= 300 && n <= 305) ||
        (n == 300 && var.VariableIs("ObjectStatus"))) {
        state = ReadOnlyState;
        return;
    }
    if ((type == 100 && (n == 300 || n == 301 || n == 400)) || (type == 104 && (n == 401 || n == 402))) {
        state = ModifiableState;
        return;
    }
    Viewable::VariableStatus(var, state, detail);
}

int ScheduleTypeView::GetEDVarType(const VarDescription& var) {
    if (var.Number() == 300 && var.VariableIs("ObjectStatus")) return 100;
    return var.Type() != 0 ? var.Type() : Viewable::GetEDVarType(var);
}

int ScheduleTypeView::Message(const Text& line) {
    Text word, rest;
    line.Token(word, rest);
    if (word == "ApplyFilterCriteria") {
        ApplyEventFilterCriteria();
    } else if (word == "SelectAllFilterCriteria" || word == "DeleteAllFilterCriteria") {
        for (std::int16_t& c : filter.criteria) c = word == "SelectAllFilterCriteria" ? 1 : 0;
    } else {
        return Viewable::Message(line);
    }
    return 1;
}

Viewable* ScheduleTypeView::AttachedObject(const VarDescription& var) {
    if (var.Flags() & VarDescription::FlagSelf) return this;
    if (!var.IsObjectLink() || !isItemLink(var.ObjectType()) || var.Number() != 300) return Viewable::AttachedObject(var);
    const int i = var.Offset(0);
    Viewable* found = i >= 0 && i < static_cast<int>(lstItems.size()) ? lstItems[static_cast<std::size_t>(i)] : nullptr;
    const VarDescription* next = var.GetNextLink();
    return found && next ? found->AttachedObject(*next) : found;
}

Text ScheduleTypeView::AttachedName(const Viewable* child) const {
    for (std::size_t i = 0; i < lstItems.size(); ++i)
        if (lstItems[i] == child)
            return FormattedText("ScheduleItemView.300.%zu(%s)", i, VarDescription::EscapeChildName(child->GetName()).c_str());
    return Viewable::AttachedName(child);
}
