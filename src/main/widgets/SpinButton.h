#pragma once

#include <QWidget>

class QToolButton;

// An up arrow over a down arrow. Holding an arrow repeats its click, first after 400 ms and
// then every 100 ms, each repeat an ordinary click.
class TSpinButton : public QWidget {
    Q_OBJECT
public:
    explicit TSpinButton(QWidget* parent = nullptr);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    void upClick();
    void downClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};
