#include "lumeth/Messages.h"

#include "lumeth/Session.h"

MessageCatalogue& MessageCatalogue::Instance() {
    static MessageCatalogue catalogue;
    return catalogue;
}

MessageCatalogue::MessageCatalogue() {
    // Labels of the module's configuration keys as the settings dialog shows them.
    m_texts = {
        {"VelmorImportFilePath", "Process simulator case import folder"},
        {"QuorvexImportFilePath", "Flowsheet simulator case import folder"},
        {"ProiiImportFilePath", "PRO/II case import folder"},
        {"ExcelImportFilePath", "Spreadsheet import folder"},
        {"DefaultUtilityFilePath", "Default utilities folder"},
        {"DefaultUtility", "Default utilities file"},
        {"DefaultCapitalCostFilePath", "Default capital costs folder"},
        {"DefaultCapitalCost", "Default capital costs file"},
        {"DefaultHeatTranCoeffFilePath", "Default heat-transfer coefficients folder"},
        {"DefaultHeatTranCoeff", "Default heat-transfer coefficients file"},
        {"SameStreamErrorMsg", "A stream of that name already exists in the scenario."},
        {"SameStreamDefUtilErrorMsg", "A default utility of that name already exists."},
    };
}

Text MessageCatalogue::FindString(const Text& key, int variant) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (variant == 0) {
        auto it = m_texts.find(key);
        if (it != m_texts.end()) return it->second;
    }
    return key;
}

void MessageCatalogue::SetString(const Text& key, const Text& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_texts[key] = text;
}

bool MessageCatalogue::Contains(const Text& key) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_texts.count(key) != 0;
}

ErrorJournal& ErrorJournal::Instance() {
    static ErrorJournal journal;
    return journal;
}

void ErrorJournal::Add(const Text& key, const Text& text) { Session::Instance().Record(SessionEvent::Error, key, text); }

std::vector<Text> ErrorJournal::Keys() const {
    std::vector<Text> out;
    for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::Error)) out.push_back(e.key);
    return out;
}

std::vector<Text> ErrorJournal::Texts() const {
    std::vector<Text> out;
    for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::Error)) out.push_back(e.text);
    return out;
}

void ErrorJournal::Clear() { Session::Instance().ClearEvents(SessionEvent::Error); }

void ErrorMsg(const Text& key) { ErrorJournal::Instance().Add(key, FindString(key, 0)); }
