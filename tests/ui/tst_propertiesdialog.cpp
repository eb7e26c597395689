// The general properties dialog edits the window's categories in place: leaving a category
// writes it at once, accepting writes the shown one and reports a change, cancelling does not.

#include "model/category.h"
#include "ui/propertiesdialog.h"
#include "ui/propertyform.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

namespace {

QList<Category> generalCategories() {
    Category run("Run");
    run.addProperty(Property("steps", 1, 100, "Number of time steps"));
    run.addProperty(Property("verbose", 0, false, ""));
    Category grid("Grid");
    Condition uniform("uniform", true);
    uniform.addProperty(Property("spacing", 2, 0.25, ""));
    Condition adaptive("adaptive", false);
    adaptive.addProperty(Property("levels", 1, 3, ""));
    Property kind("mesh", 4, 2, "");
    kind.addCondition(uniform);
    kind.addCondition(adaptive);
    grid.addProperty(kind);
    grid.addProperty(Property("cells", 1, 8, ""));
    return {run, grid};
}

} // namespace

class PropertiesDialogTest : public QObject {
    Q_OBJECT

    static void clickButton(PropertiesDialog &dialog, QDialogButtonBox::StandardButton which) {
        dialog.findChild<QDialogButtonBox *>("buttonBox")->button(which)->click();
    }
    static QListWidget *list(PropertiesDialog &dialog) {
        return dialog.findChild<QListWidget *>("propertiesList");
    }

private slots:
    void switchingAwayAndBackKeepsEdits() {
        QList<Category> categories = generalCategories();
        PropertiesDialog dialog(nullptr, &categories);
        dialog.findChild<QSpinBox *>("steps")->setValue(250);
        list(dialog)->setCurrentRow(1);
        QVERIFY(!dialog.findChild<QSpinBox *>("steps"));
        dialog.findChild<QSpinBox *>("cells")->setValue(16);
        list(dialog)->setCurrentRow(0);
        QCOMPARE(dialog.findChild<QSpinBox *>("steps")->value(), 250);
        list(dialog)->setCurrentRow(1);
        QCOMPARE(dialog.findChild<QSpinBox *>("cells")->value(), 16);
    }

    void cancelKeepsOnlyCategoriesAlreadyLeft() {
        QList<Category> categories = generalCategories();
        PropertiesDialog dialog(nullptr, &categories);
        QSignalSpy changed(&dialog, qOverload<>(&PropertiesDialog::changeEvent));
        dialog.findChild<QSpinBox *>("steps")->setValue(7);
        list(dialog)->setCurrentRow(1);
        dialog.findChild<QSpinBox *>("cells")->setValue(64);
        clickButton(dialog, QDialogButtonBox::Cancel);

        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(categories[0].getProperties()[0].getDoubleValue(), 7.0);
        QCOMPARE(categories[1].getProperties()[1].getDoubleValue(), 8.0);
        QCOMPARE(changed.count(), 0);
    }

    void acceptWritesTheShownCategoryAndReportsAChange() {
        QList<Category> categories = generalCategories();
        PropertiesDialog dialog(nullptr, &categories);
        QSignalSpy changed(&dialog, qOverload<>(&PropertiesDialog::changeEvent));
        list(dialog)->setCurrentRow(1);
        dialog.findChild<QRadioButton *>("adaptive-condname")->setChecked(true);
        dialog.findChild<QSpinBox *>("levels")->setValue(5);
        // The accept traces each condition sub-property it reads back.
        QTest::ignoreMessage(QtDebugMsg, "Deleting spacing-label");
        QTest::ignoreMessage(QtDebugMsg, "spacing");
        QTest::ignoreMessage(QtDebugMsg, "Deleting levels-label");
        QTest::ignoreMessage(QtDebugMsg, "levels");
        clickButton(dialog, QDialogButtonBox::Ok);

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(changed.count(), 1);
        const QList<Condition> &conditions = categories[1].getProperties()[0].getConditions();
        QVERIFY(!conditions[0].isActivated());
        QVERIFY(conditions[1].isActivated());
        QCOMPARE(conditions[1].getProperties()[0].getDoubleValue(), 5.0);
        QVERIFY(!dialog.propertyForm()->isShown());
    }

    void acceptWithoutChangesStillReportsAChange() {
        QList<Category> categories = generalCategories();
        const QList<Category> before = categories;
        PropertiesDialog dialog(nullptr, &categories);
        QSignalSpy changed(&dialog, qOverload<>(&PropertiesDialog::changeEvent));
        clickButton(dialog, QDialogButtonBox::Ok);
        QCOMPARE(changed.count(), 1);
        QVERIFY(categories == before);
    }

    void noCategoriesShowNothingAndAcceptStillReports() {
        QList<Category> categories;
        PropertiesDialog dialog(nullptr, &categories);
        QSignalSpy changed(&dialog, qOverload<>(&PropertiesDialog::changeEvent));
        QCOMPARE(list(dialog)->count(), 0);
        QCOMPARE(list(dialog)->currentRow(), -1);
        QVERIFY(!dialog.propertyForm()->isShown());
        clickButton(dialog, QDialogButtonBox::Ok);
        QCOMPARE(changed.count(), 1);
    }
};

QTEST_MAIN(PropertiesDialogTest)
#include "tst_propertiesdialog.moc"
