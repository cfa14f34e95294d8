#pragma once
// English texts of the optimiser, retrofit and operation result codes, the grid diagram's menus
// and questions, and the what-if and exchanger forms' captions and refusals.
#include "lumeth/ExtractionMessages.h"

const MessageText* ResultAndGridMessageTexts(std::size_t& count);
