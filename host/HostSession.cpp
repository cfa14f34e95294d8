#include "host/HostSession.h"

#include "brasko/EngineeringManager.h"
#include "brasko/ILurmetBinaryFile.h"
#include "brasko/LurmetBaseObject.h"
#include "brasko/ReplaceChecks.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "host/CaseContentChecks.h"
#include "host/ModuleLoader.h"

#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace {
constexpr int kProjectType = 501;
constexpr int kTotalSiteType = 502;
// The name a total site read from a case is made under before its record names it.
constexpr char kSiteName[] = "Kestrin total site";
// The two forms of the case file: checked (with a checksum trailer) and the older unchecked one.
constexpr char kCaseMagic[] = "KSTRNCF2";
constexpr char kUncheckedCaseMagic[] = "KSTRNCF1";

using CreateManagerFn = IEngineeringManager* (*)();
using DestroyManagerFn = void (*)(IEngineeringManager*);
using OpenCaseFn = ILurmetBinaryFile* (*)(const char*, int);
using OpenCaseForReadingFn = ILurmetBinaryFile* (*)(const char*, char*, int);
using CaseErrorFn = const char* (*)(ILurmetBinaryFile*);
using CaseDamageFn = const char* (*)();
using FinishCaseFn = int (*)(ILurmetBinaryFile*);
using CommitCaseFn = int (*)(ILurmetBinaryFile*);
using CloseCaseFn = void (*)(ILurmetBinaryFile*);
using ReadBackFn = ILurmetBinaryFile* (*)(ILurmetBinaryFile*);
using CheckViewsFn = int (*)(IEngineeringManager*, ILurmetBinaryFile*, const char*, char*, int);
using SetupFn = void (*)();
}  // namespace

bool IsCaseFile(const std::string& path) {
    // Only a regular file is opened: a pipe would wait for a writer.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::ifstream in(path, std::ios::binary);
    char head[sizeof kCaseMagic - 1] = {};
    if (!in.read(head, sizeof head)) return false;
    return std::memcmp(head, kCaseMagic, sizeof head) == 0 || std::memcmp(head, kUncheckedCaseMagic, sizeof head) == 0;
}

bool SameFile(const std::string& a, const std::string& b) { return IsSameFile(a, b); }

