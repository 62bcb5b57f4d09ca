// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Carries records from the outbox to the results folder while the program
// runs: everything waiting from earlier runs at start, each new record at
// once, and whatever still waits every 30 seconds. Each delivery runs on a
// thread of its own, so a share that hangs never freezes the window; a new
// record is waited for a few seconds at most, to tell the pupil where it went.
//
// QtCore only.

#include "results/delivery.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QTimer>

class ResultsCourier : public QObject
{
    Q_OBJECT
public:
    enum class State {
        // The record is in the results folder.
        Delivered,
        // It waits in the outbox for the folder.
        Waiting,
        // Neither the folder nor the outbox took it; it is kept in memory
        // and offered again with every retry while the program runs.
        NotSaved,
    };
    static constexpr int RetryIntervalMs = 30'000;
    static constexpr int SubmitWaitMs = 3'000;

    // `outboxDir` defaults to Outbox::defaultPath().
    explicit ResultsCourier(const QString &folder, const QString &outboxDir = QString(), QObject *parent = nullptr);
    ~ResultsCourier() override;

    // Delivers what waits from earlier runs, and starts the retries.
    void start();
    // Keeps the record (`json`, named by `id`) and delivers it, waiting at
    // most `waitMs` for the folder. The same id again replaces the record.
    State submit(const QString &id, const QByteArray &json, int waitMs = SubmitWaitMs);

    // Whether the last delivery that finished reached the folder.
    bool lastDelivered() const { return m_lastDelivered; }
    // The line for the grade's message box (ResultMessages).
    static QString message(State state);
    const QString &outboxDir() const { return m_outbox.dir(); }

Q_SIGNALS:
    // A retry finished: how many records it delivered and how many still wait.
    void passFinished(int delivered, int waiting);

private:
    void runPass();
    QThread *startJob(std::function<void()> job);

    QString m_folder;
    Outbox m_outbox;
    QTimer m_timer;
    QPointer<QThread> m_pass;
    QList<QPointer<QThread>> m_jobs;
    // Records neither delivered nor stored in the outbox, by id.
    QHash<QString, QByteArray> m_unsaved;
    bool m_lastDelivered = false;
};
