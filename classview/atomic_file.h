// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file written whole or not at all, for the exports: the bytes go to a
// temporary file beside the target, made anew (O_CREAT | O_EXCL) without
// following a link (O_NOFOLLOW), are flushed to disk, and the temporary
// file is renamed over the target. A teacher may save into a folder pupils
// can write into (the results folder): a link a pupil planted under the
// target's name is refused, and one planted under the temporary file's name
// is passed over for another name, so no link leads the export onto another
// file.
//
// QtCore and POSIX only.

#include <QByteArray>
#include <QString>

// Writes `bytes` as the file `path`. Returns false, with the reason in
// Russian in `error`, when the file was not written; the target is then as
// it was.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error);

// Whether `path` would be saved into `folder` or a folder inside it, links
// followed: the results folder, which pupils write into.
bool savesInto(const QString &path, const QString &folder);
