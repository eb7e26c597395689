// The generated property form and the dialogs that carry it or stand alone: the general
// properties dialog, the scale dialog, the name-and-colour dialog, the volum name field and the
// help window.

#include "model/category.h"
#include "ui/helpdialog.h"
#include "ui/newvolumenamedialog.h"
#include "ui/propertiesdialog.h"
#include "ui/propertyform.h"
#include "ui/scaledialog.h"
#include "ui/volumnameedit.h"

#include "uitest.h"

#include <QClipboard>
#include <QColorDialog>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

using namespace uitest;

namespace {

Category scalars() {
    Category c("Scalars");
    c.addProperty(Property("flag", 0, true, "A switch"));
    c.addProperty(Property("count", 1, 12, "How many"));
    c.addProperty(Property("length", 2, 0.5, ""));
    c.addProperty(Property("density", 3, 1500.0, "Per cubic metre"));
    return c;
}

// A choice of two; the second holds a nested choice, which gets no editor.
Category choice(bool firstActive, bool secondActive) {
    Condition first("dirichlet", firstActive);
    first.addProperty(Property("potential", 2, 0.7, "Volts"));
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

// Answers a colour dialog with `color`, accepted or not.
ModalDriver::Answer pickColour(const QColor &color, bool accept) {
    return [color, accept](QWidget *w) {
        auto *picker = qobject_cast<QColorDialog *>(w);
        QVERIFY(picker);
        picker->setCurrentColor(color);
        accept ? picker->accept() : picker->reject();
    };
}

} // namespace

class TestForms : public QObject {
    Q_OBJECT

    QWidget *host = nullptr;
    PropertyForm *form = nullptr;

    template <typename T> T *find(const char *name) const {
        return child<T>(form->contentWidget(), name);
    }
    double readBackFirst(QList<Category> &list) {
        form->readBack();
        return list[0].getProperties()[0].getDoubleValue();
    }

private slots:
    void init() {
        host = new QWidget;
        auto *area = new QScrollArea(host);
        form = new PropertyForm(area, host);
        form->setObjectNamesEnabled(true);
        (new QVBoxLayout(host))->addWidget(area);
    }
    void cleanup() { delete host; }

    void scalarsAreShownAndWrittenBack() {
        QList<Category> list{scalars()};
        form->showCategory(&list, 0);
        QCOMPARE(find<QComboBox>("flag")->currentText(), QString("true"));
        QCOMPARE(find<QSpinBox>("count")->value(), 12);
        QCOMPARE(find<QDoubleSpinBox>("density")->value(), 1.5);
        QCOMPARE(find<QSpinBox>("density")->value(), 3);
        QVERIFY(find<QToolButton>("length-help")->isHidden()); // no help text
        ModalDriver driver;
        find<QToolButton>("count-help")->click();
        QVERIFY(driver.seen.value(0).endsWith("|How many"));
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

        // The list going away under the form, or a row out of range, is harmless.
        form->showCategory(&list, 0);
        list.clear();
        form->readBack();
        form->showCategory(&list, 5);
        QCOMPARE(form->lastIndex(), -1);
    }

    // Values show as the shortest decimal that reads back; untouched ones come back bit for bit.
    void valuesShowShortestAndComeBackUntouched_data() {
        QTest::addColumn<Property>("property");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("back");
        QTest::newRow("1e-12") << Property("x", 3, 1e-12, "") << "1 -12" << 1e-12;
        QTest::newRow("small") << Property("x", 3, 0.0025, "") << "2.5 -3" << 0.0025;
        QTest::newRow("12345") << Property("x", 3, 12345.0, "") << "1.2345 4" << 12345.0;
        QTest::newRow("ten") << Property("x", 3, 10.0, "") << "1 1" << 10.0;
        QTest::newRow("zero") << Property("x", 3, 0.0, "") << "0 0" << 0.0;
        QTest::newRow("exponent above range") << Property("x", 3, 3e150, "") << "3 99" << 3e150;
        QTest::newRow("real 300") << Property("x", 2, 300.0, "") << "300" << 300.0;
        QTest::newRow("real zero") << Property("x", 2, 0.0, "") << "0" << 0.0;
        QTest::newRow("real below 10 decimals") << Property("x", 2, 1e-12, "") << "0" << 1e-12;
        QTest::newRow("big integer") << Property("x", 1, 5e12, "") << "999999999" << 999999999.0;
        QTest::newRow("fraction in integer") << Property("x", 1, -2.9, "") << "-2" << -2.0;
        QTest::newRow("boolean 2.0") << Property("x", 0, 2.0, "") << "false" << 0.0;
        QTest::newRow("boolean 1") << Property("x", 0, 1.0, "") << "true" << 1.0;
    }
    void valuesShowShortestAndComeBackUntouched() {
        QFETCH(Property, property);
        QFETCH(QString, shown);
        QFETCH(double, back);
        QList<Category> list{single(property)};
        form->showCategory(&list, 0);
        QStringList texts;
        for (QWidget *w : form->contentWidget()->findChildren<QWidget *>("x")) {
            if (auto *box = qobject_cast<QAbstractSpinBox *>(w))
                texts << box->text();
            else if (auto *combo = qobject_cast<QComboBox *>(w))
                texts << combo->currentText();
        }
        QCOMPARE(texts.join(' '), shown);
        const double value = readBackFirst(list);
        QVERIFY2(value == back, qPrintable(QString::number(value, 'g', 17)));
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
        const double kept = readBackFirst(list);
        QVERIFY(std::isnan(value) ? std::isnan(kept) : kept == value);
        form->showCategory(&list, 0);
        find<QDoubleSpinBox>("x")->setValue(1.5);
        find<QSpinBox>("x")->setValue(-12);
        QVERIFY(readBackFirst(list) == 1.5e-12); // the double nearest to 1.5e-12, exactly
    }

