// Checked 16-bit arithmetic, rounding, Val, text and colour helpers, control
// array bounds and the random source.

#include "runtime/checked16.h"
#include "runtime/control_array.h"
#include "runtime/random_source.h"
#include "runtime/val.h"

#include <QtTest>

#include <array>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<double> draws(RandomSource &source, int count)
{
    std::vector<double> values;
    for (int i = 0; i < count; ++i)
        values.push_back(source.Rnd());
    return values;
}

} // namespace

class TestRuntime : public QObject {
    Q_OBJECT

private slots:
    void checkedArithmetic_data();
    void checkedArithmetic();
    void rounding_data();
    void rounding();
    void intPartFloors();
    void val_data();
    void val();
    void valIgnoresLocale();
    void toTextAndRgb();
    void controlArrayBounds_data();
    void controlArrayBounds();
    void stdRandomInRangeAndSpread();
    void stdRandomRepeatsForSameSeed();
    void stdRandomSeedsApart_data();
    void stdRandomSeedsApart();
    void scriptedPlayback();
};

void TestRuntime::checkedArithmetic_data()
{
    QTest::addColumn<char>("op");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<bool>("overflows");
    QTest::addColumn<int>("expected");

    // ordinary values
    QTest::newRow("2+3") << '+' << 2 << 3 << false << 5;
    QTest::newRow("-7*6") << '*' << -7 << 6 << false << -42;
    QTest::newRow("3-10") << '-' << 3 << 10 << false << -7;
    QTest::newRow("abs -5") << 'a' << -5 << 0 << false << 5;
    QTest::newRow("neg 9") << 'n' << 9 << 0 << false << -9;
    // near the limits
    QTest::newRow("32766+1") << '+' << 32766 << 1 << false << 32767;
    QTest::newRow("-32767-1") << '-' << -32767 << 1 << false << -32768;
    QTest::newRow("-32768+32767") << '+' << -32768 << 32767 << false << -1;
    QTest::newRow("181*181") << '*' << 181 << 181 << false << 32761;
    QTest::newRow("-256*128") << '*' << -256 << 128 << false << -32768;
    QTest::newRow("-32768*1") << '*' << -32768 << 1 << false << -32768;
    QTest::newRow("abs -32767") << 'a' << -32767 << 0 << false << 32767;
    QTest::newRow("neg -32767") << 'n' << -32767 << 0 << false << 32767;
    QTest::newRow("neg -32768 stays, unchecked") << 'n' << -32768 << 0 << false << -32768;
    // past the limits
    QTest::newRow("32767+1 overflows") << '+' << 32767 << 1 << true << 0;
    QTest::newRow("-32768+-1 overflows") << '+' << -32768 << -1 << true << 0;
    QTest::newRow("-32768-1 overflows") << '-' << -32768 << 1 << true << 0;
    QTest::newRow("0-(-32768) overflows") << '-' << 0 << -32768 << true << 0;
    QTest::newRow("32767-(-1) overflows") << '-' << 32767 << -1 << true << 0;
    QTest::newRow("181*182 overflows") << '*' << 181 << 182 << true << 0;
    QTest::newRow("256*128 overflows") << '*' << 256 << 128 << true << 0;
    QTest::newRow("-1*-32768 overflows") << '*' << -1 << -32768 << true << 0;
    QTest::newRow("200*-200 overflows") << '*' << 200 << -200 << true << 0;
    QTest::newRow("abs -32768 overflows") << 'a' << -32768 << 0 << true << 0;
}

void TestRuntime::checkedArithmetic()
{
    QFETCH(char, op);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(bool, overflows);
    QFETCH(int, expected);

    const auto x = int16_t(a);
    const auto y = int16_t(b);
    const auto run = [&]() -> int16_t {
        switch (op) {
        case '+': return add16(x, y);
        case '-': return sub16(x, y);
        case '*': return mul16(x, y);
        case 'a': return abs16(x);
        default: return neg16(x);
        }
    };
    if (overflows) {
        QVERIFY_THROWS_EXCEPTION(OverflowError, run());
        // Callers that catch the standard family see it too.
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, run());
    } else {
        QCOMPARE(int(run()), expected);
    }
}

