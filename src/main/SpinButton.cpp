#include "main/SpinButton.h"

#include <QToolButton>

namespace {

QToolButton* arrowButton(QWidget* parent, Qt::ArrowType arrow) {
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setAutoRepeatDelay(400);
    b->setAutoRepeatInterval(100);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

} // namespace

TSpinButton::TSpinButton(QWidget* parent)
    : QWidget(parent), up_(arrowButton(this, Qt::UpArrow)),
      down_(arrowButton(this, Qt::DownArrow)) {
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
