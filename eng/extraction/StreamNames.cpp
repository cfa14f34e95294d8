// Scenario stream names from the simulator's own object names, so that a user finds a stream
// again in the simulation and a later refresh finds the same stream.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "eng/extraction/CaseItemAccess.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/model/IHeatIntegrationScenario.h"

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
