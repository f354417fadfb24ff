#include "main/window/Accessibility.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

void NameForReaders(QWidget& control, const QString& name) {
    control.setAccessibleName(name);
    if (auto* combo = qobject_cast<QComboBox*>(&control)) {
        if (combo->lineEdit())
            combo->lineEdit()->setAccessibleName(name);
        combo->view()->setAccessibleName(name);
    }
}

void LabelForReaders(QLabel& caption, QWidget& field) {
    caption.setBuddy(&field);
    field.setAccessibleName(caption.text());
}
