// Runs the command-line checker on copies of the example devices each broken in one targeted way
// (one setting or one box changed), asserting the exit status and the exact verdict line.

#include "../app/programs.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kExamples = QStringLiteral(KARVENO_SOURCE_DIR "/examples/");
const QString kChecker = QStringLiteral(KARVENO_BINARY_DIR "/bin/karveno-check");

QString err(int code, const QString &items) {
    return QString(" KARVENO ERROR [%1 ]").arg(code, 12) + items;
}
QString name(const char *n) {
    return QString(n).leftJustified(20, ' ');
}

// One edit of a project's lines: "general SETTING VALUE", "volum VOLUM SETTING VALUE",
// "material MATERIAL SETTING VALUE" set the value (third word) of the first line of SETTING in
// the general settings or after the start of the named record; "box VOLUM N TEXT" replaces line
// N of a volum record (1 meshes, 2 material name, 3 its index, 4 origin, 5 sizes).
bool edit(QStringList &lines, const QStringList &w) {
    const auto find = [&](int from, const auto &match) {
        for (int i = from; i < lines.size(); ++i)
            if (match(lines[i]))
                return i;
        return -1;
    };
    const int materials = find(1, [](const QString &l) { return l.startsWith("M "); });
    const int volums = find(1, [](const QString &l) { return l.startsWith("V "); });
    int at = 0;
    if (w[0] != "general") {
        at = find(w[0] == "material" ? materials : volums,
                  [&](const QString &l) { return l == w[1]; });
        if (at < 0 || (w[0] == "material" && at > volums))
            return false;
    }
    if (w[0] == "box") {
        lines[at + w[2].toInt()] = w.mid(3).join(' ');
        return true;
    }
    const QString setting = w[w.size() - 2] + ' ';
    const int line = find(at, [&](const QString &l) { return l.startsWith(setting); });
    if (line < 0 || (w[0] == "general" && line > materials))
        return false;
    QStringList words = lines[line].split(' ');
    words[2] = w.last();
    lines[line] = words.join(' ');
    return true;
}

} // namespace

class TestExamples : public QObject {
    Q_OBJECT

private slots:
    void brokenExamples_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("edits"); // separated by ';'
        QTest::addColumn<QString>("expected");
        const QString mosfet = "classical_mosfet.txt";
        const QString wire = "tunnelling_wire.txt";
        const QString ribbon = "graphene_ribbon.txt";
        const QString stability = "  ARE INCOMPATIBLE.      FOR AN ACCURATE SOLUTION :         ";
        QTest::newRow("mosfet: drain without free electrons")
            << mosfet << "volum Drain FLAGELECTRONS 0"
            << err(8011, " THERE IS NO RESERVOIR IN THE DRAIN THE FLAGELECTRONS HAS TO BE TRUE IN "
                         "THE CONTACTS AND IN THE APROPIATE INTERNAL VOLUMES.");
        QTest::newRow("mosfet: drain transient of 1000 steps")
            << mosfet
            << "volum Drain DC 0;volum Drain TRANS 1;volum Drain TRANS_NSTEPS0 600;"
               "volum Drain TRANS_NSTEPS1 400"
            << err(3012, " THE NUMBER OF STEP IN THE TRANSIENT SIMULATION HAS TO BE LOWER THAN "
                         "1000");
        QTest::newRow("wire: time step too long for the lightest mass")
            << wire << "general DTSCHO 1e-15"
            << err(9002, " THE TEMPORAL STEP OF SCHRODINGER DTSCHO=   1.00000000E-15  AND SPATIAL "
                         "STEP OF SCHRODINGER DXSCHO=   9.99999972E-10" +
                             stability + "0.4<HVAR*DTSCHO/(DXSCHO^2*M)<0.5");
        QTest::newRow("wire: source meshes not a multiple of DXSCHO")
            << wire << "box Source 1 7 8 8"
            << err(9001,
                   " THE X DIMENSION OF THE VOLUM   " + name("Source") +
                       " MUST BE A MULTIPLE OF    9.99999972E-10 .NOW IT IS     2.85714297E-09");
        QTest::newRow("wire: a graphene well")
            << wire << "box Well 2 Graphene;box Well 3 3"
            << err(9010, " MATERIALS WITH PARABOLIC AND LINEAR  DISPERSIONS ARE MIXED. ONLY ONE "
                         "TYPE OF DISPERSION IS ALLOWED");
        QTest::newRow("ribbon: CONFY off")
            << ribbon << "general CONFY 1"
            << err(9015, " THE LINEAR DISPERSION NEEDS  CONFY=TRUE AND CONFZ=FALSE");
        QTest::newRow("ribbon: Fermi velocity too high for the time step")
            << ribbon << "material Graphene VFX1 1e+07"
            << err(9016, " THE TEMPORAL STEP OF DIRAC DTSCHO=   1.00000002E-16  AND SPATIAL STEP "
                         "OF DIRAC DXSCHO=   9.99999972E-10" +
                             stability + "0.01<VF*DTSCHO*sqr(2)/min(DXSCHO,DYSCHO)<0.999");
        QTest::newRow("ribbon: scattering in the ribbon")
            << ribbon << "volum Ribbon FLAG_SCATTERING 1"
            << err(3009, " SCATTERING WITH DIRAC EQUATION IS STIL NOT IMPLEMENTED");
    }
    void brokenExamples() {
        QFETCH(QString, file);
        QFETCH(QString, edits);
        QFETCH(QString, expected);
        QStringList lines = QString::fromLatin1(readFile(kExamples + file)).split('\n');
        for (const QString &e : edits.split(';'))
            QVERIFY2(edit(lines, e.split(' ')), qPrintable(e));
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(file), lines.join('\n').toLatin1()));
        // Exit status and verdict line together.
        const Finished f = runProgram(kChecker, {dir.filePath(file)});
        QCOMPARE(QString::number(f.exitCode) + f.out.left(f.out.indexOf('\n')), "1" + expected);
    }
};

QTEST_GUILESS_MAIN(TestExamples)
#include "tst_examples.moc"
