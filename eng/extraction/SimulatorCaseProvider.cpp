#include "eng/extraction/SimulatorCaseProvider.h"

#include "eng/extraction/VelmorToTarsilImport.h"
#include "ralvex/Case.h"
#include "sorvil/Sheet.h"

#include <fstream>

// The segment table of a CSV file, handed to the scenario, and what the scenario found in it.
class SheetTable : public ITransferredTable {
public:
    SheetTable(Sheet sheet, TransferOutcome& outcome) : m_sheet(std::move(sheet)), m_outcome(outcome) {}
    CPString GetCellText(const CPString& address) const override { return m_sheet.GetCellText(address); }
    bool GetCellValue(const CPString& address, double& value) const override {
        return m_sheet.GetCellValue(address, value);
    }
    int GetNumberOfRows() const override { return m_sheet.GetNumberOfRows(); }
    void ReportRefusal(const CPString& message) override { m_outcome.refusals.push_back(message); }
    void ReportWarning(const CPString& message) override { m_outcome.warnings.push_back(message); }
    void ReportNote(const CPString& message) override { m_outcome.notes.push_back(message); }

private:
    Sheet m_sheet;
    TransferOutcome& m_outcome;
};

namespace {
// Whether the file starts like an XML document (after a byte-order mark and blanks).
bool looksLikeXml(const CPString& path) {
    std::ifstream in(path, std::ios::binary);
    char head[256] = {};
    in.read(head, sizeof head);
    const std::streamsize n = in.gcount();
    std::streamsize i = 0;
    if (n >= 3 && static_cast<unsigned char>(head[0]) == 0xEF && static_cast<unsigned char>(head[1]) == 0xBB &&
        static_cast<unsigned char>(head[2]) == 0xBF)
        i = 3;
    while (i < n && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n')) ++i;
    return i < n && head[i] == '<';
}
}  // namespace

SimulatorCaseProvider::SimulatorCaseProvider() = default;
SimulatorCaseProvider::~SimulatorCaseProvider() = default;

Case* SimulatorCaseProvider::GetCase(const CPString& name) {
    if (name.empty()) return nullptr;
    auto it = m_cases.find(name);
    if (it != m_cases.end()) return it->second.get();
    std::unique_ptr<Case> opened;
    m_lastRead = CaseReader::ReadFile(name, opened);
    if (m_lastRead.status != CaseReadStatus::Ok) return nullptr;
    Case* c = opened.get();
    m_cases.emplace(name, std::move(opened));
    return c;
}

Case* SimulatorCaseProvider::GetDocumentCase() {
    if (!m_documentCase) m_documentCase = std::make_unique<Case>("Document");
    return m_documentCase.get();
}

int SimulatorCaseProvider::ApplySolvedDocument(const CPString& caseName, const CPString& solvedPath) {
    Case* open = GetCase(caseName);
    if (!open) return 0;
    m_lastRead = CaseReader::ApplySolvedFile(solvedPath, *open);
    return m_lastRead.status == CaseReadStatus::Ok ? 1 : 0;
}

void SimulatorCaseProvider::ReleaseCase(const CPString& name) { m_cases.erase(name); }

int SimulatorCaseProvider::RunCaseExtraction(Case* caseObject, IHeatIntegrationScenario& scenario) {
    if (!caseObject || !m_callback) return 0;
    return m_callback(m_access, *caseObject, scenario);
}

int SimulatorCaseProvider::Extract(const CPString& path, Case*, int kind, CPString& segmentation,
                                   IHeatIntegrationScenario& scenario) {
    if (kind < KindVelmor || kind > KindSpreadsheet) return 0;
    Case* c = GetCase(path);
    if (!c) return 0;
    const bool spreadsheet = c->GetSource() == "spreadsheet";
    // A spreadsheet is extracted only as one, a simulator case never as one.
    if (spreadsheet != (kind == KindSpreadsheet)) return 0;
    if (spreadsheet) segmentation = c->GetSegmentation();
    return RunCaseExtraction(c, scenario);
}

int SimulatorCaseProvider::CheckSpreadsheet(const CPString& path) {
    m_table.reset();
    m_outcome = TransferOutcome{};
    if (looksLikeXml(path)) {
        Case* c = GetCase(path);
        return c && c->GetSource() == "spreadsheet" ? SpreadsheetExtract : 0;
    }
    Sheet sheet;
    CPString error;
    // A segment table has its heading and its units before the data rows.
    if (!sheet.ReadFile(path, error) || sheet.GetNumberOfRows() < 2) {
        m_outcome.state = 2;
        m_outcome.refusals.push_back(error.empty() ? path + ": holds no segment table (a heading row, a units row, "
                                                            "then the segment rows)"
                                                   : error);
        return 0;
    }
    m_table = std::make_unique<SheetTable>(std::move(sheet), m_outcome);
    return SpreadsheetTransfer;
}

ITransferredTable* SimulatorCaseProvider::GetTransferredTable() { return m_table.get(); }

void SimulatorCaseProvider::FinishTransfer() {
    if (!m_table) return;
    m_outcome.state = m_outcome.refusals.empty() ? 1 : 2;
    m_table.reset();
}

std::unique_ptr<IDataExtraction> SimulatorCaseProviderFactory::Create() const {
    auto provider = std::make_unique<SimulatorCaseProvider>();
    provider->SetCaseCallback([](RalvexInterface& access, Case& simulatorCase, IHeatIntegrationScenario& scenario) {
        return VelmorToTarsilImport::CaseCallback(&access, &simulatorCase, &scenario);
    });
    return provider;
}
