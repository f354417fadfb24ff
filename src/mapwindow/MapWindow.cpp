#include "mapwindow/MapWindow.h"

#include "map/Outlines.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QImageWriter>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr QSize DefaultSize(640, 480);
constexpr QSize MinimumSize(240, 180);
// Between the main window's frame and the map's.
constexpr int Gap = 8;
// A press that moves no further than this is a click, not a drag.
constexpr double ClickSlack = 3;

} // namespace

QRect ClampToScreen(QRect rect, QSize screen, QSize minimum) {
    const int width = std::clamp(rect.width(), std::min(minimum.width(), screen.width()),
                                 std::max(screen.width(), 1));
    const int height = std::clamp(rect.height(), std::min(minimum.height(), screen.height()),
                                  std::max(screen.height(), 1));
    const int left = std::clamp(rect.left(), 0, std::max(screen.width() - width, 0));
    const int top = std::clamp(rect.top(), 0, std::max(screen.height() - height, 0));
    return {left, top, width, height};
}

TMapView::TMapView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(MinimumSize / 2);
}

void TMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    canvas_.paint(painter);
}

void TMapView::resizeEvent(QResizeEvent*) {
    canvas_.setSize(size());
}

void TMapView::wheelEvent(QWheelEvent* event) {
    canvas_.wheel(event->position(), event->angleDelta());
    update();
}

void TMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    pressed_ = event->position();
    last_ = event->position();
    dragged_ = false;
}

void TMapView::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !(event->buttons() & Qt::LeftButton))
        return;
    const QPointF moved = event->position() - *pressed_;
    if (!dragged_ && std::max(std::abs(moved.x()), std::abs(moved.y())) <= ClickSlack)
        return;
    dragged_ = true;
    canvas_.drag(last_, event->position());
    last_ = event->position();
    update();
}

void TMapView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return QWidget::mouseReleaseEvent(event);
    pressed_.reset();
    if (dragged_)
        return;
    if (const corvana::map::MapDot* dot = canvas_.dotAt(event->position()))
        emit dotClicked(dot->id, event->modifiers());
}

