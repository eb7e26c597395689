// Runs and studies on both back-ends, by the same cases: the local processes and a real one-node
// Slurm that the test starts for itself (skipped, with the reason, where it cannot start). The
// simulator is the stand-in, stepping quickly.

#include "run/localbackend.h"
#include "run/run.h"
#include "run/slurmbackend.h"
#include "run/study.h"

#include "../app/programs.h"
#include "slurmcluster.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kSimulator = QStringLiteral(KARVENO_BINARY_DIR "/bin/KARVENOCOM.exe");
const QString kDevice = QStringLiteral(KARVENO_SOURCE_DIR "/examples/classical_mosfet.txt");
constexpr int kWaitMs = 90000;

// The device with its particle count set as given (0 breaks the design checker's rules).
QString writeDevice(const QString &folder, int particles) {
    QByteArray text = readFile(kDevice);
    text.replace("\nNPARTICLES 1 10 ", "\nNPARTICLES 1 " + QByteArray::number(particles) + ' ');
    const QString path = folder + QStringLiteral("/device%1.txt").arg(particles);
    return writeFile(path, text) ? path : QString();
}

// A study of the device over the particle counts given.
bool makeStudy(const QString &folder, const QStringList &particles, QString *error) {
    StudyDefinition definition;
    definition.settings << StudySetting{QStringLiteral("general/NPARTICLES"), particles};
    return Study::make(kDevice, folder, definition, error);
}

// The simulator's pause between progress lines for the runs submitted while this lives.
struct StepMs {
    QByteArray old;
    explicit StepMs(int ms) : old(qgetenv("KARVENOCOM_STEP_MS")) {
        qputenv("KARVENOCOM_STEP_MS", QByteArray::number(ms));
    }
    ~StepMs() { qputenv("KARVENOCOM_STEP_MS", old); }
};

QStringList csvStates(const QString &folder) {
    QStringList states;
    const QList<QByteArray> lines = readFile(folder + "/study.csv").split('\n');
    const qsizetype column = lines.first().split(',').indexOf("state");
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            states << QString::fromUtf8(lines[i].split(',').value(column));
    return states;
}

} // namespace

class TestBackends : public QObject {
    Q_OBJECT

    QTemporaryDir work;
    SlurmCluster cluster;

    std::unique_ptr<RunBackend> makeBackend(const QString &kind, const QString &partition = {}) {
        if (kind == QLatin1String("local")) {
            auto local = std::make_unique<LocalBackend>();
            local->setProgram(kSimulator);
            return local;
        }
        RunSettings settings;
        settings.backend = RunSettings::Slurm;
        settings.nodeSimulator = kSimulator;
        settings.partition = partition;
        settings.pollMs = 200;
        return std::make_unique<SlurmBackend>(settings);
    }
    static void backendRows() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("local") << QStringLiteral("local");
        QTest::newRow("slurm") << QStringLiteral("slurm");
    }

