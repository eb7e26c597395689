// karveno-study end to end, on the local back-end and on a private one-node Slurm (skipped with
// the reason where it cannot start): make with a point the checker refuses, run, status, cancel.

#include "../run/slurmcluster.h"
#include "programs.h"

#include <QtTest>

namespace {

const QString kProgram = QStringLiteral(KARVENO_BINARY_DIR "/bin/karveno-study");
const QString kDevice = QStringLiteral(KARVENO_SOURCE_DIR "/examples/classical_mosfet.txt");

// The stand-in simulator pauses `stepMs` between its progress lines.
Launch stepping(int stepMs) {
    return Launch().with("KARVENOCOM_STEP_MS", QString::number(stepMs)).waitMs(180000);
}

Finished study(const QStringList &arguments) {
    return runProgram(kProgram, arguments, stepping(2));
}

} // namespace

class TestKarvenoStudy : public QObject {
    Q_OBJECT

    QTemporaryDir work;
    SlurmCluster cluster;

private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        QVERIFY2(QFileInfo::exists(kProgram), qPrintable(kProgram));
        // The run settings of the test's own user, not the developer's.
        qputenv("XDG_CONFIG_HOME", work.filePath("config").toLocal8Bit());
        cluster.start();
    }
    void cleanupTestCase() { cluster.stop(); }

    void wholeStudy_data() {
        QTest::addColumn<QString>("backend");
        QTest::newRow("local") << QStringLiteral("local");
        QTest::newRow("slurm") << QStringLiteral("slurm");
    }
    void wholeStudy() {
        QFETCH(QString, backend);
        SKIP_WITHOUT_SLURM(cluster, backend);
        const QString folder = work.filePath(backend);
        // Two settings in pairs; the third point has no particles, which the checker refuses.
        Finished r = study({"make", kDevice, folder, "--set", "general/NPARTICLES=1,2,0,4", "--set",
                            "general/TEMPERATURE=250:25:325", "--paired"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("003  0 300  not run  KARVENO ERROR [        3035 ]"),
                 qPrintable(r.out));
        QVERIFY(
            r.out.endsWith("4 points made in " + folder + ", 1 refused by the design checker\n"));

        r = study({"run", folder, "--backend", backend, "--limit", "2"});
        QCOMPARE(r.exitCode, 1); // one point never ran
        QVERIFY2(r.out.endsWith("3 of 4 points finished\n"), qPrintable(r.out + r.err));
        const QStringList rows =
            QString::fromUtf8(readFile(folder + "/study.csv")).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows[0], QStringLiteral("point,general/NPARTICLES,general/TEMPERATURE,project,"
                                         "verdict,state,output,job"));
        QVERIFY2(rows[4].startsWith("4,4,325,004/project.txt,[OK] SIMULATION DESIGN FREE FROM "
                                    "ERRORS,finished,004/output/,"),
                 qPrintable(rows[4]));

        r = study({"status", folder});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out.count("finished"), 3);

        // Nothing left to cancel: every point has ended, and stays as it ended.
        r = study({"cancel", folder, "2"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.startsWith("002  2 275  finished"));
    }

    void cancelStopsARunningStudy_data() { wholeStudy_data(); }
    void cancelStopsARunningStudy() {
        QFETCH(QString, backend);
        SKIP_WITHOUT_SLURM(cluster, backend);
        const QString folder = work.filePath("cancel-" + backend);
        QCOMPARE(study({"make", kDevice, folder, "--set", "general/NPARTICLES=1,2"}).exitCode, 0);
        // A slow study runs in a second karveno-study while this one cancels it.
        QProcess runner;
        stepping(500).prepare(runner);
        runner.start(kProgram, {"run", folder, "--backend", backend});
        QString seen;
        const QDeadlineTimer deadline(60000);
        while ((seen = study({"status", folder}).out).count("running") != 2 &&
               !deadline.hasExpired())
            QTest::qWait(200);
        QVERIFY2(seen.count("running") == 2, qPrintable(seen));
        const Finished r = study({"cancel", folder});
        QVERIFY2(r.exitCode == 0 && r.out.count("cancelled") == 2,
                 qPrintable(QString::number(r.exitCode) + '\n' + r.out + r.err));
        QVERIFY(runner.waitForFinished(60000));
        QCOMPARE(runner.exitCode(), 1);
        QVERIFY(runner.readAllStandardOutput().contains("0 of 2 points finished"));
    }

    void usageErrors() {
        QCOMPARE(study({}).exitCode, 2);
        QCOMPARE(study({"make", kDevice, work.filePath("x"), "--set", "general/NOSUCH=1"}).exitCode,
                 2);
        const Finished bad =
            study({"make", kDevice, work.filePath("y"), "--set", "general/SEED=1:0:5"});
        QCOMPARE(bad.exitCode, 2);
        QVERIFY2(bad.err.contains("never reaches its end"), qPrintable(bad.err));
        QCOMPARE(study({"status", work.filePath("no-study")}).exitCode, 2);
        const Finished help = study({"--help"});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains("Exit status"));
    }
};

QTEST_GUILESS_MAIN(TestKarvenoStudy)
#include "tst_karveno_study.moc"
