#pragma once

#include "util/Signal.h"

#include <QAbstractListModel>

namespace tavu {

class ListBox;

// A list box's items as a Qt model, so that a view shows a hundred thousand songs without a widget
// item for each.
class SongListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit SongListModel(ListBox& list, QObject* parent = nullptr);
    ~SongListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    ListBox& m_list;
    Signal<>::Subscription m_following;
};

} // namespace tavu
