// The grid diagram's record: its switches, its annotation choices, every configuration (the six
// presets first, then the user's) and the selection. Items are never stored: they are rebuilt
// from the design.
#include "views/grid/HENDiagram.h"

#include "lumeth/BinaryFile.h"

#include <algorithm>

namespace {
constexpr std::int32_t kAnnotations = 6;
// More stored annotation choices than the six positions are read and dropped; a count beyond
// this is damage, not a newer writer.
constexpr std::int32_t kMostAnnotations = 64;
// Configurations are made by hand, one at a time; a count beyond this is damage.
constexpr std::int32_t kMostConfigurations = 100000;

bool readByte(BinaryFile& file, bool& out) {
    char c = 0;
    if (!file.ReadChar(c)) return false;
    out = c != 0;
    return true;
}
}  // namespace

bool HENDiagram::Store(BinaryFile& file) const {
    bool ok = file.WriteChar(reverseDirection ? 1 : 0) && file.WriteChar(hideUtilityUnits ? 1 : 0) &&
              file.WriteChar(showPinch ? 1 : 0) && file.WriteChar(m_pinchShown ? 1 : 0) && file.WriteInt(kAnnotations);
    for (int choice : m_annotation) ok = ok && file.WriteInt(choice);
    ok = ok && file.WriteInt(static_cast<std::int32_t>(m_configurations.size()));
    for (const auto& c : m_configurations) ok = ok && c->Store(file);
    return ok && file.WriteCPString(m_selectedName) && file.WriteDouble(static_cast<double>(m_selected));
}

// The selected configuration is stored in the order a reopen arranges it in (its design's
// streams as they are now), so that a case saved again after a reopen is the same case.
bool HENDiagram::StoreClassData(BinaryFile& file) {
    if (m_design && m_selected >= 0 && static_cast<std::size_t>(m_selected) < m_configurations.size())
        ArrangeConfigurationStreams(*m_configurations[static_cast<std::size_t>(m_selected)]);
    return Store(file);
}

bool HENDiagram::Recall(BinaryFile& file, int version) {
    bool reverse = false, hide = false, pinch = false, shown = false;
    std::int32_t count = 0;
    if (!readByte(file, reverse) || !readByte(file, hide) || !readByte(file, pinch) || !readByte(file, shown) ||
        !file.ReadItemCount(count) || count > kMostAnnotations)
        return false;
    int annotation[kAnnotations];
    std::copy(std::begin(m_annotation), std::end(m_annotation), annotation);
    for (std::int32_t k = 0; k < count; ++k) {
        std::int32_t v = 0;
        if (!file.ReadInt(v)) return false;
        // A choice the form would refuse is damage; the extra ones are dropped unread.
        if (k < kAnnotations && !HENDiagramConfiguration::HeldLabelChoice(v, k, Text())) return false;
        if (k < kAnnotations) annotation[k] = v;
    }
    // Everything is read into copies first: a record that breaks off changes nothing.
    std::vector<std::unique_ptr<HENDiagramConfiguration>> configurations;
    for (const auto& c : m_configurations)
        if (c->preset) configurations.push_back(std::make_unique<HENDiagramConfiguration>(*c));
    Text selectedName;
    int selected = 0;
    if (version >= 2) {
        std::int32_t n = 0;
        if (!file.ReadItemCount(n) || n > kMostConfigurations) return false;
        for (std::int32_t i = 0; i < n; ++i) {
            if (i >= static_cast<std::int32_t>(configurations.size()))
                configurations.push_back(HENDiagramConfiguration::Create(Text()));
            if (!configurations[static_cast<std::size_t>(i)]->Recall(file, version)) return false;
        }
        CPString name;
        double index = 0.0;
        if (!file.ReadCPString(name) || !file.ReadDouble(index)) return false;
        selectedName = name;
        selected = index >= 0.0 && index < static_cast<double>(configurations.size()) ? static_cast<int>(index) : 0;
        // The name decides when it still names a configuration.
        for (std::size_t i = 0; i < configurations.size(); ++i)
            if (configurations[i]->name == selectedName) selected = static_cast<int>(i);
    } else {
        // An older diagram kept only the stream order: every configuration takes its streams,
        // and the first preset is selected.
        HENDiagramConfiguration order;
        if (!order.Recall(file, version)) return false;
        for (auto& c : configurations) {
            for (const StreamVisibilityEntry& e : order.streams) c->AddStream(e.name);
            c->ArrangeStreams();
        }
        // The stored order and visibility stay those of the first preset.
        HENDiagramConfiguration& first = *configurations.front();
        for (const StreamVisibilityEntry& e : order.streams)
            if (StreamVisibilityEntry* f = first.FindStream(e.name)) f->visible = f->visible && e.visible;
        selected = 0;
    }
    m_configurations = std::move(configurations);
    reverseDirection = reverse, hideUtilityUnits = hide, showPinch = pinch, m_pinchShown = shown;
    SelectConfiguration(selected);
    // The stored switches and choices are those in force, whatever the configuration holds.
    reverseDirection = reverse, showPinch = pinch;
    std::copy(std::begin(annotation), std::end(annotation), m_annotation);
    RebuildEnumeration();
    Invalidate();
    return true;
}

bool HENDiagram::RecallFixUp() {
    if (m_design) SetDesign(m_design);
    return true;
}
