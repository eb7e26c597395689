// The volum dialog: its three refusals and their messages, what it writes into the design on
// acceptance, when it regenerates a volum's atoms, and its behaviour without materials.

#include "ui/volumsdialog.h"

#include "modaldriver.h"
#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/property.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

namespace {

// A simple cubic material whose one basis offset names the material itself.
Material *cubic(const QString &name, int index) {
    return new Material(name, index, QColor(10, 20, 30), Coord(1, 0, 0), Coord(0, 1, 0),
                        Coord(0, 0, 1), {Coord(0, 0, 0, name)});
}

Volum placed(const QString &name, double x, Material *material = nullptr, float size = 1.0f) {
    Volum v(name, 10, 10, 10);
    v.addCoords(Coord(x, 0, 0), size, size, size);
    v.setMaterial(material);
    return v;
}

QList<Category> oneCategory() {
    Category c(QStringLiteral("Mesh"));
    c.addProperty(Property(QStringLiteral("steps"), 1, 7, QStringLiteral("number of steps")));
    return {c};
}

template <typename T> T *child(QObject &parent, const char *name) {
    T *found = parent.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

void setOrigin(VolumsDialog &d, double x, double y, double z) {
    child<QDoubleSpinBox>(d, "xoriginBox")->setValue(x);
    child<QDoubleSpinBox>(d, "yoriginBox")->setValue(y);
    child<QDoubleSpinBox>(d, "zoriginBox")->setValue(z);
}

void setName(VolumsDialog &d, const QString &name) {
    child<QLineEdit>(d, "vne")->setText(name);
}

} // namespace

class TestVolumsDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void refusalsShowTheirMessageAndChangeNothing_data();
    void refusalsShowTheirMessageAndChangeNothing();
    void touchingAndSelfAreNoOverlap();
    void addingAppendsAVolumWithAtoms();
    void editingRegeneratesAtomsOnlyForSizeOrMaterial_data();
    void editingRegeneratesAtomsOnlyForSizeOrMaterial();
    void untouchedBoxesKeepFullPrecision();
    void categoriesReachTheVolumOnlyOnAcceptance();
    void withoutMaterials();

private:
    Material *si = nullptr;
    Material *ox = nullptr;
};

void TestVolumsDialog::init() {
    QLoggingCategory::setFilterRules(QStringLiteral("karveno.*.debug=false"));
    MaterialsManager *registry = MaterialsManager::getInstance();
    registry->clearMaterials();
    si = cubic(QStringLiteral("Si"), 1);
    ox = cubic(QStringLiteral("Ox"), 2);
    registry->addMaterial(si);
    registry->addMaterial(ox);
}

void TestVolumsDialog::refusalsShowTheirMessageAndChangeNothing_data() {
    QTest::addColumn<QString>("oldName");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("message");
    QTest::newRow("add: overlap") << ""
                                  << "b" << 0.5 << "The volum is overlaped with volum a";
    QTest::newRow("add: overlap before empty name")
        << ""
        << "" << 0.5 << "The volum is overlaped with volum a";
    QTest::newRow("add: empty name") << ""
                                     << "" << 5.0 << "You must specify a volum name!";
    QTest::newRow("add: name taken") << ""
                                     << "a" << 5.0 << "Volum a alredy exists!";
    QTest::newRow("edit: moved onto another")
        << "c"
        << "c" << 0.5 << "The volum is overlaped with volum a";
    QTest::newRow("edit: renamed to another") << "c"
                                              << "a" << 10.0 << "Volum a alredy exists!";
    QTest::newRow("edit: name emptied") << "c"
                                        << "" << 10.0 << "You must specify a volum name!";
}

void TestVolumsDialog::refusalsShowTheirMessageAndChangeNothing() {
    QFETCH(QString, oldName);
    QFETCH(QString, newName);
    QFETCH(double, x);
    QFETCH(QString, message);

    QList<Volum> volums{placed(QStringLiteral("a"), 0, si), placed(QStringLiteral("c"), 10, si)};
    const QList<Volum> before = volums;
    std::unique_ptr<VolumsDialog> d;
    if (oldName.isEmpty())
        d = std::make_unique<VolumsDialog>(nullptr, &volums, oneCategory(), 0, 0, 0);
    else
        d = std::make_unique<VolumsDialog>(nullptr, &volums, oldName);
    setName(*d, newName);
    setOrigin(*d, x, 0, 0);
    QSignalSpy added(d.get(), &VolumsDialog::volumAdded);
    QSignalSpy edited(d.get(), &VolumsDialog::volumEdited);
    QSignalSpy changed(d.get(), qOverload<>(&VolumsDialog::changeEvent));

    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Ok));
    d->on_buttonBox_accepted();

    QCOMPARE(driver.seen, QStringList{QLatin1Char('|') + message});
    QVERIFY(!d->isFinish());
    QCOMPARE(added.count() + edited.count() + changed.count(), 0);
    QCOMPARE(volums.size(), before.size());
    for (int i = 0; i < volums.size(); ++i) {
        QCOMPARE(volums[i].getName(), before[i].getName());
        QCOMPARE(volums[i].getMinX(), before[i].getMinX());
    }
}

