#include "lumeth/Messages.h"

#include "lumeth/CaseViewMessages.h"
#include "lumeth/ExtractionMessages.h"
#include "lumeth/DesignViewerMessages.h"
#include "lumeth/ResultAndGridMessages.h"
#include "lumeth/ScenarioMessages.h"
#include "lumeth/Session.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

MessageCatalogue& MessageCatalogue::Instance() {
    static MessageCatalogue catalogue;
    return catalogue;
}

MessageCatalogue::MessageCatalogue() {
    // Labels of the module's configuration keys as the settings dialog shows them.
    m_texts = {
        {"VelmorImportFilePath", "Process simulator case import folder"},
        {"QuorvexImportFilePath", "Flowsheet simulator case import folder"},
        {"ProiiImportFilePath", "PRO/II case import folder"},
        {"ExcelImportFilePath", "Spreadsheet import folder"},
        {"DefaultUtilityFilePath", "Default utilities folder"},
        {"DefaultUtility", "Default utilities file"},
        {"DefaultCapitalCostFilePath", "Default capital costs folder"},
        {"DefaultCapitalCost", "Default capital costs file"},
        {"DefaultHeatTranCoeffFilePath", "Default heat-transfer coefficients folder"},
        {"DefaultHeatTranCoeff", "Default heat-transfer coefficients file"},
        {"SameStreamErrorMsg", "A stream of that name already exists in the scenario."},
        // Range targets.
        {"NoNegativeDT", "The minimum approach temperature must be greater than 0."},
        {"CPISuperTarget", "Calculating targets over the range of minimum approach temperatures..."},
        {"SameStreamDefUtilErrorMsg", "A default utility of that name already exists."},
        // Automatic design: failures (a key ending in a blank is followed by a name) and progress.
        {"MissingStreamInformation", "The scenario has no stream to design a network for."},
        {"IncompleteStreamInformation All", "No stream of the scenario has a temperature segment."},
        {"IncompleteStreamInformation ", "The data of this stream are incomplete:"},
        {"MinimumSegStreamTempDiff ", "Two temperature points of this stream lie closer than 0.01 C:"},
        {"NotHotEnoughHotUtility", "No hot utility is at least 4 C hotter than every cold stream's target."},
        {"NotColdEnoughColdUtility", "No cold utility is at least 4 C colder than every hot stream's target."},
        {"MissingEconomicInformation", "The economic data of the scenario are missing."},
        {"MissingAreaExponent Default", "The area exponent of the DEFAULT cost model is missing."},
        {"MissingPlantLife", "The plant life of the economic data is missing."},
        {"IncompleteEcoInfo ", "This cost model lacks a parameter:"},
        {"NetOptNoFiles", "No solver is available."},
        {"AutomaticDesignSolverFailed", "The solver found no solution of the automatic design model."},
        {"NotEnoughDesignsGenerated", "Fewer designs than wanted could be generated."},
        {"FailedToResolveSuperStructure", "No network structure could be found for the chosen matches."},
        {"GeneratingLinearModel", "Generating the linear model"},
        {"SolvingLinearModel", "Solving the linear model"},
        {"AnalyzingOptimizedSolution", "Analysing the optimised solution"},
        {"RefiningLinearModel", "Refining the linear model"},
        {"SolvingMixedIntegerLinearModel", "Solving the mixed-integer linear model"},
        {"GeneratingSuperStructure", "Generating the superstructure"},
        {"SolvingSuperStructure", "Solving the superstructure"},
        {"BuildingDesign", "Building the design"},
        // Area targets: each solve of the area LP as it starts.
        {"SolvingAreaLinearModel", "Solving the area linear model"},
        {"StageMatchNotPlaced", "A match of the structure found no place in the design; the utilities take its load:"},
        // What every form answers a write it does not take with.
        {"ReadOnlyCell",
         "This value is read-only here: the view works it out from the values given, holds it while the network "
         "operates, or takes none in this cell. To give a value the view works out, first clear the value given that "
         "fixes it (an outlet temperature beside an exchanger's duty, say), or switch a heater or cooler to keep that "
         "value instead; to change a size while the network operates, modify the operation first."},
        {"NotANumber", "This cell takes a number, and \"%s\" is not one."},
        {"ValueNotTaken", "The view does not take this value here."},
        // What a command that did nothing and said nothing answers with.
        {"CommandNotDone", "The command %s was not carried out here: the view had nothing it could do it on."},
        {"ObjectNotAttached", "No view of that name can be chosen or made here:"},
        {"CellTakes", "This cell takes %s."},
    };
    std::size_t count = 0;
    const MessageText* extraction = ExtractionMessageTexts(count);
    for (std::size_t i = 0; i < count; ++i) m_texts.emplace(extraction[i].key, extraction[i].text);
    const MessageText* scenario = ScenarioMessageTexts(count);
    for (std::size_t i = 0; i < count; ++i) m_texts.emplace(scenario[i].key, scenario[i].text);
    const MessageText* design = DesignViewerMessageTexts(count);
    for (std::size_t i = 0; i < count; ++i) m_texts.emplace(design[i].key, design[i].text);
    const MessageText* results = ResultAndGridMessageTexts(count);
    for (std::size_t i = 0; i < count; ++i) m_texts.emplace(results[i].key, results[i].text);
    const MessageText* views = CaseViewMessageTexts(count);
    for (std::size_t i = 0; i < count; ++i) m_texts.emplace(views[i].key, views[i].text);
}

