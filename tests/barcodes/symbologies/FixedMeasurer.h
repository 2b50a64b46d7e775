#pragma once
// A text measurer with fixed metrics: every font has capitals 10 points high
// and every character is 5 points wide (plus any kerning).

#include "barcodes/symbologies/TextMeasurer.h"

namespace quorvant::test {

class FixedMeasurer : public barcodes::TextMeasurer {
public:
    double capHeight(const QFont &) const override { return 10.0; }
    QSizeF textSize(const QString &text, const QFont &, double kerning) const override
    {
        return {text.size() * (5.0 + kerning), 12.0};
    }
};

} // namespace quorvant::test
