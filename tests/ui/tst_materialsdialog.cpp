// The materials dialog and its basis editor: what reaches the registry when the user switches
// materials, accepts or cancels; when a basis counts as modified; duplication with its name check,
// index number rule and file.

#include "ui/materialsdialog.h"

#include "modaldriver.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/property.h"
#include "ui/newvolumenamedialog.h"
#include "ui/vectorlistwidget.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

template <typename T> T *child(QObject &parent, const char *name) {
    T *found = parent.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

VectorListWidget *basisEditor(MaterialsDialog &d) {
    return qobject_cast<VectorListWidget *>(child<QScrollArea>(d, "offsetScrollArea")->widget());
}

// Answers the name dialog of a duplication with a name and a colour.
ModalDriver::Answer nameAndColor(const QString &name, const QColor &color) {
    return [name, color](QWidget *w) {
        auto *dialog = qobject_cast<NewVolumeNameDialog *>(w);
        QVERIFY(dialog);
        dialog->findChild<QLineEdit *>(QStringLiteral("newNameEdit"))->setText(name);
        dialog->setColor(color);
        dialog->accept();
    };
}

QStringList lines(const QString &path) {
    QFile file(path);
    if (!file.open(QFile::ReadOnly | QFile::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

} // namespace

class TestMaterialsDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void showsTheFirstMaterialAndItsBasisMaterials();
    void switchingStoresTheMaterialLeft();
    void acceptStoresTheShownMaterialAndCancelDropsIt();
    void untouchedBoxesKeepFullPrecision();
    void basisCountsAsModifiedOnlyOnUserChanges();
    void firstBasisRowCannotBeDeleted();
    void duplicateTakesRegistryValuesAndNextIndex();
    void duplicateRefusesTakenAndUnusableNames_data();
    void duplicateRefusesTakenAndUnusableNames();
    void duplicateIsWrittenToItsFile();
    void colourReachesTheMaterialAtOnce();
    void emptyRegistry();

private:
    Material *si = nullptr;
    Material *gaas = nullptr;
};

void TestMaterialsDialog::init() {
    QLoggingCategory::setFilterRules(QStringLiteral("karveno.*.debug=false\n"
                                                    "default.debug=false"));
    MaterialsManager *registry = MaterialsManager::getInstance();
    registry->clearMaterials();
    si = new Material(QStringLiteral("Si"), 4, QColor(255, 8, 0), Coord(1, 0, 0), Coord(0, 1, 0),
                      Coord(0, 0, 1), {Coord(0, 0, 0, QStringLiteral("Si")), Coord(0.25, 0, 0)});
    Category doping(QStringLiteral("Doping"));
    doping.addProperty(Property(QStringLiteral("level"), 2, 1.5, QString()));
    si->setCategories({doping});
    // GaAs's second offset names a material registered before it.
    gaas = new Material(
        QStringLiteral("GaAs"), 9, QColor(0, 0, 200), Coord(0.5, 0.5, 0), Coord(0, 0.5, 0.5),
        Coord(0.5, 0, 0.5),
        {Coord(0, 0, 0, QStringLiteral("GaAs")), Coord(0.25, 0.25, 0.25, QStringLiteral("Si"))});
    registry->addMaterial(si);
    registry->addMaterial(gaas);
}

void TestMaterialsDialog::showsTheFirstMaterialAndItsBasisMaterials() {
    MaterialsDialog d;
    auto *box = child<QComboBox>(d, "materialBox");
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->currentText(), QStringLiteral("Si"));
    QCOMPARE(child<QDoubleSpinBox>(d, "vector1XBox")->value(), 1.0);
    QCOMPARE(child<QDoubleSpinBox>(d, "vector2YBox")->value(), 1.0);
    QCOMPARE(child<QToolButton>(d, "colorButton")->styleSheet(),
             QStringLiteral("background-color: #ff0800"));
    QCOMPARE(child<QListWidget>(d, "propertiesList")->count(), 1);
    QCOMPARE(child<QListWidget>(d, "propertiesList")->currentRow(), -1);
    QCOMPARE(basisEditor(d)->rowCount(), 2);

    // An offset without a material name shows, and is stored with, the material's own name.
    QCOMPARE(basisEditor(d)->getVectors().at(1).getMaterialName(), QStringLiteral("Si"));
    child<QComboBox>(d, "materialBox")->setCurrentIndex(1);
    QCOMPARE(basisEditor(d)->getVectors().at(1).getMaterialName(), QStringLiteral("Si"));
    d.on_buttonBox_accepted();
    QCOMPARE(gaas->getOffsets().at(0).getMaterialName(), QStringLiteral("GaAs"));
    QCOMPARE(gaas->getOffsets().at(1).getMaterialName(), QStringLiteral("Si"));
    QCOMPARE(si->getOffsets().at(1).getMaterialName(), QStringLiteral("Si"));
}

void TestMaterialsDialog::switchingStoresTheMaterialLeft() {
    MaterialsDialog d;
    child<QDoubleSpinBox>(d, "vector3ZBox")->setValue(2.5);
    basisEditor(d)->addNewVector(0.5, 0.5, 0.5);
    child<QListWidget>(d, "propertiesList")->setCurrentRow(0);
    auto *level = child<QScrollArea>(d, "scrollArea")->widget()->findChild<QDoubleSpinBox *>();
    QVERIFY(level);
    level->setValue(3.25);

    child<QComboBox>(d, "materialBox")->setCurrentIndex(1);
    QCOMPARE(si->getAtomVec3().getZ(), 2.5);
    QCOMPARE(si->getOffsets().size(), 3);
    QCOMPARE(si->getOffsets().at(2).getX(), 0.5);
    QCOMPARE(si->getCategories()[0].getProperties()[0].getDoubleValue(), 3.25);
    // The new material is shown with no category form.
    QCOMPARE(child<QDoubleSpinBox>(d, "vector1XBox")->value(), 0.5);
    QCOMPARE(child<QListWidget>(d, "propertiesList")->count(), 0);

    // Coming back shows what was stored.
    child<QComboBox>(d, "materialBox")->setCurrentIndex(0);
    QCOMPARE(child<QDoubleSpinBox>(d, "vector3ZBox")->value(), 2.5);
    QCOMPARE(basisEditor(d)->rowCount(), 3);
}

void TestMaterialsDialog::acceptStoresTheShownMaterialAndCancelDropsIt() {
    {
        MaterialsDialog d;
        child<QDoubleSpinBox>(d, "vector1YBox")->setValue(7.0);
        d.reject();
    }
    QCOMPARE(si->getAtomVec1().getY(), 0.0);

    MaterialsDialog d;
    QSignalSpy changed(&d, qOverload<>(&MaterialsDialog::changeEvent));
    child<QDoubleSpinBox>(d, "vector1YBox")->setValue(7.0);
    d.on_buttonBox_accepted();
    QCOMPARE(si->getAtomVec1().getY(), 7.0);
    QCOMPARE(changed.count(), 1);
}

void TestMaterialsDialog::untouchedBoxesKeepFullPrecision() {
    si->setAtomVec1(Coord(0.5, 0.8660254, 0));
    si->getOffsets()[1] = Coord(1.0 / 3.0, 0, 0);
    MaterialsDialog d;
    d.on_buttonBox_accepted();
    QCOMPARE(si->getAtomVec1().getY(), 0.8660254);
    QCOMPARE(si->getOffsets().at(1).getX(), 1.0 / 3.0);
}

void TestMaterialsDialog::basisCountsAsModifiedOnlyOnUserChanges() {
    {
        // Filling editors while visiting materials is no change.
        MaterialsDialog d;
        child<QComboBox>(d, "materialBox")->setCurrentIndex(1);
        child<QComboBox>(d, "materialBox")->setCurrentIndex(0);
        child<QDoubleSpinBox>(d, "vector1XBox")->setValue(3.0); // a lattice vector, not the basis
        d.on_buttonBox_accepted();
        QVERIFY(!d.isVectorListModified());
    }
    {
        MaterialsDialog d;
        basisEditor(d)->findChildren<QDoubleSpinBox *>().first()->setValue(0.1);
        QVERIFY(d.isVectorListModified());
        // It stays modified after switching away.
        child<QComboBox>(d, "materialBox")->setCurrentIndex(1);
        QVERIFY(d.isVectorListModified());
    }
    {
        MaterialsDialog d;
        child<QComboBox>(d, "materialBox")->setCurrentIndex(1);
        auto *rowMaterial = basisEditor(d)->findChildren<QComboBox *>().last();
        rowMaterial->setCurrentText(QStringLiteral("GaAs"));
        QVERIFY(d.isVectorListModified());
    }
}

void TestMaterialsDialog::firstBasisRowCannotBeDeleted() {
    MaterialsDialog d;
    d.show();
    VectorListWidget *editor = basisEditor(d);
    QList<QToolButton *> deleteButtons;
    for (QToolButton *button : editor->findChildren<QToolButton *>()) {
        if (button->icon().cacheKey() != 0 && button->toolTip().contains(QStringLiteral("Delete")))
            deleteButtons << button;
    }
    QCOMPARE(deleteButtons.size(), 2);
    QVERIFY(!deleteButtons[0]->isVisible());
    QVERIFY(deleteButtons[1]->isVisible());

    QSignalSpy changed(editor, &VectorListWidget::vectorListChanged);
    deleteButtons[1]->click();
    QTRY_COMPARE(editor->rowCount(), 1);
    QCOMPARE(changed.count(), 1);
    QVERIFY(d.isVectorListModified());

    // The add button adds (0, 0, 0) of the material's own name.
    QToolButton *add = nullptr;
    for (QToolButton *button : editor->findChildren<QToolButton *>()) {
        if (button->toolTip().contains(QStringLiteral("Add")))
            add = button;
    }
    QVERIFY(add);
    add->click();
    QCOMPARE(editor->rowCount(), 2);
    const Coord added = editor->getVectors().at(1);
    QCOMPARE(added, Coord(0, 0, 0, QStringLiteral("Si")));
    d.on_buttonBox_accepted();
    QCOMPARE(si->getOffsets().size(), 2);
}

void TestMaterialsDialog::duplicateTakesRegistryValuesAndNextIndex() {
    MaterialsDialog d;
    // Typed but not stored: the copy takes what the registry holds.
    child<QDoubleSpinBox>(d, "vector1XBox")->setValue(42.0);
    ModalDriver driver;
    driver.then(nameAndColor(QStringLiteral("Si2"), QColor(1, 2, 3)));
    d.on_duplicateButton_clicked();
    QCOMPARE(driver.seen, QStringList{QStringLiteral("other:NewVolumeNameDialog")});

    QList<Material *> &materials = *MaterialsManager::getInstance()->getMaterials();
    QCOMPARE(materials.size(), 3);
    const Material *copy = materials.last();
    QCOMPARE(copy->getName(), QStringLiteral("Si2"));
    QCOMPARE(copy->getIndexName(), 10); // one more than GaAs's 9, not Si's 4
    QCOMPARE(copy->getColor(), QColor(1, 2, 3));
    QCOMPARE(copy->getAtomVec1().getX(), 1.0);
    QCOMPARE(copy->getOffsets().size(), 2);
    QCOMPARE(copy->getCategories(), si->getCategories());
    QCOMPARE(child<QComboBox>(d, "materialBox")->count(), 3);
    QCOMPARE(child<QComboBox>(d, "materialBox")->currentText(), QStringLiteral("Si"));

    // The dialog's name dialog cancelled: nothing happens.
    driver.then(ModalDriver::cancel());
    d.on_duplicateButton_clicked();
    QCOMPARE(materials.size(), 3);
}

void TestMaterialsDialog::duplicateRefusesTakenAndUnusableNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("taken") << "GaAs"
                           << "Duplicate Material|Material GaAs already exists yet. You must "
                              "choose another name";
    QTest::newRow("empty") << ""
                           << "Duplicate Material|";
    QTest::newRow("blank inside") << "Si oxide"
                                  << "Duplicate Material|";
    QTest::newRow("folder") << "../evil"
                            << "Duplicate Material|";
}

