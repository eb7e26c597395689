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

bool writeFile(const QString &path, const QByteArray &content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void headersAndEntries();
    void choiceEntries();
    void foreignTypesAreReportedOrSkipped();
    void roundTripKeepsEverythingToSixDigits();
    void writerKeepsTheFileReadable();
    void countsNeverRunPastTheData_data();
    void countsNeverRunPastTheData();
    void nonNumericTokensReadAsZero();
    void decimalPointIgnoresLocale();
    void catalogueFiles();
};

void TestCatalogue::headersAndEntries() {
    const QList<Category> c = parse(QStringLiteral("0 Output\n"
                                                   "3\n"
                                                   "on 0 5 switch it on\n"
                                                   "steps 1 250\n"
                                                   "gap 3 1.5e-9   band gap  \n"
                                                   "2 Grid and mesh settings \n"
                                                   "a 2 0.5 a\n"
                                                   "b 0 0 b\n"),
                                    3);
    QCOMPARE(c.size(), 3);
    QCOMPARE(c[0].getName(), QStringLiteral("Output"));
    QVERIFY(c[0].getProperties().isEmpty());
    QCOMPARE(c[1].getName(), QString());
    QCOMPARE(c[1].getProperties().size(), 3);
    const Property &on = c[1].getProperties()[0];
    QVERIFY(on.getBoolValue()); // written 5, read as true
    QCOMPARE(on.getHelp(), QStringLiteral("switch it on"));
    QCOMPARE(c[1].getProperties()[1].getIntValue(), 250);
    QCOMPARE(c[1].getProperties()[1].getHelp(), QString());
    QCOMPARE(c[1].getProperties()[2].getType(), 3);
    QCOMPARE(c[1].getProperties()[2].getDoubleValue(), 1.5e-9);
    QCOMPARE(c[1].getProperties()[2].getHelp(), QStringLiteral("band gap"));
    QCOMPARE(c[2].getName(), QStringLiteral("Grid and mesh settings"));

    // The boolean read from 5 is written back as 1.
    QVERIFY(written({c[1]}).contains(QStringLiteral("\non 0 1 switch it on\n")));
}

void TestCatalogue::choiceEntries() {
    const QList<Category> c = parse(QStringLiteral("2 Solver\n"
                                                   "none 4 0 nothing to choose\n"
                                                   "mode 4 2 pick one\n"
                                                   "first 1 1\n"
                                                   "depth 2 3.5 metres\n"
                                                   "second 0 0\n"),
                                    1);
    QCOMPARE(c.size(), 1);
    const Property &none = c[0].getProperties()[0];
    QCOMPARE(none.getType(), 4);
    QCOMPARE(none.getDoubleValue(), 0.0);
    QVERIFY(none.getConditions().isEmpty());
    const Property &mode = c[0].getProperties()[1];
    QCOMPARE(mode.getIntValue(), 2);
    QCOMPARE(mode.getConditions().size(), 2);
    QVERIFY(mode.getConditions()[0].isActivated());
    QVERIFY(!mode.getConditions()[1].isActivated());
    QCOMPARE(mode.getConditions()[0].getProperties()[0].getDoubleValue(), 3.5);
    QCOMPARE(mode.getConditions()[1].getPropertiesCount(), 0);
}

void TestCatalogue::foreignTypesAreReportedOrSkipped() {
    // A foreign code adds nothing and the reader goes on where the stream stands, so the rest
    // of the foreign entry is read as further entries. A choice inside a condition is foreign.
    const QString text = QStringLiteral("3 Cat\n"
                                        "weird 7 1 ignored\n"
                                        "mode 4 1 help\n"
                                        "only 2 1\n"
                                        "inner 4 0\n"
                                        "v 2 2.5 after\n"
                                        "last 1 3 end\n");
    {
        MessageLog log;
        const QList<Category> c = parse(text, 1, ForeignTypes::Report);
        QCOMPARE(log.count(QStringLiteral("Unexpected type of propertie")), 2);
        const QList<Property> &p = c[0].getProperties();
        // "weird" adds nothing but counts; the reader goes on at "1 ignored".
        QCOMPARE(p.size(), 2);
        QCOMPARE(p[0].getName(), QStringLiteral("1"));
        QCOMPARE(p[1].getName(), QStringLiteral("mode"));
        QCOMPARE(p[1].getConditions().size(), 1);
        QCOMPARE(p[1].getConditions()[0].getProperties().size(), 1);
        QCOMPARE(p[1].getConditions()[0].getProperties()[0].getName(), QStringLiteral("0"));
    }
    {
        MessageLog log;
        const QList<Category> c = parse(text, 1, ForeignTypes::Skip);
        QCOMPARE(log.count(QStringLiteral("Unexpected type of propertie")), 0);
        QCOMPARE(c[0].getProperties().size(), 2);
    }
}

