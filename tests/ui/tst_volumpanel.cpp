// The main window's volum panel: Add through the volum dialog (with its not-finished loop), Edit,
// Duplicate, Delete, the list and its check boxes, picking in the view, keyboard moves and the
// placement tolerances.

#include "editorswindow.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

using namespace editors;

class TestVolumPanel : public QObject {
    Q_OBJECT

private slots:
    void init();
    void addRunsTheDialogAgainUntilItCompletes();
    void editRenamesTheListedVolum();
    void duplicateNamesAndPlacesTheCopy();
    void deleteRules();
    void listClickPicksOnlyShownVolums();
    void clickInTheViewPicksAndUnpicks();
    void keyboardMovesStopAtASharedFace();
    void keyboardMovesStayInThePositiveOctant();
    void picksFollowTheirVolumAcrossDuplicateAndDelete();
    void doubleClickOnASharedFaceOpensBothDialogs();
};

void TestVolumPanel::init() {
    QLoggingCategory::setFilterRules(QStringLiteral("karveno.*.debug=false\ndefault.debug=false"));
}

void TestVolumPanel::addRunsTheDialogAgainUntilItCompletes() {
    MainWindow w;
    useTestMaterials();
    QStringList titles;
    int meshesShownAgain = 0;
    ModalDriver driver;
    // First round: meshes and size set, but no name; refused.
    driver.then(later([&](QWidget *d) {
        titles << d->windowTitle();
        child<QSpinBox>(d, "xmallesBox")->setValue(20);
        pressOk(d);
    }));
    driver.then(ModalDriver::press(QMessageBox::Ok));
    // Second round: the same dialog, as the user left it.
    driver.then(later([&](QWidget *d) {
        titles << d->windowTitle();
        meshesShownAgain = child<QSpinBox>(d, "xmallesBox")->value();
        child<QLineEdit>(d, "vne")->setText(QStringLiteral("box"));
        pressOk(d);
    }));
    A::ui(w).addButton->click();

    QCOMPARE(titles, (QStringList{QStringLiteral("Add a Volum"), QStringLiteral("Add a Volum")}));
    QCOMPARE(driver.seen.at(1), QStringLiteral("|You must specify a volum name!"));
    QCOMPARE(meshesShownAgain, 20);
    QCOMPARE(itemTexts(w), QStringList{QStringLiteral("box [1]")});
    QCOMPARE(A::ui(w).volumsList->item(0)->checkState(), Qt::Checked);
    QCOMPARE(A::volums(w).at(0).getxMalles(), 20);
    QVERIFY(A::volums(w).at(0).areAtomsCalculated());
    QVERIFY(A::modified(w));
    // A size of 1 over 20 meshes: keyboard moves of 0.05 along x.
    QCOMPARE(A::xprecision(w), 0.05f);

    // The next volum is offered beyond the first; cancelling adds nothing.
    double offeredX = -1;
    driver.then(later([&](QWidget *d) {
        offeredX = child<QDoubleSpinBox>(d, "xoriginBox")->value();
        static_cast<QDialog *>(d)->reject();
    }));
    A::ui(w).addButton->click();
    QCOMPARE(offeredX, 1.0);
    QCOMPARE(A::volums(w).size(), 1);

    // The tolerance never goes back up, not even when its volum is deleted.
    w.checkVolumClicked(0.5, 0.5, 0.5);
    A::ui(w).deleteButton->click();
    QVERIFY(A::volums(w).isEmpty());
    QCOMPARE(A::xprecision(w), 0.05f);

    // An empty box, or an axis without meshes, would make every later move zero-sized.
    Volum flat(QStringLiteral("flat"), 0, 10, 10);
    flat.addCoords(Coord(0, 0, 0), 1.0f, 0.0f, 1.0f);
    A::volums(w).append(flat);
    w.updateVolums(QStringLiteral("flat"), QString());
    QCOMPARE(A::xprecision(w), 0.05f);
    QCOMPARE(A::yprecision(w), 0.1f);
}

void TestVolumPanel::editRenamesTheListedVolum() {
    MainWindow w;
    useTestMaterials();
    addCube(w, QStringLiteral("a"), 0);
    addCube(w, QStringLiteral("b"), 1);
    A::clearModified(w);

    // Nothing highlighted: Edit does nothing.
    ModalDriver driver;
    A::ui(w).editButton->setEnabled(true);
    A::ui(w).editButton->click();
    QVERIFY(driver.seen.isEmpty());

    QString title;
    A::ui(w).volumsList->item(1)->setSelected(true);
    driver.then(later([&](QWidget *d) {
        title = d->windowTitle();
        child<QLineEdit>(d, "vne")->setText(QStringLiteral("gate"));
        pressOk(d);
    }));
    A::ui(w).editButton->click();
    QCOMPARE(title, QStringLiteral("Edit a Volum b"));
    QCOMPARE(itemTexts(w), (QStringList{QStringLiteral("a [1]"), QStringLiteral("gate [2]")}));
    QCOMPARE(A::volums(w).at(1).getName(), QStringLiteral("gate"));
    QVERIFY(A::modified(w));
}

