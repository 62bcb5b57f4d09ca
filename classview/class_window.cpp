// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/class_window.h"

#include "classview/atomic_file.h"
#include "classview/class_export.h"
#include "classview/class_roster_view.h"
#include "classview/class_summary_view.h"
#include "classview/class_table.h"
#include "classview/pupil_test_view.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

// The day the window opens on: today if a test was started today, else the
// last day tests were started; invalid when there are none.
QDate openingDay(const QList<EntryPtr> &entries)
{
    const QDate today = QDate::currentDate();
    QDate last;
    for (const EntryPtr &e : entries) {
        const QDate day = e->date();
        if (day == today)
            return today;
        if (!last.isValid() || day > last)
            last = day;
    }
    return last;
}

// A label over the teacher's data: whatever a pupil typed or a file is named,
// it is shown as text, never as markup or a link.
QLabel *plainLabel(const QString &text = QString())
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

ClassWindow::ClassWindow(const QString &folder, HashStore *hashes, QWidget *parent,
                         const std::optional<SchoolRules> &rules)
    : QMainWindow(parent), m_folder(folder, hashes), m_hashes(hashes)
{
    m_folder.setSchoolRules(rules);
    setWindowTitle(QStringLiteral("Дроби: результаты класса"));
    setupMenu();
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(setupFilterBar());
    setupTabs();
    layout->addWidget(m_tabs);
    setCentralWidget(central);
    setupStatusBar();
    connectFilters();
    resize(1200, 760);

    m_poll = new QTimer(this);
    m_poll->setInterval(PollMilliseconds);
    connect(m_poll, &QTimer::timeout, this, &ClassWindow::refresh);
    m_poll->start();
    // The first read starts from the event loop, once the caller has set the
    // filter and the mode: the view the reading thread makes is then the one shown.
    QTimer::singleShot(0, this, &ClassWindow::refresh);
    showTests();
}

ClassWindow::~ClassWindow()
{
    if (m_worker) {
        m_worker->wait();
        delete m_worker;
    }
}

