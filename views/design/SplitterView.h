#pragma once
// The view of one stream split of a design (form "spltunit"): a tee and the mixer that joins its
// branches again. It shows and sets the branches' split fractions, the temperatures around the
// split, the utility after the mixer, the names of tee, mixer and branches and the units before
// the tee and after the mixer; its commands add a branch or take the split out. Opening the
// mixer gives the view of its tee. The design viewer makes one per split that the user opens.
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"

#include <vector>

class CNode;
class IHENDesign;

class SplitterView : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "SplitterViewObject";
    static constexpr int ClassVersion = 2;
    static const std::vector<int>& SubscribedCodes();

    // A view of the split of `node` (its tee, or its mixer); any other node leaves it empty.
    SplitterView(Viewable* parent, IHENDesign* design, const ObjectTypeInfo* type, CNode* node);
    explicit SplitterView(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new SplitterView(info); }
    ~SplitterView() override;

    // The tee of a tee or of a mixer's split; null for any other node.
    static CNode* SplitterOf(CNode* node);
    CNode* GetSplitter() const { return pSplitter; }
    CNode* GetMixerNode() const;
    IHENDesign* GetDesign() const { return pDesign; }
    CNode* Branch(int i) const;
    int NumberOfBranches() const;
    // Side 0: the unit before the tee; side 1: the unit after the mixer (sides 2 and 3 as 0 and 1).
    void ResetConnection(int side);
    void EstablishConnections();
    Viewable* UpstreamView() const { return pUpstreamView; }
    Viewable* DownstreamView() const { return pDownstreamView; }
    CNode* UpstreamNode() const { return pUpstreamNode; }
    CNode* DownstreamNode() const { return pDownstreamNode; }

    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Message(const Text& line) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    Text AttachedName(const Viewable* child) const override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    void DisconnectDeadObject(Viewable* dead) override;
    void NotifyChange(int code, const CPString& text, void* data) override;

    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;

    static void LoadVariables(FormDescription& form);

private:
    void Subscribe();
    void Unsubscribe();
    void SetView(Viewable*& slot, Viewable* view);
    // The stream node whose "Temperature" a type-1 number addresses: 250 after the mixer, 251
    // the mixed stream beyond a heater or cooler after the mixer (none without one), 252 after
    // the tee (`forWrite`: the tee's inlet).
    CNode* TemperatureNode(int number, bool forWrite) const;
    // Whether the user may type that temperature: by its status and the stream's ends.
    ModifyState TemperatureState(int number) const;
    // The state of a branch's share cell, where the share's status sets it.
    bool FractionState(int index, ModifyState& state) const;

    IHENDesign* pDesign = nullptr;
    CNode* pSplitter = nullptr;
    Viewable* pUpstreamView = nullptr;
    Viewable* pDownstreamView = nullptr;
    CNode* pUpstreamNode = nullptr;
    CNode* pDownstreamNode = nullptr;
    Text strUpstreamName;
    Text strDownstreamName;
    Text strSplitterName;
    bool subscribed = false;
    Viewable* recalledUpstream = nullptr;
    Viewable* recalledDownstream = nullptr;
};
