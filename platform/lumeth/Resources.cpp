#include "lumeth/Resources.h"

#include <algorithm>

Text ColourResource::Hex() const { return FormattedText("#%02x%02x%02x", red, green, blue); }

namespace {
ColourResource colour(const char* name, int r, int g, int b) {
    return {name, static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}
}  // namespace

ColourResource DefaultColour() { return colour("DefaultColour", 0, 0, 0); }
ColourResource RedColour() { return colour("RedColour", 255, 0, 0); }
ColourResource BlueColour() { return colour("BlueColour", 0, 0, 255); }
ColourResource GreenColour() { return colour("GreenColour", 0, 128, 0); }
ColourResource GraphTickColour() { return colour("GraphTickColour", 128, 128, 128); }

ColourResource GetCommonColour(int number) {
    static constexpr std::uint8_t kRgb[16][3] = {
        {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    if (number < 0 || number > 15) number = 0;
    const auto& c = kRgb[number];
    return colour(FormattedText("CommonColour%d", number).c_str(), c[0], c[1], c[2]);
}

FontResource DefaultFont() { return {0, "DefaultFont", 0, 10.0}; }

void ResourceRegistry::AddColour(const Text& name, int red, int green, int blue) {
    auto clamp = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    m_colours.push_back({name, clamp(red), clamp(green), clamp(blue)});
}

void ResourceRegistry::AddFont(int number, const Text& name, int style) { m_fonts.push_back({number, name, style, 10.0}); }
void ResourceRegistry::AddIcon(int id, const Text& name) { m_icons.push_back({id, name}); }

bool ResourceRegistry::FindColour(const Text& name, ColourResource& out) const {
    for (const ColourResource& c : m_colours)
        if (c.name == name) return out = c, true;
    return false;
}

bool ResourceRegistry::FindFont(const Text& name, FontResource& out) const {
    for (const FontResource& f : m_fonts)
        if (f.name == name) return out = f, true;
    return false;
}

bool ResourceRegistry::FindIcon(const Text& name, IconResource& out) const {
    for (const IconResource& i : m_icons)
        if (i.name == name) return out = i, true;
    return false;
}

namespace {
ResourceRegistry*& currentResources() {
    static ResourceRegistry* registry = nullptr;
    return registry;
}
}  // namespace

ResourceRegistry* ResourceRegistry::Current() { return currentResources(); }
void ResourceRegistry::Install(ResourceRegistry* registry) { currentResources() = registry; }

ResourceRegistry::~ResourceRegistry() {
    if (currentResources() == this) currentResources() = nullptr;
}
