#include "eng/model/Project.h"

#include "eng/extraction/SimulatorCaseProvider.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/model/CloneSelection.h"
#include "eng/model/Scenario.h"
#include "eng/core/ModuleEntry.h"

#include <string>
#include <vector>

CPIProject::CPIProject() { RegisterPrototype(); }

void RegisterProjectPrototype(ModuleRegistries&) { CPIProject prototype; }

CPIProject::CPIProject(IEngineeringManager* manager, const CPString& name) : CLurmetProject(manager, name) {}

CPIProject::~CPIProject() { DestroyScenarios(); }

IDataExtraction* CPIProject::GetDataExtraction() const {
    if (m_pExtraction) return m_pExtraction;
    if (!m_pOwnedExtraction && m_services.extraction) m_pOwnedExtraction = m_services.extraction->Create();
    return m_pOwnedExtraction.get();
}

ILurmetBaseObject* CPIProject::CreateCPIProject(const CPString& name, IEngineeringManager* manager) {
    AttachCallingThread();
    // A project the user creates calculates real targets in every scenario it makes.
    auto* project = new CPIProject(manager, name);
    project->SetScenarioServices(DefaultScenarioServices());
    return project;
}

bool CPIProject::RegisterPrototype() { return ILurmetBaseObject::Register(ObjectType, &CPIProject::CreateCPIProject); }

int CPIProject::QueryInterface(int id, void** out) {
    if (!out) return 0;
    if (id == ObjectType) {
        *out = static_cast<IHeatIntegrationProject*>(this);
        return 1;
    }
    return CLurmetProject::QueryInterface(id, out);
}

void CPIProject::EnsureDictionary() {
    if (!m_pScenarios) m_pScenarios = std::make_unique<ScenarioDictionary>(kScenarioSlots);
}

void CPIProject::DestroyScenarios() {
    if (!m_pScenarios) return;
    while (m_pScenarios->Length() > 0) {
        CPIScenario* scenario = m_pScenarios->RemoveKeyString(m_pScenarios->KeyAt(0));
        delete scenario;
    }
    m_pScenarios.reset();
}

CPIScenario* CPIProject::ScenarioAt(int index) const {
    ScenarioDictionary* scenarios = Scenarios();
    if (!scenarios || index < 0 || static_cast<std::size_t>(index) >= scenarios->Length()) return nullptr;
    return (*scenarios)[static_cast<std::size_t>(index)];
}

CPIScenario* CPIProject::NonRetrofitScenarioAt(int index) const {
    ScenarioDictionary* scenarios = Scenarios();
    if (!scenarios || index < 0) return nullptr;
    int seen = 0;
    for (CPIScenario* scenario : *scenarios) {
        if (scenario->IsRetrofitScenario()) continue;
        if (seen++ == index) return scenario;
    }
    return nullptr;
}

// ---------------------------------------------------------------- naming

CPString CPIProject::CreateScenarioName(const CPString& base) const {
    ScenarioDictionary* scenarios = Scenarios();
    if (!scenarios || !scenarios->ExistsKeyString(base)) return base;
    for (std::size_t n = 1;; ++n) {
        CPString candidate = base + " " + std::to_string(n);
        if (!scenarios->ExistsKeyString(candidate)) return candidate;
    }
}

// ---------------------------------------------------------------- adding

int CPIProject::AddScenario(const CPString& name) {
    EnsureDictionary();
    if (m_pScenarios->ExistsKeyString(name)) return 0;
    auto* scenario = new CPIScenario(this, m_services);
    m_pScenarios->AddKeyString(name, scenario);
    scenario->SetName(name);
    SendChange(24, name);
    return 1;
}

int CPIProject::AddScenario(const CPString& name, IHeatIntegrationScenario* source, const CloneSelection* selections) {
    auto* from = dynamic_cast<CPIScenario*>(source);
    if (name.empty() || !from) return 0;
    EnsureDictionary();
    const CloneSelection all = from->SelectAll();
    const CloneSelection& selection = selections ? *selections : all;
    if (CPIScenario* existing = m_pScenarios->FindKeyString(name)) {
        return existing->AppendFrom(this, *from, selection) ? 1 : 0;
    }
    auto* scenario = new CPIScenario(this, *from, &selection, m_services);
    m_pScenarios->AddKeyString(name, scenario);
    scenario->SetName(name);
    SendChange(24, name);
    if (selection.EntryFlag(CloneSelection::EntryDesigns) < 255) scenario->CopyDesignsFrom(*from, selection);
    scenario->HoldCopiedRetrofitStudy();
    return 1;
}

int CPIProject::AddScenario(IHeatIntegrationScenario* source, const CPString& designName) {
    auto* from = dynamic_cast<CPIScenario*>(source);
    // A retrofit copy is made around a design of the source: with none of that name there is
    // no base, and nothing is made.
    IHENDesign* base = nullptr;
    if (!from || designName.empty() || !from->GetDesign(designName, base) || !base) return 0;
    EnsureDictionary();
    const CPString name = CreateScenarioName(from->GetName() ? from->GetName() : "");
    const CloneSelection all = from->SelectAll();
    auto* scenario = new CPIScenario(this, *from, &all, m_services);
    m_pScenarios->AddKeyString(name, scenario);
    scenario->SetName(name);
    SendChange(24, name);
    scenario->SetUpRetrofit(*from, designName);
    return 1;
}

