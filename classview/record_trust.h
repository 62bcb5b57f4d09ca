// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a record cannot show of itself: whether it was written under the
// school's settings (the time allowed and the way pupils are named), and
// who wrote its file.
//
// A record's own words prove nothing: a pupil may run the program with
// other settings, type a classmate's name or fake the login it records.
// The file's owner is the one thing the folder vouches for, and only where
// each pupil writes with an account of their own (a drop box): an owner
// that is the folder's owner, the account reading the folder, or root is a
// shared or trusted account (a share that maps everyone to one account, the
// teacher copying files in), and then the owner says nothing of the pupil.
//
// QtCore only.

#include "results/result_record.h"
#include "results/school_settings.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the school's settings ask of every test; unset when the class
// window has no school settings to compare with.
struct SchoolRules {
    int secondsAllowed = 0;
    PupilNameSource nameSource = PupilNameSource::Ask;
};

// Who owns a record file, and who owns the folder it is in.
struct FileOwners {
    quint32 file = 0;
    quint32 folder = 0;
    // The account reading the folder (the teacher's).
    quint32 reader = 0;
};

// The account's name, or the number when the system knows no such account.
QString accountName(quint32 uid);

// Why the record does not agree with the school's settings, one line each.
QStringList settingsMismatches(const ResultRecord &record, const std::optional<SchoolRules> &rules);

// Whether the file's owner tells who wrote it: an account of its own, not
// the folder's, the reader's or root's.
bool ownerProves(const FileOwners &owners);

// «записан не от имени ученика: …» when the file's owner proves who wrote it
// and that is not the login the record gives; empty otherwise.
QString ownerMismatch(const ResultRecord &record, const FileOwners &owners);
