// libFuzzer target: any bytes as a case file, read as the host reads one (a project recalled
// through the engineering manager, then the views stored after it as the view job opens them, then
// the check that nothing trails the last record). Every record kind a case can hold is reached, the
// engine's and the views' (older views among them). A damaged file must fail cleanly: no crash, no
// invalid access, no leak, no hang.
#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBaseObject.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "views/session/ViewEntries.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LurmetBinaryFile file = LurmetBinaryFile::ForReading(std::vector<std::uint8_t>(data, data + size), "fuzz.case");
    if (!file.Good()) return 0;
    EngineeringManager manager;
    ILurmetBaseObject* object = manager.CreateObject(501, "Kestrin project");
    void* project = nullptr;
    if (object && object->QueryInterface(501, &project) == 1 && project) {
        auto* p = static_cast<IHeatIntegrationProject*>(project);
        // A recalled case is used as the host uses it: its first scenario's targets are read.
        bool read = p->Recall(file);
        // The views after the project: the case view and everything under it, as the view job
        // reads them.
        if (read && !file.AtEnd()) {
            char error[256] = {};
            void* views = KestrinViewOpenCase(&manager, &file, "Kestrin project", nullptr, 0, 0, error, sizeof error);
            read = views != nullptr && file.AtEnd();
            KestrinViewClose(views);
        }
        if (read) {
            IHeatIntegrationScenario* scenario = nullptr;
            if (p->GetScenario(0, scenario) && scenario) {
                (void)scenario->GetUtilityTarget(0);
                (void)scenario->GetAreaTarget(0);
                (void)scenario->GetCostTarget(5);
            }
        }
    }
    if (object) manager.ReleaseObject(object);
    return 0;
}
