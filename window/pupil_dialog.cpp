// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/pupil_dialog.h"

#include "results/result_record.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Перед началом теста");
const QString NameLabel = QStringLiteral("Фамилия и имя");
const QString ClassLabel = QStringLiteral("Класс");
const QString ClassExample = QStringLiteral("например, 6Б");
const QString Start = QStringLiteral("Начать");
const QString Cancel = QStringLiteral("Отмена");
const QString NameMissing = QStringLiteral("Введите фамилию и имя, чтобы начать тест.");

QLineEdit *addField(QFormLayout *form, const QString &label, const QString &objectName)
{
    auto *field = new QLineEdit;
    field->setObjectName(objectName);
    field->setMaxLength(MaxPupilTextLength);
    auto *caption = new QLabel(label);
    // The label names its field for screen readers and for the mnemonic-free keyboard.
    caption->setBuddy(field);
    field->setAccessibleName(label);
    form->addRow(caption, field);
    return field;
}

} // namespace

PupilDialog::PupilDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(Title);
    setModal(true);

    auto *form = new QFormLayout;
    m_name = addField(form, NameLabel, QStringLiteral("pupilName"));
    m_refusal = new QLabel(NameMissing);
    m_refusal->setObjectName(QStringLiteral("pupilNameMissing"));
    m_refusal->setWordWrap(true);
    QPalette palette = m_refusal->palette();
    palette.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
    m_refusal->setPalette(palette);
    m_refusal->hide();
    form->addRow(QString(), m_refusal);
    m_class = addField(form, ClassLabel, QStringLiteral("pupilClass"));
    m_class->setPlaceholderText(ClassExample);

    auto *buttons = new QDialogButtonBox;
    QPushButton *start = buttons->addButton(Start, QDialogButtonBox::AcceptRole);
    buttons->addButton(Cancel, QDialogButtonBox::RejectRole);
    start->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &PupilDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PupilDialog::reject);
    // Typing a name takes the refusal away.
    connect(m_name, &QLineEdit::textEdited, this, [this] {
        m_refusal->hide();
        m_name->setAccessibleDescription(QString());
    });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // Room for a full name, and a dialog that grows when the refusal shows
    // instead of clipping it.
    m_name->setMinimumWidth(m_name->fontMetrics().averageCharWidth() * 32);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_name->setFocus();
}

PupilName PupilDialog::pupilName() const
{
    return {cleanPupilText(m_name->text()), cleanPupilText(m_class->text())};
}

void PupilDialog::accept()
{
    if (!pupilName().name.isEmpty()) {
        QDialog::accept();
        return;
    }
    m_refusal->show();
    // The focus goes back to the field, which a screen reader then reads
    // with the reason.
    m_name->setAccessibleDescription(NameMissing);
    m_name->setFocus();
}

std::optional<PupilName> askPupilName(QWidget *parent)
{
    PupilDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.pupilName();
}