void TestMaterialsDialog::duplicateRefusesTakenAndUnusableNames() {
    QFETCH(QString, name);
    QFETCH(QString, message);
    MaterialsDialog d;
    ModalDriver driver;
    driver.then(nameAndColor(name, Qt::red)).then(ModalDriver::press(QMessageBox::Ok));
    d.on_duplicateButton_clicked();
    QCOMPARE(driver.seen.size(), 2);
    QVERIFY2(driver.seen.at(1).startsWith(message), qPrintable(driver.seen.at(1)));
    QCOMPARE(MaterialsManager::getInstance()->getMaterials()->size(), 2);
}

void TestMaterialsDialog::duplicateIsWrittenToItsFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QDir().mkdir(QStringLiteral("materials"));

    MaterialsDialog d;
    child<QComboBox>(d, "materialBox")->setCurrentIndex(1);
    ModalDriver driver;
    driver.then(nameAndColor(QStringLiteral("AlGaAs"), QColor(16, 15, 255)));
    d.on_duplicateButton_clicked();
    const QStringList written = lines(QStringLiteral("materials/algaas.txt"));
    QDir::setCurrent(previous);

    const QStringList expected{"M",         "AlGaAs", "10",    "0.5 0.5 0",      "0 0.5 0.5",
                               "0.5 0 0.5", "2",      "0 0 0", "0.25 0.25 0.25", "16 15 255",
                               "0",         ""};
    QCOMPARE(written, expected);
}