    void chosenConditionShowsOnlyItsSubForm() {
        QList<Category> list{choice(true, false)};
        form->showCategory(&list, 0);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host));
        auto *neumann = find<QRadioButton>("neumann-condname");
        QVERIFY(find<QDoubleSpinBox>("potential")->isVisible());
        QVERIFY(!find<QSpinBox>("flux")->isVisible());
        QVERIFY(!form->contentWidget()->findChild<QGroupBox *>("nested"));
        // Only the indicator and the label text take clicks.
        QTest::mouseClick(neumann, Qt::LeftButton, {}, QPoint(8, neumann->height() / 2));
        QVERIFY(neumann->isChecked());
        QVERIFY(!find<QDoubleSpinBox>("potential")->isVisible());
        find<QSpinBox>("flux")->setValue(42);
        form->readBack();
        const QList<Condition> &c = list[0].getProperties()[0].getConditions();
        QVERIFY(!c[0].isActivated() && c[1].isActivated());
        QCOMPARE(c[1].getProperties()[0].getDoubleValue(), 42.0);
    }

    void exactlyOneConditionStaysActivated_data() {
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("second");
        QTest::addColumn<bool>("firstAfter");
        QTest::addColumn<bool>("secondAfter");
        QTest::newRow("none chosen stays none") << false << false << false << false;
        QTest::newRow("second chosen") << false << true << false << true;
        QTest::newRow("two chosen become one") << true << true << false << true;
    }
    void exactlyOneConditionStaysActivated() {
        QFETCH(bool, first);
        QFETCH(bool, second);
        QFETCH(bool, firstAfter);
        QFETCH(bool, secondAfter);
        QList<Category> list{choice(first, second)};
        form->showCategory(&list, 0);
        form->readBack();
        const QList<Condition> &c = list[0].getProperties()[0].getConditions();
        QCOMPARE(c[0].isActivated(), firstAfter);
        QCOMPARE(c[1].isActivated(), secondAfter);
    }

    void propertiesDialogWritesOnlyWhenAccepted_data() {
        boolRows("accept", "cancel keeps every category as it was",
                 "OK writes the rows left and the one shown");
    }
    void propertiesDialogWritesOnlyWhenAccepted() {
        QFETCH(bool, accept);
        QList<Category> categories{scalars(), choice(true, false)};
        const QList<Category> before = categories;
        {
            PropertiesDialog dialog(nullptr, &categories);
            auto *rowList = child<QListWidget>(&dialog, "propertiesList");
            QSignalSpy changed(&dialog, qOverload<>(&PropertiesDialog::changeEvent));
            child<QSpinBox>(&dialog, "count")->setValue(250);
            rowList->setCurrentRow(1);
            child<QRadioButton>(&dialog, "neumann-condname")->setChecked(true);
            rowList->setCurrentRow(0);
            QCOMPARE(child<QSpinBox>(&dialog, "count")->value(), 250);
            QVERIFY(categories == before); // the dialog works on its own copy
            press(&dialog, accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
            QCOMPARE(changed.count(), accept ? 1 : 0);
        }
        if (!accept) {
            QVERIFY(categories == before);
            return;
        }
        QCOMPARE(categories[0].getProperties()[1].getDoubleValue(), 250.0);
        QVERIFY(categories[1].getProperties()[0].getConditions()[1].isActivated());
    }

    void scaleDialogClampsAndWritesBack_data() {
        QTest::addColumn<double>("measure");
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("shownMeasure");
        QTest::addColumn<int>("shownUnit");
        QTest::newRow("in range") << 2.5 << -9 << 2.5 << -9;
        QTest::newRow("rounded to 4 decimals") << 1.23456 << 0 << 1.2346 << 0;
        QTest::newRow("measure too big") << 5e7 << 3 << 10000000.0 << 3;
        QTest::newRow("negative measure") << -1.0 << 3 << 0.0 << 3;
        QTest::newRow("exponent too big") << 1.0 << 30 << 1.0 << 20;
        QTest::newRow("exponent too small") << 1.0 << -25 << 1.0 << -20;
    }
    void scaleDialogClampsAndWritesBack() {
        QFETCH(double, measure);
        QFETCH(int, unit);
        QFETCH(double, shownMeasure);
        QFETCH(int, shownUnit);
        int xUnit = unit, yUnit = -10, zUnit = 0;
        double xMesure = measure, yMesure = 1.0, zMesure = 3.0;
        ScaleDialog dialog(nullptr, &xUnit, &xMesure, &yUnit, &yMesure, &zUnit, &zMesure);
        QCOMPARE(child<QDoubleSpinBox>(&dialog, "xMesureBox")->value(), shownMeasure);
        QCOMPARE(child<QSpinBox>(&dialog, "xScaleExponent")->value(), shownUnit);
        press(&dialog, QDialogButtonBox::Ok);
        QCOMPARE(xMesure, shownMeasure);
        QCOMPARE(xUnit, shownUnit);
        QCOMPARE(yUnit, -10);
        QCOMPARE(zMesure, 3.0);
    }

    void nameFieldDropsTypedSpacesButKeepsPastedOnes() {
        VolumNameEdit edit;
        QTest::keyClicks(&edit, "a b");
        QTest::keyClick(&edit, Qt::Key_Space, Qt::ShiftModifier);
        QCOMPARE(edit.text(), QString("ab"));
        edit.clear();
        QApplication::clipboard()->setText("two words");
        QTest::keySequence(&edit, QKeySequence::Paste);
        QCOMPARE(edit.text(), QString("two words"));
    }

    void colourRuleAndCancelledColourDialog() {
        NewVolumeNameDialog dialog;
        auto *button = child<QToolButton>(&dialog, "colorButton");
        ModalDriver driver{pickColour(QColor(18, 52, 86), true), pickColour(Qt::red, false)};
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(dialog.getColor(), QColor(18, 52, 86));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(driver.seen.size(), 2);
        QCOMPARE(dialog.getColor(), QColor(18, 52, 86));
        QCOMPARE(button->styleSheet(), QString("background-color: #123456"));
        QCOMPARE(NewVolumeNameDialog::colorStyleSheet(QColor(255, 8, 0)),
                 QString("background-color: #ff0800"));
        QCOMPARE(NewVolumeNameDialog::colorStyleSheet(QColor()),
                 QString("background-color: #000000"));
    }

    void helpPageListsTheCommandsInOrder() {
        HelpDialog help;
        QCOMPARE(help.windowTitle(), QString("KARVENO Help"));
        QFile page(":/help.html");
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        int from = 0;
        for (const QString &row : QStringList{
                 "<tr><th>Shortcut</th><th>Action</th></tr>",
                 "<td>Shift + Up Cursor key</td><td>Move selected volum faster to the up following "
                 "the red axis</td>",
                 "<td>M key</td><td>Move selected volum to the left following the red blue</td>",
                 "<td>Shift + Mouse Scroll or Shift + Z key and  Shift + X key</td><td>Zoom In / "
                 "Zoom Out faster</td>",
                 "<td>D key</td><td>Move camera to the right arround green axis (360&ordm;)</td>",
                 "<td>Mouse Click + Movement</td><td>Move camera arround origin (0,0,0) or the "
                 "selected volum</td>"}) {
            const int at = html.indexOf(row, from);
            QVERIFY2(at >= 0, qPrintable("missing or out of order: " + row));
            from = at + row.size();
        }
        QVERIFY(help.browser()->toPlainText().contains("More help at KARVENO Simulator Website"));
    }
};

QTEST_MAIN(TestForms)
#include "tst_forms.moc"
