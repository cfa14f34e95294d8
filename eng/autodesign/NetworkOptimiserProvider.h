#pragma once
// Makes the network optimiser and its pre-run check for the designs of a scenario (the design
// factory hands it to every design it makes).
#include "eng/design/INetworkOptimiser.h"

class NetworkOptimiserProvider : public INetworkOptimiserProvider {
public:
    // Null for a design whose units the optimiser cannot drive.
    std::unique_ptr<INetworkOptimiser> MakeOptimiser(IHENDesign& design, const char* name) override;
    std::unique_ptr<IOptimiserCheck> MakeCheck(IHENDesign& design, const char* name) override;
};
