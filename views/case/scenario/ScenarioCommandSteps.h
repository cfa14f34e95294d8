#pragma once
// Steps the scenario viewer's command files share: those of every view's command table.
#include "views/ViewCommandSteps.h"

namespace scenario_commands {
using view_commands::longOperation;
using view_commands::token;
}  // namespace scenario_commands
