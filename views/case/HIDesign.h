#pragma once
// The design view of a single-scenario case: a design viewer with a page number, titled after
// its case, that opens the case's performance, cost and target forms and runs the network
// optimiser on its design after the user confirms.
#include "lumeth/FormDescription.h"
#include "views/design/HIDesignViewerDesign.h"

#include <cstdint>

class HIDesign : public HIDesignViewerDesign {
public:
    static constexpr const char* TypeName = "HIDesignObject";

    HIDesign(Viewable* parent, const Text& name, const ObjectTypeInfo* type) : HIDesignViewerDesign(parent, name, type) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new HIDesign(info.parent, info.name, info.type); }

    int GetPageNumber() const { return pageNumber; }

    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int Message(const Text& line) override;
    Viewable* AttachedObject(const VarDescription& var) override;

    // The variables and command words of the form.
    static void DescribeForm(FormDescription& form);

private:
    int optimize();

    std::int32_t pageNumber = 1;
};
