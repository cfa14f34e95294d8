#pragma once
// The second face of a total site's utility manager: what the site hands out from
// GetDefaultUtilityManager and what its views use to edit the default utilities, the coefficient
// defaults, the record and the site streams. Every operation behaves as its namesake of
// IDefaultUtilityManager; the slots keep the order the host's views were built against.
//
// Also here: ISiteStreamHost, what the manager needs of the total site that owns it.
#include "brasko/DefaultUtilityTypes.h"
#include "brasko/LurmetBaseObject.h"
#include "brasko/NotificationSender.h"

#include <vector>

class DefaultUtility;
class CPList;
class IHeatIntegrationStream;
class ILurmetBinaryFile;

class ITotalSiteUtilityManager : public virtual ILurmetBaseObject, public virtual INotificationSender {
public:
    // Interface number answered by QueryInterface.
    static constexpr int InterfaceId = 121;

    virtual char GetVariableStatus(EconomicDataType type) const = 0;
    virtual int GetNumberOfDefaultUtilities() const = 0;
    virtual SegmentHeatType GetValue(int index) const = 0;
    virtual double GetValue(const char* name, DefaultUtilityParameter parameter) = 0;
    virtual double GetValue(int index, DefaultUtilityParameter parameter) = 0;
    virtual const char* GetRecommendedUtilityName(double T, SegmentHeatType side, const char* exchangerType) const = 0;
    virtual const char* GetRecommendedUtilityName(int index) const = 0;
    virtual const char* GetMostEconomicalUtilityName(double T, SegmentHeatType side) const = 0;
    virtual const char* GetDefaultUtilityName(int index) const = 0;
    // The default utility of a row (what it is: its kind, kept through renames); null past the rows.
    virtual DefaultUtility* GetDefaultUtility(int index) const = 0;
    virtual hresult AddDefaultUtility(const char* name) = 0;
    virtual hresult RenameDefaultUtility(const char* oldName, const char* newName) = 0;
    virtual hresult RemoveDefaultUtility(const char* name) = 0;
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
    virtual const char* SetExchangerType(int index, const char* type) = 0;
    virtual const char* SetExchangerType(const char* name, const char* type) = 0;
    virtual bool Store(ILurmetBinaryFile* file, StoreRecallType2 type) = 0;
    virtual bool Recall(ILurmetBinaryFile* file, StoreRecallType2 type) = 0;
    virtual void GetCurrentFileName(const char* key, const char*& out) const = 0;
    virtual hresult SetStreamType(const char* name, SegmentHeatType side) = 0;
    virtual hresult GetUsableUtilList(double T, SegmentHeatType side, CPList* out) const = 0;
    virtual void SetMode(int mode) = 0;
    virtual int GetMode() const = 0;

    // ---- site streams: one utility stream per default utility, owned by the manager ----
    // 0, with change code 60, when the name already has a stream or is no default utility.
    virtual hresult AddStream(const char* name) = 0;
    // 1 and the stream; 0 and null when there is none. Indices follow the utilities' order.
    virtual hresult GetStream(int index, IHeatIntegrationStream*& out) = 0;
    virtual hresult GetStream(const char* name, IHeatIntegrationStream*& out) = 0;
    virtual int GetNumberOfStreams() const = 0;
    // Shifts every StreamSegment* of the list by `value` (the scenario's segment shift).
    virtual void TemperatureShift(CPList* segments, double value) = 0;
    // The utilities whose values the last replacement of the whole list (a defaults file read)
    // changed while their site stream, which a retrofit study's base runs on, kept its own.
    virtual std::vector<CPString> GetUtilitiesLeftAlone() const = 0;
};

// The total site that owns a manager. The site inserts the manager's streams into its scenarios,
// so before the manager destroys a stream the site must let go of it everywhere.
class ISiteStreamHost {
public:
    // Removes the site stream of that name from the site and from every scenario of the site,
    // without destroying it (the manager owns it); 0 when the site holds no such stream, and 0
    // when it keeps the stream (saying why).
    virtual int DeleteStream(const CPString& name) = 0;
    // Whether the site holds a site stream of that name (after a DeleteStream that answered 0:
    // whether it kept the stream rather than held none).
    virtual bool HoldsSiteStream(const CPString& name) const = 0;
    // Whether a retrofit study in a scenario of the site holds the named value of the site
    // stream (null: its make-up); see IHeatIntegrationStream::IsHeldByRetrofitBase.
    virtual bool HoldsForRetrofitBase(const CPString& /*stream*/, const char* /*name*/) const { return false; }

protected:
    virtual ~ISiteStreamHost() = default;
};
