// The checker's message lines, checked against what a Fortran list-directed write gives for the
// same items (tests/checker/data/listdirected.txt, made with gfortran), and the tolerant division.

#include "checker/comprova_state.h"
#include "checker/listline.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

using namespace comprova;

namespace {

QByteArray verdict() {
    const std::string &text = state().text;
    return QByteArray(text.data(), static_cast<int>(text.size()));
}

QByteArray trimmedVerdict() {
    QByteArray v = verdict();
    while (v.endsWith(' '))
        v.chop(1);
    return v;
}

std::string padName(const char *name) {
    std::string s(name);
    s.resize(kNameWidth, ' ');
    return s;
}

} // namespace

class TestMessages : public QObject {
    Q_OBJECT

private slots:
    void init();

    void catalogueLines_data();
    void catalogueLines();
    void realItems_data();
    void realItems();
    void lineFormation();
    void specialCodes();
    void namesOutsideTablesAreBlank();

    void flooracuracyCountsNearWholeQuotients_data();
    void flooracuracyCountsNearWholeQuotients();
    void flooracuracyOverflowLeavesCountAlone();
    void floorOfUnrepresentableValues_data();
    void floorOfUnrepresentableValues();
};

void TestMessages::init() {
    State &st = state();
    st.text.assign(kVerdictLength, ' ');
    st.alloc_status = 0;
    st.volum_names.assign(101, std::string(kNameWidth, ' '));
    st.volum_names[3] = padName("SOURCE");
    st.volum_names[4] = padName("DRAIN_CONTACT_ABCDEF");
    st.material_names.clear();
    st.material_names[3] = padName("Silicon");
    st.material_names[4] = padName("GaAs");
}

// Cases of the reference file, split at tabs: {kind, fields...}.
QList<QList<QByteArray>> referenceCases(const QByteArray &kind) {
    QFile file(QStringLiteral(KARVENO_SOURCE_DIR "/tests/checker/data/listdirected.txt"));
    QList<QList<QByteArray>> cases;
    if (!file.open(QIODevice::ReadOnly))
        return cases;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() >= 3 && fields.first() == kind)
            cases.append(fields.mid(1));
    }
    return cases;
}

void TestMessages::catalogueLines_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("expected");
    const QList<QList<QByteArray>> cases = referenceCases("line");
    QVERIFY(cases.size() > 70);
    for (const QList<QByteArray> &c : cases)
        QTest::newRow(c[0].constData()) << c[0].toInt() << c[1];
}

void TestMessages::catalogueLines() {
    QFETCH(int, code);
    QFETCH(QByteArray, expected);
    message(code, 3, 4, 1.5e-15f, 2.0e-9f);
    QCOMPARE(verdict().size(), kVerdictLength);
    QCOMPARE(trimmedVerdict(), expected);
}

void TestMessages::realItems_data() {
    QTest::addColumn<quint32>("bits");
    QTest::addColumn<QByteArray>("expected");
    const QList<QList<QByteArray>> cases = referenceCases("real");
    QVERIFY(cases.size() > 30);
    for (const QList<QByteArray> &c : cases) {
        if (c.size() == 3)
            QTest::newRow(c[1].constData()) << quint32(c[0].toUInt(nullptr, 16)) << c[2];
    }
}

void TestMessages::realItems() {
    QFETCH(quint32, bits);
    QFETCH(QByteArray, expected);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    QCOMPARE(QByteArray::fromStdString(formatReal(value)), expected);
}

void TestMessages::lineFormation() {
    // The example line of the catalogue.
    message(1002, 1234, 1000);
    QCOMPARE(trimmedVerdict(),
             QByteArray(" KARVENO ERROR [        1002 ] NUMBER OF PARAMETERS      "
                        "   1234  LARGER THAN        1000"));
    // A number first: only the leading blank before it; adjacent texts join.
    QCOMPARE(ListLine().integer(5).text("X").str(), std::string("           5 X"));
    QCOMPARE(ListLine().real(1.0f).real(2.0f).text("B").text("C").integer(-2147483647 - 1).str(),
             std::string("   1.00000000       2.00000000     BC -2147483648"));
    QCOMPARE(ListLine().text(std::string(400, 'x')).padded(299).size(), std::size_t(299));
}

