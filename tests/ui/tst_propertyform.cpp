// The generated property form: what the user sees for each type of setting and what is written
// back into the categories when the user leaves a category.

#include "model/category.h"
#include "ui/propertyform.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

Category scalarCategory() {
    Category c("Scalars");
    c.addProperty(Property("flag", 0, true, "A switch"));
    c.addProperty(Property("count", 1, 12, "How many"));
    c.addProperty(Property("length", 2, 0.5, ""));
    c.addProperty(Property("density", 3, 1500.0, "Per cubic metre"));
    return c;
}

// A choice with two alternatives; the first carries a real and a boolean, the second an integer
// and an (impossible) nested choice that must not get an editor.
Category choiceCategory(bool firstActive, bool secondActive) {
    Condition first("dirichlet", firstActive);
    first.addProperty(Property("potential", 2, 0.7, "Volts"));
    first.addProperty(Property("ohmic", 0, false, ""));
    Condition second("neumann", secondActive);
    second.addProperty(Property("flux", 1, 3, "Flux"));
    second.addProperty(Property("nested", 4, 0, ""));
    Property boundary("boundary", 4, 2, "Kind of boundary");
    boundary.addCondition(first);
    boundary.addCondition(second);
    Category c("Boundaries");
    c.addProperty(boundary);
    return c;
}

Category single(const Property &p) {
    Category c("Single");
    c.addProperty(p);
    return c;
}

} // namespace

class PropertyFormTest : public QObject {
    Q_OBJECT

    QWidget *host = nullptr;
    QScrollArea *area = nullptr;
    PropertyForm *form = nullptr;

    template <typename T> T *find(const QString &name) const {
        T *w = form->contentWidget()->findChild<T *>(name);
        if (!w)
            qWarning() << "no widget" << name;
        return w;
    }

private slots:
    void init() {
        host = new QWidget;
        area = new QScrollArea(host);
        form = new PropertyForm(area, host);
        form->setObjectNamesEnabled(true);
        auto *layout = new QVBoxLayout(host);
        layout->addWidget(area);
    }
    void cleanup() { delete host; }

    void scalarsShowTheirValuesAndHelpButtons() {
        QList<Category> list{scalarCategory()};
        form->showCategory(&list, 0);
        QCOMPARE(form->lastIndex(), 0);
        QCOMPARE(find<QComboBox>("flag")->currentText(), QString("true"));
        QCOMPARE(find<QSpinBox>("count")->value(), 12);
        QCOMPARE(find<QDoubleSpinBox>("length")->value(), 0.5);
        QCOMPARE(find<QDoubleSpinBox>("length")->decimals(), 10);
        QCOMPARE(find<QDoubleSpinBox>("density")->value(), 1.5);
        QCOMPARE(find<QSpinBox>("density")->value(), 3);
        QCOMPARE(find<QLabel>("density-vallabel")->text(), QString("Value:"));
        QCOMPARE(find<QLabel>("density-explabel")->text(), QString("Exponent:"));
        QVERIFY(!find<QToolButton>("flag-help")->isHidden());
        QVERIFY(find<QToolButton>("length-help")->isHidden()); // empty help text
    }

    void editsAreWrittenBackAndWidgetsDestroyed() {
        QList<Category> list{scalarCategory()};
        form->showCategory(&list, 0);
        find<QComboBox>("flag")->setCurrentIndex(0);
        find<QSpinBox>("count")->setValue(-7);
        find<QDoubleSpinBox>("length")->setValue(2.25);
        find<QDoubleSpinBox>("density")->setValue(-4.0);
        find<QSpinBox>("density")->setValue(-2);
        form->readBack();

        const QList<Property> &p = list[0].getProperties();
        QCOMPARE(p[0].getDoubleValue(), 0.0);
        QCOMPARE(p[1].getDoubleValue(), -7.0);
        QCOMPARE(p[2].getDoubleValue(), 2.25);
        QCOMPARE(p[3].getDoubleValue(), -0.04);
        QCOMPARE(form->lastIndex(), -1);
        QVERIFY(form->contentWidget()->findChildren<QWidget *>().isEmpty());
        QCOMPARE(form->layout()->count(), 1); // only the trailing stretch is left

        // A second read-back without a new form writes nothing.
        list[0].getProperties()[1].setValue(5);
        form->readBack();
        QCOMPARE(list[0].getProperties()[1].getDoubleValue(), 5.0);
    }

