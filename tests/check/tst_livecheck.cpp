// The live check: verdicts follow the design, arrive from the worker thread, and only the newest
// design's verdict is reported.

#include "check/livecheck.h"
#include "io/projectfile.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(CheckVerdict)

class TestLiveCheck : public QObject {
    Q_OBJECT

    MaterialsManager registry;
    ProjectDesign design;

    CheckInput input() { return checkInputOf(design, registry); }
    // The next verdict reported.
    static CheckVerdict next(QSignalSpy &spy) {
        if (!spy.wait(5000))
            return {};
        return spy.takeLast().first().value<CheckVerdict>();
    }

private slots:
    void initTestCase() {
        qRegisterMetaType<CheckVerdict>();
        QVERIFY(readProjectFile(KARVENO_SOURCE_DIR "/tests/app/projects/transistor.txt", design,
                                registry)
                    .volumsRead);
    }

    void verdictFollowsEveryChange() {
        LiveCheck live([this] { return input(); });
        QSignalSpy verdicts(&live, &LiveCheck::verdictReady);
        live.designChanged();
        QVERIFY(live.isChecking());
        QVERIFY(next(verdicts).ok());
        QVERIFY(!live.isChecking());

        // Channel meshes that no longer meet the claddings': the checker's own line, naming
        // the volum it names.
        const Volum channel = design.volums[1];
        design.volums[1].setNMalles(5, 3, 3);
        live.designChanged();
        const CheckVerdict fault = next(verdicts);
        const CheckVerdict expected = checkDesign(input());
        QVERIFY(fault.line.startsWith(" KARVENO ERROR [       72009 ]"));
        QCOMPARE(fault.line, expected.line);
        QCOMPARE(design.volums[fault.volum].getName(), QStringLiteral("OXIDE_YLOW"));

        design.volums[1] = channel;
        live.designChanged();
        QVERIFY(next(verdicts).ok());

        // Refused before the checker: reported at once, naming the volum.
        design.volums[3].setMaterial(nullptr);
        live.designChanged();
        const CheckVerdict refused = next(verdicts);
        QCOMPARE(refused.text(), QStringLiteral("Volum OXIDE_YHIGH has no material!"));
        design.volums[3] = channel; // any volum with a material; the next test re-reads

        // The atoms are counted, not copied: the limit still holds.
        design.volums[0].setAtomsInfo(QList<Atom>(1000001));
        live.designChanged();
        QCOMPARE(next(verdicts).line, checkDesign(input()).line);
        QVERIFY(checkDesign(input()).line.startsWith(" KARVENO ERROR [        1004 ]"));
    }

    // A change while a run is under way makes its verdict stale: only the newer one is shown.
    void onlyTheNewestVerdictIsShown() {
        design = ProjectDesign();
        QVERIFY(readProjectFile(KARVENO_SOURCE_DIR "/tests/app/projects/transistor.txt", design,
                                registry)
                    .volumsRead);
        LiveCheck *live = nullptr;
        int runs = 0;
        LiveCheck check([&] {
            // The design changes again while the first run is being handed over.
            if (++runs == 1) {
                design.volums[1].setNMalles(5, 3, 3);
                live->setDelay(300); // the first run ends before the next one may start
                live->designChanged();
            }
            return input();
        });
        live = &check;
        check.setDelay(0);
        QSignalSpy verdicts(&check, &LiveCheck::verdictReady);
        check.designChanged();
        check.designChanged(); // a burst of changes costs one run
        QVERIFY(verdicts.wait(5000));
        QTest::qWait(400);
        QCOMPARE(runs, 2);
        QCOMPARE(verdicts.count(), 1);
        QCOMPARE(verdicts.first().first().value<CheckVerdict>().line, checkDesign(input()).line);
    }
};

QTEST_GUILESS_MAIN(TestLiveCheck)
#include "tst_livecheck.moc"
