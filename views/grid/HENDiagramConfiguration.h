#pragma once
// The order and visibility of a grid diagram's stream lines. Six presets order the streams by
// category (cold utilities, hot process, cold process, hot utilities) and inside a category by
// hot-end temperature, heat load or name; three of them hide the utilities. A user configuration
// keeps whatever order it was given.
#include "lumeth/Text.h"

class BinaryFile;

#include <memory>
#include <vector>

struct StreamVisibilityEntry {
    Text name;
    bool visible = true;
    bool present = true;
    double supplyTemperature = 0.0, targetTemperature = 0.0, heatLoad = 0.0;
    bool cold = false;
    bool process = true;

    // 3 cold utility, 2 hot process, 1 cold process, 0 hot utility.
    int Category() const { return process ? (cold ? 1 : 2) : (cold ? 3 : 0); }
    double HotEndTemperature() const { return cold ? targetTemperature : supplyTemperature; }
};

// Names compare with ASCII case folding.
int CompareNamesIgnoringCase(const Text& a, const Text& b);

class HENDiagramConfiguration {
public:
    enum class Ordering { None, Temperature, HeatLoad, Alphabetical };

    // One of the six preset class names gives that preset; any other name a plain user configuration.
    static std::unique_ptr<HENDiagramConfiguration> Create(const Text& className);
    // The class names of the six presets, in list order.
    static const std::vector<Text>& PresetClassNames();
    // What an annotation position shows: one of the label table's entries, from nothing (0) to the
    // unit's name (8). The form takes no other, and neither does a record.
    static constexpr int LastLabelChoice = 8;
    static bool IsLabelChoice(int choice) { return choice >= 0 && choice <= LastLabelChoice; }
    // A label choice a record holds at annotation `position`: one of the entries, else damage
    // noted with the value (`owner` names a preset's own, empty for the diagram's).
    static bool HeldLabelChoice(int choice, int position, const Text& owner);

    virtual ~HENDiagramConfiguration() = default;
    virtual void ArrangeStreams();

    StreamVisibilityEntry& AddStream(const Text& name);
    StreamVisibilityEntry* FindStream(const Text& name);
    bool IsStreamVisible(const Text& name);
    void RemoveAbsentStreams();

    // The configuration's part of the diagram record; `version` is the diagram's stored class
    // version (1 kept only the streams). A failed read leaves the configuration as it was.
    bool Store(BinaryFile& file) const;
    bool Recall(BinaryFile& file, int version = 2);

    std::vector<StreamVisibilityEntry> streams;
    Text name, notes;
    int annotationChoices[6] = {7, 2, 7, 1, 1, 1};
    bool reverseDirection = false, showPinch = false, preset = false;
    Ordering ordering = Ordering::None;
    bool processOnly = false;
};
