#pragma once
// The arrows beside a number field: a value within a range that the user
// moves by one increment per click. The field beside it is a separate
// control; the designer keeps the two in step.

#include <QWidget>

class QToolButton;

namespace barcodes {

class Stepper : public QWidget {
    Q_OBJECT
public:
    explicit Stepper(QWidget *parent = nullptr);

    double value() const { return m_value; }
    int intValue() const { return int(m_value); }
    // Takes `value` kept within the range; no signal.
    void setValue(double value);
    void setRange(double minimum, double maximum);
    void setMinimum(double minimum) { setRange(minimum, m_maximum); }
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    void setIncrement(double increment) { m_increment = increment; }

    // A click on an arrow: one increment up or down, then `stepped`.
    void stepUp();
    void stepDown();

signals:
    void stepped();

private:
    QToolButton *m_up;
    QToolButton *m_down;
    double m_value = 0;
    double m_minimum = 0;
    double m_maximum = 100;
    double m_increment = 1;
};

} // namespace barcodes
