#pragma once
// What scenarios, total sites and views ask of a default-utility manager: the default utilities
// (heating and cooling media with temperatures, film coefficient, price, properties and the range
// of process temperatures each serves), the heat-transfer-coefficient defaults and the record.
// The slots keep the order the host's callers were built against; the site-stream operations at
// the end are answered by managers that own site streams and neutrally by the others.
//
// Texts handed out as const char* point into the manager and stay valid until the entry they
// belong to is renamed, changed or removed.
#include "brasko/DefaultUtilityTypes.h"
#include "brasko/LurmetBaseObject.h"
#include "brasko/NotificationSender.h"
#include "lumeth/MessageKey.h"

class CPList;
class DefaultUtility;
class IHeatIntegrationStream;
class ILurmetBinaryFile;

class IDefaultUtilityManager : public virtual ILurmetBaseObject, public virtual INotificationSender {
public:
    // Interface number answered by QueryInterface.
    static constexpr int InterfaceId = 120;

    // Status of an economic data item: 0 unset, 1 specified, 2 locked (read only).
    virtual char GetVariableStatus(EconomicDataType type) const = 0;
    virtual int GetNumberOfDefaultUtilities() const = 0;
    virtual int GetNumberOfSimulationUtilities() const = 0;
    // The side of utility `index`; SHT_NotSet when there is none.
    virtual SegmentHeatType GetValue(int index) const = 0;
    // -32767.0 when there is no such utility.
    virtual double GetValue(const char* name, DefaultUtilityParameter parameter) = 0;
    virtual double GetValue(int index, DefaultUtilityParameter parameter) = 0;
    // First utility, in list order, of that side whose range holds T (and of that exchanger type
    // when one is given); null when none.
    virtual const char* GetRecommendedUtilityName(double T, SegmentHeatType side, const char* exchangerType) const = 0;
    virtual const char* GetRecommendedUtilityName(int index) const = 0;
    // Utility for an exchanger found in a simulation: `T` is the process outlet temperature, the
    // one the utility must reach, `inletT` the process inlet.
    virtual const char* GetRecommendedUtilityForDataExt(double T, SegmentHeatType side, double inletT) const = 0;
    virtual const char* GetMostEconomicalUtilityName(double T, SegmentHeatType side) const = 0;
    virtual DefaultUtility* GetDefaultUtility(int index) const = 0;
    virtual const char* GetDefaultUtilityName(int index) const = 0;
    virtual hresult AddDefaultUtility(const char* name) = 0;
    virtual hresult RenameDefaultUtility(const char* oldName, const char* newName) = 0;
    virtual hresult RemoveDefaultUtility(const char* name) = 0;
    virtual hresult CloneDefaultUtility(const char* name) = 0;
    virtual hresult RestoreDefaultUtilities() = 0;
    virtual hresult SetValue(const char* name, DefaultUtilityParameter parameter, double value) = 0;
    virtual short Exists(const char* name) const = 0;
    virtual int GetNumberOfHTCDefaultValues() const = 0;
    virtual double GetHTCDefaultValue(int index) const = 0;
    virtual const char* GetHTCDefaultValueName(int index) const = 0;
    virtual const char* GetHTCDefaultValueNote(int index) const = 0;
    virtual const char* GetExchangerType(const char* name) const = 0;
    virtual const char* GetExchangerType(int index) const = 0;
    virtual hresult AddHTCDefaultValue(const char* name, double value, const char* note) = 0;
    virtual hresult DeleteHTCDefaultValue(int index) = 0;
    virtual hresult SetHTCDefaultValue(int index, double value) = 0;
    virtual hresult SetHTCDefaultValueName(int index, const char* name) = 0;
    virtual hresult SetHTCDefaultValueNote(int index, const char* note) = 0;
    // Null when the type was set or the utility does not exist; otherwise the message key of the
    // refusal ("AirCoolerAlreadyExists", "InvalidExchangerType").
    virtual const char* SetExchangerType(int index, const char* type) = 0;
    virtual const char* SetExchangerType(const char* name, const char* type) = 0;
    virtual bool Store(ILurmetBinaryFile* file, StoreRecallType type) = 0;
    virtual bool Recall(ILurmetBinaryFile* file, StoreRecallType type) = 0;
    // `out` := the text of the key ("CurrentUtilitiesFileName", "CurrentEconomicsFileName");
    // left alone when the key is unknown.
    virtual void GetCurrentFileName(const char* key, const char*& out) const = 0;
    virtual hresult SetStreamType(const char* name, SegmentHeatType side) = 0;
    // Appends the DefaultUtility* usable at T on that side to `out`; 1 when `out` is not empty.
    virtual hresult GetUsableUtilList(double T, SegmentHeatType side, CPList* out) const = 0;
    virtual double GetDefaultUtilityInletTemp(int index) const = 0;
    virtual double GetDefaultUtilityOutletTemp(int index) const = 0;
    virtual double GetDefaultUtilityMassHeatCap(int index) const = 0;
    virtual bool AmISimulationUtility(int index) const = 0;
    virtual void SetMode(int mode) = 0;
    virtual int GetMode() const = 0;
    // 1 when both utilities exist and have the same components with fractions within `tolerance`.
    virtual short CompareComp(const char* utilityA, const char* utilityB, double tolerance) const = 0;
    // Replaces the utility's composition by `count` components and their fractions.
    virtual hresult AddCompInfoToUtility(const char* name, int count, const char* const* components,
                                         const double* fractions) = 0;

    // ---- site streams, one per default utility, where the manager keeps them ----
    virtual hresult AddStream(const char* name) = 0;
    virtual hresult GetStream(int index, IHeatIntegrationStream*& out) = 0;
    virtual hresult GetStream(const char* name, IHeatIntegrationStream*& out) = 0;
    virtual int GetNumberOfStreams() const = 0;
    virtual hresult DeleteStream(const char* name) = 0;
    virtual void TemperatureShift(CPList* segments, double value) = 0;
};

// The film coefficients a default entry may hold, kW/(m2.C): those a stream's coefficient takes
// (the stream tables and the case reader hold it to the same range), so that an entry chosen for a
// stream leaves a case that saves and reopens. The manager refuses any other value.
inline constexpr double MinHTCDefaultValue = 1e-3;
inline constexpr double MaxHTCDefaultValue = 1e6;

// The refusal key of a default film coefficient the manager did not take.
inline const char* HTCDefaultRefusal(double value) {
    return value < MinHTCDefaultValue ? MessageKey("HCValueTooSmall") : MessageKey("HTCoeffUpdateError");
}

// The coefficient-default entry shown read-only: the factory's "<default>", in whichever case a
// file wrote it.
inline bool IsReadOnlyHTCDefaultName(const char* name) {
    if (!name) return false;
    const char* want = "<default>";
    for (; *name && *want; ++name, ++want) {
        const char c = *name >= 'A' && *name <= 'Z' ? static_cast<char>(*name - 'A' + 'a') : *name;
        if (c != *want) return false;
    }
    return *name == '\0' && *want == '\0';
}
