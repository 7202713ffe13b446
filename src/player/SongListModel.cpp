#include "player/SongListModel.h"

#include "player/ListBox.h"
#include "util/DisplayName.h"

namespace tavu {

SongListModel::SongListModel(ListBox& list, QObject* parent) : QAbstractListModel(parent), m_list(list)
{
    m_list.onItemsChanged = [this] {
        beginResetModel();
        endResetModel();
    };
}

SongListModel::~SongListModel()
{
    m_list.onItemsChanged = nullptr;
}

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
