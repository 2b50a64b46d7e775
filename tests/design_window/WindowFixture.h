#pragma once
// A design window of its own per test, over a private resource folder, with
// every alert answered by the test and recorded.

#include "design_window/DesignFile.h"
#include "design_window/Globals.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "platform/Alerts.h"
#include "platform/ModalRun.h"
#include "tests/support/ScopedValue.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class DesignWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        responder = std::make_unique<platform::ScopedAlertResponder>([this](const platform::AlertRequest &r) {
            alerts.append(r.text.trimmed());
            return answer(r);
        });
        // A dialog the test did not script would wait for a user forever.
        unscripted = std::make_unique<platform::ScopedModalResponder>([](QDialog &d) {
            ADD_FAILURE() << "unscripted dialog " << d.metaObject()->className();
            return 0;
        });
        design_window::setResourceFolder(tmp.file("res"));
        wnd = std::make_unique<TVNWindowController>();
    }
    void TearDown() override
    {
        wnd.reset();
        unscripted.reset();
        design_window::restoreSpreadsheetTable({});
        design_window::IMG_Adjustments = {};
    }

    // A new object of the tool's kind on the edited side.
    GraphicPtr add(int tool)
    {
        wnd->selectTool(tool);
        return wnd->currentCanvas()->_Selected_Graphic;
    }
    std::shared_ptr<TVNText> addText(const QString &text, const QRectF &bounds)
    {
        auto t = std::static_pointer_cast<TVNText>(add(TVNWindowController::kTextTool));
        t->setContentsString(text);
        t->setBounds(bounds);
        return t;
    }
    // The edited side's canvas as the user sees it (2 pixels per point).
    QImage canvasPicture() const { return wnd->currentCanvas()->grab().toImage(); }
    // Card points to canvas pixels.
    QRect onCanvas(const QRectF &points) const
    {
        const double s = wnd->currentCanvas()->scale();
        return QRectF(points.topLeft() * s, points.size() * s).toRect();
    }
    // A mouse event on the edited side's canvas at a point of the card.
    void mouse(QEvent::Type type, QPointF cardPoint)
    {
        TVNGraphicView *canvas = wnd->currentCanvas();
        const QPointF pos = cardPoint * canvas->scale();
        QMouseEvent event(type, pos, canvas->mapToGlobal(pos), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
    }
    void drag(QPointF from, QPointF to)
    {
        mouse(QEvent::MouseButtonPress, from);
        mouse(QEvent::MouseMove, (from + to) / 2);
        mouse(QEvent::MouseMove, to);
        mouse(QEvent::MouseButtonRelease, to);
    }
    QString makePng(const QString &name, QColor color, QSize size = QSize(40, 30)) const
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(color);
        const QString path = tmp.file(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }

    // What the window and the tests change of the process-wide state goes
    // back after each test.
    quorvant::test::ScopedValue<QString> resourcePath{design_window::Resource_Path};
    quorvant::test::ScopedValue<QString> dataFolderPath{design_window::Data_Folder_Path};
    quorvant::test::ScopedValue<int> cardShape{design_window::Card_Shape};
    quorvant::test::ScopedValue<QString> cardSides{design_window::CARD_SIDE_STR};
    quorvant::test::ScopedValue<std::atomic<int>> editedSide{design_window::Card_Front_Or_Back};
    quorvant::test::ScopedValue<int> tool{design_window::Selected_Control_Tool};
    quorvant::test::ScopedValue<bool> bindingInUse{design_window::Excel_Binding_Use};
    quorvant::test::ScopedValue<QString> bindingSource{design_window::Excel_Source_Path};
    quorvant::test::TempFolder tmp;
    QStringList alerts;
    // The button the user presses: unless set, the first ("OK", "Yes"), and
    // "No" to the question whether to save changes (its three buttons).
    std::function<int(const platform::AlertRequest &)> answer = [](const platform::AlertRequest &r) {
        return r.buttons.size() == 3 ? 1 : 0;
    };
    std::unique_ptr<platform::ScopedAlertResponder> responder;
    std::unique_ptr<platform::ScopedModalResponder> unscripted;
    std::unique_ptr<TVNWindowController> wnd;
};

// Pixels of `picture` inside `box` darker than mid grey.
inline int darkPixels(const QImage &picture, const QRect &box)
{
    int dark = 0;
    const QRect inside = box & picture.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            dark += qGray(picture.pixel(x, y)) < 100;
    return dark;
}
