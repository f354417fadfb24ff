#include "mapwindow/MapWindow.h"

#include "map/Outlines.h"
#include "text/Win1252.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QImageWriter>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
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
// A mark's tooltip lists this many of its lines.
constexpr int TooltipLines = 10;
// A window manager may shift a window it was asked to place by its frame; a move further than
// this is the user's.
constexpr int PlaceSlack = 24;

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

QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

TMapView::TMapView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(MinimumSize / 2);
    // Stand-ins that draw nothing and let the mouse through to the map.
    auto overlay = [this](const char* name, const char* accessible) {
        auto* w = new QWidget(this);
        w->setObjectName(name);
        w->setAccessibleName(accessible);
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        w->setFocusPolicy(Qt::NoFocus);
        w->hide();
        return w;
    };
    legend_ = overlay("MapLegend", "Legend");
    scaleBar_ = overlay("MapScaleBar", "Scale bar");
}

void TMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    canvas_.paint(painter);
    describeOverlays();
}

void TMapView::describeOverlays() {
    const std::pair<QWidget*, std::pair<QRectF, QString>> overlays[] = {
        {legend_, {canvas_.legendRect(), canvas_.legendText()}},
        {scaleBar_, {canvas_.scaleBarRect(), canvas_.scaleBarText()}}};
    for (const auto& [widget, drawn] : overlays) {
        const QRect rect = drawn.first.toAlignedRect();
        if (widget->geometry() != rect)
            widget->setGeometry(rect);
        if (widget->accessibleDescription() != drawn.second)
            widget->setAccessibleDescription(drawn.second);
        widget->setVisible(!rect.isEmpty() && !drawn.second.isEmpty());
    }
}

QString TMapView::markText(const std::vector<int>& ids) const {
    QStringList lines;
    for (std::size_t i = 0; i < ids.size() && i < std::size_t(TooltipLines); ++i)
        lines << (dotText ? dotText(ids[i]) : QString());
    if (ids.size() > std::size_t(TooltipLines))
        lines << QStringLiteral("and %1 more").arg(ids.size() - std::size_t(TooltipLines));
    return lines.join('\n');
}

