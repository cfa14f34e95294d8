#pragma once
// The default-utility manager of a scenario: its default utilities, heat-transfer-coefficient
// defaults, named economic data sets with their shared economic info, the names of the defaults
// files last read, and one record that holds all of it. A total site's manager derives from this
// class and adds site streams; every operation it may need to refine is virtual, and the hooks
// where site streams come in (AddStream, DeleteStream, UpdateStreams, GetUtilityValue) are
// answered neutrally here.
//
// Change codes sent (code, text, data):
//   55 utility added (name, null)          56 utility renamed (old name, new name as char*)
//   57 utility removed (name, null)        60 message key (key, the manager)
//   67 coefficient default changed (entry name, int* index)
//   68 economics read from a capital-cost defaults file (file name, null)
//   91 manager destroyed (empty, null)     97 utilities changed ("hi", the manager), only in mode 0
// "The manager" is the IDefaultUtilityManager* of this object.
#include "brasko/DefHeatTransferCoefficient.h"
#include "brasko/DefaultUtility.h"
#include "brasko/EconomicData.h"
#include "brasko/IDefaultUtilityManager.h"

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

class ConfigurationStore;

class DefaultManager : public virtual IDefaultUtilityManager,
                       public virtual LurmetBaseObject,
                       public virtual NotificationSender {
public:
    static constexpr int RecordVersion = 5;

    static constexpr int ChangeStreamAdded = 30;
    static constexpr int ChangeStreamDeleted = 31;
    static constexpr int ChangeUtilityAdded = 55;
    static constexpr int ChangeUtilityRenamed = 56;
    static constexpr int ChangeUtilityRemoved = 57;
    static constexpr int ChangeMessage = 60;
    static constexpr int ChangeCoefficientDefault = 67;
    static constexpr int ChangeEconomicsRead = 68;
    static constexpr int ChangeManagerDestroyed = 91;
    static constexpr int ChangeUtilities = 97;

    static constexpr const char* kDefaultSetName = "DEFAULT";
    static constexpr const char* kCurrentUtilitiesFileName = "CurrentUtilitiesFileName";
    static constexpr const char* kCurrentEconomicsFileName = "CurrentEconomicsFileName";
    static constexpr const char* kNoFileName = "Default File";
    static constexpr const char* kAirCooler = "Air Cooler";
    // Configuration keys of the defaults files read by SetUpDefaults.
    static constexpr const char* kCoefficientDefaultsKey = "DefaultHeatTranCoeff";
    static constexpr const char* kCapitalCostDefaultsKey = "DefaultCapitalCost";

    // No utilities and no coefficient defaults; the economic set "DEFAULT" with the factory cost
    // law and no economic info. The owner runs SetUpDefaults.
    DefaultManager();
    // Copies every table, the file names, the mode and the lock; receivers are not copied.
    DefaultManager(const DefaultManager& other);
    DefaultManager& operator=(const DefaultManager& other);
    ~DefaultManager() override;

    // ---- ILurmetBaseObject ----
    int QueryInterface(int id, void** out) override;
    // The whole manager (StoreRecallType 0), as a case file holds it.
    bool Store(ILurmetBinaryFile& file) override;
    bool Recall(ILurmetBinaryFile& file) override;

    // ---- IDefaultUtilityManager ----
    char GetVariableStatus(EconomicDataType type) const override;
    int GetNumberOfDefaultUtilities() const override;
    int GetNumberOfSimulationUtilities() const override;
    SegmentHeatType GetValue(int index) const override;
    double GetValue(const char* name, DefaultUtilityParameter parameter) override;
    double GetValue(int index, DefaultUtilityParameter parameter) override;
    const char* GetRecommendedUtilityName(double T, SegmentHeatType side, const char* exchangerType) const override;
    const char* GetRecommendedUtilityName(int index) const override;
    const char* GetRecommendedUtilityForDataExt(double T, SegmentHeatType side, double inletT) const override;
    const char* GetMostEconomicalUtilityName(double T, SegmentHeatType side) const override;
    DefaultUtility* GetDefaultUtility(int index) const override;
    const char* GetDefaultUtilityName(int index) const override;
    hresult AddDefaultUtility(const char* name) override;
    hresult RenameDefaultUtility(const char* oldName, const char* newName) override;
    hresult RemoveDefaultUtility(const char* name) override;
    // Appends a copy named "<name> Copy" (or "<name> Copy 2" ...); a copy of the air cooler
    // becomes a shell-and-tube utility, as only one utility may be the air cooler.
    hresult CloneDefaultUtility(const char* name) override;
    // Replaces every utility by the factory set.
    hresult RestoreDefaultUtilities() override;
    hresult SetValue(const char* name, DefaultUtilityParameter parameter, double value) override;
    short Exists(const char* name) const override;
    int GetNumberOfHTCDefaultValues() const override;
    double GetHTCDefaultValue(int index) const override;
    const char* GetHTCDefaultValueName(int index) const override;
    const char* GetHTCDefaultValueNote(int index) const override;
    const char* GetExchangerType(const char* name) const override;
    const char* GetExchangerType(int index) const override;
    hresult AddHTCDefaultValue(const char* name, double value, const char* note) override;
    hresult DeleteHTCDefaultValue(int index) override;
    hresult SetHTCDefaultValue(int index, double value) override;
    hresult SetHTCDefaultValueName(int index, const char* name) override;
    hresult SetHTCDefaultValueNote(int index, const char* note) override;
    const char* SetExchangerType(int index, const char* type) override;
    const char* SetExchangerType(const char* name, const char* type) override;
    // Writes the sections of `type` as one record. False at the first failed write.
    bool Store(ILurmetBinaryFile* file, StoreRecallType type) override;
    // Reads a record written with the same type. The whole record is read before anything is
    // taken over: on a false answer the manager is exactly as it was.
    bool Recall(ILurmetBinaryFile* file, StoreRecallType type) override;
    void GetCurrentFileName(const char* key, const char*& out) const override;
    hresult SetStreamType(const char* name, SegmentHeatType side) override;
    hresult GetUsableUtilList(double T, SegmentHeatType side, CPList* out) const override;
    double GetDefaultUtilityInletTemp(int index) const override;
    double GetDefaultUtilityOutletTemp(int index) const override;
    double GetDefaultUtilityMassHeatCap(int index) const override;
    bool AmISimulationUtility(int index) const override;
    void SetMode(int mode) override;
    int GetMode() const override { return m_mode; }
    short CompareComp(const char* utilityA, const char* utilityB, double tolerance) const override;
    hresult AddCompInfoToUtility(const char* name, int count, const char* const* components,
                                 const double* fractions) override;
    // This manager keeps no site streams.
    hresult AddStream(const char* name) override;
    hresult GetStream(int index, IHeatIntegrationStream*& out) override;
    hresult GetStream(const char* name, IHeatIntegrationStream*& out) override;
    int GetNumberOfStreams() const override { return 0; }
    hresult DeleteStream(const char* name) override;
    void TemperatureShift(CPList* segments, double value) override;

    // ---- utilities ----
    // Fills the manager with the factory utilities, coefficient defaults and economic values; the
    // coefficient and capital-cost tables come from the defaults files the configuration names
    // when they exist and read well. The first form uses the host's configuration.
    void SetUpDefaults();
    virtual void SetUpDefaults(const ConfigurationStore& configuration);
    // Appends a utility as given (ranges included; no recalculation, no change code). 0 when the
    // name is empty or taken, or the side is not 0, 1 or 2.
    virtual hresult AddDefaultUtility(const char* name, SegmentHeatType side, double supply, double target,
                                      double filmCoefficient, double cost, double rangeUpper, double rangeLower,
                                      double dtminContribution, const char* exchangerType, double viscosity,
                                      double thermalConductivity, double massDensity, double specificHeat);
    const char* GetDefaultUtilityName(const DefaultUtility* utility) const;
    // Derives every utility's range of process temperatures from its neighbours on its side.
    virtual void CalculateARTemp();
    // Writes the utility's values into whatever mirrors them (site streams); nothing here.
    virtual void UpdateStreams(DefaultUtility* utility);

    // ---- defaults files (utility ".hud", capital-cost ".hcc", coefficient) ----
    bool WriteDefaultsFile(const CPString& path, StoreRecallType type);
    bool ReadDefaultsFile(const CPString& path, StoreRecallType type);

    // ---- economic data ----
    // Set names are upper-cased; an empty name reads the set "DEFAULT". Items 3, 4 and 6 come
    // from the economic info whatever the name. 0.0 when the set or info is missing.
    virtual double GetEconomicData(EconomicDataType type, const char* setName) const;
    virtual hresult SetEconomicData(EconomicDataType type, double value, const char* setName);
    // The set "DEFAULT" counts as set 0.
    virtual int GetNumberOfEconomicData() const;
    virtual const char* GetEconomicDataName(int index) const;
    virtual hresult AddEconomicData(const char* name);
    // Re-keys a named set under the upper-cased new name; its name becomes `newName` as given.
    virtual hresult RenameEconomicData(const char* newName, const char* oldName);
    // The name is looked up as given, not upper-cased.
    virtual hresult DeleteEconomicData(const char* name);
    // 0: the set "DEFAULT" exists; 1: the economic info exists; others 1.
    virtual hresult isEconomicDataValid(int which) const;
    EconomicData* GetEconomicDataPointer() const { return m_defaultSet.get(); }
    // The named set (name upper-cased), the set "DEFAULT" for null or an unknown name.
    EconomicData* GetEconomicDataPointer(const char* setName) const;
    EconomicInfo* GetEconomicInfoPointer() const { return m_info.get(); }
    void SetEconomicInfo(std::unique_ptr<EconomicInfo> info);
    void SetEconomicData(std::unique_ptr<EconomicData> set);
    // Enters a named set under the upper-cased key, as older scenario records hand them over;
    // 0 when the key is empty, "DEFAULT" or taken (the first set of a key is kept).
    hresult AdoptEconomicData(const CPString& key, std::unique_ptr<EconomicData> set);
    void ClearEconomicData();
    // Locks the manager and every set and the info; a locked manager refuses to add, rename or
    // delete sets, and its sets refuse changes.
    virtual void Lock();
    virtual void Unlock();
    bool IsLocked() const { return m_locked != 0; }

    // Whether the factory set's utility of this name earns a credit (steam raised, refrigerant
    // recovered): what a utility of that name is, whatever price was typed for it since.
    static bool FactoryUtilityEarnsCredit(const char* name);
    // Whether the default utility of that name earns a credit: its mark, never its name.
    bool UtilityEarnsCredit(const char* name) const;

protected:
    struct NamedEconomicData {
        CPString key;  // upper case
        std::unique_ptr<EconomicData> set;
    };
    using UtilityList = std::vector<std::unique_ptr<DefaultUtility>>;

    // Look-up by name, front to back; null when absent.
    DefaultUtility* GetDefaultUtility(const CPString* name) const;
    DefaultUtility* FindUtility(const char* name) const;
    bool NameTakenInAnyCase(const char* name, const DefaultUtility* self) const;
    // The value of a parameter; 0.0 for parameters without a value.
    virtual double GetUtilityValue(DefaultUtility* utility, DefaultUtilityParameter parameter);
    // Applies one value under the rules of the utility's side.
    virtual hresult SetUtilityValue(DefaultUtility* utility, DefaultUtilityParameter parameter, double value);
    // Null when the exchanger type may be given to another utility; "AirCoolerAlreadyExists" when
    // it is the air cooler and some utility already is.
    virtual const char* IsValidUtilityType(const char* type) const;
    const char* ApplyExchangerType(DefaultUtility* utility, const char* type);

    // A derived manager may keep further sections in the same record, after the mode (an older
    // reader skips them with the rest of the record). It names the version it writes for a type,
    // writes its sections, and reads them into staging of its own: the base takes its tables over
    // only after EndRecord, so a derived class takes its sections over once Recall answered true.
    // A false answer fails the Store or the whole Recall.
    virtual int StoredRecordVersion(StoreRecallType type) const;
    virtual bool StoreFurtherSections(ILurmetBinaryFile& file, StoreRecallType type);
    virtual bool RecallFurtherSections(ILurmetBinaryFile& file, StoreRecallType type, int version);

    void Send(int code, const CPString& text, void* data) { SendAMessage(code, text, data); }
    void* ManagerData() { return static_cast<IDefaultUtilityManager*>(this); }
    // Change code 97, unless a batch of changes is under way (mode not 0).
    void AnnounceChange();
    void Recalculate();

    UtilityList& Utilities() { return m_utilities; }
    const UtilityList& Utilities() const { return m_utilities; }
    const std::vector<NamedEconomicData>& NamedEconomicSets() const { return m_sets; }
    // A set's key is its name in capitals, a to z only, whatever locale a program that loads the
    // module has set, so that keys and look-ups fold a name alike.
    static char Capital(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
    static CPString UpperCase(const char* text);
    // Whether the name in capitals is the key.
    static bool NamesKey(const char* name, std::string_view key);

private:
    struct RecallStage;
    void CopyFrom(const DefaultManager& other);
    NamedEconomicData* FindSet(const CPString& key);
    const NamedEconomicData* FindSet(const CPString& key) const;
    void AddFactoryUtilities();
    void AddCoefficientTable(bool second);
    bool ReadDefaultsFileFor(const ConfigurationStore& configuration, const char* key, StoreRecallType type);
    void ApplyRecall(RecallStage& stage, StoreRecallType type, const CPString& fileName);
    CPString* FileNameEntry(const CPString& key);

    UtilityList m_utilities;
    bool m_hasUtilityList = false;
    std::vector<NamedEconomicData> m_sets;
    bool m_hasEconomicDataList = false;
    std::unique_ptr<EconomicInfo> m_info;
    std::unique_ptr<EconomicData> m_defaultSet;
    std::vector<std::unique_ptr<DefHeatTransferCoefficient>> m_coefficients;
    bool m_hasCoefficientList = false;
    std::vector<std::pair<CPString, CPString>> m_fileNames;
    int m_locked = 0;
    int m_mode = 0;
};