void TestRuntime::rounding_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("expected");

    // halves go to the even neighbour
    QTest::newRow("0.5->0") << 0.5 << true << 0;
    QTest::newRow("1.5->2") << 1.5 << true << 2;
    QTest::newRow("2.5->2") << 2.5 << true << 2;
    QTest::newRow("3.5->4") << 3.5 << true << 4;
    QTest::newRow("-0.5->0") << -0.5 << true << 0;
    QTest::newRow("-2.5->-2") << -2.5 << true << -2;
    QTest::newRow("-3.5->-4") << -3.5 << true << -4;
    // not halves
    QTest::newRow("2.49->2") << 2.49 << true << 2;
    QTest::newRow("2.51->3") << 2.51 << true << 3;
    QTest::newRow("3.4->3") << 3.4 << true << 3;
    QTest::newRow("-7.6->-8") << -7.6 << true << -8;
    // near the limits
    QTest::newRow("32766.5->32766") << 32766.5 << true << 32766;
    QTest::newRow("32767.49->32767") << 32767.49 << true << 32767;
    QTest::newRow("-32768.5->-32768") << -32768.5 << true << -32768;
    QTest::newRow("-32767.5->-32768") << -32767.5 << true << -32768;
    // past the limits
    QTest::newRow("32767.5 overflows") << 32767.5 << false << 0;
    QTest::newRow("32768 overflows") << 32768.0 << false << 0;
    QTest::newRow("40000 overflows") << 40000.0 << false << 0;
    QTest::newRow("-32768.51 overflows") << -32768.51 << false << 0;
    QTest::newRow("-32769 overflows") << -32769.0 << false << 0;
    QTest::newRow("1e300 overflows") << 1e300 << false << 0;
    QTest::newRow("inf overflows") << kInf << false << 0;
    QTest::newRow("-inf overflows") << -kInf << false << 0;
    QTest::newRow("NaN overflows") << kNaN << false << 0;
}

void TestRuntime::rounding()
{
    QFETCH(double, x);
    QFETCH(bool, fits);
    QFETCH(int, expected);

    const auto rounded = roundToInt16(x);
    QCOMPARE(rounded.has_value(), fits);
    if (fits) {
        QCOMPARE(int(*rounded), expected);
        QCOMPARE(int(toInt16(x)), expected);
    } else {
        QVERIFY_THROWS_EXCEPTION(OverflowError, toInt16(x));
    }
}

void TestRuntime::intPartFloors()
{
    QCOMPARE(intPart(2.7), 2.0);
    QCOMPARE(intPart(-2.3), -3.0);
    QCOMPARE(intPart(-2.0), -2.0);
    QCOMPARE(intPart(0.999999), 0.0);
    QCOMPARE(intPart(std::nextafter(1.0, 0.0) * 98), 97.0);
}

