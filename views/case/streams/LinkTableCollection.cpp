#include "views/case/streams/LinkTableCollection.h"

#include "brasko/CaseDocument.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/StreamLynxCollection.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/Session.h"
#include "views/EnginePointers.h"
#include "views/case/streams/LinkTable.h"

#include <algorithm>

namespace {

const ObjectTypeInfo* typeNamed(const char* name) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->FindByClassOrName(name) : nullptr;
}

int hotColdOf(const IHeatIntegrationStream* stream) {
    const int side = stream ? stream->GetHotCold() : 0;
    return side == 1 ? 1 : 0;
}

}  // namespace

LinkTableCollection::LinkTableCollection(Viewable* parent, const ObjectTypeInfo* type, IHeatIntegrationScenario* scenario,
                                         Viewable* owner)
    : Viewable(parent, type ? type : typeNamed(TypeName)), myScenario(scenario), myScenarioView(owner) {
    SetName("LinkTableCollection");
    RegisterWithScenario();
}

LinkTableCollection::LinkTableCollection(ObjectInstanceInfo& info) : Viewable(info) { myScenarioView = GetParent(); }

LinkTableCollection::~LinkTableCollection() {
    if (registered && myScenario) myScenario->RemoveNotificationReceiver(this);
    // Each editor is taken out of the lists before it goes.
    while (linkTables.Count() > 0) {
        LinkTable* editor = linkTables[linkTables.Count() - 1];
        linkTables.RemoveAt(linkTables.Count() - 1);
        simpleLinkTables.Remove(editor);
        advancedLinkTables.Remove(editor);
        Unwatch(editor);
        delete editor;
    }
    simpleLinkTables.Clear();
    advancedLinkTables.Clear();
}

void LinkTableCollection::RegisterWithScenario() {
    if (registered || !myScenario || !myScenario->AddNotificationReceiver(this)) return;
    myScenario->AddValidMessage(this, 25);
    // A stream leaving the scenario takes its links with it: their editors close first.
    myScenario->AddValidMessage(this, StreamRemoved);
    // So does a stream made a utility: the scenario drops its link at the switch.
    myScenario->AddValidMessage(this, StreamKindSwitched);
    // An editor bears its stream's name, the one the stream has now.
    myScenario->AddValidMessage(this, StreamRenamed);
    registered = true;
}

void LinkTableCollection::Watch(LinkTable* editor) {
    editor->AddNotificationReceiver(this);
    editor->AddValidMessage(this, LinkTable::DeleteLinkCode);
    editor->AddValidMessage(this, LinkTable::FormChangedCode);
    editor->AddDeathPostee(this);
}

void LinkTableCollection::Unwatch(LinkTable* editor) {
    editor->RemoveNotificationReceiver(this);
    editor->RemoveDeathPostee(this);
}

void LinkTableCollection::CloseEditorsOf(const CPString& streamName) {
    for (std::size_t i = linkTables.Count(); i-- > 0;) {
        LinkTable* editor = linkTables[i];
        const IHeatIntegrationStream* stream = editor->GetStream();
        if (!stream || streamName != stream->GetName()) continue;
        linkTables.RemoveAt(i);
        simpleLinkTables.Remove(editor);
        advancedLinkTables.Remove(editor);
        Unwatch(editor);
        delete editor;
    }
}

LinkTable* LinkTableCollection::FindEditor(const IHeatIntegrationStream* stream) const {
    if (!stream) return nullptr;
    for (LinkTable* editor : linkTables)
        if (editor->GetStream() == stream) return editor;
    return nullptr;
}

bool LinkTableCollection::IsStreamLinked(const IHeatIntegrationStream* stream) const { return FindEditor(stream) != nullptr; }

void LinkTableCollection::SetAdvancedLinkPreference(int on) {
    StreamLynxCollection* links = myScenario ? myScenario->GetStreamLinkCollection() : nullptr;
    if (links) links->SetAdvancedLinkPreference(on);
}

LinkTable* LinkTableCollection::ListLink(StreamLynx* link) {
    if (!link) return nullptr;
    IHeatIntegrationStream* stream = link->GetLinkedStream();
    LinkTable* editor = FindEditor(stream);
    if (!editor) {
        editor = new LinkTable(this, this, link, stream, hotColdOf(stream));
        Watch(editor);
        linkTables.Append(editor);
        (link->IsAdvanced() ? advancedLinkTables : simpleLinkTables).Append(editor);
    }
    return editor;
}

void LinkTableCollection::OpenLinkView(StreamLynx* link) {
    LinkTable* editor = ListLink(link);
    if (!editor) return;
    link->RefreshStreamTemperature();
    link->UpdateSimpleLinkOffset();
    if (link->IsAdvanced()) editor->View("AdvancedLinkView");
    else editor->View();
}

