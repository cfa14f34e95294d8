#include "lumeth/ViewRecords.h"

#include "lumeth/BinaryFile.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>

namespace {

// Why the calling thread's recall refused its set: the view at fault, and what a check noted.
thread_local std::string t_refusal;
thread_local std::string t_note;

// The store or recall in progress; Viewable::StorePointer and RecallPointerX work on it.
struct RecordPass {
    std::map<const Viewable*, int> ids;  // store: view -> number
    std::vector<Viewable*> byId;         // recall: number - 1 -> view
    struct Pending {
        Viewable** slot;
        int id;
        const ObjectTypeInfo* type;
        int owner;  // the number of the view whose record holds the link
    };
    std::vector<Pending> pending;
    std::string at;  // the view being read or checked, as a refusal names it
};

std::string quotedText(const Text& text) { return "\"" + std::string(text.c_str()) + "\""; }

std::string viewLabel(int id, const Viewable& view) {
    const ObjectTypeInfo* type = view.GetViewType();
    return "view " + std::to_string(id) + " " + quotedText(type ? type->GetName() : Text()) + " " +
           quotedText(view.GetName());
}


RecordPass*& activePass() {
    static RecordPass* pass = nullptr;
    return pass;
}

class ScopedPass {
public:
    explicit ScopedPass(RecordPass& pass) : m_previous(activePass()) { activePass() = &pass; }
    ~ScopedPass() { activePass() = m_previous; }

private:
    RecordPass* m_previous;
};

// The stored views under `root` in preorder, without recursion (trees may be deep). A view of
// a transient type (or one that asks to be) is left out with everything under it (its owner
// rebuilds it), and so is one whose type refuses to be written (a view read from an older case).
void collect(Viewable* root, std::vector<Viewable*>& order) {
    std::vector<Viewable*> stack{root};
    while (!stack.empty()) {
        Viewable* view = stack.back();
        stack.pop_back();
        const ObjectTypeInfo* type = view->GetViewType();
        if ((type && type->IsLeftOutOfStore()) || view->IsLeftOutOfRecords()) continue;
        order.push_back(view);
        for (int i = view->GetNumberOfChildren() - 1; i >= 0; --i) stack.push_back(view->GetChild(i));
    }
}

// Upper bound on the views of one set, against a damaged count.
constexpr std::int32_t kMaxViews = 1 << 20;

}  // namespace

bool Viewable::StorePointer(BinaryFile& file, const Viewable* view) {
    const RecordPass* pass = activePass();
    int id = 0;
    if (pass && view) {
        auto it = pass->ids.find(view);
        if (it != pass->ids.end()) id = it->second;
    }
    return file.WriteInt(id);
}

bool Viewable::RecallPointerX(BinaryFile& file, Viewable*& slot, const ObjectTypeInfo* type) {
    std::int32_t id = 0;
    if (!file.ReadInt(id)) return false;
    if (id < 0) return ViewRecords::Refuse("a link to view " + std::to_string(id));
    slot = nullptr;
    RecordPass* pass = activePass();
    if (id == 0) return true;
    if (!pass) return false;
    pass->pending.push_back({&slot, id, type, static_cast<int>(pass->byId.size())});
    return true;
}

bool ViewRecords::Store(BinaryFile& file, const std::vector<Viewable*>& roots) {
    std::vector<Viewable*> order;
    for (Viewable* root : roots)
        if (root) collect(root, order);
    RecordPass pass;
    for (std::size_t i = 0; i < order.size(); ++i) pass.ids[order[i]] = static_cast<int>(i + 1);
    ScopedPass scope(pass);

    RecordHandle set;
    if (!file.BeginRecord(set, SetVersion) || !file.WriteInt(static_cast<std::int32_t>(order.size()))) return false;
    // A view that could not be read back would make a case that never opens again: refuse the
    // store before anything is written.
    for (Viewable* view : order)
        if (!view->GetViewType() || !view->GetViewType()->CanRecall()) return false;
    for (Viewable* view : order) {
        // The view's registered type, not what its GetObjectType hook answers.
        const ObjectTypeInfo* type = view->GetViewType();
        auto parent = pass.ids.find(view->GetParent());
        RecordHandle record;
        bool ok = file.BeginRecord(record, type->GetClassVersion()) && file.WriteCPString(type->GetName()) &&
                  file.WriteInt(pass.ids[view]) && file.WriteInt(parent == pass.ids.end() ? 0 : parent->second) &&
                  file.WriteCPString(view->GetName()) && type->StoreClassData(file, *view) && file.EndRecord(record);
        if (!ok) return false;
    }
    return file.EndRecord(set);
}

