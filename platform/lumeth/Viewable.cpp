#include "lumeth/Viewable.h"

#include "lumeth/FormWrites.h"

#include "lumeth/Session.h"

#include <algorithm>
#include <iterator>

namespace {
// Views go mostly in the reverse of their making (a parent deletes its children from the last
// one back), so a list is searched from its end: a teardown of n views costs n, not n squared.
// An item is in a list at most once, so which end the search starts from changes nothing else.
template <typename Item, typename Key>
bool eraseOne(std::vector<Item>& list, const Key& item) {
    auto it = std::find(list.rbegin(), list.rend(), item);
    if (it == list.rend()) return false;
    list.erase(std::next(it).base());
    return true;
}
template <typename Item, typename Key>
bool contains(const std::vector<Item>& list, const Key& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}
}  // namespace

Viewable::Viewable(Viewable* parent, const ObjectTypeInfo* type) : m_type(type) { Attach(parent); }

Viewable::Viewable(Viewable* parent, const Text& objectTypeName) {
    if (const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current()) m_type = registry->Find(objectTypeName);
    Attach(parent);
}

Viewable::Viewable(ObjectInstanceInfo& info) : m_type(info.type), m_name(info.name) { Attach(info.parent); }

void Viewable::Attach(Viewable* parent) {
    m_parent = parent;
    if (parent) parent->m_children.push_back(this);
}

bool Viewable::Adopt(Viewable* child) {
    if (!child || child->m_parent || IsSelfOrOwner(child)) return false;
    child->Attach(this);
    return true;
}

Viewable::~Viewable() {
    m_dying = true;
    // 1. Tell the postees while this view's type and name are still intact. A postee may delete
    //    other views (postees among them) meanwhile: each is re-checked before it is told.
    const std::vector<Viewable*> postees = m_postees;
    for (Viewable* postee : postees) {
        if (!eraseOne(m_postees, postee)) continue;
        eraseOne(postee->m_watching, this);
        postee->DisconnectDeadObject(this);
    }
    // 2. Leave the postee lists of the views this one watched.
    for (Viewable* watched : m_watching) eraseOne(watched->m_postees, this);
    m_watching.clear();
    // 3. The children still under this view die with it (each leaves m_children as it goes). A
    //    child already dying (this view was deleted by one of its postees) is only let go of.
    while (!m_children.empty()) {
        Viewable* child = m_children.back();
        if (child->m_dying) {
            m_children.pop_back();
            child->m_parent = nullptr;
            continue;
        }
        delete child;
    }
    // 4. Leave the parent (gone already when a postee deleted it meanwhile).
    if (m_parent) eraseOne(m_parent->m_children, this);
    m_alive.reset();
}

double Viewable::Value(const VarDescription&) { return EmptyValue; }

void Viewable::RecordUnhandled(const char* hook, const VarDescription& var) const {
    Session::Instance().Record(SessionEvent::Unhandled, m_name, Text(hook) + " " + var.ToString());
}

int Viewable::Specify(const VarDescription& var, double) {
    RecordUnhandled("Specify", var);
    return 0;
}

Text Viewable::TextValue(const VarDescription&) { return Text(); }

int Viewable::SpecifyText(const VarDescription& var, const Text&) {
    RecordUnhandled("SpecifyText", var);
    return 0;
}

int Viewable::Message(const Text& line) {
    Text word, rest;
    line.Token(word, rest);
    if (word == "CloseView") {
        // A view closing its own forms tells nobody: the notice is for the user's closing.
        if (rest.empty()) m_openForms.clear();
        else eraseOne(m_openForms, rest);
        Session::Instance().Record(SessionEvent::FormClosed, m_name);
        return 1;
    }
    if (word == "View") return View(rest);
    if (word == "DeleteView" || word == "Delete") {
        delete this;
        return 1;
    }
    Session::Instance().Record(SessionEvent::Unhandled, m_name, "Message " + line);
    return 0;
}

bool Viewable::GenMessage(MessageInfo&) { return false; }

VarEnumInfo* Viewable::GetEnumInfo(const VariableNameInfo&) { return nullptr; }

Viewable* Viewable::AttachedObject(const VarDescription& var) {
    Viewable* found = nullptr;
    if (var.Flags() & VarDescription::FlagSelf) {
        found = this;
    } else if (var.IsObjectLink()) {
        if (!var.HasChildName()) found = IsA(var.ObjectType()) ? this : nullptr;
        else found = FindChild(var.ObjectType(), var.ChildName());
    }
    const VarDescription* next = var.GetNextLink();
    if (found && next && next->IsObjectLink()) return found->AttachedObject(*next);
    return found;
}

int Viewable::AttachObject(const VarDescription&, Viewable*) { return 0; }
int Viewable::Dimensions(const VarDescription&, DimInfo&) { return 0; }
// A cell is editable when the view's form lists it so; anything the form does not list is read-only.
void Viewable::VariableStatus(const VarDescription& var, ModifyState& state, int&) {
    const FormVariable* row = m_type ? FindListed(m_type, var) : nullptr;
    state = row && row->editable ? ModifiableState : ReadOnlyState;
}
void Viewable::ViewNotification(int, Viewable*, const Text&) {}

