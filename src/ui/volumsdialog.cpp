#include "ui/volumsdialog.h"

#include "ui_volumsdialog.h"
#include "ui/wheelguard.h"

#include <QDebug>
#include <QEvent>
#include <QMessageBox>
#include <QRegularExpression>

#include "model/material.h"
#include "model/materialsmanager.h"
#include "ui/exactspinvalue.h"
#include "ui/propertyform.h"
#include "ui/volumnameedit.h"
#include "ui/volumplacement.h"

namespace {

// The volum list shows "name [position]" and the design files read names as single words: a name
// with a blank or "[" could not be found again.
bool isAcceptableVolumName(const QString &name) {
    static const QRegularExpression forbidden(QStringLiteral("[\\s\\[]"));
    return !name.contains(forbidden);
}

} // namespace

VolumsDialog::VolumsDialog(QWidget *parent, QList<Volum> *volums, QList<Category> categories,
                           double x, double y, double z)
    : QDialog(parent), ui(std::make_unique<Ui::VolumsDialog>()), volums(volums),
      default_categories(std::move(categories)) {
    setUpForm();
    setExactValue(ui->xoriginBox, x);
    setExactValue(ui->yoriginBox, y);
    setExactValue(ui->zoriginBox, z);
    loadMaterials();
    for (const Category &category : std::as_const(default_categories))
        ui->propertiesList->addItem(category.getName());
}

VolumsDialog::VolumsDialog(QWidget *parent, QList<Volum> *volums, QString name)
    : QDialog(parent), ui(std::make_unique<Ui::VolumsDialog>()), volums(volums),
      name(std::move(name)) {
    setUpForm();
    vne->setText(this->name);
    if (const Volum *volum = findVolum(vne->text())) {
        setExactValue(ui->xoriginBox, volum->getMinX());
        setExactValue(ui->yoriginBox, volum->getMinY());
        setExactValue(ui->zoriginBox, volum->getMinZ());
        setExactValue(ui->xsizeBox, volum->getxSize());
        setExactValue(ui->ysizeBox, volum->getySize());
        setExactValue(ui->zsizeBox, volum->getzSize());
        ui->xmallesBox->setValue(volum->getxMalles());
        ui->ymallesBox->setValue(volum->getyMalles());
        ui->zmallesBox->setValue(volum->getzMalles());
        default_categories = volum->getCategories();
    }
    loadMaterials();
    for (const Category &category : std::as_const(default_categories))
        ui->propertiesList->addItem(category.getName());
}

VolumsDialog::~VolumsDialog() = default;

void VolumsDialog::setUpForm() {
    ui->setupUi(this);
    // Scrolling over the dialog never changes a value that the user did not click into.
    guardWheelInTree(this);
    vne = new VolumNameEdit(this);
    vne->setObjectName(QStringLiteral("vne"));
    ui->nameLayout->addWidget(vne);
    vne->setFocus();
    form = new PropertyForm(ui->scrollArea, this);
    materials = MaterialsManager::getInstance()->getMaterials();
    if (materials->isEmpty()) {
        ui->materialBox->setToolTip(
            tr("No material is loaded: put material files into data/materials."));
    }
}

Volum *VolumsDialog::findVolum(const QString &volumName) const {
    for (Volum &volum : *volums) {
        if (volum.getName() == volumName)
            return &volum;
    }
    return nullptr;
}

void VolumsDialog::loadMaterials() {
    QString selected;
    if (!name.isEmpty()) {
        if (const Volum *volum = findVolum(vne->text())) {
            if (volum->getMaterial())
                selected = volum->getMaterial()->getName();
            ui->wAIBox->setChecked(volum->isWriteAtomsInfo());
        }
    }
    // An edited volum without material, or with one the registry does not hold, shows no
    // selection and keeps what it has unless the user picks a material.
    int index = name.isEmpty() ? 0 : -1;
    for (const Material *material : std::as_const(*materials)) {
        if (!material)
            continue;
        if (!selected.isEmpty() && material->getName() == selected)
            index = ui->materialBox->count();
        ui->materialBox->addItem(material->getName());
    }
    ui->materialBox->setCurrentIndex(ui->materialBox->count() > 0 ? index : -1);
}

