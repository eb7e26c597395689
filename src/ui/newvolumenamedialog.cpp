#include "ui/newvolumenamedialog.h"

#include "ui_newvolumenamedialog.h"

#include <QColorDialog>

NewVolumeNameDialog::NewVolumeNameDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::NewVolumeNameDialog), color(Qt::black) {
    ui->setupUi(this);
    ui->colorButton->setStyleSheet(colorStyleSheet(color));
}

NewVolumeNameDialog::~NewVolumeNameDialog() {
    delete ui;
}

QString NewVolumeNameDialog::getNewName() const {
    return ui->newNameEdit->text();
}

QString NewVolumeNameDialog::colorStyleSheet(const QColor &color) {
    // An invalid colour has no components; it is shown as black.
    const QColor shown = color.isValid() ? color : QColor(Qt::black);
    auto hex = [](int component) { return QString("%1").arg(component, 2, 16, QChar('0')); };
    return "background-color: #" + hex(shown.red()) + hex(shown.green()) + hex(shown.blue());
}

void NewVolumeNameDialog::setColor(const QColor &newColor) {
    if (!newColor.isValid())
        return;
    color = newColor;
    ui->colorButton->setStyleSheet(colorStyleSheet(color));
}

void NewVolumeNameDialog::on_colorButton_clicked() {
    setColor(QColorDialog::getColor(color, this));
}
