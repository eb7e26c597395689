#include "ui/scaledialog.h"

#include "ui_scaledialog.h"
#include "ui/wheelguard.h"

#include <QDebug>
#include <QEvent>

ScaleDialog::ScaleDialog(QWidget *parent, int *xUnit, double *xMesure, int *yUnit, double *yMesure,
                         int *zUnit, double *zMesure)
    : QDialog(parent), ui(new Ui::ScaleDialog), xUnit(xUnit), yUnit(yUnit), zUnit(zUnit),
      xMesure(xMesure), yMesure(yMesure), zMesure(zMesure) {
    ui->setupUi(this);
    // Scrolling over the dialog never changes a value that the user did not click into.
    guardWheelInTree(this);
    ui->xMesureBox->setValue(*xMesure);
    ui->yMesureBox->setValue(*yMesure);
    ui->zMesureBox->setValue(*zMesure);
    ui->xScaleExponent->setValue(*xUnit);
    ui->yScaleExponent->setValue(*yUnit);
    ui->zScaleExponent->setValue(*zUnit);
}

ScaleDialog::~ScaleDialog() {
    delete ui;
}

void ScaleDialog::on_buttonBox_accepted() {
    *xMesure = ui->xMesureBox->value();
    *yMesure = ui->yMesureBox->value();
    *zMesure = ui->zMesureBox->value();
    *xUnit = ui->xScaleExponent->value();
    *yUnit = ui->yScaleExponent->value();
    *zUnit = ui->zScaleExponent->value();
    qDebug() << "Saving current scale: " << *xMesure << *xUnit << *yMesure << *yUnit << *zMesure
             << *zUnit;
    emit changeEvent();
}

void ScaleDialog::changeEvent(QEvent *event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
