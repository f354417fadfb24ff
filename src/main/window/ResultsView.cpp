#include "main/window/ResultsView.h"

#include "main/app/Messages.h"
#include "main/widgets/ItemHeightDelegate.h"
#include "main/window/Controls.h"

#include <QFocusEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStyle>
#include <QToolTip>

#include <QPainter>

#include <algorithm>

namespace {

// The heading over the list. A heading wider than the list (that of a reach, which ends with
// the people it holds) is drawn in a smaller size of the same font instead of being cut at both
// ends; the font itself stays the one the layout scales.
class HeadingLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* e) override {
        const QRect room = contentsRect();
        const int wide = fontMetrics().horizontalAdvance(text());
        if (wide <= room.width() || text().isEmpty()) {
            QLabel::paintEvent(e);
            return;
        }
        QFont smaller = font();
        const qreal size = smaller.pixelSize() > 0 ? smaller.pixelSize() : smaller.pointSizeF();
        const qreal fitted = std::max<qreal>(1, size * room.width() / wide * 0.98);
        if (smaller.pixelSize() > 0)
            smaller.setPixelSize(std::max(1, int(fitted)));
        else
            smaller.setPointSizeF(fitted);
        QPainter painter(this);
        painter.setFont(smaller);
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(room, int(alignment()), text());
    }
};

} // namespace

ResultsView::ResultsView(QWidget* client, std::vector<LayoutComponent>& components, QObject* parent)
    : QObject(parent) {
    AnswerBox = Placed(new QListWidget(client), 4, 176, 493, 189);
    AnswerBox->setFont(Arial(15));
    AnswerBox->setSelectionMode(QAbstractItemView::MultiSelection);
    AnswerBox->setUniformItemSizes(true);
    AnswerBox->setItemDelegate(new ItemHeightDelegate(AnswerBox));
    AnswerBox->hide();
    AnswerBox->setEnabled(false);

    AnswerBoxLabel = Placed(new HeadingLabel(client), 4, 148, 493, 25);
    AnswerBoxLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    AnswerBoxLabel->setFont(Arial(20, true));

    AnswerBox->setObjectName("AnswerBox");
    AnswerBoxLabel->setObjectName("AnswerBoxLabel");
    components.push_back({AnswerBox, LayoutKind::GeometryAndFont});
    components.push_back({AnswerBoxLabel, LayoutKind::GeometryAndFont});

    // The keyboard's Menu key and Shift+F10 reach the list's menu through the key filter.
    AnswerBox->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(AnswerBox, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        // As in a file manager: a right click on a line that is not selected selects it alone,
        // one on a selected line keeps the selection; the menu acts on the line clicked.
        const QModelIndex line = AnswerBox->indexAt(at);
        if (line.isValid() && AnswerBox->isEnabled())
            AnswerBox->selectionModel()->setCurrentIndex(
                line, AnswerBox->selectionModel()->isSelected(line)
                          ? QItemSelectionModel::NoUpdate
                          : QItemSelectionModel::ClearAndSelect);
        showMenu(AnswerBox->viewport()->mapToGlobal(at), line.isValid() ? line.row() : -1);
    });
    AnswerBox->installEventFilter(this);
    // Kept apart: the list's own members are not to be called while it is being destroyed,
    // when its viewport may still send events here.
    answerViewport_ = AnswerBox->viewport();
    answerViewport_->installEventFilter(this);
    connect(AnswerBox, &QListWidget::itemActivated, this, &ResultsView::lineOpened);
    connect(AnswerBox, &QListWidget::currentRowChanged, this, &ResultsView::lineChosen);
    connect(AnswerBox, &QListWidget::itemSelectionChanged, this, &ResultsView::lineChosen);
    connect(AnswerBox->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ResultsView::selectionChanged);
}

QWidget* ResultsView::tabStop() const {
    return AnswerBox;
}

void ResultsView::watchKeys(QObject* filter) {
    AnswerBox->installEventFilter(filter);
}

