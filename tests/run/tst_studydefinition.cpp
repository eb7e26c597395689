// The values of a study and how they combine into points.

#include "run/studydefinition.h"

#include <QTest>

class TestStudyDefinition : public QObject {
    Q_OBJECT

private slots:
    void values_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("values"); // empty: refused
        QTest::newRow("list with commas and blanks") << "1, 2 ,5" << QStringList{"1", "2", "5"};
        QTest::newRow("choice names") << "Dirac Schrodinger" << QStringList{"Dirac", "Schrodinger"};
        QTest::newRow("range reaches its end despite rounding")
            << "0:0.1:0.3" << QStringList{"0", "0.1", "0.2", "0.3"};
        QTest::newRow("descending range") << "1:-0.5:0" << QStringList{"1", "0.5", "0"};
        QTest::newRow("end between steps") << "0:2:5" << QStringList{"0", "2", "4"};
        QTest::newRow("zero step") << "1:0:5" << QStringList{};
        QTest::newRow("step away from the end") << "5:1:1" << QStringList{};
        QTest::newRow("too many values") << "0:1:20000" << QStringList{};
        QTest::newRow("not numbers") << "a:b:c" << QStringList{};
        QTest::newRow("two colons missing") << "1:2" << QStringList{};
        QTest::newRow("nothing") << "  " << QStringList{};
    }
    void values() {
        QFETCH(QString, text);
        QFETCH(QStringList, values);
        QStringList read;
        QString error;
        QCOMPARE(StudyDefinition::parseValues(text, &read, &error), !values.isEmpty());
        QCOMPARE(read.isEmpty() ? QStringList{} : read, values);
        QCOMPARE(error.isEmpty(), !values.isEmpty());
    }

    void pointsCombineOrPair() {
        StudyDefinition d;
        d.settings << StudySetting{"general/A", {"1", "2"}}
                   << StudySetting{"general/B", {"x", "y"}};
        QList<QStringList> points;
        QString error;
        QVERIFY(d.points(&points, &error));
        QCOMPARE(points, (QList<QStringList>{{"1", "x"}, {"1", "y"}, {"2", "x"}, {"2", "y"}}));
        d.paired = true;
        QVERIFY(d.points(&points, &error));
        QCOMPARE(points, (QList<QStringList>{{"1", "x"}, {"2", "y"}}));
        d.settings[1].values << "z";
        QVERIFY(!d.points(&points, &error));
        QVERIFY(error.contains("differ in length"));
        d.paired = false;
        d.settings[0].values = QStringList(200, "1");
        d.settings[1].values = QStringList(100, "x");
        QVERIFY(!d.points(&points, &error)); // 20000 points
    }
};

QTEST_GUILESS_MAIN(TestStudyDefinition)
#include "tst_studydefinition.moc"