void TestRuntime::val_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    // no number at all
    QTest::newRow("empty") << QByteArray("") << 0.0;
    QTest::newRow("lone minus") << QByteArray("-") << 0.0;
    QTest::newRow("blank then minus") << QByteArray(" -") << 0.0;
    QTest::newRow("lone point") << QByteArray(".") << 0.0;
    QTest::newRow("letters") << QByteArray("abc") << 0.0;
    QTest::newRow("double minus") << QByteArray("--3") << 0.0;
    QTest::newRow("nan is not a number here") << QByteArray("nan") << 0.0;
    QTest::newRow("inf is not a number here") << QByteArray("inf") << 0.0;
    // the longest numeric prefix
    QTest::newRow("3abc") << QByteArray("3abc") << 3.0;
    QTest::newRow("3.4") << QByteArray("3.4") << 3.4;
    QTest::newRow("comma is not a point") << QByteArray("3,4") << 3.0;
    QTest::newRow("two points") << QByteArray("1.2.3") << 1.2;
    QTest::newRow("-0") << QByteArray("-0") << 0.0;
    QTest::newRow(".5") << QByteArray(".5") << 0.5;
    QTest::newRow("-.5") << QByteArray("-.5") << -0.5;
    QTest::newRow("5.") << QByteArray("5.") << 5.0;
    QTest::newRow("+7") << QByteArray("+7") << 7.0;
    QTest::newRow("leading zeros") << QByteArray("007") << 7.0;
    QTest::newRow("blanks then -12") << QByteArray("  -12") << -12.0;
    QTest::newRow("tab and blank") << QByteArray("\t 5") << 5.0;
    QTest::newRow("trailing blank") << QByteArray("20 ") << 20.0;
    // exponents count only with a digit after them
    QTest::newRow("1e3") << QByteArray("1e3") << 1000.0;
    QTest::newRow("1E3") << QByteArray("1E3") << 1000.0;
    QTest::newRow("2.5e-1") << QByteArray("2.5e-1") << 0.25;
    QTest::newRow("1e+2") << QByteArray("1e+2") << 100.0;
    QTest::newRow("1e") << QByteArray("1e") << 1.0;
    QTest::newRow("1e-") << QByteArray("1e-") << 1.0;
    QTest::newRow("1ex") << QByteArray("1ex") << 1.0;
    // large and out of range for 16 bits
    QTest::newRow("40000") << QByteArray("40000") << 40000.0;
    QTest::newRow("1e9") << QByteArray("1e9") << 1e9;
    QTest::newRow("400 digits") << QByteArray(400, '9') << kInf;
    QTest::newRow("-400 digits") << (QByteArray("-") + QByteArray(400, '9')) << -kInf;
    QTest::newRow("1e400") << QByteArray("1e400") << kInf;
    QTest::newRow("1e-400") << QByteArray("1e-400") << 0.0;
}

void TestRuntime::val()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    QCOMPARE(Val(std::string_view(text.constData(), size_t(text.size()))), expected);
}

void TestRuntime::valIgnoresLocale()
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char *chosen = nullptr;
    for (const char *name : {"ru_RU.UTF-8", "ru_RU.utf8", "ru_RU", "de_DE.UTF-8", "de_DE.utf8",
                             "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_ALL, name) && std::string(std::localeconv()->decimal_point) == ",") {
            chosen = name;
            break;
        }
    }
    if (!chosen) {
        std::setlocale(LC_ALL, saved.c_str());
        QSKIP("no locale with a decimal comma installed");
    }
    const double point = Val("3.4");
    const double comma = Val("3,4");
    std::setlocale(LC_ALL, saved.c_str());
    QCOMPARE(point, 3.4);
    QCOMPARE(comma, 3.0);
}

void TestRuntime::toTextAndRgb()
{
    QCOMPARE(toText(0), std::string("0"));
    QCOMPARE(toText(10), std::string("10"));
    QCOMPARE(toText(-5), std::string("-5"));
    QCOMPARE(toText(32767), std::string("32767"));
    QCOMPARE(toText(-32768), std::string("-32768"));

    QCOMPARE(RGB(0, 100, 0), 25600);
    QCOMPARE(RGB(100, 0, 0), 100);
    QCOMPARE(RGB(0, 0, 1), 65536);
    QCOMPARE(RGB(255, 255, 255), 16777215);
}

