// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_arguments.h"

#include "classview/class_export.h"
#include "results/class_list.h"

#include <optional>

namespace {

using Value = std::optional<QString>;

bool failed(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

bool help(ClassArguments &a, const Value &, QString *)
{
    a.action = ClassArguments::Action::Help;
    return true;
}

bool version(ClassArguments &a, const Value &, QString *)
{
    a.action = ClassArguments::Action::Version;
    return true;
}

bool exportTo(ClassArguments &a, const Value &v, QString *error)
{
    if (!v || !exportFormatOf(*v))
        return failed(error, QStringLiteral("--export needs a file ending in .csv, .xlsx or .pdf"));
    a.exportPath = *v;
    return true;
}

bool date(ClassArguments &a, const Value &v, QString *error)
{
    a.filter.date = !v || *v == QLatin1String("all") ? QDate() : QDate::fromString(*v, Qt::ISODate);
    return (v && (*v == QLatin1String("all") || a.filter.date.isValid()))
           || failed(error, QStringLiteral("--date needs YYYY-MM-DD or all"));
}

bool group(ClassArguments &a, const Value &v, QString *error)
{
    if (!v)
        return failed(error, QStringLiteral("--group needs a class, such as 6Б"));
    a.filter.group = normalClassName(*v);
    return true;
}

// Read by the settings loader, which also names a missing FILE.
bool settings(ClassArguments &, const Value &, QString *)
{
    return true;
}

bool projector(ClassArguments &a, const Value &, QString *)
{
    a.projector = true;
    return true;
}

bool attempt(ClassArguments &a, const Value &v, QString *error)
{
    for (const AttemptWord &w : AttemptWords) {
        if (v && *v == QLatin1String(w.word)) {
            a.attempt = w.choice;
            return true;
        }
    }
    return failed(error, QStringLiteral("--attempt needs last, best, first or all"));
}

bool pupils(ClassArguments &a, const Value &, QString *)
{
    a.pupilPages = true;
    return true;
}

// Qt's own options that take a value: left to Qt, with their values.
bool qtOption(ClassArguments &, const Value &, QString *)
{
    return true;
}

bool platform(ClassArguments &a, const Value &, QString *)
{
    a.platformGiven = true;
    return true;
}

struct Option {
    const char *name;
    bool takesValue;
    bool (*apply)(ClassArguments &, const Value &, QString *);
};

constexpr Option Options[] = {
    {"--help", false, help},          {"--version", false, version},   {"--export", true, exportTo},
    {"--date", true, date},           {"--group", true, group},        {"--settings", true, settings},
    {"--projector", false, projector}, {"--attempt", true, attempt},   {"--pupils", false, pupils},
    {"-reverse", false, qtOption},    {"-platform", true, platform},
    {"-platformpluginpath", true, qtOption}, {"-platformtheme", true, qtOption}, {"-plugin", true, qtOption},
    {"-display", true, qtOption},     {"-style", true, qtOption},      {"-stylesheet", true, qtOption},
    {"-qwindowgeometry", true, qtOption}, {"-qwindowtitle", true, qtOption}, {"-qwindowicon", true, qtOption},
    {"-session", true, qtOption},
};

const Option *optionNamed(const QString &arg)
{
    for (const Option &o : Options) {
        if (arg == QLatin1String(o.name))
            return &o;
    }
    return nullptr;
}

// An argument that is no option: the folder, once.
bool positional(ClassArguments &a, const QString &arg, QString *error)
{
    if (arg.startsWith(QLatin1Char('-')))
        return failed(error, QStringLiteral("unknown option %1 (see --help)").arg(arg));
    if (!a.folder.isEmpty())
        return failed(error, QStringLiteral("unexpected argument: %1").arg(arg));
    a.folder = arg;
    return true;
}

} // namespace

bool parseClassArguments(const QStringList &arguments, const QDate &today, ClassArguments *parsed, QString *error)
{
    ClassArguments a;
    a.filter.date = today;
    for (qsizetype i = 0; i < arguments.size() && a.action == ClassArguments::Action::Run; ++i) {
        // `--name=value` as `--name value`, for the options of our own that take one.
        const qsizetype equals = arguments[i].startsWith(QLatin1String("--")) ? arguments[i].indexOf(QLatin1Char('=')) : -1;
        const Option *joined = equals > 0 ? optionNamed(arguments[i].left(equals)) : nullptr;
        const Option *option = joined && joined->takesValue ? joined : optionNamed(arguments[i]);
        if (!option) {
            if (!positional(a, arguments[i], error))
                return false;
            continue;
        }
        Value value;
        if (option == joined)
            value = arguments[i].mid(equals + 1);
        else if (option->takesValue && i + 1 < arguments.size())
            value = arguments[++i];
        if (!option->apply(a, value, error))
            return false;
    }
    if (a.pupilPages && a.action == ClassArguments::Action::Run
        && exportFormatOf(a.exportPath) != std::optional(ExportFormat::Pdf))
        return failed(error, QStringLiteral("--pupils needs --export FILE.pdf"));
    *parsed = a;
    return true;
}
