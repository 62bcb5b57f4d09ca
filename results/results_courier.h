// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Carries records from the outbox to the results folder while the program
// runs: everything waiting from earlier runs at start, each new record at
// once, and whatever still waits every 30 seconds. A new record is kept in
// the outbox (the local disk) before submit() returns; its delivery runs on
// a thread, so a share that hangs never holds up the window, which hears of
// the end through deliveryEnded().
//
// One delivery runs at a time. A record submitted again under the same id
// while an older copy is on its way is delivered after it, so the newer
// copy is the one the folder keeps; a record neither delivered nor kept by
// the outbox stays in memory and goes with every retry.
//
// QtCore only.

#include "results/delivery.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QThread>

class QTimer;

class ResultsCourier : public QObject
{
    Q_OBJECT
public:
    enum class State {
        // On its way to the folder, kept in the outbox meanwhile.
        Delivering,
        // On its way to the folder; the outbox could not take it, so it is
        // kept in memory only.
        DeliveringUnsaved,
        // The record is in the results folder.
        Delivered,
        // It waits in the outbox for the folder.
        Waiting,
        // Neither the folder nor the outbox took it; it is kept in memory
        // and offered again with every retry while the program runs.
        NotSaved,
    };
    Q_ENUM(State)
    static constexpr int RetryIntervalMs = 30'000;

    // `outboxDir` defaults to Outbox::defaultPath().
    explicit ResultsCourier(const QString &folder, const QString &outboxDir = QString(), QObject *parent = nullptr);
    ~ResultsCourier() override;

    // Delivers what waits from earlier runs, and starts the retries.
    void start();
    // Keeps the record (`json`, named by `id`: a test record's id or a
    // practice record's file name, recordFileName) in the outbox and starts its
    // delivery; returns at once with Delivering, or DeliveringUnsaved when
    // the outbox could not take it. The same id again replaces the record.
    State submit(const QString &id, const QByteArray &json);

    // Whether the last delivery that finished reached the folder.
    bool lastDelivered() const { return m_lastDelivered; }
    // Why the last delivery that finished did not reach the folder; empty when it did.
    const QString &lastError() const { return m_lastError; }
    // The line for the grade's message box (ResultMessages).
    static QString message(State state);
    const QString &outboxDir() const { return m_outbox.dir(); }

Q_SIGNALS:
    // The delivery of a submitted record ended: Delivered, Waiting or
    // NotSaved. Not sent for a copy that a newer one of the same id replaced
    // on its way; the newer copy's end is.
    void deliveryEnded(const QString &id, ResultsCourier::State state);
    // A retry finished: how many records it delivered and how many still wait.
    void passFinished(int delivered, int waiting);

private:
    struct Parcel;
    void runPass();
    // Starts the next delivery unless one runs: submitted records first,
    // then a retry pass if one is due.
    void startNext();
    bool startPass();
    void startJob(QList<Parcel> parcels, bool wholeOutbox);
    // On the delivery's thread. A whole pass adds every record waiting in
    // the outbox, except those that memory holds a newer copy of.
    static void deliverParcels(const Outbox &outbox, const QString &folder, QList<Parcel> *parcels,
                               bool wholeOutbox);
    void jobEnded(const QList<Parcel> &parcels, bool wholeOutbox);
    // Tells the end of submitted records that a delivery took along.
    void settleSubmitted();

    QString m_folder;
    Outbox m_outbox;
    QTimer *m_retry;
    // The one delivery running, if any.
    QPointer<QThread> m_job;
    // Records submitted and not yet handed to a delivery, oldest first.
    QStringList m_submitted;
    bool m_passDue = false;
    // Records neither delivered nor stored in the outbox, by id; newer than
    // any copy of the same id in the outbox.
    QHash<QString, QByteArray> m_unsaved;
    bool m_lastDelivered = false;
    QString m_lastError;
};
