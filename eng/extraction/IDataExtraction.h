#pragma once
// The project's data-extraction interface as a scenario reaches it: extraction of streams,
// utilities and the existing network from a simulator case or a spreadsheet.
#include "dunmor/CPString.h"

class Case;
class IHeatIntegrationScenario;

// A spreadsheet table handed over by the extraction: texts and values by cell address ("A3").
class ITransferredTable {
public:
    virtual ~ITransferredTable() = default;
    virtual CPString GetCellText(const CPString& address) const = 0;
    // False when the cell holds no number.
    virtual bool GetCellValue(const CPString& address, double& value) const = 0;
};

class IDataExtraction {
public:
    // Extraction kinds.
    enum Kind : int { KindVelmor = 0, KindQuorvex = 1, KindProII = 2, KindSpreadsheet = 3 };
    // Answers of CheckSpreadsheet.
    static constexpr int SpreadsheetExtract = 2;
    static constexpr int SpreadsheetTransfer = 3;

    virtual ~IDataExtraction() = default;

    // 1 on success; a spreadsheet extraction also answers the segmentation chosen.
    virtual int Extract(const CPString& path, Case* caseObject, int kind, CPString& segmentation,
                        IHeatIntegrationScenario& scenario) = 0;
    // The case of that name; null when none.
    virtual Case* GetCase(const CPString& name) = 0;
    // Runs the case import callback into the scenario; answers its result.
    virtual int RunCaseExtraction(Case* caseObject, IHeatIntegrationScenario& scenario) = 0;
    virtual void ReleaseCase(const CPString& name) = 0;
    virtual int CheckSpreadsheet(const CPString& path) = 0;
    virtual ITransferredTable* GetTransferredTable() = 0;
    virtual void FinishTransfer() = 0;
};
