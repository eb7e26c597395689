#include "ui/materialsdialog.h"

#include "ui_materialsdialog.h"
#include "ui/wheelguard.h"

#include <QColorDialog>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMainWindow>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextStream>

#include "io/datalocation.h"
#include "io/materialfiles.h"
#include "model/coord.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "ui/exactspinvalue.h"
#include "ui/newvolumenamedialog.h"
#include "ui/propertyform.h"
#include "ui/vectorlistwidget.h"

namespace {

// Material names are read back as single words and become a file name: no blanks, no folders.
bool isAcceptableMaterialName(const QString &name) {
    static const QRegularExpression forbidden(QStringLiteral("[\\s/\\\\]"));
    return !name.isEmpty() && !name.contains(forbidden);
}

} // namespace

MaterialsDialog::MaterialsDialog(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::MaterialsDialog>()),
      materials(MaterialsManager::getInstance()->getMaterials()) {
    ui->setupUi(this);
    // Scrolling over the dialog never changes a value that the user did not click into.
    guardWheelInTree(this);
    // The boxes' wide ranges would claim most of the dialog; the property form needs it more.
    for (QDoubleSpinBox *box : ui->matVectorsGroupBox->findChildren<QDoubleSpinBox *>()) {
        box->setMinimumWidth(70);
        box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    }
    form = new PropertyForm(ui->scrollArea, this);
    originalList = *materials;
    for (const Material *material : std::as_const(*materials)) {
        if (material)
            original.append(*material);
    }
    if (!materials->isEmpty() && materials->first())
        lastmat = materials->first()->getName();
    // Adding the first name makes it current, which shows that material.
    for (const Material *material : std::as_const(*materials))
        ui->materialBox->addItem(material ? material->getName() : QString());
    const bool any = !materials->isEmpty();
    ui->duplicateButton->setEnabled(any);
    ui->colorButton->setEnabled(any);
    ui->matVectorsGroupBox->setEnabled(any);
}

MaterialsDialog::~MaterialsDialog() = default;

Material *MaterialsDialog::shownMaterial() const {
    if (lastmatindex < 0 || lastmatindex >= materials->size())
        return nullptr;
    return materials->at(lastmatindex);
}

void MaterialsDialog::storeShownMaterial() {
    Material *material = shownMaterial();
    if (!material || !vector_list_widget) {
        form->readBack();
        return;
    }
    material->setAtomVec1(Coord(exactValue(ui->vector1XBox), exactValue(ui->vector1YBox),
                                exactValue(ui->vector1ZBox)));
    material->setAtomVec2(Coord(exactValue(ui->vector2XBox), exactValue(ui->vector2YBox),
                                exactValue(ui->vector2ZBox)));
    material->setAtomVec3(Coord(exactValue(ui->vector3XBox), exactValue(ui->vector3YBox),
                                exactValue(ui->vector3ZBox)));
    material->setAtomOffsets(vector_list_widget->getVectors());
    form->readBack();
}

void MaterialsDialog::on_materialBox_currentIndexChanged(int index) {
    const QString shownName = ui->materialBox->itemText(index);
    if (shownName != lastmat)
        storeShownMaterial();

    Material *material = (index >= 0 && index < materials->size()) ? materials->at(index) : nullptr;
    ui->propertiesList->clear();
    if (material) {
        for (const Category &category : std::as_const(material->getCategories()))
            ui->propertiesList->addItem(category.getName());
        color = material->getColor();
        showColor();
        const Coord vectors[3] = {material->getAtomVec1(), material->getAtomVec2(),
                                  material->getAtomVec3()};
        QDoubleSpinBox *const boxes[3][3] = {{ui->vector1XBox, ui->vector1YBox, ui->vector1ZBox},
                                             {ui->vector2XBox, ui->vector2YBox, ui->vector2ZBox},
                                             {ui->vector3XBox, ui->vector3YBox, ui->vector3ZBox}};
        for (int v = 0; v < 3; ++v) {
            setExactValue(boxes[v][0], vectors[v].getX());
            setExactValue(boxes[v][1], vectors[v].getY());
            setExactValue(boxes[v][2], vectors[v].getZ());
        }
    }

    // The old editor goes without counting as a change; filling the new one does not count
    // either, since it is connected only afterwards.
    delete ui->offsetScrollArea->takeWidget();
    vector_list_widget = new VectorListWidget(nullptr, shownName);
    if (material) {
        for (const Coord &offset : std::as_const(material->getOffsets())) {
            const QString offsetMaterial =
                offset.getMaterialName().isEmpty() ? shownName : offset.getMaterialName();
            vector_list_widget->addNewVector(offset.getX(), offset.getY(), offset.getZ(),
                                             offsetMaterial);
        }
    }
    ui->offsetScrollArea->setWidget(vector_list_widget);
    vector_list_widget->setEnabled(material != nullptr);
    connect(vector_list_widget, &VectorListWidget::vectorListChanged, this,
            &MaterialsDialog::vectorListChangedSlot);

    lastmat = shownName;
    lastmatindex = index;
}

