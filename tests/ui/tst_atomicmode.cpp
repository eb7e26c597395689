// Atomic mode on the main window (the question before generating atoms, picking, editing and
// deleting atoms, regeneration after a basis change) and the atom dialog itself.

#include "editorswindow.h"
#include "ui/atomsdialog.h"
#include "ui/materialsdialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

using namespace editors;

namespace {

const QString kQuestion =
    QStringLiteral("KARVENO Simulator|To set the atomic mode some atoms of the current project "
                   "must be calculated.\nDo you want to calculated them (it may take a while)?");

// A window with two 1 x 1 x 1 Si cubes at x = 0 and x = 2, their atoms not yet generated.
void twoCubes(MainWindow &w) {
    useTestMaterials();
    addCube(w, QStringLiteral("a"), 0);
    addCube(w, QStringLiteral("b"), 2);
}

} // namespace

class TestAtomicMode : public QObject {
    Q_OBJECT

private slots:
    void init();
    void atomicModeAsksBeforeGenerating();
    void declinedQuestionLeavesSolidMode();
    void hiddenVolumsAreNotGenerated();
    void clicksPickAndUnpickAtoms();
    void editingThePickedAtom();
    void deletingThePickedAtom();
    void basisChangeRegeneratesAllAtoms();
    void atomDialogLimitsOffsetToTheMaterialsBasis();
    void atomDialogOpensForAnAtomWithoutMaterial();
};

void TestAtomicMode::init() {
    QLoggingCategory::setFilterRules(QStringLiteral("karveno.*.debug=false\ndefault.debug=false"));
}

void TestAtomicMode::atomicModeAsksBeforeGenerating() {
    MainWindow w;
    twoCubes(w);
    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Ok));
    A::atomic(w)->trigger();
    QCOMPARE(driver.seen, QStringList{kQuestion});
    QCOMPARE(A::view(w)->getRMode(), GLWidget::kAtomicMode);
    QCOMPARE(A::numberOfAtoms(w), 16);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);

    // Back and forth: every shown volum has its atoms, so nothing is asked.
    A::solid(w)->trigger();
    QCOMPARE(A::view(w)->getRMode(), GLWidget::kSolidMode);
    A::atomic(w)->trigger();
    QCOMPARE(driver.seen.size(), 1);
    QCOMPARE(A::view(w)->getRMode(), GLWidget::kAtomicMode);
}

void TestAtomicMode::declinedQuestionLeavesSolidMode() {
    MainWindow w;
    twoCubes(w);
    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Discard));
    A::atomic(w)->trigger();
    QCOMPARE(driver.seen, QStringList{kQuestion});
    QCOMPARE(A::view(w)->getRMode(), GLWidget::kSolidMode);
    QVERIFY(A::solid(w)->isChecked());
    QVERIFY(!A::atomic(w)->isChecked());
    QCOMPARE(A::numberOfAtoms(w), 0);
}

void TestAtomicMode::hiddenVolumsAreNotGenerated() {
    MainWindow w;
    twoCubes(w);
    A::ui(w).volumsList->item(0)->setCheckState(Qt::Unchecked);
    A::ui(w).volumsList->item(1)->setCheckState(Qt::Unchecked);
    ModalDriver driver;
    A::atomic(w)->trigger();
    QVERIFY(driver.seen.isEmpty());
    QCOMPARE(A::view(w)->getRMode(), GLWidget::kAtomicMode);
    QCOMPARE(A::numberOfAtoms(w), 0);

    // Shown again, b is generated after a new question; a stays hidden and empty.
    A::ui(w).volumsList->item(1)->setCheckState(Qt::Checked);
    driver.then(ModalDriver::press(QMessageBox::Ok));
    A::atomic(w)->trigger();
    QCOMPARE(driver.seen.size(), 1);
    QCOMPARE(A::volums(w).at(0).getNumberOfAtoms(), 0);
    QCOMPARE(A::volums(w).at(1).getNumberOfAtoms(), 8);
}

