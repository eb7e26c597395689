#include "io/projectfile.h"
#include "iotest.h"
#include "model/categorywriter.h"
#include "model/material.h"
#include "model/materialsmanager.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cmath>
#include <limits>

namespace {

// A small design touching every section: an offset without a material name, an atom and a
// volum without a material, atoms written and not written.
struct Sample {
    MaterialsManager registry;
    ProjectDesign design;

    Sample() {
        Category general(QStringLiteral("General"));
        general.addProperty(Property("T", Property::Real, 300.0, QStringLiteral("temp")));
        design.categories = {general};
        auto *si =
            new Material("Si", 14, QColor(10, 20, 30), Coord(0.5431, 0, 0), Coord(0, 0.5431, 0),
                         Coord(0, 0, 0.5431), {Coord(0, 0, 0, "Si"), Coord(0.25, 0.25, 0.25)});
        registry.addMaterial(si);
        Category doping(QStringLiteral("Doping"));
        doping.addProperty(Property("Nd", Property::RealExponent, 1e18, QStringLiteral("donors")));
        Volum body(QStringLiteral("body"), 2, 3, 4, {doping});
        body.setMaterial(si);
        body.addCoords(Coord(0, 0, 0), 1, 1, 1);
        body.setWriteAtomsInfo(true);
        body.setAtomsInfo(
            {Atom(0, 0, 0, si, true, 0, 2), Atom(0.25, 0.25, 0.25, nullptr, true, 1, 2)});
        Volum gap(QStringLiteral("gap"), 1, 1, 1);
        gap.addCoords(Coord(1, 0, 0), 0.5f, 1, 1);
        design.volums = {body, gap};
        design.x = {1.0, -10};
        design.y = {2.5, -9};
        design.z = {1.0, 0};
    }
};

const char kSampleText[] = "1\nP 1\n1 General\nT 2 300 temp\n"
                           "M 1\nSi\n14\n10 20 30\n0.5431 0 0\n0 0.5431 0\n0 0 0.5431\n"
                           "2\n0 0 0 Si\n0.25 0.25 0.25 \n0\n"
                           "V 1e-10 2.5e-09 1 2\n"
                           "body\n2 3 4\nSi\n14\n0 0 0\n1 1 1\n"
                           "2\n0 0 0\nSi\n14\n0\n0\n0.25 0.25 0.25\n(none)\n-1\n0\n1\n"
                           "1\n1 Doping\nNd 3 1e+18 donors\n"
                           "gap\n1 1 1\n(none)\n-1\n1 0 0\n0.5 1 1\n-1\n0\n";

QString writtenText(const ProjectDesign &design, const MaterialsManager &registry) {
    QString text;
    QTextStream out(&text);
    writeProject(out, design, registry);
    out.flush();
    return text;
}

ProjectReadResult readText(QString text, ProjectDesign &design, MaterialsManager &registry) {
    QTextStream in(&text);
    return readProject(in, design, registry);
}

} // namespace

class TestProjectFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QLoggingCategory::setFilterRules(QStringLiteral("karveno.*.debug=false"));
    }

    void writesAndReadsTheSimulatorLayout() {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // must not change '.'
        Sample sample;
        MessageLog log;
        QCOMPARE(writtenText(sample.design, sample.registry), QString::fromLatin1(kSampleText));
        QCOMPARE(log.count(QStringLiteral("Writting scale to project file: 1 -10 2.5 -9 1 0")), 1);

        MaterialsManager registry;
        registry.addMaterial(new Material("Old", 1, Qt::red, {}, {}, {}, {}));
        ProjectDesign design;
        design.volums.append(Volum("stale", 1, 1, 1));
        const ProjectReadResult result =
            readText(QString::fromLatin1(kSampleText), design, registry);
        QLocale::setDefault(saved);
        QVERIFY(result.opened && result.volumsRead && result.missingMarkers == 0);
        QVERIFY(result.problems.isEmpty());
        QCOMPARE(registry.getMaterials()->size(), 1); // the project's materials replace the old
        Material *si = registry.getMaterial("Si");
        QCOMPARE(si->getAtomVec2().getY(), 0.5431); // double precision here
        const Volum &body = design.volums[0], &gap = design.volums[1];
        QVERIFY(body.getMaterial() == si && body.isWriteAtomsInfo());
        const QList<Atom> &atoms = body.getAtoms();
        QCOMPARE(atoms.size(), 2);
        QVERIFY(!atoms[0].isOffset()); // written as offset number 0
        QVERIFY(!atoms[1].getMaterial() && atoms[1].isOffset() && atoms[1].getMaxOffset() == 1);
        QVERIFY(!gap.getMaterial() && !gap.areAtomsCalculated());

        // Saving what was read gives the same text.
        QCOMPARE(writtenText(design, registry), QString::fromLatin1(kSampleText));
    }

    void roundTripRoundsToSixDigits() {
        Sample sample;
        sample.design.volums[0].move(1.23456789f, -0.000123456789f, 98765.4321f);
        sample.design.categories[0].getProperties()[0].setValue(3.14159265358979);
        sample.registry.getMaterials()->first()->setAtomVec1(Coord(0.123456789, 0, 0));

        ProjectDesign design;
        MaterialsManager registry;
        const QString once = writtenText(sample.design, sample.registry);
        readText(once, design, registry);
        const Volum &moved = design.volums[0];
        QVERIFY(moved.getMinX() == 1.23457 && moved.getMinY() == -0.000123457);
        QCOMPARE(moved.getMinZ(), 98765.4);
        QCOMPARE(design.categories[0].getProperties()[0].getDoubleValue(), 3.14159);
        QCOMPARE(registry.getMaterials()->first()->getAtomVec1().getX(), 0.123457);
        QCOMPARE(writtenText(design, registry), once);
    }

    void atomsSectionFlags() {
        // One scale for all three axes, then the count.
        const QString text = QStringLiteral("1\nP 0\nM 0\nV 1e-09 2\n"
                                            "a\n1 1 1\nX\n0\n0 0 0\n1 1 1\n"
                                            "3\n0 0 0\nX\n0\n0\n0\n1 0 0\nX\n0\n0\n2\n"
                                            "2 0 0\nX\n0\n0\n3\n0\n"
                                            "b\n1 1 1\nX\n0\n0 0 0\n1 1 1\n0\n0\n");
        ProjectDesign design;
        MaterialsManager registry;
        QCOMPARE(readText(text, design, registry).missingMarkers, 0);
        QCOMPARE(design.volums.size(), 2);
        for (const AxisScale &s : {design.x, design.y, design.z})
            QVERIFY(s.mesure == 1.0 && s.unit == -9);
        const QList<Atom> &atoms = design.volums[0].getAtoms();
        QCOMPARE(atoms.size(), 3);
        QVERIFY(!atoms[0].isOffset() && atoms[1].isOffset() && atoms[2].getMaxOffset() == 3);
        // Written with no atoms: calculated, and empty.
        const Volum &b = design.volums[1];
        QVERIFY(b.isWriteAtomsInfo() && b.areAtomsCalculated() && b.getAtoms().isEmpty());

        // A design without volums keeps its scale line and reads back empty.
        ProjectDesign empty;
        QVERIFY(
            writtenText(empty, registry).endsWith(QStringLiteral("M 0\nV 1e-10 1e-10 1e-10 0\n")));
        QVERIFY(readText(writtenText(empty, registry), design, registry).volumsRead);
        QVERIFY(design.volums.isEmpty());
    }

    void normaliseScale_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("mesure");
        QTest::addColumn<int>("unit");
        QTest::newRow("250") << 250.0 << 250.0 << 0;
        QTest::newRow("5e-09") << 5e-9 << 5.0 << -9;
        QTest::newRow("0.5") << 0.5 << 5.0 << -1;
        QTest::newRow("zero") << 0.0 << 1.0 << 0;
        QTest::newRow("negative") << -3e-9 << 1.0 << 0;
        QTest::newRow("nan") << std::nan("") << 1.0 << 0;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 1.0 << 0;
        QTest::newRow("smallest denormal")
            << std::numeric_limits<double>::denorm_min() << 4.94066 << -324;
    }
    void normaliseScale() {
        QFETCH(double, value);
        QFETCH(double, mesure);
        QFETCH(int, unit);
        const AxisScale s = ::normaliseScale(value);
        QVERIFY(std::fabs(s.mesure - mesure) < 1e-5 * mesure);
        QCOMPARE(s.unit, unit);
    }

    void malformedInputKeepsOrEmptiesParts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("missingMarkers");
        QTest::addColumn<bool>("volumsRead");
        QTest::addColumn<int>("formatMessages");
        QTest::addColumn<QList<int>>("counts"); // categories, materials, volums, atoms of the first
        QTest::addColumn<QStringList>("problems");
        const auto row = [](const char *name, const char *text, int missingMarkers, bool volumsRead,
                            int formatMessages, const QList<int> &counts,
                            const QStringList &problems) {
            QTest::newRow(name) << QString::fromLatin1(text) << missingMarkers << volumsRead
                                << formatMessages << counts << problems;
        };
        // The design starts as the sample: 1 category, 1 material, 2 volums, 2 atoms.
        row("empty", "", 3, false, 0, {1, 1, 2, 2}, {"line 1: the file is empty (version)"});
        row("no marker", "1\nX\n", 3, false, 0, {1, 1, 2, 2},
            {"line 2: \"X\" stands where the section marker P belongs"});
        row("no general section", "-1\nM 0\nV 1 1 1 0\n", 1, true, 0, {1, 0, 0, -1},
            {"line 2: \"M\" stands where the section marker P belongs"});
        row("scale with too few fields empties the volums",
            "1\nP 0\nM 0\nV 250\nv\n1 1 1\nSi\n1\n0 0 0\n1 1 1\n-1\n0\n", 0, false, 1,
            {0, 0, 0, -1},
            {"line 4: the volum line holds no scale and number of volums (volum line)"});
        row("unreadable scales and counts", "1\nP 0\nM 0\nV abc 0 -5 many\n", 0, true, 0,
            {0, 0, 0, -1},
            {"line 4: the scale \"abc\" cannot be used; 1 is taken (volum line)",
             "line 4: the scale \"0\" cannot be used; 1 is taken (volum line)",
             "line 4: the scale \"-5\" cannot be used; 1 is taken (volum line)",
             "line 4: \"many\" is not an integer (volum line)"});
        // Huge counts, each followed by one record and the end of the data.
        row("huge category and condition counts",
            "1\nP 2000000000\n2000000000 Cat\nx 4 2000000000 h\n", 2, false, 0, {1, 1, 2, 2},
            {"line 4: the file ends after 0 of 2000000000 conditions (general properties)"});
        row("huge material and offset counts",
            "1\nP 0\nM 2000000000\nSi 1 1 1 1 1 0 0 0 1 0 0 0 1 2000000000\n0 0 0 Si\n", 1, false,
            0, {0, 1, 2, 2},
            {"line 5: the file ends after 1 of 2000000000 offsets (material Si, offsets)"});
        row("huge volum and atom counts",
            "1\nP 0\nM 0\nV 1 2000000000\na 1 1 1 Si 1 0 0 0 1 1 1 2000000000 0 0 0 Si 1 0 0\n", 0,
            true, 0, {0, 0, 1, 1},
            {"line 5: the file ends after 1 of 2000000000 atoms (volum a, atoms)"});
        // Words where numbers belong read as 0 and are left for the next read.
        row("words for numbers", "one\nP 0\nM 0\nV 1 1 1 1\na 1 x 1 Si 1 0 0 0 1 1 1 -1 abc\n", 0,
            true, 0, {0, 0, 1, 0},
            {"line 1: \"one\" is not an integer (version)",
             "line 5: \"x\" is not an integer (volum a, meshes); the reading is out of step "
             "from here, so 2 more problems are not listed"});
    }
    void malformedInputKeepsOrEmptiesParts() {
        QFETCH(QString, text);
        QFETCH(int, missingMarkers);
        QFETCH(bool, volumsRead);
        QFETCH(int, formatMessages);
        QFETCH(QList<int>, counts);
        QFETCH(QStringList, problems);
        Sample sample;
        MessageLog log;
        const ProjectReadResult result = readText(text, sample.design, sample.registry);
        QCOMPARE(result.missingMarkers, missingMarkers);
        QCOMPARE(result.volumsRead, volumsRead);
        QCOMPARE(log.count(QStringLiteral("Unexpected file format")), formatMessages);
        const QList<Volum> &volums = sample.design.volums;
        QCOMPARE(QList<int>({int(sample.design.categories.size()),
                             int(sample.registry.getMaterials()->size()), int(volums.size()),
                             volums.isEmpty() ? -1 : volums[0].getNumberOfAtoms()}),
                 counts);
        QStringList found;
        for (const ReadProblem &problem : result.problems)
            found << problemText(problem);
        QCOMPARE(found, problems);
    }

    void fileErrorsChangeNothing() {
        QTemporaryDir dir;
        Sample sample;
        ProjectDesign design = sample.design;
        ProjectReadResult result =
            readProjectFile(dir.filePath("absent.txt"), design, sample.registry);
        QVERIFY(!result.opened && !result.error.isEmpty());
        QVERIFY(design.volums.size() == 2 && sample.registry.getMaterials()->size() == 1);

        QString error;
        QVERIFY(!writeProjectFile(dir.filePath("no/such/folder/p.txt"), design, sample.registry,
                                  &error));
        QVERIFY(!error.isEmpty());

        // A save replaces the whole previous content.
        const QString path = dir.filePath("project.txt");
        QVERIFY(writeFile(path, QByteArray(10000, 'x')));
        QVERIFY(writeProjectFile(path, design, sample.registry, &error));
        QCOMPARE(QString::fromUtf8(readFile(path, QIODevice::ReadOnly | QIODevice::Text)),
                 QString::fromLatin1(kSampleText));

        // Markers far beyond the stream's read buffer are still found.
        for (int i = 0; i < 3000; ++i)
            design.categories.append(design.categories.first());
        QVERIFY(writeProjectFile(path, design, sample.registry, &error));
        ProjectDesign big;
        MaterialsManager bigRegistry;
        result = readProjectFile(path, big, bigRegistry);
        QVERIFY(result.missingMarkers == 0 && big.categories.size() == 3001);
        QCOMPARE(big.volums.size(), 2);

        // A missing section in a file on disk, and a size beyond the range of a float.
        QVERIFY(
            writeFile(path, "1\r\nM 0\r\nV 1 1 1 1\r\nhuge 1 1 1 X 0 0 0 0 1e300 1 1 -1 0\r\n"));
        result = readProjectFile(path, design, sample.registry);
        QVERIFY(result.missingMarkers == 1 && result.volumsRead && design.volums.size() == 1);
        QCOMPARE(design.volums[0].getxSize(), std::numeric_limits<float>::max());
    }

    // A volum naming a material the project does not define has no material but keeps the name, so
    // that saving does not turn it into "(none)"; choosing a material forgets it.
    void missingMaterialKeepsItsName() {
        QString text = QString::fromLatin1(kSampleText);
        text.replace(QStringLiteral("gap\n1 1 1\n(none)\n"),
                     QStringLiteral("gap\n1 1 1\nUnobtainium\n"));
        MaterialsManager registry;
        ProjectDesign design;
        QVERIFY(readText(text, design, registry).volumsRead);
        Volum &gap = design.volums[1];
        QVERIFY(!gap.getMaterial());
        QCOMPARE(gap.getMissingMaterialName(), QStringLiteral("Unobtainium"));
        QCOMPARE(design.volums[0].getMissingMaterialName(), QString());
        QCOMPARE(writtenText(design, registry), text);

        gap.setMaterial(registry.getMaterial("Si"));
        gap.setMaterial(nullptr);
        QVERIFY(writtenText(design, registry).contains(QStringLiteral("gap\n1 1 1\n(none)\n-1\n")));
    }

    // A Latin-1 file keeps its names ("Métal" is not "Mètal") and is written back byte for byte; a
    // UTF-8 one likewise; also when the file is read in several pieces.
    void namesKeepTheFilesEncoding() {
        QTemporaryDir dir;
        for (const int variant : {0, 1, 2, 3}) {
            const bool latin1 = variant % 2 == 0, large = variant >= 2;
            QString text = QString::fromLatin1(kSampleText);
            if (large)
                text.replace(QStringLiteral("temp"),
                             QString(9000000, QLatin1Char('t')) + u'\u00e9');
            text.replace(QStringLiteral("Si"), QStringLiteral("M\u00e9tal"));
            text.replace(QStringLiteral("gap\n1 1 1\n(none)"),
                         QStringLiteral("gap\n1 1 1\nM\u00e8tal"));
            const QByteArray bytes = latin1 ? text.toLatin1() : text.toUtf8();
            const QString path = dir.filePath(QStringLiteral("names.txt"));
            QVERIFY(writeFile(path, bytes));
            ProjectDesign design;
            MaterialsManager registry;
            const ProjectReadResult result = readProjectFile(path, design, registry);
            QVERIFY(result.volumsRead && result.problems.isEmpty());
            QVERIFY(design.encoding == (latin1 ? TextEncoding::Latin1 : TextEncoding::Utf8));
            QCOMPARE(design.volums[0].getMaterial()->getName(), QStringLiteral("M\u00e9tal"));
            QVERIFY(!design.volums[1].getMaterial());
            QVERIFY(writeProjectFile(path, design, registry));
            QCOMPARE(readFile(path), bytes);
            // A character Latin-1 cannot hold turns the file into UTF-8 rather than into '?'.
            design.volums[1].setName(QStringLiteral("gap\u03a9"));
            QVERIFY(writeProjectFile(path, design, registry));
            QCOMPARE(readFile(path), QByteArray(bytes)
                                         .replace("gap", "gap\xce\xa9")
                                         .replace("M\xe9tal", "M\xc3\xa9tal")
                                         .replace("M\xe8tal", "M\xc3\xa8tal")
                                         .replace("t\xe9", "t\xc3\xa9"));
        }
    }

    // The fast number formatting of the large sections gives the stream's bytes: ties at the
    // seventh digit (rounded away from zero by the stream, to even by printf), -0, non-finite
    // values, denormals, and values of every magnitude as doubles and as widened floats.
    void numbersWrittenAsTheStreamWritesThem() {
        const double nan = std::numeric_limits<double>::quiet_NaN(),
                     inf = std::numeric_limits<double>::infinity();
        QList<double> values;
        values << 123456.5 << -123456.5 << 1234565.0 << 0.5 << 2.5e-5 << 1e-5 << 0.0001 << 999999.5
               << 100000.0 << 1e100 << -0.0 << 0.0 << 5e-324 << 2.2250738585072014e-308 << 1.7e308
               << nan << -inf << 0.1234565 << 6.02214076e23;
        quint64 state = 12345;
        for (int n = 0; n < 50000; ++n) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            const double mantissa = double(state >> 11) / double(1ULL << 53) * 10.0;
            const double value = (n % 2 ? -1 : 1) * mantissa * std::pow(10.0, (n % 41) - 20);
            values << value << double(float(value)) << std::round(value * 1e6) / 1e6;
        }
        QString stream;
        QByteArray fast;
        QTextStream out(&stream);
        setDesignNumberFormat(out);
        for (double value : values) {
            out << value << ' ';
            appendDesignReal(fast, value);
            fast += ' ';
        }
        out.flush();
        const QStringList a = stream.split(' '), b = QString::fromLatin1(fast).split(' ');
        QCOMPARE(b.size(), a.size());
        for (qsizetype n = 0; n < a.size(); ++n)
            QVERIFY2(a[n] == b[n], qPrintable(QStringLiteral("%1: %2, not %3")
                                                  .arg(values.value(n), 0, 'g', 17)
                                                  .arg(b[n], a[n])));
    }

    // The atoms are formatted in pieces: many pieces, and atoms of a material whose name alone is
    // longer than a piece, give the same text in a file as in a string, and read back whole.
    void atomsOverManyPiecesWriteTheSameToFileAndText() {
        Sample sample;
        Material *si = sample.registry.getMaterials()->first();
        si->setName(QString(100000, QLatin1Char('S')));
        QList<Atom> atoms;
        for (int n = 0; n < 20000; ++n)
            atoms.append(Atom(n * 0.1, -n * 1e-7, 1e9 + n, n % 1000 < 3 ? si : nullptr, false));
        sample.design.volums[0].setAtomsInfo(atoms);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("many.txt"));
        QVERIFY(writeProjectFile(path, sample.design, sample.registry));
        QCOMPARE(readFile(path), writtenText(sample.design, sample.registry).toUtf8());
        ProjectDesign design;
        MaterialsManager registry;
        QVERIFY(readProjectFile(path, design, registry).problems.isEmpty());
        QCOMPARE(design.volums[0].getAtoms().size(), atoms.size());
        QCOMPARE(design.volums[0].getAtoms()[1].getMaterial(), registry.getMaterials()->first());
        QCOMPARE(design.volums[0].getAtoms().last().getZ(), 1.00002e9);
    }
};

QTEST_GUILESS_MAIN(TestProjectFile)
#include "tst_projectfile.moc"
