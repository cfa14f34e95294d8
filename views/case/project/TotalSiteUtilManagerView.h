#pragma once
// The site utility-default editor: a grid of the default utilities of a total site's utility
// manager (one row per utility and a last row "**New**" through which one is added) with each
// utility's name, side, exchanger type and parameters. It saves the whole utility-default set
// to a ".hud" file and reads one back through the manager's Store and Recall (kind 2), and opens
// the segment table of a site utility stream (site mode). The total-site viewer makes it and
// binds it with SetDUM. Its class record is empty.
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/HVector.h"
#include "lumeth/VarEnumInfo.h"
#include "lumeth/Viewable.h"

#include <cstdint>
#include <memory>

class IHeatIntegrationStream;
class ITotalSiteUtilityManager;
class SegmentTable;
class UtilityNameView;

class TotalSiteUtilManagerView : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "TotalSiteUtilManagerViewObject";
    static constexpr int ClassVersion = 1;

    explicit TotalSiteUtilManagerView(Viewable* parent);
    explicit TotalSiteUtilManagerView(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new TotalSiteUtilManagerView(info); }
    ~TotalSiteUtilManagerView() override;
    TotalSiteUtilManagerView(const TotalSiteUtilManagerView&) = delete;
    TotalSiteUtilManagerView& operator=(const TotalSiteUtilManagerView&) = delete;

    // Binds the manager (a null argument keeps the one bound) and listens to it.
    void SetDUM(ITotalSiteUtilityManager* manager);
    ITotalSiteUtilityManager* GetManager() const { return mySiteManager; }
    int getselDefUtilRow() const { return selectedUtilityRow; }
    void SetUtilButton(unsigned char flag) { utilityButtonFlag = flag; }
    // Opens the segment table of a site stream: the one already open for it, else a new one.
    void ShowSegmentTable(IHeatIntegrationStream* stream);
    const HVector<SegmentTable*>& GetSegmentTables() const { return segmentTables; }
    const HVector<UtilityNameView*>& GetUtilityNameViews() const { return utilityNameViews; }

    void NotifyChange(int code, const CPString& text, void* data) override;

    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    int GetEDVarType(const VarDescription& var) override;
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    int Message(const Text& line) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    Text AttachedName(const Viewable* child) const override;
    void DisconnectDeadObject(Viewable* dead) override;
    // The class record is empty.
    bool StoreClassData(BinaryFile&) override { return true; }
    bool RecallClassData(BinaryFile&, int) override { return true; }

    static void DescribeForm(FormDescription& form);

private:
    void fillExchangerTypes();
    // The manager's parameter code of a grid column (903 to 913); -1 for another number.
    static int parameterOf(int number);
    double hotFlag(int row, bool infer);
    double exchangerType(int row) const;
    int setName(int row, const Text& text);
    bool siteStream(int row);
    bool heldByRetrofitBase(const char* utility);
    bool heldColumn(const VarDescription& var);
    int saveUtilityDefaultSet();
    int openUtilityDefaultSet();

    ITotalSiteUtilityManager* mySiteManager = nullptr;
    // The default utility chosen in the editor; -1 until the user chooses one.
    std::int32_t selectedUtilityRow = -1;
    unsigned char utilityButtonFlag = 1;
    std::unique_ptr<VarEnumInfo> exchangerTypeList;
    HVector<UtilityNameView*> utilityNameViews{10};
    IHeatIntegrationStream* currentSiteStream = nullptr;
    HVector<SegmentTable*> segmentTables{10};
    // Set when the manager names a refusal itself (its message notice): the editor adds none.
    bool managerGaveReason = false;
};
