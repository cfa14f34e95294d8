#pragma once
// The feature manager of a case document: the view under which the feature instances of a case
// ("HI Project", "HI Case", ...) live. It names new instances and keeps which feature each one is
// an instance of; an instance that dies is forgotten.
#include "lumeth/Viewable.h"

#include <vector>

class ExpMgrView : public Viewable {
public:
    // A manager at the top of the document's views.
    explicit ExpMgrView(Document* document);
    ~ExpMgrView() override;

    // The base, a blank and the smallest number from 1 that no view under the manager is named
    // with ("HI Project 1").
    Text CreateUniqueName(const Text& base) const;
    // Records `instance` as an instance of the feature; false for null or one already recorded.
    bool AddExperiment(Viewable* instance, const Text& feature);
    int NumberOfExperiments() const { return static_cast<int>(m_experiments.size()); }
    Viewable* Experiment(int index) const;
    Text FeatureOf(const Viewable* instance) const;

    void DisconnectDeadObject(Viewable* dead) override;

private:
    struct Entry {
        Viewable* instance;
        Text feature;
    };
    std::vector<Entry> m_experiments;
};

// The feature manager of a case document; null when it has none.
ExpMgrView* CaseFeatureManager(Document* document);
