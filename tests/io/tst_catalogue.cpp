#include "io/catalogue.h"
#include "io/categoryblock.h"
#include "messagelog.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

QList<Category> parse(QString text, qint64 count, ForeignTypes foreign = ForeignTypes::Report) {
    QTextStream in(&text);
    return readCategoryBlocks(in, count, foreign);
}

QString written(const QList<Category> &categories) {
    QString text;
    QTextStream out(&text);
    writeCategoryBlocks(out, categories);
    out.flush();
    return text;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void readsHeadersEntriesAndConditions();
    void foreignTypesAreReportedOrSkipped();
    void roundTripKeepsEverythingToSixDigits();
    void writerKeepsTheTextReadable();
    void countsNeverRunPastTheData_data();
    void countsNeverRunPastTheData();
    void catalogueFiles();
};

void TestCatalogue::readsHeadersEntriesAndConditions() {
    const QList<Category> c = parse(QStringLiteral("0 Output\n"
                                                   "3\n"
                                                   "on 0 5 switch it on\n"
                                                   "steps 1 abc\n"
                                                   "gap 3 1.5e-9   band gap  \n"
                                                   "2 Grid and mesh settings \n"
                                                   "none 4 0 nothing to choose\n"
                                                   "mode 4 2 pick one\n"
                                                   "first 1 1\n"
                                                   "depth 2 3.5 metres\n"
                                                   "second 0 0\n"),
                                    3);
    QCOMPARE(c.size(), 3);
    QCOMPARE(c[0].getName(), QStringLiteral("Output"));
    QVERIFY(c[0].getProperties().isEmpty());
    QCOMPARE(c[1].getName(), QString());
    const QList<Property> &p = c[1].getProperties();
    QCOMPARE(p.size(), 3);
    QVERIFY(p[0].getBoolValue()); // 5 reads as true
    QCOMPARE(p[0].getHelp(), QStringLiteral("switch it on"));
    QCOMPARE(p[1].getIntValue(), 0); // not a number: 0, and the word becomes the help
    QCOMPARE(p[1].getHelp(), QStringLiteral("abc"));
    QCOMPARE(p[2].getDoubleValue(), 1.5e-9);
    QCOMPARE(p[2].getHelp(), QStringLiteral("band gap"));
    QVERIFY(written({c[1]}).startsWith(QStringLiteral("3 \non 0 1 switch it on\n")));

    QCOMPARE(c[2].getName(), QStringLiteral("Grid and mesh settings"));
    const Property &none = c[2].getProperties()[0];
    QCOMPARE(none.getDoubleValue(), 0.0);
    QVERIFY(none.getConditions().isEmpty());
    const Property &mode = c[2].getProperties()[1];
    QCOMPARE(mode.getIntValue(), 2);
    QCOMPARE(mode.getConditions().size(), 2);
    QVERIFY(mode.getConditions()[0].isActivated());
    QVERIFY(!mode.getConditions()[1].isActivated());
    QCOMPARE(mode.getConditions()[0].getProperties()[0].getDoubleValue(), 3.5);
}

void TestCatalogue::foreignTypesAreReportedOrSkipped() {
    // A foreign code adds nothing and the reader goes on where the stream stands, so the rest
    // of the foreign entry is read as further entries. A choice inside a condition is foreign.
    const QString text = QStringLiteral("3 Cat\n"
                                        "weird 7 1 ignored\n"
                                        "mode 4 1 help\n"
                                        "only 2 1\n"
                                        "inner 4 0\n"
                                        "v 2 2.5 after\n");
    for (ForeignTypes foreign : {ForeignTypes::Report, ForeignTypes::Skip}) {
        MessageLog log;
        const QList<Property> p = parse(text, 1, foreign)[0].getProperties();
        QCOMPARE(log.count(QStringLiteral("Unexpected type of propertie")),
                 foreign == ForeignTypes::Report ? 2 : 0);
        QCOMPARE(p.size(), 2);
        QCOMPARE(p[0].getName(), QStringLiteral("1"));
        QCOMPARE(p[0].getHelp(), QStringLiteral("ignored"));
        QCOMPARE(p[1].getConditions()[0].getProperties().size(), 1);
        QCOMPARE(p[1].getConditions()[0].getProperties()[0].getName(), QStringLiteral("0"));
    }
}

void TestCatalogue::roundTripKeepsEverythingToSixDigits() {
    Condition a(QStringLiteral("wide"), true);
    a.addProperty(Property(QStringLiteral("w"), Property::Real, 1.234567891, QStringLiteral("w")));
    a.addProperty(Property(QStringLiteral("n"), Property::Integer, -4, QString()));
    Property choice(QStringLiteral("mode"), Property::Choice, 2, QStringLiteral("pick"));
    choice.addCondition(a);
    choice.addCondition(Condition(QStringLiteral("narrow"), false));
    Category general(QStringLiteral("General settings"));
    general.addProperty(Property(QStringLiteral("on"), Property::Boolean, true, QString()));
    general.addProperty(Property(QStringLiteral("big"), Property::RealExponent, 6.02214076e23,
                                 QStringLiteral("Avogadro's number")));
    general.addProperty(Property(QStringLiteral("small"), Property::Real, -1e-9, QString()));
    general.addProperty(choice);
    const QList<Category> original = {general, Category(QStringLiteral("Empty"))};

    const QString text = written(original);
    QCOMPARE(text.section(QLatin1Char('\n'), 2, 3),
             QStringLiteral("big 3 6.02214e+23 Avogadro's number\nsmall 2 -1e-09 "));
    QList<Category> expected = original;
    expected[0].getProperties()[1].setValue(6.02214e23);
    expected[0].getProperties()[3].getConditions()[0].getProperties()[0].setValue(1.23457);
    QCOMPARE(parse(text, 2), expected);

    // Whatever the user's locale, the decimal separator is a point.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(written(original), text);
    QCOMPARE(parse(text, 2), expected);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QCOMPARE(written(original), text);
    QLocale::setDefault(saved);
}

