#include "main/widgets/SpinButton.h"

#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {

// An arrow button whose arrow keeps its proportion to the button. The style draws its arrows
// at one size, which is lost on the buttons of the larger windows.
class SpinArrow : public QToolButton {
public:
    SpinArrow(QWidget* parent, Qt::ArrowType arrow) : QToolButton(parent) {
        setArrowType(arrow);
        setAutoRepeat(true);
        setAutoRepeatDelay(400);
        setAutoRepeatInterval(100);
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        QStyleOptionToolButton option;
        initStyleOption(&option);
        option.arrowType = Qt::NoArrow;
        option.features &= ~QStyleOptionToolButton::Arrow;
        p.drawComplexControl(QStyle::CC_ToolButton, option);

        // At the design size the button is 20 by 13 pixels and its arrow 8 wide, 4 high.
        const int width = std::max(3, int(std::lround(std::min(this->width(), height()) * 0.6)));
        const double half = width / 2.0;
        const QPointF centre = QRectF(rect()).center();
        const double top = centre.y() - half / 2, bottom = centre.y() + half / 2;
        QPolygonF triangle;
        if (arrowType() == Qt::UpArrow)
            triangle << QPointF(centre.x() - half, bottom) << QPointF(centre.x() + half, bottom)
                     << QPointF(centre.x(), top);
        else
            triangle << QPointF(centre.x() - half, top) << QPointF(centre.x() + half, top)
                     << QPointF(centre.x(), bottom);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(option.palette.color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                        QPalette::ButtonText));
        p.drawPolygon(triangle);
    }
};

} // namespace

TSpinButton::TSpinButton(QWidget* parent)
    : QWidget(parent), up_(new SpinArrow(this, Qt::UpArrow)),
      down_(new SpinArrow(this, Qt::DownArrow)) {
    up_->setObjectName("TheSpinnerUp");
    down_->setObjectName("TheSpinnerDown");
    connect(up_, &QToolButton::clicked, this, &TSpinButton::upClick);
    connect(down_, &QToolButton::clicked, this, &TSpinButton::downClick);
}

void TSpinButton::resizeEvent(QResizeEvent*) {
    int upHeight = height() / 2;
    up_->setGeometry(0, 0, width(), upHeight);
    down_->setGeometry(0, upHeight, width(), height() - upHeight);
}
