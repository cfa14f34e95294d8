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
        // Automatic design: failures (a key ending in a blank is followed by a name) and progress.
        {"MissingStreamInformation", "The scenario has no stream to design a network for."},
        {"IncompleteStreamInformation All", "No stream of the scenario has a temperature segment."},
        {"IncompleteStreamInformation ", "The data of this stream are incomplete:"},
        {"MinimumSegStreamTempDiff ", "Two temperature points of this stream lie closer than 0.01 C:"},
        {"NotHotEnoughHotUtility", "No hot utility is at least 4 C hotter than every cold stream's target."},
        {"NotColdEnoughColdUtility", "No cold utility is at least 4 C colder than every hot stream's target."},
        {"MissingEconomicInformation", "The economic data of the scenario are missing."},
        {"MissingAreaExponent Default", "The area exponent of the DEFAULT cost model is missing."},
        {"MissingPlantLife", "The plant life of the economic data is missing."},
        {"IncompleteEcoInfo ", "This cost model lacks a parameter:"},
        {"NetOptNoFiles", "No solver is available."},
        {"AutomaticDesignSolverFailed", "The solver found no solution of the automatic design model."},
        {"NotEnoughDesignsGenerated", "Fewer designs than wanted could be generated."},
        {"FailedToResolveSuperStructure", "No network structure could be found for the chosen matches."},
        {"GeneratingLinearModel", "Generating the linear model"},
        {"SolvingLinearModel", "Solving the linear model"},
        {"AnalyzingOptimizedSolution", "Analysing the optimised solution"},
        {"RefiningLinearModel", "Refining the linear model"},
        {"SolvingMixedIntegerLinearModel", "Solving the mixed-integer linear model"},
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
