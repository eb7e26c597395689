// Every design edit is one undo step: undo gives back the project's text exactly, redo the edited
// one, and the modified flag follows the stack's saved state.

#include "uitest.h"

using namespace uitest;

namespace {

using Edit = std::function<void(MainWindow &, ModalDriver &)>;

// Answers the volum dialog: named `name`, 2 wide, of the first material.
ModalDriver::Answer volumDialog(const char *name) {
    return ModalDriver::later([name](QWidget *d) {
        child<QLineEdit>(d, "vne")->setText(name);
        child<QDoubleSpinBox>(d, "xsizeBox")->setValue(2.0);
        child<QComboBox>(d, "materialBox")->setCurrentIndex(0);
        press(d, QDialogButtonBox::Ok);
    });
}

} // namespace

Q_DECLARE_METATYPE(Edit)

class TestUndo : public QObject {
    Q_OBJECT

private slots:
    void init() { quietWithTestMaterials(); }

    // Each edit is made on cubes a and b, a's atoms part of the saved text.
    void eachEditIsOneStepThatUndoTakesBack_data() {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("undoText");
        QTest::newRow("add") << Edit([](MainWindow &w, ModalDriver &driver) {
            driver.then(volumDialog("c"));
            A::ui(w).addButton->click();
        }) << "Undo Add c";
        QTest::newRow("edit with rename") << Edit([](MainWindow &w, ModalDriver &driver) {
            driver.then(volumDialog("gate"));
            w.checkVolumDialog(0.5, 0.5, 0.5);
        }) << "Undo Edit gate (was a)";
        QTest::newRow("duplicate") << Edit([](MainWindow &w, ModalDriver &) {
            A::ui(w).volumsList->item(0)->setSelected(true);
            A::ui(w).duplicateButton->click();
        }) << "Undo Duplicate a";
        QTest::newRow("delete") << Edit([](MainWindow &w, ModalDriver &) {
            w.checkVolumClicked(2.5, 0.5, 0.5);
            A::ui(w).deleteButton->click();
        }) << "Undo Delete b";
        QTest::newRow("key move") << Edit([](MainWindow &w, ModalDriver &) {
            w.checkVolumClicked(2.5, 0.5, 0.5);
            for (const int dx : {1, 1, 1, 0})
                w.volumMovedSlot(dx, 1 - dx, 0);
        }) << "Undo Move b";
        QTest::newRow("scale") << Edit([](MainWindow &w, ModalDriver &driver) {
            driver.then(ModalDriver::later([](QWidget *d) {
                child<QDoubleSpinBox>(d, "yMesureBox")->setValue(2.5);
                press(d, QDialogButtonBox::Ok);
            }));
            w.scaleDialog();
        }) << "Undo Change scale";
        QTest::newRow("delete atom") << Edit([](MainWindow &w, ModalDriver &) {
            A::atomic(w)->trigger();
            w.checkVolumClicked(0.0, 0.0, 0.0);
            viewAction(w, "Delete Atom")->trigger();
        }) << "Undo Delete atom in a";
    }
    void eachEditIsOneStepThatUndoTakesBack() {
        QFETCH(Edit, edit);
        QFETCH(QString, undoText);
        ModalDriver driver;
        MainWindow w;
        twoCubes(w);
        for (Volum &v : A::volums(w))
            v.calculateAtomicPoints();
        A::volums(w)[0].setWriteAtomsInfo(true);
        A::clearModified(w);
        const QByteArray before = A::projectText(w);
        edit(w, driver);

        QUndoStack *stack = w.undoStack();
        QCOMPARE(stack->count(), 1); // moves on one volum merge into one step
        QCOMPARE(stack->undoText().prepend("Undo "), undoText);
        QVERIFY(A::modified(w));
        QVERIFY(w.windowTitle().startsWith("* "));
        const QByteArray after = A::projectText(w);
        QVERIFY(after != before);

        stack->undo();
        QCOMPARE(A::projectText(w), before);
        QVERIFY(!A::modified(w));
        QVERIFY(!w.windowTitle().startsWith("* "));
        QCOMPARE(itemTexts(w), (QStringList{"a [1]", "b [2]"}));
        stack->redo();
        QCOMPARE(A::projectText(w), after);
        QVERIFY(A::modified(w));
    }

    void undoPastASaveMarksTheProjectModified() {
        QTemporaryDir dir;
        ModalDriver driver;
        MainWindow w;
        addCube(w, "a", 0);
        A::clearModified(w);
        w.checkVolumClicked(0.5, 0.5, 0.5);
        w.volumMovedSlot(1, 0, 0);
        QVERIFY(A::saveFile(w, dir.filePath("p.txt")));
        QVERIFY(!A::modified(w));
        w.volumMovedSlot(1, 0, 0); // after a save, a new step: no merging across it
        QCOMPARE(w.undoStack()->count(), 2);
        w.undoStack()->undo();
        QVERIFY(!A::modified(w));
        w.undoStack()->undo();
        QVERIFY(A::modified(w));
        QCOMPARE(A::volums(w).at(0).getMinX(), 0.0);
        QVERIFY(A::selectedVolum(w)); // the pick follows the volum through undo
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
