#include "main/CorvanaStyle.h"

#include "main/Layout.h"

#include <QApplication>
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
