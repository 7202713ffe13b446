#include "bot/ListBox.h"

#include "util/Text.h"

#include <algorithm>

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

} // namespace tavu