void TestMaterialsDialog::colourReachesTheMaterialAtOnce() {
    MaterialsDialog d;
    ModalDriver driver;
    driver.then([](QWidget *w) {
        auto *colors = qobject_cast<QColorDialog *>(w);
        QVERIFY(colors);
        colors->setCurrentColor(QColor(0, 128, 64));
        colors->accept();
    });
    d.on_colorButton_clicked();
    QCOMPARE(si->getColor(), QColor(0, 128, 64));
    QCOMPARE(child<QToolButton>(d, "colorButton")->styleSheet(),
             QStringLiteral("background-color: #008040"));

    // A cancelled colour dialog keeps the colour.
    driver.then(ModalDriver::cancel());
    d.on_colorButton_clicked();
    QCOMPARE(si->getColor(), QColor(0, 128, 64));
    d.reject();
    QCOMPARE(si->getColor(), QColor(0, 128, 64));
}

void TestMaterialsDialog::emptyRegistry() {
    MaterialsManager::getInstance()->clearMaterials();
    MaterialsDialog d;
    QCOMPARE(child<QComboBox>(d, "materialBox")->count(), 0);
    QCOMPARE(child<QListWidget>(d, "propertiesList")->count(), 0);
    QVERIFY(!child<QPushButton>(d, "duplicateButton")->isEnabled());
    ModalDriver driver;
    d.on_duplicateButton_clicked();
    d.on_colorButton_clicked();
    QSignalSpy changed(&d, qOverload<>(&MaterialsDialog::changeEvent));
    d.on_buttonBox_accepted();
    QCOMPARE(changed.count(), 1);
    QVERIFY(driver.seen.isEmpty());
    QVERIFY(!d.isVectorListModified());
}

QTEST_MAIN(TestMaterialsDialog)
#include "tst_materialsdialog.moc"
