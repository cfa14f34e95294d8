// Column, energy-stream and separator duties, and the simulation utilities.
#include "eng/extraction/VelmorToTarsilImport.h"
void VelmorToTarsilImport::ExtractReboilersAndCondensers() {}
void VelmorToTarsilImport::ImportSimulationUtilities(bool) {}
