#include "ui/imagesizedialog.h"

#include "ui_imagesizedialog.h"

#include <QCheckBox>
#include <QSpinBox>

ImageSizeDialog::ImageSizeDialog(const QSize &viewSize, QWidget *parent)
    : QDialog(parent), ui(new Ui::ImageSizeDialog) {
    ui->setupUi(this);
    ui->widthBox->setValue(viewSize.width());
    ui->heightBox->setValue(viewSize.height());
    const auto follow = [this](bool windowSize) {
        ui->widthBox->setEnabled(!windowSize);
        ui->heightBox->setEnabled(!windowSize);
    };
    connect(ui->windowSizeBox, &QCheckBox::toggled, this, follow);
    follow(ui->windowSizeBox->isChecked());
}

ImageSizeDialog::~ImageSizeDialog() {
    delete ui;
}

QSize ImageSizeDialog::chosenSize() const {
    if (ui->windowSizeBox->isChecked())
        return QSize();
    return QSize(ui->widthBox->value(), ui->heightBox->value());
}