void ResultsView::setListShown(bool shown) {
    AnswerBox->setVisible(shown);
    AnswerBox->setEnabled(shown);
}

bool ResultsView::listShown() const {
    return AnswerBox->isEnabled();
}

void ResultsView::setHeadingShown(bool shown) {
    AnswerBoxLabel->setVisible(shown);
}

void ResultsView::setHeading(const QString& heading) {
    AnswerBoxLabel->setText(heading);
    AnswerBox->setAccessibleName(AnswerBoxLabel->text());
}

void ResultsView::clearHeading() {
    AnswerBoxLabel->clear();
    AnswerBox->setAccessibleName({});
}

void ResultsView::showItems(std::vector<corvana::ResultItem> items) {
    // Adding the lines in one go keeps a long list quick.
    QStringList texts;
    texts.reserve(qsizetype(items.size()));
    for (const corvana::ResultItem& item : items)
        texts.push_back(fromCore(item.text));
    AnswerBox->clear();
    AnswerBox->addItems(texts);
    items_ = std::move(items);
}

bool ResultsView::hasRecords() const {
    return std::any_of(items_.begin(), items_.end(),
                       [](const corvana::ResultItem& line) { return line.record().has_value(); });
}

bool ResultsView::isSelected(std::size_t row) const {
    const QListWidgetItem* line = row < items_.size() ? AnswerBox->item(int(row)) : nullptr;
    return line && line->isSelected();
}

