#include "VertexMatchModel.h"

void VertexMatchModel::setMatches(const std::vector<VertexNameIndex::Match>& matches) {
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(matches.size());
    for (const VertexNameIndex::Match& m : matches) {
        m_rows.emplace_back(m.id, QString::fromUtf8(m.name.data(), qsizetype(m.name.size())));
    }
    endResetModel();
}

int VertexMatchModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant VertexMatchModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto& [id, name] = m_rows[size_t(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return rowText(name, id);
        case Qt::UserRole:
            return QVariant::fromValue(id);
        default:
            return {};
    }
}

QString VertexMatchModel::rowText(const QString& name, uint32_t id) {
    return QStringLiteral("%1 (%2)").arg(name).arg(id);
}