void TMapView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers extra =
        event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (extra == Qt::NoModifier && canvas_.key(event->key())) {
        update();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TMapView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const corvana::map::MapDot* dot = canvas_.dotAt(help->pos());
        if (dot && dotText)
            QToolTip::showText(help->globalPos(), dotText(dot->id), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

TMapWin::TMapWin(MapSource source, const corvana::MapSettings& settings, QWidget* parent)
    : QMainWindow(parent, Qt::Window), source_(std::move(source)) {
    setObjectName("MapWin");
    setWindowTitle("Corvana Map");
    setAttribute(Qt::WA_DeleteOnClose, false);
    view_ = new TMapView(this);
    view_->setObjectName("MapView");
    view_->setAccessibleName("Map");
    setCentralWidget(view_);
    createMenus();

    const std::string outlines = source_.data->path(corvana::map::OutlineFileName);
    view_->canvas().setOutlines(corvana::map::loadOutlines(outlines));
    view_->dotText = [this](int row) {
        const QListWidgetItem* item = source_.list->item(row);
        return item ? item->text() : QString();
    };
    connect(view_, &TMapView::dotClicked, this, &TMapWin::selectLine);
    connect(source_.list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TMapWin::followSelection);
    place(settings);
}

void TMapWin::createMenus() {
    menuBar()->setNativeMenuBar(false);
    QMenu* image = menuBar()->addMenu("&Image");
    image->setObjectName("MenuImage");
    MenuCopyImage = image->addAction("&Copy Image", QKeySequence(Qt::CTRL | Qt::Key_C), this,
                                     &TMapWin::MenuCopyImageClick);
    MenuSaveImage = image->addAction("&Save Image\u2026", QKeySequence(Qt::CTRL | Qt::Key_S), this,
                                     &TMapWin::MenuSaveImageClick);
    image->addSeparator();
    MenuClose =
        image->addAction("C&lose", QKeySequence(Qt::CTRL | Qt::Key_W), this, &QWidget::close);

    QMenu* view = menuBar()->addMenu("&View");
    view->setObjectName("MenuView");
    auto key = [this](int qtKey) {
        return [this, qtKey] {
            view_->canvas().key(qtKey);
            view_->update();
        };
    };
    MenuZoomIn = view->addAction("Zoom &In", QKeySequence(Qt::Key_Plus), this, key(Qt::Key_Plus));
    MenuZoomOut =
        view->addAction("Zoom &Out", QKeySequence(Qt::Key_Minus), this, key(Qt::Key_Minus));
    view->addSeparator();
    MenuFittedView =
        view->addAction("&Fitted View", QKeySequence(Qt::Key_Home), this, key(Qt::Key_Home));
    const std::pair<QAction*, const char*> named[] = {
        {MenuCopyImage, "MenuCopyImage"}, {MenuSaveImage, "MenuSaveImage"},
        {MenuClose, "MenuClose"},         {MenuZoomIn, "MenuZoomIn"},
        {MenuZoomOut, "MenuZoomOut"},     {MenuFittedView, "MenuFittedView"}};
    for (auto [action, name] : named)
        action->setObjectName(name);
}

void TMapWin::place(const corvana::MapSettings& settings) {
    const QSize screen = source_.screen;
    QRect wanted;
    if (settings.width > 0 && settings.height > 0) {
        wanted = QRect(settings.left, settings.top, settings.width, settings.height);
    } else {
        // Beside the main window: to its right when the screen has room, else to its left,
        // else narrower in the wider of the two rooms, so that it hides none of the window.
        const QRect main = parentWidget() ? parentWidget()->frameGeometry() : QRect();
        QSize size(DefaultSize.width(), std::max(DefaultSize.height(), main.height()));
        const int rightRoom = screen.width() - (main.right() + 1 + Gap);
        const int leftRoom = main.left() - Gap;
        int left = main.right() + 1 + Gap;
        if (rightRoom < size.width()) {
            if (leftRoom >= size.width() || leftRoom > rightRoom) {
                size.setWidth(std::min(size.width(), leftRoom));
                left = main.left() - Gap - size.width();
            } else {
                size.setWidth(rightRoom);
            }
        }
        wanted = QRect(QPoint(left, main.top()), size);
    }
    const QRect r = ClampToScreen(wanted, screen, MinimumSize);
    resize(r.size());
    move(r.topLeft());
}

corvana::MapSettings TMapWin::placement(bool open) const {
    return {true, x(), y(), width(), height(), open};
}

void TMapWin::follow() {
    stale_ = !isVisible();
    if (stale_)
        return;
    const corvana::geo::PointsLoad& load = source_.points();
    const corvana::geo::Points* points = load.points ? &*load.points : nullptr;
    map_ = corvana::map::MapOfList(source_.items(), *source_.data, points,
                                   view_->canvas().outlines(), source_.nearby());
    view_->canvas().setDotsNote(points ? QString() : QString::fromStdString(load.message));
    view_->canvas().setContent(map_.content);
    followSelection();
    view_->setAccessibleDescription(description());
    view_->update();
}

void TMapWin::followSelection() {
    std::vector<int> rows;
    for (const QModelIndex& index : source_.list->selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    view_->canvas().setSelection(rows);
    view_->update();
}

QString TMapWin::description() const {
    return DescribeMap(map_, view_->canvas().outlines() != nullptr);
}

void TMapWin::selectLine(int row, Qt::KeyboardModifiers modifiers) {
    QListWidget* list = source_.list;
    QListWidgetItem* item = list->item(row);
    if (!item || !list->isEnabled())
        return;
    // As a click on the line itself would: a list of several choices toggles the line, one
    // that extends ranges selects it alone unless Ctrl is held.
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (list->selectionMode() == QAbstractItemView::MultiSelection ||
        (list->selectionMode() == QAbstractItemView::ExtendedSelection &&
         (modifiers & Qt::ControlModifier)))
        flags = QItemSelectionModel::Toggle;
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0), flags);
    list->scrollToItem(item);
}

void TMapWin::MenuCopyImageClick() {
    QGuiApplication::clipboard()->setImage(view_->canvas().image());
}

void TMapWin::MenuSaveImageClick() {
    QString path =
        QFileDialog::getSaveFileName(this, "Save Image", "map.png", "PNG images (*.png)");
    if (path.isEmpty())
        return;
    if (!path.endsWith(".png", Qt::CaseInsensitive))
        path += ".png";
    QImageWriter writer(path, "png");
    if (!writer.write(view_->canvas().image()))
        QMessageBox::warning(this, "Error", "The image could not be saved to " + path + ".");
}

void TMapWin::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (stale_)
        follow();
}

void TMapWin::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
