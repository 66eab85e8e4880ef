#include "platform/ListBoxModel.h"

#include "platform/NumberFormat.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

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

namespace {

// Numbers of 61 bits (about ±1.15e18) and texts of up to 4 Mi characters at offsets below
// 2^40 fit a cell of their own.
constexpr int64_t kPackedLimit = int64_t(1) << 60;
constexpr uint64_t kLengthLimit = uint64_t(1) << 22;
constexpr uint64_t kOffsetLimit = uint64_t(1) << 40;

// Decodes well-formed UTF-8 into `out`, which has room for one unit per byte, and returns
// the end; null for a text that is not well-formed or begins with a byte-order mark, which
// the caller leaves to Qt's decoder (it replaces what is not well-formed).
char16_t *decodeWellFormedUtf8(QByteArrayView text, char16_t *out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = p + text.size();
    const auto continuation = [](unsigned char c) { return (c & 0xC0) == 0x80; };
    if (end - p >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        return nullptr;
    }
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            *out++ = char16_t(c);
            ++p;
        } else if (c >= 0xC2 && c < 0xE0 && end - p >= 2 && continuation(p[1])) {
            *out++ = char16_t(((c & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
        } else if (c >= 0xE0 && c < 0xF0 && end - p >= 3 && continuation(p[1]) && continuation(p[2])) {
            const unsigned u = ((c & 0x0F) << 12) | (unsigned(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            if (u < 0x800 || (u >= 0xD800 && u <= 0xDFFF)) {
                return nullptr;
            }
            *out++ = char16_t(u);
            p += 3;
        } else if (c >= 0xF0 && c < 0xF5 && end - p >= 4 && continuation(p[1]) && continuation(p[2]) &&
                   continuation(p[3])) {
            const unsigned u = ((c & 0x07) << 18) | (unsigned(p[1] & 0x3F) << 12) |
                               (unsigned(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
            if (u < 0x10000 || u > 0x10FFFF) {
                return nullptr;
            }
            *out++ = char16_t(0xD800 + ((u - 0x10000) >> 10));
            *out++ = char16_t(0xDC00 + ((u - 0x10000) & 0x3FF));
            p += 4;
        } else {
            return nullptr;
        }
    }
    return out;
}

} // namespace

void ListBoxModel::store(int row, int column, CellKind kind, int64_t value, uint64_t length)
{
    uint64_t &cell = cellAt(row, column);
    if (kind == Text) {
        if (length < kLengthLimit && uint64_t(value) < kOffsetLimit) {
            cell = (length << 42) | (uint64_t(value) << 2) | Text;
            return;
        }
    } else if (value >= -kPackedLimit && value < kPackedLimit) {
        cell = (uint64_t(value) << 2) | kind;
        return;
    }
    cell = (uint64_t(m_wide.size()) << 2) | Wide;
    m_wide.push_back({kind, value, length});
}

ListBoxModel::WideCell ListBoxModel::unpacked(uint64_t cell) const
{
    switch (CellKind(cell & 3)) {
    case Text:
        return {Text, int64_t((cell >> 2) & (kOffsetLimit - 1)), cell >> 42};
    case Number:
    case Amount:
        // An arithmetic shift keeps the sign.
        return {CellKind(cell & 3), int64_t(cell) >> 2, 0};
    case Wide:
        break;
    }
    return m_wide[size_t(cell >> 2)];
}

void ListBoxModel::changed(int row, int column)
{
    if (!m_refilling) {
        const QModelIndex index = this->index(row, column);
        Q_EMIT dataChanged(index, index, {Qt::DisplayRole});
    }
}

void ListBoxModel::storeCell(int row, int column, QStringView text)
{
    store(row, column, Text, m_text.size(), uint64_t(text.size()));
    m_text.append(text);
}

void ListBoxModel::setCell(int row, int column, QStringView text)
{
    if (!validCell(row, column)) {
        return;
    }
    storeCell(row, column, text);
    changed(row, column);
}

void ListBoxModel::setCellUtf8(int row, int column, QByteArrayView text)
{
    if (!validCell(row, column)) {
        return;
    }
    const qsizetype start = m_text.size();
    // UTF-16 never needs more units than UTF-8 has bytes.
    m_text.resize(start + text.size());
    auto *out = reinterpret_cast<char16_t *>(m_text.data() + start);
    const char16_t *end = decodeWellFormedUtf8(text, out);
    if (!end) {
        end = reinterpret_cast<const char16_t *>(m_decoder.appendToBuffer(m_text.data() + start, text));
    }
    m_text.resize(end - reinterpret_cast<const char16_t *>(m_text.constData()));
    store(row, column, Text, start, uint64_t(m_text.size() - start));
    changed(row, column);
}

void ListBoxModel::setCellNumber(int row, int column, int64_t value)
{
    if (validCell(row, column)) {
        store(row, column, Number, value, 0);
        changed(row, column);
    }
}

void ListBoxModel::setCellAmount(int row, int column, int64_t value)
{
    if (validCell(row, column)) {
        store(row, column, Amount, value, 0);
        changed(row, column);
    }
}

QString ListBoxModel::cell(int row, int column) const
{
    if (!validCell(row, column)) {
        return QString();
    }
    const WideCell cell = unpacked(cellAt(row, column));
    switch (cell.kind) {
    case Number:
        return QString::number(cell.value);
    case Amount:
        return formatAmount(cell.value);
    case Text:
    case Wide:
        break;
    }
    return QStringView(m_text).mid(qsizetype(cell.value), qsizetype(cell.length)).toString();
}

int64_t ListBoxModel::cellValue(int row, int column) const
{
    if (!validCell(row, column)) {
        return 0;
    }
    const WideCell cell = unpacked(cellAt(row, column));
    return cell.kind == Number || cell.kind == Amount ? cell.value : 0;
}

void ListBoxModel::reorderRows(std::vector<uint32_t> &sources)
{
    const size_t count = size_t(rows());
    if (sources.size() != count) {
        return;
    }
    if (!m_refilling) {
        beginResetModel();
    }
    // Each cycle of the permutation in turn, through one row held aside; a row placed is
    // marked in `sources`. Lists read in nearly the right order are mostly rows that stay.
    constexpr uint32_t kPlaced = UINT32_MAX;
    const size_t width = size_t(m_columns);
    std::vector<uint64_t> held(width);
    for (size_t start = 0; start < count; ++start) {
        if (sources[start] == kPlaced || sources[start] == start) {
            continue;
        }
        const auto row = [this, width](size_t index) { return m_cells.begin() + ptrdiff_t(index * width); };
        std::copy(row(start), row(start) + ptrdiff_t(width), held.begin());
        const uint8_t heldFolder = m_folder[start];
        size_t to = start;
        while (true) {
            const size_t from = sources[to];
            sources[to] = kPlaced;
            if (from == start) {
                std::copy(held.begin(), held.end(), row(to));
                m_folder[to] = heldFolder;
                break;
            }
            std::copy(row(from), row(from) + ptrdiff_t(width), row(to));
            m_folder[to] = m_folder[from];
            to = from;
        }
    }
    if (!m_refilling) {
        endResetModel();
    }
}

void ListBoxModel::clearRows()
{
    // The buffers keep their room: the next refill of a long list does not grow them again.
    m_text.resize(0);
    m_cells.clear();
    m_wide.clear();
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
