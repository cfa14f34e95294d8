#include "views/grid/HENDiagramConfiguration.h"

#include "lumeth/BinaryFile.h"
#include "lumeth/ViewRecords.h"

#include <algorithm>
#include <utility>

int CompareNamesIgnoringCase(const Text& a, const Text& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb - 'A' + 'a');
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

namespace {
struct PresetRow {
    const char* className;
    const char* name;
    const char* notes;
    HENDiagramConfiguration::Ordering ordering;
    bool processOnly;
};
using O = HENDiagramConfiguration::Ordering;
const PresetRow kPresets[] = {
    {"OnlyProcessDefaultTemperature", "Preset 1: (Temperature, No Util.)", "ProcessStreamsNotes", O::Temperature, true},
    {"OnlyProcessDefaultHeatLoad", "Preset 2: (Heat Load, No Util.)", "ProcessStreamsNotes", O::HeatLoad, true},
    {"OnlyProcessDefaultAlphabetical", "Preset 3: (Alphabetical, No Util.)", "ProcessStreamsNotes", O::Alphabetical,
     true},
    {"TemperatureDefault", "Preset 4: (Temperature)", "TemperatureNotes", O::Temperature, false},
    {"HeatLoadDefault", "Preset 5: (Heat Load)", "HeatLoadNotes", O::HeatLoad, false},
    {"AlphabeticalDefault", "Preset 6: (Alphabetical)", "AlphabeticalNotes", O::Alphabetical, false},
};
}  // namespace

const std::vector<Text>& HENDiagramConfiguration::PresetClassNames() {
    static const std::vector<Text> names = [] {
        std::vector<Text> out;
        for (const PresetRow& row : kPresets) out.emplace_back(row.className);
        return out;
    }();
    return names;
}

std::unique_ptr<HENDiagramConfiguration> HENDiagramConfiguration::Create(const Text& className) {
    auto c = std::make_unique<HENDiagramConfiguration>();
    for (const PresetRow& row : kPresets)
        if (className == row.className) {
            c->name = row.name;
            c->notes = row.notes;  // the key of the notes text in the host's strings
            c->ordering = row.ordering;
            c->processOnly = row.processOnly;
            c->preset = true;
        }
    return c;
}

StreamVisibilityEntry& HENDiagramConfiguration::AddStream(const Text& streamName) {
    if (StreamVisibilityEntry* e = FindStream(streamName)) {
        e->present = true;
        return *e;
    }
    StreamVisibilityEntry e;
    e.name = streamName;
    streams.push_back(e);
    return streams.back();
}

// A diagram shows tens of streams; a backward scan is cheaper than keeping an index in step
// with every swap of the arranging passes.
StreamVisibilityEntry* HENDiagramConfiguration::FindStream(const Text& streamName) {
    for (auto it = streams.rbegin(); it != streams.rend(); ++it)
        if (it->name == streamName) return &*it;
    return nullptr;
}

bool HENDiagramConfiguration::IsStreamVisible(const Text& streamName) { return AddStream(streamName).visible; }

void HENDiagramConfiguration::RemoveAbsentStreams() {
    std::erase_if(streams, [](const StreamVisibilityEntry& e) { return !e.present; });
}

void HENDiagramConfiguration::ArrangeStreams() {
    if (ordering == Ordering::None) return;
    if (ordering == Ordering::Alphabetical) {
        // By name, then by category keeping the names' order inside each category.
        std::stable_sort(streams.begin(), streams.end(), [](const auto& a, const auto& b) {
            return CompareNamesIgnoringCase(a.name, b.name) < 0;
        });
        std::stable_sort(streams.begin(), streams.end(),
                         [](const auto& a, const auto& b) { return a.Category() > b.Category(); });
    } else {
        const bool byLoad = ordering == Ordering::HeatLoad;
        auto key = [byLoad](const StreamVisibilityEntry& e) { return byLoad ? e.heatLoad : e.HotEndTemperature(); };
        // A selection pass that exchanges only on a strict improvement: equal entries keep the
        // positions the exchanges leave them in, as users have always seen them.
        for (std::size_t i = 0; i < streams.size(); ++i)
            for (std::size_t j = i + 1; j < streams.size(); ++j) {
                const int ci = streams[i].Category(), cj = streams[j].Category();
                if (cj > ci || (cj == ci && key(streams[j]) > key(streams[i]))) {
                    std::swap(streams[i], streams[j]);
                    j = i;  // scan again from the same position
                }
            }
    }
    if (processOnly)
        for (StreamVisibilityEntry& e : streams)
            if (!e.process) e.visible = false;
}

