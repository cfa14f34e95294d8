#include "brasko/FeatureManager.h"

#include "brasko/CaseDocument.h"

#include <set>

ExpMgrView::ExpMgrView(Document* document) : Viewable(nullptr, "ViewableObject") {
    SetDocument(document);
    SetName(document ? document->GetName() : Text());
    if (auto* caseDocument = dynamic_cast<CaseDocument*>(document)) caseDocument->SetFeatureManager(this);
}

ExpMgrView::~ExpMgrView() {
    for (const Entry& e : m_experiments) e.instance->RemoveDeathPostee(this);
    m_experiments.clear();
    if (auto* caseDocument = dynamic_cast<CaseDocument*>(OwnerDocument()))
        if (caseDocument->GetFeatureManager() == this) caseDocument->SetFeatureManager(nullptr);
}

Text ExpMgrView::CreateUniqueName(const Text& base) const {
    std::set<Text> taken;
    for (int i = 0; i < GetNumberOfChildren(); ++i) taken.insert(GetChild(i)->GetName());
    // At most one number per child is taken, so the search ends within the children's count.
    for (int n = 1;; ++n) {
        const Text name = base + FormattedText(" %d", n);
        if (!taken.count(name)) return name;
    }
}

bool ExpMgrView::AddExperiment(Viewable* instance, const Text& feature) {
    if (!instance) return false;
    for (const Entry& e : m_experiments)
        if (e.instance == instance) return false;
    m_experiments.push_back({instance, feature});
    instance->AddDeathPostee(this);
    return true;
}

Viewable* ExpMgrView::Experiment(int index) const {
    return index >= 0 && index < NumberOfExperiments() ? m_experiments[static_cast<std::size_t>(index)].instance : nullptr;
}

Text ExpMgrView::FeatureOf(const Viewable* instance) const {
    for (const Entry& e : m_experiments)
        if (e.instance == instance) return e.feature;
    return Text();
}

void ExpMgrView::DisconnectDeadObject(Viewable* dead) {
    std::erase_if(m_experiments, [dead](const Entry& e) { return e.instance == dead; });
    Viewable::DisconnectDeadObject(dead);
}

ExpMgrView* CaseFeatureManager(Document* document) {
    auto* caseDocument = dynamic_cast<CaseDocument*>(document);
    return caseDocument ? caseDocument->GetFeatureManager() : nullptr;
}
