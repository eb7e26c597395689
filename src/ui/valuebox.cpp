#include "ui/valuebox.h"

#include "ui/wheelguard.h"

#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <cmath>

ValueBox::ValueBox(QWidget *parent) : QDoubleSpinBox(parent) {
    guardWheel(this);
    // The text changes width with the value: ask the layout again.
    connect(this, &QDoubleSpinBox::valueChanged, this, [this] { updateGeometry(); });
}

QString ValueBox::shortestText(double value, const QLocale &locale) {
    if (value == 0.0 || std::isnan(value))
        value = 0.0; // -0 and NaN show as 0
    QString text = locale.toString(value, 'f', QLocale::FloatingPointShortest);
    text.remove(locale.groupSeparator());
    return text;
}

QString ValueBox::textFromValue(double value) const {
    QString text = shortestText(value, locale());
    // The box holds its value rounded to its decimals; never show more than it can hold.
    const int point = text.indexOf(locale().decimalPoint());
    if (point >= 0 && text.size() - point - 1 > decimals())
        text = shortestText(locale().toString(value, 'f', decimals()).toDouble(), locale());
    return text;
}

int ValueBox::chromeWidth() const {
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize content(fontMetrics().horizontalAdvance(QLatin1Char('0')), fontMetrics().height());
    const QSize whole = style()->sizeFromContents(QStyle::CT_SpinBox, &option, content, this);
    return whole.width() - content.width() + fontMetrics().horizontalAdvance(QLatin1Char('0'));
}

QSize ValueBox::sizeHint() const {
    QSize hint = QDoubleSpinBox::sizeHint();
    const int needed = fontMetrics().horizontalAdvance(lineEdit()->text()) + chromeWidth();
    hint.setWidth(qMax(hint.width(), needed));
    return hint;
}

QSize ValueBox::minimumSizeHint() const {
    QSize hint = QDoubleSpinBox::minimumSizeHint();
    const int needed = fontMetrics().horizontalAdvance(lineEdit()->text()) + chromeWidth();
    hint.setWidth(qMax(hint.width(), needed));
    return hint;
}
