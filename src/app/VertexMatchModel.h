#pragma once

#include "VertexNameIndex.h"

#include <QAbstractListModel>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

// The few vertices a search lists, as "name (id)" rows with the id in Qt::UserRole: what the
// completer of the search field shows, never the whole graph.
class VertexMatchModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void setMatches(const std::vector<VertexNameIndex::Match>& matches);
    uint32_t idAt(int row) const { return m_rows[size_t(row)].first; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The text of a row: the name, then the id in brackets, which tells equal names apart.
    static QString rowText(const QString& name, uint32_t id);

private:
    std::vector<std::pair<uint32_t, QString>> m_rows;
};
