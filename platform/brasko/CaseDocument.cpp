#include "brasko/CaseDocument.h"

IEngineeringManager* CaseEngineeringManager(Document* document) {
    auto* caseDocument = dynamic_cast<CaseDocument*>(document);
    return caseDocument ? caseDocument->GetEngineeringManager() : nullptr;
}

IEngineeringManager* CaseEngineeringManager2(const Viewable* view) {
    return view ? CaseEngineeringManager(view->OwnerDocument()) : nullptr;
}
