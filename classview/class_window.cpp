// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_window.h"

#include "classview/class_charts.h"
#include "classview/class_report.h"
#include "classview/table_export.h"
#include "fraction/written_form.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTextBrowser>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>
#include <utility>

namespace {

constexpr int SortRole = Qt::UserRole;
constexpr int TestIndexRole = Qt::UserRole + 1;

// Opens the pupil's test on Enter as on a double-click.
class EnterOpens : public QObject {
public:
    EnterOpens(QTableView *table, std::function<void(const QModelIndex &)> open)
        : QObject(table), m_table(table), m_open(std::move(open))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_table->currentIndex().isValid()) {
                m_open(m_table->currentIndex());
                return true;
            }
        }
        return false;
    }

private:
    QTableView *m_table;
    std::function<void(const QModelIndex &)> m_open;
};

} // namespace

// The tests table: the shown tests' cells, computed once per change, and
// what sorting, colours and screen readers need, computed when asked.
class TestsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void reset(const QList<ShownTest> *tests)
    {
        beginResetModel();
        m_tests = tests;
        m_cells.clear();
        m_cells.reserve(tests->size());
        for (const ShownTest &t : *tests)
            m_cells << tableRow(t);
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_cells.size()); }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_header.size());
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_header.size())
            return m_header[section];
        return {};
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_cells.size())
            return {};
        const int c = index.column();
        const TestEntry &e = *(*m_tests)[index.row()].entry;
        const int task = c - int(Column::FirstTask);
        const bool right = task >= 0 && e.check.rows[size_t(task)].right;
        switch (role) {
        case Qt::DisplayRole: return m_cells[index.row()][c];
        case TestIndexRole: return index.row();
        case SortRole:
            switch (Column(std::min(c, int(Column::FirstTask)))) {
            case Column::Date:
            case Column::Start: return e.record.started.toSecsSinceEpoch();
            case Column::Minutes: return e.record.secondsUsed;
            case Column::Right: return e.check.graded ? e.check.right : -1;
            case Column::Grade: return e.check.grade;
            case Column::FirstTask: return e.check.graded ? int(right) : -1;
            default: return m_cells[index.row()][c];
            }
        case Qt::TextAlignmentRole:
            if (c >= int(Column::Minutes) && c != int(Column::State) && c != int(Column::Check))
                return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
            return {};
        case Qt::ForegroundRole:
            if (task >= 0 && e.check.graded)
                return right ? QColor(0, 100, 0) : QColor(140, 0, 0);
            return {};
        case Qt::AccessibleTextRole:
            if (task >= 0 && e.check.graded)
                return QStringLiteral("задание %1: %2").arg(task + 1).arg(right ? QStringLiteral("верно") : QStringLiteral("неверно"));
            return {};
        case Qt::BackgroundRole:
            if (c == int(Column::Check) && e.flagged())
                return QColor(0xf8, 0xd0, 0xcc);
            return {};
        case Qt::ToolTipRole:
            if (c == int(Column::Check) && e.flagged())
                return e.checkReasons().join(QLatin1Char('\n'));
            return {};
        default: return {};
        }
    }

private:
    const QStringList m_header = tableHeader();
    const QList<ShownTest> *m_tests = nullptr;
    QList<QStringList> m_cells;
};

namespace {

QString operandText(const Fraction &f)
{
    const QString t = QString::fromStdString(WriteFraction(f).text());
    return t.startsWith(QLatin1Char('-')) ? QLatin1Char('(') + t + QLatin1Char(')') : t;
}

// A table that screen readers and the keyboard reach, holding a chart's figures.
QTableWidget *figuresTable(const QString &name, const QStringList &header, const QList<QStringList> &rows)
{
    auto *table = new QTableWidget(int(rows.size()), int(header.size()));
    table->setHorizontalHeaderLabels(header);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    table->setAccessibleName(name);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    // Columns as wide as their figures, the last (the names) taking the rest
    // and wrapping; rows as high as their text.
    table->setWordWrap(true);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(int(header.size()) - 1, QHeaderView::Stretch);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setMinimumWidth(320);
    table->setMinimumHeight(std::min(420, 34 + 30 * int(std::max<qsizetype>(rows.size(), 2))));
    return table;
}

} // namespace