bool TMapView::focusNextPrevChild(bool) {
    QWidget* main = window()->parentWidget();
    if (!main)
        return false;
    main->activateWindow();
    main->raise();
    return true;
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
    const std::vector<int> ids = canvas_.markAt(event->position());
    if (!ids.empty())
        emit markClicked(QList<int>(ids.begin(), ids.end()), event->modifiers());
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
        const std::vector<int> ids = canvas_.markAt(help->pos());
        if (!ids.empty() && dotText)
            QToolTip::showText(help->globalPos(), markText(ids), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

TMapWin::TMapWin(MapSource source, const corvana::MapSettings& settings, QWidget* parent)
    : QMainWindow(parent, Qt::Window), source_(std::move(source)),
      facts_(std::make_unique<corvana::LazyFacts>(*source_.data)) {
    setObjectName("MapWin");
    setWindowTitle("Corvana Map");
    setAttribute(Qt::WA_DeleteOnClose, false);
    view_ = new TMapView(this);
    view_->setObjectName("MapView");
    view_->setAccessibleName("Map");
    setCentralWidget(view_);
    sizeByPopulation_ = settings.sizeByPopulation;
    people_ = corvana::LoadPeople(*source_.data);
    createMenus();

    const std::string outlines = source_.data->path(corvana::map::OutlineFileName);
    view_->canvas().setOutlines(corvana::map::loadOutlines(outlines));
    view_->dotText = [this](int row) {
        const std::vector<corvana::ResultItem>& lines = source_.lines->items();
        return row >= 0 && std::size_t(row) < lines.size()
                   ? QString::fromStdString(corvana::Win1252ToUtf8(lines[std::size_t(row)].text))
                   : QString();
    };
    connect(view_, &TMapView::markClicked, this, &TMapWin::linesClicked);
    imageFolder_ = settings.imageFolder;
    followStyle();
    place(settings);
    if (parentWidget())
        parentWidget()->installEventFilter(this);
}

// The desktop's colours and the main window's text size, which the screen size scales.
void TMapWin::followStyle() {
    view_->canvas().setColours(corvana::map::MapColours::fromPalette(palette()));
    const int pixels = source_.textPixels();
    view_->canvas().setFontPixels(std::max(9, int(std::lround(pixels * 0.95))));
}

void TMapWin::createMenus() {
    menuBar()->setNativeMenuBar(false);
    QMenu* image = menuBar()->addMenu("&Image");
    image->setObjectName("MenuImage");
    MenuCopyImage = image->addAction("&Copy Image", QKeySequence(Qt::CTRL | Qt::Key_C), this,
                                     &TMapWin::MenuCopyImageClick);
    MenuSaveImage = image->addAction("&Save Image\u2026", QKeySequence(Qt::CTRL | Qt::Key_S), this,
                                     &TMapWin::MenuSaveImageClick);
    MenuPrintMap = image->addAction("&Print Map\u2026", QKeySequence(Qt::CTRL | Qt::Key_P), this,
                                    &TMapWin::MenuPrintMapClick);
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
    view->addSeparator();
    MenuNextMark =
        view->addAction("&Next Mark", QKeySequence(Qt::Key_N), this, [this] { stepMark(1); });
    MenuPreviousMark =
        view->addAction("&Previous Mark", QKeySequence(Qt::Key_P), this, [this] { stepMark(-1); });
    MenuNextLineOfMark = view->addAction("Next &Line of Mark", QKeySequence(Qt::Key_Space), this,
                                         [this] { stepMark(0); });
    view->addSeparator();
    MenuSizeByPopulation = view->addAction("Size By &Population");
    MenuSizeByPopulation->setCheckable(true);
    if (people_.people) {
        MenuSizeByPopulation->setChecked(sizeByPopulation_);
    } else {
        MenuSizeByPopulation->setEnabled(false);
        MenuSizeByPopulation->setToolTip(QString::fromStdString(people_.message));
        MenuSizeByPopulation->setStatusTip(MenuSizeByPopulation->toolTip());
    }
    connect(MenuSizeByPopulation, &QAction::toggled, this, [this](bool on) {
        sizeByPopulation_ = on;
        follow();
    });
    const std::pair<QAction*, const char*> named[] = {
        {MenuCopyImage, "MenuCopyImage"},
        {MenuSaveImage, "MenuSaveImage"},
        {MenuPrintMap, "MenuPrintMap"},
        {MenuClose, "MenuClose"},
        {MenuZoomIn, "MenuZoomIn"},
        {MenuZoomOut, "MenuZoomOut"},
        {MenuFittedView, "MenuFittedView"},
        {MenuNextMark, "MenuNextMark"},
        {MenuPreviousMark, "MenuPreviousMark"},
        {MenuNextLineOfMark, "MenuNextLineOfMark"},
        {MenuSizeByPopulation, "MenuSizeByPopulation"}};
    for (auto [action, name] : named)
        action->setObjectName(name);
}

void TMapWin::place(const corvana::MapSettings& settings) {
    if (settings.width > 0 && settings.height > 0) {
        besideMain_ = false;
        // Left and top are the frame's corner, width and height the client area's.
        const QMargins frame = frameExtents();
        const QRect wanted = QRect(settings.left, settings.top, settings.width, settings.height)
                                 .marginsAdded(QMargins(0, 0, frame.left() + frame.right(),
                                                        frame.top() + frame.bottom()));
        setPlace(ClampToScreen(wanted, source_.screen, MinimumSize));
    } else {
        placeBeside();
    }
    if (parentWidget())
        mainSeen_ = parentWidget()->frameGeometry();
}

QMargins TMapWin::frameExtents() const {
    // Until this window is framed, its frame is taken to be like the main window's.
    const QMargins own = FrameMargins(*this);
    if (!own.isNull() || !parentWidget())
        return own;
    return FrameMargins(*parentWidget());
}

void TMapWin::setPlace(const QRect& frame) {
    const QMargins extents = frameExtents();
    placedAt_ = frame.topLeft();
    resize(frame.size().shrunkBy(extents).expandedTo(MinimumSize / 2));
    if (source_.placeFrame)
        source_.placeFrame(*this, frame.topLeft());
    else
        move(frame.topLeft());
}

void TMapWin::placeBeside() {
    besideMain_ = true;
    const QSize screen = source_.screen;
    QRect wanted;
    {
        // Beside the main window: to its right when the screen has room, else to its left,
        // else narrower in the wider of the two rooms, so that it hides none of the window.
        const QRect main = parentWidget() ? parentWidget()->frameGeometry() : QRect();
        QSize size = QSize(DefaultSize.width(), std::max(DefaultSize.height(), main.height()))
                         .grownBy(frameExtents());
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
    setPlace(ClampToScreen(wanted, screen, MinimumSize));
}

void TMapWin::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (isVisible() && (pos() - placedAt_).manhattanLength() > PlaceSlack)
        userMoved_ = true;
}

bool TMapWin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        QWidget* main = parentWidget();
        const QRect frame = main->frameGeometry();
        if (frame != mainSeen_ && !userMoved_) {
            mainSeen_ = frame;
            // Beside the main window it stays beside it; where the settings put it, it moves
            // only once the main window would lie under it.
            if (besideMain_ || frameGeometry().intersects(frame))
                placeBeside();
        }
        if (event->type() == QEvent::Resize)
            followStyle();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMapWin::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    switch (event->type()) {
    case QEvent::ActivationChange:
        // Activated, the map takes the keys at once: the arrows, +, - and Home.
        if (isActiveWindow())
            view_->setFocus(Qt::ActiveWindowFocusReason);
        break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
        followStyle();
        view_->update();
        break;
    default:
        break;
    }
}

corvana::MapSettings TMapWin::placement(bool open) const {
    return {true, x(), y(), width(), height(), open, imageFolder_, sizeByPopulation_};
}

void TMapWin::follow() {
    stale_ = !isVisible();
    if (stale_)
        return;
    const corvana::geo::PointsLoad& load = source_.points();
    const corvana::geo::Points* points = load.points ? &*load.points : nullptr;
    // A hidden list (a mode just chosen, an emptied field) shows nothing.
    static const std::vector<corvana::ResultItem> none;
    const std::vector<corvana::ResultItem>& items =
        source_.lines->shown() ? source_.lines->items() : none;
    map_ = corvana::map::MapOfList(items, *source_.data, points, view_->canvas().outlines(),
                                   source_.nearby(), facts_.get());
    if (sizeByPopulation_ && people_.people) {
        corvana::map::AddPeople(map_, items, *people_.people);
        map_.content.sizedByPeople = true;
    }
    view_->canvas().setDotsNote(points ? QString() : QString::fromStdString(load.message));
    followStyle();
    view_->canvas().setContent(map_.content);
    followSelection();
    view_->setAccessibleDescription(description());
    view_->describeOverlays();
    view_->update();
}

void TMapWin::followSelection() {
    const std::vector<std::size_t> selected = source_.lines->selectedRows();
    view_->canvas().setSelection(std::vector<int>(selected.begin(), selected.end()));
    view_->update();
}

void TMapWin::stepMark(int step) {
    corvana::map::MapCanvas& canvas = view_->canvas();
    // From the first selected line that has a mark.
    std::optional<int> from;
    for (std::size_t row : source_.lines->selectedRows())
        if (!canvas.markPosition(int(row)).isEmpty()) {
            from = int(row);
            break;
        }
    const int row = canvas.stepMark(from, step);
    if (row < 0)
        return;
    emit lineStepped(row);
    canvas.showDot(row);
    const QString line = view_->dotText ? view_->dotText(row) : QString();
    view_->setAccessibleDescription(canvas.markPosition(row) + QStringLiteral(": ") + line);
    view_->update();
}

QString TMapWin::description() const {
    return DescribeMap(map_, view_->canvas().outlines() != nullptr);
}

QString TMapWin::heading() const {
    // The main window's heading over its list, which names what the list holds.
    const QString listed = source_.heading ? source_.heading() : QString();
    return listed.isEmpty() ? description() : listed;
}

QImage TMapWin::titledImage() const {
    return view_->canvas().image(1.0, heading());
}

QString TMapWin::imageFolder() const {
    if (!imageFolder_.empty() && QFileInfo(QString::fromStdString(imageFolder_)).isDir())
        return QString::fromStdString(imageFolder_);
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}

QString TMapWin::suggestedImageName() const {
    QString name = heading();
    // Characters a file name had better not hold, and runs of blanks, each become one blank.
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]+")),
                 QStringLiteral(" "));
    name = name.simplified().left(80).trimmed();
    if (name.isEmpty() || name.startsWith('.'))
        name = QStringLiteral("Map");
    return name + QStringLiteral(".png");
}

