#pragma once
// The user's choices for extracting data from a simulator case or a spreadsheet: segmentation,
// live steam, pump temperature shift, reaction heat, the chosen sub-flowsheets, the file to
// extract and which simulator wrote it. Each scenario owns one, made on first use and kept with
// the scenario in the case file (only the settings tree is stored; the sub-flowsheets are chosen
// again at every extraction).
//
// The settings are sub-values of one value tree, one entry per name: setting a name that is there
// already changes that entry in place, and a recalled tree that holds a name twice keeps the
// first. A setting that is missing reads as 0.
#include "dunmor/CPString.h"
#include "osmeri/CPValue.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class ILurmetBinaryFile;

class DataExtractionConfig {
public:
    static constexpr int RecordVersion = 1;
    static constexpr const char* RootName = "DataExtraction";

    DataExtractionConfig();
    virtual ~DataExtractionConfig();
    DataExtractionConfig(const DataExtractionConfig&) = delete;
    DataExtractionConfig& operator=(const DataExtractionConfig&) = delete;

    const CPValue* GetSettings() const { return m_settings.get(); }
    CPValue* GetSettings() { return m_settings.get(); }

    // 1 and the value when the setting exists (a text setting reads as -32767); 0, `value`
    // untouched, when it does not.
    int GetSettingValue(const CPString& name, double& value) const;
    // The setting's number, 0 when missing.
    double GetSetting(const CPString& name) const;
    // Sets the number of a setting, adding it at the end when missing.
    void SetSettingValue(const CPString& name, double value);
    void SetSettingText(const CPString& name, const CPString& text);
    CPString GetSettingText(const CPString& name) const;

    // "VelmorFileToExtract".
    void SetFileToExtract(const CPString& path);
    // "VelmorFileToExtract" becomes the configured folder of the simulator's import files: kind 0
    // "VelmorImport", 1 "QuorvexImport", 2 "ProiiImport"; any other kind changes nothing.
    void SetImportPathForSimulator(int kind);

    // ---- sub-flowsheets ----
    // Each listed sub-flowsheet has an entry, 1 when it is chosen; the import reads the items of
    // the chosen ones (of all while none is listed).
    // Adds a name not listed yet, chosen, and raises "NumberOfSubFlowsheet"; a name listed
    // already changes nothing.
    void AddSubFlowsheet(const CPString& name);
    void ClearSubFlowsheets();
    int GetNumberOfSubFlowsheets() const { return static_cast<int>(m_subFlowsheetNames.size()); }
    const CPString& GetSubFlowsheetName(int index) const;
    bool IsSubFlowsheetChosen(const CPString& name) const;
    // The entry of the index-th listed sub-flowsheet; 0 outside the list.
    int GetSubFlowsheetEntry(int index) const;
    // False (nothing changed) for an index outside the list.
    bool SetSubFlowsheetEntry(int index, int entry);

    // ---- the record: version 1, the settings tree ----
    bool Store(ILurmetBinaryFile& file) const;
    // Reads the record and takes its tree. False when the record cannot be read (the settings
    // stay as they were): a record of another version, or one whose tree does not read. A
    // damaged tree inside an intact record is skipped whole, so that the file reads on after it;
    // a record that cannot even be opened leaves the file failed.
    bool Recall(ILurmetBinaryFile& file);

private:
    CPValue* Find(const CPString& name) const;

    std::unique_ptr<CPValue> m_settings;
    std::vector<CPString> m_subFlowsheetNames;
    std::unordered_map<std::string, int> m_subFlowsheetIndex;
};
