#pragma once
// The project's data-extraction interface: simulator cases opened from case documents by name
// (kept open until released), the case callback that extracts an opened case into a scenario,
// and spreadsheets: a case document marked as a spreadsheet is extracted like a case, a CSV
// segment table is handed to the scenario cell by cell.
#include "eng/extraction/IDataExtraction.h"
#include "quenta/RalvexInterface.h"
#include "ralvex/CaseReader.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

class SheetTable;

class SimulatorCaseProvider : public IDataExtraction {
public:
    // Runs on an opened case; its answer is the extraction's result.
    using CaseCallback = std::function<int(RalvexInterface& access, Case& simulatorCase,
                                           IHeatIntegrationScenario& scenario)>;

    SimulatorCaseProvider();
    ~SimulatorCaseProvider() override;
    SimulatorCaseProvider(const SimulatorCaseProvider&) = delete;
    SimulatorCaseProvider& operator=(const SimulatorCaseProvider&) = delete;

    // Without a callback an extraction does nothing and answers 0.
    void SetCaseCallback(CaseCallback callback) { m_callback = std::move(callback); }
    // Why the last document that could not be opened was refused.
    const CaseReadResult& GetLastReadResult() const { return m_lastRead; }
    std::size_t GetNumberOfOpenCases() const { return m_cases.size(); }
    // The case of that name solved again: the document at `solvedPath` gives its items new values
    // and the case asks for a refresh, which the scenario's extraction from the case then runs. 1
    // when applied; 0 when the case cannot be opened or the document is refused (the reason is
    // the last read result), the case then as it was.
    int ApplySolvedDocument(const CPString& caseName, const CPString& solvedPath);

    // ---- IDataExtraction ----
    int Extract(const CPString& path, Case* caseObject, int kind, CPString& segmentation,
                IHeatIntegrationScenario& scenario) override;
    Case* GetCase(const CPString& name) override;
    Case* GetDocumentCase() override;
    int RunCaseExtraction(Case* caseObject, IHeatIntegrationScenario& scenario) override;
    void ReleaseCase(const CPString& name) override;
    int CheckSpreadsheet(const CPString& path) override;
    ITransferredTable* GetTransferredTable() override;
    void FinishTransfer() override;
    const TransferOutcome& GetTransferOutcome() const override { return m_outcome; }

private:
    RalvexInterface m_access;
    CaseCallback m_callback;
    std::unordered_map<std::string, std::unique_ptr<Case>> m_cases;
    std::unique_ptr<Case> m_documentCase;
    CaseReadResult m_lastRead;
    std::unique_ptr<SheetTable> m_table;
    TransferOutcome m_outcome;
};

// Makes a provider for every project (the project's services hand it out).
class IDataExtractionFactory {
public:
    virtual ~IDataExtractionFactory() = default;
    virtual std::unique_ptr<IDataExtraction> Create() const = 0;
};

class SimulatorCaseProviderFactory : public IDataExtractionFactory {
public:
    // The provider extracts an opened case with the simulator-case import.
    std::unique_ptr<IDataExtraction> Create() const override;
};