ClassWindow::ClassWindow(const QString &folder, HashStore *hashes, QWidget *parent)
    : QMainWindow(parent), m_folder(folder, hashes), m_hashes(hashes)
{
    setWindowTitle(QStringLiteral("Дроби: результаты класса"));
    buildUi();
    m_poll = new QTimer(this);
    m_poll->setInterval(PollMilliseconds);
    connect(m_poll, &QTimer::timeout, this, &ClassWindow::refresh);
    m_poll->start();
    refresh();
    showTests();
}

ClassWindow::~ClassWindow()
{
    if (m_worker) {
        m_worker->wait();
        delete m_worker;
    }
}

void ClassWindow::buildUi()
{
    auto *file = menuBar()->addMenu(QStringLiteral("&Файл"));
    auto *reload = file->addAction(QStringLiteral("&Обновить"), this, &ClassWindow::refresh);
    reload->setShortcut(QKeySequence(Qt::Key_F5));
    file->addSeparator();
    file->addAction(QStringLiteral("Сохранить таблицу как &CSV…"), this, [this] { exportTo(QStringLiteral("csv")); });
    file->addAction(QStringLiteral("Сохранить таблицу как &XLSX…"), this, [this] { exportTo(QStringLiteral("xlsx")); });
    file->addAction(QStringLiteral("Сохранить для печати (&PDF)…"), this, [this] { exportTo(QStringLiteral("pdf")); })
        ->setShortcut(QKeySequence::Print);
    file->addSeparator();
    file->addAction(QStringLiteral("&Закрыть"), this, &QWidget::close)->setShortcut(QKeySequence::Quit);
    auto *view = menuBar()->addMenu(QStringLiteral("&Вид"));
    auto *projector = view->addAction(QStringLiteral("Режим &проектора (имена скрыты)"));
    projector->setCheckable(true);
    projector->setShortcut(QKeySequence(Qt::Key_F11));

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    auto *bar = new QHBoxLayout;
    const auto labelled = [&](const QString &text, QWidget *w) {
        auto *label = new QLabel(text);
        label->setBuddy(w);
        bar->addWidget(label);
        bar->addWidget(w);
    };
    m_group = new QComboBox;
    m_group->addItem(QStringLiteral("Все классы"), QString());
    m_group->setMinimumContentsLength(10);
    labelled(QStringLiteral("&Класс:"), m_group);
    m_date = new QDateEdit(QDate::currentDate());
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    labelled(QStringLiteral("&Дата:"), m_date);
    m_allDays = new QCheckBox(QStringLiteral("&Все дни"));
    bar->addWidget(m_allDays);
    m_search = new QLineEdit;
    m_search->setPlaceholderText(QStringLiteral("фамилия или имя"));
    m_search->setClearButtonEnabled(true);
    labelled(QStringLiteral("П&оиск:"), m_search);
    m_projectorBox = new QCheckBox(QStringLiteral("Режим п&роектора"));
    bar->addWidget(m_projectorBox);
    bar->addStretch();
    m_skipped = new QPushButton;
    m_skipped->setToolTip(QStringLiteral("Показать файлы, которые не удалось прочитать"));
    m_skipped->hide();
    bar->addWidget(m_skipped);
    layout->addLayout(bar);

    m_tabs = new QTabWidget;
    m_model = new TestsModel(this);
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(SortRole);
    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("tests"));
    m_table->setAccessibleName(QStringLiteral("Тесты"));
    m_table->setModel(m_sorted);
    m_table->setSortingEnabled(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->setAlternatingRowColors(true);
    m_table->sortByColumn(int(Column::Start), Qt::DescendingOrder);
    m_table->installEventFilter(new EnterOpens(m_table, [this](const QModelIndex &i) { openPupil(i); }));
    connect(m_table, &QTableView::activated, this, &ClassWindow::openPupil);
    m_tabs->addTab(m_table, QStringLiteral("&Тесты"));

    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    m_summary = new QWidget;
    m_summaryLayout = new QVBoxLayout(m_summary);
    scroll->setWidget(m_summary);
    m_tabs->addTab(scroll, QStringLiteral("&Сводка по классу"));
    layout->addWidget(m_tabs);
    setCentralWidget(central);

    m_status = new QLabel;
    statusBar()->addWidget(m_status, 1);

    const auto refilter = [this] {
        showTests();
    };
    connect(m_group, &QComboBox::currentIndexChanged, this, refilter);
    connect(m_date, &QDateEdit::dateChanged, this, refilter);
    connect(m_allDays, &QCheckBox::toggled, this, [this, refilter](bool all) {
        m_date->setEnabled(!all);
        refilter();
    });
    connect(m_search, &QLineEdit::textChanged, this, refilter);
    connect(m_projectorBox, &QCheckBox::toggled, this, [this, projector](bool on) {
        projector->setChecked(on);
        setProjectorMode(on);
    });
    connect(projector, &QAction::toggled, m_projectorBox, &QCheckBox::setChecked);
    connect(m_skipped, &QPushButton::clicked, this, &ClassWindow::showSkipped);
    resize(1200, 760);
}

