// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/settings_check.h"

#include "results/delivery.h"
#include "results/result_record.h"
#include "results/school_settings.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Written whole: a NUL in a line does not end it early.
void print(std::FILE *out, const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
}

// A probe named so that the teacher's side never reads it (it starts with a
// dot), delivered as a record is, then removed.
QString probeFolder(const QString &folder)
{
    const QString id = newResultId();
    const QString name = QStringLiteral(".drobi-check-%1.probe").arg(id);
    const QByteArray bytes = QStringLiteral("drobi --check-settings probe %1\n").arg(id).toUtf8();
    const DeliveryResult result = deliverFile(folder, name, name + QStringLiteral(".part"), bytes);
    if (!result.delivered)
        return QStringLiteral("[results] folder=%1 cannot take a record: %2").arg(folder, result.error);
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
    if (::unlink(path.constData()) != 0)
        return QStringLiteral("[results] folder=%1: the probe %2 was written but cannot be removed").arg(folder, name);
    return QString();
}

} // namespace

int checkSchoolSettings(int argc, char *argv[], std::FILE *out)
{
    SchoolSettings settings;
    QString error;
    if (!loadSchoolSettings(argc, argv, SettingsUse::Check, &settings, &error)) {
        print(out, error);
        return 1;
    }
    QStringList problems = settings.problems;
    if (settings.resultsOn() && QFile::exists(settings.folder)) {
        if (const QString problem = probeFolder(settings.folder); !problem.isEmpty())
            problems << problem;
    }
    for (const QString &problem : std::as_const(problems))
        print(out, problem);

    // One arg() for all, so that a % in the file's or the folder's name stays as it is.
    print(out, QStringLiteral("%1: results %2; names %3; the test lasts %4; %5")
                   .arg(settings.file,
                        settings.resultsOn() ? QStringLiteral("go to %1").arg(settings.folder) : QStringLiteral("are off"),
                        settings.nameSource == PupilNameSource::Login ? QStringLiteral("from the account")
                                                                      : QStringLiteral("asked before the test"),
                        settings.minutes == 1 ? QStringLiteral("1 minute") : QStringLiteral("%1 minutes").arg(settings.minutes),
                        problems.isEmpty()        ? QStringLiteral("no problems")
                        : problems.size() == 1 ? QStringLiteral("1 problem")
                                               : QStringLiteral("%1 problems").arg(problems.size())));
    return problems.isEmpty() && std::fflush(out) == 0 ? 0 : 1;
}