    void unknownTypeGetsOnlyItsHelpButtonAndDoesNotShiftLaterRows() {
        Category c("Mixed");
        c.addProperty(Property("future", 9, 4.0, "Not known to this version"));
        c.addProperty(Property("after", 1, 5, ""));
        QList<Category> list{c};
        form->showCategory(&list, 0);
        QVERIFY(!form->contentWidget()->findChild<QLabel *>("future-label"));
        QVERIFY(!find<QToolButton>("future-help")->isHidden());
        find<QSpinBox>("after")->setValue(6);
        form->readBack();
        QCOMPARE(list[0].getProperties()[0].getDoubleValue(), 4.0);
        QCOMPARE(list[0].getProperties()[1].getDoubleValue(), 6.0);
    }

    void mantissaAndExponent_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("mantissa");
        QTest::addColumn<int>("exponent");
        QTest::addColumn<double>("back");
        QTest::newRow("small") << 0.0025 << 2.5 << -3 << 0.0025;
        QTest::newRow("thousands") << 1500.0 << 1.5 << 3 << 1500.0;
        QTest::newRow("negative fraction") << -0.5 << -5.0 << -1 << -0.5;
        QTest::newRow("ten") << 10.0 << 1.0 << 1 << 10.0;
        QTest::newRow("zero") << 0.0 << 0.0 << 0 << 0.0;
        QTest::newRow("four divisions") << 12345.0 << 1.2345000000000002 << 4 << 12345.000000000002;
        QTest::newRow("exponent above range") << 3e150 << 3.0 << 99 << 3e99;
        QTest::newRow("exponent below range") << -2e-120 << -2.0 << -99 << -2e-99;
    }
    void mantissaAndExponent() {
        QFETCH(double, value);
        QFETCH(double, mantissa);
        QFETCH(int, exponent);
        QFETCH(double, back);
        QList<Category> list{single(Property("x", 3, value, ""))};
        form->showCategory(&list, 0);
        QCOMPARE(find<QDoubleSpinBox>("x")->value(), mantissa);
        QCOMPARE(find<QSpinBox>("x")->value(), exponent);
        form->readBack();
        QCOMPARE(list[0].getProperties()[0].getDoubleValue(), back);
    }

    void nonFiniteScientificValueIsKeptUntilEdited_data() {
        QTest::addColumn<double>("value");
        QTest::newRow("+inf") << std::numeric_limits<double>::infinity();
        QTest::newRow("-inf") << -std::numeric_limits<double>::infinity();
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
    }
    void nonFiniteScientificValueIsKeptUntilEdited() {
        QFETCH(double, value);
        QList<Category> list{single(Property("x", 3, value, ""))};
        form->showCategory(&list, 0); // must not hang
        form->readBack();
        const double kept = list[0].getProperties()[0].getDoubleValue();
        QVERIFY(std::isnan(value) ? std::isnan(kept) : kept == value);

        form->showCategory(&list, 0);
        find<QDoubleSpinBox>("x")->setValue(2.0);
        find<QSpinBox>("x")->setValue(5);
        form->readBack();
        QCOMPARE(list[0].getProperties()[0].getDoubleValue(), 2e5);
    }

    void valuesOutsideTheBoxesAreClamped_data() {
        QTest::addColumn<Property>("property");
        QTest::addColumn<double>("back");
        QTest::newRow("big integer") << Property("p", 1, 5e12, "") << 999999999.0;
        QTest::newRow("small integer") << Property("p", 1, -5e12, "") << -999999999.0;
        QTest::newRow("fraction in integer") << Property("p", 1, -2.9, "") << -2.0;
        QTest::newRow("big real") << Property("p", 2, 2e9, "") << 999999999.0;
        QTest::newRow("real below 10 decimals") << Property("p", 2, 1e-12, "") << 0.0;
        QTest::newRow("boolean 2.0") << Property("p", 0, 2.0, "") << 0.0;
        QTest::newRow("boolean -1") << Property("p", 0, -1.0, "") << 0.0;
        QTest::newRow("boolean true") << Property("p", 0, 1.0, "") << 1.0;
    }
    void valuesOutsideTheBoxesAreClamped() {
        QFETCH(Property, property);
        QFETCH(double, back);
        QList<Category> list{single(property)};
        form->showCategory(&list, 0);
        form->readBack();
        QCOMPARE(list[0].getProperties()[0].getDoubleValue(), back);
    }

    void chosenConditionShowsOnlyItsSubForm() {
        QList<Category> list{choiceCategory(true, false)};
        form->showCategory(&list, 0);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host));
        auto *dirichlet = find<QRadioButton>("dirichlet-condname");
        auto *neumann = find<QRadioButton>("neumann-condname");
        QWidget *potential = find<QDoubleSpinBox>("potential");
        QWidget *flux = find<QSpinBox>("flux");
        QCOMPARE(find<QGroupBox>("boundary")->title(), QString("boundary"));
        QVERIFY(dirichlet->isChecked() && !neumann->isChecked());
        QVERIFY(potential->isVisible());
        QVERIFY(!flux->isVisible());
        // The nested choice gets its label and help button but no editor.
        QVERIFY(find<QLabel>("nested-label"));
        QVERIFY(!form->contentWidget()->findChild<QGroupBox *>("nested"));

        // Click on the indicator: only the indicator and the label text take clicks.
        QTest::mouseClick(neumann, Qt::LeftButton, {}, QPoint(8, neumann->height() / 2));
        QVERIFY(neumann->isChecked());
        QVERIFY(!potential->isVisible());
        QVERIFY(flux->isVisible());

        find<QSpinBox>("flux")->setValue(42);
        form->readBack();
        const QList<Condition> &c = list[0].getProperties()[0].getConditions();
        QVERIFY(!c[0].isActivated());
        QVERIFY(c[1].isActivated());
        QCOMPARE(c[1].getProperties()[0].getDoubleValue(), 42.0);
        QCOMPARE(c[0].getProperties()[0].getDoubleValue(), 0.7);
    }

    void conditionFlagsAfterReadBack_data() {
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("second");
        QTest::addColumn<bool>("firstAfter");
        QTest::addColumn<bool>("secondAfter");
        QTest::newRow("none chosen stays none") << false << false << false << false;
        QTest::newRow("second chosen") << false << true << false << true;
        // The model may hold two chosen; the radio buttons keep exactly one.
        QTest::newRow("two chosen become one") << true << true << false << true;
    }
    void conditionFlagsAfterReadBack() {
        QFETCH(bool, first);
        QFETCH(bool, second);
        QFETCH(bool, firstAfter);
        QFETCH(bool, secondAfter);
        QList<Category> list{choiceCategory(first, second)};
        form->showCategory(&list, 0);
        form->readBack();
        const QList<Condition> &c = list[0].getProperties()[0].getConditions();
        QCOMPARE(c[0].isActivated(), firstAfter);
        QCOMPARE(c[1].isActivated(), secondAfter);
    }

    void switchingCategoriesKeepsEdits() {
        QList<Category> list{scalarCategory(), Category("Empty"), choiceCategory(true, false)};
        form->showCategory(&list, 0);
        find<QSpinBox>("count")->setValue(99);
        form->showCategory(&list, 1); // empty category: an empty form
        QCOMPARE(form->lastIndex(), 1);
        QVERIFY(form->contentWidget()->findChildren<QWidget *>().isEmpty());
        form->showCategory(&list, 2);
        find<QRadioButton>("neumann-condname")->setChecked(true);
        form->showCategory(&list, 0);
        QCOMPARE(find<QSpinBox>("count")->value(), 99);
        form->showCategory(&list, 2);
        QVERIFY(find<QRadioButton>("neumann-condname")->isChecked());
    }

    void invalidRowsAndShrunkListsAreHarmless() {
        QList<Category> list{scalarCategory()};
        form->showCategory(&list, 5);
        QCOMPARE(form->lastIndex(), -1);
        form->showCategory(nullptr, 0);
        QCOMPARE(form->lastIndex(), -1);

        form->showCategory(&list, 0);
        list.clear(); // the list went away under the form
        form->readBack();
        QCOMPARE(form->lastIndex(), -1);
        QVERIFY(form->contentWidget()->findChildren<QWidget *>().isEmpty());
    }

    void helpButtonShowsTheHelpText() {
        QList<Category> list{scalarCategory()};
        form->showCategory(&list, 0);
        QString shown;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shown = box->text();
            icon = box->icon();
            box->accept();
        });
        find<QToolButton>("count-help")->click();
        QCOMPARE(shown, QString("How many"));
        QCOMPARE(icon, QMessageBox::Question);
    }
};

QTEST_MAIN(PropertyFormTest)
#include "tst_propertyform.moc"