void ClassWindow::setProjectorMode(bool on)
{
    if (m_projectorBox->isChecked() != on) {
        m_projectorBox->setChecked(on);
        return;
    }
    m_projector = on;
    // A name typed into the search would tell who is who on the projector:
    // the search is emptied and closed while the names are hidden.
    if (on)
        m_search->clear();
    m_search->setEnabled(!on);
    showTests();
}

void ClassWindow::setFilter(const ClassFilter &filter)
{
    const QSignalBlocker a(m_group), b(m_date), c(m_allDays), d(m_search);
    int at = m_group->findData(filter.group);
    if (at < 0) {
        m_group->addItem(filter.group, filter.group);
        at = m_group->count() - 1;
    }
    m_group->setCurrentIndex(at);
    m_allDays->setChecked(!filter.date.isValid());
    m_date->setEnabled(filter.date.isValid());
    if (filter.date.isValid())
        m_date->setDate(filter.date);
    m_search->setText(filter.nameSearch);
    showTests();
}

ClassFilter ClassWindow::currentFilter() const
{
    return ClassFilter{m_group->currentData().toString(), m_allDays->isChecked() ? QDate() : m_date->date(),
                       m_search->text().trimmed()};
}

QString ClassWindow::heading() const
{
    const ClassFilter f = currentFilter();
    return QStringLiteral("Класс: %1. Дата: %2. Тестов: %3.")
        .arg(f.group.isEmpty() ? QStringLiteral("все") : f.group,
             f.date.isValid() ? f.date.toString(QStringLiteral("dd.MM.yyyy")) : QStringLiteral("все дни"))
        .arg(m_shown.size());
}

void ClassWindow::refresh()
{
    // One read at a time; a request meanwhile reads again right after it.
    if (m_worker) {
        m_readAgain = true;
        return;
    }
    // The folder is read on a thread of its own, so a slow or stalled share
    // never holds the window; meanwhile the window works on its copies.
    m_worker = QThread::create([this] { m_readChanged = m_folder.refresh(); });
    connect(m_worker, &QThread::finished, this, &ClassWindow::folderRead);
    m_worker->start();
}

void ClassWindow::folderRead()
{
    m_worker->deleteLater();
    m_worker = nullptr;
    if (m_hashes)
        m_hashes->commit();
    if (m_readChanged) {
        m_entries = m_folder.entries();
        m_skippedFiles = m_folder.skipped();
        m_folderProblem = m_folder.folderProblem();
        showFolder();
    }
    Q_EMIT folderReadDone();
    if (std::exchange(m_readAgain, false))
        refresh();
}

void ClassWindow::showFolder()
{
    // New classes join the list; the chosen one stays chosen.
    const QString chosen = m_group->currentData().toString();
    {
        const QSignalBlocker block(m_group);
        for (const QString &g : classesOf(m_entries)) {
            if (m_group->findData(g) < 0)
                m_group->addItem(g.isEmpty() ? QStringLiteral("(без класса)") : g, g);
        }
        m_group->setCurrentIndex(std::max(0, m_group->findData(chosen)));
    }
    const qsizetype bad = m_skippedFiles.size();
    m_skipped->setText(QStringLiteral("Не прочитано файлов: %1").arg(bad));
    m_skipped->setVisible(bad > 0);
    showTests();
}