void LinkTableCollection::NotifyChange(int code, const CPString& text, void* data) {
    if (code == 25) {
        delete this;
        return;
    }
    if (code == StreamRemoved) {
        CloseEditorsOf(text);
        return;
    }
    if (code == StreamRenamed) {
        IHeatIntegrationStream* stream = nullptr;
        const char* name = static_cast<const char*>(data);
        if (name && myScenario && myScenario->GetStream(name, stream) && stream)
            if (LinkTable* editor = FindEditor(stream)) editor->SetName(name);
        return;
    }
    if (code == StreamKindSwitched) {
        IHeatIntegrationStream* stream = nullptr;
        if (myScenario && myScenario->GetStream(text, stream) && stream &&
            stream->GetStreamKind() == 1)
            CloseEditorsOf(text);
        return;
    }
    if ((code != LinkTable::DeleteLinkCode && code != LinkTable::FormChangedCode) || !data) return;
    auto* link = static_cast<StreamLynx*>(data);
    LinkTable* editor = nullptr;
    for (LinkTable* e : linkTables)
        if (e->GetLink() == link) editor = e;
    if (!editor) editor = FindEditor(link->GetLinkedStream());
    if (!editor) return;
    if (code == LinkTable::FormChangedCode) {
        simpleLinkTables.Remove(editor);
        advancedLinkTables.Remove(editor);
        (link->IsAdvanced() ? advancedLinkTables : simpleLinkTables).Append(editor);
        return;
    }
    Unwatch(editor);
    linkTables.Remove(editor);
    simpleLinkTables.Remove(editor);
    advancedLinkTables.Remove(editor);
    // The scenario viewer removes the link from the scenario; the editor deletes itself.
    SendAMessage(DeleteLink, CPString(), link);
}

void LinkTableCollection::DisconnectDeadObject(Viewable* dead) {
    linkTables.RemoveAllAt(dead);
    simpleLinkTables.RemoveAllAt(dead);
    advancedLinkTables.RemoveAllAt(dead);
    std::replace(recalledEditors.begin(), recalledEditors.end(), dead, static_cast<Viewable*>(nullptr));
    Viewable::DisconnectDeadObject(dead);
}

// ---- form ----

