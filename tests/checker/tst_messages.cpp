// The checker's message lines, checked against what a Fortran list-directed write gives for the
// same items (tests/checker/data/listdirected.txt, made with gfortran), and the tolerant division.

#include "checker/comprova_state.h"
#include "checker/listline.h"
#include "design.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

using namespace comprova;
using testdesign::err;
using testdesign::trimmed;

namespace {

// Cases of the reference file of one kind, split at tabs.
QList<QList<QByteArray>> referenceCases(const QByteArray &kind) {
    QFile file(QStringLiteral(KARVENO_SOURCE_DIR "/tests/checker/data/listdirected.txt"));
    QList<QList<QByteArray>> cases;
    if (file.open(QIODevice::ReadOnly))
        for (const QByteArray &line : file.readAll().split('\n'))
            if (line.startsWith(kind + '\t'))
                cases.append(line.split('\t').mid(1));
    return cases;
}

const int kLowest = std::numeric_limits<int>::min();

} // namespace

class TestMessages : public QObject {
    Q_OBJECT

private slots:
    void init() {
        State &st = state();
        st.text.assign(kVerdictLength, ' ');
        st.alloc_status = 0;
        st.volum_names.assign(101, std::string(kNameWidth, ' '));
        st.volum_names[3] = testdesign::name("SOURCE").toStdString();
        st.volum_names[4] = testdesign::name("DRAIN_CONTACT_ABCDEF").toStdString();
        st.material_names.clear();
        st.material_names[3] = testdesign::name("Silicon").toStdString();
        st.material_names[4] = testdesign::name("GaAs").toStdString();
    }

    void catalogueLines_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("expected");
        const QList<QList<QByteArray>> cases = referenceCases("line");
        QVERIFY(cases.size() > 70);
        for (const QList<QByteArray> &c : cases)
            QTest::newRow(c[0].constData()) << c[0].toInt() << c[1];
    }
    void catalogueLines() {
        QFETCH(int, code);
        QFETCH(QByteArray, expected);
        message(code, 3, 4, 1.5e-15f, 2.0e-9f);
        QCOMPARE(state().text.size(), std::size_t(kVerdictLength));
        QCOMPARE(trimmed(state().text), expected);
    }

    void realItems_data() {
        QTest::addColumn<quint32>("bits");
        QTest::addColumn<QByteArray>("expected");
        const QList<QList<QByteArray>> cases = referenceCases("real");
        QVERIFY(cases.size() > 30);
        for (const QList<QByteArray> &c : cases)
            if (c.size() == 3)
                QTest::newRow(c[1].constData()) << quint32(c[0].toUInt(nullptr, 16)) << c[2];
    }
    void realItems() {
        QFETCH(quint32, bits);
        QFETCH(QByteArray, expected);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        QCOMPARE(QByteArray::fromStdString(formatReal(value)), expected);
    }

    void lineFormation() {
        // A number first: only the leading blank before it; adjacent texts join.
        QCOMPARE(ListLine().integer(5).text("X").str(), std::string("           5 X"));
        QCOMPARE(ListLine().real(1.0f).real(2.0f).text("B").text("C").integer(kLowest).str(),
                 std::string("   1.00000000       2.00000000     BC -2147483648"));
        QCOMPARE(ListLine().text(std::string(400, 'x')).padded(299).size(), std::size_t(299));
    }

    void specialCodes() {
        message(10000);
        QCOMPARE(state().text,
                 (" [OK] SIMULATION DESIGN FREE FROM ERRORS" + std::string(259, ' ')));
        // 3013 to 3015 blank the text: the run goes on as if nothing had been reported.
        message(1001, 7);
        message(3014);
        QVERIFY(noError());
        // The allocation check leaves the text alone after a successful allocation, and reports
        // a failed one as the verdict instead of ending the program.
        message(1001, 7);
        const std::string before = state().text;
        message(12001);
        QCOMPARE(state().text, before);
        state().alloc_status = 5014;
        message(12001);
        QCOMPARE(trimmed(state().text), err(12001, " ALLOCATE ERROR. NOT ENOUGH MEMORY"));
        // A code outside the catalogue is still an error, never a silent pass.
        message(9005);
        QVERIFY(!noError());
    }

    // Names outside the tables print as blanks; material names follow their index number.
    void namesOutsideTheTables() {
        const QByteArray blank(kNameWidth, ' ');
        message(6004, 0);
        QVERIFY(trimmed(state().text).contains("THE VOLUM " + blank + " HAS NO"));
        message(6004, 101);
        QVERIFY(trimmed(state().text).contains("THE VOLUM " + blank + " HAS NO"));
        state().material_names[150] = testdesign::name("Copy_of_GaAs").toStdString();
        message(3021, 150);
        QVERIFY(trimmed(state().text).contains("IN MATERIAL Copy_of_GaAs         . SELECT"));
        message(3021, -1);
        QVERIFY(trimmed(state().text).contains("IN MATERIAL " + blank + " . SELECT"));
    }

    void flooracuracy_data() {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<int>("n");
        QTest::addColumn<QByteArray>("line"); // part of the message line; empty: no message
        const double nan = std::nan("");
        QTest::newRow("3e-9 / 1e-9 short of 3 by rounding")
            << 3.0e-9 << 1.0e-9 << 3 << QByteArray();
        QTest::newRow("2.9999999 within tolerance") << 2.9999999 << 1.0 << 3 << QByteArray();
        QTest::newRow("2.99 outside tolerance") << 2.99 << 1.0 << 2 << QByteArray();
        QTest::newRow("zero dividend") << 0.0 << 1.0e-15 << 0 << QByteArray();
        QTest::newRow("negative quotient floors") << -2.5 << 1.0 << -3 << QByteArray();
        QTest::newRow("0 / 0") << 0.0 << 0.0 << kLowest << QByteArray();
        QTest::newRow("-1 / 0") << -1.0 << 0.0 << kLowest << QByteArray();
        QTest::newRow("NaN dividend") << nan << 1.0 << kLowest << QByteArray();
        QTest::newRow("3e9 overflows")
            << 3.0e9 << 1.0 << 77
            << err(3031, " THE COMPUTATION OF THE INTEGER    3.00000000E+09  /    1.00000000      "
                         "IS GREATER THAN 2E9");
        QTest::newRow("1 / 0 overflows")
            << 1.0 << 0.0 << 77 << QByteArray("   1.00000000      /    0.00000000");
        QTest::newRow("beyond single precision")
            << 1.0e300 << 1.0e-300 << 77 << QByteArray("Infinity  /    0.00000000");
    }
    void flooracuracy() {
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(int, n);
        QFETCH(QByteArray, line);
        std::int32_t result = 77;
        comprova::flooracuracy(a, b, result);
        QCOMPARE(result, n);
        QCOMPARE(noError(), line.isEmpty());
        QVERIFY2(trimmed(state().text).contains(line), state().text.c_str());
    }
};

QTEST_APPLESS_MAIN(TestMessages)
#include "tst_messages.moc"