// ---------------------------------------------------------------- deleting, renaming, finding

int CPIProject::DeleteScenario(const CPString& name) {
    if (!m_pScenarios) return 0;
    CPIScenario* scenario = m_pScenarios->RemoveKeyString(name);
    if (!scenario) return 0;
    delete scenario;
    return 1;
}

int CPIProject::RenameScenario(const CPString& oldName, const CPString& newName) {
    ScenarioDictionary* scenarios = Scenarios();
    if (!scenarios || newName.empty() || scenarios->ExistsKeyString(newName)) return 0;
    CPIScenario* scenario = scenarios->FindKeyString(oldName);
    if (!scenario) return 0;
    if (!scenarios->RenameKeyString(oldName, newName)) return 0;
    scenario->SetName(newName);
    return 1;
}

int CPIProject::GetScenario(const CPString& name, IHeatIntegrationScenario*& out) const {
    ScenarioDictionary* scenarios = Scenarios();
    CPIScenario* scenario = scenarios ? scenarios->FindKeyString(name) : nullptr;
    if (!scenario) return 0;
    out = scenario;
    return 1;
}

int CPIProject::GetScenario(int index, IHeatIntegrationScenario*& out) const {
    CPIScenario* scenario = ScenarioAt(index);
    if (!scenario) return 0;
    out = scenario;
    return 1;
}

int CPIProject::GetNonRetrofitScenario(int index, IHeatIntegrationScenario*& out) const {
    out = nullptr;
    CPIScenario* scenario = NonRetrofitScenarioAt(index);
    if (!scenario) return 0;
    out = scenario;
    return 1;
}

int CPIProject::GetNumberOfScenarios() const {
    const ScenarioDictionary* scenarios = Scenarios();
    return scenarios ? static_cast<int>(scenarios->Length()) : 0;
}

int CPIProject::GetNumberOfNonRetrofitScenarios() const {
    ScenarioDictionary* scenarios = Scenarios();
    int count = 0;
    if (scenarios)
        for (CPIScenario* scenario : *scenarios)
            if (!scenario->IsRetrofitScenario()) ++count;
    return count;
}

CPString CPIProject::GetScenarioName(int index) const {
    CPIScenario* scenario = ScenarioAt(index);
    return scenario && scenario->GetName() ? CPString(scenario->GetName()) : CPString();
}

const char* CPIProject::GetNonRetrofitScenarioName(int index) const {
    CPIScenario* scenario = NonRetrofitScenarioAt(index);
    return scenario ? scenario->GetName() : nullptr;
}

// ---------------------------------------------------------------- record

bool CPIProject::Store(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h, RecordVersion)) return false;
    if (m_pScenarios) {
        if (!file.WriteInt(1) || !file.WriteLong(static_cast<std::int32_t>(m_pScenarios->Length()))) return false;
        for (std::size_t i = 0; i < m_pScenarios->Length(); ++i) {
            if (!file.WriteCPString(m_pScenarios->KeyAt(i))) return false;
            if (!m_services.records || !m_services.records->Store(*(*m_pScenarios)[i], file)) return false;
        }
    } else if (!file.WriteInt(0)) {
        return false;
    }
    return CLurmetProject::Store(file) && file.EndRecord(h);
}

bool CPIProject::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    // A newer writer may have changed what the fields mean: such a record is not read.
    if (file.GetRecordVersion(h) > RecordVersion) return false;
    std::int32_t flag = 0;
    if (!file.ReadInt(flag)) return false;

    std::unique_ptr<ScenarioDictionary> recalled;
    if (flag == 1) {
        recalled = std::make_unique<ScenarioDictionary>(kScenarioSlots);
        auto dropRecalled = [&recalled]() {
            while (recalled->Length() > 0) delete recalled->RemoveKeyString(recalled->KeyAt(0));
        };
        std::int32_t count = 0;
        if (!file.ReadItemCount(count) || !m_services.records) {
            dropRecalled();
            return false;
        }
        for (std::int32_t i = 0; i < count; ++i) {
            auto scenario = std::make_unique<CPIScenario>(this, m_services);
            CPString key;
            if (!file.ReadCPString(key) || !m_services.records->Recall(*scenario, file) ||
                !recalled->AddKeyString(key, scenario.get())) {
                dropRecalled();
                return false;
            }
            scenario.release();
        }
    }
    if (!CLurmetProject::Recall(file) || !file.EndRecord(h)) {
        if (recalled)
            while (recalled->Length() > 0) delete recalled->RemoveKeyString(recalled->KeyAt(0));
        return false;
    }
    // Only a record read whole replaces the scenarios in memory.
    DestroyScenarios();
    m_pScenarios = std::move(recalled);
    return true;
}
