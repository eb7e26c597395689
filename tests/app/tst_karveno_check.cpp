// karveno-check end to end: verdict line, exit status and error reporting, run from a folder
// without any data.

#include <QtTest>

namespace {

const QString kProgram = QStringLiteral(KARVENO_BINARY_DIR "/bin/karveno-check");
const QString kProjects = QStringLiteral(KARVENO_SOURCE_DIR "/tests/app/projects");

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

class TestKarvenoCheck : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void verdicts_data();
    void verdicts();
    void largeProjectFilesAreRead();
    void unreadableInputs_data();
    void unreadableInputs();
    void helpAndUsage();

private:
    Run run(const QStringList &arguments);
    // A copy of the transistor project in the work folder with one text replaced.
    QString variant(const QString &name, const QByteArray &from, const QByteArray &to);

    QTemporaryDir work; // the working directory of every run: no data/ folder in it
};

void TestKarvenoCheck::initTestCase() {
    QVERIFY(work.isValid());
    QVERIFY2(QFileInfo::exists(kProgram), qPrintable(kProgram));
    QVERIFY(!QFileInfo::exists(work.filePath(QStringLiteral("data"))));
}

Run TestKarvenoCheck::run(const QStringList &arguments) {
    QProcess process;
    process.setWorkingDirectory(work.path());
    process.start(kProgram, arguments);
    Run result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromLatin1(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

QString TestKarvenoCheck::variant(const QString &name, const QByteArray &from,
                                  const QByteArray &to) {
    QFile source(kProjects + QStringLiteral("/transistor.txt"));
    if (!source.open(QIODevice::ReadOnly))
        return QString();
    QByteArray text = source.readAll();
    if (!from.isEmpty()) {
        if (text.count(from) != 1)
            return QString();
        text.replace(from, to);
    }
    QFile out(work.filePath(name));
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size())
        return QString();
    return name; // relative to the working directory
}

void TestKarvenoCheck::verdicts_data() {
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("free from errors")
        << QByteArray() << QByteArray() << " [OK] SIMULATION DESIGN FREE FROM ERRORS\n"
        << 0;
    QTest::newRow("no particles")
        << QByteArray("\nNPARTICLES 1 10 \n") << QByteArray("\nNPARTICLES 1 0 \n")
        << " KARVENO ERROR [        3035 ] THE INJCETION PROCES REQUIRES  AT LEAST A NUMBER OF "
           "PARTICLES EQUAL TO 1\n"
        << 1;
    QTest::newRow("Neumann cladding two cells thick")
        << QByteArray("\nOXIDE_YLOW\n4 1 5\n") << QByteArray("\nOXIDE_YLOW\n4 2 5\n")
        << " KARVENO ERROR [        6008 ] THE VOLUM OXIDE_YLOW           HAS DEFINED AS "
           "BOUNDARY ELECTRIC_FIELD=0. BUT, THE Z OR THE Y DIRECTION ARE LARGER THAN ONE CELL. "
           "PUT THE Z OR THE y NUMBER OF CELL EQUAL TO ONE.\n"
        << 1;
    QTest::newRow("version of another catalogue")
        << QByteArray("1\nP ") << QByteArray("7\nP ")
        << " KARVENO ERROR [        1001 ] INCOMPATIBLE VERSION            7\n"
        << 1;
    QTest::newRow("no volums") << QByteArray("\nV 1e-09 1e-09 1e-09 7\n")
                               << QByteArray("\nV 1e-09 1e-09 1e-09 0\n") << "No volums to check!\n"
                               << 1;
}

void TestKarvenoCheck::verdicts() {
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, verdict);
    QFETCH(int, exitCode);
    const QString file = variant(QStringLiteral("design.txt"), from, to);
    QVERIFY(!file.isEmpty());
    const Run r = run({file});
    QCOMPARE(r.out, verdict);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.err, QString());
}

void TestKarvenoCheck::largeProjectFilesAreRead() {
    // Help texts make real projects several hundred kilobytes long; the reader's look-ahead
    // for section markers must still find them.
    QFile source(kProjects + QStringLiteral("/transistor.txt"));
    QVERIFY(source.open(QIODevice::ReadOnly));
    QByteArray big;
    const QByteArray help(180, 'h');
    const QRegularExpression property(QStringLiteral("^\\S+ [0-4] \\S+ $"));
    for (const QByteArray &line : source.readAll().split('\n')) {
        big += line;
        if (property.match(QString::fromLatin1(line)).hasMatch())
            big += "Help " + help;
        big += '\n';
    }
    QVERIFY(big.size() > 400000);
    QFile out(work.filePath(QStringLiteral("big.txt")));
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(big), big.size());
    out.close();
    const Run r = run({out.fileName()});
    QCOMPARE(r.out, QStringLiteral(" [OK] SIMULATION DESIGN FREE FROM ERRORS\n"));
    QCOMPARE(r.exitCode, 0);
}

void TestKarvenoCheck::unreadableInputs_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QStringLiteral("no/such/project.txt")
                                  << QStringLiteral("cannot read no/such/project.txt");
    QTest::newRow("folder") << kProjects << QStringLiteral("is a folder");
    QTest::newRow("not a project") << kProjects + QStringLiteral("/not_a_project.txt")
                                   << QStringLiteral("has no project structure");
}

void TestKarvenoCheck::unreadableInputs() {
    QFETCH(QString, path);
    QFETCH(QString, message);
    const Run r = run({path});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.out, QString());
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
}

void TestKarvenoCheck::helpAndUsage() {
    const Run help = run({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.startsWith(QStringLiteral("Usage: karveno-check PROJECT.txt")));
    QVERIFY(help.out.contains(QStringLiteral("Exit status")));

    const Run none = run({});
    QCOMPARE(none.exitCode, 2);
    QVERIFY(none.err.startsWith(QStringLiteral("Usage:")));
    QCOMPARE(none.out, QString());

    const Run two = run({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    QCOMPARE(two.exitCode, 2);
}

QTEST_GUILESS_MAIN(TestKarvenoCheck)
#include "tst_karveno_check.moc"
