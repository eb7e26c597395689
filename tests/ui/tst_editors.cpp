// Editing a design: the volum dialog and the window's volum panel (add, edit, duplicate, delete,
// picking and keyboard moves), the materials dialog, and atomic mode with the atom dialog.

#include "io/datalocation.h"
#include "io/materialfiles.h"
#include "ui/atomsdialog.h"
#include "ui/materialsdialog.h"
#include "ui/newvolumenamedialog.h"
#include "ui/volumsdialog.h"

#include "uitest.h"

using namespace uitest;

namespace {

const QString kAtomicQuestion =
    QStringLiteral("KARVENO Simulator|To set the atomic mode some atoms of the current project "
                   "must be calculated.\nDo you want to calculated them (it may take a while)?");

void setOrigin(QWidget *d, double x) {
    child<QDoubleSpinBox>(d, "xoriginBox")->setValue(x);
}

// Answers the name dialog of a material duplication.
ModalDriver::Answer nameAndColor(const QString &name, const QColor &color) {
    return [name, color](QWidget *w) {
        auto *dialog = qobject_cast<NewVolumeNameDialog *>(w);
        QVERIFY(dialog);
        child<QLineEdit>(dialog, "newNameEdit")->setText(name);
        dialog->setColor(color);
        dialog->accept();
    };
}

// Two Si cubes at x = 0 and x = 2 with atomic mode on: 8 atoms each, the question answered.
void atomicTwoCubes(MainWindow &w, ModalDriver &driver) {
    twoCubes(w);
    driver.then(ModalDriver::press(QMessageBox::Ok));
    A::atomic(w)->trigger();
}

} // namespace

class TestEditors : public QObject {
    Q_OBJECT

private slots:
    void init() { quietWithTestMaterials(); }

    void volumDialogRefusesAndChangesNothing_data() {
        QTest::addColumn<bool>("editing"); // "c", or a new volum
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("x");
        QTest::addColumn<QString>("message");
        const QString overlap = "The volum is overlaped with volum a";
        QTest::newRow("add: overlap") << false << "b" << 0.5 << overlap;
        QTest::newRow("add: overlap before empty name") << false << "" << 0.5 << overlap;
        QTest::newRow("add: empty name") << false << "" << 5.0 << "You must specify a volum name!";
        QTest::newRow("add: name taken") << false << "a" << 5.0 << "Volum a alredy exists!";
        QTest::newRow("edit: moved onto another") << true << "c" << 0.5 << overlap;
        QTest::newRow("add: no materials")
            << false << "b" << 5.0
            << "There is no material to make the volum of. Put material files into data/materials "
               "and start a new project.";
        QTest::newRow("edit: renamed to another")
            << true << "a" << 10.0 << "Volum a alredy exists!";
        // The list shows "name [n]" and the files read single words: such names are refused.
        const QString oneWord = "A volum name is one word without blanks or \"[\"!";
        QTest::newRow("add: pasted blank") << false << "Two Words" << 5.0 << oneWord;
        QTest::newRow("add: tab") << false << "tab\there" << 5.0 << oneWord;
        QTest::newRow("edit: bracket") << true << "x[1" << 10.0 << oneWord;
        QTest::newRow("edit: trailing blank") << true << "c " << 10.0 << oneWord;
    }
    void volumDialogRefusesAndChangesNothing() {
        QFETCH(bool, editing);
        QFETCH(QString, name);
        QFETCH(double, x);
        QFETCH(QString, message);
        QList<Volum> volums{cube("a", 0, 1, material("Si")), cube("c", 10, 1, material("Si"))};
        if (message.startsWith("There is no material"))
            MaterialsManager::getInstance()->clearMaterials();
        auto d = editing
                     ? std::make_unique<VolumsDialog>(nullptr, &volums, "c")
                     : std::make_unique<VolumsDialog>(nullptr, &volums, QList<Category>(), 0, 0, 0);
        child<QLineEdit>(d.get(), "vne")->setText(name);
        setOrigin(d.get(), x);
        QSignalSpy changed(d.get(), qOverload<>(&VolumsDialog::changeEvent));
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        ModalDriver driver{ModalDriver::pressNotingIcon(QMessageBox::Ok, icon)};
        d->on_buttonBox_accepted();
        QCOMPARE(driver.seen, QStringList{'|' + message});
        QCOMPARE(icon, QMessageBox::Warning);
        QVERIFY(!d->isFinish());
        QCOMPARE(changed.count(), 0);
        QCOMPARE(volums.size(), 2);
        QCOMPARE(volums[1].getName(), QStringLiteral("c"));
        QCOMPARE(volums[1].getMinX(), 10.0);
    }

