#pragma once
// The stream links of one scenario, a child of the scenario viewer ("LinkTableCollection.200").
// It owns one editor (LinkTable) per linked stream, kept in creation order and in two lists by
// the form of their link (simple rows at 300, advanced editors at 301), opens an editor when the
// scenario asks for a link to be edited, and relays the deletion of a link from an editor to its
// receivers (the scenario viewer) with change code 116.
//
// Record (class version 1): the scenario link, the number of editors, each editor. The editors'
// links are given back by position in the fix-up; a list whose scenario holds another number of
// links than it has editors leaves them without links.
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/HVector.h"
#include "lumeth/Viewable.h"

#include <deque>

class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class LinkTable;
class StreamLynx;

class LinkTableCollection : public Viewable, public INotificationReceiver, public NotificationSender {
public:
    static constexpr const char* TypeName = "LinkTableCollectionObject";
    static constexpr int ClassVersion = 1;
    // Change code of a link that is to be deleted (data: the link).
    static constexpr int DeleteLink = 116;
    // The scenario's change code of a stream it is removing (its name as the text).
    static constexpr int StreamRemoved = 31;
    // The scenario's change code of a stream renamed (the old name as the text, the new as data).
    static constexpr int StreamRenamed = 32;
    // The scenario's change code of a stream switched to the other kind (its name as the text).
    static constexpr int StreamKindSwitched = 87;

    LinkTableCollection(Viewable* parent, const ObjectTypeInfo* type, IHeatIntegrationScenario* scenario,
                        Viewable* owner);
    explicit LinkTableCollection(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new LinkTableCollection(info); }
    ~LinkTableCollection() override;
    LinkTableCollection(const LinkTableCollection&) = delete;
    LinkTableCollection& operator=(const LinkTableCollection&) = delete;

    IHeatIntegrationScenario* GetScenario() const { return myScenario; }
    Viewable* GetOwner() const { return myScenarioView; }
    const HVector<LinkTable*>& GetLinkTables() const { return linkTables; }
    const HVector<LinkTable*>& GetSimpleLinkTables() const { return simpleLinkTables; }
    const HVector<LinkTable*>& GetAdvancedLinkTables() const { return advancedLinkTables; }

    // Finds or makes the editor of the link's stream and opens it in the form of its kind.
    void OpenLinkView(StreamLynx* link);
    // Finds or makes the editor of the link's stream without opening it; null for no link.
    LinkTable* ListLink(StreamLynx* link);
    bool IsStreamLinked(const IHeatIntegrationStream* stream) const;
    void SetAdvancedLinkPreference(int on);

    void NotifyChange(int code, const CPString& text, void* data) override;

    static const ViewForm<LinkTableCollection>& Form();
    static void LoadVariables(FormDescription& form) { Form().Describe(form); }
    double Value(const VarDescription& var) override;
    Text TextValue(const VarDescription& var) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    int GetEDVarType(const VarDescription& var) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    Text AttachedName(const Viewable* child) const override;
    void DisconnectDeadObject(Viewable* dead) override;

    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;
    bool RecallFixUp() override;

private:
    LinkTable* FindEditor(const IHeatIntegrationStream* stream) const;
    // Closes the editors of the links of the stream of that name.
    void CloseEditorsOf(const CPString& streamName);
    void Watch(LinkTable* editor);
    void Unwatch(LinkTable* editor);
    void RegisterWithScenario();
    LinkTable* SimpleEditor(const VarDescription& var) const;
    double SimpleOffset(const VarDescription& var);
    Text SimpleStreamName(const VarDescription& var);
    Text SimpleSourceName(const VarDescription& var);
    int SimpleRows(const VarDescription& var, DimInfo& dims);
    int AdvancedRows(const VarDescription& var, DimInfo& dims);

    IHeatIntegrationScenario* myScenario = nullptr;
    Viewable* myScenarioView = nullptr;
    HVector<LinkTable*> linkTables{10};
    HVector<LinkTable*> simpleLinkTables{10};
    HVector<LinkTable*> advancedLinkTables{10};
    bool registered = false;
    // The editors of a record, filled once the case is read.
    std::deque<Viewable*> recalledEditors;
};
