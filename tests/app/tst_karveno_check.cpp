// karveno-check end to end: verdict line, exit status and error reporting, run from a folder
// without any data.

#include "programs.h"

#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const QString kProgram = QStringLiteral(KARVENO_BINARY_DIR "/bin/karveno-check");
const QString kProjects = QStringLiteral(KARVENO_SOURCE_DIR "/tests/app/projects/");
const QString kOk = QStringLiteral("[OK] SIMULATION DESIGN FREE FROM ERRORS");
const QString k9001 = QStringLiteral("KARVENO ERROR [        9001 ] THE X DIMENSION OF THE VOLUM   "
                                     "source               MUST BE A MULTIPLE OF    4.89999985E-10"
                                     " .NOW IT IS     1.00000000");

} // namespace

class TestKarvenoCheck : public QObject {
    Q_OBJECT

    QTemporaryDir work; // the working directory of every run: no data/ folder in it

    Finished run(const QStringList &arguments, Launch how = Launch()) {
        return runProgram(kProgram, arguments, how.in(work.path()));
    }

private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        QVERIFY2(QFileInfo::exists(kProgram), qPrintable(kProgram));
    }

    // A copy of a project in the work folder, with one text replaced, checked under a memory
    // budget. Fine wave grids: the verdict follows the rules, not the size of the grid, and only
    // the grid tables count against the budget.
    void verdicts_data() {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("memoryBudget");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        const QString t = QStringLiteral("transistor.txt");
        QTest::newRow("no particles")
            << t << QByteArray("\nNPARTICLES 1 10 \n") << QByteArray("\nNPARTICLES 1 0 \n")
            << QString()
            << " KARVENO ERROR [        3035 ] THE INJCETION PROCES REQUIRES  AT LEAST A NUMBER "
               "OF PARTICLES EQUAL TO 1\n"
            << 1 << QString();
        QTest::newRow("version of another catalogue")
            << t << QByteArray("1\nP ") << QByteArray("7\nP ") << QString()
            << " KARVENO ERROR [        1001 ] INCOMPATIBLE VERSION            7\n"
            << 1 << QString();
        QTest::newRow("no volums")
            << t << QByteArray("\nV 1e-09 1e-09 1e-09 7\n")
            << QByteArray("\nV 1e-09 1e-09 1e-09 0\n") << QString() << "No volums to check!\n"
            << 2 << t + ":3117: text after the last volum\n";
        const QString dirac = QStringLiteral("dirac_micrometre.txt");
        QTest::newRow("micrometre Dirac device")
            << dirac << QByteArray() << QByteArray() << "200000000" << ' ' + kOk + '\n'
            << 0 << QString();
        QTest::newRow("its grid tables beyond the budget")
            << dirac << QByteArray() << QByteArray() << "500000"
            << " KARVENO ERROR [       12001 ] ALLOCATE ERROR. NOT ENOUGH MEMORY\n"
            << 1 << QString();
        QTest::newRow("two billion wave steps, not a whole number")
            << "wave_cells_9001.txt" << QByteArray() << QByteArray() << QString()
            << ' ' + k9001 + '\n'
            << 1 << QString();
    }
    void verdicts() {
        QFETCH(QString, project);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, memoryBudget);
        QFETCH(QString, verdict);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        QByteArray text = readFile(kProjects + project);
        QVERIFY(from.isEmpty() || text.count(from) == 1);
        QVERIFY(writeFile(work.filePath(project), from.isEmpty() ? text : text.replace(from, to)));
        // Relative to the working directory; an empty budget is the default one.
        const Finished r = run({project}, Launch().with("KARVENO_CHECK_MEMORY", memoryBudget));
        QCOMPARE(r.out, verdict);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.err, err);
    }

    void unreadableInputs_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << "no/such/project.txt"
                                      << "cannot read no/such/project.txt";
        QTest::newRow("not a project") << kProjects + "not_a_project.txt"
                                       << "has no project structure";
        QTest::newRow("device") << "/dev/zero"
                                << "not a regular file";
        QTest::newRow("pipe") << "fifo"
                              << "not a regular file";
    }
    void unreadableInputs() {
        QFETCH(QString, path);
        QFETCH(QString, message);
        if (path == QLatin1String("fifo"))
            QVERIFY(QFile::exists(work.filePath(path)) ||
                    mkfifo(qPrintable(work.filePath(path)), 0600) == 0);
        const Finished r = run({path});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.out, QString());
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    // A mistyped size ("1OO" for 100) is reported with its line; the verdict for the design as
    // read is still printed, and the exit status says that the file was not read cleanly.
    void readingProblemsGoToStandardError() {
        QList<QByteArray> lines =
            readFile(QStringLiteral(KARVENO_SOURCE_DIR "/examples/classical_mosfet.txt"))
                .split('\n');
        QCOMPARE(lines.value(3121), QByteArray("100 120 120"));
        lines[3121] = "1OO 120 120";
        QVERIFY(writeFile(work.filePath("typo.txt"), lines.join('\n')));
        const Finished r = run({"typo.txt"});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.out, QStringLiteral("Volum OO has no material!\n"));
        const QStringList err = r.err.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(err.size(), 1);
        QVERIFY2(err[0].startsWith("typo.txt:3122: \"1OO\" is not a number (volum Source, sizes)"),
                 qPrintable(err[0]));
    }

    // Several files and folders: one line or JSON object per file, a summary, and an exit status
    // that is 0 only when every design is free from errors.
    void severalFiles_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("summary");
        const QString examples = QStringLiteral(KARVENO_SOURCE_DIR "/examples/");
        const QString transistor = kProjects + "transistor.txt",
                      cells = kProjects + "wave_cells_9001.txt";
        QTest::newRow("a folder alone, sorted")
            << QStringList{examples.chopped(1)} << 0
            << QStringList{examples + "classical_mosfet.txt: " + kOk,
                           examples + "graphene_ribbon.txt: " + kOk,
                           examples + "tunnelling_wire.txt: " + kOk}
            << "3 designs: 3 free from errors, 0 with errors, 0 not readable";
        QTest::newRow("one design with an error")
            << QStringList{transistor, cells} << 1
            << QStringList{transistor + ": " + kOk, cells + ": " + k9001}
            << "2 designs: 1 free from errors, 1 with errors, 0 not readable";
        QTest::newRow("json names the volum; unreadable files give 2")
            << QStringList{"--json", cells, kProjects + "not_a_project.txt", transistor} << 2
            << QStringList{"{\"code\":9001,\"ok\":false,\"path\":\"" + cells + "\",\"verdict\":\"" +
                               k9001 + "\",\"volum\":\"source\"}",
                           "{\"code\":null,\"ok\":false,\"path\":\"" + kProjects +
                               "not_a_project.txt\",\"verdict\":\"no project "
                               "structure\",\"volum\":null}",
                           "{\"code\":10000,\"ok\":true,\"path\":\"" + transistor +
                               "\",\"verdict\":\"" + kOk + "\",\"volum\":null}"}
            << "3 designs: 1 free from errors, 1 with errors, 1 not readable";
    }
    void severalFiles() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        QFETCH(QString, summary);
        const Finished r = run(arguments);
        QCOMPARE(r.exitCode, exitCode);
        QStringList out = r.out.split('\n', Qt::SkipEmptyParts);
        // The summary closes the report; with --json it goes to the errors, apart from the objects.
        if (arguments.contains("--json"))
            QCOMPARE(r.err.trimmed().split(QLatin1Char('\n')).last(), summary);
        else
            QCOMPARE(out.takeLast(), summary);
        QCOMPARE(out, lines);
    }

    // Memory that runs out while reading or handing over a design ends with a message and exit
    // status 2, never with an abort: here 10^6 general settings under 250 MB of address space.
    void runningOutOfMemoryIsReported() {
        QByteArray big = "1\nP 1\n1000000 Big\n";
        for (int n = 0; n < 1000000; ++n)
            big += "p" + QByteArray::number(n) + " 2 1 h\n";
        big += "M 1\nSi\n1\n1 1 1\n1 0 0\n0 1 0\n0 0 1\n0\n0\nV 1 1 1 1\nv\n1 1 1\nSi\n1\n0 0 0\n"
               "1 1 1\n-1\n0\n";
        QVERIFY(writeFile(work.filePath("big.txt"), big));
        const Finished r = run({"big.txt"}, Launch().child([] {
            const rlimit limit{rlim_t(250) << 20, rlim_t(250) << 20};
            setrlimit(RLIMIT_AS, &limit);
        }));
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.startsWith("karveno-check: not enough memory to ") ||
                     r.err.contains("Not enough memory to read it"),
                 qPrintable(r.err));
    }

    void helpAndUsage() {
        const Finished help = run({"--help"});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith("Usage: karveno-check PROJECT.txt"));
        QVERIFY(help.out.contains("Exit status"));
        const Finished none = run({});
        QCOMPARE(none.exitCode, 2);
        QVERIFY(none.err.startsWith("Usage:"));
        QCOMPARE(none.out, QString());
        QCOMPARE(run({"a.txt", "b.txt"}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestKarvenoCheck)
#include "tst_karveno_check.moc"
