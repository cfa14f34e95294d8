// The entry points of data extraction of a scenario: extraction from a simulator file or a
// spreadsheet through the project's extraction interface, from a case opened by name, the notes
// that record the source, the sub-flowsheets of the extracted case, and the import object kept
// for a later refresh.
#include "eng/model/Scenario.h"

#include "eng/extraction/IDataExtraction.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "lumeth/Framework.h"
#include "osmeri/CPItem.h"
#include "ralvex/Case.h"

namespace {
const char* const kTransferFromExcel = "TransferFromExcel";
const char* const kExcelSegmentation = "ExcelSegmentation";
}  // namespace

DataExtractionConfig* CPIScenario::GetDataExtractionConfig() {
    if (!m_pExtractionConfig) m_pExtractionConfig = std::make_unique<DataExtractionConfig>();
    return m_pExtractionConfig.get();
}

const char* CPIScenario::GetSimulatorFileType() const {
    double type = 0.0;
    const bool known = m_pExtractionConfig && m_pExtractionConfig->GetSettingValue("SimulatorFileType", type) == 1;
    return !known || type == 0.0 ? "Velmor" : "Quorvex";
}

void CPIScenario::KeepImport(Createable* import) {
    if (import == m_pKeptImport) return;
    if (import) import->AddRef();
    Createable* old = m_pKeptImport;
    m_pKeptImport = import;
    if (old) old->Release();
}

void CPIScenario::PrependNote(const char* prefix, const CPString& path) {
    CPString notes = prefix;
    notes += path;
    notes += "\n \n";
    notes += GetNotes() ? GetNotes() : "";
    SetNotes(notes);
}

void CPIScenario::ReloadSubFlowsheets(Case* simulatorCase) {
    DataExtractionConfig* config = m_pExtractionConfig.get();
    if (!config || !simulatorCase) return;
    config->ClearSubFlowsheets();
    simulatorCase->ForEachItem([config](const CPItem& item) {
        if (const CPValue* v = item.GetVariable("MySubFlowsheet")) config->AddSubFlowsheet(v->GetAsString());
    });
}

// A retrofit study's streams are the existing network's: nothing is extracted into it (the
// extraction would replace or add streams under the base's lock).
int CPIScenario::ExtractFromSimulatorCase(const CPString& path, Case* caseObject, int kind, const char* notePrefix) {
    if (m_bRetrofit) return 0;
    IDataExtraction* extraction = m_pProject ? m_pProject->GetDataExtraction() : nullptr;
    if (!extraction || !caseObject) return 0;
    CPString segmentation;
    const int result = extraction->Extract(path, caseObject, kind, segmentation, *this);
    // The import object stays with the scenario as after an extraction by case name, so that a
    // later extraction of the same case refreshes it rather than destroying it.
    Case* extracted = extraction->GetCase(path);
    if (extracted) KeepImport(extracted->GetVelmorToTarsilImport());
    if (result != 1) return 0;
    if (!m_pExtractionConfig) return 1;
    PrependNote(notePrefix, path);
    ReloadSubFlowsheets(extracted);
    return 1;
}

int CPIScenario::ExtractFromVelmorCase(const CPString& path, Case* caseObject) {
    return ExtractFromSimulatorCase(path, caseObject, IDataExtraction::KindVelmor, "Extracted data from Velmor Case ");
}

int CPIScenario::ExtractFromQuorvexCase(const CPString& path, Case* caseObject) {
    return ExtractFromSimulatorCase(path, caseObject, IDataExtraction::KindQuorvex, "Extracted data from Quorvex Case ");
}

int CPIScenario::ExtractFromProIICase(const CPString& path, Case* caseObject) {
    return ExtractFromSimulatorCase(path, caseObject, IDataExtraction::KindProII, "Extracted data from PRO II Case ");
}

int CPIScenario::ExtractFromExcelFile(const CPString& path, Case* caseObject) {
    if (m_bRetrofit) return 0;
    GetDataExtractionConfig()->SetSettingValue(kTransferFromExcel, 1.0);
    // The extraction works on the host's user-interface thread only; from another thread the
    // call is handed to it and this one returns (answering 1: the work is under way).
    if (!IsMainThread()) {
        std::weak_ptr<char> alive = m_pAlive;
        OnMainThread([this, alive, path, caseObject] {
            if (alive.lock()) ExtractFromExcelFile(path, caseObject);
        });
        return 1;
    }
    IDataExtraction* extraction = m_pProject ? m_pProject->GetDataExtraction() : nullptr;
    if (!extraction || !caseObject) return 0;
    m_nExcelTransferResult = extraction->CheckSpreadsheet(path);
    int done = 0;
    if (m_nExcelTransferResult == IDataExtraction::SpreadsheetExtract) {
        CPString segmentation;
        const int result = extraction->Extract(path, caseObject, IDataExtraction::KindSpreadsheet, segmentation, *this);
        Case* extracted = extraction->GetCase(path);
        if (extracted) KeepImport(extracted->GetVelmorToTarsilImport());
        if (result == 1) {
            done = 1;
            PrependNote("Extracted data from Excel File ", path);
            ReloadSubFlowsheets(extracted);
            DataExtractionConfig* config = GetDataExtractionConfig();
            if (segmentation == "None") config->SetSettingValue(kExcelSegmentation, 0.0);
            else if (segmentation == "Automatic") config->SetSettingValue(kExcelSegmentation, 1.0);
            else if (segmentation == "Heat Exchanger Based") config->SetSettingValue(kExcelSegmentation, 2.0);
        }
    } else if (m_nExcelTransferResult == IDataExtraction::SpreadsheetTransfer) {
        if (ITransferredTable* table = extraction->GetTransferredTable()) TransferSegmentTable(*table);
    }
    extraction->FinishTransfer();
    // A segment table counts as read when the transfer wrote it (nothing refused).
    if (m_nExcelTransferResult == IDataExtraction::SpreadsheetTransfer) done = extraction->GetTransferOutcome().state == 1;
    return done;
}

int CPIScenario::ExtractFromCase(const char* caseName) {
    if (m_bRetrofit) return 0;
    IDataExtraction* extraction = m_pProject ? m_pProject->GetDataExtraction() : nullptr;
    if (!caseName || !extraction) return 0;
    Case* simulatorCase = extraction->GetCase(caseName);
    if (!simulatorCase) return 1;
    // A case extracted afresh gets a new import object: the old ones go (an object another
    // holder still keeps lives on there).
    if (simulatorCase->GetVelmorToTarsilImport() != m_pKeptImport) {
        KeepImport(nullptr);
        if (simulatorCase->GetVelmorToTarsilImport()) simulatorCase->SetVelmorToTarsilImport(nullptr);
    }
    const int result = extraction->RunCaseExtraction(simulatorCase, *this);
    KeepImport(simulatorCase->GetVelmorToTarsilImport());
    if (!simulatorCase->GetCaseCached()) extraction->ReleaseCase(caseName);
    return result;
}
