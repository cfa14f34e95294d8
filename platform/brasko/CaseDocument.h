#pragma once
// The case document as the views reach it: the document a view belongs to carries the
// engineering manager that holds the case's engine objects.
#include "brasko/EngineeringManager.h"
#include "lumeth/Viewable.h"

class ExpMgrView;

class CaseDocument : public Document {
public:
    CaseDocument(const Text& name, IEngineeringManager* manager) : Document(name), m_manager(manager) {}
    IEngineeringManager* GetEngineeringManager() const { return m_manager; }
    // The view the case's feature instances live under (set by the feature manager itself).
    ExpMgrView* GetFeatureManager() const { return m_features; }
    void SetFeatureManager(ExpMgrView* manager) { m_features = manager; }

private:
    IEngineeringManager* m_manager;
    ExpMgrView* m_features = nullptr;
};

// The engineering manager of a document; null for a document that is not a case.
IEngineeringManager* CaseEngineeringManager(Document* document);
// The same from a view, through its owner document.
IEngineeringManager* CaseEngineeringManager2(const Viewable* view);