QString VolumsDialog::checkOverlap() const {
    const VolumPlacement::Box box = VolumPlacement::boxAt(
        exactValue(ui->xoriginBox), exactValue(ui->yoriginBox), exactValue(ui->zoriginBox),
        exactValue(ui->xsizeBox), exactValue(ui->ysizeBox), exactValue(ui->zsizeBox));
    for (const Volum &other : std::as_const(*volums)) {
        if (other.getName() == name)
            continue;
        if (VolumPlacement::overlap(box, VolumPlacement::boxOf(other)))
            return other.getName();
    }
    return QString();
}

Material *VolumsDialog::chosenMaterial(const Volum *current) const {
    if (ui->materialBox->currentIndex() < 0)
        return current ? current->getMaterial() : nullptr;
    return MaterialsManager::getInstance()->getMaterial(ui->materialBox->currentText());
}

void VolumsDialog::refuse(const QString &text) {
    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setText(text);
    box.exec();
    finish = false;
}

void VolumsDialog::on_buttonBox_accepted() {
    const QString overlapped = checkOverlap();
    if (!overlapped.isEmpty()) {
        refuse(tr("The volum is overlaped with volum ") + overlapped);
        return;
    }
    form->readBack();

    const QString newName = vne->text();
    if (!isAcceptableVolumName(newName)) {
        refuse(tr("A volum name is one word without blanks or \"[\"!"));
        return;
    }
    const Coord origin(exactValue(ui->xoriginBox), exactValue(ui->yoriginBox),
                       exactValue(ui->zoriginBox));
    const float xsize = float(exactValue(ui->xsizeBox));
    const float ysize = float(exactValue(ui->ysizeBox));
    const float zsize = float(exactValue(ui->zsizeBox));

    if (name.isEmpty()) {
        if (newName.isEmpty()) {
            refuse(tr("You must specify a volum name!"));
            return;
        }
        if (findVolum(newName)) {
            refuse(tr("Volum ") + newName + tr(" alredy exists!"));
            return;
        }
        if (ui->materialBox->count() == 0) {
            refuse(tr("There is no material to make the volum of. Put material files into "
                      "data/materials and start a new project."));
            return;
        }
        Volum volum(newName, ui->xmallesBox->value(), ui->ymallesBox->value(),
                    ui->zmallesBox->value(), default_categories);
        volum.addCoords(origin, xsize, ysize, zsize);
        volum.setNMalles(ui->xmallesBox->value(), ui->ymallesBox->value(), ui->zmallesBox->value());
        volum.setMaterial(chosenMaterial(nullptr));
        volum.setWriteAtomsInfo(ui->wAIBox->isChecked());
        volum.calculateAtomicPoints();
        volums->append(volum);
        emit volumAdded(newName, QString());
        emit changeEvent();
        return;
    }

    // Editing. An empty name would turn the volum into one the list and the files cannot find.
    if (newName.isEmpty()) {
        refuse(tr("You must specify a volum name!"));
        return;
    }
    if (newName != name && findVolum(newName)) {
        refuse(tr("Volum ") + newName + tr(" alredy exists!"));
        return;
    }
    if (Volum *volum = findVolum(name)) {
        Material *material = chosenMaterial(volum);
        const QString oldMaterialName =
            volum->getMaterial() ? volum->getMaterial()->getName() : QString();
        const QString newMaterialName = material ? material->getName() : QString();
        const bool recalculate = volum->getxSize() != xsize || volum->getySize() != ysize ||
                                 volum->getzSize() != zsize || oldMaterialName != newMaterialName;
        volum->setName(newName);
        volum->setNMalles(ui->xmallesBox->value(), ui->ymallesBox->value(),
                          ui->zmallesBox->value());
        volum->addCoords(origin, xsize, ysize, zsize);
        volum->setMaterial(material);
        volum->setCategories(default_categories);
        volum->setWriteAtomsInfo(ui->wAIBox->isChecked());
        if (recalculate)
            volum->calculateAtomicPoints();
    }
    qDebug() << "volumEdited:" << newName << name;
    emit volumEdited(newName, name);
    emit changeEvent();
}

void VolumsDialog::on_propertiesList_currentRowChanged(int currentRow) {
    form->showCategory(&default_categories, currentRow);
}

void VolumsDialog::showHelp(QString text) {
    form->showHelp(text);
}

void VolumsDialog::showOption(QWidget *subForm) {
    form->showOption(subForm);
}

void VolumsDialog::setRadioButtonState(bool state) {
    form->setRadioButtonState(state);
}

void VolumsDialog::changeEvent(QEvent *event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