    void touchingOrBarelyOverlappingIsNoOverlap() {
        QList<Volum> volums{cube("a", 0), cube("b", 1)};
        VolumsDialog add(nullptr, &volums, {}, 2, 0, 0);
        QCOMPARE(add.checkOverlap(), QString());
        setOrigin(&add, 2 - 1e-06);
        QCOMPARE(add.checkOverlap(), QString());
        setOrigin(&add, 1.9);
        QCOMPARE(add.checkOverlap(), QStringLiteral("b"));
        // b edited where it stands touches a and is never compared with itself.
        VolumsDialog edit(nullptr, &volums, QStringLiteral("b"));
        QCOMPARE(edit.checkOverlap(), QString());
    }

    void addRunsTheDialogAgainUntilItCompletes() {
        MainWindow w;
        useTestMaterials();
        int meshesShownAgain = 0;
        ModalDriver driver{ModalDriver::later([](QWidget *d) { // no name: refused
                               child<QSpinBox>(d, "xmallesBox")->setValue(20);
                               press(d, QDialogButtonBox::Ok);
                           }),
                           ModalDriver::press(QMessageBox::Ok),
                           ModalDriver::later([&](QWidget *d) { // the same dialog, as left
                               meshesShownAgain = child<QSpinBox>(d, "xmallesBox")->value();
                               child<QLineEdit>(d, "vne")->setText("box");
                               press(d, QDialogButtonBox::Ok);
                           })};
        A::ui(w).addButton->click();
        QCOMPARE(driver.seen.value(1), QStringLiteral("|You must specify a volum name!"));
        QCOMPARE(meshesShownAgain, 20);
        QCOMPARE(itemTexts(w), QStringList{"box [1]"});
        QVERIFY(A::volums(w).at(0).areAtomsCalculated());
        QVERIFY(A::modified(w));
        // A size of 1 over 20 meshes: keyboard moves of 0.05, kept after the volum is gone.
        QCOMPARE(A::xprecision(w), 0.05f);
        w.checkVolumClicked(0.5, 0.5, 0.5);
        A::ui(w).deleteButton->click();
        QVERIFY(A::volums(w).isEmpty());
        QCOMPARE(A::xprecision(w), 0.05f);
    }

    void duplicateNamesAndPlacesTheCopy() {
        MainWindow w;
        useTestMaterials();
        addCube(w, "box", 0, 2.0f);
        addCube(w, "gate-oxide", 2, 1.0f, "Ox");
        w.checkVolumClicked(1, 1, 1);
        for (int row : {0, 2, 1}) {
            A::ui(w).volumsList->clearSelection();
            A::ui(w).volumsList->item(row)->setSelected(true);
            A::ui(w).duplicateButton->click();
        }
        QCOMPARE(itemTexts(w), QStringList({"box [1]", "gate-oxide [2]", "box-0 [3]", "box-1 [4]",
                                            "gate-0 [5]"}));
        // Beyond every volum at the time: the largest maxima were (3, 2, 2).
        const Volum &copy = A::volums(w).at(2);
        QCOMPARE(copy.getMinX(), 3.0);
        QCOMPARE(copy.getMinY(), 2.0);
        QCOMPARE(copy.getMinZ(), 2.0);
        QVERIFY(!copy.isSelected());
        QCOMPARE(A::volums(w).at(4).getMaterial(), material("Ox"));
        // The last copy is picked and highlighted, so that the user sees where it went.
        QCOMPARE(A::selectedVolumIndex(w), 4);
        QVERIFY(A::volums(w).at(4).isSelected() && A::ui(w).volumsList->item(4)->isSelected());
    }

