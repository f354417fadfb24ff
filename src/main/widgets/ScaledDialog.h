#pragma once

#include <QDialog>
#include <QSize>

class QFont;

// The common frame of the program's dialogs: fixed border, designed at factor 1.0 with
// absolute geometry, scaled by P/100 and centred on the screen when first shown. Each dialog
// is created for one use.
class TScaledDialog : public QDialog {
    Q_OBJECT
public:
    TScaledDialog(const QString& caption, QSize designClient, double scaleFactor, QSize screen,
                  QWidget* parent);

    // Arial with a character height in design pixels.
    static QFont Arial(int pixels, bool bold = false);

    // P = Trunc(ScaleFactor x 100) of the factor the dialog is drawn at.
    int percent() const;
    // A design length at that factor: length x P / 100, rounded to the nearest.
    int scaled(int length) const;

protected:
    void showEvent(QShowEvent* event) override;
    // Runs once, after the scaling, before the dialog appears.
    virtual void FormShow() {}

private:
    double scaleFactor_;
    QSize screen_;
    bool shown_ = false;
};
