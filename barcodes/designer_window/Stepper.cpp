#include "barcodes/designer_window/Stepper.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace barcodes {

Stepper::Stepper(QWidget *parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFixedSize(18, 11);
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, &Stepper::stepUp);
    connect(m_down, &QToolButton::clicked, this, &Stepper::stepDown);
}

void Stepper::setValue(double value)
{
    m_value = std::isnan(value) ? m_minimum : std::clamp(value, m_minimum, m_maximum);
}

void Stepper::setRange(double minimum, double maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    setValue(m_value);
}

void Stepper::stepUp()
{
    // Rounded to the increment's own decimals, so 0.1 steps stay 0.3, not
    // 0.30000000000000004.
    setValue(std::round((m_value + m_increment) * 1e6) / 1e6);
    emit stepped();
}

void Stepper::stepDown()
{
    setValue(std::round((m_value - m_increment) * 1e6) / 1e6);
    emit stepped();
}

} // namespace barcodes
