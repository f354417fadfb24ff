#pragma once

#include <QProxyStyle>

class QWidget;

// The program's windows are designed at one size and drawn at six. The platform style draws
// the circle of a radio button and the box of a check box at one fixed size, which crowds the
// smallest window and looks lost beside the text of the largest; it also opens a drop-down
// list that cannot be edited as a menu of every entry, whatever number of rows the list asks
// for. Some desktops also put decorative icons on the buttons of dialogs, an OK tick beside
// "OK", and the platform style marks a focused list and its current line too faintly to be
// seen. This style keeps the platform's look and changes those four things.
class CorvanaStyle : public QProxyStyle {
    Q_OBJECT
public:
    // On `base` (owned), or on the platform's style.
    explicit CorvanaStyle(QStyle* base = nullptr);

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

// Makes CorvanaStyle the application's style, once; later calls do nothing.
void UseCorvanaStyle();

// Tells the style the percentage P by which `window` and everything in it is drawn, so that
// the indicators of its radio buttons and check boxes scale with the text beside them.
void SetStylePercent(QWidget* window, int percent);
