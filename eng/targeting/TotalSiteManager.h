#pragma once
// The default-utility manager of a total site: the scenario manager's utilities, coefficient
// defaults and economic data, and beside every default utility a site utility stream of the same
// name, owned here, which the total site inserts into its scenarios. The streams follow their
// utility: a changed temperature, film coefficient, price or specific heat is written into the
// stream of that name.
//
// Replacing the utility list as a whole (reading a utility-defaults file or an older record,
// restoring the factory set, set-up, assignment) never takes a stream away from the site: a
// stream whose name is still a utility is kept (the same object, so scenarios keep it) and
// brought up to date, a utility without a stream gets a new one, and a stream whose utility is
// gone stays, as after a rename, until the site deletes it. Removing one utility by name removes
// its stream from the site, its scenarios and the manager. A whole-manager record of version 6
// restores the streams as they were saved: kept objects take their recorded state, recorded
// streams the manager lacks are made, streams the record does not hold are deleted (the site
// first lets go of them), and a utility still without a stream gets one.
//
// Change codes beyond the scenario manager's (DefaultManager.h): 30 site stream added (name, the
// manager), 31 site stream deleted (name, the manager); 60 also with "SameStreamErrorMsg" and
// "PickTotalSiteUtilityFromDropDownList".
//
// Record (type 0 only) version 6: the version-5 record of DefaultManager, then the site streams:
// bool present; when present the stream counter (int), the number of streams (long) and per
// stream its key (string) and its stream record. Types 1 to 3 (the defaults files) keep version 5.
//
// Sources by concern: TotalSiteManager.cpp (life cycle, utilities and values),
// TotalSiteManagerStreams.cpp (site streams), TotalSiteManagerRecord.cpp (record and files).
#include "brasko/DefaultManager.h"
#include "eng/model/IHeatIntegrationStreamForTargeting.h"
#include "eng/model/IStreamOwner.h"
#include "eng/targeting/ITotalSiteUtilityManager.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TotalSiteManager : public DefaultManager, public ITotalSiteUtilityManager, public IStreamOwner {
public:
    // Version of the whole-manager record, which carries the site streams.
    static constexpr int SiteRecordVersion = 6;

    static constexpr const char* kSameStreamMessage = "SameStreamErrorMsg";
    static constexpr const char* kUnknownUtilityMessage = "PickTotalSiteUtilityFromDropDownList";
    static constexpr const char* kWriteProtectedMessage = "FileWriteProtected";
    static constexpr const char* kSaveFailedMessage = "SavePreferenceError";
    static constexpr const char* kOpenFailedMessage = "RecallPreferenceError";

    // No utilities and no streams: the owner runs SetUpDefaults.
    TotalSiteManager();
    // Copies every table, the file names, the mode and the lock, and gives each copied utility a
    // new site stream of its own; the copy belongs to no site.
    TotalSiteManager(const TotalSiteManager& other);
    // Takes the other's tables and its site, keeping this manager's streams in step as any
    // replacement of the utility list does.
    TotalSiteManager& operator=(const TotalSiteManager& other);
    // Destroys the site streams, then the scenario manager's tables (change code 91).
    ~TotalSiteManager() override;

    int QueryInterface(int id, void** out) override;
    using DefaultManager::Recall;
    using DefaultManager::Store;
    using DefaultManager::AddDefaultUtility;
    using DefaultManager::GetDefaultUtilityName;
    using DefaultManager::SetUpDefaults;

    // ---- both interfaces ----
    char GetVariableStatus(EconomicDataType type) const override { return DefaultManager::GetVariableStatus(type); }
    int GetNumberOfDefaultUtilities() const override { return DefaultManager::GetNumberOfDefaultUtilities(); }
    SegmentHeatType GetValue(int index) const override { return DefaultManager::GetValue(index); }
    double GetValue(const char* name, DefaultUtilityParameter parameter) override {
        return DefaultManager::GetValue(name, parameter);
    }
    double GetValue(int index, DefaultUtilityParameter parameter) override {
        return DefaultManager::GetValue(index, parameter);
    }
    const char* GetRecommendedUtilityName(double T, SegmentHeatType side, const char* exchangerType) const override {
        return DefaultManager::GetRecommendedUtilityName(T, side, exchangerType);
    }
    const char* GetRecommendedUtilityName(int index) const override {
        return DefaultManager::GetRecommendedUtilityName(index);
    }
    const char* GetMostEconomicalUtilityName(double T, SegmentHeatType side) const override {
        return DefaultManager::GetMostEconomicalUtilityName(T, side);
    }
    const char* GetDefaultUtilityName(int index) const override { return DefaultManager::GetDefaultUtilityName(index); }
    DefaultUtility* GetDefaultUtility(int index) const override { return DefaultManager::GetDefaultUtility(index); }
    // A name a site stream bears already while no utility does (in any letter case: the stream of
    // a utility renamed since) is refused with "SameStreamErrorMsg": the new utility would have no
    // stream of its own.
    hresult AddDefaultUtility(const char* name) override;
    // A utility renamed has a stream under its new name at once, to be offered to the site (as
    // the case read back gives it one); the stream of its old name stays, as a site holding it
    // named it.
    hresult RenameDefaultUtility(const char* oldName, const char* newName) override;
    // The site first lets go of the utility's stream everywhere, then the manager deletes it. A
    // stream the site keeps (a retrofit study's base or an operated network runs on it) keeps its
    // utility too: 0, nothing removed, the site having said why.
    hresult RemoveDefaultUtility(const char* name) override;
    // An edit of one value reaches the utility's site stream as that value alone (both ends
    // together for a temperature): a new price leaves the span the site table gave the stream.
    hresult SetValue(const char* name, DefaultUtilityParameter parameter, double value) override;
    short Exists(const char* name) const override { return DefaultManager::Exists(name); }
    int GetNumberOfHTCDefaultValues() const override { return DefaultManager::GetNumberOfHTCDefaultValues(); }
    double GetHTCDefaultValue(int index) const override { return DefaultManager::GetHTCDefaultValue(index); }
    const char* GetHTCDefaultValueName(int index) const override {
        return DefaultManager::GetHTCDefaultValueName(index);
    }
    const char* GetHTCDefaultValueNote(int index) const override {
        return DefaultManager::GetHTCDefaultValueNote(index);
    }
    const char* GetExchangerType(const char* name) const override { return DefaultManager::GetExchangerType(name); }
    const char* GetExchangerType(int index) const override { return DefaultManager::GetExchangerType(index); }
    hresult AddHTCDefaultValue(const char* name, double value, const char* note) override {
        return DefaultManager::AddHTCDefaultValue(name, value, note);
    }
    hresult DeleteHTCDefaultValue(int index) override { return DefaultManager::DeleteHTCDefaultValue(index); }
    hresult SetHTCDefaultValue(int index, double value) override {
        return DefaultManager::SetHTCDefaultValue(index, value);
    }
    hresult SetHTCDefaultValueName(int index, const char* name) override {
        return DefaultManager::SetHTCDefaultValueName(index, name);
    }
    hresult SetHTCDefaultValueNote(int index, const char* note) override {
        return DefaultManager::SetHTCDefaultValueNote(index, note);
    }
    const char* SetExchangerType(int index, const char* type) override {
        return DefaultManager::SetExchangerType(index, type);
    }
    const char* SetExchangerType(const char* name, const char* type) override {
        return DefaultManager::SetExchangerType(name, type);
    }
    // Type 0 writes version 6 with the site streams; the other types the version-5 record.
    bool Store(ILurmetBinaryFile* file, StoreRecallType type) override { return DefaultManager::Store(file, type); }
    // Reads the whole record before anything changes: on false the manager, its streams and the
    // site are exactly as they were. Replaced utilities keep their streams in step (see above).
    // A type-0 record of version 6 restores the streams as saved; it is meant for a manager
    // whose streams no scenario has taken yet, as when a site is read from a case file.
    bool Recall(ILurmetBinaryFile* file, StoreRecallType type) override;
    void GetCurrentFileName(const char* key, const char*& out) const override {
        DefaultManager::GetCurrentFileName(key, out);
    }
    hresult SetStreamType(const char* name, SegmentHeatType side) override {
        return DefaultManager::SetStreamType(name, side);
    }
    hresult GetUsableUtilList(double T, SegmentHeatType side, CPList* out) const override {
        return DefaultManager::GetUsableUtilList(T, side, out);
    }
    void SetMode(int mode) override { DefaultManager::SetMode(mode); }
    int GetMode() const override { return DefaultManager::GetMode(); }
    hresult AddStream(const char* name) override;
    hresult GetStream(int index, IHeatIntegrationStream*& out) override;
    hresult GetStream(const char* name, IHeatIntegrationStream*& out) override;
    int GetNumberOfStreams() const override { return static_cast<int>(m_streams.size()); }
    void TemperatureShift(CPList* segments, double value) override;

    // ---- IDefaultUtilityManager only ----
    hresult RestoreDefaultUtilities() override;

    // ---- the manager's own ----
    void SetUpDefaults(const ConfigurationStore& configuration) override;
    // Writes the utility's temperatures, film coefficient, price and specific heat into its site
    // stream, each only when the stream holds another value; during an edit only what it changed
    // (an approach among them).
    void UpdateStreams(DefaultUtility* utility) override;
    // 0 when there is no such stream; else change code 31, and the stream is destroyed.
    hresult DeleteStream(const char* name) override;
    void SetMyTSPointer(ISiteStreamHost* site) { m_site = site; }
    ISiteStreamHost* GetMyTSPointer() const { return m_site; }
    // The stream of that name; null when there is none.
    IHeatIntegrationStreamForTargeting* GetSiteStream(const CPString& name) const;
    // The site gave the stream of utility `oldName` the name `newName`: the manager keeps it as
    // the new utility's stream, as its record names it. The stream the manager held for the new
    // utility, which no site holds, becomes the old utility's and takes that utility's values.
    void RenameSiteStream(const CPString& oldName, const CPString& newName);

    // The utility-manager view's commands: save or open a utility-defaults file ("hud"). Null
    // when done, else the message key to report: "FileWriteProtected" (an existing target that
    // may not be written; nothing is written), "SavePreferenceError", "RecallPreferenceError"
    // (the manager is left as it was).
    const char* SaveUtilityDefaultSet(const CPString& path);
    const char* OpenUtilityDefaultSet(const CPString& path);
    std::vector<CPString> GetUtilitiesLeftAlone() const override { return m_leftAlone; }

    // ---- IStreamOwner ----
    bool IsScenario() const override { return false; }
    // Null while a record's streams are being read: they must not reach into the live ones.
    IHeatIntegrationStreamForTargeting* FindStream(const CPString& name) override {
        return m_stagingStreams ? nullptr : GetSiteStream(name);
    }
    // A stream's new DTmin contribution shifts its design segments.
    void ApplySiteDTmin(IHeatIntegrationStreamForTargeting& stream, double dTmin) override;
    // The site answers for its scenarios' retrofit studies.
    bool HoldsForRetrofitBase(const IHeatIntegrationStream& stream, const char* name) const override;

