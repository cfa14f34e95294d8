#pragma once
// The project's data-extraction interface as a scenario reaches it: extraction of streams,
// utilities and the existing network from a simulator case or a spreadsheet.
#include "dunmor/CPString.h"

#include <vector>

class Case;
class IHeatIntegrationScenario;

// A spreadsheet table handed over by the extraction: texts and values by cell address ("A3").
// The scenario that reads it tells it what it found, so that the outcome of the transfer can be
// shown to the user after it finished.
class ITransferredTable {
public:
    virtual ~ITransferredTable() = default;
    virtual CPString GetCellText(const CPString& address) const = 0;
    // False when the cell holds no number.
    virtual bool GetCellValue(const CPString& address, double& value) const = 0;
    // The rows the table holds (the last row's number).
    virtual int GetNumberOfRows() const = 0;
    // The table was refused as a whole (nothing was written): why, naming the row and the cell.
    virtual void ReportRefusal(const CPString& message) = 0;
    // A value the scenario did not take, and a remark on what it did.
    virtual void ReportWarning(const CPString& message) = 0;
    virtual void ReportNote(const CPString& message) = 0;
};

// What came of the last spreadsheet transfer.
struct TransferOutcome {
    // 0 none yet, 1 written, 2 refused.
    int state = 0;
    std::vector<CPString> refusals;
    std::vector<CPString> warnings;
    std::vector<CPString> notes;
};

class IDataExtraction {
public:
    // Extraction kinds.
    enum Kind : int { KindVelmor = 0, KindQuorvex = 1, KindProII = 2, KindSpreadsheet = 3 };
    // Answers of CheckSpreadsheet.
    static constexpr int SpreadsheetExtract = 2;
    static constexpr int SpreadsheetTransfer = 3;

    virtual ~IDataExtraction() = default;

    // Opens the document at `path` (GetCase) and runs the case callback on it with the scenario;
    // 1 on success. `caseObject` is the host document's case the extraction belongs to. Kind 3
    // takes only a spreadsheet document and also answers the segmentation it asks for.
    virtual int Extract(const CPString& path, Case* caseObject, int kind, CPString& segmentation,
                        IHeatIntegrationScenario& scenario) = 0;
    // The case of that name (a document path), opened on first use and kept; null when none.
    virtual Case* GetCase(const CPString& name) = 0;
    // The case of the host's own document, which simulator data are read into; made on first use.
    virtual Case* GetDocumentCase() = 0;
    // Runs the case callback on the case with the scenario; answers its result.
    virtual int RunCaseExtraction(Case* caseObject, IHeatIntegrationScenario& scenario) = 0;
    // Closes the case of that name (its import object lives on where it is still kept).
    virtual void ReleaseCase(const CPString& name) = 0;
    // 2 for a spreadsheet to extract, 3 for a segment table to transfer, 0 otherwise.
    virtual int CheckSpreadsheet(const CPString& path) = 0;
    // The table of the last check that answered 3; null otherwise.
    virtual ITransferredTable* GetTransferredTable() = 0;
    virtual void FinishTransfer() = 0;
    virtual const TransferOutcome& GetTransferOutcome() const = 0;
};
