// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test support: closing the modal message boxes a test opens, noting what
// each one showed. Header only; the tests that use it link Qt Widgets.

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <utility>

// What one message box showed.
struct SeenBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString okText;
    // The informative line below the text, as the box came on screen.
    QString informative;
};

// Notes each message box's informative line as the box comes on screen,
// before its own event loop can change it.
class BoxShowWatch : public QObject {
public:
    BoxShowWatch() { qApp->installEventFilter(this); }
    QString lineOf(QObject *box) const { return m_lines.value(box); }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QMessageBox *>(object))
            m_lines.insert(object, static_cast<QMessageBox *>(object)->informativeText());
        return false;
    }

private:
    QHash<QObject *, QString> m_lines;
};

// Which boxes `whileOpen` runs for: only the first, or also a box opened
// from inside `whileOpen` itself.
enum class NestedBoxes { NotedOnly, Handled };

// While alive, watches for modal message boxes and closes each one with its
// OK button, noting what it showed (the newest in `seen.last()`). `whileOpen`
// runs before a box is closed, so a test can look at the window while the box
// is still up; a box opened from inside `whileOpen` is only noted and closed
// unless `nested` says otherwise.
// Polling with fresh single shots keeps working inside nested event loops.
class BoxCloser {
public:
    explicit BoxCloser(std::function<void()> whileOpen = {}, NestedBoxes nested = NestedBoxes::NotedOnly)
        : m_whileOpen(std::move(whileOpen)), m_nested(nested)
    {
        arm();
    }

    QList<SeenBox> seen;

private:
    void arm() { QTimer::singleShot(5, &m_context, [this] { poll(); }); }

    void poll()
    {
        arm();
        QPointer<QMessageBox> box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || m_open.contains(box.data()))
            return;
        m_open.append(box.data());
        QAbstractButton *ok = box->button(QMessageBox::Ok);
        seen.append({box->text(), box->windowTitle(), box->icon(), box->standardButtons(),
                     ok ? ok->text() : QString(), m_shown.lineOf(box.data())});
        if (m_whileOpen && (m_open.size() == 1 || m_nested == NestedBoxes::Handled))
            m_whileOpen();
        m_open.removeAll(box.data());
        if (!box)
            return;
        if ((ok = box->button(QMessageBox::Ok)))
            ok->click();
        else
            box->done(0);
    }

    std::function<void()> m_whileOpen;
    NestedBoxes m_nested;
    QList<QMessageBox *> m_open;
    BoxShowWatch m_shown;
    QObject m_context;
};
