// Runs the command-line checker on every example device, and on copies of them each broken in
// one targeted way (one setting or one box changed), asserting the exact verdict line.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kOk = " [OK] SIMULATION DESIGN FREE FROM ERRORS";

QString examplePath(const QString &file) {
    return QStringLiteral(KARVENO_SOURCE_DIR "/examples/") + file;
}

QString checkerPath() {
    return QStringLiteral(KARVENO_BINARY_DIR "/bin/karveno-check");
}

QString prefix(int code) {
    return QString(" KARVENO ERROR [%1 ]").arg(code, 12);
}

QString name(const char *n) {
    return QString(n).leftJustified(20, ' ');
}

// Runs the checker on `path`; returns its verdict line and sets `status` to its exit status.
QString check(const QString &path, int &status) {
    QProcess p;
    p.start(checkerPath(), {path});
    if (!p.waitForFinished(60000)) {
        status = -1;
        return "checker did not finish";
    }
    status = p.exitCode();
    QString out = QString::fromLatin1(p.readAllStandardOutput());
    while (out.endsWith('\n') || out.endsWith('\r'))
        out.chop(1);
    return out;
}

// One project file as lines, with edits that find their line by the names the file holds.
class Project {
public:
    explicit Project(const QString &path) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly | QIODevice::Text))
            lines_ = QString::fromLatin1(f.readAll()).split('\n');
    }

    bool isEmpty() const { return lines_.size() < 10; }

    // The value of a general setting.
    bool setGeneral(const QString &setting, const QString &value) {
        return setValue(0, sectionStart('M'), setting, value);
    }
    // A setting of the volum named `volum`.
    bool setVolum(const QString &volum, const QString &setting, const QString &value) {
        const int at = volumRecord(volum);
        return at >= 0 && setValue(at, nextVolumRecord(at), setting, value);
    }
    // A setting of the material named `material` in the project's material section.
    bool setMaterial(const QString &material, const QString &setting, const QString &value) {
        const int from = sectionStart('M');
        const int to = sectionStart('V');
        for (int i = from; i < to; ++i)
            if (lines_[i] == material)
                return setValue(i, to, setting, value);
        return false;
    }
    // Line `offset` of a volum record: 1 meshes, 2 material name, 3 its index, 4 origin, 5 sizes.
    bool setVolumLine(const QString &volum, int offset, const QString &text) {
        const int at = volumRecord(volum);
        if (at < 0)
            return false;
        lines_[at + offset] = text;
        return true;
    }

    QString write(const QTemporaryDir &dir, const QString &file) const {
        const QString path = dir.filePath(file);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
            return {};
        f.write(lines_.join('\n').toLatin1());
        return path;
    }

private:
    int sectionStart(QChar marker) const {
        const QString start = QString(marker) + ' ';
        for (int i = 1; i < lines_.size(); ++i)
            if (lines_[i].startsWith(start))
                return i;
        return int(lines_.size());
    }
    int volumRecord(const QString &volum) const {
        for (int i = sectionStart('V'); i < lines_.size(); ++i)
            if (lines_[i] == volum)
                return i;
        return -1;
    }
    int nextVolumRecord(int at) const {
        // A volum record starts with six header lines (name, meshes, material, its index,
        // origin, sizes); the next record starts with a name, then three mesh counts.
        constexpr int kVolumHeaderLines = 6;
        static const QRegularExpression meshes("^\\d+ \\d+ \\d+$");
        for (int i = at + kVolumHeaderLines; i + 1 < lines_.size(); ++i)
            if (!lines_[i].contains(' ') && meshes.match(lines_[i + 1]).hasMatch())
                return i;
        return int(lines_.size());
    }
    // Replaces the value (third word) of the first property line named `setting` in [from, to).
    bool setValue(int from, int to, const QString &setting, const QString &value) {
        const QString start = setting + ' ';
        for (int i = from; i < to; ++i) {
            if (!lines_[i].startsWith(start))
                continue;
            QStringList words = lines_[i].split(' ');
            if (words.size() < 3)
                return false;
            words[2] = value;
            lines_[i] = words.join(' ');
            return true;
        }
        return false;
    }

    QStringList lines_;
};

} // namespace

