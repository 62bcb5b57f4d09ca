// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/program_end.h"

#include "runtime/checked16.h"
#include "runtime/control_array.h"
#include "runtime/message_box.h"

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

bool g_reporting = false;

// The exit status of a runtime error.
int runtimeErrorCode(const std::exception &error)
{
    if (dynamic_cast<const OverflowError *>(&error))
        return 6;
    if (dynamic_cast<const SubscriptError *>(&error))
        return 9;
    return 1;
}

QString describe(const std::exception &error)
{
    if (dynamic_cast<const OverflowError *>(&error))
        return QStringLiteral("переполнение");
    if (dynamic_cast<const SubscriptError *>(&error))
        return QStringLiteral("индекс вне допустимого диапазона");
    return QString::fromLocal8Bit(error.what());
}

} // namespace

void EndProgram()
{
    QCoreApplication::exit(0);
}

bool runtimeErrorPending() { return g_reporting; }

void reportRuntimeError(const std::exception &error)
{
    const int code = runtimeErrorCode(error);
    if (g_reporting)
        std::_Exit(code);
    g_reporting = true;

    const QString what = describe(error);
    std::fprintf(stderr, "drobi: ошибка выполнения %d: %s (%s)\n", code, qUtf8Printable(what), error.what());
    std::fflush(stderr);

    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QWidget *window = QApplication::activeWindow();
        MsgBox(window,
               QStringLiteral("Ошибка выполнения %1: %2.\nПрограмма будет закрыта.").arg(code).arg(what),
               MsgBoxStyle::Critical, QStringLiteral("Ошибка"));
    }
    std::fflush(stdout);
    std::_Exit(code);
}
