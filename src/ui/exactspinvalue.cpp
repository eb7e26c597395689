#include "ui/exactspinvalue.h"

#include <QDoubleSpinBox>
#include <QVariant>

namespace {
// Dynamic properties of the box: the value it was given and the value it then showed.
constexpr char kExact[] = "karvenoExactValue";
constexpr char kShown[] = "karvenoShownValue";
} // namespace

void setExactValue(QDoubleSpinBox *box, double value) {
    box->setValue(value);
    box->setProperty(kExact, value);
    box->setProperty(kShown, box->value());
}

double exactValue(const QDoubleSpinBox *box) {
    const QVariant exact = box->property(kExact);
    const QVariant shown = box->property(kShown);
    if (exact.isValid() && shown.isValid() && shown.toDouble() == box->value())
        return exact.toDouble();
    return box->value();
}