void TestVolumsDialog::touchingAndSelfAreNoOverlap() {
    QList<Volum> volums{placed(QStringLiteral("a"), 0, si), placed(QStringLiteral("b"), 1, si)};
    VolumsDialog add(nullptr, &volums, {}, 2, 0, 0);
    QCOMPARE(add.checkOverlap(), QString());
    setOrigin(add, 2 - 1e-06, 0, 0); // overlaps b by 1e-06 only
    QCOMPARE(add.checkOverlap(), QString());
    setOrigin(add, 1.9, 0, 0);
    QCOMPARE(add.checkOverlap(), QStringLiteral("b"));

    // Of several overlapped volums the first in list order is named.
    volums.prepend(placed(QStringLiteral("z"), 2.5, si));
    QCOMPARE(add.checkOverlap(), QStringLiteral("z"));

    // b, edited where it stands, touches a and is never compared with itself.
    VolumsDialog edit(nullptr, &volums, QStringLiteral("b"));
    QCOMPARE(edit.checkOverlap(), QString());
}

void TestVolumsDialog::addingAppendsAVolumWithAtoms() {
    QList<Volum> volums{placed(QStringLiteral("a"), 0, si)};
    VolumsDialog d(nullptr, &volums, oneCategory(), 1, 0, 0);
    // A new volum starts with the first material, sizes 1 and 10 meshes.
    QCOMPARE(child<QComboBox>(d, "materialBox")->currentText(), QStringLiteral("Si"));
    QCOMPARE(child<QListWidget>(d, "propertiesList")->count(), 1);
    QCOMPARE(child<QListWidget>(d, "propertiesList")->currentRow(), -1);

    setName(d, QStringLiteral("gate"));
    child<QComboBox>(d, "materialBox")->setCurrentText(QStringLiteral("Ox"));
    child<QDoubleSpinBox>(d, "xsizeBox")->setValue(2.0);
    child<QDoubleSpinBox>(d, "ysizeBox")->setValue(2.0);
    child<QDoubleSpinBox>(d, "zsizeBox")->setValue(2.0);
    child<QSpinBox>(d, "xmallesBox")->setValue(20);
    child<QCheckBox>(d, "wAIBox")->setChecked(true);
    QSignalSpy added(&d, &VolumsDialog::volumAdded);
    QSignalSpy changed(&d, qOverload<>(&VolumsDialog::changeEvent));
    d.on_buttonBox_accepted();

    QVERIFY(d.isFinish());
    QCOMPARE(added.count(), 1);
    QCOMPARE(added.first(), (QVariantList{QStringLiteral("gate"), QString()}));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(volums.size(), 2);
    const Volum &gate = volums.last();
    QCOMPARE(gate.getName(), QStringLiteral("gate"));
    QCOMPARE(gate.getMinX(), 1.0);
    QCOMPARE(gate.getMaxX(), 3.0);
    QCOMPARE(gate.getxMalles(), 20);
    QCOMPARE(gate.getyMalles(), 10);
    QCOMPARE(gate.getMaterial(), ox);
    QVERIFY(gate.isWriteAtomsInfo());
    QCOMPARE(gate.getCategories(), oneCategory());
    QVERIFY(gate.areAtomsCalculated());
    QCOMPARE(gate.getNumberOfAtoms(), 27);
}

void TestVolumsDialog::editingRegeneratesAtomsOnlyForSizeOrMaterial_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("regenerated");
    QTest::newRow("origin moved") << "xoriginBox" << 4.0 << false;
    QTest::newRow("meshes changed") << "xmallesBox" << 3.0 << false;
    QTest::newRow("x size changed") << "xsizeBox" << 3.0 << true;
    QTest::newRow("z size changed") << "zsizeBox" << 1.0 << true;
    QTest::newRow("material changed") << "materialBox" << 1.0 << true;
}

