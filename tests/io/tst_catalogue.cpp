#include "io/catalogue.h"
#include "io/categoryblock.h"
#include "iotest.h"

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
    void readsEntriesConditionsAndForeignCodes_data() {
        QTest::addColumn<int>("foreign");
        QTest::addColumn<int>("reported");
        QTest::newRow("catalogue reports") << int(ForeignTypes::Report) << 2;
        QTest::newRow("project skips") << int(ForeignTypes::Skip) << 0;
    }
    void readsEntriesConditionsAndForeignCodes() {
        QFETCH(int, foreign);
        QFETCH(int, reported);
        // An unnamed header; a value that is no number reads 0 and the word starts the help. Code
        // 7, and a choice inside a condition, take their slot and add nothing; the reader goes on
        // where the stream stands, so "1 ignored" is read as the next entry.
        MessageLog log;
        const QList<Category> c =
            parse(QStringLiteral("0 Output\n5\non 0 5 switch it on\nsteps 1 abc\n"
                                 "gap 3 1.5e-9   band gap  \nweird 7 1 ignored\n"
                                 "1 Grid and mesh \nmode 4 2 pick one\nfirst 2 1\ninner 4\n"
                                 "depth 2 3.5 metres\nsecond 0 0\n"),
                  3, ForeignTypes(foreign));
        QCOMPARE(log.count(QStringLiteral("Unexpected type of propertie")), reported);
        // Written back: what was read, in order, with the values as stored.
        QCOMPARE(written(c), QStringLiteral("0 Output\n4 \non 0 1 switch it on\nsteps 1 0 abc\n"
                                            "gap 3 1.5e-09 band gap\n1 0 0 ignored\n"
                                            "1 Grid and mesh\nmode 4 2 pick one\nfirst 1 1\n"
                                            "depth 2 3.5 metres\nsecond 0 0\n"));
    }

    void writtenNamesAndTextsReadBackInPlace() {
        // Blanks in names, line breaks in texts, a choice value that disagrees with its conditions
        // and foreign types must not shift what follows.
        Condition c(QStringLiteral("two words"), true);
        c.addProperty(Property("nested", Property::Choice, 0, QString()));
        c.addProperty(Property("kept", Property::Real, 2.0, QString()));
        Property choice(QStringLiteral("mode"), Property::Choice, 5, QStringLiteral("line\nbreak"));
        choice.addCondition(c);
        Category category(QStringLiteral("Multi\nline"));
        category.addProperty(Property("odd", 9, 1.0, QString()));
        category.addProperty(choice);
        category.addProperty(Property("my name", Property::Integer, 3, QString()));
        Category next(QStringLiteral("Next"));
        next.addProperty(Property("z", Property::Real, 1.0, QString()));

        const QString text = written({category, next});
        QCOMPARE(text, QStringLiteral("2 Multi line\nmode 4 1 line break\ntwo_words 1 1\n"
                                      "kept 2 2 \nmy_name 1 3 \n1 Next\nz 2 1 \n"));
        QCOMPARE(written(parse(text, 2)), text);
    }

    void countsNeverRunPastTheData_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<int>("categories");
        QTest::addColumn<int>("properties"); // of the last category
        QTest::newRow("huge category count") << "1 A\nx 0 1\n1 B\ny 1 2\n\n  \n"
                                             << 2000000000LL << 2 << 1;
        QTest::newRow("huge property count") << "2000000000 A\nx 0 1\ny 1 2\n" << 1LL << 1 << 2;
        QTest::newRow("huge condition count")
            << "1 A\nmode 4 2000000000 h\nc1 0 1\nc2 2000000000 0\nx 0 1\n"
            << 1LL << 1 << 1;
        QTest::newRow("truncated entry") << "2 A\nx 2" << 3LL << 1 << 1;
        QTest::newRow("header not a number") << "two Broken\n1 Fine\nv 2 1\n" << 2LL << 2 << 1;
        QTest::newRow("negative counts") << "-4 A\n" << -1LL << 0 << 0;
    }
    void countsNeverRunPastTheData() {
        QFETCH(QString, text);
        QFETCH(qint64, count);
        QFETCH(int, categories);
        QFETCH(int, properties);
        const QList<Category> c = parse(text, count);
        QCOMPARE(c.size(), categories);
        if (categories > 0)
            QCOMPARE(c.last().getProperties().size(), properties);
    }

    void catalogueFilesReplaceOrAppend() {
        QTemporaryDir dir;
        const QString general = dir.filePath("properties.txt");
        const QString volum = dir.filePath("volum_properties.txt");
        QVERIFY(writeFile(general, "-1\r\n2\r\n1 General\r\nT 2 300 temperature\r\n0 Output\r\n"));
        QVERIFY(writeFile(volum, "1\n1 Doping\nNd 3 1e+18 donors\n"));

        GeneralCatalogue catalogue;
        catalogue.categories.append(Category("stale"));
        QVERIFY(readGeneralCatalogue(general, catalogue));
        QVERIFY(readGeneralCatalogue(general, catalogue)); // replaces
        QCOMPARE(catalogue.version, -1);
        QCOMPARE(catalogue.categories.size(), 2);
        QCOMPARE(catalogue.categories[0].getProperties()[0].getHelp(),
                 QStringLiteral("temperature"));
        QList<Category> defaults;
        QVERIFY(readVolumCatalogue(volum, defaults));
        QVERIFY(readVolumCatalogue(volum, defaults)); // appends
        QCOMPARE(defaults.size(), 2);
        QCOMPARE(defaults[1].getProperties()[0].getDoubleValue(), 1e18);

        const QString missing = dir.filePath("missing.txt");
        QVERIFY(!readGeneralCatalogue(missing, catalogue) &&
                !readVolumCatalogue(missing, defaults));
        QVERIFY(catalogue.version == -1 && defaults.size() == 2);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
