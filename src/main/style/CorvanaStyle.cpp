#include "main/style/CorvanaStyle.h"

#include "main/style/Scaling.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QVariant>
#include <QWidget>

namespace {

constexpr const char* PercentProperty = "corvanaScalePercent";

// The percentage of the window a control lies in; 100 for windows that are not ours (the
// platform's print and font dialogs keep their own look).
int percentOf(const QWidget* widget) {
    if (!widget)
        return 100;
    const QVariant p = widget->window()->property(PercentProperty);
    return p.isValid() ? p.toInt() : 100;
}

// A list of one of the program's own windows; the lists that drop down from a field are left
// to the platform.
bool ownList(const QWidget* widget) {
    return qobject_cast<const QAbstractItemView*>(widget) &&
           widget->window()->property(PercentProperty).isValid();
}

// A line as wide as one design pixel at the window's size.
int lineWidth(const QWidget* widget) {
    return std::max(1, ScaleValue(1, percentOf(widget)));
}

} // namespace

CorvanaStyle::CorvanaStyle(QStyle* base) : QProxyStyle(base) {}

int CorvanaStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    // A list that drops down below its field shows the number of rows the list asks for and
    // scrolls the rest.
    if (hint == SH_ComboBox_Popup || hint == SH_DialogButtonBox_ButtonsHaveIcons)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

int CorvanaStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing: {
        const int p = percentOf(widget);
        return p == 100 ? base : std::max(1, ScaleValue(base, p));
    }
    default:
        return base;
    }
}

void UseCorvanaStyle() {
    if (!qobject_cast<CorvanaStyle*>(QApplication::style()))
        QApplication::setStyle(new CorvanaStyle);
}

void SetStylePercent(QWidget* window, int percent) {
    window->setProperty(PercentProperty, percent);
}

void CorvanaStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element != CE_ShapedFrame || !(option->state & State_HasFocus) || !ownList(widget))
        return;
    // The focused list is framed in the highlight colour, over its own frame.
    const int width = std::max(lineWidth(widget), 2);
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(option->palette.color(QPalette::Active, QPalette::Highlight));
    const QRect outer = option->rect;
    const QRect inner = outer.adjusted(width, width, -width, -width);
    painter->drawRect(outer.left(), outer.top(), outer.width(), width);
    painter->drawRect(outer.left(), inner.bottom() + 1, outer.width(), width);
    painter->drawRect(outer.left(), inner.top(), width, inner.height());
    painter->drawRect(inner.right() + 1, inner.top(), width, inner.height());
    painter->restore();
}

void CorvanaStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    if (element != PE_FrameFocusRect || !ownList(widget)) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // The current line of a focused list: a dotted box in the colour of the line's text, the
    // way the keyboard user's place in a list has long been shown.
    const bool selected = option->state & State_Selected;
    QPen pen(option->palette.color(QPalette::Active,
                                   selected ? QPalette::HighlightedText : QPalette::Text),
             lineWidth(widget), Qt::DotLine);
    painter->save();
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    // The pen runs along the middle of the outermost pixels of the line.
    const double half = pen.width() / 2.0;
    painter->drawRect(QRectF(option->rect).adjusted(half, half, -half, -half));
    painter->restore();
}
