// SPDX-License-Identifier: GPL-3.0-or-later
// Reading answers from text and comparing them with the correct answer:
// Val and half-to-even rounding per field, the lone "-" whole part, exact
// field-by-field comparison, and numbers too large for 16 bits.

#include "fraction/answer.h"
#include "runtime/checked16.h"

#include <QtTest>

namespace {

std::string_view view(const QByteArray &text) { return {text.constData(), size_t(text.size())}; }

} // namespace

class TestAnswer : public QObject {
    Q_OBJECT

private slots:
    void readField_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<int>("value");

        // Val, then halves to even
        QTest::newRow("empty") << QByteArray("") << true << 0;
        QTest::newRow("lone minus") << QByteArray("-") << true << 0;
        QTest::newRow("3abc") << QByteArray("3abc") << true << 3;
        QTest::newRow("3.4") << QByteArray("3.4") << true << 3;
        QTest::newRow("2.5") << QByteArray("2.5") << true << 2;
        QTest::newRow("3.5") << QByteArray("3.5") << true << 4;
        QTest::newRow("-2.5") << QByteArray("-2.5") << true << -2;
        // the ends of the range
        QTest::newRow("32767") << QByteArray("32767") << true << 32767;
        QTest::newRow("-32768") << QByteArray("-32768") << true << -32768;
        QTest::newRow("-32768.5") << QByteArray("-32768.5") << true << -32768;
        // outside it: the field reads as nothing
        QTest::newRow("32767.5") << QByteArray("32767.5") << false << 0;
        QTest::newRow("32768") << QByteArray("32768") << false << 0;
        QTest::newRow("-32769") << QByteArray("-32769") << false << 0;
        QTest::newRow("40000") << QByteArray("40000") << false << 0;
        QTest::newRow("-40000") << QByteArray("-40000") << false << 0;
        QTest::newRow("99999999999") << QByteArray("99999999999") << false << 0;
        QTest::newRow("50 digits") << QByteArray(50, '7') << false << 0;
        QTest::newRow("1e9") << QByteArray("1e9") << false << 0;
        QTest::newRow("1e10") << QByteArray("1e10") << false << 0;
    }

    void readField()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, fits);
        QFETCH(int, value);
        const auto field = ReadField(view(text));
        QCOMPARE(field.has_value(), fits);
        if (fits) {
            QCOMPARE(int(*field), value);
            return;
        }
        // Typed into any one box beside two right ones, it makes the row
        // wrong and nothing more; so does a numerator after a lone minus.
        const QByteArray whole("2"), num("1"), den("3"), minus("-");
        const AnswerTexts correct{view(num), view(den), view(whole)};
        QVERIFY(!AnswerIsRight({view(text), view(den), view(whole)}, correct));
        QVERIFY(!AnswerIsRight({view(num), view(text), view(whole)}, correct));
        QVERIFY(!AnswerIsRight({view(num), view(den), view(text)}, correct));
        QVERIFY(!AnswerIsRight({view(text), view(den), view(minus)}, {view(num), view(den), view(minus)}));
    }

    void answerIsRight_data()
    {
        // Typed boxes and correct labels in window order: whole part, numerator, denominator.
        QTest::addColumn<QByteArray>("cw");
        QTest::addColumn<QByteArray>("ct");
        QTest::addColumn<QByteArray>("cz");
        QTest::addColumn<QByteArray>("dw");
        QTest::addColumn<QByteArray>("dt");
        QTest::addColumn<QByteArray>("dz");
        QTest::addColumn<bool>("right");
        const auto add = [](const char *name, const char *cw, const char *ct, const char *cz, const char *dw,
                            const char *dt, const char *dz, bool right) {
            QTest::newRow(name) << QByteArray(cw) << QByteArray(ct) << QByteArray(cz) << QByteArray(dw)
                                << QByteArray(dt) << QByteArray(dz) << right;
        };

        // 3/4
        add("3/4 as shown", "", "3", "4", "", "3", "4", true);
        add("3/4 with whole 0", "0", "3", "4", "", "3", "4", true);
        add("3/4 blank whole", " ", "3", "4", "", "3", "4", true);
        add("3/4 blank then minus", " -", "3", "4", "", "3", "4", true);
        add("3/4 minus then blank", "- ", "3", "4", "", "3", "4", true);
        add("3/4 double minus", "--", "3", "4", "", "3", "4", true);
        add("3/4 from 3abc", "", "3abc", "4", "", "3", "4", true);
        add("3/4 from 3.4", "", "3.4", "4", "", "3", "4", true);
        add("3/4 from 3/3.5", "", "3", "3.5", "", "3", "4", true);
        add("3/4 typed negative", "-", "3", "4", "", "3", "4", false);
        add("3/4 as 6/8", "", "6", "8", "", "3", "4", false);
        add("3/4 minus on Den", "", "3", "-4", "", "3", "4", false);
        add("2/5 from 2.5/5", "", "2.5", "5", "", "2", "5", true);
        // 2 1/3
        add("2 1/3 as shown", "2", "1", "3", "2", "1", "3", true);
        add("2 1/3 as 7/3", "", "7", "3", "2", "1", "3", false);
        add("2 1/3 minus on Num", "2", "-1", "3", "2", "1", "3", false);
        add("2 1/3 as 3 1/3", "3", "1", "3", "2", "1", "3", false);
        // 3
        add("3 as shown or filled", "3", "0", "1", "3", "0", "1", true);
        add("3 empty numerator", "3", "", "1", "3", "0", "1", true);
        add("3 as 3 3/1", "3", "3", "1", "3", "0", "1", false);
        add("3 unfilled at timeout", "3", "", "", "3", "0", "1", false);
        add("3 over zero", "", "0", "0", "3", "0", "1", false);
        // -3/4
        add("-3/4 as shown", "-", "3", "4", "-", "3", "4", true);
        add("-3/4 minus on Num", "", "-3", "4", "-", "3", "4", true);
        add("-3/4 whole 0 minus on Num", "0", "-3", "4", "-", "3", "4", true);
        add("-3/4 -0 and minus on Num", "-0", "-3", "4", "-", "3", "4", true);
        add("-3/4 minus on Den", "", "3", "-4", "-", "3", "4", false);
        add("-3/4 -0 whole", "-0", "3", "4", "-", "3", "4", false);
        add("-3/4 blank then minus", " -", "3", "4", "-", "3", "4", false);
        // -2 1/3
        add("-2 1/3 as shown", "-2", "1", "3", "-2", "1", "3", true);
        add("-2 1/3 two minus signs", "-2", "-1", "3", "-2", "1", "3", false);
        add("-2 1/3 as -7/3", "-", "7", "3", "-2", "1", "3", false);
        add("-2 1/3 minus on Num", "2", "-1", "3", "-2", "1", "3", false);
        add("-2 1/3 without sign", "2", "1", "3", "-2", "1", "3", false);
        // -3
        add("-3 as shown or filled", "-3", "0", "1", "-3", "0", "1", true);
        add("-3 as -3/1", "-", "3", "1", "-3", "0", "1", false);
        add("-3 minus on Num", "", "-3", "1", "-3", "0", "1", false);
        // a lone minus over an empty numerator is 0 over the denominator
        add("0/5 from lone minus", "-", "", "5", "", "0", "5", true);
        add("lone minus negates a negative numerator", "-", "-3", "4", "", "3", "4", true);
        add("lone minus is not -1/5", "-", "", "5", "-", "1", "5", false);
    }

    void answerIsRight()
    {
        QFETCH(QByteArray, cw);
        QFETCH(QByteArray, ct);
        QFETCH(QByteArray, cz);
        QFETCH(QByteArray, dw);
        QFETCH(QByteArray, dt);
        QFETCH(QByteArray, dz);
        QFETCH(bool, right);
        QCOMPARE(AnswerIsRight({view(ct), view(cz), view(cw)}, {view(dt), view(dz), view(dw)}), right);
    }

    void tooLargeCorrectAnswerRaises()
    {
        // The correct answer comes from the program's own labels; a number
        // there that does not fit is a fault, not a wrong answer.
        const QByteArray empty, three("3"), four("4"), large("40000");
        const AnswerTexts typed{view(three), view(four), view(empty)};
        QVERIFY_THROWS_EXCEPTION(OverflowError, AnswerIsRight(typed, {view(large), view(four), view(empty)}));
        QVERIFY_THROWS_EXCEPTION(OverflowError, AnswerIsRight(typed, {view(three), view(four), view(large)}));
    }
};

QTEST_APPLESS_MAIN(TestAnswer)
#include "tst_answer.moc"
