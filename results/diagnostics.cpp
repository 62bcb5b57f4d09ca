// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/diagnostics.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstring>

namespace {

const char *g_program = "drobi";
QtMessageHandler g_qtHandler = nullptr;

void printLine(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!context.category || std::strncmp(context.category, "drobi.", 6) != 0) {
        // Qt hands back its own default handler when none was installed.
        g_qtHandler(type, context, message);
        return;
    }
    // Written whole, so that a NUL in a message does not end the line early.
    const QByteArray line = QByteArray(g_program) + ": " + message.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

} // namespace

void installDiagnostics(const char *program)
{
    g_program = program;
    g_qtHandler = qInstallMessageHandler(printLine);
}
