#pragma once
// The editor of one stream link: the inlet temperature and mass flow of a process stream (the
// linked stream) as functions of the scenario's other process streams (the candidates). Two
// forms: the simple one ("linktable", "= T + DT": one candidate's temperature and a difference)
// and the advanced one ("AdvancedLinkView": for each of "Temperature" and "MassFlow" a constant
// A plus weighted candidate temperatures and mass flows, each term with optional bounds).
//
// The editor holds no link data of its own: every variable reads and writes the link. Its list
// (LinkTableCollection) creates, owns and opens it, and hears from it through change codes:
// 115, the link is to be deleted; 117, the link changed between simple and advanced (data: the
// link). Record (class version 1): the form setting; the list gives the link back by position.
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"

#include <cstdint>

class IHeatIntegrationStream;
class LinkTableCollection;
class StreamLynx;

class LinkTable : public Viewable, public INotificationReceiver, public NotificationSender {
public:
    static constexpr const char* TypeName = "LinkTableObject";
    static constexpr int ClassVersion = 1;
    static constexpr int DeleteLinkCode = 115;
    static constexpr int FormChangedCode = 117;

    // A child of `parent` (its list).
    LinkTable(Viewable* parent, LinkTableCollection* collection, StreamLynx* link, IHeatIntegrationStream* stream,
              int hotCold);
    explicit LinkTable(ObjectInstanceInfo& info) : Viewable(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new LinkTable(info); }

    StreamLynx* GetLink() const { return myLink; }
    // The linked stream as it was attached: compared, never read (it may be gone since).
    IHeatIntegrationStream* GetStream() const { return myStream; }
    LinkTableCollection* GetCollection() const { return myCollection; }
    int GetFormSetting() const { return formSetting; }
    int GetStreamHotCold() const { return streamHotCold; }
    // Given by the list (on creation and after a recall, by position).
    void Attach(LinkTableCollection* collection, StreamLynx* link, IHeatIntegrationStream* stream, int hotCold);

    // The editor's change handler ignores every change.
    void NotifyChange(int, const CPString&, void*) override {}

    static const ViewForm<LinkTable>& Form();
    static void LoadVariables(FormDescription& form);
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Message(const Text& line) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    int GetEDVarType(const VarDescription& var) override;
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;

private:
    // Whether the linked stream is one a retrofit study's base holds: its link is then the
    // existing network's, read-only and not deleted.
    bool HeldByRetrofitBase() const;
    double TermSwitch(const VarDescription& var);
    int SetTermSwitch(const VarDescription& var, double value);
    double CandidateSide(const VarDescription& var);
    double PreferenceClear(const VarDescription& var);
    double BoundFlag(const VarDescription& var);
    int SetBoundFlag(const VarDescription& var, double value);
    double CandidateValue(const VarDescription& var);
    double HotColdValue(const VarDescription& var);
    double FormSettingValue(const VarDescription& var);
    int SetFormSetting(const VarDescription& var, double value);
    double Coefficient(const VarDescription& var);
    int SetCoefficient(const VarDescription& var, double value);
    double Offset(const VarDescription& var);
    int SetOffset(const VarDescription& var, double value);
    double Constant(const VarDescription& var);
    int SetConstant(const VarDescription& var, double value);
    double Bound(const VarDescription& var);
    int SetBound(const VarDescription& var, double value);
    int CandidateRows(const VarDescription& var, DimInfo& dims);
    Text Title(const VarDescription& var);
    Text StreamName(const VarDescription& var);
    Text CandidateName(const VarDescription& var);
    Text EquationLine(const VarDescription& var);
    // Whether the term a bound or coefficient cell belongs to exists.
    bool TermExists(const VarDescription& var) const;
    bool BoundEditable(const VarDescription& var) const;
    IHeatIntegrationStream* LiveStream() const;
    // Closes the open form, tells the list, deletes the editor; 0.
    int DeleteLink();

    StreamLynx* myLink = nullptr;
    IHeatIntegrationStream* myStream = nullptr;
    LinkTableCollection* myCollection = nullptr;
    std::int32_t formSetting = 0;
    std::int32_t streamHotCold = 0;
};