void TestMessages::specialCodes() {
    message(10000);
    QCOMPARE(trimmedVerdict(), QByteArray(" [OK] SIMULATION DESIGN FREE FROM ERRORS"));
    QCOMPARE(verdict().size(), kVerdictLength);

    // 3013 to 3015 blank the text: the run goes on as if nothing had been reported.
    message(1001, 7);
    message(3014);
    QVERIFY(noError());

    // The allocation check leaves the text alone after a successful allocation ...
    message(1001, 7);
    const QByteArray before = verdict();
    state().alloc_status = 0;
    message(12001);
    QCOMPARE(verdict(), before);
    // ... and reports a failed one as the verdict, without ending the program.
    state().alloc_status = 5014;
    message(12001);
    QCOMPARE(trimmedVerdict(),
             QByteArray(" KARVENO ERROR [       12001 ] ALLOCATE ERROR. NOT ENOUGH MEMORY"));

    // A code outside the catalogue is still an error, never a silent pass.
    message(9005);
    QVERIFY(!noError());
}

void TestMessages::namesOutsideTablesAreBlank() {
    const QByteArray blankName = "THE VOLUM " + QByteArray(kNameWidth, ' ') + " HAS NO";
    message(6004, 0);
    QVERIFY(trimmedVerdict().contains(blankName));
    message(6004, 101);
    QVERIFY(trimmedVerdict().contains(blankName));
    // Material names follow their index number, including numbers past 100.
    state().material_names[150] = padName("Copy_of_GaAs");
    message(3021, 150);
    QVERIFY(trimmedVerdict().contains("IN MATERIAL Copy_of_GaAs         . SELECT"));
    message(3021, -1);
    QVERIFY(trimmedVerdict().contains("IN MATERIAL                      . SELECT"));
}

void TestMessages::flooracuracyCountsNearWholeQuotients_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<int>("n");
    QTest::newRow("3e-9 / 1e-9 falls short of 3 by rounding") << 3.0e-9 << 1.0e-9 << 3;
    QTest::newRow("2.5 / 1") << 2.5 << 1.0 << 2;
    QTest::newRow("2.9999999 / 1 within tolerance") << 2.9999999 << 1.0 << 3;
    QTest::newRow("2.99 / 1 outside tolerance") << 2.99 << 1.0 << 2;
    QTest::newRow("exact") << 6.0 << 2.0 << 3;
    QTest::newRow("zero dividend") << 0.0 << 1.0e-15 << 0;
    QTest::newRow("negative quotient floors") << -2.5 << 1.0 << -3;
    QTest::newRow("0 / 0 is NaN") << 0.0 << 0.0 << std::numeric_limits<int>::min();
    QTest::newRow("-1 / 0 is -inf") << -1.0 << 0.0 << std::numeric_limits<int>::min();
    QTest::newRow("NaN dividend") << std::nan("") << 1.0 << std::numeric_limits<int>::min();
}

void TestMessages::flooracuracyCountsNearWholeQuotients() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(int, n);
    std::int32_t result = 12345;
    flooracuracy(a, b, result);
    QCOMPARE(result, n);
    QVERIFY(noError());
}

void TestMessages::flooracuracyOverflowLeavesCountAlone() {
    std::int32_t n = 77;
    flooracuracy(3.0e9, 1.0, n);
    QCOMPARE(n, 77);
    QCOMPARE(trimmedVerdict(), QByteArray(" KARVENO ERROR [        3031 ] THE COMPUTATION OF THE "
                                          "INTEGER    3.00000000E+09  /    1.00000000      IS "
                                          "GREATER THAN 2E9"));
    init();
    flooracuracy(1.0, 0.0, n); // division by zero
    QCOMPARE(n, 77);
    QVERIFY(!noError());
    init();
    flooracuracy(1.0e300, 1.0e-300, n); // beyond single precision: printed as Infinity
    QVERIFY(trimmedVerdict().contains("Infinity  /    0.00000000"));
}

void TestMessages::floorOfUnrepresentableValues_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("floor");
    const int lowest = std::numeric_limits<int>::min();
    QTest::newRow("2.9") << 2.9 << 2;
    QTest::newRow("-2.1") << -2.1 << -3;
    QTest::newRow("largest") << 2147483647.5 << 2147483647;
    QTest::newRow("lowest") << -2147483648.0 << lowest;
    QTest::newRow("too large") << 1.0e10 << lowest;
    QTest::newRow("too small") << -2147483649.0 << lowest;
    QTest::newRow("NaN") << std::nan("") << lowest;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << lowest;
}

void TestMessages::floorOfUnrepresentableValues() {
    QFETCH(double, value);
    QFETCH(int, floor);
    QCOMPARE(floorInt(value), floor);
}

QTEST_APPLESS_MAIN(TestMessages)
#include "tst_messages.moc"
