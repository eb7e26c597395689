#include "io/designtext.h"
#include "io/tokenreader.h"

#include <QLocale>
#include <QTest>
#include <QTextStream>

#include <cstring>

namespace {

enum Kind { Integer, Real, Float };

// What a C-locale QTextStream extraction gives: the value and the text it leaves.
QPair<double, QString> streamRead(QString text, Kind kind) {
    QTextStream in(&text, QIODevice::ReadOnly);
    in.setLocale(QLocale::c());
    double value = 0.0;
    if (kind == Integer) {
        int i = 0;
        in >> i;
        value = i;
    } else if (kind == Real) {
        in >> value;
    } else {
        float f = 0.0f;
        in >> f;
        value = f;
    }
    if (in.status() != QTextStream::Ok)
        value = 0.0;
    return {value, in.readAll()};
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

class TestTokenReader : public QObject {
    Q_OBJECT

private slots:
    void numbersReadAsTheStreamReadsThem_data() {
        QTest::addColumn<QString>("token");
        QTest::addColumn<int>("sound"); // kinds read without a problem: 3 all, 1 reals only, 0 none
        const auto rows = [](const QString &tokens, int sound, const QString &prefix = {}) {
            for (const QString &token : tokens.split(QLatin1Char(' ')))
                QTest::newRow(qPrintable(prefix + token)) << token << sound;
        };
        rows(QStringLiteral("0 7 -12 +5 123456789 -0"), 3);
        rows(QStringLiteral("0.25 -1e-09 1e+18 6.02214e23 .5 1E5 3.40282e+38 0.1"), 1);
        // Tokens outside the plain forms: the stream's own rules decide, and most are problems.
        rows(QStringLiteral("1OO 12abc 5e 1. 0x1f 017 08 nan -inf infx 1e400 1e-400 4e-320 - + . "
                            "--5 2147483648 99999999999999999999 M\u00e9tal 1e5.5 0b101 1,5 +5x "
                            "-3.5e2q 1.5.3 7e5x 5inf 0q 0x 0b2 -0x1f 1e+ 3-4 1.5e-3e -.5a "
                            "9.99999e999x ") +
                 QString(200, QLatin1Char('9')) + ' ' + QString(70, QLatin1Char('1')) + 'x',
             0, QStringLiteral("odd "));
        // Unicode digits are digits to the stream's integers; a no-break space is white space.
        QTest::newRow("arabic-indic digit") << QStringLiteral("\u0663") << -1;
        QTest::newRow("no-break space") << QStringLiteral("5\u00a07") << 3;
    }

    // Values, what is left for the next read, and whether a problem is reported, for integers,
    // reals and floats alike; the stream's extraction is the reference.
    void numbersReadAsTheStreamReadsThem() {
        QFETCH(QString, token);
        QFETCH(int, sound);
        const QString text = token + QStringLiteral(" 7\nnext");
        for (Kind kind : {Integer, Real, Float}) {
            const auto expected = streamRead(text, kind);
            TokenReader reader(text);
            const double value = kind == Integer ? reader.readInt()
                                 : kind == Real  ? reader.readReal()
                                                 : reader.readFloat();
            QVERIFY2(sameBits(value, expected.first) ||
                         (std::isnan(value) && std::isnan(expected.first)),
                     qPrintable(QString::asprintf("kind %d: %g instead of %g", kind, value,
                                                  expected.first)));
            QCOMPARE(reader.readRestOfLine(),
                     expected.second.section(QLatin1Char('\n'), 0, 0).trimmed());
            const bool reported = !reader.takeProblems().isEmpty();
            if (sound == 3 || (sound == 1 && kind != Integer))
                QVERIFY2(!reported, qPrintable(QStringLiteral("kind %1").arg(kind)));
            if (sound == 0 && !QStringList{"017", "08", "0x1f", "0b101"}.contains(token))
                QVERIFY2(reported || kind != Integer, "an integer read of an odd token");
        }
    }

    void encodingFollowsTheBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("latin1");
        QTest::newRow("ascii") << QByteArray("M Si\n") << QStringLiteral("M Si\n") << false;
        QTest::newRow("utf-8") << QByteArray("M M\xc3\xa9tal\n") << QStringLiteral("M M\u00e9tal\n")
                               << false;
        QTest::newRow("utf-8 with mark")
            << QByteArray("\xef\xbb\xbfM M\xc3\xa8tal") << QStringLiteral("M M\u00e8tal") << false;
        QTest::newRow("latin-1") << QByteArray("M M\xe9tal\n") << QStringLiteral("M M\u00e9tal\n")
                                 << true;
        QTest::newRow("cut inside a character")
            << QByteArray("M M\xc3") << QStringLiteral("M M\u00c3") << true;
    }

    // A file is UTF-8 when its bytes are, else Latin-1 (so "Métal" keeps its é).
    void encodingFollowsTheBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, latin1);
        TextEncoding encoding = TextEncoding::Utf8;
        QCOMPARE(decodeDesignText(bytes, &encoding), text);
        QCOMPARE(encoding == TextEncoding::Latin1, latin1);
    }
};

QTEST_GUILESS_MAIN(TestTokenReader)
#include "tst_tokenreader.moc"