void ClassWindow::showTests()
{
    m_shown = selectTests(m_entries, currentFilter(), m_projector);

    // The selected test stays selected across a reload.
    QString selectedId;
    if (const QModelIndex current = m_table->currentIndex(); current.isValid()) {
        const int i = m_sorted->index(current.row(), 0).data(TestIndexRole).toInt();
        if (i >= 0 && i < m_previousIds.size())
            selectedId = m_previousIds[i];
    }
    m_model->reset(&m_shown);
    m_previousIds.clear();
    for (const ShownTest &t : std::as_const(m_shown))
        m_previousIds << t.entry->record.id;
    m_table->resizeColumnsToContents();
    if (!selectedId.isEmpty()) {
        for (int r = 0; r < m_sorted->rowCount(); ++r) {
            const int i = m_sorted->index(r, 0).data(TestIndexRole).toInt();
            if (m_shown[i].entry->record.id == selectedId) {
                m_table->selectRow(r);
                break;
            }
        }
    }

    // The title carries the count, so a glance (or a script) sees a new test arrive.
    setWindowTitle(QStringLiteral("Дроби: результаты класса — тестов: %1").arg(m_shown.size()));
    const QString &problem = m_folderProblem;
    m_status->setText(QStringLiteral("Папка: %1. %2 Прочитано в %3.%4")
                          .arg(m_folder.path(), heading(), QTime::currentTime().toString(QStringLiteral("HH:mm:ss")),
                               problem.isEmpty() ? QString() : QStringLiteral(" Ошибка: ") + problem));
    showSummary();
}

