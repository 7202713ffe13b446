#pragma once

#include "util/Signal.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavu {

// A list box used as storage or shown in a window: its items, a selected index (-1 for none), and,
// when sorted, items kept in ascending order without regard to letter case.
class ListBox {
public:
    explicit ListBox(bool sorted = false) : m_sorted(sorted) {}

    std::size_t count() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    const std::string& item(std::size_t index) const { return m_items.at(index); }
    const std::vector<std::string>& items() const { return m_items; }

    // Adds at the end, or at the sorted place; returns the index it went to.
    std::size_t addItem(std::string text);
    void removeItem(std::size_t index);
    void clear();
    // Replaces all items at once (sorted lists sort them).
    void setItems(std::vector<std::string> items);
    // Adds many items at once, already in the list's order (sortNoCase): a sorted list puts each
    // where addItem would have, in one pass.
    void addSortedItems(std::vector<std::string> items);
    bool sorted() const { return m_sorted; }

    int selectedIndex() const { return m_selected; }
    // "" when nothing is selected.
    const std::string& selectedText() const;
    // Selects index (-1 for none). An index outside the list is refused: nothing changes and the
    // result is false. Selecting runs onSelect, also when the index stays the same.
    bool select(int index);
    // The index of the first item equal to text without regard to letter case, or -1.
    int findNoCase(std::string_view text) const;

    // After every change of the items.
    Signal<> itemsChanged;
    // Runs after every select (the list's click handler).
    std::function<void()> onSelect;
    // After every select, before onSelect: for the windows that show the selection.
    Signal<> selectionChanged;

private:
    void changed();

    bool m_sorted;
    std::vector<std::string> m_items;
    int m_selected = -1;
};

// The items in the order of a sorted list box (by the lower-cased characters, then the bytes; equal
// items keep their order), in O(n log n): each item is lower-cased once, not at every comparison.
std::vector<std::string> sortNoCase(std::vector<std::string> items);

} // namespace tavu
