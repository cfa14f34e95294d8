#pragma once
// Links from a view record to the engine objects the view shows: the object's engine type and
// the names that lead to it through the case's engineering manager (project, scenario,
// design). A link to nothing is written with type 0 and recalls as null. A recall answers false
// when the record cannot be read, names another kind of project than asked, or names an object
// the case does not hold.
#include "lumeth/BinaryFile.h"

class IEngineeringManager;
class IHENDesign;
class IHeatIntegrationProject;
class IHeatIntegrationScenario;

bool StoreProjectPointer(BinaryFile& file, IHeatIntegrationProject* project);
bool StoreScenarioPointer(BinaryFile& file, IHeatIntegrationScenario* scenario);
// A design is reached through the scenario that holds it.
bool StoreDesignPointer(BinaryFile& file, IHeatIntegrationScenario* scenario, IHENDesign* design);

// A project or a total site.
bool RecallProjectPointer(BinaryFile& file, IEngineeringManager* manager, IHeatIntegrationProject*& out);
// A scenario of a project (type 501), or of a total site (type 502).
bool RecallScenarioPointer(BinaryFile& file, IEngineeringManager* manager, IHeatIntegrationScenario*& out);
bool RecallScenarioTotalSitePointer(BinaryFile& file, IEngineeringManager* manager, IHeatIntegrationScenario*& out);
// A scenario of a project or of a total site, whichever the path written names (a view that
// serves both kinds of scenario and wrote no word of which).
bool RecallScenarioOfEitherOwnerPointer(BinaryFile& file, IEngineeringManager* manager, IHeatIntegrationScenario*& out);
bool RecallDesignPointer(BinaryFile& file, IEngineeringManager* manager, IHENDesign*& out);
bool RecallDesignTotalSitePointer(BinaryFile& file, IEngineeringManager* manager, IHENDesign*& out);