void TestCatalogue::roundTripKeepsEverythingToSixDigits() {
    Condition a(QStringLiteral("wide"), true);
    a.addProperty(Property(QStringLiteral("w"), Property::Real, 1.234567891, QStringLiteral("w")));
    a.addProperty(Property(QStringLiteral("n"), Property::Integer, -4, QString()));
    Condition b(QStringLiteral("narrow"), false);
    Property choice(QStringLiteral("mode"), Property::Choice, 2, QStringLiteral("pick"));
    choice.addCondition(a);
    choice.addCondition(b);
    Category general(QStringLiteral("General settings"));
    general.addProperty(Property(QStringLiteral("on"), Property::Boolean, true, QString()));
    general.addProperty(Property(QStringLiteral("big"), Property::RealExponent, 6.02214076e23,
                                 QStringLiteral("Avogadro's number")));
    general.addProperty(Property(QStringLiteral("small"), Property::Real, -1e-9, QString()));
    general.addProperty(choice);
    const QList<Category> original = {general, Category(QStringLiteral("Empty"))};

    const QString text = written(original);
    QCOMPARE(text.section(QLatin1Char('\n'), 2, 2),
             QStringLiteral("big 3 6.02214e+23 Avogadro's number"));
    QCOMPARE(text.section(QLatin1Char('\n'), 3, 3), QStringLiteral("small 2 -1e-09 "));
    const QList<Category> back = parse(text, 2);

    QList<Category> expected = original;
    expected[0].getProperties()[1].setValue(6.02214e23);
    expected[0].getProperties()[3].getConditions()[0].getProperties()[0].setValue(1.23457);
    QCOMPARE(back, expected);
}

void TestCatalogue::writerKeepsTheFileReadable() {
    // Names with blanks, line breaks in texts, a choice whose value disagrees with its
    // conditions and properties of foreign types must not desynchronise what follows.
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
    QCOMPARE(back[1].getName(), QStringLiteral("Next"));
    QCOMPARE(back[1].getProperties().size(), 1);
}

void TestCatalogue::countsNeverRunPastTheData_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<int>("categories");
    QTest::addColumn<int>("properties"); // of the last category
    QTest::newRow("huge category count")
        << QStringLiteral("1 A\nx 0 1\n1 B\ny 1 2\n") << qint64(2000000000) << 2 << 1;
    QTest::newRow("huge property count")
        << QStringLiteral("2000000000 A\nx 0 1\ny 1 2\n") << qint64(1) << 1 << 2;
    QTest::newRow("huge condition count")
        << QStringLiteral("1 A\nmode 4 2000000000 h\nc1 0 1\nc2 2000000000 0\nx 0 1\n") << qint64(1)
        << 1 << 1;
    QTest::newRow("truncated entry") << QStringLiteral("2 A\nx 2") << qint64(3) << 1 << 1;
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
    QVERIFY(timer.elapsed() < 10000);
}

void TestCatalogue::nonNumericTokensReadAsZero() {
    const QList<Category> c = parse(QStringLiteral("two Broken header\n1 Fine\nv 2 abc help\n"), 2);
    QCOMPARE(c.size(), 2);
    QCOMPARE(c[0].getName(), QStringLiteral("two Broken header"));
    QVERIFY(c[0].getProperties().isEmpty());
    QCOMPARE(c[1].getProperties()[0].getDoubleValue(), 0.0);
    QCOMPARE(c[1].getProperties()[0].getHelp(), QStringLiteral("abc help"));
}

void TestCatalogue::decimalPointIgnoresLocale() {
    const QLocale saved;
    for (const QLocale &locale : {QLocale(QLocale::German), QLocale(QLocale::French)}) {
        QLocale::setDefault(locale);
        Category category(QStringLiteral("C"));
        category.addProperty(Property(QStringLiteral("r"), Property::Real, 1234.5, QString()));
        const QString text = written({category});
        QVERIFY2(text.contains(QStringLiteral("r 2 1234.5 \n")), qPrintable(text));
        QCOMPARE(parse(text, 1)[0].getProperties()[0].getDoubleValue(), 1234.5);
    }
    QLocale::setDefault(saved);
}

void TestCatalogue::catalogueFiles() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString general = dir.filePath(QStringLiteral("properties.txt"));
    const QString volum = dir.filePath(QStringLiteral("volum_properties.txt"));
    QVERIFY(writeFile(general, "-1\r\n2\r\n1 General\r\nT 2 300 temperature\r\n0 Output\r\n"));
    QVERIFY(writeFile(volum, "1\n1 Doping\nNd 3 1e+18 donors\n"));

    GeneralCatalogue catalogue;
    catalogue.categories.append(Category(QStringLiteral("stale")));
    QVERIFY(readGeneralCatalogue(general, catalogue));
    QVERIFY(readGeneralCatalogue(general, catalogue)); // read twice, still one copy
    QCOMPARE(catalogue.version, -1);
    QCOMPARE(catalogue.categories.size(), 2);
    QCOMPARE(catalogue.categories[0].getName(), QStringLiteral("General"));
    QCOMPARE(catalogue.categories[0].getProperties()[0].getHelp(), QStringLiteral("temperature"));
    QCOMPARE(catalogue.categories[1].getName(), QStringLiteral("Output"));

    QList<Category> defaults;
    QVERIFY(readVolumCatalogue(volum, defaults));
    QVERIFY(readVolumCatalogue(volum, defaults)); // appends
    QCOMPARE(defaults.size(), 2);
    QCOMPARE(defaults[1].getProperties()[0].getDoubleValue(), 1e18);

    GeneralCatalogue untouched;
    untouched.version = 7;
    QVERIFY(!readGeneralCatalogue(dir.filePath(QStringLiteral("missing.txt")), untouched));
    QCOMPARE(untouched.version, 7);
    QVERIFY(!readVolumCatalogue(dir.filePath(QStringLiteral("missing.txt")), defaults));
    QCOMPARE(defaults.size(), 2);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
