#include "main/dialogs/DetailsView.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <algorithm>

namespace {

// Read-only text whose characters are the readable lines; no caret, no selection of its own.
class DetailsViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DetailsViewAccessible(TDetailsView* view)
        : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.editable = false;
        s.multiLine = true;
        return s;
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? readable() : QAccessibleWidget::text(t);
    }

    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return cursor_; }
    void setCursorPosition(int position) override {
        cursor_ = std::clamp(position, 0, characterCount());
    }
    QString text(int startOffset, int endOffset) const override {
        const QString& all = readable();
        if (endOffset < 0 || endOffset > all.size())
            endOffset = int(all.size());
        startOffset = std::clamp(startOffset, 0, endOffset);
        return all.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(readable().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }

private:
    const QString& readable() const { return static_cast<TDetailsView*>(widget())->readableText(); }
    int cursor_ = 0;
};

QAccessibleInterface* DetailsViewFactory(const QString& key, QObject* object) {
    if (key == QLatin1String("TDetailsView") && object && object->isWidgetType())
        return new DetailsViewAccessible(static_cast<TDetailsView*>(object));
    return nullptr;
}

} // namespace

TDetailsView::TDetailsView(QWidget* parent) : QTextBrowser(parent) {
    static const bool installed = (QAccessible::installFactory(DetailsViewFactory), true);
    (void)installed;
}

void TDetailsView::setReadableText(const QString& text) {
    if (text == readable_)
        return;
    readable_ = text;
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, readable_);
        QAccessible::updateAccessibility(&changed);
    }
}