void Viewable::SetCaption(const Text& caption) {
    m_caption = caption;
    Session::Instance().Record(SessionEvent::Caption, m_name, caption);
}

Text Viewable::AttachedName(const Viewable* child) const {
    if (!child) return Text();
    const ObjectTypeInfo* type = child->GetViewType();
    const Text cls = type && !type->GetClassName().empty() ? type->GetClassName() : Text("Viewable");
    return cls + ".200(" + VarDescription::EscapeChildName(child->GetName()) + ")";
}

const ObjectTypeInfo* Viewable::GetObjectType(const ObjectTypeInfo*) const { return m_type; }

int Viewable::GetAttachableObjects(const VarDescription& var, std::vector<Viewable*>& out) {
    const std::size_t before = out.size();
    if (!var.IsObjectLink()) return 0;
    for (Viewable* child : m_children)
        if (child->IsA(var.ObjectType())) out.push_back(child);
    return static_cast<int>(out.size() - before);
}

Viewable* Viewable::AttachNewObject(const VarDescription& var, const Text& name) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* type = registry && var.IsObjectLink() ? registry->Find(var.ObjectType()) : nullptr;
    return type ? type->CreateInstance(this, name) : nullptr;
}

bool Viewable::CheckData() { return true; }

void Viewable::DisconnectDeadObject(Viewable*) {}
int Viewable::GetEDVarType(const VarDescription& var) { return var.Type(); }

bool Viewable::StoreClassData(BinaryFile&) { return true; }
bool Viewable::RecallClassData(BinaryFile&, int) { return true; }
bool Viewable::CheckRecalledPointers() { return true; }
bool Viewable::RecallFixUp() { return true; }

Viewable* Viewable::OwnerViewable(const ObjectTypeInfo* type) const {
    if (!type) return m_parent;
    for (Viewable* v = m_parent; v; v = v->m_parent)
        if (v->IsA(type)) return v;
    return nullptr;
}

Viewable* Viewable::OwnerViewable(const Text& objectTypeName) const {
    for (Viewable* v = m_parent; v; v = v->m_parent)
        if (v->IsA(objectTypeName)) return v;
    return nullptr;
}

bool Viewable::IsSelfOrOwner(const Viewable* view) const {
    for (const Viewable* v = this; v; v = v->m_parent)
        if (v == view) return true;
    return false;
}

Document* Viewable::OwnerDocument() const {
    for (const Viewable* v = this; v; v = v->m_parent)
        if (v->m_document) return v->m_document;
    return nullptr;
}

Viewable* Viewable::GetChild(int index) const {
    if (index < 0 || index >= GetNumberOfChildren()) return nullptr;
    return m_children[static_cast<std::size_t>(index)];
}

Viewable* Viewable::FindChild(const Text& objectTypeName, const Text& name) const {
    for (Viewable* child : m_children)
        if (child->GetName() == name && (objectTypeName.empty() || child->IsA(objectTypeName))) return child;
    return nullptr;
}

bool Viewable::AddDeathPostee(Viewable* postee) {
    if (!postee || postee == this || contains(m_postees, postee)) return false;
    m_postees.push_back(postee);
    postee->m_watching.push_back(this);
    return true;
}

bool Viewable::RemoveDeathPostee(Viewable* postee) {
    if (!eraseOne(m_postees, postee)) return false;
    eraseOne(postee->m_watching, this);
    return true;
}

bool Viewable::HasDeathPostee(const Viewable* postee) const { return contains(m_postees, postee); }

bool Viewable::IsFormOpen(const Text& form) const { return contains(m_openForms, form); }

bool Viewable::CloseForm(const Text& form) {
    if (!contains(m_openForms, form)) return false;
    eraseOne(m_openForms, form);
    Session::Instance().Record(SessionEvent::FormClosed, m_name, form);
    ViewNotification(1, this, form);
    return true;
}

int Viewable::View(const Text& form, int location, double) {
    Text name = form;
    if (name.empty() && m_type) name = m_type->GetFormKey();
    if (!contains(m_openForms, name)) m_openForms.push_back(name);
    // The entry names the view by its path too, so that a script can move on to the view whose
    // form opened.
    SessionEntry entry;
    entry.event = SessionEvent::ViewOpened;
    entry.key = m_name;
    entry.text = name;
    entry.number = location;
    entry.target = ViewPath(this);
    Session::Instance().Record(entry);
    return 1;
}

void Viewable::ErrorMsg(const Text& key, const Text& parameter) { ::ErrorMsg(key, parameter); }
void Viewable::ErrorMsg(const Text& key, const MessageParameters& parameters) { ::ErrorMsg(key, parameters); }
int Viewable::ResponseMsg(const Text& key, int kind) { return ::ResponseMsg(key, kind); }
int Viewable::ResponseMsg(const Text& key, int kind, const MessageParameters& parameters) {
    return ::ResponseMsg(key, kind, parameters);
}
void Viewable::UserStatusReport(const Text& text, int level, int colour) { ::UserStatusReport(text, level, colour); }
void Viewable::UserStatusClear(int level) { ::UserStatusClear(level); }