    void deleteRules() {
        MainWindow w;
        useTestMaterials();
        addCube(w, "a", 0);
        addCube(w, "b", 1);
        addCube(w, "c", 2);
        A::ui(w).volumsList->item(2)->setCheckState(Qt::Unchecked);
        // Nothing picked, or atomic mode: nothing happens.
        A::ui(w).deleteButton->setEnabled(true);
        A::ui(w).deleteButton->click();
        w.checkVolumClicked(1.5, 0.5, 0.5);
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Volum b selected."));
        A::view(w)->setRMode(GLWidget::kAtomicMode);
        A::ui(w).deleteButton->click();
        QCOMPARE(A::volums(w).size(), 3);
        A::view(w)->setRMode(GLWidget::kSolidMode);

        QSignalSpy focus(&w, qOverload<double, double, double>(&MainWindow::volumSelected));
        A::ui(w).deleteButton->click();
        QCOMPARE(itemTexts(w), QStringList({"a [1]", "c [2]"}));
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Volum b deleted."));
        QVERIFY(!A::selectedVolum(w));
        QCOMPARE(focus.value(0), (QVariantList{0.0, 0.0, 0.0}));
        // c stays hidden: the rebuilt list keeps each volum's visibility.
        QCOMPARE(A::ui(w).volumsList->item(1)->checkState(), Qt::Unchecked);
        QVERIFY(!A::volums(w).at(1).isVisible());
    }

    void keyboardMovesStopAtASharedFaceAndTheOrigin() {
        MainWindow w;
        twoCubes(w);
        w.checkVolumClicked(1.995, 0.5, 0.5); // within 0.01 of b's face
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Volum b selected."));
        A::clearModified(w);
        w.volumMovedSlot(-5, 0, 0);
        QCOMPARE(A::volums(w).at(1).getMinX(), 1.5);
        w.volumMovedSlot(-5, 0, 0); // lands on the shared face
        QCOMPARE(A::volums(w).at(1).getMinX(), 1.0);
        QVERIFY(A::modified(w));
        w.volumMovedSlot(-1, 0, 0); // would overlap a: refused, and the status bar says why
        QCOMPARE(A::volums(w).at(1).getMinX(), 1.0);
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("b not moved: touches a"));
        w.volumMovedSlot(0, 1, 0); // sliding along the face is free
        QVERIFY(qAbs(A::volums(w).at(1).getMinY() - 0.1) < 1e-6);
        w.checkVolumClicked(1.5, 0.5, 0.5); // the picked volum again: unpicked, keys do nothing
        QVERIFY(!A::selectedVolum(w) && !A::ui(w).deleteButton->isEnabled());
        w.volumMovedSlot(1, 0, 0);
        QCOMPARE(A::volums(w).at(1).getMinX(), 1.0);

