#include "main/widgets/ScaledDialog.h"

#include "main/layout/Layout.h"
#include "main/style/CorvanaStyle.h"

#include <QFont>

TScaledDialog::TScaledDialog(const QString& caption, QSize designClient, double scaleFactor,
                             QSize screen, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      scaleFactor_(scaleFactor), screen_(screen) {
    UseCorvanaStyle();
    setWindowTitle(caption);
    // Modal to the main window only, so that a help window opened from a dialog stays usable.
    setWindowModality(Qt::WindowModal);
    setFont(Arial(17));
    setFixedSize(designClient);
}

QFont TScaledDialog::Arial(int pixels, bool bold) {
    QFont f("Arial");
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

int TScaledDialog::percent() const {
    return ScalePercent(scaleFactor_);
}

int TScaledDialog::scaled(int length) const {
    return ScaleValue(length, percent());
}

void TScaledDialog::showEvent(QShowEvent* event) {
    if (!shown_) {
        shown_ = true;
        SetStylePercent(this, percent());
        ScaleAndCentreDialog(this, scaleFactor_, screen_);
        FormShow();
    }
    QDialog::showEvent(event);
}
