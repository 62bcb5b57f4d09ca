// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// «Перед началом теста»: the pupil's name and class, asked before the clock
// starts when the school's settings say so. Without the school's class
// lists the pupil types both; with them, the pupil chooses the class, then
// their name from its list, found by typing any part of it, so that a
// misspelt name cannot become a pupil of its own. «Начать» is refused while
// the name is blank (or, with the lists, not one of the class's), with a
// message beside the field that screen readers speak; the name and class
// are kept as cleanPupilText and normalClassName make them. Every field is
// reached by the keyboard and read by a screen reader with its label.

#include "results/class_list.h"
#include "results/result_record.h"
#include "results/school_settings.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

struct PupilName {
    QString name;
    QString className;
};

class PupilDialog : public QDialog
{
    Q_OBJECT
public:
    // `classes`, when given and not empty, are the school's class lists.
    explicit PupilDialog(QWidget *parent = nullptr, const ClassList *classes = nullptr);

    PupilName pupilName() const;
    // Closes the dialog only with a name (one of the class's, with the lists).
    void accept() override;

private:
    void addTypedFields(QFormLayout *form);
    void addListFields(QFormLayout *form);
    void showNames();
    // Why «Начать» is refused; empty when it is not.
    QString refusal() const;
    void refuse(const QString &why, QWidget *field);

    ClassList m_classes;
    // Typing, without the lists.
    QLineEdit *m_name = nullptr;
    QLineEdit *m_class = nullptr;
    // Choosing, with them.
    QComboBox *m_classChoice = nullptr;
    QComboBox *m_nameChoice = nullptr;
    QLabel *m_refusal = nullptr;
};

// Asks the pupil's name in a modal dialog; nullopt when the pupil cancels.
std::optional<PupilName> askPupilName(QWidget *parent, const ClassList *classes = nullptr);

// Who is working, as the school's settings say to learn it: the account's
// full name, or asked with askPupilName; nullopt when the pupil cancels.
// The login and the computer are the current ones.
std::optional<PupilIdentity> identifyPupil(QWidget *parent, const SchoolSettings &settings, const ClassList *classes);
