#pragma once
// How an exchanger learns its capital cost. The flowsheet does not know the cost laws: its owner
// installs this callback (`FlowSheet::SetCostLaw`), answering from the same cost functions and
// economic data as the cost targets, so that an exchanger and a target of the same area cost the
// same.
#include "dunmor/CPString.h"

class IExchangerCostLaw {
public:
    virtual ~IExchangerCostLaw() = default;

    // Installed cost of one exchanger of `area` (m2) in `shells` shells under the cost model
    // `model` ("DEFAULT" unless the exchanger names another). False when the model is unknown
    // or the cost cannot be priced; the exchanger then shows no cost.
    virtual bool CapitalCost(const CPString& model, double area, double shells, double& cost) const = 0;
    // The capital cost spread over the plant life, per second (cost x capital-recovery factor of
    // the model's rate and life x 3.1709792e-8), as the cost targets annualise.
    virtual double AnnualisedCost(const CPString& model, double capitalCost) const = 0;
};
