#pragma once
// Named colours, fonts and icons. The framework's own colours are constants; the module's are
// registered by name while it loads, into the resource registry that start-up owns and installs.
#include "lumeth/Text.h"

#include <cstdint>
#include <map>
#include <vector>

struct ColourResource {
    Text name;
    std::uint8_t red = 0, green = 0, blue = 0;
    // R in the lowest byte, then G, then B.
    std::uint32_t Packed() const { return red | (green << 8) | (blue << 16); }
    // "#rrggbb", as SVG writes it.
    Text Hex() const;
    bool operator==(const ColourResource& o) const { return red == o.red && green == o.green && blue == o.blue; }
};
using ColourResourceRef = ColourResource;

struct FontResource {
    int number = 0;
    Text name;
    int style = 0;
    double size = 10.0;
};
using FontResourceRef = FontResource;

struct IconResource {
    int id = 0;
    Text name;
};

// The framework's own colours and font.
ColourResource DefaultColour();
ColourResource RedColour();
ColourResource BlueColour();
ColourResource GreenColour();
ColourResource GraphTickColour();
// The framework's sixteen common colours by number (0 black ... 15 white; others: black).
ColourResource GetCommonColour(int number);
FontResource DefaultFont();

class ResourceRegistry {
public:
    ResourceRegistry() = default;
    ~ResourceRegistry();
    ResourceRegistry(const ResourceRegistry&) = delete;
    ResourceRegistry& operator=(const ResourceRegistry&) = delete;

    // A name registered twice keeps both entries; look-ups answer the first.
    void AddColour(const Text& name, int red, int green, int blue);
    void AddFont(int number, const Text& name, int style);
    void AddIcon(int id, const Text& name);
    bool FindColour(const Text& name, ColourResource& out) const;
    bool FindFont(const Text& name, FontResource& out) const;
    bool FindIcon(const Text& name, IconResource& out) const;
    const std::vector<ColourResource>& Colours() const { return m_colours; }
    const std::vector<FontResource>& Fonts() const { return m_fonts; }
    const std::vector<IconResource>& Icons() const { return m_icons; }

    static ResourceRegistry* Current();
    static void Install(ResourceRegistry* registry);

private:
    std::vector<ColourResource> m_colours;
    std::vector<FontResource> m_fonts;
    std::vector<IconResource> m_icons;
};
