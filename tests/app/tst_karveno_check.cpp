// karveno-check end to end: verdict line, exit status and error reporting, run from a folder
// without any data.

#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const QString kProgram = QStringLiteral(KARVENO_BINARY_DIR "/bin/karveno-check");
const QString kProjects = QStringLiteral(KARVENO_SOURCE_DIR "/tests/app/projects/");

struct Run {
    int exitCode = -1;
    QString out, err;
};

} // namespace

class TestKarvenoCheck : public QObject {
    Q_OBJECT

    QTemporaryDir work; // the working directory of every run: no data/ folder in it

    // `addressSpace`, when given, limits the child's address space (bytes), as a small machine
    // or a shared one would.
    Run run(const QStringList &arguments, const QByteArray &memoryBudget = QByteArray(),
            rlim_t addressSpace = 0) {
        QProcess process;
        process.setWorkingDirectory(work.path());
        if (addressSpace > 0) {
            process.setChildProcessModifier([addressSpace] {
                const rlimit limit{addressSpace, addressSpace};
                setrlimit(RLIMIT_AS, &limit);
            });
        }
        if (!memoryBudget.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("KARVENO_CHECK_MEMORY", QString::fromLatin1(memoryBudget));
            process.setProcessEnvironment(environment);
        }
        process.start(kProgram, arguments);
        Run result;
        if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
            result.exitCode = process.exitCode();
        result.out = QString::fromLatin1(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }

private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        QVERIFY2(QFileInfo::exists(kProgram), qPrintable(kProgram));
    }

