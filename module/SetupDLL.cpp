// The configuration entry the host calls after loading the module, and the module's description
// for the host's "info" command.
#include "brasko/EngineObjectRegistry.h"
#include "brasko/LurmetConfigVectorInfo.h"
#include "eng/core/ModuleEntry.h"
#include "eng/core/Registries.h"
#include "lumeth/Messages.h"

#include <cstring>
#include <sstream>
#include <string>

namespace {
const char* const kConfigurationKeys[] = {
    "VelmorImportFilePath",       "QuorvexImportFilePath",      "ProiiImportFilePath",
    "ExcelImportFilePath",        "DefaultUtilityFilePath",     "DefaultUtility",
    "DefaultCapitalCostFilePath", "DefaultCapitalCost",         "DefaultHeatTranCoeffFilePath",
    "DefaultHeatTranCoeff",
};
}  // namespace

extern "C" void SetupDLL() {
    AttachCallingThread();
    LurmetConfigVectorInfo& info = _get_LurmetConfigVectorInfo();
    for (const char* key : kConfigurationKeys) {
        // The label's message key is the configuration key itself.
        Text label = FindString(key, 0);
        info.AddItem(key, label.c_str());
    }
}

// Writes a description of what the loaded module registered. Answers the length the full text
// needs (including the terminating zero); writes at most `size` bytes.
extern "C" int KestrinDescribeModule(char* buffer, int size) {
    AttachCallingThread();
    std::ostringstream out;
    const DLLModule* module = TheDLLModule();
    out << "module: " << (module ? module->szModuleFileName : "(not attached)") << "\n";
    out << "attach count: " << (module ? module->nAttachCount : 0) << "\n";
    out << "engine types:";
    for (int type : GetEngineObjectRegistry().Types()) out << " " << type;
    out << "\n";
    const LurmetConfigVectorInfo& info = _get_LurmetConfigVectorInfo();
    out << "configuration keys: " << info.Count() << "\n";
    for (int i = 0; i < info.Count(); ++i)
        if (const LurmetConfigItem* item = info.Item(i)) out << "  " << item->key << " = " << item->label << "\n";
    if (const ModuleRegistries* r = ModuleRegistries::Get()) {
        out << "node types: " << (r->HENNodeTypeFactories ? r->HENNodeTypeFactories->Length() : 0) << "\n";
        out << "equations: " << (r->HENEquationRegistry ? r->HENEquationRegistry->Length() : 0) << "\n";
        out << "events: " << (r->HENEventRegistry ? r->HENEventRegistry->Length() : 0) << "\n";
        out << "event type names: " << r->HENEventTypeNames.size() << "\n";
        out << "property bounds: " << (r->PropertyBounds ? r->PropertyBounds->Length() : 0) << "\n";
        out << "steam critical temperature: " << r->SteamCriticalTemperature << "\n";
        out << "load steps: " << r->LoadSteps.size() << "\n";
    }
    std::string text = out.str();
    int needed = static_cast<int>(text.size()) + 1;
    if (buffer && size > 0) {
        int n = needed <= size ? needed - 1 : size - 1;
        std::memcpy(buffer, text.data(), static_cast<std::size_t>(n));
        buffer[n] = '\0';
    }
    return needed;
}
