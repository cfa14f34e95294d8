#pragma once
// The view of one exchanger, heater or cooler of a design (form "hexunit"). It shows and edits
// the exchanger's flowsheet node: duty, port temperatures, area, shells, coefficients and cost
// law; finds the units next to its four ports (so that a form can step to them) and their
// streams; draws the exchange's temperature-enthalpy profile; ranks the scenario's hot process
// streams by the duty each could take over from it. The design viewer makes one per exchanger
// that the user opens; it listens to the design and closes when the design or the exchanger goes.
//
// Ports everywhere: 0 hot inlet, 1 hot outlet, 2 cold inlet, 3 cold outlet.
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"

#include <array>
#include <cstdint>
#include <vector>

class CNode;
class HeatExch;
class HIDesignViewerDesign;
class IHENDesign;
class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class TwoDimPlot;

class HeatExchangerView : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "HeatExchangerViewObject";
    static constexpr int ClassVersion = 4;
    static constexpr double EmptyValue = Viewable::EmptyValue;
    // The design's change codes the view hears.
    static const std::vector<int>& SubscribedCodes();

    // A view of `node` (an exchanger of `design`), under its design viewer.
    HeatExchangerView(Viewable* parent, IHENDesign* design, const ObjectTypeInfo* type, CNode* node);
    // The view the framework makes before reading a record: everything empty.
    explicit HeatExchangerView(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new HeatExchangerView(info); }
    ~HeatExchangerView() override;

    IHENDesign* GetDesign() const { return pDesign; }
    CNode* GetNode() const { return pNode; }
    HeatExch* GetModel() const { return pModel; }
    TwoDimPlot* GetPlot() const { return pPlot; }
    const Text& GetExchangerName() const { return strExchangerName; }

    // ---- neighbours ----
    // The unit next to a port: the first exchanger, tee, mixer or stream end met walking away
    // from the exchanger (upstream from an inlet, downstream from an outlet), its view from the
    // design viewer, and its "UnitOperationName" (given to that view as its title).
    void ResetConnection(int port);
    void EstablishConnections();
    CNode* NeighbourNode(int port) const { return validPort(port) ? neighbourNodes[port] : nullptr; }
    Viewable* NeighbourView(int port) const { return validPort(port) ? neighbourViews[port] : nullptr; }
    const Text& NeighbourName(int port) const { return neighbourNames[validPort(port) ? port : 0]; }
    // The six stream names: own hot, own cold, hot stream of the cold-outlet neighbour, cold
    // stream of the hot-inlet neighbour, hot stream of the cold-inlet neighbour, cold stream of
    // the hot-outlet neighbour.
    void GetHExStreamNames();
    const Text& StreamName(int i) const { return streamNames[i >= 0 && i < 6 ? i : 0]; }
    // 0 none or a stream end, 1 mixer, 2 tee, 3 exchanger, 4 an exchanger between the same two
    // streams; empty for another kind.
    double NeighbourKind(int port);
    // 0 to 3 from the grid diagram's direction switch and the exchanger's orientation checks.
    double OrientationCode() const;

    // ---- texts and calculations ----
    // The status word of an exchanger status code; `reasonKey` is the infeasibility reason.
    static Text StatusWord(int code, const char* reasonKey);
    // A hot stream that could take over the exchanger's load from its cold stream: its new
    // outlet temperature, the duty it can give and the cold stream's outlet after it.
    struct Candidate {
        double outlet = EmptyValue, duty = EmptyValue, coldOutlet = EmptyValue;
    };
    // The candidate against the exchanger's cold stream (load, supply and target; null: none)
    // with the scenario's minimum approach.
    static Candidate EvaluateCandidate(double supply, double target, double load, double coldLoad, double coldSupply,
                                       double coldTarget, double dtMin);
    void SortStreams();
    void BuildTemperatureEnthalpyPlot();
    // The plot's title with the unit's name.
    void NameTemperatureEnthalpyPlot();

    // ---- hooks ----
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Message(const Text& line) override;
    bool GenMessage(MessageInfo& info) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    Text AttachedName(const Viewable* child) const override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    // Whether a number the view writes edits the network (all of them do, its shells included).
    static bool IsNetworkEdit(int type, int number);
    void DisconnectDeadObject(Viewable* dead) override;
    void NotifyChange(int code, const CPString& text, void* data) override;

    // ---- record ----
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;
    bool RecallFixUp() override;

    // The variables and command words of the form, for the form listing.
    static void LoadVariables(FormDescription& form);

    Text strNote;

private:
    static bool validPort(int port) { return port >= 0 && port < 4; }
    void Subscribe();
    void Unsubscribe();
    HIDesignViewerDesign* DesignViewer() const;
    // The stream node at a port of the exchanger; null without model.
    CNode* PortNode(int port) const;
    // The node `steps` steps beyond a node, walking upstream or downstream through single slots.
    static CNode* Beyond(CNode* node, bool upstream, int steps);
    // The stream behind a stream node (it becomes the current stream).
    IHeatIntegrationStream* StreamOf(CNode* node);
    // Node value: empty unless it exists with a status other than 0.
    static double KnownValue(const CNode* node, const char* name);
    // The temperature-enthalpy profile of the unit, its utility at the design's flow of it.
    void refreshProfile();
    static double AnyValue(const CNode* node, const char* name);
    // The node whose "Temperature" a type-1 number 751 to 762 addresses; null otherwise.
    CNode* TemperatureNode(int number) const;
    int ModifyOfTemperature(CNode* node, bool upstream) const;
    double CostLawValue(int type, int index) const;
    double CandidateValue(int type, int number, int row);
    Text CandidateName(int row);
    bool BindScenario();
    bool CandidateAt(int row, IHeatIntegrationStream*& out);
    void ShellsStep();
    void Recalculate();
    void SetUnspecified(CNode* node, const char* name, int flag = 1);
    int SpecifyShellSwitch(int number, double value);
    Text TemperatureText(int port) const;
    Text FormattedValue(const char* name, int kind) const;
    void ForgetNeighbourViews();
    void SetNeighbourView(int port, Viewable* view);

    IHeatIntegrationScenario* pScenario = nullptr;
    IHENDesign* pDesign = nullptr;
    CNode* pNode = nullptr;
    HeatExch* pModel = nullptr;
    IHeatIntegrationStream* pCurrentStream = nullptr;
    IHeatIntegrationStream* pCurrentCandidate = nullptr;
    std::vector<std::int32_t> candidateOrder;
    std::int32_t nCandidateCount = 0;
    std::int32_t nZeroDutyCount = 0;
    // By port (0 hot inlet, 1 hot outlet, 2 cold inlet, 3 cold outlet); the record writes them
    // in its own orders.
    std::array<Viewable*, 4> neighbourViews{};
    std::array<CNode*, 4> neighbourNodes{};
    std::array<Text, 4> neighbourNames;
    std::array<Text, 6> streamNames;
    Text strExchangerName;
    TwoDimPlot* pPlot = nullptr;
    bool subscribed = false;
    // Read from a record, filled before the fix-ups.
    std::array<Viewable*, 4> recalledViews{};
    Viewable* recalledPlot = nullptr;
    int recallVersion = ClassVersion;
};
