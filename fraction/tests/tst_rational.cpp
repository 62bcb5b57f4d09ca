// SPDX-License-Identifier: GPL-3.0-or-later
// The diagnosis's exact arithmetic at the edge of its 64-bit fields: a
// result that fits is exact, one that does not raises OverflowError instead
// of wrapping round.

#include "fraction/rational.h"

#include <QtTest>

#include <cstdint>

class TestRational : public QObject {
    Q_OBJECT

private slots:
    void edge_data();
    void edge();
};

void TestRational::edge_data()
{
    QTest::addColumn<qint64>("aNum");
    QTest::addColumn<qint64>("aDen");
    QTest::addColumn<char>("op");
    QTest::addColumn<qint64>("bNum");
    QTest::addColumn<qint64>("bDen");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<qint64>("num"); // the result, when it fits
    QTest::addColumn<qint64>("den");

    constexpr qint64 max = INT64_MAX;
    QTest::newRow("largest numerator") << max - 1 << 1LL << '+' << 1LL << 1LL << true << max << 1LL;
    QTest::newRow("numerator one past") << max << 1LL << '+' << 1LL << 1LL << false << 0LL << 0LL;
    QTest::newRow("smallest numerator") << -max + 1 << 1LL << '+' << -1LL << 1LL << true << -max << 1LL;
    QTest::newRow("numerator one below") << -max << 1LL << '+' << -1LL << 1LL << false << 0LL << 0LL;
    QTest::newRow("largest denominator") << 1LL << max << '*' << 1LL << 1LL << true << 1LL << max;
    QTest::newRow("denominator doubled past") << 1LL << max << '/' << 2LL << 1LL << false << 0LL << 0LL;
    // Formed in 128 bits, then reduced: a product far past 64 bits that
    // reduces to a small value is exact.
    QTest::newRow("reduced back") << max << 1LL << '*' << 1LL << max << true << 1LL << 1LL;
    QTest::newRow("square past") << max << 1LL << '*' << max << 1LL << false << 0LL << 0LL;
}

void TestRational::edge()
{
    QFETCH(qint64, aNum);
    QFETCH(qint64, aDen);
    QFETCH(char, op);
    QFETCH(qint64, bNum);
    QFETCH(qint64, bDen);
    QFETCH(bool, fits);
    QFETCH(qint64, num);
    QFETCH(qint64, den);

    const Rational a(aNum, aDen), b(bNum, bDen);
    const auto result = [&] {
        switch (op) {
        case '+':
            return a + b;
        case '*':
            return a * b;
        default:
            return a / b;
        }
    };
    if (!fits) {
        QVERIFY_THROWS_EXCEPTION(OverflowError, result());
        return;
    }
    const Rational r = result();
    QCOMPARE(r.num(), num);
    QCOMPARE(r.den(), den);
}

QTEST_APPLESS_MAIN(TestRational)
#include "tst_rational.moc"