const ViewForm<LinkTableCollection>& LinkTableCollection::Form() {
    using V = LinkTableCollection;
    static const ViewForm<V> form{
        {{"DeltaTemp.300.[]", FormHook::Value, 1517, false, 1}, &V::SimpleOffset, nullptr, nullptr, nullptr,
         &V::SimpleRows},
        {{"SimpleLinkStrName.300.[]", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::SimpleStreamName, nullptr,
         &V::SimpleRows},
        {{"SimpleLinkedStrName.300.[]", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::SimpleSourceName,
         nullptr, &V::SimpleRows},
        {{"LinkTable.301", FormHook::Object, 0, false, 1}, nullptr, nullptr, nullptr, nullptr, &V::AdvancedRows},
    };
    return form;
}

// Without a scenario the framework answers; with one, what the list does not know is empty.
double LinkTableCollection::Value(const VarDescription& var) {
    double out = EmptyValue;
    if (!myScenario) return Viewable::Value(var);
    return Form().Value(*this, var, out) ? out : EmptyValue;
}

Text LinkTableCollection::TextValue(const VarDescription& var) {
    Text out;
    if (!myScenario) return Viewable::TextValue(var);
    return Form().TextValue(*this, var, out) ? out : Text();
}

int LinkTableCollection::Dimensions(const VarDescription& var, DimInfo& dims) {
    int added = 0;
    if (!myScenario) return Viewable::Dimensions(var, dims);
    return Form().Dimensions(*this, var, dims, added) ? added : 0;
}

int LinkTableCollection::GetEDVarType(const VarDescription& var) {
    int type = 0;
    return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}

LinkTable* LinkTableCollection::SimpleEditor(const VarDescription& var) const {
    const int i = var.Offset(0);
    return i >= 0 && i < simpleLinkTables.Count() ? simpleLinkTables[i] : nullptr;
}

double LinkTableCollection::SimpleOffset(const VarDescription& var) {
    const LinkTable* editor = SimpleEditor(var);
    return editor && editor->GetLink() ? editor->GetLink()->GetSimpleOffset() : EmptyValue;
}

Text LinkTableCollection::SimpleStreamName(const VarDescription& var) {
    const LinkTable* editor = SimpleEditor(var);
    const IHeatIntegrationStream* stream = editor && editor->GetLink() ? editor->GetLink()->GetLinkedStream() : nullptr;
    return stream ? Text(stream->GetName()) : Text();
}

// The one candidate whose temperature feeds a simple link.
Text LinkTableCollection::SimpleSourceName(const VarDescription& var) {
    const LinkTable* editor = SimpleEditor(var);
    const StreamLynx* link = editor ? editor->GetLink() : nullptr;
    if (!link || link->IsAdvanced() || link->GetNumberOfCoefficients("Temp_Temp") != 1) return Text();
    for (int i = 0; i < link->GetNumberOfCandidates(); ++i)
        if (link->IsTemperatureTerm("Temperature", i)) {
            const IHeatIntegrationStream* source = link->GetCandidate(i);
            return source ? Text(source->GetName()) : Text();
        }
    return Text();
}

int LinkTableCollection::SimpleRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(simpleLinkTables.Count());
    return 1;
}

int LinkTableCollection::AdvancedRows(const VarDescription& var, DimInfo& dims) {
    dims.AddDim(var.Number() == 301 ? advancedLinkTables.Count() : linkTables.Count());
    return 1;
}

// ---- children ----

Viewable* LinkTableCollection::AttachedObject(const VarDescription& var) {
    if (var.Flags() & VarDescription::FlagSelf) return this;
    const ObjectTypeInfo* info = var.IsObjectLink() ? typeNamed(var.ObjectType().c_str()) : nullptr;
    if (!info || !info->IsA(LinkTable::TypeName) || (var.Number() != 301 && var.Number() != 200))
        return Viewable::AttachedObject(var);
    const HVector<LinkTable*>& list = var.Number() == 301 ? advancedLinkTables : linkTables;
    const int i = var.Offset(0);
    Viewable* found = i >= 0 && i < list.Count() ? list[i] : nullptr;
    const VarDescription* next = var.GetNextLink();
    if (found && next && next->IsObjectLink()) return found->AttachedObject(*next);
    return found;
}

Text LinkTableCollection::AttachedName(const Viewable* child) const {
    if (!child || !child->IsA(LinkTable::TypeName)) return Viewable::AttachedName(child);
    int at = 0;
    for (int i = 0; i < linkTables.Count(); ++i)
        if (static_cast<const Viewable*>(linkTables[i]) == child) at = i;
    return FormattedText("LinkTable.200.%d(%s)", at, VarDescription::EscapeChildName(child->GetName()).c_str());
}

// ---- record ----

bool LinkTableCollection::StoreClassData(BinaryFile& file) {
    if (!StoreScenarioPointer(file, myScenario) || !file.WriteInt(linkTables.Count())) return false;
    for (const LinkTable* editor : linkTables)
        if (!StorePointer(file, editor)) return false;
    return true;
}

bool LinkTableCollection::RecallClassData(BinaryFile& file, int version) {
    if (version < 1) return true;
    // The list serves a site's scenario as a project's: the path it wrote names which.
    if (!RecallScenarioOfEitherOwnerPointer(file, CaseEngineeringManager2(this), myScenario)) return false;
    std::int32_t count = 0;
    if (!file.ReadItemCount(count)) return false;
    // Slots are filled once the case is read and must stay where they are until then: a deque
    // keeps them in place as it grows, one read at a time (a damaged count runs out of record).
    recalledEditors.clear();
    for (std::int32_t i = 0; i < count; ++i) {
        recalledEditors.push_back(nullptr);
        if (!RecallPointerX(file, recalledEditors.back(), typeNamed(LinkTable::TypeName))) return false;
    }
    return true;
}

bool LinkTableCollection::CheckRecalledPointers() {
    for (Viewable* view : recalledEditors) {
        if (!view || !view->IsA(LinkTable::TypeName)) continue;
        auto* editor = static_cast<LinkTable*>(view);
        if (linkTables.Find(editor) >= 0) continue;
        Watch(editor);
        linkTables.Append(editor);
    }
    recalledEditors.clear();
    return true;
}

// The editors get their links back by position. A list that cannot match them (no scenario, no
// links, another number of links) drops its editors and leaves the case to open: the links are
// the scenario's and still there, and opening one makes its editor again.
bool LinkTableCollection::RecallFixUp() {
    if (!myScenarioView) myScenarioView = GetParent();
    RegisterWithScenario();
    StreamLynxCollection* links = myScenario ? myScenario->GetStreamLinkCollection() : nullptr;
    simpleLinkTables.Clear();
    advancedLinkTables.Clear();
    if (links && links->GetNumberOfLinks() == linkTables.Count()) {
        for (int i = 0; i < linkTables.Count(); ++i) {
            StreamLynx* link = links->GetLink(i);
            IHeatIntegrationStream* stream = link->GetLinkedStream();
            linkTables[i]->Attach(this, link, stream, hotColdOf(stream));
            (link->IsAdvanced() ? advancedLinkTables : simpleLinkTables).Append(linkTables[i]);
        }
    } else {
        while (linkTables.Count() > 0) {
            LinkTable* editor = linkTables[linkTables.Count() - 1];
            linkTables.RemoveAt(linkTables.Count() - 1);
            Unwatch(editor);
            delete editor;
        }
    }
    if (links) {
        double preference = 0.0;
        if (!GetConfigData("AdvanceStreamLinkPreference", preference)) preference = 0.0;
        links->SetAdvancedLinkPreference(static_cast<int>(preference));
    }
    return true;
}
