// Every design edit is one undo step: undo gives back the project's text exactly, redo the edited
// one, and the modified flag follows the stack's saved state.

#include "ui/scaledialog.h"
#include "ui/volumsdialog.h"

#include "uitest.h"

using namespace uitest;

class TestUndo : public QObject {
    Q_OBJECT

    enum Edit { Add, Rename, Duplicate, Delete, Move, Scale, DeleteAtom };

private slots:
    void init() {
        QLoggingCategory::setFilterRules("karveno.*.debug=false\ndefault.debug=false");
        useTestMaterials();
    }

    void eachEditIsOneStepThatUndoTakesBack_data() {
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("undoText");
        QTest::newRow("add") << int(Add) << "Undo Add c";
        QTest::newRow("edit with rename") << int(Rename) << "Undo Edit gate (was a)";
        QTest::newRow("duplicate") << int(Duplicate) << "Undo Duplicate a";
        QTest::newRow("delete") << int(Delete) << "Undo Delete b";
        QTest::newRow("key move") << int(Move) << "Undo Move b";
        QTest::newRow("scale") << int(Scale) << "Undo Change scale";
        QTest::newRow("delete atom") << int(DeleteAtom) << "Undo Delete atom in a";
    }
    void eachEditIsOneStepThatUndoTakesBack() {
        QFETCH(int, edit);
        QFETCH(QString, undoText);
        ModalDriver driver;
        MainWindow w;
        useTestMaterials();
        addCube(w, "a", 0);
        addCube(w, "b", 2);
        for (Volum &v : A::volums(w))
            v.calculateAtomicPoints();
        A::volums(w)[0].setWriteAtomsInfo(true); // atoms are part of the saved text
        A::clearModified(w);
        const QByteArray before = A::projectText(w);

        switch (edit) {
        case Add:
        case Rename:
            driver.then(ModalDriver::later([](QWidget *d) {
                child<QLineEdit>(d, "vne")->setText(d->windowTitle().startsWith("Add") ? "c"
                                                                                       : "gate");
                child<QDoubleSpinBox>(d, "xsizeBox")->setValue(2.0);
                child<QComboBox>(d, "materialBox")->setCurrentIndex(0);
                press(d, QDialogButtonBox::Ok);
            }));
            if (edit == Add)
                A::ui(w).addButton->click();
            else
                w.checkVolumDialog(0.5, 0.5, 0.5);
            break;
        case Duplicate:
            A::ui(w).volumsList->item(0)->setSelected(true);
            A::ui(w).duplicateButton->click();
            break;
        case Delete:
        case Move:
            w.checkVolumClicked(2.5, 0.5, 0.5);
            if (edit == Delete) {
                A::ui(w).deleteButton->click();
            } else {
                for (int i = 0; i < 3; ++i)
                    w.volumMovedSlot(1, 0, 0);
                w.volumMovedSlot(0, 1, 0);
            }
            break;
        case Scale:
            driver.then(ModalDriver::later([](QWidget *d) {
                child<QDoubleSpinBox>(d, "yMesureBox")->setValue(2.5);
                press(d, QDialogButtonBox::Ok);
            }));
            w.scaleDialog();
            break;
        case DeleteAtom:
            A::atomic(w)->trigger();
            w.checkVolumClicked(0.0, 0.0, 0.0);
            viewAction(w, "Delete Atom")->trigger();
            break;
        }

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
