#ifndef KARVENO_UI_VALUEBOX_H
#define KARVENO_UI_VALUEBOX_H

// A real-number box that shows its value as the shortest decimal that reads back to it ("300",
// "0", "1.5" rather than "300.0000000000") and asks for the width of the text it shows.

#include <QDoubleSpinBox>

class ValueBox : public QDoubleSpinBox {
    Q_OBJECT

public:
    explicit ValueBox(QWidget *parent = nullptr);

    QString textFromValue(double value) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The shortest decimal text of value in fixed notation, as the boxes show it.
    static QString shortestText(double value, const QLocale &locale = QLocale::c());

private:
    // Width needed beyond the text: frame, margins and the arrows.
    int chromeWidth() const;
};

#endif // KARVENO_UI_VALUEBOX_H