        w.checkVolumClicked(0.5, 0.5, 0.5);
        w.volumMovedSlot(0, -1, 0);
        QVERIFY(w.statusBar()->currentMessage().startsWith("a not moved: its origin"));
        w.volumMovedSlot(0, 0, -1);
        QCOMPARE(A::volums(w).at(0).getMinY(), 0.0);
        QCOMPARE(A::volums(w).at(0).getMinZ(), 0.0);
    }

    void picksFollowTheirVolumAcrossDuplicateAndDelete() {
        MainWindow w;
        useTestMaterials();
        for (const char *name : {"a", "b", "c"})
            addCube(w, name, A::volums(w).size());
        for (Volum &v : A::volums(w))
            v.calculateAtomicPoints();
        A::view(w)->setRMode(GLWidget::kAtomicMode);
        w.checkVolumClicked(3.0, 1.0, 1.0); // an atom of c
        QCOMPARE(A::volumSelectedAtom(w), QStringLiteral("c"));
        const int picked = A::selectedAtomIndex(w);

        // a duplicated (appended, and picked), b picked, b deleted: c moves up.
        A::view(w)->setRMode(GLWidget::kSolidMode);
        w.checkVolumClicked(1.5, 0.5, 0.5);
        A::ui(w).volumsList->clearSelection();
        A::ui(w).volumsList->item(0)->setSelected(true);
        A::ui(w).duplicateButton->click();
        QCOMPARE(A::volums(w).at(A::selectedVolumIndex(w)).getName(), QStringLiteral("a-0"));
        w.checkVolumClicked(1.5, 0.5, 0.5);
        QCOMPARE(A::volums(w).at(A::selectedVolumIndex(w)).getName(), QStringLiteral("b"));
        A::ui(w).deleteButton->click();
        QCOMPARE(itemTexts(w), QStringList({"a [1]", "c [2]", "a-0 [3]"}));
        QVERIFY(A::volums(w).at(1).getAtoms().at(picked).isSelected());
        const int before = A::volums(w).at(1).getNumberOfAtoms();
        w.deleteAtomSlot();
        QCOMPARE(A::volums(w).at(1).getNumberOfAtoms(), before - 1);
        QCOMPARE(A::volums(w).at(0).getNumberOfAtoms(), before);

        // Deleting the volum holding the picked atom drops the atom pick.
        A::view(w)->setRMode(GLWidget::kAtomicMode);
        w.checkVolumClicked(0.0, 0.0, 0.0);
        A::view(w)->setRMode(GLWidget::kSolidMode);
        w.checkVolumClicked(0.5, 0.5, 0.5);
        A::ui(w).deleteButton->click();
        QVERIFY(!A::selectedAtom(w));
        QVERIFY(!viewAction(w, "Delete Atom")->isEnabled());
    }

    void materialsDialogStoresOnSwitchAndAcceptOnly() {
        Material *si = material("Si");
        {
            MaterialsDialog d;
            child<QDoubleSpinBox>(&d, "vector1YBox")->setValue(7.0);
            d.reject();
        }
        QCOMPARE(si->getAtomVec1().getY(), 0.0);
        MaterialsDialog d;
        QSignalSpy changed(&d, qOverload<>(&MaterialsDialog::changeEvent));
        child<QDoubleSpinBox>(&d, "vector3ZBox")->setValue(2.5);
        child<QComboBox>(&d, "materialBox")->setCurrentIndex(1);
        QCOMPARE(si->getAtomVec3().getZ(), 2.5);
        child<QDoubleSpinBox>(&d, "vector1YBox")->setValue(7.0);
        child<QComboBox>(&d, "materialBox")->setCurrentIndex(0);
        QCOMPARE(child<QDoubleSpinBox>(&d, "vector3ZBox")->value(), 2.5);
        child<QDoubleSpinBox>(&d, "vector1YBox")->setValue(3.0);
        d.on_buttonBox_accepted();
        QCOMPARE(si->getAtomVec1().getY(), 3.0);
        QCOMPARE(material("Ox")->getAtomVec1().getY(), 7.0);
        QCOMPARE(changed.count(), 1);
    }

    void basisCountsAsModifiedOnlyOnUserChanges() {
        {
            // Filling the editors while visiting materials is no change.
            MaterialsDialog d;
            child<QComboBox>(&d, "materialBox")->setCurrentIndex(1);
            child<QComboBox>(&d, "materialBox")->setCurrentIndex(0);
            child<QDoubleSpinBox>(&d, "vector1XBox")->setValue(3.0); // not the basis
            d.on_buttonBox_accepted();
            QVERIFY(!d.isVectorListModified());
        }
        MaterialsDialog d;
        QWidget *basis = child<QScrollArea>(&d, "offsetScrollArea")->widget();
        basis->findChildren<QDoubleSpinBox *>().first()->setValue(0.1);
        QVERIFY(d.isVectorListModified());
        child<QComboBox>(&d, "materialBox")->setCurrentIndex(1);
        QVERIFY(d.isVectorListModified());
    }

    // The copy is saved where the next start reads it (data, else user folder), else a box says so.
    void duplicateMaterialIsSavedWhereItIsReadAgain_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("savedTo"); // "data", "user" or "" for no folder
        QTest::newRow("into the data folder") << "Si2" << false << "data";
        QTest::newRow("data folder blocked") << "Si2" << false << "user";
        QTest::newRow("nowhere to write") << "Si2" << false << "";
        QTest::newRow("taken") << "Ox" << true << "data";
        QTest::newRow("empty") << "" << true << "data";
        QTest::newRow("blank inside") << "Si oxide" << true << "data";
        QTest::newRow("folder") << "../evil" << true << "data";
    }
    void duplicateMaterialIsSavedWhereItIsReadAgain() {
        QFETCH(QString, name);
        QFETCH(bool, refused);
        QFETCH(QString, savedTo);
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(enterWorkFolder(dir));
        MainWindow w;
        QVERIFY(QDir("data/materials").removeRecursively());
        const QByteArray previousHome = qgetenv("XDG_DATA_HOME");
        auto back = qScopeGuard([&] {
            QDir::setCurrent(previous);
            qputenv("XDG_DATA_HOME", previousHome);
        });
        // A file where a folder should be blocks the data folder, and the user's folder too.
        if (savedTo != "data")
            QVERIFY(writeFile(dir.filePath("data/materials"), "not a folder"));
        QVERIFY(writeFile(dir.filePath("blocked"), "not a folder"));
        qputenv("XDG_DATA_HOME",
                dir.filePath(savedTo.isEmpty() ? "blocked/home" : "home").toUtf8());
        const QString userCopy = dir.filePath("home/karveno/materials/si2.txt");

        MaterialsManager *registry = MaterialsManager::getInstance();
        registry->clearMaterials();
        registry->addMaterial(cubic("Si", 4));
        registry->addMaterial(cubic("Ox", 9));
        MaterialsDialog d(&w);
        child<QDoubleSpinBox>(&d, "vector1XBox")->setValue(42.0); // typed, not stored
        ModalDriver driver{nameAndColor(name, QColor(1, 2, 3)),
                           ModalDriver::press(QMessageBox::Ok)};
        d.on_duplicateButton_clicked();
        const QList<Material *> &materials = *MaterialsManager::getInstance()->getMaterials();
        if (refused) {
            QCOMPARE(driver.seen.size(), 2);
            QVERIFY(driver.seen.at(1).startsWith("Duplicate Material|"));
            if (name == "Ox")
                QCOMPARE(driver.seen.at(1), "Duplicate Material|Material Ox already exists yet. "
                                            "You must choose another name");
            QCOMPARE(materials.size(), 2);
            QVERIFY(!QFileInfo::exists("data/materials"));
            return;
        }
        QCOMPARE(materials.size(), 3);
        const Material *copy = materials.last();
        QCOMPARE(copy->getIndexName(), 10); // one more than the highest, not Si's 4 + 1
        QCOMPARE(copy->getAtomVec1().getX(), 1.0);
        QCOMPARE(copy->getColor(), QColor(1, 2, 3));
        QCOMPARE(child<QComboBox>(&d, "materialBox")->currentText(), QStringLiteral("Si2"));

        const QString status = child<QLabel>(&d, "statusLabel")->text();
        if (savedTo.isEmpty()) {
            QCOMPARE(driver.seen.size(), 2);
            QVERIFY2(driver.seen.at(1).startsWith("Application|Cannot write file ") &&
                         driver.seen.at(1).contains("si2.txt"),
                     qPrintable(driver.seen.at(1)));
            QCOMPARE(status, QStringLiteral("Material Si2 was not saved to a file"));
            return;
        }
        const QString file = savedTo == "data"
                                 ? QDir::current().absoluteFilePath("data/materials/si2.txt")
                                 : userCopy;
        QCOMPARE(driver.seen.size(), 1);
        QCOMPARE(status, "Material Si2 saved to " + file);
        QCOMPARE(A::ui(w).statusbar->currentMessage(), status);
        // The next start finds it again, in the data folder or the user's own.
        MaterialsManager next;
        QVERIFY(loadMaterialFolders(DataLocation::find().materialFolders(), next));
        QVERIFY(next.getMaterial("Si2"));
        QCOMPARE(next.getMaterial("Si2")->getColor(), QColor(1, 2, 3));
    }

    void emptyRegistryIsHarmless() {
        MaterialsManager::getInstance()->clearMaterials();
        MaterialsDialog d;
        ModalDriver driver;
        d.on_duplicateButton_clicked();
        d.on_colorButton_clicked();
        d.on_buttonBox_accepted();
        QVERIFY(driver.seen.isEmpty());
        QVERIFY(!d.isVectorListModified());
    }

    void atomicModeAsksBeforeGenerating() {
        MainWindow w;
        twoCubes(w);
        ModalDriver driver{ModalDriver::press(QMessageBox::Discard)};
        A::atomic(w)->trigger();
        QCOMPARE(driver.seen, QStringList{kAtomicQuestion});
        QCOMPARE(A::view(w)->getRMode(), GLWidget::kSolidMode);
        QVERIFY(A::solid(w)->isChecked() && !A::atomic(w)->isChecked());
        QCOMPARE(A::numberOfAtoms(w), 0);

        // Hidden volums are not generated, so hiding both asks nothing.
        A::ui(w).volumsList->item(0)->setCheckState(Qt::Unchecked);
        A::ui(w).volumsList->item(1)->setCheckState(Qt::Unchecked);
        A::atomic(w)->trigger();
        QCOMPARE(driver.seen.size(), 1);
        QCOMPARE(A::view(w)->getRMode(), GLWidget::kAtomicMode);

        A::solid(w)->trigger();
        A::ui(w).volumsList->item(1)->setCheckState(Qt::Checked);
        driver.then(ModalDriver::press(QMessageBox::Ok));
        A::atomic(w)->trigger();
        QCOMPARE(driver.seen.size(), 2);
        QCOMPARE(A::volums(w).at(0).getNumberOfAtoms(), 0);
        QCOMPARE(A::volums(w).at(1).getNumberOfAtoms(), 8);
        QVERIFY(!QGuiApplication::overrideCursor());
        // Every shown volum has its atoms now: back and forth asks nothing.
        A::solid(w)->trigger();
        A::atomic(w)->trigger();
        QCOMPARE(driver.seen.size(), 2);
    }

    void atomsArePickedEditedAndDeleted() {
        MainWindow w;
        ModalDriver driver;
        atomicTwoCubes(w, driver);
        QAction *edit = viewAction(w, "Edit Atom");
        QAction *remove = viewAction(w, "Delete Atom");
        QVERIFY(!edit->isEnabled());
        w.checkVolumClicked(3.05, 0.0, 0.95); // within 0.1 of b's atom at (1, 0, 1)
        QCOMPARE(A::volumSelectedAtom(w), QStringLiteral("b"));
        QVERIFY(edit->isEnabled() && remove->isEnabled());
        w.checkVolumClicked(3.1, 0.0, 1.0); // exactly 0.1 away is a miss; the pick stays
        QVERIFY(A::selectedAtom(w));
        w.checkVolumClicked(2.0, 0.0, 0.0);
        A::clearModified(w);

        driver
            .then(ModalDriver::later([](QWidget *d) { // cancelled: nothing changes
                child<QDoubleSpinBox>(d, "x_SpinBox")->setValue(0.5);
                press(d, QDialogButtonBox::Cancel);
            }))
            .then(ModalDriver::later([](QWidget *d) {
                child<QDoubleSpinBox>(d, "x_SpinBox")->setValue(0.5);
                child<QComboBox>(d, "materialBox")->setCurrentText("Ox");
                child<QSpinBox>(d, "nOffsetBox")->setValue(2);
                press(d, QDialogButtonBox::Ok);
            }));
        edit->trigger();
        QCOMPARE(A::volums(w).at(1).getAtoms().at(0).getX(), 0.0);
        QVERIFY(!A::modified(w));
        edit->trigger();
        const Atom &atom = A::volums(w).at(1).getAtoms().at(0);
        QCOMPARE(atom.getX(), 0.5);
        QCOMPARE(atom.getMaterial(), material("Ox"));
        QCOMPARE(atom.getNOffset(), 2);
        QVERIFY(A::modified(w));

        w.checkVolumClicked(0.0, 1.0, 1.0);
        remove->trigger();
        QCOMPARE(A::volums(w).at(0).getNumberOfAtoms(), 7);
        QVERIFY(!A::selectedAtom(w) && !remove->isEnabled());
        w.deleteAtomSlot(); // nothing picked: nothing deleted
        QCOMPARE(A::numberOfAtoms(w), 15);
    }

    void basisChangeRegeneratesEveryVolum() {
        MainWindow w;
        ModalDriver driver;
        atomicTwoCubes(w, driver);
        A::ui(w).volumsList->item(1)->setCheckState(Qt::Unchecked);
        w.checkVolumClicked(0.0, 0.0, 0.0);
        driver.then(ModalDriver::later([](QWidget *d) {
            for (QToolButton *button : d->findChildren<QToolButton *>()) {
                if (button->toolTip().contains("Add"))
                    button->click();
            }
            press(d, QDialogButtonBox::Ok);
        }));
        A::ui(w).menuSettings->actions().at(2)->trigger();
        QCOMPARE(driver.seen.value(1), QStringLiteral("other:MaterialsDialog"));
        QCOMPARE(A::volums(w).at(0).getNumberOfAtoms(), 16);
        QCOMPARE(A::volums(w).at(1).getNumberOfAtoms(), 16);
        QVERIFY(!A::selectedAtom(w));
    }

    void atomDialogKeepsAMissingMaterial() {
        Material gone("Gone", 7, Qt::white, Coord(1, 0, 0), Coord(0, 1, 0), Coord(0, 0, 1), {});
        for (Material *own : {static_cast<Material *>(nullptr), &gone}) {
            Atom orphan(1.0, 1.0, 1.0, own, true, 2, 3);
            AtomsDialog dialog(nullptr, orphan);
            QCOMPARE(child<QComboBox>(&dialog, "materialBox")->currentIndex(), -1);
            child<QDoubleSpinBox>(&dialog, "x_SpinBox")->setValue(0.5);
            dialog.on_buttonBox_accepted();
            QCOMPARE(orphan.getMaterial(), own);
            QCOMPARE(orphan.getX(), 0.5);
        }
    }
};

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