void TestAtomicMode::clicksPickAndUnpickAtoms() {
    MainWindow w;
    twoCubes(w);
    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Ok));
    A::atomic(w)->trigger();
    QAction *edit = viewAction(w, QStringLiteral("Edit Atom"));
    QAction *remove = viewAction(w, QStringLiteral("Delete Atom"));
    QVERIFY(edit && remove);
    QVERIFY(!edit->isEnabled());

    // Strictly within the sphere's radius 0.1 of b's atom at its origin + (1, 0, 1).
    w.checkVolumClicked(3.05, 0.0, 0.95);
    QVERIFY(A::selectedAtom(w));
    QCOMPARE(A::volumSelectedAtom(w), QStringLiteral("b"));
    const Atom &picked = A::volums(w).at(1).getAtoms().at(A::selectedAtomIndex(w));
    QCOMPARE(picked.getX(), 1.0);
    QCOMPARE(picked.getZ(), 1.0);
    QVERIFY(picked.isSelected());
    QVERIFY(edit->isEnabled() && remove->isEnabled());

    // Exactly 0.1 away is a miss; the pick stays.
    w.checkVolumClicked(3.1, 0.0, 1.0);
    QVERIFY(A::selectedAtom(w));

    // a's atom at the same relative place is another atom: it takes the pick.
    w.checkVolumClicked(1.0, 0.0, 1.0);
    QCOMPARE(A::volumSelectedAtom(w), QStringLiteral("a"));
    QVERIFY(!A::volums(w).at(1).getAtoms().at(5).isSelected());
    QVERIFY(A::volums(w).at(0).getAtoms().at(A::selectedAtomIndex(w)).isSelected());

    // The picked atom again: nothing picked, entries off.
    w.checkVolumClicked(1.0, 0.0, 1.0);
    QVERIFY(!A::selectedAtom(w));
    QVERIFY(A::volumSelectedAtom(w).isEmpty());
    QVERIFY(!edit->isEnabled() && !remove->isEnabled());
    for (const Volum &v : A::volums(w)) {
        for (const Atom &atom : v.getAtoms())
            QVERIFY(!atom.isSelected());
    }
}

void TestAtomicMode::editingThePickedAtom() {
    MainWindow w;
    twoCubes(w);
    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Ok));
    A::atomic(w)->trigger();
    w.checkVolumClicked(2.0, 0.0, 0.0);
    A::clearModified(w);

    // Cancelled: nothing changes, the project is not modified.
    QString title;
    driver.then(later([&](QWidget *d) {
        title = d->windowTitle();
        child<QDoubleSpinBox>(d, "x_SpinBox")->setValue(0.5);
        static_cast<QDialog *>(d)->reject();
    }));
    viewAction(w, QStringLiteral("Edit Atom"))->trigger();
    QCOMPARE(title, QStringLiteral("Edit Atom"));
    QCOMPARE(A::volums(w).at(1).getAtoms().at(0).getX(), 0.0);
    QVERIFY(!A::modified(w));

    driver.then(later([&](QWidget *d) {
        child<QDoubleSpinBox>(d, "x_SpinBox")->setValue(0.5);
        child<QComboBox>(d, "materialBox")->setCurrentText(QStringLiteral("Ox"));
        child<QSpinBox>(d, "nOffsetBox")->setValue(2);
        pressOk(d);
    }));
    viewAction(w, QStringLiteral("Edit Atom"))->trigger();
    const Atom &atom = A::volums(w).at(1).getAtoms().at(0);
    QCOMPARE(atom.getX(), 0.5);
    QCOMPARE(atom.getMaterial(), material(QStringLiteral("Ox")));
    QCOMPARE(atom.getNOffset(), 2);
    QVERIFY(A::modified(w));

    // A double click on an atom opens the same dialog.
    title.clear();
    driver.then(later([&](QWidget *d) {
        title = d->windowTitle();
        static_cast<QDialog *>(d)->reject();
    }));
    w.checkVolumDialog(2.5, 0.0, 0.0);
    QCOMPARE(title, QStringLiteral("Edit Atom"));

    // Renaming the volum that holds the picked atom drops the pick, flag included.
    w.checkVolumClicked(2.0, 0.0, 0.0);
    QVERIFY(A::selectedAtom(w));
    A::ui(w).volumsList->item(1)->setSelected(true);
    driver.then(later([](QWidget *d) {
        child<QLineEdit>(d, "vne")->setText(QStringLiteral("renamed"));
        pressOk(d);
    }));
    A::ui(w).editButton->setEnabled(true);
    A::ui(w).editButton->click();
    QCOMPARE(A::volums(w).at(1).getName(), QStringLiteral("renamed"));
    QVERIFY(!A::selectedAtom(w));
    for (const Atom &each : A::volums(w).at(1).getAtoms())
        QVERIFY(!each.isSelected());
}

