// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/pupil_dialog.h"

#include "results/result_record.h"
#include "runtime/accessible_controls.h"

#include <QComboBox>
#include <QCompleter>
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
const QString ChooseClass = QStringLiteral("выберите класс");
const QString FindName = QStringLiteral("начните вводить фамилию");
const QString Start = QStringLiteral("Начать");
const QString Cancel = QStringLiteral("Отмена");
const QString NameMissing = QStringLiteral("Введите фамилию и имя, чтобы начать тест.");
const QString ClassMissing = QStringLiteral("Выберите свой класс, чтобы начать тест.");
const QString NameNotListed = QStringLiteral("Такого ученика нет в списке класса. Выберите своё имя из списка.");

// The label names its field for screen readers and for the mnemonic-free keyboard.
void addRow(QFormLayout *form, const QString &label, QWidget *field, const QString &objectName)
{
    field->setObjectName(objectName);
    field->setAccessibleName(label);
    auto *caption = new QLabel(label);
    caption->setBuddy(field);
    form->addRow(caption, field);
}

QLineEdit *addField(QFormLayout *form, const QString &label, const QString &objectName)
{
    auto *field = new QLineEdit;
    field->setMaxLength(MaxPupilTextLength);
    addRow(form, label, field, objectName);
    return field;
}

// The class's names, found by any part typed, in any case.
QComboBox *nameChooser()
{
    auto *names = new QComboBox;
    names->setEditable(true);
    names->setInsertPolicy(QComboBox::NoInsert);
    names->lineEdit()->setMaxLength(MaxPupilTextLength);
    names->lineEdit()->setPlaceholderText(FindName);
    names->completer()->setCompletionMode(QCompleter::PopupCompletion);
    names->completer()->setFilterMode(Qt::MatchContains);
    names->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    return names;
}

} // namespace

PupilDialog::PupilDialog(QWidget *parent, const ClassList *classes) : QDialog(parent)
{
    setWindowTitle(Title);
    setModal(true);
    if (classes)
        m_classes = *classes;

    m_refusal = new QLabel;
    m_refusal->setObjectName(QStringLiteral("pupilNameMissing"));
    m_refusal->setWordWrap(true);
    m_refusal->setTextFormat(Qt::PlainText);
    QPalette palette = m_refusal->palette();
    palette.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
    m_refusal->setPalette(palette);
    m_refusal->hide();

    auto *form = new QFormLayout;
    if (m_classes.isEmpty())
        addTypedFields(form);
    else
        addListFields(form);

    auto *buttons = new QDialogButtonBox;
    QPushButton *start = buttons->addButton(Start, QDialogButtonBox::AcceptRole);
    buttons->addButton(Cancel, QDialogButtonBox::RejectRole);
    start->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &PupilDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PupilDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // A dialog that grows when the refusal shows instead of clipping it.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PupilDialog::addTypedFields(QFormLayout *form)
{
    m_name = addField(form, NameLabel, QStringLiteral("pupilName"));
    form->addRow(QString(), m_refusal);
    m_class = addField(form, ClassLabel, QStringLiteral("pupilClass"));
    m_class->setPlaceholderText(ClassExample);
    // Typing a name takes the refusal away.
    connect(m_name, &QLineEdit::textEdited, this, [this] {
        m_refusal->hide();
        m_name->setAccessibleDescription(QString());
    });
    // Room for a full name.
    m_name->setMinimumWidth(m_name->fontMetrics().averageCharWidth() * 32);
    m_name->setFocus();
}

// The class first, then the name: the names offered are the class's.
void PupilDialog::addListFields(QFormLayout *form)
{
    m_classChoice = new QComboBox;
    m_classChoice->addItems(m_classes.classes());
    m_classChoice->setPlaceholderText(ChooseClass);
    m_classChoice->setCurrentIndex(-1);
    addRow(form, ClassLabel, m_classChoice, QStringLiteral("pupilClass"));
    m_nameChoice = nameChooser();
    addRow(form, NameLabel, m_nameChoice, QStringLiteral("pupilName"));
    form->addRow(QString(), m_refusal);
    connect(m_classChoice, &QComboBox::currentIndexChanged, this, &PupilDialog::showNames);
    connect(m_nameChoice, &QComboBox::editTextChanged, this, [this] {
        m_refusal->hide();
        m_nameChoice->setAccessibleDescription(QString());
    });
    m_nameChoice->setMinimumWidth(m_nameChoice->fontMetrics().averageCharWidth() * 32);
    m_classChoice->setFocus();
}

void PupilDialog::showNames()
{
    m_nameChoice->clear();
    m_nameChoice->addItems(m_classes.namesIn(m_classChoice->currentText()));
    m_nameChoice->setCurrentIndex(-1);
    m_nameChoice->clearEditText();
}

PupilName PupilDialog::pupilName() const
{
    if (m_nameChoice) {
        // The name as the list writes it, however its case was typed.
        const QString typed = cleanPupilText(m_nameChoice->currentText());
        const QString className = m_classChoice->currentText();
        for (const QString &listed : m_classes.namesIn(className)) {
            if (listed.compare(typed, Qt::CaseInsensitive) == 0)
                return {listed, className};
        }
        return {typed, className};
    }
    return {cleanPupilText(m_name->text()), normalClassName(m_class->text())};
}

QString PupilDialog::refusal() const
{
    const PupilName pupil = pupilName();
    if (m_classChoice && m_classChoice->currentIndex() < 0)
        return ClassMissing;
    if (pupil.name.isEmpty())
        return NameMissing;
    if (m_nameChoice && !m_classes.namesIn(pupil.className).contains(pupil.name))
        return NameNotListed;
    return QString();
}

void PupilDialog::accept()
{
    const QString why = refusal();
    if (why.isEmpty()) {
        QDialog::accept();
        return;
    }
    QWidget *field = m_name;
    if (m_classChoice)
        field = why == ClassMissing ? static_cast<QWidget *>(m_classChoice) : m_nameChoice;
    refuse(why, field);
}

// The reason beside the field and spoken at once; the focus goes back to
// the field, which a screen reader then reads with the reason too.
void PupilDialog::refuse(const QString &why, QWidget *field)
{
    m_refusal->setText(why);
    m_refusal->show();
    field->setAccessibleDescription(why);
    field->setFocus();
    announce(this, why);
}

std::optional<PupilName> askPupilName(QWidget *parent, const ClassList *classes)
{
    PupilDialog dialog(parent, classes);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.pupilName();
}

std::optional<PupilIdentity> identifyPupil(QWidget *parent, const SchoolSettings &settings, const ClassList *classes)
{
    PupilIdentity pupil;
    pupil.login = currentLogin();
    pupil.host = currentHost();
    if (settings.nameSource == PupilNameSource::Login) {
        pupil.name = currentFullName();
        pupil.naming = PupilNaming::Login;
        return pupil;
    }
    const std::optional<PupilName> typed = askPupilName(parent, classes);
    if (!typed)
        return std::nullopt;
    pupil.name = typed->name;
    pupil.className = typed->className;
    pupil.naming = PupilNaming::Typed;
    return pupil;
}