void TestVolumPanel::duplicateNamesAndPlacesTheCopy() {
    MainWindow w;
    useTestMaterials();
    addCube(w, QStringLiteral("box"), 0, 2.0f);
    addCube(w, QStringLiteral("gate-oxide"), 2, 1.0f, QStringLiteral("Ox"));
    QListWidget *list = A::ui(w).volumsList;
    w.checkVolumClicked(1, 1, 1); // box is picked and red
    A::clearModified(w);

    list->clearSelection();
    list->item(0)->setSelected(true);
    A::ui(w).duplicateButton->click();
    list->clearSelection();
    list->item(2)->setSelected(true);
    A::ui(w).duplicateButton->click();
    list->clearSelection();
    list->item(1)->setSelected(true);
    A::ui(w).duplicateButton->click();

    QCOMPARE(itemTexts(w),
             (QStringList{"box [1]", "gate-oxide [2]", "box-0 [3]", "box-1 [4]", "gate-0 [5]"}));
    const Volum &copy = A::volums(w).at(2);
    // Beyond every volum at the time: the largest maxima were (3, 2, 2).
    QCOMPARE(copy.getMinX(), 3.0);
    QCOMPARE(copy.getMinY(), 2.0);
    QCOMPARE(copy.getMinZ(), 2.0);
    QCOMPARE(copy.getxSize(), 2.0f);
    QVERIFY(!copy.isSelected());
    QCOMPARE(copy.getNumberOfAtoms(), 27);
    QCOMPARE(A::volums(w).at(4).getMaterial(), material(QStringLiteral("Ox")));
    QVERIFY(A::modified(w));
    // The pick still designates box.
    QCOMPARE(A::selectedVolumIndex(w), 0);
}

void TestVolumPanel::deleteRules() {
    MainWindow w;
    useTestMaterials();
    addCube(w, QStringLiteral("a"), 0);
    addCube(w, QStringLiteral("b"), 1);
    addCube(w, QStringLiteral("c"), 2);
    A::ui(w).volumsList->item(2)->setCheckState(Qt::Unchecked);
    A::clearModified(w);

    // Nothing picked, or atomic mode: nothing happens.
    A::ui(w).deleteButton->setEnabled(true);
    A::ui(w).deleteButton->click();
    QCOMPARE(A::volums(w).size(), 3);
    w.checkVolumClicked(1.5, 0.5, 0.5);
    A::view(w)->setRMode(GLWidget::kAtomicMode);
    A::ui(w).deleteButton->click();
    QCOMPARE(A::volums(w).size(), 3);
    A::view(w)->setRMode(GLWidget::kSolidMode);

    QSignalSpy focus(&w, qOverload<double, double, double>(&MainWindow::volumSelected));
    A::ui(w).deleteButton->click();
    QCOMPARE(itemTexts(w), (QStringList{"a [1]", "c [2]"}));
    QVERIFY(!A::selectedVolum(w));
    QCOMPARE(focus.count(), 1);
    QCOMPARE(focus.first(), (QVariantList{0.0, 0.0, 0.0}));
    QVERIFY(A::modified(w));
    // c stays hidden: the rebuilt list keeps each volum's visibility.
    QCOMPARE(A::ui(w).volumsList->item(1)->checkState(), Qt::Unchecked);
    QVERIFY(!A::volums(w).at(1).isVisible());

    // Deleting the last volum disables Delete only.
    w.checkVolumClicked(0.5, 0.5, 0.5);
    A::ui(w).deleteButton->click();
    w.checkVolumClicked(2.5, 0.5, 0.5);
    A::ui(w).deleteButton->click();
    QVERIFY(A::volums(w).isEmpty());
    QCOMPARE(A::ui(w).volumsList->count(), 0);
    QVERIFY(!A::ui(w).deleteButton->isEnabled());
    QVERIFY(A::ui(w).editButton->isEnabled());
    QVERIFY(A::ui(w).duplicateButton->isEnabled());
}

