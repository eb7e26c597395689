// The live design check in the main window: the status-bar indicator follows every edit, takes
// the user to the volum a fault names, and the Project menu switches it off.

#include "uitest.h"

#include "ui/checkindicator.h"

class TestLiveCheckWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true); // the switch is kept in test settings
        QLoggingCategory::setFilterRules(QStringLiteral("karveno.*=false"));
    }

    void indicatorFollowsTheDesign() {
        MainWindow w;
        auto *indicator = uitest::child<CheckIndicator>(&w, "checkIndicator");
        auto *switchAction = uitest::child<QAction>(&w, "actionCheckWhileEditing");
        QVERIFY(w.statusBar()->isAncestorOf(indicator));

        w.openProject(KARVENO_SOURCE_DIR "/tests/app/projects/transistor.txt");
        QTRY_COMPARE_WITH_TIMEOUT(indicator->state(), CheckIndicator::Ok, 5000);
        QCOMPARE(indicator->text(), QStringLiteral("Design OK"));

        // An edit that breaks a rule: red, with the checker's line, within a second.
        Design &design = w.currentDesign();
        const auto edit = [&](int meshes) {
            const Design::State before = design.state();
            design.volums()[1].setNMalles(meshes, 3, 3);
            design.record(*w.undoStack(), QStringLiteral("Edit CHANNEL"), before);
        };
        edit(5);
        QTRY_COMPARE_WITH_TIMEOUT(indicator->state(), CheckIndicator::Fault, 1000);
        QVERIFY2(indicator->text().startsWith("72009: ERROR BETWEEN CELLS IN VOLUME OXIDE_YLOW"),
                 qPrintable(indicator->text()));
        QVERIFY(indicator->toolTip().startsWith(
            "KARVENO ERROR [       72009 ] ERROR BETWEEN CELLS IN VOLUME OXIDE_YLOW "));

        // A click selects and shows the volum the line names.
        QTest::mouseClick(indicator, Qt::LeftButton);
        QCOMPARE(A::selectedVolumIndex(w), 2);
        QVERIFY(A::ui(w).volumsList->selectedItems().value(0)->text().startsWith("OXIDE_YLOW"));

        // Undoing the edit turns it green again.
        w.undoStack()->undo();
        QTRY_COMPARE_WITH_TIMEOUT(indicator->state(), CheckIndicator::Ok, 1000);

        // Switched off: hidden, and edits are not checked.
        switchAction->trigger();
        QVERIFY(indicator->isHidden());
        edit(5);
        QTest::qWait(300);
        QCOMPARE(indicator->state(), CheckIndicator::Ok);
        switchAction->trigger();
        QVERIFY(!indicator->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(indicator->state(), CheckIndicator::Fault, 1000);
        A::clearModified(w);
    }
};

QTEST_MAIN(TestLiveCheckWindow)
#include "tst_livecheck.moc"
