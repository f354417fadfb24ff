#pragma once

#include <QStyledItemDelegate>

// The height of one line of the results list at the design size.
inline constexpr int AnswerItemHeight = 17;

// Every line of the results list is one fixed height, scaled with the window.
class ItemHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int height = AnswerItemHeight;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(height);
        return s;
    }
};