std::vector<std::size_t> ResultsView::selectedRows() const {
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : AnswerBox->selectionModel()->selectedIndexes())
        if (index.row() >= 0 && std::size_t(index.row()) < items_.size())
            rows.push_back(std::size_t(index.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

QString ResultsView::heading() const {
    return AnswerBoxLabel->text();
}

int ResultsView::textPixels() const {
    return QFontInfo(AnswerBox->font()).pixelSize();
}

void ResultsView::chooseLine(int row) {
    if (!AnswerBox->isEnabled() || !AnswerBox->item(row))
        return;
    const QModelIndex index = AnswerBox->model()->index(row, 0);
    AnswerBox->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    AnswerBox->scrollToItem(AnswerBox->item(row));
}

void ResultsView::clickLines(const QList<int>& rows, Qt::KeyboardModifiers modifiers) {
    if (rows.isEmpty() || !AnswerBox->isEnabled())
        return;
    for (int row : rows)
        if (!AnswerBox->item(row))
            return;
    QItemSelectionModel* model = AnswerBox->selectionModel();
    auto index = [this](int row) { return AnswerBox->model()->index(row, 0); };
    int shown = rows.front();
    if (AnswerBox->selectionMode() == QAbstractItemView::ExtendedSelection) {
        // As a click on the line itself would: the mark's lines alone, or with Ctrl added to
        // the others (taken off again when all were selected).
        QItemSelection lines;
        bool allSelected = true;
        for (int row : rows) {
            lines.select(index(row), index(row));
            allSelected = allSelected && AnswerBox->item(row)->isSelected();
        }
        QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
        if (modifiers & Qt::ControlModifier)
            flags = allSelected ? QItemSelectionModel::Deselect : QItemSelectionModel::Select;
        model->select(lines, flags);
        model->setCurrentIndex(index(shown), QItemSelectionModel::NoUpdate);
    } else if (rows.size() == 1) {
        // A list of several choices toggles the line.
        model->setCurrentIndex(index(shown), QItemSelectionModel::Toggle);
    } else {
        // Each click moves on to the mark's next line, the mark's other lines taken off.
        int next = 0;
        for (int i = 0; i < rows.size(); ++i)
            if (AnswerBox->item(rows[i])->isSelected())
                next = (i + 1) % int(rows.size());
        shown = rows[next];
        for (int row : rows)
            if (row != shown && AnswerBox->item(row)->isSelected())
                model->select(index(row), QItemSelectionModel::Deselect);
        model->setCurrentIndex(index(shown), QItemSelectionModel::Select);
    }
    AnswerBox->scrollToItem(AnswerBox->item(shown));
}

const corvana::ResultItem* ResultsView::chosenRecord() const {
    if (menuRow_ >= 0 && menuRow_ < int(items_.size()) && items_[std::size_t(menuRow_)].record())
        return &items_[std::size_t(menuRow_)];
    const corvana::ResultItem* first = nullptr;
    for (int row = 0; row < AnswerBox->count() && row < int(items_.size()); ++row) {
        const corvana::ResultItem& line = items_[std::size_t(row)];
        if (!line.record())
            continue;
        if (!first)
            first = &line;
        if (AnswerBox->item(row)->isSelected())
            return &line;
    }
    return first;
}

const corvana::ResultItem* ResultsView::currentRecord() const {
    const int row = AnswerBox->currentRow();
    if (row >= 0 && row < int(items_.size()) && items_[std::size_t(row)].record())
        return &items_[std::size_t(row)];
    return chosenRecord();
}

void ResultsView::setRangeSelecting(bool on) {
    AnswerBox->setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                                   : QAbstractItemView::MultiSelection);
}

void ResultsView::setItemHeight(int height) {
    static_cast<ItemHeightDelegate*>(AnswerBox->itemDelegate())->height = height;
    AnswerBox->doItemsLayout();
}

void ResultsView::setMenuCommands(std::vector<QAction*> commands) {
    menuCommands_ = std::move(commands);
}

void ResultsView::showMenu(QPoint at, int row) {
    if (menuCommands_.empty() || !AnswerBox->isEnabled())
        return;
    QMenu menu(AnswerBox->window());
    menu.setToolTipsVisible(true);
    for (QAction* command : menuCommands_) {
        if (command)
            menu.addAction(command);
        else
            menu.addSeparator();
    }
    // The commands run inside exec(), so the line is theirs for exactly that long.
    menuRow_ = row;
    menu.exec(at);
    menuRow_ = -1;
}

bool ResultsView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == AnswerBox && event->type() == QEvent::KeyPress) {
        // The list's menu from the keyboard opens under the current line.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Menu ||
            (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            const QModelIndex current = AnswerBox->currentIndex();
            const QRect line = AnswerBox->visualRect(current);
            showMenu(
                AnswerBox->viewport()->mapToGlobal(line.isValid() ? line.bottomLeft() : QPoint()),
                current.isValid() ? current.row() : -1);
            return true;
        }
    }
    if (watched == answerViewport_ && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = cutLineAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, AnswerBox->viewport(),
                               AnswerBox->visualRect(AnswerBox->indexAt(help->pos())));
        return true;
    }
    if (watched == AnswerBox && event->type() == QEvent::FocusIn &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason)
        showCurrentItem();
    return QObject::eventFilter(watched, event);
}

QString ResultsView::cutLineAt(QPoint at) const {
    const QModelIndex line = AnswerBox->indexAt(at);
    if (!line.isValid())
        return {};
    const QString text = line.data().toString();
    // The line as the list draws it: the item's width less the margins the style keeps on
    // either side of its text.
    const int margin =
        AnswerBox->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, AnswerBox) + 1;
    const int room = AnswerBox->visualRect(line).width() - 2 * margin;
    return QFontMetrics(AnswerBox->font()).horizontalAdvance(text) > room ? text : QString();
}

void ResultsView::showCurrentItem() {
    // Reached by the keyboard, the list marks the line the keys act on: the current one while it
    // is in sight, else the top line in sight. A click makes the line it hits the current one.
    const QModelIndex current = AnswerBox->currentIndex();
    if (AnswerBox->count() == 0 || (current.isValid() && AnswerBox->viewport()->rect().contains(
                                                             AnswerBox->visualRect(current))))
        return;
    QModelIndex top = AnswerBox->indexAt(QPoint(0, 0));
    if (!top.isValid())
        top = AnswerBox->model()->index(0, 0);
    AnswerBox->selectionModel()->setCurrentIndex(top, QItemSelectionModel::NoUpdate);
    AnswerBox->scrollTo(top);
}