    // A copy of the transistor project, in the work folder, with one text replaced.
    void verdicts_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::newRow("free from errors")
            << QByteArray() << QByteArray() << " [OK] SIMULATION DESIGN FREE FROM ERRORS\n"
            << 0 << QString();
        QTest::newRow("no particles")
            << QByteArray("\nNPARTICLES 1 10 \n") << QByteArray("\nNPARTICLES 1 0 \n")
            << " KARVENO ERROR [        3035 ] THE INJCETION PROCES REQUIRES  AT LEAST A NUMBER "
               "OF PARTICLES EQUAL TO 1\n"
            << 1 << QString();
        QTest::newRow("version of another catalogue")
            << QByteArray("1\nP ") << QByteArray("7\nP ")
            << " KARVENO ERROR [        1001 ] INCOMPATIBLE VERSION            7\n"
            << 1 << QString();
        QTest::newRow("no volums")
            << QByteArray("\nV 1e-09 1e-09 1e-09 7\n") << QByteArray("\nV 1e-09 1e-09 1e-09 0\n")
            << "No volums to check!\n"
            << 2 << "design.txt:3117: text after the last volum\n";
    }
    void verdicts() {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, verdict);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        QFile source(kProjects + "transistor.txt");
        QVERIFY(source.open(QIODevice::ReadOnly));
        QByteArray text = source.readAll();
        QVERIFY(from.isEmpty() || text.count(from) == 1);
        QFile copy(work.filePath("design.txt"));
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(from.isEmpty() ? text : text.replace(from, to));
        copy.close();
        const Run r = run({"design.txt"}); // relative to the working directory
        QCOMPARE(r.out, verdict);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.err, err);
    }

    // Devices whose wave grid is far finer than their meshes: the verdict follows the rules, not
    // the size of the grid, and only the grid tables count against the memory budget.
    void fineWaveGrids_data() {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QByteArray>("memoryBudget");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("micrometre Dirac device")
            << "dirac_micrometre.txt" << QByteArray("200000000")
            << " [OK] SIMULATION DESIGN FREE FROM ERRORS\n";
        QTest::newRow("its grid tables beyond the budget")
            << "dirac_micrometre.txt" << QByteArray("500000")
            << " KARVENO ERROR [       12001 ] ALLOCATE ERROR. NOT ENOUGH MEMORY\n";
        QTest::newRow("two billion wave steps, not a whole number")
            << "wave_cells_9001.txt" << QByteArray()
            << " KARVENO ERROR [        9001 ] THE X DIMENSION OF THE VOLUM   source               "
               "MUST BE A MULTIPLE OF    4.89999985E-10 .NOW IT IS     1.00000000\n";
    }
    void fineWaveGrids() {
        QFETCH(QString, project);
        QFETCH(QByteArray, memoryBudget);
        QFETCH(QString, verdict);
        QCOMPARE(run({kProjects + project}, memoryBudget).out, verdict);
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
        const Run r = run({path});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.out, QString());
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    // A mistyped size ("1OO" for 100) is reported with its line; the verdict for the design as
    // read is still printed, and the exit status says that the file was not read cleanly.
    void readingProblemsGoToStandardError() {
        QFile source(QStringLiteral(KARVENO_SOURCE_DIR "/examples/classical_mosfet.txt"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = source.readAll().split('\n');
        QCOMPARE(lines[3121], QByteArray("100 120 120"));
        lines[3121] = "1OO 120 120";
        QFile copy(work.filePath("typo.txt"));
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(lines.join('\n'));
        copy.close();
        const Run r = run({"typo.txt"});
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
        const QString examples = QStringLiteral(KARVENO_SOURCE_DIR "/examples");
        const QString ok = QStringLiteral("[OK] SIMULATION DESIGN FREE FROM ERRORS");
        QTest::newRow("a folder alone, sorted")
            << QStringList{examples} << 0
            << QStringList{examples + "/classical_mosfet.txt: " + ok,
                           examples + "/graphene_ribbon.txt: " + ok,
                           examples + "/tunnelling_wire.txt: " + ok}
            << "3 designs: 3 free from errors, 0 with errors, 0 not readable";
        QTest::newRow("one design with an error")
            << QStringList{kProjects + "transistor.txt", kProjects + "wave_cells_9001.txt"} << 1
            << QStringList{kProjects + "transistor.txt: " + ok,
                           kProjects + "wave_cells_9001.txt: KARVENO ERROR [        9001 ] THE X "
                                       "DIMENSION OF THE VOLUM   source               MUST BE A "
                                       "MULTIPLE OF    4.89999985E-10 .NOW IT IS     1.00000000"}
            << "2 designs: 1 free from errors, 1 with errors, 0 not readable";
        QTest::newRow("json names the volum; unreadable files give 2")
            << QStringList{"--json", kProjects + "wave_cells_9001.txt",
                           kProjects + "not_a_project.txt", kProjects + "transistor.txt"}
            << 2
            << QStringList{"{\"code\":9001,\"ok\":false,\"path\":\"" + kProjects +
                               "wave_cells_9001.txt\",\"verdict\":\"KARVENO ERROR [        9001 ] "
                               "THE X DIMENSION OF THE VOLUM   source               MUST BE A "
                               "MULTIPLE OF    4.89999985E-10 .NOW IT IS     "
                               "1.00000000\",\"volum\":\"source\"}",
                           "{\"code\":null,\"ok\":false,\"path\":\"" + kProjects +
                               "not_a_project.txt\",\"verdict\":\"no project "
                               "structure\",\"volum\":null}",
                           "{\"code\":10000,\"ok\":true,\"path\":\"" + kProjects +
                               "transistor.txt\",\"verdict\":\"" + ok + "\",\"volum\":null}"}
            << "3 designs: 1 free from errors, 1 with errors, 1 not readable";
    }
    void severalFiles() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        QFETCH(QString, summary);
        const Run r = run(arguments);
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
        QFile big(work.filePath("big.txt"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write("1\nP 1\n1000000 Big\n");
        for (int n = 0; n < 1000000; ++n)
            big.write(QByteArray("p") + QByteArray::number(n) + " 2 1 h\n");
        big.write("M 1\nSi\n1\n1 1 1\n1 0 0\n0 1 0\n0 0 1\n0\n0\n"
                  "V 1 1 1 1\nv\n1 1 1\nSi\n1\n0 0 0\n1 1 1\n-1\n0\n");
        big.close();
        const Run r = run({"big.txt"}, QByteArray(), rlim_t(250) << 20);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.startsWith("karveno-check: not enough memory to ") ||
                     r.err.contains("Not enough memory to read it"),
                 qPrintable(r.err));
    }

    void helpAndUsage() {
        const Run help = run({"--help"});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith("Usage: karveno-check PROJECT.txt"));
        QVERIFY(help.out.contains("Exit status"));
        const Run none = run({});
        QCOMPARE(none.exitCode, 2);
        QVERIFY(none.err.startsWith("Usage:"));
        QCOMPARE(none.out, QString());
        QCOMPARE(run({"a.txt", "b.txt"}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestKarvenoCheck)
#include "tst_karveno_check.moc"
