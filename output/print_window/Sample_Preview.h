#pragma once
// The sample of one sheet in the print set-up window: the paper in white
// and every cell of the current layout, numbered, where the cards would be
// printed (output::paintSampleSheet), drawn one pixel per point. It keeps no
// state: every drawing shows the print layout values of that moment, and
// without print settings it draws nothing. Main thread only.

#include <QImage>
#include <QWidget>

class Sample_Preview : public QWidget {
    Q_OBJECT
public:
    explicit Sample_Preview(QWidget *parent = nullptr);

    // The view as drawn now; a null image without print settings.
    QImage imageRepresentation();

protected:
    void paintEvent(QPaintEvent *event) override;
};
