#pragma once
// The canvas grid, shared by the main window and the canvases.

#include <QColor>
#include <QObject>

class TVNGrid : public QObject {
    Q_OBJECT
public:
    explicit TVNGrid(QObject *parent = nullptr);

    QColor color() const { return _color; }
    void setColor(const QColor &color);
    double spacing() const { return _spacing; }
    void setSpacing(double points);

    bool isAlwaysShown() const { return _isAlwaysShown; }
    // Emits alwaysShownChanged() when the flag changes.
    void setAlwaysShown(bool shown);
    bool isConstraining() const { return _isConstraining; }
    void setConstraining(bool constraining);

    // A grid can be drawn and snapped to only with a positive spacing.
    bool isUsable() const { return _spacing > 0; }
    // The nearest multiple of the spacing; exactly half way goes up.
    double snap(double value) const;

signals:
    void alwaysShownChanged(bool shown);
    void changed();

private:
    QColor _color = Qt::lightGray;
    double _spacing = 9;
    bool _isAlwaysShown = false;
    bool _isConstraining = false;
};
