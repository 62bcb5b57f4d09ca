// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/results_courier.h"

#include "results/result_messages.h"
#include "results/result_record.h"

#include <QTimer>
#include <algorithm>
#include <memory>

// One record handed to a delivery: from the outbox, or its bytes from memory
// when the outbox could not take it; and how its delivery went.
struct ResultsCourier::Parcel {
    QString id;
    QByteArray bytes;
    bool fromOutbox = true;
    // Submitted by the window, which waits to hear how it went.
    bool submitted = false;
    DeliveryResult result;
};

ResultsCourier::ResultsCourier(const QString &folder, const QString &outboxDir, QObject *parent)
    : QObject(parent),
      m_folder(folder),
      m_outbox(outboxDir.isEmpty() ? Outbox::defaultPath() : outboxDir),
      m_retry(new QTimer(this))
{
    m_retry->setInterval(RetryIntervalMs);
    connect(m_retry, &QTimer::timeout, this, &ResultsCourier::runPass);
}

ResultsCourier::~ResultsCourier()
{
    m_retry->stop();
    // A delivery stuck on a hanging share is left to end with the process:
    // its record is safe in the outbox, and the job holds nothing of ours.
    if (m_job && !m_job->wait(QDeadlineTimer(1000)))
        disconnect(m_job, nullptr, this, nullptr);
}

void ResultsCourier::start()
{
    runPass();
    m_retry->start();
}

void ResultsCourier::runPass()
{
    // A pass due while a delivery is stuck on the share waits for it.
    m_passDue = true;
    startNext();
}

ResultsCourier::State ResultsCourier::submit(const QString &id, const QByteArray &json)
{
    const bool stored = m_outbox.store(id, json, nullptr);
    if (stored)
        m_unsaved.remove(id);
    else
        m_unsaved.insert(id, json);
    if (!m_submitted.contains(id))
        m_submitted << id;
    startNext();
    return stored ? State::Delivering : State::DeliveringUnsaved;
}

void ResultsCourier::startNext()
{
    if (m_job)
        return;
    if (!m_submitted.isEmpty()) {
        QList<Parcel> parcels;
        for (const QString &id : std::as_const(m_submitted)) {
            const auto unsaved = m_unsaved.constFind(id);
            const bool fromOutbox = unsaved == m_unsaved.cend();
            parcels << Parcel{id, fromOutbox ? QByteArray() : *unsaved, fromOutbox, true, {}};
        }
        m_submitted.clear();
        startJob(parcels, false);
        return;
    }
    if (m_passDue) {
        m_passDue = false;
        if (!startPass())
            QMetaObject::invokeMethod(this, [this] { Q_EMIT passFinished(0, 0); }, Qt::QueuedConnection);
    }
}

bool ResultsCourier::startPass()
{
    // Records the outbox could not take before may fit now.
    for (auto it = m_unsaved.begin(); it != m_unsaved.end();) {
        if (m_outbox.store(it.key(), it.value(), nullptr))
            it = m_unsaved.erase(it);
        else
            ++it;
    }
    // Nothing waits: no thread for an empty outbox.
    if (m_unsaved.isEmpty() && m_outbox.waitingIds().isEmpty())
        return false;
    QList<Parcel> parcels;
    for (auto it = m_unsaved.cbegin(); it != m_unsaved.cend(); ++it)
        parcels << Parcel{it.key(), it.value(), false, false, {}};
    startJob(parcels, true);
    return true;
}

void ResultsCourier::startJob(QList<Parcel> parcels, bool wholeOutbox)
{
    auto delivered = std::make_shared<QList<Parcel>>(std::move(parcels));
    QThread *thread = QThread::create([outbox = m_outbox, folder = m_folder, delivered, wholeOutbox] {
        deliverParcels(outbox, folder, delivered.get(), wholeOutbox);
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, delivered, wholeOutbox] { jobEnded(*delivered, wholeOutbox); });
    m_job = thread;
    thread->start();
}

void ResultsCourier::jobEnded(const QList<Parcel> &parcels, bool wholeOutbox)
{
    m_job = nullptr;
    int delivered = 0;
    QString lastError;
    for (const Parcel &parcel : parcels) {
        const bool arrived = parcel.result.delivered;
        // A copy from memory that arrived leaves memory, and an older copy
        // in the outbox goes too; unless a newer one came meanwhile.
        if (arrived && !parcel.fromOutbox && m_unsaved.value(parcel.id) == parcel.bytes) {
            m_unsaved.remove(parcel.id);
            m_outbox.remove(parcel.id);
        }
        delivered += arrived ? 1 : 0;
        if (!arrived)
            lastError = parcel.result.error;
        if (parcel.submitted && !m_submitted.contains(parcel.id)) {
            const State state = arrived ? State::Delivered
                                : m_unsaved.contains(parcel.id) ? State::NotSaved
                                                                : State::Waiting;
            Q_EMIT deliveryEnded(parcel.id, state);
        }
    }
    if (!parcels.isEmpty()) {
        m_lastDelivered = delivered == parcels.size();
        m_lastError = lastError;
    }
    if (wholeOutbox)
        Q_EMIT passFinished(delivered, int(parcels.size()) - delivered);
    settleSubmitted();
    startNext();
}

void ResultsCourier::settleSubmitted()
{
    if (m_submitted.isEmpty())
        return;
    // A record leaves memory and the outbox only once the folder holds it,
    // its newest copy: one submitted while a delivery ran and taken along
    // by it needs no delivery of its own.
    const QStringList waiting = m_outbox.waitingIds();
    QStringList settled;
    for (const QString &id : std::as_const(m_submitted)) {
        if (!m_unsaved.contains(id) && !waiting.contains(id))
            settled << id;
    }
    for (const QString &id : std::as_const(settled)) {
        m_submitted.removeOne(id);
        Q_EMIT deliveryEnded(id, State::Delivered);
    }
}

QString ResultsCourier::message(State state)
{
    switch (state) {
    case State::Delivering:
        return ResultMessages::Delivering;
    case State::DeliveringUnsaved:
        return ResultMessages::DeliveringUnsaved;
    case State::Delivered:
        return ResultMessages::Delivered;
    case State::Waiting:
        return ResultMessages::Waiting;
    case State::NotSaved:
        break;
    }
    return ResultMessages::NotSaved;
}

void ResultsCourier::deliverParcels(const Outbox &outbox, const QString &folder, QList<Parcel> *parcels,
                                    bool wholeOutbox)
{
    if (wholeOutbox) {
        QList<Parcel> waiting;
        for (const QString &id : outbox.waitingIds()) {
            const bool newerInMemory =
                std::any_of(parcels->cbegin(), parcels->cend(), [&id](const Parcel &p) { return p.id == id; });
            if (!newerInMemory)
                waiting << Parcel{id, {}, true, false, {}};
        }
        *parcels = waiting + *parcels;
    }
    for (Parcel &parcel : *parcels) {
        parcel.result = parcel.fromOutbox ? outbox.deliver(parcel.id, folder)
                                          : deliverFile(folder, recordFileName(parcel.id), resultTempName(parcel.id),
                                                        parcel.bytes);
    }
}
