// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/results_courier.h"

#include "results/result_messages.h"
#include "results/result_record.h"

#include <memory>

ResultsCourier::ResultsCourier(const QString &folder, const QString &outboxDir, QObject *parent)
    : QObject(parent), m_folder(folder), m_outbox(outboxDir.isEmpty() ? Outbox::defaultPath() : outboxDir)
{
    m_timer.setInterval(RetryIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ResultsCourier::runPass);
}

ResultsCourier::~ResultsCourier()
{
    m_timer.stop();
    // A delivery stuck on a hanging share is left to end with the process:
    // its record is safe in the outbox, and the job holds nothing of ours.
    for (const QPointer<QThread> &job : std::as_const(m_jobs)) {
        if (job && !job->wait(QDeadlineTimer(1000)))
            disconnect(job, nullptr, this, nullptr);
    }
}

void ResultsCourier::start()
{
    runPass();
    m_timer.start();
}

QThread *ResultsCourier::startJob(std::function<void()> job)
{
    QThread *thread = QThread::create(std::move(job));
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    m_jobs.removeAll(nullptr);
    m_jobs << thread;
    thread->start();
    return thread;
}

void ResultsCourier::runPass()
{
    // A pass still stuck on the share is not joined by another.
    if (m_pass)
        return;
    // Records the outbox could not take before may fit now.
    for (auto it = m_unsaved.begin(); it != m_unsaved.end();) {
        if (m_outbox.store(it.key(), it.value(), nullptr))
            it = m_unsaved.erase(it);
        else
            ++it;
    }
    auto report = std::make_shared<Outbox::Report>();
    const QHash<QString, QByteArray> unsaved = m_unsaved;
    auto deliveredUnsaved = std::make_shared<QStringList>();
    m_pass = startJob([outbox = m_outbox, folder = m_folder, report, unsaved, deliveredUnsaved] {
        *report = outbox.deliverAll(folder);
        for (auto it = unsaved.begin(); it != unsaved.end(); ++it) {
            const DeliveryResult result = deliverFile(folder, resultFileName(it.key()), resultTempName(it.key()), it.value());
            if (result.delivered)
                *deliveredUnsaved << it.key();
            else
                report->waiting << it.key();
        }
    });
    connect(m_pass, &QThread::finished, this, [this, report, deliveredUnsaved] {
        for (const QString &id : std::as_const(*deliveredUnsaved))
            m_unsaved.remove(id);
        const int delivered = int(report->delivered.size() + deliveredUnsaved->size());
        if (delivered > 0 || !report->waiting.isEmpty())
            m_lastDelivered = report->waiting.isEmpty();
        Q_EMIT passFinished(delivered, int(report->waiting.size()));
    });
}

ResultsCourier::State ResultsCourier::submit(const QString &id, const QByteArray &json, int waitMs)
{
    const bool stored = m_outbox.store(id, json, nullptr);
    if (stored)
        m_unsaved.remove(id);
    auto result = std::make_shared<DeliveryResult>();
    QThread *job = startJob([outbox = m_outbox, folder = m_folder, id, json, stored, result] {
        *result = stored ? outbox.deliver(id, folder)
                         : deliverFile(folder, resultFileName(id), resultTempName(id), json);
    });
    const bool finished = job->wait(QDeadlineTimer(waitMs));
    const bool delivered = finished && result->delivered;
    if (finished)
        m_lastDelivered = delivered;
    if (delivered)
        return State::Delivered;
    if (stored)
        return State::Waiting;
    m_unsaved.insert(id, json);
    return State::NotSaved;
}

QString ResultsCourier::message(State state)
{
    switch (state) {
    case State::Delivered:
        return ResultMessages::Delivered;
    case State::Waiting:
        return ResultMessages::Waiting;
    case State::NotSaved:
        break;
    }
    return ResultMessages::NotSaved;
}