void TMapWin::printTo(QPrinter& printer) const {
    printer.setDocName(QStringLiteral("Corvana Map"));
    QPainter painter(&printer);
    const QString title = heading();
    const QSizeF picture = view_->canvas().titledSize(title);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const double scale = std::min(page.width() / picture.width(), page.height() / picture.height());
    painter.translate((page.width() - picture.width() * scale) / 2,
                      (page.height() - picture.height() * scale) / 2);
    painter.scale(scale, scale);
    view_->canvas().paintTitled(painter, title);
}

void TMapWin::MenuPrintMapClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(width() > height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Print Map"));
    if (dialog.exec() == QDialog::Accepted)
        printTo(printer);
}

void TMapWin::MenuCopyImageClick() {
    QGuiApplication::clipboard()->setImage(titledImage());
}

void TMapWin::MenuSaveImageClick() {
    QString path = QFileDialog::getSaveFileName(this, "Save Image",
                                                QDir(imageFolder()).filePath(suggestedImageName()),
                                                "PNG images (*.png)");
    if (path.isEmpty())
        return;
    if (!path.endsWith(".png", Qt::CaseInsensitive))
        path += ".png";
    QImageWriter writer(path, "png");
    if (!writer.write(titledImage())) {
        QMessageBox::warning(this, "Error", "The image could not be saved to " + path + ".");
        return;
    }
    imageFolder_ = QFileInfo(path).absolutePath().toStdString();
}

void TMapWin::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (stale_)
        follow();
    view_->setFocus(Qt::OtherFocusReason);
}

void TMapWin::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