private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        QVERIFY2(QFile::exists(kSimulator), "the stand-in simulator is not built");
        qputenv("KARVENOCOM_STEP_MS", "2");
        // Every simulator line is a debug trace; here they would only bury the results.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        cluster.start();
    }
    void cleanupTestCase() { cluster.stop(); }

    void singleRun_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("particles");
        QTest::addColumn<bool>("cancelIt");
        QTest::addColumn<Run::State>("expected");
        QTest::addColumn<QByteArray>("logged");
        for (const char *kind : {"local", "slurm"}) {
            const QString k = QLatin1String(kind);
            QTest::addRow("%s completes", kind)
                << k << 10 << false << Run::State::Finished << QByteArray("ended correctly");
            QTest::addRow("%s simulator error", kind)
                << k << 0 << false << Run::State::Failed << QByteArray("ERROR");
            QTest::addRow("%s cancelled", kind)
                << k << 10 << true << Run::State::Cancelled << QByteArray("SIMULATED TIME: 1 %");
        }
    }
    void singleRun() {
        QFETCH(QString, kind);
        QFETCH(int, particles);
        QFETCH(bool, cancelIt);
        QFETCH(Run::State, expected);
        QFETCH(QByteArray, logged);
        SKIP_WITHOUT_SLURM(cluster, kind);
        const QString folder = work.filePath(QString(QTest::currentDataTag()).replace(' ', '_'));
        QVERIFY(QDir().mkpath(folder));
        const QString project = writeDevice(folder, particles);
        QVERIFY(!project.isEmpty());
        auto backend = makeBackend(kind);
        Run run(project, folder);
        run.setWorkingDirectory(folder);
        {
            // A cancelled run is slow enough to be caught running.
            StepMs step(cancelIt ? 300 : 2);
            backend->submit({&run});
        }
        if (cancelIt) {
            QTRY_VERIFY_WITH_TIMEOUT(run.progress() >= 1 || run.isDone(), kWaitMs);
            backend->cancel(&run);
        }
        QTRY_VERIFY_WITH_TIMEOUT(run.isDone(), kWaitMs);
        QCOMPARE(run.state(), expected);
        QVERIFY2(readFile(folder + "/log.txt").contains(logged), readFile(folder + "/log.txt"));
        if (expected == Run::State::Finished)
            QCOMPARE(run.progress(), 100);
        if (kind == QLatin1String("slurm")) {
            QVERIFY(!run.jobId().isEmpty());
            QVERIFY(readFile(folder + "/karveno-run.sbatch").contains(kSimulator.toUtf8()));
        }
    }

    // Six points, two at a time; the third breaks the checker's rules and is not run. Opened
    // again from its folder, the study shows what the files say.
    void studyWithLimit_data() { backendRows(); }
    void studyWithLimit() {
        QFETCH(QString, kind);
        SKIP_WITHOUT_SLURM(cluster, kind);
        const QString folder = work.filePath("study-" + kind);
        const QStringList particles{"1", "2", "0", "4", "5", "6"};
        QString error;
        QVERIFY2(makeStudy(folder, particles, &error), qPrintable(error));
        QVERIFY(!makeStudy(folder, particles, &error)); // never over a study

        Study study;
        QVERIFY2(study.open(folder, &error), qPrintable(error));
        QCOMPARE(study.points().at(2).state, Study::kNotRun);
        QVERIFY(study.points().at(2).verdict.contains("3035"));
        QCOMPARE(study.points().at(5).project, QStringLiteral("006/project.txt"));
        QVERIFY(readFile(folder + "/004/project.txt").contains("\nNPARTICLES 1 4 "));

        auto backend = makeBackend(kind);
        backend->setLimit(2);
        int mostRunning = 0;
        connect(&study, &Study::pointChanged, this,
                [&] { mostRunning = qMax(mostRunning, study.count({QStringLiteral("running")})); });
        {
            StepMs step(20);
            QCOMPARE(study.start(backend.get()), 5);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!study.active(), kWaitMs * 2);
        QVERIFY2(mostRunning <= 2, qPrintable(QString::number(mostRunning)));
        const QStringList expected{"finished", "finished", "not run",
                                   "finished", "finished", "finished"};
        QCOMPARE(csvStates(folder), expected);
        for (const int point : {1, 2, 4, 5, 6}) {
            const QString output =
                folder + QStringLiteral("/%1/output/").arg(point, 3, 10, QChar('0'));
            QVERIFY(readFile(output + "log.txt").contains("Simulation ended correctly"));
            QVERIFY(readFile(output + "STATUS.TXT").contains("100 %"));
        }
        QVERIFY(!QFile::exists(folder + "/003/output/log.txt"));
        if (kind == QLatin1String("slurm"))
            QVERIFY(readFile(folder + "/karveno-study.sbatch").contains("--array=1-2,4-6%2"));

        Study again;
        QVERIFY2(again.open(folder, &error), qPrintable(error));
        QCOMPARE(again.follow(backend.get()), 0);
        for (qsizetype i = 0; i < study.points().size(); ++i) {
            QCOMPARE(again.points()[i].values, study.points()[i].values);
            QCOMPARE(again.points()[i].state, study.points()[i].state);
            QCOMPARE(again.points()[i].job, study.points()[i].job);
        }
    }

    // A study left running by one session is followed to its end by another that opens it.
    void reopenedStudyIsFollowed_data() { backendRows(); }
    void reopenedStudyIsFollowed() {
        QFETCH(QString, kind);
        SKIP_WITHOUT_SLURM(cluster, kind);
        const QString folder = work.filePath("reopened-" + kind);
        QString error;
        QVERIFY2(makeStudy(folder, {"3", "7"}, &error), qPrintable(error));
        Study first;
        QVERIFY(first.open(folder, &error));
        auto firstBackend = makeBackend(kind);
        {
            StepMs step(40);
            first.start(firstBackend.get());
        }
        QTRY_VERIFY_WITH_TIMEOUT(first.count({QStringLiteral("running")}) > 0, kWaitMs);

        Study second;
        QVERIFY(second.open(folder, &error));
        auto secondBackend = makeBackend(kind);
        QCOMPARE(second.follow(secondBackend.get()), 2);
        QTRY_VERIFY_WITH_TIMEOUT(!second.active() && !first.active(), kWaitMs);
        QCOMPARE(second.points()[0].state, QStringLiteral("finished"));
        QCOMPARE(second.points()[1].state, QStringLiteral("finished"));
        QCOMPARE(second.points()[1].progress, 100);
        QCOMPARE(csvStates(folder), QStringList({"finished", "finished"}));
    }

    // Points left queued by a session that died before handing them over run again; those
    // waiting in a live session, or in one on another machine, are left to it.
    void abandonedPointsAreReclaimed() {
        const QString folder = work.filePath("abandoned");
        QString error;
        QVERIFY2(makeStudy(folder, {"1", "2", "3", "4"}, &error), qPrintable(error));
        QProcess ended;
        ended.start(QStringLiteral("true"));
        QVERIFY(ended.waitForStarted());
        const qint64 deadPid = ended.processId();
        QVERIFY(ended.waitForFinished());
        const QString host = QSysInfo::machineHostName();
        const QStringList marks{QStringLiteral("waiting:%1:%2:1").arg(host).arg(deadPid), QString(),
                                Study::waitingMark(),
                                QStringLiteral("waiting:%1-elsewhere:1:1").arg(host)};
        QList<QByteArray> lines = readFile(folder + "/study.csv").split('\n');
        const QList<QByteArray> header = lines.first().split(',');
        for (int i = 0; i < marks.size(); ++i) {
            QList<QByteArray> fields = lines[i + 1].split(',');
            fields[header.indexOf("state")] = "queued";
            fields[header.indexOf("job")] = marks[i].toUtf8();
            lines[i + 1] = fields.join(',');
        }
        QVERIFY(writeFile(folder + "/study.csv", lines.join('\n')));

        Study study;
        QVERIFY2(study.open(folder, &error), qPrintable(error));
        auto backend = makeBackend(QStringLiteral("local"));
        QCOMPARE(study.follow(backend.get()), 0);
        QCOMPARE(csvStates(folder), QStringList({"ready", "ready", "queued", "queued"}));
        QCOMPARE(study.start(backend.get()), 2);
        QTRY_VERIFY_WITH_TIMEOUT(!study.active(), kWaitMs);
        QCOMPARE(csvStates(folder), QStringList({"finished", "finished", "queued", "queued"}));
    }

    void refusedSubmissionShowsSlurmsMessage() {
        SKIP_WITHOUT_SLURM(cluster, QStringLiteral("slurm"));
        const QString folder = work.filePath("refused");
        QVERIFY(QDir().mkpath(folder));
        auto backend = makeBackend(QStringLiteral("slurm"), QStringLiteral("nosuch"));
        QSignalSpy problems(backend.get(), &RunBackend::problem);
        Run run(writeDevice(folder, 10), folder);
        backend->submit({&run});
        QTRY_VERIFY_WITH_TIMEOUT(run.isDone(), kWaitMs);
        QCOMPARE(run.state(), Run::State::Failed);
        QVERIFY2(run.message().contains("Invalid partition name specified"),
                 qPrintable(run.message()));
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems.first().first().toString(), run.message());
        QVERIFY(run.jobId().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBackends)
#include "tst_backends.moc"
