#include "model/category.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestProperties : public QObject {
    Q_OBJECT

private slots:
    void storedValueReadBack_data();
    void storedValueReadBack();
    void flattenedCountWalksOnlyChoiceConditions();
};

void TestProperties::storedValueReadBack_data() {
    QTest::addColumn<double>("stored");
    QTest::addColumn<bool>("asBool");
    QTest::addColumn<int>("asInt");
    QTest::newRow("one") << 1.0 << true << 1;
    QTest::newRow("two") << 2.0 << false << 2;
    QTest::newRow("almost one") << 0.9999999 << false << 0;
    QTest::newRow("-2.9 truncates") << -2.9 << false << -2;
    // Values a plain cast could not represent saturate instead of being undefined.
    QTest::newRow("huge") << 1e300 << false << std::numeric_limits<int>::max();
    QTest::newRow("-huge") << -1e300 << false << std::numeric_limits<int>::min();
    QTest::newRow("nan") << std::nan("") << false << 0;
}

void TestProperties::storedValueReadBack() {
    QFETCH(double, stored);
    QFETCH(bool, asBool);
    QFETCH(int, asInt);
    Property p(QStringLiteral("p"), Property::Boolean, true, QString());
    p.setValue(stored);
    QCOMPARE(p.getType(), int(Property::Boolean));
    QCOMPARE(p.getBoolValue(), asBool);
    QCOMPARE(p.getIntValue(), asInt);
}

void TestProperties::flattenedCountWalksOnlyChoiceConditions() {
    // A choice counts 1, each of its conditions 1 plus its properties; conditions hung on a
    // property that is not a choice are not walked. The shipped catalogues check the rest.
    Condition two(QStringLiteral("b"), false);
    two.addProperty(Property("b1", Property::Integer, 1, QString()));
    two.addProperty(Property("b2", Property::Boolean, false, QString()));
    Category edge(QStringLiteral("edge"));
    edge.addProperty(Property("none", Property::Choice, 0, QString()));
    QCOMPARE(flattenedCount({edge}), 1);
    edge.getProperties().first().addCondition(Condition("bare", true));
    edge.getProperties().first().addCondition(two);
    edge.addProperty(Property("x", Property::Real, 0.0, QString()));
    edge.getProperties().last().addCondition(two);
    QCOMPARE(flattenedCount({edge, Category("Output")}), 1 + 1 + 3 + 1);
    QCOMPARE(flattenedCount({}), 0);
}

QTEST_GUILESS_MAIN(TestProperties)
#include "tst_properties.moc"
