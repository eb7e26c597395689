// Picking through the real view: a click on a volum in the OpenGL view picks it, a click on the
// background changes nothing, the keyboard moves the pick, and a double click opens its dialog.

#include "uitest.h"

#include <QCheckBox>

using namespace uitest;

namespace {

// Shows the window holding a 2-wide cube "box" at the origin (and, with `far`, one at x = 50).
bool showWithBox(MainWindow &w, bool far = false) {
    useTestMaterials();
    addCube(w, "box", 0, 2.0f);
    if (far)
        addCube(w, "far", 50, 1.0f);
    w.resize(834, 623);
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

} // namespace

class TestViewPicking : public QObject {
    Q_OBJECT

private slots:
    void clicksInTheViewPickMoveAndOpen() {
        QLoggingCategory::setFilterRules("karveno.*.debug=false\ndefault.debug=false");
        MainWindow w;
        QVERIFY(showWithBox(w, true));
        GLWidget *view = A::view(w);
        emit w.volumSelected(1.0, 1.0, 1.0); // the camera looks at the box's centre
        QTest::qWait(50);

        const QPoint middle = view->rect().center();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, middle);
        QTRY_VERIFY_WITH_TIMEOUT(A::selectedVolum(w), 2000);
        QCOMPARE(A::selectedVolumIndex(w), 0);
        QVERIFY(A::ui(w).volumsList->item(0)->isSelected());
        // The background lies on the far plane: no volum there, the pick stays.
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QTest::qWait(400);
        QVERIFY(A::selectedVolum(w));

        view->setFocus();
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(A::volums(w).at(0).getMinX(), 0.5);

        // A double click opens the box's dialog and reports no single click.
        QStringList titles;
        ModalDriver driver{ModalDriver::later([&](QWidget *d) {
            titles << d->windowTitle();
            static_cast<QDialog *>(d)->reject();
        })};
        QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, middle);
        QTRY_COMPARE_WITH_TIMEOUT(titles, QStringList{"Edit a Volum box"}, 2000);
        QTest::qWait(400);
        QVERIFY(A::selectedVolum(w));
    }

    // "Export view as image..." at a chosen size: the PNG has that size and shows the design.
    void exportedViewImageIsReadBack() {
        MainWindow w;
        QVERIFY(showWithBox(w));
        A::ui(w).actionViewAll->trigger();
        QTemporaryDir dir;
        const QString file = dir.filePath("view.png");
        ModalDriver driver{[](QWidget *d) {
            d->findChild<QCheckBox *>("windowSizeBox")->setChecked(false);
            d->findChild<QSpinBox *>("widthBox")->setValue(300);
            d->findChild<QSpinBox *>("heightBox")->setValue(200);
            static_cast<QDialog *>(d)->accept();
        }};
        driver.then(ModalDriver::chooseFile(file));
        A::ui(w).actionExportImage->trigger();
        const QImage image(file);
        QCOMPARE(image.size(), QSize(300, 200));
        const QColor background = image.pixelColor(0, 0);
        QVERIFY(image.pixelColor(150, 100) != background);
        QVERIFY(A::ui(w).statusbar->currentMessage().contains("300 x 200"));
    }
};

QTEST_MAIN(TestViewPicking)
#include "tst_viewpicking.moc"
