// The pictures of a network of hundreds of exchangers, drawn by kestrin-host as a user asks for
// them: the grid diagram and the bar chart arrive whole (every unit in them, the document closed
// and well formed) and agree with each other and with the grid's own description.
#include "HostProcess.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kStreams = 80;     // hot streams, and as many cold ones
constexpr int kExchangers = 400;  // five on each hot stream

// Exchanger e joins hot stream e mod 80 with cold stream 7e mod 80 (each cold stream also meets
// five); every hot stream is hotter than every cold one, and each duty leaves every stream a
// residual for the heater or cooler at its end.
struct Tables {
    std::string streams, network;
};

Tables network() {
    Tables t;
    t.streams = "name,supply,target,cp,h,kind\n";
    for (int i = 0; i < kStreams; ++i) t.streams += "H" + std::to_string(i) + ",400,200,10,0.5,process\n";
    for (int i = 0; i < kStreams; ++i) t.streams += "C" + std::to_string(i) + ",20,180,10,0.5,process\n";
    t.streams += "Fired Heat (1000),,,,,utility\nCooling Water,,,,,utility\n";
    std::vector<int> hotPlace(kStreams, 0), coldPlace(kStreams, 0);
    t.network = "name,hot,cold,duty,hot_order,cold_order\n";
    for (int e = 0; e < kExchangers; ++e) {
        const int h = e % kStreams, c = 7 * e % kStreams;
        t.network += "E" + std::to_string(e + 1) + ",H" + std::to_string(h) + ",C" + std::to_string(c) + ",150," +
                     std::to_string(++hotPlace[h]) + "," + std::to_string(++coldPlace[c]) + "\n";
    }
    return t;
}

std::size_t count(const std::string& text, const std::string& word) {
    std::size_t n = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + word.size())) ++n;
    return n;
}

bool wellFormed(const std::string& xml) {
    xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "picture.svg", nullptr,
                                  XML_PARSE_NONET | XML_PARSE_HUGE);
    if (!doc) return false;
    xmlFreeDoc(doc);
    return true;
}

bool closed(const std::string& svg) {
    const std::string end = "</svg>\n";
    return svg.size() > end.size() && svg.compare(svg.size() - end.size(), end.size(), end) == 0;
}

TEST(HostLargePicture, TheGridAndTheBarChartOfAFourHundredExchangerNetworkArriveWhole) {
    const Tables t = network();
    ScratchFile streams("large-picture", "streams.csv", t.streams), exchangers("large-picture", "network.csv", t.network);
    ScratchFile grid("large-picture", "grid.svg", "", false), bars("large-picture", "bars.svg", "", false);
    const std::string tables = streams.path + " " + exchangers.path;

    const HostRun drawn = RunHost("grid " + tables + " --svg " + grid.path + " --json");
    ASSERT_EQ(0, drawn.exitCode) << drawn.out.substr(0, 400);
    const std::string svg = FileContents(grid.path);
    EXPECT_TRUE(closed(svg));
    EXPECT_TRUE(wellFormed(svg));
    EXPECT_EQ(static_cast<std::size_t>(kExchangers), count(svg, "<g class=\"exchanger\""));
    const std::size_t utilities = count(svg, "<g class=\"heater\"") + count(svg, "<g class=\"cooler\"");
    // Every stream keeps a residual: one heater or cooler at each stream's end.
    EXPECT_EQ(static_cast<std::size_t>(2 * kStreams), utilities);
    EXPECT_EQ(static_cast<std::size_t>(2 * kStreams), count(svg, "<g class=\"stream-start\""));
    // The description is drawn from the same diagram: the same units.
    EXPECT_EQ(static_cast<std::size_t>(kExchangers), count(drawn.out, "\"kind\":\"exchanger\""));
    EXPECT_EQ(drawn.out.find('{'), 0u);
    EXPECT_EQ('}', drawn.out.substr(0, drawn.out.find_last_not_of("\n") + 1).back());

    const HostRun charted = RunHost("plot " + tables + " --kind bar --svg " + bars.path);
    ASSERT_EQ(0, charted.exitCode) << charted.out.substr(0, 400);
    const std::string chart = FileContents(bars.path);
    EXPECT_TRUE(closed(chart));
    EXPECT_TRUE(wellFormed(chart));
    // A bar for each unit of the diagram, heaters and coolers among them.
    EXPECT_EQ(kExchangers + utilities, count(chart, "class=\"bar\""));
}

}  // namespace