void MaterialsDialog::on_propertiesList_currentRowChanged(int currentRow) {
    Material *material = shownMaterial();
    if (material && ui->materialBox->currentText() == lastmat && currentRow >= 0)
        form->showCategory(&material->getCategories(), currentRow);
    else
        form->readBack();
}

void MaterialsDialog::on_buttonBox_accepted() {
    storeShownMaterial();
    if (hasWrittenChanges())
        emit changeEvent();
}

bool MaterialsDialog::hasWrittenChanges() const {
    qsizetype n = 0;
    if (*materials != originalList)
        return true;
    for (const Material *material : std::as_const(*materials)) {
        if (!material)
            continue;
        if (n >= original.size() || !(*material == original[n]))
            return true;
        ++n;
    }
    return n != original.size();
}

void MaterialsDialog::reject() {
    // Materials left for another one, colours picked and duplicates went to the registry while
    // the dialog was open: put them all back. A duplicate's file stays written.
    *materials = originalList;
    qsizetype n = 0;
    for (Material *material : std::as_const(originalList)) {
        if (material && n < original.size())
            *material = original.at(n++);
    }
    QDialog::reject();
}

void MaterialsDialog::vectorListChangedSlot() {
    vectorListModified = true;
}

void MaterialsDialog::showColor() {
    ui->colorButton->setStyleSheet(NewVolumeNameDialog::colorStyleSheet(color));
}

void MaterialsDialog::on_colorButton_clicked() {
    Material *material = shownMaterial();
    if (!material)
        return;
    const QColor chosen = QColorDialog::getColor(color, this);
    // A cancelled colour dialog returns an invalid colour: the material keeps its own.
    if (!chosen.isValid())
        return;
    color = chosen;
    showColor();
    material->setColor(color);
}

void MaterialsDialog::on_duplicateButton_clicked() {
    const QString shownName = ui->materialBox->currentText();
    Material *source = MaterialsManager::getInstance()->getMaterial(shownName);
    if (!source)
        return;

    NewVolumeNameDialog nameDialog(nullptr);
    nameDialog.setWindowTitle(tr("Duplicate ") + shownName + tr(" material"));
    if (nameDialog.exec() != QDialog::Accepted)
        return;
    const QString newName = nameDialog.getNewName();

    for (const Material *material : std::as_const(*materials)) {
        if (material && material->getName() == newName) {
            QMessageBox::warning(this, tr("Duplicate Material"),
                                 tr("Material ") + newName +
                                     tr(" already exists yet. You must choose another name"));
            return;
        }
    }
    if (!isAcceptableMaterialName(newName)) {
        QMessageBox::warning(this, tr("Duplicate Material"),
                             tr("A material name must be one word, without blanks or slashes. "
                                "You must choose another name"));
        return;
    }

    int largestIndex = 0;
    for (const Material *material : std::as_const(*materials)) {
        if (material)
            largestIndex = qMax(largestIndex, material->getIndexName());
    }
    auto copy = std::make_unique<Material>(newName, source->getIndexName(), source->getColor(),
                                           source->getAtomVec1(), source->getAtomVec2(),
                                           source->getAtomVec3(), source->getOffsets());
    copy->setColor(nameDialog.getColor());
    copy->setIndex(largestIndex + 1);
    copy->setCategories(source->getCategories());
    Material *added = copy.release();
    MaterialsManager::getInstance()->addMaterial(added);
    ui->materialBox->addItem(newName);
    ui->materialBox->setCurrentIndex(ui->materialBox->count() - 1);

    saveDuplicate(*added);
}

void MaterialsDialog::saveDuplicate(const Material &material) {
    const QString folder = DataLocation::find().writableMaterialFolder();
    QString path = folder.isEmpty() ? material.getName().toLower() + QStringLiteral(".txt")
                                    : duplicateMaterialFilePath(folder, material.getName());
    QString error;
    if (folder.isEmpty())
        error = tr("No folder for the user's data is known");
    else if (!QDir().mkpath(folder))
        error = tr("The folder %1 cannot be created").arg(QDir::toNativeSeparators(folder));
    else
        writeMaterialFile(path, material, &error);
    path = QDir::toNativeSeparators(path);
    if (!error.isEmpty()) {
        const QString status = tr("Material %1 was not saved to a file").arg(material.getName());
        ui->statusLabel->setText(status);
        QMessageBox::warning(this, tr("Application"),
                             tr("Cannot write file %1:\n%2.").arg(path, error), QMessageBox::Ok);
        return;
    }
    const QString status = tr("Material %1 saved to %2").arg(material.getName(), path);
    ui->statusLabel->setText(status);
    if (auto *window = qobject_cast<QMainWindow *>(parentWidget()))
        window->statusBar()->showMessage(status);
}

void MaterialsDialog::showHelp(QString text) {
    form->showHelp(text);
}

void MaterialsDialog::showOption(QWidget *subForm) {
    form->showOption(subForm);
}

void MaterialsDialog::setRadioButtonState(bool state) {
    form->setRadioButtonState(state);
}

void MaterialsDialog::changeEvent(QEvent *event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
