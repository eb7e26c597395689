// The scale dialog, the name-and-colour dialog, the volum name field and the help window.

#include "ui/helpdialog.h"
#include "ui/newvolumenamedialog.h"
#include "ui/scaledialog.h"
#include "ui/volumnameedit.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

namespace {

struct Scale {
    int xUnit, yUnit, zUnit;
    double xMesure, yMesure, zMesure;
};

void press(QDialog &dialog, QDialogButtonBox::StandardButton which) {
    dialog.findChild<QDialogButtonBox *>("buttonBox")->button(which)->click();
}

} // namespace

class SmallDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void scaleDialogShowsAndWritesBackTheScale_data() {
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
    void scaleDialogShowsAndWritesBackTheScale() {
        QFETCH(double, measure);
        QFETCH(int, unit);
        QFETCH(double, shownMeasure);
        QFETCH(int, shownUnit);
        Scale s{unit, -10, 0, measure, 1.0, 3.0};
        ScaleDialog dialog(nullptr, &s.xUnit, &s.xMesure, &s.yUnit, &s.yMesure, &s.zUnit,
                           &s.zMesure);
        QSignalSpy changed(&dialog, qOverload<>(&ScaleDialog::changeEvent));
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("xMesureBox")->value(), shownMeasure);
        QCOMPARE(dialog.findChild<QSpinBox *>("xScaleExponent")->value(), shownUnit);
        QCOMPARE(dialog.findChild<QSpinBox *>("yScaleExponent")->value(), -10);
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("zMesureBox")->value(), 3.0);

        press(dialog, QDialogButtonBox::Ok);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(s.xMesure, shownMeasure);
        QCOMPARE(s.xUnit, shownUnit);
        QCOMPARE(s.yUnit, -10);
        QCOMPARE(s.yMesure, 1.0);
        QCOMPARE(s.zUnit, 0);
        QCOMPARE(s.zMesure, 3.0);
    }

    void nameFieldDropsTypedSpacesButKeepsPastedOnes() {
        VolumNameEdit edit;
        QTest::keyClicks(&edit, "a b");
        QCOMPARE(edit.text(), QString("ab"));
        QTest::keyClick(&edit, Qt::Key_Space, Qt::ShiftModifier);
        QCOMPARE(edit.text(), QString("ab"));

        edit.clear();
        QApplication::clipboard()->setText("two words");
        QTest::keySequence(&edit, QKeySequence::Paste);
        QCOMPARE(edit.text(), QString("two words"));
        edit.setText("set by program");
        QCOMPARE(edit.text(), QString("set by program"));
    }

    void colourStyleSheetUsesSixLowerCaseDigits_data() {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("sheet");
        QTest::newRow("small components padded")
            << QColor(255, 8, 0) << "background-color: #ff0800";
        QTest::newRow("black") << QColor(Qt::black) << "background-color: #000000";
        QTest::newRow("mixed") << QColor(171, 205, 239) << "background-color: #abcdef";
        QTest::newRow("invalid shows black") << QColor() << "background-color: #000000";
    }
    void colourStyleSheetUsesSixLowerCaseDigits() {
        QFETCH(QColor, color);
        QFETCH(QString, sheet);
        QCOMPARE(NewVolumeNameDialog::colorStyleSheet(color), sheet);
    }

    void nameDialogReturnsNameAndColour() {
        NewVolumeNameDialog dialog;
        auto *button = dialog.findChild<QToolButton *>("colorButton");
        QCOMPARE(button->styleSheet(), QString("background-color: #000000"));
        dialog.findChild<QLineEdit *>("newNameEdit")->setText("GaAs2");
        QCOMPARE(dialog.getNewName(), QString("GaAs2"));
        QCOMPARE(dialog.getColor(), QColor(Qt::black)); // accepted without choosing a colour

        // Choosing a colour in the platform dialog.
        QTimer::singleShot(0, this, [] {
            auto *picker = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
            QVERIFY(picker);
            picker->setCurrentColor(QColor(18, 52, 86));
            picker->accept();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(dialog.getColor(), QColor(18, 52, 86));
        QCOMPARE(button->styleSheet(), QString("background-color: #123456"));

        // Cancelling the colour dialog keeps the colour chosen before.
        QTimer::singleShot(0, this, [] {
            auto *picker = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
            QVERIFY(picker);
            picker->setCurrentColor(Qt::red);
            picker->reject();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(dialog.getColor(), QColor(18, 52, 86));
        QCOMPARE(button->styleSheet(), QString("background-color: #123456"));
    }

    void helpPageListsEveryCommand() {
        HelpDialog help;
        QCOMPARE(help.windowTitle(), QString("KARVENO Help"));
        QFile page(":/help.html");
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        const QStringList rows = {
            "<tr><th>Shortcut</th><th>Action</th></tr>",
            "<td>Left Cursor key</td><td>Move selected volum to the left following the red "
            "axis</td>",
            "<td>Shift + Left Cursor key</td><td>Move selected volum faster to the left "
            "following the red axis</td>",
            "<td>Right Cursor key</td><td>Move selected volum to the right following the red "
            "axis</td>",
            "<td>Shift + Right Cursor key</td><td>Move selected volum faster to the right "
            "following the red axis</td>",
            "<td>Up Cursor key</td><td>Move selected volum to the up following the green "
            "axis</td>",
            "<td>Shift + Up Cursor key</td><td>Move selected volum faster to the up following "
            "the red axis</td>",
            "<td>Down Cursor key</td><td>Move selected volum to the down following the red "
            "axis</td>",
            "<td>Shift + Down Cursor key</td><td>Move selected volum faster to the down "
            "following the red axis</td>",
            "<td>N key</td><td>Move selected volum to the right following the blue axis</td>",
            "<td>Shift + N key</td><td>Move selected volum faster to the right following the "
            "blue axis</td>",
            "<td>M key</td><td>Move selected volum to the left following the red blue</td>",
            "<td>Shift + M key</td><td>Move selected volum faster to the left following the red "
            "blue</td>",
            "<td>Mouse Scroll or Z key and X key</td><td>Zoom In / Zoom Out</td>",
            "<td>Shift + Mouse Scroll or Shift + Z key and  Shift + X key</td><td>Zoom In / "
            "Zoom Out faster</td>",
            "<td>D key</td><td>Move camera to the right arround green axis (360&ordm;)</td>",
            "<td>A key</td><td>Move camera to the left arround green axis (360&ordm;)</td>",
            "<td>W key</td><td>Move camera up arround green axis (180&ordm;)</td>",
            "<td>S key</td><td>Move camera down arround green axis (180&ordm;)</td>",
            "<td>Mouse Click + Movement</td><td>Move camera arround origin (0,0,0) or the "
            "selected volum</td>",
        };
        int from = 0;
        for (const QString &row : rows) {
            const int at = html.indexOf(row, from);
            QVERIFY2(at >= 0, qPrintable("missing or out of order: " + row));
            from = at + row.size();
        }

        // The browser shows the page, with the degree sign and the website link.
        const QString shown = help.browser()->toPlainText();
        QVERIFY(shown.contains(QString("(360") + QChar(0x00BA) + ")"));
        QVERIFY(shown.contains("More help at KARVENO Simulator Website"));
        QVERIFY(help.browser()->toHtml().contains("href=\"http"));
    }

    void embeddedImagesAreThere() {
        HelpDialog help; // registers the library's resources
        for (const char *name : {":/helpbutton.gif", ":/AddIcon.png", ":/Delete-icon.png"})
            QVERIFY2(!QIcon(name).pixmap(16, 16).isNull(), name);
    }
};

QTEST_MAIN(SmallDialogsTest)
#include "tst_smalldialogs.moc"
