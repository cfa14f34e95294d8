#pragma once
// The total site (engine object type 502): a project whose scenarios share the site utility
// streams and one site utility manager. The site keeps its scenarios in a dictionary of its own
// (the inherited project dictionary stays empty), names its site streams in a second dictionary,
// and owns the manager, which in turn owns the streams: the site and its scenarios only hold them.
//
// Every scenario the site makes is a total-site scenario and takes the manager as its site
// manager; a new empty scenario holds every site stream before anyone hears of it (code 24).
//
// Change codes sent with the site as data: 24 scenario added (name), 30 site stream added (name),
// 31 site stream deleted (name), 32 site stream renamed (old name, the new name as data), 60 with
// "SameStreamErrorMsg" or "PickTotalSiteUtilityFromDropDownList".
//
// Record, version 3: the manager's whole record (its edited defaults and its streams), then as in
// version 2: the site-stream flag (bool), count and counted names, the stream records; the
// scenario flag (int), count (long), per scenario its name and record; the project record (with
// no scenarios of its own). Versions 1 and 2 carry no manager: the site then starts from the
// manager's defaults; version 1 carries no site streams either.
#include "eng/model/IHeatIntegrationTotalSite.h"
#include "eng/model/Project.h"
#include "eng/model/Scenario.h"
#include "eng/targeting/ITotalSiteUtilityManager.h"
#include "tevrin/CPTypedDictionary.h"

#include <memory>

class CPIHeatIntegrationStream;
class CPList;
class TotalSiteManager;

class CPITotalSite : public CPIProject, public virtual IHeatIntegrationTotalSite, public ISiteStreamHost {
public:
    static constexpr int RecordVersion = 3;
    static constexpr int SinceSiteStreams = 2;
    static constexpr int SinceManagerRecord = 3;
    static constexpr int kStreamSlots = 256;
    static constexpr const char* kSameStreamMessage = "SameStreamErrorMsg";
    static constexpr const char* kUnknownUtilityMessage = "PickTotalSiteUtilityFromDropDownList";
    static constexpr const char* kRetrofitBaseMessage = "NoChangeinHENRBaseCase";

    // The prototype: registers the factory of type 502.
    CPITotalSite();
    // A site with the manager's defaults and no scenarios or site streams.
    CPITotalSite(IEngineeringManager* manager, const CPString& name);
    // Destroys the scenarios, then the manager with the site streams.
    ~CPITotalSite() override;
    CPITotalSite(const CPITotalSite&) = delete;
    CPITotalSite& operator=(const CPITotalSite&) = delete;

    // Factory registered for type 502: a site with the default scenario services (real targets).
    static ILurmetBaseObject* CreateCPITotalSite(const CPString& name, IEngineeringManager* manager);
    // Registers the factory; answers whether this call installed it.
    static bool RegisterPrototype();

    // ---- ILurmetBaseObject ----
    int GetObjectType() const override { return TotalSiteType; }
    int QueryInterface(int id, void** out) override;
    bool Store(ILurmetBinaryFile& file) override;
    // Reads the whole record before anything in memory changes: on false the site is as it was.
    bool Recall(ILurmetBinaryFile& file) override;

    // ---- IHeatIntegrationProject, on the site's own dictionary ----
    int AddScenario(const CPString& name, IHeatIntegrationScenario* source, const CloneSelection* selections) override;
    int AddScenario(IHeatIntegrationScenario* source, const CPString& designName) override;
    int AddScenario(const CPString& name) override;
    int DeleteScenario(const CPString& name) override;

    // ---- IHeatIntegrationTotalSite ----
    int GetNumberOfStreams() const override;
    // 0 when the name is a site stream already or the manager has no stream of that name (each
    // with its message); else the stream takes the utility's data and joins every scenario.
    int AddStream(const CPString& name) override;
    int GetDefaultUtilityManager(ITotalSiteUtilityManager*& out) override;
    int GetStream(int index, IHeatIntegrationStream*& out) const override;
    int GetStream(const CPString& name, IHeatIntegrationStream*& out) const override;
    const CPString& GetNotes() const override { return m_notes; }
    void SetNotes(const CPString& notes) override { m_notes = notes; }
    // Also ISiteStreamHost: the stream leaves every scenario and the site but is not destroyed.
    int DeleteStream(const CPString& name) override;
    bool HoldsSiteStream(const CPString& name) const override {
        return m_pSiteStreams && m_pSiteStreams->ExistsKeyString(name);
    }
    // 0 when the new name is taken or the stream's side contradicts the utility of that name.
    int RenameStream(const CPString& oldName, const CPString& newName) override;
    // The name of the first scenario of the site that holds a stream of its own by that name;
    // null when none does, and for the name of a site stream.
    const char* ScenarioHoldingStream(const CPString& name) const override;
    // Also ISiteStreamHost: a retrofit study of a scenario of the site holds its copy of the stream.
    bool HoldsForRetrofitBase(const CPString& stream, const char* name) const override;
    // Announces every site stream (code 30) after a recall.
    bool RecallFixUp() override;

    // ---- the site's own ----
    // Copies the default utility of the stream's name into the stream; 1 also when there is no
    // such utility (nothing changes), 0 when the utility's side contradicts the stream's.
    int SetDefaultUtilityStream(IHeatIntegrationStream& stream);
    // Shifts every StreamSegment* of the list by `value`.
    void TemperatureShift(CPList* segments, double value);
    TotalSiteManager& GetSiteManager() const { return *m_pManager; }

private:
    using StreamDictionary = CPTypedDictionary<CPIHeatIntegrationStream>;
    // What a record read builds before it replaces what is in memory.
    struct Staged;

    void EnsureScenarios();
    void DestroyScenarios();
    static void DestroyScenarioDictionary(std::unique_ptr<ScenarioDictionary>& scenarios);
    ScenarioDictionary* Scenarios() const override { return m_pSiteScenarios.get(); }
    // What a scenario of the site shares: the manager and the site streams in the site's order.
    static CPIScenario::SiteShare Share(TotalSiteManager* manager, const StreamDictionary* streams);
    void* SiteData() { return static_cast<IHeatIntegrationTotalSite*>(this); }
    void SendChange(int code, const CPString& text) { SendAMessage(code, text, SiteData()); }
    // Tells the user (code 60) and answers true when a retrofit study's base holds the stream.
    bool RefusedForRetrofitBase(const CPString& name);

    bool StoreSiteStreams(ILurmetBinaryFile& file) const;
    bool StoreScenarios(ILurmetBinaryFile& file);
    bool RecallSiteStreams(ILurmetBinaryFile& file, Staged& staged);
    bool RecallScenarios(ILurmetBinaryFile& file, Staged& staged);

    // Declared first: the scenarios and the stream dictionary go before the manager does.
    std::unique_ptr<TotalSiteManager> m_pManager;
    std::unique_ptr<ScenarioDictionary> m_pSiteScenarios;
    std::unique_ptr<StreamDictionary> m_pSiteStreams;
    CPString m_notes;
    std::int32_t m_nStreamCounter = 0;
};

struct ModuleRegistries;
// Load step: builds the total-site prototype, which registers type 502.
void RegisterTotalSitePrototype(ModuleRegistries& registries);
