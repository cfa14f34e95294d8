#pragma once
// A context menu as a view builds it (the framework's object inspector): items with a number and
// a text, optionally an icon; the item numbers 32, 33 and 34 open a sub-menu with the given
// label, close the current sub-menu and add a separator.
#include "lumeth/Text.h"

#include <vector>

class MenuModel {
public:
    static constexpr int OpenSubMenu = 32;
    static constexpr int CloseSubMenu = 33;
    static constexpr int Separator = 34;

    struct Item {
        int number = 0;       // 0 for a sub-menu or a separator
        Text text;
        Text icon;
        bool separator = false;
        std::vector<Item> children;  // a sub-menu's items
        bool IsSubMenu() const { return number == 0 && !separator; }
    };

    void AddItem(int number, const Text& text);
    void AddItemWithIcon(int number, const Text& text, const Text& icon);
    const std::vector<Item>& Items() const { return m_root; }
    // Whether a choosable item of that number is anywhere in the menu.
    bool Contains(int number) const;
    bool IsEmpty() const { return m_root.empty(); }
    void Clear();
    // One line per entry, sub-menu items indented by two blanks per level.
    Text Dump() const;

private:
    std::vector<Item>& Current();
    std::vector<Item> m_root;
    std::vector<std::size_t> m_open;  // path of positions to the open sub-menu
};