namespace {
constexpr std::int32_t kAnnotationCount = 6;
// More stored annotation choices than the six positions are read and dropped; a count beyond
// this is damage, not a newer writer.
constexpr std::int32_t kMostAnnotationChoices = 64;
}  // namespace

bool HENDiagramConfiguration::Store(BinaryFile& file) const {
    bool ok = file.WriteInt(static_cast<std::int32_t>(streams.size()));
    for (const StreamVisibilityEntry& e : streams)
        ok = ok && file.WriteCPString(e.name) && file.WriteChar(e.visible ? 1 : 0) && file.WriteChar(e.present ? 1 : 0);
    ok = ok && file.WriteCPString(name) && file.WriteCPString(notes) && file.WriteInt(kAnnotationCount);
    for (int choice : annotationChoices) ok = ok && file.WriteInt(choice);
    return ok && file.WriteChar(reverseDirection ? 1 : 0) && file.WriteChar(showPinch ? 1 : 0);
}

bool HENDiagramConfiguration::HeldLabelChoice(int choice, int position, const Text& owner) {
    return IsLabelChoice(choice) ||
           ViewRecords::Refuse((owner.empty() ? std::string() : "preset \"" + std::string(owner.c_str()) + "\": ") +
                               "label choice " + std::to_string(choice) + " at annotation " + std::to_string(position) +
                               ", none of the entries 0 to " + std::to_string(LastLabelChoice));
}

bool HENDiagramConfiguration::Recall(BinaryFile& file, int version) {
    std::int32_t n = 0;
    if (!file.ReadItemCount(n)) return false;
    std::vector<StreamVisibilityEntry> read;
    for (std::int32_t i = 0; i < n; ++i) {
        StreamVisibilityEntry e;
        CPString entryName;
        char visible = 0, present = 0;
        if (!file.ReadCPString(entryName) || !file.ReadChar(visible) || !file.ReadChar(present)) return false;
        e.name = entryName;
        e.visible = visible != 0;
        e.present = present != 0;
        read.push_back(e);
    }
    Text newName = name, newNotes = notes;
    int choices[kAnnotationCount];
    std::copy(std::begin(annotationChoices), std::end(annotationChoices), choices);
    bool reverse = reverseDirection, pinch = showPinch;
    if (version >= 2) {
        CPString a, b;
        std::int32_t count = 0;
        if (!file.ReadCPString(a) || !file.ReadCPString(b) || !file.ReadItemCount(count)) return false;
        if (count > kMostAnnotationChoices) return false;
        for (std::int32_t k = 0; k < count; ++k) {
            std::int32_t v = 0;
            if (!file.ReadInt(v)) return false;
            if (k < kAnnotationCount && !HeldLabelChoice(v, k, a.empty() ? name : Text(a))) return false;
            if (k < kAnnotationCount) choices[k] = v;
        }
        char r = 0, p = 0;
        if (!file.ReadChar(r) || !file.ReadChar(p)) return false;
        newName = a, newNotes = b, reverse = r != 0, pinch = p != 0;
    }
    streams = std::move(read);
    name = newName, notes = newNotes;
    std::copy(std::begin(choices), std::end(choices), annotationChoices);
    reverseDirection = reverse, showPinch = pinch;
    return true;
}