class TestExamples : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFile::exists(checkerPath()), qPrintable(checkerPath())); }

    void examplesAreFreeFromErrors_data() {
        QTest::addColumn<QString>("file");
        const QStringList files = QDir(QStringLiteral(KARVENO_SOURCE_DIR "/examples"))
                                      .entryList({"*.txt"}, QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 3);
        for (const QString &f : files)
            QTest::newRow(qPrintable(f)) << f;
    }
    void examplesAreFreeFromErrors() {
        QFETCH(QString, file);
        int status = 0;
        QCOMPARE(check(examplePath(file), status), kOk);
        QCOMPARE(status, 0);
    }

    void brokenExamples_data() {
        QTest::addColumn<QString>("file");
        // Edits separated by ';': "general SETTING VALUE", "volum VOLUM SETTING VALUE",
        // "material MATERIAL SETTING VALUE", "box VOLUM LINE TEXT" (a line of the volum record).
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("expected");

        const QString mosfet = "classical_mosfet.txt";
        QTest::newRow("mosfet: drain without free electrons")
            << mosfet << "volum Drain FLAGELECTRONS 0"
            << prefix(8011) + " THERE IS NO RESERVOIR IN THE DRAIN THE FLAGELECTRONS HAS TO BE "
                              "TRUE IN THE CONTACTS AND IN THE APROPIATE INTERNAL VOLUMES.";
        QTest::newRow("mosfet: injection from the channel")
            << mosfet << "general INJ_VOLUM_1 3"
            << prefix(3011) + " THE DISCRETE INJECTION FROM VOLUM " + name("Channel") +
                   "IS NOT POSSIBLE. IT IS NOT A RESERVOIR";
        QTest::newRow("mosfet: no accelerated injection")
            << mosfet << "general ACCELERATED_INJ 0"
            << prefix(8009) + " THE ACCELERATED INJECTION IS MANDATORY IF A NON-LINEAR "
                              "DISPERSION RESERVOIRS ARE USED.";
        QTest::newRow("mosfet: channel not marked internal")
            << mosfet << "volum Channel INTERNAL_NOBOUNDARY 0"
            << prefix(6005) + " THE VOLUM " + name("Channel") +
                   " HAS BEEN DEFINED AS EXTERNAL WHEN IT IS AN INTERNAL VOLUME. CHANGE THE "
                   "INTERNAL_NOBOUNDARY FLAG INTO TRUE.";
        QTest::newRow("mosfet: gate with charge neutrality")
            << mosfet << "volum Gate CHARGE_NEUTRALITY 1"
            << prefix(8001) + " THIS VOLUM " + name("Gate") +
                   " CANNOT HAVE CHARGE NEUTRARLITY ACTIVIATED";
        QTest::newRow("mosfet: drain transient of 1000 steps")
            << mosfet
            << "volum Drain DC 0;volum Drain TRANS 1;volum Drain TRANS_NSTEPS0 600;"
               "volum Drain TRANS_NSTEPS1 400"
            << prefix(3012) + " THE NUMBER OF STEP IN THE TRANSIENT SIMULATION HAS TO BE LOWER "
                              "THAN 1000";
        QTest::newRow("mosfet: the side cladding made a contact")
            << mosfet
            << "volum SideOxideLow ELECTRIC_FIELD=0 0;volum SideOxideLow DC 1;"
               "volum SideOxideLow FLAGELECTRONS 1"
            << prefix(8002) + " ONLY TRANSPORT IN THE X DIRECTION (RED LINE) IS IMPLEMENTED";

        const QString wire = "tunnelling_wire.txt";
        QTest::newRow("wire: time step too long for the lightest mass")
            << wire << "general DTSCHO 1e-15"
            << prefix(9002) + " THE TEMPORAL STEP OF SCHRODINGER DTSCHO=   1.00000000E-15  AND "
                              "SPATIAL STEP OF SCHRODINGER DXSCHO=   9.99999972E-10  ARE "
                              "INCOMPATIBLE.      FOR AN ACCURATE SOLUTION :         "
                              "0.4<HVAR*DTSCHO/(DXSCHO^2*M)<0.5";
        QTest::newRow("wire: source meshes not a multiple of DXSCHO")
            << wire << "box Source 1 7 8 8"
            << prefix(9001) + " THE X DIMENSION OF THE VOLUM   " + name("Source") +
                   " MUST BE A MULTIPLE OF    9.99999972E-10 .NOW IT IS     2.85714297E-09";
        QTest::newRow("wire: X1 shorter than 3.5 packets")
            << wire << "general X1 3e-08"
            << prefix(9006) + " THE LENGHT X1:    2.99999989E-08  IS SHORTER THAN 3.5 TIMES THE "
                              "DISPERSIO_X    9.99999994E-09";
        QTest::newRow("wire: a graphene well")
            << wire << "box Well 2 Graphene;box Well 3 3"
            << prefix(9010) + " MATERIALS WITH PARABOLIC AND LINEAR  DISPERSIONS ARE MIXED. ONLY "
                              "ONE TYPE OF DISPERSION IS ALLOWED";

        const QString ribbon = "graphene_ribbon.txt";
        QTest::newRow("ribbon: CONFY off")
            << ribbon << "general CONFY 1"
            << prefix(9015) + " THE LINEAR DISPERSION NEEDS  CONFY=TRUE AND CONFZ=FALSE";
        QTest::newRow("ribbon: superposition")
            << ribbon << "general SUPERPOSITION 1"
            << prefix(9013) + " THE LINEAR DISPERSION CAN NOT BE  SIMULATED BY SUPERPOSITION. "
                              "NOT IMPLEMENTED YET";
        QTest::newRow("ribbon: packets wider than the ribbon")
            << ribbon << "general DISPERSIO_Z 2e-08"
            << prefix(9017) + " THE LENGHT OF BOX IN THE Z DIRECTION:    7.99999995E-08  IS "
                              "SHORTER THAN 6 TIMES THE DISPERSIO_Z    1.99999999E-08";
        QTest::newRow("ribbon: step across not dividing the cells")
            << ribbon << "general DYSCHO 3e-09"
            << prefix(9001) + " THE X DIMENSION OF THE VOLUM   " + name("Ribbon") +
                   " MUST BE A MULTIPLE OF    3.00000003E-09 .NOW IT IS     1.99999994E-09";
        QTest::newRow("ribbon: Fermi velocity too high for the time step")
            << ribbon << "material Graphene VFX1 1e+07"
            << prefix(9016) + " THE TEMPORAL STEP OF DIRAC DTSCHO=   1.00000002E-16  AND "
                              "SPATIAL STEP OF DIRAC DXSCHO=   9.99999972E-10  ARE "
                              "INCOMPATIBLE.      FOR AN ACCURATE SOLUTION :         "
                              "0.01<VF*DTSCHO*sqr(2)/min(DXSCHO,DYSCHO)<0.999";
        QTest::newRow("ribbon: scattering in the ribbon")
            << ribbon << "volum Ribbon FLAG_SCATTERING 1"
            << prefix(3009) + " SCATTERING WITH DIRAC EQUATION IS STIL NOT IMPLEMENTED";
    }
    void brokenExamples() {
        QFETCH(QString, file);
        QFETCH(QString, change);
        QFETCH(QString, expected);
        Project project(examplePath(file));
        QVERIFY(!project.isEmpty());
        for (const QString &edit : change.split(';')) {
            const QStringList w = edit.split(' ');
            QVERIFY2(w.size() >= 3, qPrintable(edit));
            bool done = false;
            if (w[0] == "general")
                done = project.setGeneral(w[1], w[2]);
            else if (w[0] == "volum")
                done = project.setVolum(w[1], w[2], w[3]);
            else if (w[0] == "material")
                done = project.setMaterial(w[1], w[2], w[3]);
            else if (w[0] == "box" && w.size() >= 4)
                done = project.setVolumLine(w[1], w[2].toInt(), w.mid(3).join(' '));
            QVERIFY2(done, qPrintable(edit));
        }
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = project.write(dir, file);
        QVERIFY(!path.isEmpty());
        int status = 0;
        QCOMPARE(check(path, status), expected);
        QCOMPARE(status, 1);
    }
};

QTEST_GUILESS_MAIN(TestExamples)
#include "tst_examples.moc"
