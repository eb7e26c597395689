#include "ui/atomsdialog.h"

#include "ui_atomsdialog.h"
#include "ui/wheelguard.h"

#include <QEvent>

#include "model/atom.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "ui/exactspinvalue.h"

AtomsDialog::AtomsDialog(QWidget *parent, Atom &atom)
    : QDialog(parent), ui(std::make_unique<Ui::AtomsDialog>()), selectedAtom(atom) {
    ui->setupUi(this);
    // Scrolling over the dialog never changes a value that the user did not click into.
    guardWheelInTree(this);
    setExactValue(ui->x_SpinBox, atom.getX());
    setExactValue(ui->y_SpinBox, atom.getY());
    setExactValue(ui->z_SpinBox, atom.getZ());

    // An atom whose material is not in the registry shows no material and offset 0 only.
    const Material *own = atom.getMaterial();
    int current = -1;
    const QList<Material *> &materials = *MaterialsManager::getInstance()->getMaterials();
    {
        const QSignalBlocker blocker(ui->materialBox);
        for (const Material *material : materials) {
            if (!material)
                continue;
            if (own && current < 0 && material->getName() == own->getName())
                current = ui->materialBox->count();
            ui->materialBox->addItem(material->getName());
        }
        ui->materialBox->setCurrentIndex(current);
    }
    setOffsetRange(ui->materialBox->currentText());
    ui->nOffsetBox->setValue(atom.getNOffset());
}

AtomsDialog::~AtomsDialog() = default;

void AtomsDialog::setOffsetRange(const QString &name) {
    const Material *material =
        name.isEmpty() ? nullptr : MaterialsManager::getInstance()->getMaterial(name);
    const int offsets = material ? int(material->getOffsets().size()) : 0;
    ui->nOffsetBox->setRange(0, qMax(0, offsets - 1));
}

void AtomsDialog::on_materialBox_currentIndexChanged(int) {
    setOffsetRange(ui->materialBox->currentText());
}

void AtomsDialog::on_buttonBox_accepted() {
    selectedAtom.setX(exactValue(ui->x_SpinBox));
    selectedAtom.setY(exactValue(ui->y_SpinBox));
    selectedAtom.setZ(exactValue(ui->z_SpinBox));
    // With no entry chosen (an atom whose material is not registered) the atom keeps its own.
    if (ui->materialBox->currentIndex() >= 0)
        selectedAtom.setMaterial(
            MaterialsManager::getInstance()->getMaterial(ui->materialBox->currentText()));
    selectedAtom.setNOffset(ui->nOffsetBox->value());
    emit changeEvent();
}

void AtomsDialog::changeEvent(QEvent *event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
