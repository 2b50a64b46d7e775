// The barcode image view: it shows its picture, and clicks and drags on it
// go nowhere.

#include "barcodes/widgets/SymBarcodeImageView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

using barcodes::SymBarcodeImageView;

namespace {

// A window that counts the presses that reach it.
class PressCounter : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        ++presses;
        event->accept();
    }
};

int pressesReachingParent(QWidget &child, PressCounter &parent)
{
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, child.mapTo(&parent, at), child.mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&child, &press);
    return parent.presses;
}

} // namespace

TEST(SymBarcodeImageView, ClicksAndDragsGoNowhere)
{
    PressCounter window;
    auto *view = new SymBarcodeImageView(&window);
    view->resize(40, 20);
    EXPECT_EQ(view->draggingSourceOperationMaskForLocal(false), Qt::IgnoreAction);
    EXPECT_EQ(pressesReachingParent(*view, window), 0);
    // A plain label lets the same press through to the window.
    PressCounter other;
    EXPECT_EQ(pressesReachingParent(*new QLabel(&other), other), 1);
}

TEST(SymBarcodeImageView, ShowsThePictureAtItsSizeInPoints)
{
    SymBarcodeImageView view;
    const auto picture = platform::Image::record(QSizeF(30, 12), [](QPainter &p) { p.fillRect(0, 0, 30, 12, Qt::black); });
    view.setImage(picture);
    const QPixmap shown = view.pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.deviceIndependentSize(), QSizeF(30, 12));
    EXPECT_EQ(QColor(shown.toImage().pixel(shown.width() / 2, shown.height() / 2)), QColor(Qt::black));

    view.setImage(platform::Image());
    EXPECT_TRUE(view.pixmap().isNull());
}