void ClassWindow::showSummary()
{
    while (QLayoutItem *item = m_summaryLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const ClassSummary s = summarize(m_shown);
    const auto section = [&](const QString &title, SummaryChart chart, QTableWidget *table, const QString &note) {
        auto *box = new QGroupBox(title);
        auto *row = new QHBoxLayout(box);
        row->addWidget(makeChartView(chart, s, box), 3);
        auto *side = new QVBoxLayout;
        side->addWidget(table);
        if (!note.isEmpty()) {
            auto *label = new QLabel(note);
            label->setWordWrap(true);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
            side->addWidget(label);
        }
        row->addLayout(side, 2);
        m_summaryLayout->addWidget(box);
    };

    QList<QStringList> grades;
    for (int g = 5; g >= 2; --g)
        grades << QStringList{QString::number(g), QString::number(s.grades[size_t(g - 2)])};
    section(QStringLiteral("Оценки"), SummaryChart::Grades,
            figuresTable(QStringLiteral("Оценки"), {QStringLiteral("Оценка"), QStringLiteral("Учеников")}, grades),
            QStringLiteral("Средняя оценка: %1. Оценённых тестов: %2.")
                .arg(QString::number(s.meanGrade, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')))
                .arg(s.tests));

    QList<QStringList> tasks;
    for (int i = 0; i < RowCount; ++i) {
        const int right = s.rightPerRow[size_t(i)];
        tasks << QStringList{QString::number(i + 1), QString::number(right),
                             QString::number(s.tests ? qRound(100.0 * right / s.tests) : 0)};
    }
    section(QStringLiteral("Верные ответы по заданиям"), SummaryChart::Tasks,
            figuresTable(QStringLiteral("Верные ответы по заданиям"),
                         {QStringLiteral("Задание"), QStringLiteral("Верно"), QStringLiteral("Доля, %")}, tasks),
            QString());

    QList<QStringList> mistakes;
    for (const MistakeCount &m : s.mistakes)
        mistakes << QStringList{m.title, QString::number(m.pupils.size()), m.pupils.join(QStringLiteral(", "))};
    section(QStringLiteral("Ошибки класса"), SummaryChart::Mistakes,
            figuresTable(QStringLiteral("Ошибки класса"),
                         {QStringLiteral("Ошибка"), QStringLiteral("Учеников"), QStringLiteral("Кто")}, mistakes),
            s.mistakes.isEmpty() ? QStringLiteral("Ошибок нет.") : QString());
    m_summaryLayout->addStretch();
}

QString ClassWindow::pupilTestHtml(const ShownTest &test)
{
    const TestEntry &e = *test.entry;
    const ResultRecord &r = e.record;
    const auto esc = [](const QString &s) { return s.toHtmlEscaped(); };
    QString html = QStringLiteral("<h2>%1, %2</h2>").arg(esc(test.name), esc(r.pupil.className));
    html += QStringLiteral("<p>%1, начало в %2, минут: %3. Состояние: %4.")
                .arg(r.started.toString(QStringLiteral("dd.MM.yyyy")), r.started.toString(QStringLiteral("HH:mm")),
                     tableRow(test)[int(Column::Minutes)], esc(stateText(test)));
    if (e.check.graded)
        html += QStringLiteral(" Верно: %1 из %2, оценка %3.").arg(e.check.right).arg(RowCount).arg(e.check.grade);
    html += QStringLiteral("</p><p>Проверка: %1").arg(esc(e.checkText()));
    if (e.flagged())
        html += QStringLiteral("<ul><li>%1</li></ul>").arg(esc(e.checkReasons().join(QStringLiteral("\n")))
                                                               .replace(QLatin1Char('\n'), QStringLiteral("</li><li>")));
    html += QStringLiteral("</p><table border=\"1\" cellspacing=\"0\" cellpadding=\"4\"><tr><th>№</th><th>Задание</th>"
                           "<th>Ответ ученика</th><th>Верный ответ</th><th>Итог</th><th>Объяснение</th></tr>");
    for (int i = 0; i < RowCount; ++i) {
        const RowCheck &row = e.check.rows[size_t(i)];
        const ResultRow &stored = r.rows[size_t(i)];
        const QString task = row.taskValid
                                 ? QString::fromStdString(WriteFraction(row.a).text())
                                       + (row.operation == Operation::Multiply ? QStringLiteral(" · ") : QStringLiteral(" : "))
                                       + operandText(row.b)
                                 : esc(stored.a + (stored.operation == Operation::Multiply ? QStringLiteral(" * ") : QStringLiteral(" : ")) + stored.b);
        QString verdict, explanation;
        if (!row.taskValid) {
            verdict = QStringLiteral("?");
            explanation = QStringLiteral("Такого задания программа не даёт.");
        } else if (!e.check.graded) {
            verdict = QStringLiteral("не проверено");
        } else {
            verdict = row.right ? QStringLiteral("<span style=\"color:#006400\">верно</span>")
                                : QStringLiteral("<span style=\"color:#8c0000\">неверно</span>");
            explanation = esc(row.explanation);
            if (!row.solution.isEmpty())
                explanation += QStringLiteral("<br>Решение: ") + esc(row.solution);
        }
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td></tr>")
                    .arg(i + 1)
                    .arg(esc(task), esc(row.typed), esc(row.taskValid ? row.answer : stored.answer), verdict, explanation);
    }
    html += QStringLiteral("</table>");
    return html;
}

void ClassWindow::openPupil(const QModelIndex &index)
{
    const int i = m_sorted->index(index.row(), 0).data(TestIndexRole).toInt();
    if (i < 0 || i >= m_shown.size())
        return;
    const ShownTest test = m_shown[i];
    auto *dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Тест: %1").arg(test.name));
    auto *layout = new QVBoxLayout(dialog);
    auto *text = new QTextBrowser;
    text->setObjectName(QStringLiteral("pupilTest"));
    text->setAccessibleName(QStringLiteral("Тест ученика"));
    text->setHtml(pupilTestHtml(test));
    layout->addWidget(text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog->resize(1000, 620);
    dialog->show();
    text->setFocus();
}

void ClassWindow::showSkipped()
{
    QStringList lines;
    for (const SkippedFile &f : std::as_const(m_skippedFiles))
        lines << f.fileName + QStringLiteral(": ") + f.problem;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Не прочитанные файлы"),
                    QStringLiteral("Не прочитано файлов: %1").arg(lines.size()), QMessageBox::Ok, this);
    box.setDetailedText(lines.join(QLatin1Char('\n')));
    box.setInformativeText(lines.mid(0, 10).join(QLatin1Char('\n')));
    box.exec();
}

void ClassWindow::exportTo(const QString &suffix)
{
    const QString filter = suffix == QLatin1String("csv")    ? QStringLiteral("Таблица CSV (*.csv)")
                           : suffix == QLatin1String("xlsx") ? QStringLiteral("Книга Excel (*.xlsx)")
                                                             : QStringLiteral("Документ PDF (*.pdf)");
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить"),
                                                QStringLiteral("результаты.") + suffix, filter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1Char('.') + suffix, Qt::CaseInsensitive))
        path += QLatin1Char('.') + suffix;
    QString error;
    if (suffix == QLatin1String("csv"))
        error = writeCsv(path, m_shown);
    else if (suffix == QLatin1String("xlsx"))
        error = writeXlsx(path, m_shown, summarize(m_shown));
    else
        error = writePdf(path, heading(), m_shown, summarize(m_shown));
    if (!error.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Не сохранено"), QStringLiteral("Файл не сохранён: %1").arg(error));
    else
        statusBar()->showMessage(QStringLiteral("Сохранено: %1").arg(path), 8000);
}