protected:
    // Parameter 3 and those above 12 have no value here (0.0); the others also fill the utility's
    // site stream on the way out where it holds no value yet (a value typed there stays).
    double GetUtilityValue(DefaultUtility* utility, DefaultUtilityParameter parameter) override;
    // A utility whose side is not set takes either temperature as given and keeps its side;
    // parameters without a value here are ignored (result 1). Otherwise as the scenario manager.
    hresult SetUtilityValue(DefaultUtility* utility, DefaultUtilityParameter parameter, double value) override;

    int StoredRecordVersion(StoreRecallType type) const override;
    bool StoreFurtherSections(ILurmetBinaryFile& file, StoreRecallType type) override;
    bool RecallFurtherSections(ILurmetBinaryFile& file, StoreRecallType type, int version) override;

private:
    struct SiteStream {
        CPString key;
        std::unique_ptr<IHeatIntegrationStreamForTargeting> stream;
    };
    // The streams of a version-6 record, read before any of them is taken over.
    struct StagedStreams {
        std::int32_t counter = 0;
        std::vector<SiteStream> streams;
    };
    // What the utility list and the streams were before a replacement (the utilities as copies:
    // a replaced utility may well occupy the memory of the one it replaced).
    struct Snapshot {
        std::vector<DefaultUtility> utilities;
        std::vector<const IHeatIntegrationStreamForTargeting*> streams;
    };

    Snapshot TakeSnapshot() const;
    // Runs a replacement of the utility list (`replace` answers whether it went through), then
    // keeps the streams in step when the list really changed.
    void ReplaceUtilities(const std::function<bool()>& replace);
    // Streams that existed before and whose utility changed take its values; utilities without a
    // stream get one; then the streams are put into the utilities' order.
    void KeepStreamsInStep(const Snapshot& before);
    void OrderStreamsLikeUtilities();
    // Makes the streams those of the version-6 record just read.
    void RestoreRecordedStreams();
    // The name and the values a site stream mirrors are the same.
    static bool SameMirroredValues(const DefaultUtility& a, const DefaultUtility& b);
    // Writes a value into a stream only when it holds another one.
    static void Mirror(IHeatIntegrationStreamForTargeting& stream, const char* name, double value, int index);
    static void MirrorCost(IHeatIntegrationStreamForTargeting& stream, double cost);
    // Mirror only where the stream holds no value of its own yet (empty, or 0.0 when that means unset).
    static void Fill(IHeatIntegrationStreamForTargeting& stream, const char* name, double value, int index,
                     bool zeroIsUnset = false);
    void CreateStreamsForUtilities();

    std::vector<SiteStream> m_streams;
    std::int32_t m_streamCounter = 0;
    // The value an edit in progress changes (-1: none, every value is mirrored).
    int m_editedParameter = -1;
    ISiteStreamHost* m_site = nullptr;
    // Depth of replacements under way: removals keep streams and repeated names are not reported.
    int m_replacing = 0;
    // The utilities the last replacement changed while their held stream kept its values.
    std::vector<CPString> m_leftAlone;
    bool m_stagingStreams = false;
    std::unique_ptr<StagedStreams> m_staged;
};