Text MessageCatalogue::FindString(const Text& key, int variant) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (variant == 0) {
        auto it = m_texts.find(key);
        if (it != m_texts.end()) return it->second;
    }
    return key;
}

void MessageCatalogue::SetString(const Text& key, const Text& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_texts[key] = text;
}

bool MessageCatalogue::Contains(const Text& key) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_texts.count(key) != 0;
}

ErrorJournal& ErrorJournal::Instance() {
    static ErrorJournal journal;
    return journal;
}

void ErrorJournal::Add(const Text& key, const Text& text) { Session::Instance().Record(SessionEvent::Error, key, text); }

std::vector<Text> ErrorJournal::Keys() const {
    std::vector<Text> out;
    for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::Error)) out.push_back(e.key);
    return out;
}

std::vector<Text> ErrorJournal::Texts() const {
    std::vector<Text> out;
    for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::Error)) out.push_back(e.text);
    return out;
}

void ErrorJournal::Clear() { Session::Instance().ClearEvents(SessionEvent::Error); }

void ErrorMsg(const Text& key) { ErrorJournal::Instance().Add(key, FindString(key, 0)); }

Text MessageParameter(double value) {
    Text text = FormattedText("%.15g", value);
    if (std::strtod(text.c_str(), nullptr) != value) text = FormattedText("%.17g", value);
    return text;
}

namespace {
constexpr char kNoticeTextSeparator = '\x1f';
}  // namespace

Text NoticeWithTexts(const Text& key, const MessageParameters& texts) {
    Text notice = key;
    for (const Text& text : texts) {
        notice += kNoticeTextSeparator;
        for (const char c : text) notice += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return notice;
}

bool SplitNoticeTexts(const Text& notice, Text& key, MessageParameters& texts) {
    std::size_t at = notice.find(kNoticeTextSeparator);
    if (at == Text::npos) return false;
    key = Text(notice.substr(0, at));
    texts.clear();
    while (at != Text::npos) {
        const std::size_t next = notice.find(kNoticeTextSeparator, at + 1);
        texts.push_back(Text(notice.substr(at + 1, next == Text::npos ? Text::npos : next - at - 1)));
        at = next;
    }
    return true;
}

namespace {

// One conversion at `at` (just past the '%'): flags, width, precision, length, kind.
struct Conversion {
    std::size_t length = 0;  // characters after the '%'
    char kind = 0;
    Text spec;               // "%" flags width precision, without length modifier or kind
};

bool readConversion(const Text& f, std::size_t at, Conversion& out) {
    std::size_t i = at;
    Text spec = "%";
    while (i < f.size() && std::strchr("-+ #0", f[i])) spec += f[i++];
    std::size_t digits = 0;
    while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i]))) spec += f[i++], ++digits;
    if (digits > 4) return false;
    if (i < f.size() && f[i] == '.') {
        spec += f[i++];
        digits = 0;
        while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i]))) spec += f[i++], ++digits;
        if (digits > 4) return false;
    }
    while (i < f.size() && std::strchr("hlLqjzt", f[i])) ++i;
    if (i >= f.size() || !std::strchr("diouxXeEfFgGaAsc", f[i])) return false;
    out.kind = f[i];
    out.length = i + 1 - at;
    out.spec = spec;
    return true;
}

Text formatOne(const Conversion& c, const Text* parameter) {
    const Text value = parameter ? *parameter : Text();
    char buffer[10100];
    const char kind[2] = {c.kind, '\0'};
    switch (c.kind) {
        case 's': {
            // Width and precision by hand: the text may be longer than any buffer.
            const char* spec = c.spec.c_str() + 1;
            bool left = false;
            while (*spec && std::strchr("-+ #0", *spec)) left = left || *spec++ == '-';
            const std::size_t width = std::strtoul(spec, nullptr, 10);
            const char* dot = std::strchr(spec, '.');
            Text text = dot ? Text(value.substr(0, std::strtoul(dot + 1, nullptr, 10))) : value;
            if (text.size() < width) {
                const Text pad(std::string(width - text.size(), ' '));
                text = left ? text + pad : pad + text;
            }
            return text;
        }
        case 'c': return value.empty() ? Text() : Text(value.substr(0, 1));
        case 'd': case 'i': {
            const long n = parameter ? std::strtol(value.c_str(), nullptr, 10) : 0;
            if (!parameter) return Text();
            std::snprintf(buffer, sizeof buffer, (c.spec + "ld").c_str(), n);
            return Text(buffer);
        }
        case 'o': case 'u': case 'x': case 'X': {
            if (!parameter) return Text();
            const unsigned long n = std::strtoul(value.c_str(), nullptr, 10);
            std::snprintf(buffer, sizeof buffer, (c.spec + "l" + kind).c_str(), n);
            return Text(buffer);
        }
        default: {
            if (!parameter) return Text();
            const double v = std::strtod(value.c_str(), nullptr);
            std::snprintf(buffer, sizeof buffer, (c.spec + kind).c_str(), v);
            return Text(buffer);
        }
    }
}

}  // namespace

Text FormatMessage(const Text& format, const MessageParameters& parameters) {
    Text out;
    std::size_t next = 0;
    bool converted = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        Conversion c;
        if (!readConversion(format, i + 1, c)) {
            out += '%';
            continue;
        }
        converted = true;
        out += formatOne(c, next < parameters.size() ? &parameters[next] : nullptr);
        ++next;
        i += c.length;
    }
    if (!converted)
        for (const Text& p : parameters) out += " " + p;
    return out;
}