namespace {

bool readView(BinaryFile& file, RecordPass& pass, Document* document, std::vector<Viewable*>& roots) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    RecordHandle record;
    if (!registry || !file.BeginRecord(record)) return false;
    const int version = file.GetRecordVersion(record);
    CPString typeName, name;
    std::int32_t id = 0, parentId = 0;
    const std::int32_t next = static_cast<std::int32_t>(pass.byId.size()) + 1;
    pass.at = "view record " + std::to_string(next);
    if (!file.ReadCPString(typeName) || !file.ReadInt(id) || !file.ReadInt(parentId) || !file.ReadCPString(name))
        return false;
    pass.at += " " + quotedText(typeName) + " " + quotedText(name);
    // Views come in preorder, numbered from 1: a parent is always one read before.
    if (id != next) return ViewRecords::Refuse("it is numbered " + std::to_string(id));
    if (parentId < 0 || parentId >= id)
        return ViewRecords::Refuse("its owner is numbered " + std::to_string(parentId) + ", not a view read before it");
    const ObjectTypeInfo* type = registry->Find(typeName);
    if (!type) return ViewRecords::Refuse("no view has that type");
    ObjectInstanceInfo info{type, name, parentId ? pass.byId[static_cast<std::size_t>(parentId - 1)] : nullptr};
    Viewable* view = type->CreateInstanceForRecall(info);
    if (!view) return false;
    pass.byId.push_back(view);
    pass.at = viewLabel(id, *view);
    if (!info.parent) {
        roots.push_back(view);
        view->SetDocument(document);
    }
    return type->RecallClassData(file, *view, version) && file.EndRecord(record);
}

bool resolve(RecordPass& pass) {
    for (const RecordPass::Pending& p : pass.pending) {
        if (p.owner >= 1 && p.owner <= static_cast<int>(pass.byId.size()))
            pass.at = viewLabel(p.owner, *pass.byId[static_cast<std::size_t>(p.owner - 1)]);
        if (p.id < 1 || p.id > static_cast<int>(pass.byId.size()))
            return ViewRecords::Refuse("a link to view " + std::to_string(p.id) + ", where the case holds " +
                                       std::to_string(pass.byId.size()));
        Viewable* target = pass.byId[static_cast<std::size_t>(p.id - 1)];
        if (p.type && !target->IsA(p.type))
            return ViewRecords::Refuse("a link to " + viewLabel(p.id, *target) + ", where a " +
                                       quotedText(p.type->GetName()) + " belongs");
        *p.slot = target;
    }
    pass.pending.clear();
    return true;
}

}  // namespace

const std::string& ViewRecords::Refusal() { return t_refusal; }

bool ViewRecords::Refuse(const std::string& what) {
    if (t_note.empty()) t_note = what;
    return false;
}

bool ViewRecords::Recall(BinaryFile& file, std::vector<Viewable*>& roots, Document* document) {
    RecordPass pass;
    std::vector<Viewable*> recalled;
    bool ok = false;
    t_refusal.clear();
    t_note.clear();
    {
        ScopedPass scope(pass);
        RecordHandle set;
        std::int32_t count = 0;
        pass.at = "the set of views";
        ok = file.BeginRecord(set) && file.ReadItemCount(count) &&
             (count <= kMaxViews || Refuse("it counts " + std::to_string(count) + " views"));
        for (std::int32_t i = 0; ok && i < count; ++i) ok = readView(file, pass, document, recalled);
        if (ok) pass.at = "the set of views";
        ok = ok && file.EndRecord(set) && resolve(pass);
    }
    // A check or a fix-up may delete recalled views (a fix-up drops the old plots it read):
    // every view is looked at only while its life token says it is still there.
    std::vector<std::weak_ptr<const bool>> lives, rootLives;
    lives.reserve(pass.byId.size());
    for (Viewable* v : pass.byId) lives.push_back(v->LifeToken());
    for (Viewable* v : recalled) rootLives.push_back(v->LifeToken());
    for (std::size_t i = 0; ok && i < pass.byId.size(); ++i) {
        if (lives[i].expired()) continue;
        Viewable* v = pass.byId[i];
        pass.at = viewLabel(static_cast<int>(i + 1), *v);
        ok = v->GetViewType()->CheckRecalledPointers(*v);
    }
    for (std::size_t i = 0; ok && i < pass.byId.size(); ++i) {
        if (lives[i].expired()) continue;
        Viewable* v = pass.byId[i];
        pass.at = viewLabel(static_cast<int>(i + 1), *v);
        ok = v->GetViewType()->RecallFixUp(*v);
    }
    if (!ok) {
        // A check that named nothing met bytes its record cannot hold where it read them.
        t_refusal = pass.at + ": " +
                    (t_note.empty() ? "its record does not read (cut short, or a field of another kind or count)"
                                    : t_note);
        // Slots of pending links live in the views about to go. Deleting one root may take
        // another with it (a postee's notice): each is checked before it goes.
        pass.pending.clear();
        for (std::size_t i = recalled.size(); i-- > 0;)
            if (!rootLives[i].expired()) delete recalled[i];
        return false;
    }
    for (std::size_t i = 0; i < recalled.size(); ++i)
        if (!rootLives[i].expired()) roots.push_back(recalled[i]);
    return true;
}
