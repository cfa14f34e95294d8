// Scenario stream names from the simulator's own object names, so that a user finds a stream
// again in the simulation and a later refresh finds the same stream.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "lumeth/NewRowMarker.h"
#include "brasko/DefaultManager.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/NewRowMarker.h"
#include "pellin/CNode.h"
#include "ralvex/Case.h"

#include <string>

namespace {
constexpr std::size_t kMaxNameLength = 254;
}

CPString VelmorToTarsilImport::MakeProcessStreamName(const CPItem* inlet, const CPItem* outlet) const {
    if (!inlet || !outlet || !m_scenario) return CPString();
    CPString inName;
    const bool haveIn = TextValue(inlet, "VelmorName", inName);
    DataExtractionConfig* config = m_scenario->GetDataExtractionConfig();
    if (config && config->GetSetting("TransferFromExcel") != 0.0) {
        // A spreadsheet row's name carries its place after a "$".
        const std::size_t dollar = inName.find('$');
        return dollar == std::string::npos ? inName : CPString(inName.substr(0, dollar));
    }
    CPString inFs, outFs, outName;
    const bool haveInFs = TextValue(inlet, "VelmorFlowsheetName", inFs);
    const bool haveOutFs = TextValue(outlet, "VelmorFlowsheetName", outFs);
    const bool haveOut = TextValue(outlet, "VelmorName", outName);
    CPString name;
    if (haveIn) name += inName;
    if (haveInFs && haveOutFs && inFs != "Main" && inFs != outFs) {
        name += "@";
        name += inFs;
    }
    name += "_To_";
    if (haveOut) name += outName;
    if (haveOutFs && haveInFs && inFs != "Main") {
        name += "@";
        name += outFs;
    }
    return name;
}

void VelmorToTarsilImport::CleanObjectName(CPString& name) {
    if (name.empty()) return;
    std::size_t i = name[0] == '_' ? 1 : 0;
    CPString out;
    for (; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '@') {
            out += '_';
            out += name.substr(i + 1);
            break;
        }
        if (c == ' ') {
            if (i + 1 < name.size() && name[i + 1] == '@') continue;
            out += '_';
        } else if (c == '(' || c == ')' || c == '-') {
            out += '_';
        } else {
            out += c;
        }
    }
    if (out.size() > kMaxNameLength) out.resize(kMaxNameLength);
    name = out;
}

CPString VelmorToTarsilImport::FreeName(const CPString& name, const std::function<bool(const CPString&)>& taken) {
    if (!taken(name)) return name;
    // Each taken candidate is a name some object holds, so the count ends within one more than
    // the number of objects.
    for (int n = 2;; ++n) {
        CPString candidate = name + "_" + std::to_string(n);
        if (!taken(candidate)) return candidate;
    }
}

CPString VelmorToTarsilImport::FreeCaseItemName(const CPString& name) const {
    return FreeName(name, [this](const CPString& n) { return m_case && m_case->GetItemByName(n); });
}

CPString VelmorToTarsilImport::FreeStreamName(const CPString& name) const {
    // A default utility's name is taken too: the network extraction adds utility streams by those
    // names later, and would find a process stream under one.
    IDefaultUtilityManager* manager = nullptr;
    if (!m_scenario || m_scenario->GetDefaultUtilityManager(manager) != 1) manager = nullptr;
    DefaultManager* site = nullptr;
    if (!m_scenario || !m_scenario->IsTotalSiteScenario() || m_scenario->GetSiteUtilityManager(site) != 1) site = nullptr;
    // The table's new-row marker names no stream: a case item of that name takes a free name too.
    return FreeName(name, [this, manager, site](const CPString& n) {
        IHeatIntegrationStream* stream = nullptr;
        return IsNewRowMarker(n.c_str()) || (m_scenario && m_scenario->GetStream(n, stream) && stream) || (manager && manager->Exists(n.c_str())) ||
               (site && site->Exists(n.c_str()));
    });
}

CPString VelmorToTarsilImport::FreeUnitName(const CPString& name) const {
    IHENDesign* design = GetBaseDesign();
    return FreeName(name, [this, design](const CPString& n) {
        return (m_case && m_case->GetItemByName(n)) || (design && design->GetNodeByName(n));
    });
}
