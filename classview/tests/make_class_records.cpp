// SPDX-License-Identifier: GPL-3.0-or-later
// Writes COUNT plausible records into FOLDER, for the benchmark and the
// screenshots: pupils of 6А and 6Б, one test each a day, on consecutive
// school days ending today, each with its own skill.
//
// usage: make_class_records FOLDER COUNT [SEED] [--today] [--distinct] [--practice]
//   --today: every test today, started a minute apart from 09:00.
//   --distinct: every record a pupil of its own (the name numbered).
//   --practice: after each test with a named mistake, «Работа над
//     ошибками» on it, mastered by the more skilled.

#include "classview/tests/record_fixture.h"

#include <QCoreApplication>
#include <QTimeZone>

#include <cstdio>

// A practice on the test's first named mistake, if it has one.
static void writePractice(const QString &folder, const FixtureTest &t, const QJsonObject &record, bool masters)
{
    for (const QJsonValue row : record.value(QStringLiteral("rows")).toArray()) {
        const std::optional<PracticeTopic> topic = practiceTopicNamed(row[QStringLiteral("mistake")].toString());
        if (!topic || topic->isRow() || !IsPractisable(topic->mistake))
            continue;
        writeFixture(folder, fixturePractice(t, record.value(QStringLiteral("id")).toString(), topic->mistake,
                                             masters ? QStringLiteral("WRRR") : QStringLiteral("WRWRWRWRWR"),
                                             t.started.addSecs(900)));
        return;
    }
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fputs("usage: make_class_records FOLDER COUNT [SEED] [--today] [--distinct]\n", stderr);
        return 2;
    }
    const QString folder = args[1];
    const int count = args[2].toInt();
    const unsigned seed = args.size() > 3 && !args[3].startsWith(QLatin1String("--")) ? args[3].toUInt() : 1;
    const bool today = args.contains(QStringLiteral("--today"));
    const bool distinct = args.contains(QStringLiteral("--distinct"));
    const bool practice = args.contains(QStringLiteral("--practice"));
    QDir().mkpath(folder);
    static const char *const names[] = {
        "Абрамова Вера", "Белов Артём", "Васильева Мария", "Григорьев Иван", "Дмитриева Алиса", "Егоров Максим",
        "Жукова Полина", "Зайцев Никита", "Иванова Анна", "Кузнецов Дмитрий", "Лебедева София", "Морозов Егор",
        "Николаева Дарья", "Орлов Кирилл", "Павлова Ева", "Романов Лев", "Смирнова Ксения", "Тихонов Матвей",
        "Устинова Варвара", "Фёдоров Тимофей", "Харитонова Ульяна", "Цветков Глеб", "Чернова Злата", "Шилов Марк",
        "Щукина Милана", "Юдин Арсений", "Яковлева Ника", "Козлов Степан", "Соколова Алёна", "Попов Илья"};
    constexpr int classSize = int(std::size(names));
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.55, 0.99);
    std::array<double, classSize * 2> skill;
    for (double &s : skill)
        s = unit(rng);
    const QTimeZone zone(3 * 3600);
    for (int i = 0; i < count; ++i) {
        const int pupil = i % (2 * classSize);
        const int day = i / (2 * classSize);
        const QDate date = QDate::currentDate().addDays(-day);
        const QDateTime started = today ? QDateTime(QDate::currentDate(), QTime(9, 0), zone).addSecs(60 * i)
                                        : QDateTime(date, QTime(9 + pupil / classSize, pupil % classSize), zone);
        const QString name = QString::fromUtf8(names[pupil % classSize]);
        const FixtureTest t = randomPupil(rng, distinct ? name + QLatin1Char(' ') + QString::number(i) : name,
                                          pupil < classSize ? QStringLiteral("6А") : QStringLiteral("6Б"), started,
                                          skill[size_t(pupil)]);
        const QJsonObject record = fixtureRecord(t);
        if (writeFixture(folder, record).isEmpty()) {
            std::fprintf(stderr, "could not write into %s\n", qPrintable(folder));
            return 1;
        }
        if (practice)
            writePractice(folder, t, record, skill[size_t(pupil)] > 0.75);
    }
    return 0;
}