void ClassWindow::setupMenu()
{
    auto *file = menuBar()->addMenu(QStringLiteral("&Файл"));
    auto *reload = file->addAction(QStringLiteral("&Обновить"), this, &ClassWindow::refresh);
    reload->setShortcut(QKeySequence(Qt::Key_F5));
    file->addSeparator();
    file->addAction(QStringLiteral("Сохранить таблицу как &CSV…"), this, [this] { exportTo(QStringLiteral("csv")); });
    file->addAction(QStringLiteral("Сохранить таблицу как &XLSX…"), this, [this] { exportTo(QStringLiteral("xlsx")); });
    file->addAction(QStringLiteral("Сохранить для печати (&PDF)…"), this, [this] { exportTo(QStringLiteral("pdf")); })
        ->setShortcut(QKeySequence::Print);
    file->addAction(QStringLiteral("&Листы учеников (PDF)…"), this, [this] { exportTo(QStringLiteral("pdf"), true); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Закрыть"), this, &QWidget::close)->setShortcut(QKeySequence::Quit);
    auto *view = menuBar()->addMenu(QStringLiteral("&Вид"));
    m_projectorAction = view->addAction(QStringLiteral("Режим &проектора (имена скрыты)"));
    m_projectorAction->setCheckable(true);
    m_projectorAction->setShortcut(QKeySequence(Qt::Key_F11));
}

QHBoxLayout *ClassWindow::setupFilterBar()
{
    auto *bar = new QHBoxLayout;
    const auto labelled = [bar](const QString &text, QWidget *w) {
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
    m_attempt = new QComboBox;
    for (const AttemptWord &w : AttemptWords)
        m_attempt->addItem(QString::fromUtf8(w.caption), int(w.choice));
    labelled(QStringLiteral("Поп&ытка:"), m_attempt);
    m_search = new QLineEdit;
    m_search->setPlaceholderText(QStringLiteral("фамилия или имя"));
    m_search->setClearButtonEnabled(true);
    labelled(QStringLiteral("П&оиск:"), m_search);
    m_projectorBox = new QCheckBox(QStringLiteral("Режим п&роектора"));
    bar->addWidget(m_projectorBox);
    bar->addStretch();
    m_skipped = new QPushButton;
    m_skipped->setObjectName(QStringLiteral("unreadFiles"));
    m_skipped->setToolTip(QStringLiteral("Показать файлы, которые не удалось прочитать"));
    m_skipped->hide();
    bar->addWidget(m_skipped);
    return bar;
}

void ClassWindow::setupTabs()
{
    m_tabs = new QTabWidget;
    m_model = new TestsModel(this);
    m_sorted = new SortedTests(this);
    m_sorted->setSourceModel(m_model);
    m_table = makeTestsTable(m_sorted, [this](const QModelIndex &i) { openPupil(i); });
    m_tabs->addTab(m_table, QStringLiteral("&Тесты"));
    m_summary = new SummaryView;
    m_tabs->addTab(m_summary, QStringLiteral("&Сводка по классу"));
    m_roster = new RosterView;
    m_tabs->addTab(m_roster, QStringLiteral("С&писок класса"));
}

void ClassWindow::setAttemptChoice(AttemptChoice choice)
{
    m_attempt->setCurrentIndex(std::max(0, m_attempt->findData(int(choice))));
}

void ClassWindow::setClassList(const ClassList &list)
{
    m_roster->setClassList(list);
    // A class is chosen before any of its pupils has started.
    {
        const QSignalBlocker block(m_group);
        for (const QString &g : list.classes()) {
            if (m_group->findData(g) < 0)
                m_group->addItem(g, g);
        }
    }
    showTests();
}

void ClassWindow::setupStatusBar()
{
    m_status = plainLabel();
    m_status->setObjectName(QStringLiteral("status"));
    statusBar()->addWidget(m_status, 1);
}

void ClassWindow::connectFilters()
{
    const auto refilter = [this] { showTests(); };
    connect(m_group, &QComboBox::currentIndexChanged, this, refilter);
    connect(m_date, &QDateEdit::dateChanged, this, refilter);
    connect(m_attempt, &QComboBox::currentIndexChanged, this, refilter);
    connect(m_allDays, &QCheckBox::toggled, this, [this, refilter](bool all) {
        m_date->setEnabled(!all);
        refilter();
    });
    connect(m_search, &QLineEdit::textChanged, this, refilter);
    connect(m_projectorBox, &QCheckBox::toggled, this, [this](bool on) {
        m_projectorAction->setChecked(on);
        setProjectorMode(on);
    });
    connect(m_projectorAction, &QAction::toggled, m_projectorBox, &QCheckBox::setChecked);
    connect(m_skipped, &QPushButton::clicked, this, &ClassWindow::showSkipped);
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
    // Whatever was open before names a pupil or a file: a pupil's test, the
    // unread files. It closes, and the unread files' button goes.
    if (on) {
        for (QDialog *open : findChildren<QDialog *>(Qt::FindDirectChildrenOnly))
            open->close();
    }
    m_skipped->setVisible(!on && !m_skippedFiles.isEmpty());
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
    return filterHeading(currentFilter(), m_shown.size());
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
    // The tests to show and their summary are made there too, for the
    // filter chosen now: the window's thread only draws them.
    m_worker = QThread::create([this, filter = currentFilter(), projector = m_projector,
                                attempt = AttemptChoice(m_attempt->currentData().toInt()), firstRead = !m_dayChosen,
                                discard = std::exchange(m_discard, {})]() mutable {
        discard.clear();
        readFolder(filter, projector, attempt, firstRead);
    });
    connect(m_worker, &QThread::finished, this, &ClassWindow::folderRead);
    m_worker->start();
}

void ClassWindow::readFolder(ClassFilter filter, bool projector, AttemptChoice attempt, bool firstRead)
{
    m_readChanged = m_folder.refresh();
    // Writing the first reads of a whole folder takes seconds: not on the window's thread.
    if (m_hashes)
        m_hashes->commit();
    if (!m_readChanged)
        return;
    const QList<EntryPtr> &entries = m_folder.entries();
    m_readClasses = classesOf(entries);
    // The day the first read opens on (openOnLastDay()) is the day the view is made for.
    if (firstRead && filter.date == QDate::currentDate()) {
        m_readOpenDay = openingDay(entries);
        if (m_readOpenDay.isValid())
            filter.date = m_readOpenDay;
    }
    m_readView = prepareView(entries, filter, projector, attempt);
}

void ClassWindow::folderRead()
{
    m_worker->deleteLater();
    m_worker = nullptr;
    if (m_readChanged) {
        m_entries = m_folder.entries();
        m_skippedFiles = m_folder.skipped();
        m_folderProblem = m_folder.folderProblem();
        m_prepared = std::exchange(m_readView, std::nullopt);
        if (!std::exchange(m_dayChosen, true))
            openOnLastDay();
        showFolder();
    } else if (std::any_of(m_shown.cbegin(), m_shown.cend(), [](const ShownTest &t) {
                   return t.entry->record.status == ResultStatus::Running;
               })) {
        // The minutes of those still writing go on without a new read.
        showTests();
    } else {
        // The status bar tells when the folder was last read, changed or not.
        showStatus();
    }
    Q_EMIT folderReadDone();
    if (std::exchange(m_readAgain, false))
        refresh();
}

void ClassWindow::openOnLastDay()
{
    // Today without a test (the morning before the lesson, a holiday) is
    // an empty table: the window opens on the last day tests were taken,
    // which the reading thread found (openingDay()).
    if (m_allDays->isChecked() || m_date->date() != QDate::currentDate() || !m_readOpenDay.isValid())
        return;
    const QSignalBlocker block(m_date);
    m_date->setDate(m_readOpenDay);
}

void ClassWindow::showFolder()
{
    // New classes join the list; the chosen one stays chosen.
    const QString chosen = m_group->currentData().toString();
    {
        const QSignalBlocker block(m_group);
        for (const QString &g : std::as_const(m_readClasses)) {
            if (m_group->findData(g) < 0)
                m_group->addItem(g.isEmpty() ? QStringLiteral("(без класса)") : g, g);
        }
        m_group->setCurrentIndex(std::max(0, m_group->findData(chosen)));
    }
    const qsizetype bad = m_skippedFiles.size();
    m_skipped->setText(QStringLiteral("Не прочитано файлов: %1").arg(bad));
    m_skipped->setVisible(bad > 0 && !m_projector);
    showTests();
}

QString ClassWindow::selectedId() const
{
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid())
        return QString();
    const int i = m_sorted->index(current.row(), 0).data(TestsModel::TestIndexRole).toInt();
    return i >= 0 && i < m_shown.size() ? m_shown[i].entry->record.id : QString();
}

void ClassWindow::selectTest(const QString &id)
{
    for (int i = 0; !id.isEmpty() && i < m_shown.size(); ++i) {
        if (m_shown[i].entry->record.id == id) {
            m_table->selectRow(m_sorted->mapFromSource(m_model->index(i, 0)).row());
            return;
        }
    }
}

void ClassWindow::showTests()
{
    // The selected test stays selected across a reload; which one it is
    // is asked of the table before the shown tests change under it.
    const QString selected = selectedId();
    ShownView view = viewNow();
    // What was shown is freed by the next reading thread.
    ShownView old;
    old.shown = std::exchange(m_shown, std::move(view.shown));
    old.cells = m_model->reset(&m_shown, std::move(view.cells));
    m_discard << std::move(old);
    fitColumns(m_table, view.widestRows);
    selectTest(selected);
    // The title carries the count, so a glance (or a script) sees a new test arrive.
    setWindowTitle(QStringLiteral("Дроби: результаты класса — тестов: %1").arg(m_shown.size()));
    showStatus();
    m_summary->setSummary(view.summary, view.sections);
    m_roster->showRoster(m_entries, currentFilter(), m_projector);
    m_discard << std::move(view);
}

ShownView ClassWindow::viewNow()
{
    const auto attempt = AttemptChoice(m_attempt->currentData().toInt());
    std::optional<ShownView> prepared = std::exchange(m_prepared, std::nullopt);
    if (prepared && prepared->isFor(currentFilter(), m_projector, attempt))
        return std::move(*prepared);
    return prepareView(m_entries, currentFilter(), m_projector, attempt);
}

void ClassWindow::showStatus()
{
    const QString &problem = m_folderProblem;
    // A store that cannot be used forgets every first read when the window closes: the teacher is told.
    const QString store = m_hashes ? m_hashes->problem() : QString();
    m_status->setText(QStringLiteral("Папка: %1. %2 Прочитано в %3.%4%5")
                          .arg(m_folder.path(), heading(), QTime::currentTime().toString(QStringLiteral("HH:mm:ss")),
                               problem.isEmpty() ? QString() : QStringLiteral(" Ошибка: ") + problem,
                               store.isEmpty() ? QString()
                                               : QStringLiteral(" Первые чтения файлов не сохраняются: ") + store));
}

void ClassWindow::openPupil(const QModelIndex &index)
{
    const int i = m_sorted->index(index.row(), 0).data(TestsModel::TestIndexRole).toInt();
    if (i >= 0 && i < m_shown.size())
        openPupilTest(m_shown[i], this);
}

void ClassWindow::showSkipped()
{
    QStringList lines;
    for (const SkippedFile &f : std::as_const(m_skippedFiles))
        lines << f.fileName + QStringLiteral(": ") + f.problem;
    auto *dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("unreadFilesList"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Непрочитанные файлы"));
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(plainLabel(QStringLiteral("Не прочитано файлов: %1").arg(lines.size())));
    auto *list = new QPlainTextEdit(lines.join(QLatin1Char('\n')));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setAccessibleName(QStringLiteral("Непрочитанные файлы"));
    layout->addWidget(list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog->resize(700, 360);
    dialog->show();
}

bool ClassWindow::confirmSaveAt(const QString &path)
{
    if (!savesInto(path, m_folder.path()))
        return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Папка результатов"),
                    QStringLiteral("Это папка с результатами, в неё пишут ученики: сохранённый здесь файл они могут "
                                   "подменить. Сохранить всё же сюда?"),
                    QMessageBox::Save | QMessageBox::Cancel, this);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Save)->setText(QStringLiteral("Сохранить"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Отмена"));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Save;
}

void ClassWindow::exportTo(const QString &suffix, bool pupilPages)
{
    const QString filter = suffix == QLatin1String("csv")    ? QStringLiteral("Таблица CSV (*.csv)")
                           : suffix == QLatin1String("xlsx") ? QStringLiteral("Книга Excel (*.xlsx)")
                                                             : QStringLiteral("Документ PDF (*.pdf)");
    QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Сохранить"),
        (pupilPages ? QStringLiteral("листы учеников.") : QStringLiteral("результаты.")) + suffix, filter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1Char('.') + suffix, Qt::CaseInsensitive))
        path += QLatin1Char('.') + suffix;
    if (!confirmSaveAt(path))
        return;
    QString error;
    // Under a name search the class list's other pupils are only hidden, not
    // absent: the register's sheet then lists those shown alone.
    const ClassFilter chosen = currentFilter();
    const ExportChoice choice{chosen.nameSearch.isEmpty() ? m_roster->classList() : ClassList{}, chosen.group, pupilPages};
    if (!exportTests(path, heading(), m_shown, &error, choice)) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Не сохранено"),
                        QStringLiteral("Файл не сохранён: %1").arg(error), QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    } else {
        statusBar()->showMessage(QStringLiteral("Сохранено: %1").arg(path), 8000);
    }
}