void TestCatalogue::writerKeepsTheTextReadable() {
    // Names with blanks, line breaks in texts, a choice whose value disagrees with its
    // conditions and properties of foreign types must not shift what follows.
    Condition c(QStringLiteral("two words"), true);
    c.addProperty(Property(QStringLiteral("nested"), Property::Choice, 0, QString()));
    c.addProperty(Property(QStringLiteral("kept"), Property::Real, 2.0, QString()));
    Property choice(QStringLiteral("mode"), Property::Choice, 5, QStringLiteral("line\nbreak"));
    choice.addCondition(c);
    Category category(QStringLiteral("Multi\nline"));
    category.addProperty(Property(QStringLiteral("odd"), 9, 1.0, QString()));
    category.addProperty(choice);
    category.addProperty(Property(QStringLiteral("my name"), Property::Integer, 3, QString()));
    Category next(QStringLiteral("Next"));
    next.addProperty(Property(QStringLiteral("z"), Property::Real, 1.0, QString()));

    const QList<Category> back = parse(written({category, next}), 2);
    QCOMPARE(back.size(), 2);
    QCOMPARE(back[0].getName(), QStringLiteral("Multi line"));
    const QList<Property> &p = back[0].getProperties();
    QCOMPARE(p.size(), 2);
    QCOMPARE(p[0].getIntValue(), 1);
    QCOMPARE(p[0].getHelp(), QStringLiteral("line break"));
    QCOMPARE(p[0].getConditions()[0].getName(), QStringLiteral("two_words"));
    QCOMPARE(p[0].getConditions()[0].getProperties().size(), 1);
    QCOMPARE(p[1].getName(), QStringLiteral("my_name"));
    QCOMPARE(back[1].getProperties().size(), 1);
}

void TestCatalogue::countsNeverRunPastTheData_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<int>("categories");
    QTest::addColumn<int>("properties"); // of the last category
    QTest::newRow("huge category count")
        << QStringLiteral("1 A\nx 0 1\n1 B\ny 1 2\n\n  \n") << qint64(2000000000) << 2 << 1;
    QTest::newRow("huge property count")
        << QStringLiteral("2000000000 A\nx 0 1\ny 1 2\n") << qint64(1) << 1 << 2;
    QTest::newRow("huge condition count")
        << QStringLiteral("1 A\nmode 4 2000000000 h\nc1 0 1\nc2 2000000000 0\nx 0 1\n") << qint64(1)
        << 1 << 1;
    QTest::newRow("truncated entry") << QStringLiteral("2 A\nx 2") << qint64(3) << 1 << 1;
    QTest::newRow("header not a number")
        << QStringLiteral("two Broken\n1 Fine\nv 2 1\n") << qint64(2) << 2 << 1;
    QTest::newRow("empty text") << QString() << qint64(5) << 0 << 0;
    QTest::newRow("negative counts") << QStringLiteral("-4 A\n") << qint64(-1) << 0 << 0;
}

void TestCatalogue::countsNeverRunPastTheData() {
    QFETCH(QString, text);
    QFETCH(qint64, count);
    QFETCH(int, categories);
    QFETCH(int, properties);
    QElapsedTimer timer;
    timer.start();
    const QList<Category> c = parse(text, count);
    QCOMPARE(c.size(), categories);
    if (categories > 0)
        QCOMPARE(c.last().getProperties().size(), properties);
    const QList<Property> &last = c.isEmpty() ? QList<Property>() : c.last().getProperties();
    if (!last.isEmpty() && last.first().getType() == Property::Choice)
        QCOMPARE(last.first().getIntValue(), int(last.first().getConditions().size()));
    QVERIFY(timer.elapsed() < 10000);
}

void TestCatalogue::catalogueFiles() {
    QTemporaryDir dir;
    const QString general = dir.filePath(QStringLiteral("properties.txt"));
    const QString volum = dir.filePath(QStringLiteral("volum_properties.txt"));
    QFile g(general), v(volum);
    QVERIFY(g.open(QIODevice::WriteOnly) && v.open(QIODevice::WriteOnly));
    g.write("-1\r\n2\r\n1 General\r\nT 2 300 temperature\r\n0 Output\r\n");
    v.write("1\n1 Doping\nNd 3 1e+18 donors\n");
    g.close();
    v.close();

    GeneralCatalogue catalogue;
    catalogue.categories.append(Category(QStringLiteral("stale")));
    QVERIFY(readGeneralCatalogue(general, catalogue));
    QVERIFY(readGeneralCatalogue(general, catalogue)); // read twice, still one copy
    QCOMPARE(catalogue.version, -1);
    QCOMPARE(catalogue.categories.size(), 2);
    QCOMPARE(catalogue.categories[0].getProperties()[0].getHelp(), QStringLiteral("temperature"));
    QCOMPARE(catalogue.categories[1].getName(), QStringLiteral("Output"));

    QList<Category> defaults;
    QVERIFY(readVolumCatalogue(volum, defaults));
    QVERIFY(readVolumCatalogue(volum, defaults)); // appends
    QCOMPARE(defaults.size(), 2);
    QCOMPARE(defaults[1].getProperties()[0].getDoubleValue(), 1e18);

    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    QVERIFY(!readGeneralCatalogue(missing, catalogue));
    QCOMPARE(catalogue.version, -1);
    QVERIFY(!readVolumCatalogue(missing, defaults));
    QCOMPARE(defaults.size(), 2);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
