#pragma once
// What the extraction tests share: a project with the production services (and so its own case
// provider), its first scenario, and files written to the test's temporary directory.
#include "eng/extraction/SimulatorCaseProvider.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/Project.h"
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"
#include "eng/core/Registries.h"
#include "module/LoadSteps.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace extraction_test {

inline std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    return path;
}

struct ExtractionProject {
    ExtractionProject() : project(nullptr, "Plant") {
        LoadModuleRegistries();
        project.SetScenarioServices(DefaultScenarioServices());
        project.AddScenario("Base");
        IHeatIntegrationScenario* s = nullptr;
        project.GetScenario("Base", s);
        scenario = dynamic_cast<CPIScenario*>(s);
        provider = dynamic_cast<SimulatorCaseProvider*>(project.GetDataExtraction());
    }
    CPIProject project;
    CPIScenario* scenario = nullptr;
    SimulatorCaseProvider* provider = nullptr;
};

}  // namespace extraction_test
