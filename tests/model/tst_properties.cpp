#include "model/category.h"
#include "model/condition.h"
#include "model/property.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestProperties : public QObject {
    Q_OBJECT

private slots:
    void boolValueIsTrueOnlyForExactlyOne_data();
    void boolValueIsTrueOnlyForExactlyOne();
    void intValueTruncatesTowardZero_data();
    void intValueTruncatesTowardZero();
    void setValueKeepsTypeCode();
    void flattenedCountWalksConditions();
    void flattenedCountOfEdgeCases();
    void copiedCategoriesAreIndependent();
};

void TestProperties::boolValueIsTrueOnlyForExactlyOne_data() {
    QTest::addColumn<double>("stored");
    QTest::addColumn<bool>("expected");
    QTest::newRow("one") << 1.0 << true;
    QTest::newRow("zero") << 0.0 << false;
    QTest::newRow("two") << 2.0 << false;
    QTest::newRow("minus one") << -1.0 << false;
    QTest::newRow("almost one") << 0.9999999 << false;
    QTest::newRow("nan") << std::nan("") << false;
}

void TestProperties::boolValueIsTrueOnlyForExactlyOne() {
    QFETCH(double, stored);
    QFETCH(bool, expected);
    Property p(QStringLiteral("flag"), Property::Boolean, true, QString());
    p.setValue(stored);
    QCOMPARE(p.getBoolValue(), expected);
}

void TestProperties::intValueTruncatesTowardZero_data() {
    QTest::addColumn<double>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("2.9") << 2.9 << 2;
    QTest::newRow("-2.9") << -2.9 << -2;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("7.99") << 7.99 << 7;
    // Values a plain cast could not represent saturate instead of being undefined.
    QTest::newRow("huge") << 1e300 << std::numeric_limits<int>::max();
    QTest::newRow("-huge") << -1e300 << std::numeric_limits<int>::min();
    QTest::newRow("nan") << std::nan("") << 0;
}

void TestProperties::intValueTruncatesTowardZero() {
    QFETCH(double, stored);
    QFETCH(int, expected);
    const Property p(QStringLiteral("n"), Property::Real, stored, QString());
    QCOMPARE(p.getIntValue(), expected);
}

void TestProperties::setValueKeepsTypeCode() {
    Property p(QStringLiteral("choice"), Property::Choice, 2, QStringLiteral("help"));
    p.setValue(true);
    QCOMPARE(p.getType(), int(Property::Choice));
    QCOMPARE(p.getDoubleValue(), 1.0);
    p.setValue(5);
    QCOMPARE(p.getDoubleValue(), 5.0);
    // The overload follows the kind of value, not the type code.
    const Property asBool(QStringLiteral("b"), Property::Real, true, QString());
    QCOMPARE(asBool.getDoubleValue(), 1.0);
}

void TestProperties::flattenedCountWalksConditions() {
    // One boolean, then a choice whose two conditions hold one and two properties:
    // 1 + 1 + (1 + 1) + (1 + 2) = 7.
    Condition first(QStringLiteral("a"), true);
    first.addProperty(Property(QStringLiteral("a1"), Property::Real, 1.0, QString()));
    Condition second(QStringLiteral("b"), false);
    second.addProperty(Property(QStringLiteral("b1"), Property::Integer, 1, QString()));
    second.addProperty(Property(QStringLiteral("b2"), Property::Boolean, false, QString()));
    Property choice(QStringLiteral("mode"), Property::Choice, 2, QString());
    choice.addCondition(first);
    choice.addCondition(second);

    Category category(QStringLiteral("Solver settings"));
    category.addProperty(Property(QStringLiteral("on"), Property::Boolean, true, QString()));
    category.addProperty(choice);
    QCOMPARE(flattenedCount({category}), 7);

    // Conditions of a property that is not a choice are not walked.
    Category other(QStringLiteral("other"));
    other.addProperty(Property(QStringLiteral("x"), Property::Real, 0.0, QString()));
    other.getProperties().first().addCondition(first);
    QCOMPARE(flattenedCount({category, other}), 8);
}

void TestProperties::flattenedCountOfEdgeCases() {
    QCOMPARE(flattenedCount({}), 0);
    Category empty(QStringLiteral("Output"));
    QCOMPARE(flattenedCount({empty, empty}), 0);

    Category withChoice(QStringLiteral("c"));
    withChoice.addProperty(Property(QStringLiteral("none"), Property::Choice, 0, QString()));
    QCOMPARE(flattenedCount({withChoice}), 1);
    withChoice.getProperties().first().addCondition(Condition(QStringLiteral("bare"), true));
    QCOMPARE(flattenedCount({withChoice}), 2);
}

void TestProperties::copiedCategoriesAreIndependent() {
    Condition condition(QStringLiteral("alt"), true);
    condition.addProperty(Property(QStringLiteral("depth"), Property::Real, 3.0, QString()));
    Property choice(QStringLiteral("mode"), Property::Choice, 1, QString());
    choice.addCondition(condition);
    Category category(QStringLiteral("General"));
    category.addProperty(choice);
    const QList<Category> original = {category};

    QList<Category> copy = original;
    Property &copied = copy.first().getProperties().first();
    copied.getConditions().first().setActivated(false);
    copied.getConditions().first().getProperties().first().setValue(9.0);
    copied.setName(QStringLiteral("renamed"));

    const Property &kept = original.first().getProperties().first();
    QCOMPARE(kept.getName(), QStringLiteral("mode"));
    QVERIFY(kept.getConditions().first().isActivated());
    QCOMPARE(kept.getConditions().first().getProperties().first().getDoubleValue(), 3.0);
}

QTEST_GUILESS_MAIN(TestProperties)
#include "tst_properties.moc"