void TestRuntime::controlArrayBounds_data()
{
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("inside");

    // a row array 0..9 and the bar array 0..30
    QTest::newRow("row 0") << 0 << 9 << 0 << true;
    QTest::newRow("row 9") << 0 << 9 << 9 << true;
    QTest::newRow("row -1") << 0 << 9 << -1 << false;
    QTest::newRow("row 10") << 0 << 9 << 10 << false;
    QTest::newRow("bar 30") << 0 << 30 << 30 << true;
    QTest::newRow("bar 31") << 0 << 30 << 31 << false;
    // an array that does not start at 0
    QTest::newRow("1..3 at 0") << 1 << 3 << 0 << false;
    QTest::newRow("1..3 at 1") << 1 << 3 << 1 << true;
    QTest::newRow("1..3 at 4") << 1 << 3 << 4 << false;
}

void TestRuntime::controlArrayBounds()
{
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(int, index);
    QFETCH(bool, inside);

    ControlArray<QObject> array(lower, upper);
    QObject control;
    if (inside) {
        array.set(index, &control);
        QCOMPARE(array(index), &control);
        // Neighbours are separate slots.
        for (int i = lower; i <= upper; ++i)
            QCOMPARE(array(i), i == index ? &control : nullptr);
    } else {
        QVERIFY_THROWS_EXCEPTION(SubscriptError, array(index));
        QVERIFY_THROWS_EXCEPTION(SubscriptError, array.set(index, &control));
    }
}

void TestRuntime::stdRandomInRangeAndSpread()
{
    constexpr int kDraws = 80000;
    constexpr int kBuckets = 8;
    StdRandomSource source;
    source.Randomize(45000.0);
    std::array<int, kBuckets> count{};
    for (int i = 0; i < kDraws; ++i) {
        const double x = source.Rnd();
        QVERIFY2(x >= 0.0 && x < 1.0, qPrintable(QString::number(x, 'g', 17)));
        ++count[size_t(intPart(x * kBuckets))];
    }
    // 10000 expected per bucket, standard deviation about 94: 500 is over five.
    for (int bucket = 0; bucket < kBuckets; ++bucket)
        QVERIFY2(std::abs(count[size_t(bucket)] - kDraws / kBuckets) < 500,
                 qPrintable(QStringLiteral("bucket %1 holds %2").arg(bucket).arg(count[size_t(bucket)])));
}

void TestRuntime::stdRandomRepeatsForSameSeed()
{
    StdRandomSource first;
    StdRandomSource second;
    first.Randomize(45000.0);
    second.Randomize(45000.0);
    const auto sequence = draws(first, 20);
    QCOMPARE(draws(second, 20), sequence);
    // Reseeding restarts the sequence.
    first.Randomize(45000.0);
    QCOMPARE(draws(first, 20), sequence);
}

void TestRuntime::stdRandomSeedsApart_data()
{
    QTest::addColumn<double>("seed");
    QTest::addColumn<double>("other");

    // The time of day 20 ms apart.
    QTest::newRow("midnight") << 0.0 << 0.02;
    QTest::newRow("one second") << 1.0 << 1.02;
    QTest::newRow("12:30") << 45000.00 << 45000.02;
    QTest::newRow("before midnight") << 86399.96 << 86399.98;
}

void TestRuntime::stdRandomSeedsApart()
{
    QFETCH(double, seed);
    QFETCH(double, other);
    StdRandomSource first;
    StdRandomSource second;
    first.Randomize(seed);
    second.Randomize(other);
    QVERIFY(draws(first, 10) != draws(second, 10));
}

void TestRuntime::scriptedPlayback()
{
    ScriptedRandomSource source({0.1, 0.7, 0.3});
    QCOMPARE(source.drawn(), 0);
    QCOMPARE(source.Rnd(), 0.1);
    source.Randomize(123.0); // does not restart the script
    QCOMPARE(source.Rnd(), 0.7);
    QCOMPARE(source.Rnd(), 0.3);
    QCOMPARE(source.Rnd(), 0.3); // the last value repeats
    QCOMPARE(source.drawn(), 4);

    ScriptedRandomSource empty({});
    QCOMPARE(empty.Rnd(), 0.0);
}

QTEST_APPLESS_MAIN(TestRuntime)
#include "tst_runtime.moc"