void TestVolumPanel::listClickPicksOnlyShownVolums() {
    MainWindow w;
    useTestMaterials();
    addCube(w, QStringLiteral("a"), 0);
    addCube(w, QStringLiteral("b"), 1);
    QListWidget *list = A::ui(w).volumsList;
    list->item(1)->setCheckState(Qt::Unchecked);
    QSignalSpy focus(&w, qOverload<double, double, double>(&MainWindow::volumSelected));

    w.on_volumsList_itemClicked(list->item(1));
    QVERIFY(A::ui(w).editButton->isEnabled());
    QVERIFY(A::ui(w).deleteButton->isEnabled());
    QVERIFY(!A::selectedVolum(w));
    QCOMPARE(focus.count(), 0);

    w.on_volumsList_itemClicked(list->item(0));
    QVERIFY(A::selectedVolum(w));
    QVERIFY(A::volums(w).at(0).isSelected());
    QCOMPARE(focus.first(), (QVariantList{0.5, 0.5, 0.5}));
    QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Volum a selected."));

    w.changeVolumList(QStringLiteral("b"));
    QVERIFY(!list->item(0)->isSelected());
    QVERIFY(list->item(1)->isSelected());
}

void TestVolumPanel::clickInTheViewPicksAndUnpicks() {
    MainWindow w;
    useTestMaterials();
    addCube(w, QStringLiteral("a"), 0);
    addCube(w, QStringLiteral("b"), 2);
    A::ui(w).volumsList->item(1)->setCheckState(Qt::Unchecked);
    Ui::MainWindow &ui = A::ui(w);
    QSignalSpy named(&w, qOverload<QString>(&MainWindow::volumSelected));

    // Within 0.01 of a face still hits.
    w.checkVolumClicked(1.005, 0.5, 0.5);
    QVERIFY(A::volums(w).at(0).isSelected());
    QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Volum a selected."));
    QVERIFY(ui.editButton->isEnabled() && ui.duplicateButton->isEnabled());
    QVERIFY(ui.volumsList->item(0)->isSelected());
    QCOMPARE(named.count(), 1);

    // Empty space keeps the pick.
    w.checkVolumClicked(1.5, 0.5, 0.5);
    QVERIFY(A::selectedVolum(w));

    // Another volum, hidden or not, takes the pick.
    w.checkVolumClicked(2.5, 0.5, 0.5);
    QVERIFY(!A::volums(w).at(0).isSelected());
    QVERIFY(A::volums(w).at(1).isSelected());
    QCOMPARE(A::selectedVolumIndex(w), 1);
    QVERIFY(ui.volumsList->item(1)->isSelected());
    QVERIFY(!ui.volumsList->item(0)->isSelected());

    // The picked volum again: unpicked, buttons off.
    w.checkVolumClicked(2.5, 0.5, 0.5);
    QVERIFY(!A::selectedVolum(w));
    QVERIFY(!A::volums(w).at(1).isSelected());
    QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Volum b unselected."));
    QVERIFY(!ui.editButton->isEnabled() && !ui.deleteButton->isEnabled() &&
            !ui.duplicateButton->isEnabled());
    QVERIFY(ui.volumsList->selectedItems().isEmpty());
}

void TestVolumPanel::keyboardMovesStopAtASharedFace() {
    MainWindow w;
    useTestMaterials();
    addCube(w, QStringLiteral("a"), 0);
    addCube(w, QStringLiteral("b"), 2);
    w.checkVolumClicked(2.5, 0.5, 0.5);
    A::clearModified(w);

    w.volumMovedSlot(-5, 0, 0);
    QCOMPARE(A::volums(w).at(1).getMinX(), 1.5);
    w.volumMovedSlot(-5, 0, 0); // lands on the shared face
    QCOMPARE(A::volums(w).at(1).getMinX(), 1.0);
    QVERIFY(A::modified(w));
    w.volumMovedSlot(-1, 0, 0); // would overlap a
    QCOMPARE(A::volums(w).at(1).getMinX(), 1.0);
    QVERIFY(A::checkOverlap(w, 0.9, 0, 0));
    w.volumMovedSlot(0, 1, 0); // sliding along the face is free
    QVERIFY(qAbs(A::volums(w).at(1).getMinY() - 0.1) < 1e-6);
    w.volumMovedSlot(1, 0, 0);
    QVERIFY(qAbs(A::volums(w).at(1).getMinX() - 1.1) < 1e-6);
    // Atoms are relative to the origin: they moved with the box untouched.
    QCOMPARE(A::volums(w).at(1).getNumberOfAtoms(), 0);

    // Nothing picked (b clicked again): keys do nothing.
    w.checkVolumClicked(1.5, 0.5, 0.5);
    QVERIFY(!A::selectedVolum(w));
    w.volumMovedSlot(1, 0, 0);
    QVERIFY(qAbs(A::volums(w).at(1).getMinX() - 1.1) < 1e-6);
}

