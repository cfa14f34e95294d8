// The refresh over streams the extraction cut from one another: where the temperature turned, or
// at a valve or pump, one line of the case became several streams, each ending on a copy of the
// case stream the next one starts on. The solved case is judged over the whole line again, and a
// stream kept at its earlier values keeps the ones it meets at such a cut with it.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "brasko/ReportHolder.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Messages.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

std::vector<VelmorToTarsilImport::CutLine> VelmorToTarsilImport::CutLines() const {
    const std::size_t n = m_streamChains.size();
    std::unordered_map<const CPItem*, std::size_t> startedBy;
    for (std::size_t i = 0; i < n; ++i)
        if (const StreamChain* chain = m_streamChains[i].second.get(); chain && chain->First())
            startedBy.emplace(chain->First(), i);
    // A cut ends the part before it on a copy of the stream the part after it starts on.
    std::vector<std::size_t> next(n, n);
    std::vector<const CPItem*> at(n, nullptr);
    std::vector<bool> follows(n, false);
    for (std::size_t i = 0; i < n; ++i) {
        const StreamChain* chain = m_streamChains[i].second.get();
        CPItem* last = chain ? chain->Last() : nullptr;
        if (!IsDuplicate(last)) continue;
        const auto j = startedBy.find(CaseItemBehind(last));
        if (j == startedBy.end() || j->second == i) continue;
        next[i] = j->second;
        at[i] = j->first;
        follows[j->second] = true;
    }
    std::vector<CutLine> lines;
    std::vector<bool> seen(n, false);
    for (std::size_t i = 0; i < n; ++i) {
        if (follows[i] || next[i] == n) continue;
        CutLine line;
        // Each chain is met once: a line never runs round into itself.
        for (std::size_t k = i; k < n && !seen[k]; k = next[k]) {
            seen[k] = true;
            if (!line.chains.empty()) line.points.push_back(at[line.chains.back()]);
            line.chains.push_back(k);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

void VelmorToTarsilImport::KeepStreamsMeetingKept(std::unordered_set<std::string>& kept) {
    for (const CutLine& line : CutLines()) {
        const std::size_t n = line.chains.size();
        std::vector<std::string> names;
        std::vector<bool> keep, exists;
        for (std::size_t k : line.chains) {
            const CPString& name = m_streamChains[k].first;
            IHeatIntegrationStream* stream = nullptr;
            names.emplace_back(name.c_str());
            keep.push_back(kept.count(names.back()) != 0);
            exists.push_back(m_scenario->GetStream(name, stream) && stream);
        }
        // Outward from each kept stream, downstream and then upstream along the line; a stream the
        // extraction did not keep in the scenario parts the line.
        const auto meet = [&](std::size_t to, std::size_t from, const CPItem* point) {
            if (keep[to] || !keep[from] || !exists[to] || !exists[from]) return;
            keep[to] = true;
            kept.insert(names[to]);
            ReportWarning("Streams_Not_Refreshed", "ExtractionStreamsNotRefreshed",
                          FormatMessage(FindString("ExtractionStreamMeetsKept"),
                                        {names[to].c_str(), names[from].c_str(), point->_get_szName()}));
        };
        for (std::size_t k = 1; k < n; ++k) meet(k, k - 1, line.points[k - 1]);
        for (std::size_t k = n - 1; k > 0; --k) meet(k - 1, k, line.points[k - 1]);
    }
}

void VelmorToTarsilImport::RestateTemperatureReversals() {
    ReportHolder* report = Report();
    if (!report) return;
    const double shift = Setting("ShiftTempsForPumps");
    const auto lineAt = [](const CPItem* stream) {
        return std::string(FormatMessage(FindString("ExtractionTempInversionAt"), {stream->_get_szName()}).c_str());
    };
    // The case streams of each line of streams, upstream first, each once (the copy that ends a
    // part before a cut stands for the stream the next part starts on); a stream cut from nothing
    // is a line of its own.
    std::vector<std::vector<CPItem*>> walks;
    std::vector<bool> onLine(m_streamChains.size(), false);
    for (const CutLine& line : CutLines()) {
        std::vector<CPItem*> streams;
        for (std::size_t k = 0; k < line.chains.size(); ++k) {
            onLine[line.chains[k]] = true;
            const std::vector<CPItem*>& own = m_streamChains[line.chains[k]].second->streams;
            const bool endsOnCopy = k + 1 < line.chains.size();
            streams.insert(streams.end(), own.begin(), endsOnCopy ? own.end() - 1 : own.end());
        }
        walks.push_back(std::move(streams));
    }
    for (std::size_t i = 0; i < m_streamChains.size(); ++i)
        if (!onLine[i] && m_streamChains[i].second) walks.push_back(m_streamChains[i].second->streams);

    // A walk names only a stream inside it: what the extraction said of a line's ends (a cut from a
    // chain that made no stream) stands.
    std::unordered_set<std::string> judged;
    std::vector<std::string> turns;
    for (const std::vector<CPItem*>& streams : walks) {
        for (std::size_t k = 1; k + 1 < streams.size(); ++k) judged.insert(lineAt(CaseItemBehind(streams[k])));
        // Cut as the extraction cuts: by temperature, then each part by enthalpy.
        std::vector<StreamChain> parts(1);
        parts[0].streams = streams;
        for (bool useTemperature : {true, false}) {
            std::vector<StreamChain> cutOff;
            for (StreamChain& part : parts) {
                bool turnsHere = false;
                while (CPItem* at = FindReversalCut(part, useTemperature, shift, turnsHere)) {
                    if (turnsHere) turns.push_back(lineAt(at));
                    const auto from = std::find(part.streams.begin(), part.streams.end(), at);
                    StreamChain front;
                    front.streams.assign(part.streams.begin(), from + 1);
                    part.streams.erase(part.streams.begin(), from);
                    cutOff.push_back(std::move(front));
                }
            }
            for (StreamChain& c : cutOff) parts.push_back(std::move(c));
        }
    }

    const char* path = "Warnings:Temperature_reversal";
    std::vector<std::string> lines;
    std::unordered_set<std::string> said;
    if (report->HasEntry(path)) {
        const std::string text = report->GetText(path).c_str();
        for (std::size_t from = 0; from <= text.size();) {
            std::size_t to = text.find('\n', from);
            if (to == std::string::npos) to = text.size();
            std::string line = text.substr(from, to - from);
            if (!line.empty() && !judged.count(line) && said.insert(line).second) lines.push_back(std::move(line));
            from = to + 1;
        }
    }
    for (std::string& line : turns)
        if (said.insert(line).second) lines.push_back(std::move(line));
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    // Where it stays, the warning keeps its place among the others.
    if (report->HasEntry(path)) report->SetText(path, text.c_str());
    else if (!text.empty()) ReportWarning("Temperature_reversal", "ExtractionTempInversion", text.c_str());
}
