#pragma once
// The read-only view of one operating state of a design (form "chihenstate"): its streams with
// their temperatures, its utilities with duties and costs, its exchangers with temperatures,
// duty, area, coefficient, fouling and shells, and its splitters with their branch fractions.
// The design viewer makes it for the design's own state; it is never stored, and it closes when
// the state goes away (change code 10).
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"

class IHENState;

class HENStateView : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "HENStateViewObject";
    static constexpr int StateGoing = 10;

    HENStateView(Viewable* parent, const ObjectTypeInfo* type) : Viewable(parent, type) {}
    ~HENStateView() override;

    // Binds the view to a state (listening for its end); null unbinds.
    void SetState(IHENState* state);
    IHENState* GetState() const { return pState; }

    double Value(const VarDescription& var) override;
    Text TextValue(const VarDescription& var) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void NotifyChange(int code, const CPString& text, void* data) override;

    static void LoadVariables(FormDescription& form);

private:
    double ExchangerValue(int index, const char* name) const;

    IHENState* pState = nullptr;
};