void TestVolumPanel::keyboardMovesStayInThePositiveOctant() {
    MainWindow w;
    useTestMaterials();
    addCube(w, QStringLiteral("a"), 0);
    w.checkVolumClicked(0.5, 0.5, 0.5);
    w.volumMovedSlot(-1, 0, 0);
    w.volumMovedSlot(0, -1, 0);
    w.volumMovedSlot(0, 0, -1);
    QCOMPARE(A::volums(w).at(0).getMinX(), 0.0);
    QCOMPARE(A::volums(w).at(0).getMinY(), 0.0);
    QCOMPARE(A::volums(w).at(0).getMinZ(), 0.0);

    // At x = 0.05 a step of 0.1 to the left would leave the octant.
    A::volums(w)[0].move(0.05f, 0, 0);
    w.volumMovedSlot(-1, 0, 0);
    QCOMPARE(A::volums(w).at(0).getMinX(), double(0.05f));
}

void TestVolumPanel::picksFollowTheirVolumAcrossDuplicateAndDelete() {
    MainWindow w;
    useTestMaterials();
    addCube(w, QStringLiteral("a"), 0);
    addCube(w, QStringLiteral("b"), 1);
    addCube(w, QStringLiteral("c"), 2);
    for (Volum &v : A::volums(w))
        v.calculateAtomicPoints();

    // An atom of c is picked in atomic mode.
    A::view(w)->setRMode(GLWidget::kAtomicMode);
    w.checkVolumClicked(3.0, 1.0, 1.0);
    QVERIFY(A::selectedAtom(w));
    QCOMPARE(A::volumSelectedAtom(w), QStringLiteral("c"));
    const int picked = A::selectedAtomIndex(w);

    // In solid mode b is picked, a is duplicated (appended), then b is deleted: c moves up.
    A::view(w)->setRMode(GLWidget::kSolidMode);
    w.checkVolumClicked(1.5, 0.5, 0.5);
    A::ui(w).volumsList->clearSelection();
    A::ui(w).volumsList->item(0)->setSelected(true);
    A::ui(w).duplicateButton->click();
    QCOMPARE(A::volums(w).at(A::selectedVolumIndex(w)).getName(), QStringLiteral("b"));
    A::ui(w).deleteButton->click();
    QCOMPARE(itemTexts(w), (QStringList{"a [1]", "c [2]", "a-0 [3]"}));

    // The atom pick still designates c's atom: deleting it removes exactly that one.
    QVERIFY(A::selectedAtom(w));
    const Atom atom = A::volums(w).at(1).getAtoms().at(picked);
    QVERIFY(atom.isSelected());
    QCOMPARE(atom.getX() + 2.0, 3.0);
    const int before = A::volums(w).at(1).getNumberOfAtoms();
    w.deleteAtomSlot();
    QCOMPARE(A::volums(w).at(1).getNumberOfAtoms(), before - 1);
    QCOMPARE(A::volums(w).at(0).getNumberOfAtoms(), before);

    // Deleting the volum that holds the picked atom drops the atom pick.
    A::view(w)->setRMode(GLWidget::kAtomicMode);
    w.checkVolumClicked(0.0, 0.0, 0.0);
    QCOMPARE(A::volumSelectedAtom(w), QStringLiteral("a"));
    A::view(w)->setRMode(GLWidget::kSolidMode);
    w.checkVolumClicked(0.5, 0.5, 0.5);
    A::ui(w).deleteButton->click();
    QVERIFY(!A::selectedAtom(w));
    QVERIFY(!viewAction(w, QStringLiteral("Delete Atom"))->isEnabled());
}

void TestVolumPanel::doubleClickOnASharedFaceOpensBothDialogs() {
    MainWindow w;
    useTestMaterials();
    addCube(w, QStringLiteral("a"), 0);
    addCube(w, QStringLiteral("b"), 1);
    QStringList titles;
    ModalDriver driver;
    for (int i = 0; i < 2; ++i) {
        driver.then(later([&](QWidget *d) {
            titles << d->windowTitle();
            static_cast<QDialog *>(d)->reject();
        }));
    }
    w.checkVolumDialog(1.0, 0.5, 0.5);
    QCOMPARE(titles, (QStringList{"Edit a Volum a", "Edit a Volum b"}));
    // Beyond the click margin of 0.01 nothing opens.
    w.checkVolumDialog(2.02, 0.5, 0.5);
    QCOMPARE(titles.size(), 2);
    QCOMPARE(driver.seen.size(), 2);
}

QTEST_MAIN(TestVolumPanel)
#include "tst_volumpanel.moc"
