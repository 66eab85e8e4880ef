#include "platform/ListBoxModel.h"

#include "platform/NumberFormat.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kMarkSize = 12;

QPixmap folderMark()
{
    static const QPixmap mark = [] {
        QPixmap pixmap(kMarkSize, kMarkSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x555555));
        // An open folder's disclosure triangle, pointing down.
        const QPointF points[3] = {{2.0, 3.5}, {10.0, 3.5}, {6.0, 9.0}};
        painter.drawPolygon(points, 3);
        return pixmap;
    }();
    return mark;
}

// Rows inside a folder are indented by two marks' widths.
QPixmap indentMark()
{
    static const QPixmap mark = [] {
        QPixmap pixmap(kMarkSize * 2, kMarkSize);
        pixmap.fill(Qt::transparent);
        return pixmap;
    }();
    return mark;
}

} // namespace

ListBoxModel::ListBoxModel(QObject *parent) : QAbstractTableModel(parent)
{
    setColumns(1);
}

void ListBoxModel::setColumns(int count)
{
    beginResetModel();
    m_columns = qMax(1, count);
    clearRows();
    while (m_headings.size() < m_columns) {
        m_headings.append(QString());
    }
    m_alignments.resize(m_columns, Alignment::Left);
    endResetModel();
}

void ListBoxModel::setHeading(int column, const QString &text)
{
    if (column < 0 || column >= m_columns) {
        return;
    }
    m_headings[column] = text;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

QString ListBoxModel::heading(int column) const
{
    return column >= 0 && column < m_columns ? m_headings.at(column) : QString();
}

void ListBoxModel::setColumnAlignment(int column, Alignment alignment)
{
    if (column < 0 || column >= m_columns) {
        return;
    }
    m_alignments[column] = alignment;
    if (!m_refilling && rows() > 0) {
        Q_EMIT dataChanged(index(0, column), index(rows() - 1, column), {Qt::TextAlignmentRole});
    }
}

ListBoxModel::Alignment ListBoxModel::columnAlignment(int column) const
{
    return column >= 0 && column < m_columns ? m_alignments[column] : Alignment::Left;
}

void ListBoxModel::setEvenRowBackground(const QColor &colour)
{
    m_evenBackground = colour;
    if (!m_refilling && rows() > 0) {
        Q_EMIT dataChanged(index(0, 0), index(rows() - 1, m_columns - 1), {Qt::BackgroundRole});
    }
}

int ListBoxModel::addRow()
{
    const int row = rows();
    if (!m_refilling) {
        beginInsertRows(QModelIndex(), row, row);
    }
    m_cells.resize(m_cells.size() + size_t(m_columns));
    m_folder.push_back(0);
    if (!m_refilling) {
        endInsertRows();
    }
    return row;
}

int ListBoxModel::addFolder(QStringView text)
{
    const int row = rows();
    if (!m_refilling) {
        beginInsertRows(QModelIndex(), row, row);
    }
    m_cells.resize(m_cells.size() + size_t(m_columns));
    m_folder.push_back(1);
    m_hasFolders = true;
    storeCell(row, 0, text);
    if (!m_refilling) {
        endInsertRows();
    }
    return row;
}

bool ListBoxModel::isFolder(int row) const
{
    return row >= 0 && row < rows() && m_folder[size_t(row)] != 0;
}

bool ListBoxModel::validCell(int row, int column) const
{
    return row >= 0 && row < rows() && column >= 0 && column < m_columns;
}

void ListBoxModel::storeCell(int row, int column, QStringView text)
{
    Cell &cell = m_cells[size_t(row) * size_t(m_columns) + size_t(column)];
    cell.value = m_text.size();
    cell.length = uint32_t(text.size());
    cell.kind = CellKind::Text;
    m_text.append(text);
}

void ListBoxModel::storeValue(int row, int column, CellKind kind, int64_t value)
{
    if (!validCell(row, column)) {
        return;
    }
    Cell &cell = m_cells[size_t(row) * size_t(m_columns) + size_t(column)];
    cell.value = value;
    cell.length = 0;
    cell.kind = kind;
    if (!m_refilling) {
        const QModelIndex changed = index(row, column);
        Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

void ListBoxModel::setCell(int row, int column, QStringView text)
{
    if (!validCell(row, column)) {
        return;
    }
    storeCell(row, column, text);
    if (!m_refilling) {
        const QModelIndex changed = index(row, column);
        Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

void ListBoxModel::setCellNumber(int row, int column, int64_t value)
{
    storeValue(row, column, CellKind::Number, value);
}

void ListBoxModel::setCellAmount(int row, int column, int64_t value)
{
    storeValue(row, column, CellKind::Amount, value);
}

QString ListBoxModel::cell(int row, int column) const
{
    if (!validCell(row, column)) {
        return QString();
    }
    const Cell &cell = m_cells[size_t(row) * size_t(m_columns) + size_t(column)];
    switch (cell.kind) {
    case CellKind::Number:
        return QString::number(cell.value);
    case CellKind::Amount:
        return formatAmount(cell.value);
    case CellKind::Text:
        break;
    }
    return QStringView(m_text).mid(qsizetype(cell.value), cell.length).toString();
}

void ListBoxModel::clearRows()
{
    // The buffers keep their room: the next refill of a long list does not grow them again.
    m_text.resize(0);
    m_cells.clear();
    m_folder.clear();
    m_hasFolders = false;
}

void ListBoxModel::deleteAllRows()
{
    if (m_refilling) {
        clearRows();
        return;
    }
    beginResetModel();
    clearRows();
    endResetModel();
}

void ListBoxModel::beginRefill()
{
    if (m_refilling) {
        return;
    }
    beginResetModel();
    m_refilling = true;
}

void ListBoxModel::endRefill()
{
    if (!m_refilling) {
        return;
    }
    m_refilling = false;
    endResetModel();
}

int ListBoxModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_refilling ? 0 : rows();
}

int ListBoxModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant ListBoxModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || m_refilling || !validCell(index.row(), index.column())) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return cell(index.row(), index.column());
    case Qt::TextAlignmentRole:
        switch (m_alignments[size_t(index.column())]) {
        case Alignment::Left:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        case Alignment::Center:
            return int(Qt::AlignHCenter | Qt::AlignVCenter);
        case Alignment::Right:
        case Alignment::Decimal:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        }
        return {};
    case Qt::BackgroundRole:
        if (m_evenBackground.isValid() && index.row() % 2 == 0) {
            return m_evenBackground;
        }
        return {};
    case Qt::DecorationRole:
        if (index.column() == 0 && m_hasFolders) {
            if (isFolder(index.row())) {
                return folderMark();
            }
            return indentMark();
        }
        return {};
    default:
        return {};
    }
}

QVariant ListBoxModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return heading(section);
    }
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole) {
        return int(Qt::AlignHCenter | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags ListBoxModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
