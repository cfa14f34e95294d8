// The dispatchers through which input reaches the views, and the replay of a journal's inputs.
#include "lumeth/DisplayUnits.h"
#include "lumeth/Session.h"
#include "lumeth/Viewable.h"

#include <memory>

namespace {

// The input entry of a dispatch, recorded before the hook runs.
std::uint64_t recordInput(SessionEvent event, const Viewable* view, const Text& text, double value = 0.0,
                          const Text& detail = Text()) {
    SessionEntry e;
    e.event = event;
    e.key = view ? view->GetName() : Text();
    e.text = text;
    e.target = view ? ViewPath(view) : Text();
    e.value = value;
    e.detail = detail;
    return Session::Instance().Record(std::move(e));
}

void setResult(std::uint64_t sequence, int result) {
    if (SessionEntry* e = Session::Instance().Find(sequence)) e->answer = result;
}

// The view and the variable an address names: its leading child links are followed from
// `view` (the view's AttachedObject follows a chain of links), the rest is the variable.
Viewable* resolveAddress(Viewable* view, const VarDescription& address, const VarDescription*& variable) {
    variable = &address;
    if (!address.IsObjectLink()) return view;
    Viewable* target = view->AttachedObject(address);
    while (variable && variable->IsObjectLink()) variable = variable->GetNextLink();
    return target;
}

}  // namespace

int SendViewableMessage(Viewable* view, const Text& line, int) {
    if (!view) return 0;
    const std::uint64_t sequence = recordInput(SessionEvent::MessageSent, view, line);
    const int result = view->Message(line);
    // The view may be gone now; only the journal entry is touched.
    setResult(sequence, result);
    return result;
}

int SpecifyValue(Viewable* view, const Text& address, double value) {
    if (!view) return -1;
    const std::uint64_t sequence = recordInput(SessionEvent::Specified, view, address, value);
    VarDescription var;
    const VarDescription* variable = nullptr;
    Viewable* target = VarDescription::Parse(address, var) ? resolveAddress(view, var, variable) : nullptr;
    const int result = target && variable ? target->Specify(*variable, value) : -1;
    setResult(sequence, result);
    return result;
}

int SpecifyValueText(Viewable* view, const Text& address, const Text& text) {
    if (!view) return -1;
    const std::uint64_t sequence = recordInput(SessionEvent::SpecifiedText, view, address, 0.0, text);
    VarDescription var;
    const VarDescription* variable = nullptr;
    Viewable* target = VarDescription::Parse(address, var) ? resolveAddress(view, var, variable) : nullptr;
    const int result = target && variable ? target->SpecifyText(*variable, text) : -1;
    setResult(sequence, result);
    return result;
}

namespace {

// The view that makes or takes the child of a link address, and the link's last element: all but
// the last link lead from `view` to it.
Viewable* linkOwner(Viewable* view, const VarDescription& var, const VarDescription*& link) {
    Viewable* owner = view;
    link = &var;
    while (owner && link->GetNextLink() && link->GetNextLink()->IsObjectLink()) {
        VarDescription step = *link;
        step.DropNextLinks();
        owner = owner->AttachedObject(step);
        link = link->GetNextLink();
    }
    return owner;
}

}  // namespace

Viewable* AttachNewViewObject(Viewable* view, const Text& address, const Text& name) {
    if (!view) return nullptr;
    const std::uint64_t sequence = recordInput(SessionEvent::Attached, view, address, 0.0, name);
    VarDescription var;
    if (!VarDescription::Parse(address, var) || !var.IsObjectLink()) return setResult(sequence, 0), nullptr;
    const VarDescription* link = nullptr;
    Viewable* owner = linkOwner(view, var, link);
    Viewable* made = owner ? owner->AttachNewObject(*link, name) : nullptr;
    setResult(sequence, made ? 1 : 0);
    return made;
}

Viewable* AttachViewObject(Viewable* view, const Text& address, const Text& name, bool* dropped) {
    if (dropped) *dropped = false;
    if (!view) return nullptr;
    const std::uint64_t sequence = recordInput(SessionEvent::Attached, view, address, 0.0, name);
    VarDescription var;
    if (!VarDescription::Parse(address, var) || !var.IsObjectLink()) return setResult(sequence, 0), nullptr;
    const VarDescription* link = nullptr;
    Viewable* owner = linkOwner(view, var, link);
    if (!owner) return setResult(sequence, 0), nullptr;
    std::vector<Viewable*> offered;
    owner->GetAttachableObjects(*link, offered);
    for (Viewable* object : offered) {
        if (!object || object->GetName() != name) continue;
        // A drop: the entry says so (number 1), so a replay drops the same object again.
        if (SessionEntry* e = Session::Instance().Find(sequence)) e->number = 1;
        if (dropped) *dropped = true;
        const auto life = object->LifeToken();
        const int result = owner->AttachObject(*link, object);
        setResult(sequence, result);
        return result && !life.expired() ? object : nullptr;
    }
    Viewable* made = owner->AttachNewObject(*link, name);
    setResult(sequence, made ? 1 : 0);
    return made;
}

Text ViewPath(const Viewable* view) {
    std::vector<Text> steps;
    for (const Viewable* v = view; v && v->GetParent(); v = v->GetParent()) steps.push_back(v->GetParent()->AttachedName(v));
    Text path;
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) path += (path.empty() ? "" : "/") + *it;
    return path;
}

Viewable* ResolveViewPath(Viewable* root, const Text& path) {
    Viewable* current = root;
    for (const Text& step : VarDescription::SplitPath(path)) {
        VarDescription link;
        if (!current || !VarDescription::Parse(step, link) || !link.IsObjectLink()) return nullptr;
        current = current->AttachedObject(link);
    }
    return current;
}

int ReplayInputs(const std::vector<SessionEntry>& journal, Viewable* root) {
    Session& s = Session::Instance();
    for (const SessionEntry& e : journal) {
        if (e.event == SessionEvent::Response && e.number == 2) s.ScriptResponse(e.answer);
        if (e.event == SessionEvent::FilePicked) s.ScriptFileName(e.text);
    }
    int failed = 0;
    const auto life = root ? root->LifeToken() : std::weak_ptr<const bool>();
    for (const SessionEntry& e : journal) {
        if (!IsInputEvent(e.event)) continue;
        if (e.event == SessionEvent::UnitsSet) {
            SetDisplayUnitSet(e.number);
            continue;
        }
        Viewable* view = life.expired() ? nullptr : ResolveViewPath(root, e.target);
        if (!view) {
            ++failed;
            continue;
        }
        switch (e.event) {
            case SessionEvent::MessageSent: SendViewableMessage(view, e.text); break;
            case SessionEvent::Specified: SpecifyValue(view, e.text, e.value); break;
            case SessionEvent::SpecifiedText: SpecifyValueText(view, e.text, e.detail); break;
            case SessionEvent::Attached:
                if (e.number == 1) AttachViewObject(view, e.text, e.detail);
                else AttachNewViewObject(view, e.text, e.detail);
                break;
            default: break;
        }
    }
    return failed;
}
