#include "eng/autodesign/NetworkOptimiserProvider.h"

#include "eng/autodesign/DesignOptimiserNetwork.h"
#include "eng/autodesign/NetworkOptimiser.h"
#include "eng/autodesign/OptimiserCheck.h"

std::unique_ptr<INetworkOptimiser> NetworkOptimiserProvider::MakeOptimiser(IHENDesign& design, const char* name) {
    if (!DesignOptimiserNetwork::Make(&design)) return nullptr;
    return std::make_unique<NetworkOptimiser>(&design, name);
}

std::unique_ptr<IOptimiserCheck> NetworkOptimiserProvider::MakeCheck(IHENDesign& design, const char* name) {
    return std::make_unique<OptimiserCheck>(&design, name);
}
