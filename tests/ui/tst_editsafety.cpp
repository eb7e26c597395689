// Edits that must not be lost or mistaken: dialogs that write in place mark the project modified
// even when cancelled, and the volum dialog keeps names and materials it cannot show.

#include "ui/materialsdialog.h"
#include "ui/propertiesdialog.h"
#include "ui/volumsdialog.h"

#include "uitest.h"

using namespace uitest;

class TestEditSafety : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QLoggingCategory::setFilterRules("karveno.*.debug=false\ndefault.debug=false");
        useTestMaterials();
    }

    void cancelledDialogsMarkWrittenChanges_data() {
        QTest::addColumn<bool>("materials");
        QTest::addColumn<bool>("edit");
        QTest::newRow("properties, row left after an edit") << false << true;
        QTest::newRow("properties, only looked at") << false << false;
        QTest::newRow("materials, material left after an edit") << true << true;
        QTest::newRow("materials, only looked at") << true << false;
    }
    void cancelledDialogsMarkWrittenChanges() {
        QFETCH(bool, materials);
        QFETCH(bool, edit);
        QTemporaryDir dir;
        QVERIFY(enterWorkFolder(dir));
        MainWindow w;
        A::clearModified(w);
        ModalDriver driver;
        driver.then(ModalDriver::later([&](QWidget *d) {
            if (materials) {
                if (edit)
                    child<QDoubleSpinBox>(d, "vector1YBox")->setValue(4.0);
                child<QComboBox>(d, "materialBox")->setCurrentIndex(1);
            } else {
                auto *rows = child<QListWidget>(d, "propertiesList");
                if (edit)
                    child<QSpinBox>(d, "Steps")->setValue(77);
                rows->setCurrentRow(1);
            }
            press(d, QDialogButtonBox::Cancel);
        }));
        if (materials)
            w.materialsDialog();
        else
            w.propertiesDialog();
        QCOMPARE(A::modified(w), edit);
        if (edit && materials)
            QCOMPARE(material("Si")->getAtomVec1().getY(), 4.0);
    }

    void duplicatedMaterialSurvivesCancelAsChange() {
        MaterialsDialog d;
        QSignalSpy changed(&d, qOverload<>(&MaterialsDialog::changeEvent));
        MaterialsManager::getInstance()->addMaterial(cubic("Cu", 3)); // as a duplicate would
        d.reject();
        QCOMPARE(changed.count(), 1);
    }

    void volumWithoutMaterialKeepsItUnlessOneIsPicked() {
        QList<Volum> volums{cube("g", 0)};
        volums[0].setMissingMaterialName("Unobtainium");
        {
            VolumsDialog d(nullptr, &volums, "g");
            QCOMPARE(child<QComboBox>(&d, "materialBox")->currentIndex(), -1);
            d.on_buttonBox_accepted();
            QVERIFY(d.isFinish());
        }
        QVERIFY(!volums[0].getMaterial());
        QCOMPARE(volums[0].getMissingMaterialName(), QStringLiteral("Unobtainium"));
        VolumsDialog d(nullptr, &volums, "g");
        child<QComboBox>(&d, "materialBox")->setCurrentIndex(1);
        d.on_buttonBox_accepted();
        QCOMPARE(volums[0].getMaterial(), material("Ox"));
        QVERIFY(volums[0].getMissingMaterialName().isEmpty());
    }
};

QTEST_MAIN(TestEditSafety)
#include "tst_editsafety.moc"
