// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the program's end of a test, for the delivery tests: it
// makes one record and hands it to ResultsCourier as the window does, or
// starts a courier as the program's start does, with the outbox and the
// folder given on the command line.
//
//   results_driver submit --outbox DIR --folder DIR [--id ID] [--name NAME] [--pad BYTES]
//   results_driver submit --outbox DIR --folder DIR --record FILE
//       prints "delivered ID", "waiting ID" or "not-saved ID"; exit 0, 3 or 4
//   results_driver start --outbox DIR --folder DIR
//       one retry pass; prints "delivered N waiting M"; exit 0 when none waits
//
// --pad adds BYTES of white space after the record's JSON, so that writing it
// takes long enough to be interrupted. --record hands over a record
// written elsewhere (its bytes as they are, under its own id) instead of
// the sample.

#include "results/result_record.h"
#include "results/results_courier.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <QTimer>
#include <cstdio>

namespace {

ResultRecord sampleRecord(const QString &id, const QString &name)
{
    ResultRecord record;
    record.id = id;
    record.pupil = {name, QStringLiteral("6Б"), currentLogin(), currentHost()};
    record.started = QDateTime(QDate(2026, 12, 9), QTime(10, 15), QTimeZone(3 * 3600));
    record.finished = record.started.addSecs(412);
    record.secondsAllowed = 600;
    record.secondsUsed = 412;
    record.status = ResultStatus::Graded;
    for (int r = 0; r < RowCount; ++r) {
        ResultRow &row = record.rows[size_t(r)];
        row.operation = RowOperation[size_t(r)];
        row.a = QStringLiteral("-4 1/2");
        row.b = QStringLiteral("3/8");
        row.answer = row.operation == Operation::Multiply ? QStringLiteral("-1 11/16") : QStringLiteral("-12");
        row.right = r % 3 != 0;
        row.typedWhole = row.right ? row.answer.section(QLatin1Char(' '), 0, 0) : QStringLiteral("-");
        row.typedNumerator = row.right ? QStringLiteral("11") : QStringLiteral("27");
        row.typedDenominator = row.right ? QStringLiteral("16") : QStringLiteral("16");
        row.mistake = row.right ? QString() : QStringLiteral("not-reduced");
        row.explanation = row.right ? QString() : QStringLiteral("Дробь не сокращена.");
    }
    record.right = 6;
    record.wrong = 4;
    record.grade = 2;
    return record;
}

// As the window does: the record handed over, then the end of its delivery
// heard; given up on after two minutes, as still on its way. Prints what
// became of it and returns the exit status.
int submitAndWait(QCoreApplication &app, ResultsCourier &courier, const QString &id, const QByteArray &json)
{
    using State = ResultsCourier::State;
    State state = courier.submit(id, json);
    QObject::connect(&courier, &ResultsCourier::deliveryEnded, &app, [&](const QString &, State end) {
        state = end;
        app.quit();
    });
    QTimer::singleShot(120'000, &app, &QCoreApplication::quit);
    app.exec();
    if (state == State::Delivering)
        state = State::Waiting;
    else if (state == State::DeliveringUnsaved)
        state = State::NotSaved;
    const char *word = state == State::Delivered ? "delivered" : state == State::Waiting ? "waiting" : "not-saved";
    std::printf("%s %s\n", word, qPrintable(id));
    if (!courier.lastError().isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(courier.lastError()));
    return state == State::Delivered ? 0 : state == State::Waiting ? 3 : 4;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("submit or start"));
    const QCommandLineOption outbox(QStringLiteral("outbox"), QStringLiteral("outbox folder"), QStringLiteral("DIR"));
    const QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("results folder"), QStringLiteral("DIR"));
    const QCommandLineOption id(QStringLiteral("id"), QStringLiteral("record id"), QStringLiteral("ID"));
    const QCommandLineOption name(QStringLiteral("name"), QStringLiteral("pupil's name"), QStringLiteral("NAME"),
                                  QStringLiteral("Иванова Мария"));
    const QCommandLineOption pad(QStringLiteral("pad"), QStringLiteral("extra bytes"), QStringLiteral("BYTES"),
                                 QStringLiteral("0"));
    const QCommandLineOption recordFile(QStringLiteral("record"), QStringLiteral("a record to deliver"), QStringLiteral("FILE"));
    parser.addOptions({outbox, folder, id, name, pad, recordFile});
    parser.process(app);
    if (parser.positionalArguments().size() != 1 || !parser.isSet(outbox) || !parser.isSet(folder)) {
        std::fputs("usage: results_driver submit|start --outbox DIR --folder DIR [--id ID] [--name NAME] [--pad BYTES]"
                   " [--record FILE]\n",
                   stderr);
        return 2;
    }

    ResultsCourier courier(parser.value(folder), parser.value(outbox));
    if (parser.positionalArguments().constFirst() == QLatin1String("submit")) {
        QString recordId = parser.isSet(id) ? parser.value(id) : newResultId();
        QByteArray json;
        if (parser.isSet(recordFile)) {
            QFile file(parser.value(recordFile));
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
                return 2;
            }
            json = file.readAll();
            recordId = QJsonDocument::fromJson(json).object().value(QStringLiteral("id")).toString();
        } else {
            json = resultJson(sampleRecord(recordId, parser.value(name)), QStringLiteral("1.0.0"));
            // Trailing white space: still the same JSON, as long as asked.
            json.append(QByteArray(parser.value(pad).toLongLong(), ' '));
        }
        return submitAndWait(app, courier, recordId, json);
    }
    int waiting = -1;
    QObject::connect(&courier, &ResultsCourier::passFinished, &app, [&](int delivered, int left) {
        std::printf("delivered %d waiting %d\n", delivered, left);
        if (left > 0)
            std::fprintf(stderr, "%s\n", qPrintable(courier.lastError()));
        waiting = left;
        app.quit();
    });
    courier.start();
    app.exec();
    return waiting == 0 ? 0 : 3;
}
