#include "player/SongListModel.h"

#include "bot/ListBox.h"
#include "ui/DisplayName.h"

namespace tavu {

SongListModel::SongListModel(ListBox& list, QObject* parent) : QAbstractListModel(parent), m_list(list)
{
    m_following = m_list.itemsChanged.subscribe([this] {
        beginResetModel();
        endResetModel();
    });
}

SongListModel::~SongListModel() = default;

int SongListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_list.count());
}

QVariant SongListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= static_cast<int>(m_list.count()))
        return {};
    return displayName(m_list.item(static_cast<std::size_t>(index.row())));
}

} // namespace tavu
