// Picking through the real view: a click on a volum in the OpenGL view reaches the window's pick
// 200 ms later, a click on the background changes nothing, and a double click opens the dialog.

#include "editorswindow.h"

#include <QLoggingCategory>
#include <QTest>

using namespace editors;

class TestViewPicking : public QObject {
    Q_OBJECT

private slots:
    void clicksInTheViewPickAndUnpick();
};

void TestViewPicking::clicksInTheViewPickAndUnpick() {
    QLoggingCategory::setFilterRules(QStringLiteral("karveno.*.debug=false\ndefault.debug=false"));
    MainWindow w;
    useTestMaterials();
    addCube(w, QStringLiteral("box"), 0, 2.0f);
    addCube(w, QStringLiteral("far"), 50, 1.0f);
    w.resize(834, 623);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    GLWidget *view = A::view(w);
    // The camera looks at the box's centre, so the view's middle shows the box.
    emit w.volumSelected(1.0, 1.0, 1.0);
    QTest::qWait(50);

    const QPoint middle = view->rect().center();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, middle);
    QTRY_VERIFY_WITH_TIMEOUT(A::selectedVolum(w), 2000);
    QCOMPARE(A::selectedVolumIndex(w), 0);
    QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Volum box selected."));
    QVERIFY(A::ui(w).volumsList->item(0)->isSelected());

    // The background lies on the far plane: no volum there, the pick stays.
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QTest::qWait(400);
    QVERIFY(A::selectedVolum(w));

    // The keyboard moves the picked box; the next frame draws it there.
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(A::volums(w).at(0).getMinX(), 0.5);

    // A double click opens the box's dialog and reports no single click.
    QStringList titles;
    ModalDriver driver;
    driver.then(later([&](QWidget *d) {
        titles << d->windowTitle();
        static_cast<QDialog *>(d)->reject();
    }));
    // The point read back lies on the top face only to within the depth buffer's precision.
    QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, middle);
    QTRY_COMPARE_WITH_TIMEOUT(titles, QStringList{QStringLiteral("Edit a Volum box")}, 2000);
    QTest::qWait(400);
    QVERIFY(A::selectedVolum(w));
}

QTEST_MAIN(TestViewPicking)
#include "tst_viewpicking.moc"
