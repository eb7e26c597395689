// The stand-in simulator and results viewer end to end, as the designer starts them: progress and
// status lines on standard output, STATUS.TXT in the working directory, the results file in the
// output folder, and a refusal of a design that the checker rejects.

#include "programs.h"

#include <QtTest>

#include <algorithm>

namespace {

const QString kSimulator = QStringLiteral(KARVENO_BINARY_DIR "/bin/KARVENOCOM.exe");
const QString kViewer = QStringLiteral(KARVENO_BINARY_DIR "/bin/plot/Graph_KARVENO.exe");
const QString kExample = QStringLiteral(KARVENO_SOURCE_DIR "/examples/classical_mosfet.txt");

} // namespace

class TestStandIns : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        QVERIFY(QDir(work.path()).mkpath("out"));
        QVERIFY2(QFileInfo::exists(kSimulator), qPrintable(kSimulator));
    }

    void simulatesACheckedDesignToTheEnd() {
        const Lines run = simulate({kExample, work.filePath("out") + '/'});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.lines.first().startsWith("[OK]"));
        QCOMPARE(run.lines.last(), QStringLiteral("Simulation ended correctly"));

        // Progress climbs from 0 to 100 one step at a time, as the monitor expects to read it.
        QList<int> progress;
        for (const QString &line : run.lines)
            if (line.startsWith("SIMULATED TIME: ") && line.endsWith(" %"))
                progress << line.mid(16, line.size() - 18).toInt();
        QCOMPARE(progress.size(), 101);
        for (int i = 0; i <= 100; ++i)
            QCOMPARE(progress.at(i), i);

        const QString results = work.filePath("out/results.dat");
        const QList<QByteArray> rows = readFile(results).split('\n');
        QVERIFY(rows.at(1).startsWith("# columns: step "));
        QCOMPARE(std::count_if(rows.cbegin(), rows.cend(),
                               [](const QByteArray &r) { return !r.isEmpty() && r[0] != '#'; }),
                 101);
        QVERIFY(readFile(work.filePath("STATUS.TXT")).contains("RESULTS: " + results.toUtf8()));
    }

    void refusesADesignTheCheckerRejects() {
        QByteArray project = readFile(kExample);
        // No volums: the checker has nothing to check.
        project.truncate(project.indexOf("\nV ") + 1);
        project += "V 1e-10 1e-10 1e-10 0\n";
        const QString path = work.filePath("empty.txt");
        QVERIFY(writeFile(path, project));

        QFile::remove(work.filePath("out/results.dat"));
        const Lines run = simulate({path, work.filePath("out") + '/'});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.lines.last(), QStringLiteral("ERROR No volums to check!"));
        QVERIFY(!QFileInfo::exists(work.filePath("out/results.dat")));
    }

    void refusesWhatIsNotAProject_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("missing file") << QStringList{work.filePath("nothing.txt"), work.path()};
        QTest::newRow("one argument") << QStringList{kExample};
        QTest::newRow("missing output folder")
            << QStringList{kExample, work.filePath("no/such/folder/")};
    }

    void refusesWhatIsNotAProject() {
        QFETCH(QStringList, arguments);
        const Lines run = simulate(arguments);
        QVERIFY(run.exitCode != 0);
        QVERIFY(!run.lines.isEmpty());
        QVERIFY(run.lines.last().startsWith("ERROR"));
    }

    void viewerOpensTheLastResults() {
        if (!QFileInfo::exists(kViewer))
            QSKIP("viewer not built");
        QVERIFY(QFileInfo::exists(work.filePath("out/results.dat")) ||
                simulate({kExample, work.filePath("out") + '/'}).exitCode == 0);
        QProcess viewer;
        Launch().in(work.path()).with("QT_QPA_PLATFORM", "offscreen").prepare(viewer);
        viewer.start(kViewer, {});
        QVERIFY(viewer.waitForStarted());
        // It stays up showing the plot (an unreadable file would end it with a message).
        QVERIFY(!viewer.waitForFinished(1500));
        viewer.kill();
        viewer.waitForFinished();
    }

private:
    QTemporaryDir work;

    // The simulator's output lines, standard error included.
    struct Lines {
        int exitCode;
        QStringList lines;
    };
    Lines simulate(const QStringList &arguments) {
        const Finished f =
            runProgram(kSimulator, arguments,
                       Launch().in(work.path()).with("KARVENOCOM_STEP_MS", "0").mergeChannels());
        return {f.exitCode, f.out.split('\n', Qt::SkipEmptyParts)};
    }
};

QTEST_GUILESS_MAIN(TestStandIns)
#include "tst_standins.moc"
