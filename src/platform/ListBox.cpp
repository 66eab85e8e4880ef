#include "platform/ListBox.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>

ListBox::ListBox(QWidget *parent) : QTableView(parent), m_model(new ListBoxModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Always shown, so the percentage widths do not shift when the bar comes and goes.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setSortingEnabled(false);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView *header = horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    header->hide();
    setFixedRowHeight(fontMetrics().height() + 4);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_settingSelection) {
            raiseChange();
        }
    });
    connect(this, &QAbstractItemView::pressed, this, [this](const QModelIndex &index) {
        if (m_clickHandler && index.isValid()) {
            m_clickHandler(index.row(), index.column());
        }
    });
}

ListBox::Refill::Refill(ListBox &list) : m_list(list)
{
    m_list.beginRefill();
}

ListBox::Refill::~Refill()
{
    m_list.endRefill();
}

void ListBox::beginRefill()
{
    if (m_refillDepth++ > 0) {
        return;
    }
    const bool hadSelection = listIndex() >= 0;
    m_model->beginRefill();
    m_model->deleteAllRows();
    m_lastIndex = -1;
    if (hadSelection) {
        // The reset drops the selection silently; the handler hears of it as the platform's
        // list would tell it, and finds no row selected.
        raiseChange();
    }
}

void ListBox::endRefill()
{
    if (--m_refillDepth > 0) {
        return;
    }
    m_model->endRefill();
    applyColumnWidths();
    // The scroll range is current as soon as the refill ends, not at the next event.
    layOutNow();
}

void ListBox::setColumnCount(int count)
{
    const bool hadSelection = listIndex() >= 0;
    m_model->setColumns(count);
    m_lastIndex = -1;
    applyColumnWidths();
    if (hadSelection) {
        raiseChange();
    }
}

void ListBox::setHeadings(const QStringList &headings)
{
    for (int c = 0; c < headings.size(); ++c) {
        m_model->setHeading(c, headings.at(c));
    }
    setHeadingVisible(true);
}

void ListBox::setHeadingVisible(bool visible)
{
    horizontalHeader()->setVisible(visible);
}

void ListBox::setHeadingHeight(int pixels)
{
    horizontalHeader()->setFixedHeight(pixels);
}

void ListBox::setColumnWidths(const QString &percentText)
{
    m_percents.clear();
    const QStringList parts = percentText.split(QLatin1Char(','));
    for (const QString &part : parts) {
        QString number = part.trimmed();
        if (number.endsWith(QLatin1Char('%'))) {
            number.chop(1);
        }
        bool ok = false;
        const int value = number.toInt(&ok);
        m_percents.append(ok ? qMax(0, value) : 0);
    }
    m_haveWidths = true;
    applyColumnWidths();
}

void ListBox::applyColumnWidths()
{
    if (!m_haveWidths) {
        return;
    }
    const int columns = m_model->columns();
    const int available = maximumViewportSize().width();
    int lastShown = -1;
    int total = 0;
    for (int c = 0; c < columns; ++c) {
        const int percent = c < m_percents.size() ? m_percents.at(c) : 0;
        if (percent > 0) {
            lastShown = c;
            total += percent;
        }
    }
    int used = 0;
    for (int c = 0; c < columns; ++c) {
        const int percent = c < m_percents.size() ? m_percents.at(c) : 0;
        setColumnHidden(c, percent == 0);
        if (percent == 0) {
            continue;
        }
        int width = available * percent / 100;
        // A full 100% fills the view exactly: the last column takes the rounding.
        if (c == lastShown && total == 100) {
            width = available - used;
        }
        setColumnWidth(c, qMax(0, width));
        used += width;
    }
}

void ListBox::setColumnAlignment(int column, Alignment alignment)
{
    m_model->setColumnAlignment(column, alignment);
}

void ListBox::setEvenRowBackground(const QColor &colour)
{
    m_model->setEvenRowBackground(colour);
}

void ListBox::setFixedRowHeight(int pixels)
{
    verticalHeader()->setMinimumSectionSize(pixels);
    verticalHeader()->setMaximumSectionSize(pixels);
    verticalHeader()->setDefaultSectionSize(pixels);
}

int ListBox::fixedRowHeight() const
{
    return verticalHeader()->defaultSectionSize();
}

int ListBox::addRow()
{
    m_lastIndex = m_model->addRow();
    return m_lastIndex;
}

int ListBox::addFolder(const QString &text)
{
    m_lastIndex = m_model->addFolder(text);
    return m_lastIndex;
}

void ListBox::deleteAllRows()
{
    if (m_refillDepth > 0) {
        m_model->deleteAllRows();
        m_lastIndex = -1;
        return;
    }
    Refill refill(*this);
}

int ListBox::listIndex() const
{
    if (m_model->refilling()) {
        return -1;
    }
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ListBox::setListIndex(int row)
{
    m_settingSelection = true;
    if (row >= 0 && row < rowCount() && !m_model->refilling()) {
        selectionModel()->setCurrentIndex(m_model->index(row, 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        selectionModel()->clearSelection();
        selectionModel()->clearCurrentIndex();
    }
    m_settingSelection = false;
    raiseChange();
}

void ListBox::raiseChange()
{
    if (m_changeHandler) {
        m_changeHandler();
    }
}

void ListBox::layOutNow() const
{
    // The view lays itself out lazily after a reset; scroll positions need the new range now.
    auto *self = const_cast<ListBox *>(this);
    self->executeDelayedItemsLayout();
    self->updateGeometries();
}

int ListBox::scrollPosition() const
{
    layOutNow();
    return verticalScrollBar()->value();
}

void ListBox::setScrollPosition(int row)
{
    layOutNow();
    verticalScrollBar()->setValue(qMax(0, row));
}

int ListBox::fullyVisibleRows() const
{
    // The viewport leaves out the frame, the heading row and a shown scroll bar.
    layOutNow();
    const int height = fixedRowHeight();
    return height > 0 ? qMax(0, maximumViewportSize().height() / height) : 0;
}

void ListBox::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    applyColumnWidths();
}
