#include "host/HostSession.h"

#include "brasko/EngineeringManager.h"
#include "brasko/ILurmetBinaryFile.h"
#include "brasko/LurmetBaseObject.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "host/ModuleLoader.h"

#include <cstring>
#include <fstream>

namespace {
constexpr int kProjectType = 501;
constexpr char kCaseMagic[] = "KSTRNCF1";

using CreateManagerFn = IEngineeringManager* (*)();
using DestroyManagerFn = void (*)(IEngineeringManager*);
using OpenCaseFn = ILurmetBinaryFile* (*)(const char*, int);
using CommitCaseFn = int (*)(ILurmetBinaryFile*);
using CloseCaseFn = void (*)(ILurmetBinaryFile*);
using SetupFn = void (*)();
}  // namespace

bool IsCaseFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[8] = {};
    if (!in.read(head, sizeof head)) return false;
    return std::memcmp(head, kCaseMagic, sizeof head) == 0;
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
    m_object = m_manager ? m_manager->CreateObject(kProjectType, "Kestrin project") : nullptr;
    void* project = nullptr;
    if (!m_object || m_object->QueryInterface(kProjectType, &project) != 1 || !project) {
        error = "the module did not create a heat-integration project (type 501)";
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

bool HostSession::RecallCase(const std::string& path, std::string& error) {
    auto open = reinterpret_cast<OpenCaseFn>(m_module.Entry("KestrinOpenCaseFile"));
    auto close = reinterpret_cast<CloseCaseFn>(m_module.Entry("KestrinCloseCaseFile"));
    if (!open || !close) {
        error = m_module.Path() + " lacks the case-file entries";
        return false;
    }
    ILurmetBinaryFile* file = open(path.c_str(), 0);
    if (!file) {
        error = path + ": cannot open the case file";
        return false;
    }
    bool ok = m_project->Recall(*file);
    close(file);
    if (!ok) error = path + ": the case file is damaged or not a Kestrin case";
    return ok;
}

bool HostSession::SaveCase(const std::string& path, std::string& error) {
    auto open = reinterpret_cast<OpenCaseFn>(m_module.Entry("KestrinOpenCaseFile"));
    auto commit = reinterpret_cast<CommitCaseFn>(m_module.Entry("KestrinCommitCaseFile"));
    auto close = reinterpret_cast<CloseCaseFn>(m_module.Entry("KestrinCloseCaseFile"));
    if (!open || !commit || !close) {
        error = m_module.Path() + " lacks the case-file entries";
        return false;
    }
    ILurmetBinaryFile* file = open(path.c_str(), 1);
    if (!file) {
        error = path + ": cannot open the case file for writing";
        return false;
    }
    bool ok = m_project->Store(*file) && commit(file) == 1;
    close(file);
    if (!ok) error = path + ": the case could not be saved";
    return ok;
}

IHeatIntegrationScenario* HostSession::Scenario() const {
    IHeatIntegrationScenario* scenario = nullptr;
    if (!m_project || !m_project->GetScenario(0, scenario)) return nullptr;
    return scenario;
}