void TestVolumsDialog::editingRegeneratesAtomsOnlyForSizeOrMaterial() {
    QFETCH(QString, box);
    QFETCH(double, value);
    QFETCH(bool, regenerated);

    QList<Volum> volums{placed(QStringLiteral("a"), 0, si, 2.0f)};
    // Atoms edited by hand: one atom, which a regeneration would replace by 27.
    volums[0].setAtomsInfo({Atom(0.5, 0.5, 0.5, si, true)});
    VolumsDialog d(nullptr, &volums, QStringLiteral("a"));
    QCOMPARE(child<QDoubleSpinBox>(d, "xsizeBox")->value(), 2.0);
    if (auto *spin = d.findChild<QDoubleSpinBox *>(box))
        spin->setValue(value);
    else if (auto *ispin = d.findChild<QSpinBox *>(box))
        ispin->setValue(int(value));
    else
        child<QComboBox>(d, "materialBox")->setCurrentIndex(int(value));
    QSignalSpy edited(&d, &VolumsDialog::volumEdited);
    d.on_buttonBox_accepted();

    QCOMPARE(edited.count(), 1);
    QCOMPARE(edited.first(), (QVariantList{QStringLiteral("a"), QStringLiteral("a")}));
    QCOMPARE(volums[0].getNumberOfAtoms() != 1, regenerated);
}

void TestVolumsDialog::untouchedBoxesKeepFullPrecision() {
    QList<Volum> volums;
    Volum fine(QStringLiteral("fine"), 10, 10, 10);
    fine.addCoords(Coord(0.123456789, 2.5, 0), 1.00001f, 1.0f, 1.0f);
    fine.setMaterial(si);
    fine.setAtomsInfo({Atom(0.5, 0.5, 0.5, si, true)});
    volums.append(fine);
    VolumsDialog d(nullptr, &volums, QStringLiteral("fine"));
    d.on_buttonBox_accepted();
    QCOMPARE(volums[0].getMinX(), 0.123456789);
    QCOMPARE(volums[0].getxSize(), 1.00001f);
    QCOMPARE(volums[0].getNumberOfAtoms(), 1);

    // What the user types is taken as shown.
    VolumsDialog typed(nullptr, &volums, QStringLiteral("fine"));
    child<QDoubleSpinBox>(typed, "xoriginBox")->setValue(0.5);
    typed.on_buttonBox_accepted();
    QCOMPARE(volums[0].getMinX(), 0.5);
}

void TestVolumsDialog::categoriesReachTheVolumOnlyOnAcceptance() {
    QList<Volum> volums{placed(QStringLiteral("a"), 0, si)};
    volums[0].setCategories(oneCategory());
    for (bool accept : {false, true}) {
        VolumsDialog d(nullptr, &volums, QStringLiteral("a"));
        child<QListWidget>(d, "propertiesList")->setCurrentRow(0);
        auto *steps = child<QScrollArea>(d, "scrollArea")->widget()->findChild<QSpinBox *>();
        QVERIFY(steps);
        QCOMPARE(steps->value(), 7);
        steps->setValue(9);
        if (accept)
            d.on_buttonBox_accepted();
        const int expected = accept ? 9 : 7;
        QCOMPARE(volums[0].getCategories()[0].getProperties()[0].getIntValue(), expected);
    }
}

void TestVolumsDialog::withoutMaterials() {
    QList<Volum> volums{placed(QStringLiteral("a"), 0, si)};
    MaterialsManager::getInstance()->clearMaterials();

    VolumsDialog add(nullptr, &volums, {}, 1, 0, 0);
    QCOMPARE(child<QComboBox>(add, "materialBox")->count(), 0);
    setName(add, QStringLiteral("b"));
    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Ok));
    add.on_buttonBox_accepted();
    QCOMPARE(driver.seen.size(), 1);
    QVERIFY(driver.seen.first().contains(QStringLiteral("no material")));
    QVERIFY(!add.isFinish());
    QCOMPARE(volums.size(), 1);

    // An existing volum keeps the material it has.
    VolumsDialog edit(nullptr, &volums, QStringLiteral("a"));
    child<QDoubleSpinBox>(edit, "ysizeBox")->setValue(3.0);
    edit.on_buttonBox_accepted();
    QVERIFY(edit.isFinish());
    QCOMPARE(volums[0].getMaterial(), si);
    QCOMPARE(volums[0].getySize(), 3.0f);
}

QTEST_MAIN(TestVolumsDialog)
#include "tst_volumsdialog.moc"
