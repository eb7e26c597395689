#ifndef KARVENO_UI_SCALEDIALOG_H
#define KARVENO_UI_SCALEDIALOG_H

// Edits the scale of the three axes: a measure and a power of ten per axis, owned by the caller.

#include <QDialog>

namespace Ui {
class ScaleDialog;
}

class ScaleDialog : public QDialog {
    Q_OBJECT

public:
    // The pointed-to values are read now and written only when the dialog is accepted. Measures
    // range over 0 to 10000000 and exponents over -20 to 20; values outside are shown clamped.
    ScaleDialog(QWidget *parent, int *xUnit, double *xMesure, int *yUnit, double *yMesure,
                int *zUnit, double *zMesure);
    ~ScaleDialog() override;

signals:
    // Emitted on every acceptance; the opener marks its project modified.
    void changeEvent();

public slots:
    void on_buttonBox_accepted();

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::ScaleDialog *ui;
    int *xUnit;
    int *yUnit;
    int *zUnit;
    double *xMesure;
    double *yMesure;
    double *zMesure;
};

#endif
