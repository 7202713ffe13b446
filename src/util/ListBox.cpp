#include "util/ListBox.h"

#include "util/Text.h"
#include "util/Utf8.h"

#include <algorithm>
#include <cstdint>

namespace tavu {

namespace {
const std::string kEmpty;
bool lessNoCase(const std::string& a, const std::string& b)
{
    return compareNoCase(a, b) < 0;
}
} // namespace

std::size_t ListBox::addItem(std::string text)
{
    auto at = m_items.end();
    // Items usually arrive in order (a directory listing): then the new one goes at the end.
    if (m_sorted && !m_items.empty() && lessNoCase(text, m_items.back()))
        at = std::upper_bound(m_items.begin(), m_items.end(), text, lessNoCase);
    const auto index = static_cast<std::size_t>(at - m_items.begin());
    m_items.insert(at, std::move(text));
    if (m_selected >= 0 && static_cast<std::size_t>(m_selected) >= index)
        ++m_selected;
    changed();
    return index;
}

void ListBox::removeItem(std::size_t index)
{
    if (index >= m_items.size())
        return;
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
    if (m_selected == static_cast<int>(index))
        m_selected = -1;
    else if (m_selected > static_cast<int>(index))
        --m_selected;
    changed();
}

void ListBox::clear()
{
    m_items.clear();
    m_selected = -1;
    changed();
}

void ListBox::addSortedItems(std::vector<std::string> items)
{
    if (items.empty())
        return;
    if (!m_sorted || m_items.empty()) {
        if (m_items.empty())
            m_items = std::move(items);
        else
            m_items.insert(m_items.end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
        changed();
        return;
    }
    // A new item goes after the equal ones already there, as addItem puts it.
    std::vector<std::string> merged;
    merged.reserve(m_items.size() + items.size());
    std::size_t old = 0, added = 0;
    int selected = -1;
    while (old < m_items.size() || added < items.size()) {
        const bool takeOld = added == items.size() || (old < m_items.size() && !lessNoCase(items[added], m_items[old]));
        if (takeOld && static_cast<int>(old) == m_selected)
            selected = static_cast<int>(merged.size());
        merged.push_back(std::move(takeOld ? m_items[old++] : items[added++]));
    }
    m_items = std::move(merged);
    m_selected = selected;
    changed();
}

void ListBox::setItems(std::vector<std::string> items)
{
    m_items = std::move(items);
    // A listing comes sorted already; checking is one comparison per item.
    if (m_sorted && !std::is_sorted(m_items.begin(), m_items.end(), lessNoCase))
        std::stable_sort(m_items.begin(), m_items.end(), lessNoCase);
    m_selected = -1;
    changed();
}

const std::string& ListBox::selectedText() const
{
    return m_selected >= 0 ? m_items[static_cast<std::size_t>(m_selected)] : kEmpty;
}

bool ListBox::select(int index)
{
    if (index < -1 || index >= static_cast<int>(m_items.size()))
        return false;
    m_selected = index;
    selectionChanged();
    if (onSelect)
        onSelect();
    return true;
}

int ListBox::findNoCase(std::string_view text) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (equalsNoCase(m_items[i], text))
            return static_cast<int>(i);
    return -1;
}

void ListBox::changed()
{
    itemsChanged();
}

namespace {

// One item's place in the sort: its lower-cased characters and where it stood.
struct Keyed {
    std::u32string key;
    std::uint32_t index;
};

} // namespace

std::vector<std::string> sortNoCase(std::vector<std::string> items)
{
    const std::size_t n = items.size();
    // The order of compareNoCase: the lower-cased characters, then the bytes, then the old place.
    const auto less = [&items](const Keyed& a, const Keyed& b) {
        if (const int c = a.key.compare(b.key); c != 0)
            return c < 0;
        if (const int c = items[a.index].compare(items[b.index]); c != 0)
            return c < 0;
        return a.index < b.index;
    };
    std::vector<Keyed> keyed(n);
    for (std::size_t i = 0; i < n; ++i)
        keyed[i] = {toLower32(decodeUtf8(items[i])), static_cast<std::uint32_t>(i)};
    std::sort(keyed.begin(), keyed.end(), less);
    std::vector<std::string> sorted;
    sorted.reserve(n);
    for (const Keyed& k : keyed)
        sorted.push_back(std::move(items[k.index]));
    return sorted;
}

} // namespace tavu