bool SaveMayReplace(const std::string& save, std::string& error) {
    struct stat info {};
    // A directory, a pipe or a device is never replaced by a case: said before the job runs, not
    // after minutes of work whose result could not be kept.
    if (::stat(save.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error = "--save " + save + (S_ISDIR(info.st_mode) ? " is a directory, not a regular file" : " is not a regular file") +
                "; a case is saved only to a regular file";
        return false;
    }
    if (::stat(save.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 && !IsCaseFile(save)) {
        error = "--save " + save + " exists and is not a Kestrin case file; it was left as it is";
        return false;
    }
    return true;
}

HostSession::~HostSession() {
    auto destroy = reinterpret_cast<DestroyManagerFn>(m_module.Entry("KestrinDestroyEngineeringManager"));
    if (m_manager && m_object) m_manager->ReleaseObject(m_object);
    if (destroy && m_manager) destroy(m_manager);
}

bool HostSession::Start(std::string& error) {
    auto setup = reinterpret_cast<SetupFn>(m_module.Entry("SetupDLL"));
    auto create = reinterpret_cast<CreateManagerFn>(m_module.Entry("KestrinCreateEngineeringManager"));
    if (!setup || !create) {
        error = m_module.Path() + " lacks the module entries";
        return false;
    }
    setup();
    m_manager = create();
    m_object = m_manager ? m_manager->CreateObject(kProjectType, ProjectName) : nullptr;
    void* project = nullptr;
    if (!m_object || m_object->QueryInterface(kProjectType, &project) != 1 || !project) {
        error = "the module did not create a heat-integration project (type 501)";
        return false;
    }
    m_project = static_cast<IHeatIntegrationProject*>(project);
    return true;
}

bool HostSession::UseProject(const std::string& name, std::string& error) {
    ILurmetBaseObject* object = nullptr;
    void* project = nullptr;
    // A project, or else a total site of that name (a site answers as a project too).
    if (m_manager && !m_manager->FindObject(name.c_str(), kProjectType, &object))
        m_manager->FindObject(name.c_str(), kTotalSiteType, &object);
    if (!object || object->QueryInterface(kProjectType, &project) != 1 || !project) {
        error = "the case holds no project " + name;
        return false;
    }
    m_project = static_cast<IHeatIntegrationProject*>(project);
    return true;
}

IHeatIntegrationScenario* HostSession::NewScenario(const std::string& name, std::string& error) {
    IHeatIntegrationScenario* scenario = nullptr;
    if (!m_project || m_project->AddScenario(name.c_str()) != 1 || !m_project->GetScenario(name.c_str(), scenario)) {
        error = "the project refused a new scenario";
        return nullptr;
    }
    return scenario;
}

bool HostSession::RecallCase(const std::string& path, std::string& error) { return RecallCase(path, error, CaseMore()); }

bool HostSession::RecallCase(const std::string& path, std::string& error, const CaseMore& more) {
    auto open = reinterpret_cast<OpenCaseForReadingFn>(m_module.Entry("KestrinOpenCaseFileForReading"));
    auto finish = reinterpret_cast<FinishCaseFn>(m_module.Entry("KestrinFinishCaseFile"));
    auto close = reinterpret_cast<CloseCaseFn>(m_module.Entry("KestrinCloseCaseFile"));
    if (!open || !finish || !close) {
        error = m_module.Path() + " lacks the case-file entries";
        return false;
    }
    char reason[256] = {};
    ILurmetBinaryFile* file = open(path.c_str(), reason, sizeof reason);
    if (!file) {
        error = path + ": cannot open the case file: " + reason;
        return false;
    }
    // Why a record was refused, when its check named the record and the value: the damage a
    // project's reader met, else the one a site's reader met.
    auto damage = reinterpret_cast<CaseDamageFn>(m_module.Entry("KestrinCaseDamage"));
    bool recalled = m_project->Recall(*file);
    std::string named = !recalled && damage ? damage() : "";
    if (!recalled) {
        // A case of a total site holds the site's record where a project's stands: read again
        // into a site.
        close(file);
        file = open(path.c_str(), reason, sizeof reason);
        if (!file) {
            error = path + ": cannot open the case file: " + reason;
            return false;
        }
        ILurmetBaseObject* object = m_manager ? m_manager->CreateObject(kTotalSiteType, kSiteName) : nullptr;
        void* site = nullptr;
        if (object && object->QueryInterface(kProjectType, &site) == 1 && site &&
            static_cast<IHeatIntegrationProject*>(site)->Recall(*file)) {
            recalled = true;
            m_project = static_cast<IHeatIntegrationProject*>(site);
        }
        // The manager keeps the site for the session; the host holds no reference of its own.
        if (object) m_manager->ReleaseObject(object);
        // A site's case whose records are damaged: the site's reader named them.
        if (!recalled && named.empty() && damage) named = damage();
    }
    std::string moreError;
    bool moreRead = true;
    if (recalled && more) moreRead = more(*file, moreError);
    // Bytes after the last record are damage too: a whole case leaves nothing unread. The views
    // a case may carry after its project are one record, passed over by a reader that does not
    // show them.
    int state = recalled && moreRead ? finish(file) : 0;
    if (recalled && !more && state == 0 && file->SkipRecord()) state = finish(file);
    close(file);
    m_unchecked = state == 2;
    if (state == 0)
        error = path + (!moreError.empty() ? ": " + moreError
                        : !named.empty()   ? ": the case file is damaged: " + named
                                           : ": the case file is damaged or not a Kestrin case");
    return state != 0;
}

bool HostSession::SaveCase(const std::string& path, std::string& error, const CaseMore& more) {
    auto open = reinterpret_cast<OpenCaseFn>(m_module.Entry("KestrinOpenCaseFile"));
    auto commit = reinterpret_cast<CommitCaseFn>(m_module.Entry("KestrinCommitCaseFile"));
    auto reason = reinterpret_cast<CaseErrorFn>(m_module.Entry("KestrinCaseFileError"));
    auto close = reinterpret_cast<CloseCaseFn>(m_module.Entry("KestrinCloseCaseFile"));
    if (!open || !commit || !reason || !close) {
        error = m_module.Path() + " lacks the case-file entries";
        return false;
    }
    ILurmetBinaryFile* file = open(path.c_str(), 1);
    if (!file) {
        error = path + ": cannot open the case file for writing";
        return false;
    }
    std::string moreError;
    const bool stored = m_project->Store(*file) && (!more || more(*file, moreError));
    // A case its own reader refuses is no save: the file already there stays as it is.
    std::string refused;
    const bool readable = stored && ReadsBack(*file, refused);
    const bool ok = readable && commit(file) == 1;
    if (!ok) {
        // A write the disk refused (full, gone) says so, whichever step met it.
        const std::string disk = reason(file);
        struct stat there {};
        const std::string kept = ::stat(path.c_str(), &there) == 0 ? "; the file there was left as it is" : "";
        const std::string why = !stored ? (!moreError.empty() ? moreError
                                           : !disk.empty()    ? disk + kept
                                                              : "the project could not be stored")
                                : !readable && !disk.empty() ? disk + kept
                                : !readable ? "it would not reopen: " + refused + "; the file there was left as it is"
                                            : disk;
        error = path + ": the case could not be saved" + (why.empty() ? std::string() : ": " + why);
    }
    close(file);
    return ok;
}

bool HostSession::ReadsBack(ILurmetBinaryFile& written, std::string& error) const {
    auto readBack = reinterpret_cast<ReadBackFn>(m_module.Entry("KestrinReadBackCaseFile"));
    auto finish = reinterpret_cast<FinishCaseFn>(m_module.Entry("KestrinFinishCaseFile"));
    auto close = reinterpret_cast<CloseCaseFn>(m_module.Entry("KestrinCloseCaseFile"));
    auto create = reinterpret_cast<CreateManagerFn>(m_module.Entry("KestrinCreateEngineeringManager"));
    auto destroy = reinterpret_cast<DestroyManagerFn>(m_module.Entry("KestrinDestroyEngineeringManager"));
    if (!readBack || !finish || !close || !create || !destroy) {
        error = m_module.Path() + " lacks the case-file entries";
        return false;
    }
    // A manager of its own, so that nothing read back meets the session's objects.
    IEngineeringManager* manager = create();
    if (!manager) {
        error = "no engineering manager to read it back with";
        return false;
    }
    // As a case is reopened: a project, or else a total site.
    bool read = false;
    auto damage = reinterpret_cast<CaseDamageFn>(m_module.Entry("KestrinCaseDamage"));
    std::string named;
    for (const int type : {kProjectType, kTotalSiteType}) {
        ILurmetBinaryFile* file = readBack(&written);
        if (!file) break;
        ILurmetBaseObject* object = manager->CreateObject(type, type == kProjectType ? ProjectName : kSiteName);
        void* project = nullptr;
        const bool recalled = object && object->QueryInterface(kProjectType, &project) == 1 && project &&
                              static_cast<IHeatIntegrationProject*>(project)->Recall(*file);
        if (!recalled && type == kProjectType && damage) named = damage();
        if (recalled) {
            // The views that follow the project are read back as a reopen reads them: a view
            // that would not reopen loses the case every view of it.
            int state = finish(file);
            auto checkViews = reinterpret_cast<CheckViewsFn>(m_module.Entry("KestrinViewCheckRecords"));
            if (state == 0 && checkViews) {
                char why[512] = "";
                const CPString name = static_cast<IHeatIntegrationProject*>(project)->GetProjectName();
                if (checkViews(manager, file, name.c_str(), why, sizeof why) == 1) state = finish(file);
                else error = why;
            } else if (state == 0 && file->SkipRecord()) {
                state = finish(file);
            }
            read = true;
            if (state == 0 && error.empty()) error = "bytes follow its last record";
            IHeatIntegrationScenario* scenario = nullptr;
            for (int i = 0; state != 0 && static_cast<IHeatIntegrationProject*>(project)->GetScenario(i, scenario) &&
                            scenario;
                 ++i)
                if (!CheckCaseContent(*scenario, error)) state = 0;
            read = state != 0;
            if (!read && error.empty()) error = "the case reader refuses it";
        }
        if (object) manager->ReleaseObject(object);
        close(file);
        if (read || !error.empty()) break;
    }
    destroy(manager);
    if (!read && error.empty()) error = named.empty() ? "the case reader refuses its records" : named;
    return read;
}

IHeatIntegrationScenario* HostSession::ScenarioAt(int index) const {
    IHeatIntegrationScenario* scenario = nullptr;
    if (!m_project || !m_project->GetScenario(index, scenario)) return nullptr;
    return scenario;
}
