#include "lumeth/MenuModel.h"

std::vector<MenuModel::Item>& MenuModel::Current() {
    std::vector<Item>* items = &m_root;
    for (std::size_t at : m_open) items = &(*items)[at].children;
    return *items;
}

void MenuModel::AddItem(int number, const Text& text) { AddItemWithIcon(number, text, Text()); }

void MenuModel::AddItemWithIcon(int number, const Text& text, const Text& icon) {
    if (number == CloseSubMenu) {
        // A close without an open sub-menu is ignored.
        if (!m_open.empty()) m_open.pop_back();
        return;
    }
    std::vector<Item>& items = Current();
    Item item;
    item.text = text;
    item.icon = icon;
    if (number == Separator) {
        item.separator = true;
        items.push_back(item);
    } else if (number == OpenSubMenu) {
        items.push_back(item);
        m_open.push_back(items.size() - 1);
    } else {
        item.number = number;
        items.push_back(item);
    }
}

namespace {
bool contains(const std::vector<MenuModel::Item>& items, int number) {
    for (const MenuModel::Item& i : items)
        if ((i.number == number && number != 0) || contains(i.children, number)) return true;
    return false;
}
void dump(const std::vector<MenuModel::Item>& items, int depth, Text& out) {
    for (const MenuModel::Item& i : items) {
        out += Text(std::string(static_cast<std::size_t>(depth) * 2, ' '));
        if (i.separator) out += "----\n";
        else if (i.IsSubMenu()) out += "> " + i.text + "\n";
        else out += FormattedText("%d %s%s%s\n", i.number, i.text.c_str(), i.icon.empty() ? "" : " icon=", i.icon.c_str());
        dump(i.children, depth + 1, out);
    }
}
}  // namespace

bool MenuModel::Contains(int number) const { return contains(m_root, number); }

void MenuModel::Clear() {
    m_root.clear();
    m_open.clear();
}

Text MenuModel::Dump() const {
    Text out;
    dump(m_root, 0, out);
    return out;
}
