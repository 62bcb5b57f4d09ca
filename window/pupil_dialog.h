// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// «Перед началом теста»: the pupil's name and class, asked before the clock
// starts when the school's settings say so. «Начать» is refused while the
// name is blank, with a message beside the field; the name and class are
// kept as cleanPupilText makes them (any letters, no control characters, at
// most 100 characters). Every field is reached by the keyboard and read by
// a screen reader with its label.

#include <QDialog>
#include <optional>

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
    explicit PupilDialog(QWidget *parent = nullptr);

    PupilName pupilName() const;
    // Closes the dialog only with a name.
    void accept() override;

private:
    QLineEdit *m_name;
    QLineEdit *m_class;
    QLabel *m_refusal;
};

// Asks the pupil's name in a modal dialog; nullopt when the pupil cancels.
std::optional<PupilName> askPupilName(QWidget *parent);