void TestAtomicMode::deletingThePickedAtom() {
    MainWindow w;
    twoCubes(w);
    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Ok));
    A::atomic(w)->trigger();
    // Nothing picked: nothing deleted.
    w.deleteAtomSlot();
    QCOMPARE(A::numberOfAtoms(w), 16);

    w.checkVolumClicked(0.0, 1.0, 1.0);
    A::clearModified(w);
    viewAction(w, QStringLiteral("Delete Atom"))->trigger();
    QCOMPARE(A::volums(w).at(0).getNumberOfAtoms(), 7);
    QVERIFY(!A::selectedAtom(w));
    QVERIFY(A::modified(w));
    QVERIFY(!viewAction(w, QStringLiteral("Edit Atom"))->isEnabled());
    QVERIFY(!viewAction(w, QStringLiteral("Delete Atom"))->isEnabled());
    for (const Atom &atom : A::volums(w).at(0).getAtoms())
        QVERIFY(atom.getY() != 1.0 || atom.getZ() != 1.0 || atom.getX() != 0.0);

    // A click on another atom picks it afresh.
    w.checkVolumClicked(1.0, 1.0, 1.0);
    QVERIFY(A::selectedAtom(w));
    QCOMPARE(A::volums(w).at(0).getAtoms().at(A::selectedAtomIndex(w)).getX(), 1.0);
}

void TestAtomicMode::basisChangeRegeneratesAllAtoms() {
    MainWindow w;
    twoCubes(w);
    A::ui(w).volumsList->item(1)->setCheckState(Qt::Unchecked);
    ModalDriver driver;
    driver.then(ModalDriver::press(QMessageBox::Ok));
    A::atomic(w)->trigger();
    w.checkVolumClicked(0.0, 0.0, 0.0);
    QVERIFY(A::selectedAtom(w));

    // A second basis offset for Si, added in the materials dialog.
    driver.then(later([](QWidget *d) {
        auto *dialog = qobject_cast<MaterialsDialog *>(d);
        QVERIFY(dialog);
        for (QToolButton *button : dialog->findChildren<QToolButton *>()) {
            if (button->toolTip().contains(QStringLiteral("Add")))
                button->click();
        }
        pressOk(d);
    }));
    A::ui(w).menuSettings->actions().at(2)->trigger();
    QCOMPARE(driver.seen.size(), 2);
    QCOMPARE(material(QStringLiteral("Si"))->getOffsets().size(), 2);
    // Every volum, hidden or not, is generated again; the pick is gone.
    QCOMPARE(A::volums(w).at(0).getNumberOfAtoms(), 16);
    QCOMPARE(A::volums(w).at(1).getNumberOfAtoms(), 16);
    QVERIFY(!A::selectedAtom(w));
    QVERIFY(!viewAction(w, QStringLiteral("Delete Atom"))->isEnabled());
}

void TestAtomicMode::atomDialogLimitsOffsetToTheMaterialsBasis() {
    useTestMaterials();
    Atom atom(0.25, 0.5, 0.75, material(QStringLiteral("Si")), true, 0, 1);
    AtomsDialog d(nullptr, atom);
    QCOMPARE(child<QComboBox>(&d, "materialBox")->currentText(), QStringLiteral("Si"));
    QCOMPARE(child<QDoubleSpinBox>(&d, "y_SpinBox")->value(), 0.5);
    auto *offset = child<QSpinBox>(&d, "nOffsetBox");
    QCOMPARE(offset->maximum(), 0);
    child<QComboBox>(&d, "materialBox")->setCurrentText(QStringLiteral("Ox"));
    QCOMPARE(offset->minimum(), 0);
    QCOMPARE(offset->maximum(), 2);
    offset->setValue(7);
    QCOMPARE(offset->value(), 2);

    QSignalSpy changed(&d, qOverload<>(&AtomsDialog::changeEvent));
    d.on_buttonBox_accepted();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(atom.getMaterial(), material(QStringLiteral("Ox")));
    QCOMPARE(atom.getNOffset(), 2);
    QCOMPARE(atom.getZ(), 0.75);
}

void TestAtomicMode::atomDialogOpensForAnAtomWithoutMaterial() {
    useTestMaterials();
    Material gone(QStringLiteral("Gone"), 7, Qt::white, Coord(1, 0, 0), Coord(0, 1, 0),
                  Coord(0, 0, 1), {Coord(), Coord(), Coord()});
    for (Material *own : {static_cast<Material *>(nullptr), &gone}) {
        Atom atom(1.0, 1.0, 1.0, own, true, 2, 3);
        AtomsDialog d(nullptr, atom);
        QCOMPARE(child<QComboBox>(&d, "materialBox")->currentIndex(), -1);
        QCOMPARE(child<QSpinBox>(&d, "nOffsetBox")->maximum(), 0);
        child<QDoubleSpinBox>(&d, "x_SpinBox")->setValue(0.5);
        d.on_buttonBox_accepted();
        // Accepting keeps the atom's own material.
        QCOMPARE(atom.getMaterial(), own);
        QCOMPARE(atom.getX(), 0.5);
    }
}

QTEST_MAIN(TestAtomicMode)
#include "tst_atomicmode.moc"
