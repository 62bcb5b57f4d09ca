// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/accessible_controls.h"

#include "runtime/screen_reader_workarounds.h"

#include <QAccessibleWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <chrono>
#include <mutex>

namespace {

// "&Готово" reads "Готово": the ampersand only marks a keyboard accelerator.
QString withoutAccelerator(QString text)
{
    text.replace(QLatin1String("&&"), QChar(u'\x1f'));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(u'\x1f'), QLatin1Char('&'));
    return text;
}

// The common part: the widget's own accessible name and description, and
// nothing at all while the widget is not on screen. Subclasses say what the
// control is called when it has no accessible name of its own.
class QuietWhenHidden : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    QString text(QAccessible::Text t) const override
    {
        if (!widget()->isVisible())
            return {};
        switch (t) {
        case QAccessible::Name:
            return widget()->accessibleName().isEmpty() ? shownName() : widget()->accessibleName();
        case QAccessible::Description:
            return widget()->accessibleDescription();
        case QAccessible::Value:
            return shownValue();
        default:
            return QAccessibleWidget::text(t);
        }
    }

protected:
    virtual QString shownName() const { return {}; }
    virtual QString shownValue() const { return {}; }
};

class LabelAccessible : public QuietWhenHidden {
public:
    explicit LabelAccessible(QLabel *label) : QuietWhenHidden(label, QAccessible::StaticText) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QuietWhenHidden::state();
        s.readOnly = true;
        return s;
    }

protected:
    QString shownName() const override
    {
        const auto *label = static_cast<const QLabel *>(widget());
        if (label->buddy())
            return {};
        if (label->textFormat() == Qt::PlainText || !Qt::mightBeRichText(label->text()))
            return label->text();
        QTextDocument document;
        document.setHtml(label->text());
        return document.toPlainText();
    }
};

class GroupBoxAccessible : public QuietWhenHidden {
public:
    explicit GroupBoxAccessible(QGroupBox *box) : QuietWhenHidden(box, QAccessible::Grouping) {}

protected:
    QString shownName() const override { return withoutAccelerator(static_cast<const QGroupBox *>(widget())->title()); }
};

class ButtonAccessible : public QuietWhenHidden {
public:
    explicit ButtonAccessible(QPushButton *button) : QuietWhenHidden(button, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QuietWhenHidden::state();
        const auto *b = button();
        s.defaultButton = b->isDefault() || (b->autoDefault() && b->hasFocus());
        s.pressed = b->isDown();
        return s;
    }

    QStringList actionNames() const override
    {
        if (!widget()->isEnabled())
            return QuietWhenHidden::actionNames();
        return QStringList{pressAction()} + QuietWhenHidden::actionNames();
    }

    void doAction(const QString &name) override
    {
        // Deferred, like a click by the mouse: the button's handler may open
        // a modal box, and the client's call must not wait for it.
        if (name == pressAction() && widget()->isEnabled())
            button()->animateClick();
        else
            QuietWhenHidden::doAction(name);
    }

protected:
    QString shownName() const override { return withoutAccelerator(button()->text()); }

private:
    QPushButton *button() const { return static_cast<QPushButton *>(widget()); }
};

// A single-line text box: its text, caret and selection through the text
// interfaces, all empty while the box is not on screen.
class LineEditAccessible : public QuietWhenHidden,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit LineEditAccessible(QLineEdit *edit) : QuietWhenHidden(edit, QAccessible::EditableText) {}

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (t == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QuietWhenHidden::interface_cast(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QuietWhenHidden::state();
        s.editable = !edit()->isReadOnly();
        s.readOnly = edit()->isReadOnly();
        s.selectableText = true;
        return s;
    }

    // Text interface.
    void selection(int index, int *start, int *end) const override
    {
        *start = *end = 0;
        if (index == 0 && visibleText() && edit()->hasSelectedText()) {
            *start = edit()->selectionStart();
            *end = *start + int(edit()->selectedText().size());
        }
    }
    int selectionCount() const override { return visibleText() && edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { edit()->deselect(); }
    void setSelection(int, int start, int end) override { edit()->setSelection(start, end - start); }
    int cursorPosition() const override { return visibleText() ? edit()->cursorPosition() : 0; }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString text(int start, int end) const override
    {
        return visibleText() ? edit()->text().mid(start, end - start) : QString();
    }
    int characterCount() const override { return visibleText() ? int(edit()->text().size()) : 0; }
    QRect characterRect(int offset) const override
    {
        if (!visibleText())
            return {};
        const QFontMetrics metrics(edit()->font());
        const QString text = edit()->text();
        const int x = metrics.horizontalAdvance(text.left(offset));
        const int width = offset < text.size() ? metrics.horizontalAdvance(text.at(offset)) : 1;
        const QRect inBox(edit()->contentsRect().left() + x, edit()->contentsRect().top(), width,
                          edit()->contentsRect().height());
        return QRect(edit()->mapToGlobal(inBox.topLeft()), inBox.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return visibleText() ? edit()->cursorPositionAt(edit()->mapFromGlobal(point)) : -1;
    }
    void scrollToSubstring(int, int end) override { edit()->setCursorPosition(end); }
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

    // Editable text interface: what an assistive tool types goes through the
    // same checks as the keyboard's input would not, so only an enabled,
    // writable box takes it.
    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString &text) override
    {
        if (!edit()->isEnabled() || edit()->isReadOnly())
            return;
        edit()->setText(edit()->text().replace(start, end - start, text));
    }

protected:
    QString shownValue() const override { return edit()->text(); }

private:
    QLineEdit *edit() const { return static_cast<QLineEdit *>(widget()); }
    bool visibleText() const { return widget()->isVisible(); }
};

class DecorationAccessible : public QAccessibleWidget {
public:
    explicit DecorationAccessible(QWidget *widget) : QAccessibleWidget(widget, QAccessible::Graphic) {}
    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface *standardControl(const QString &className, QWidget *widget)
{
    if (className == QLatin1String("LineControl") || className == QLatin1String("DotControl"))
        return new DecorationAccessible(widget);
    if (className == QLatin1String("QLabel"))
        return new LabelAccessible(static_cast<QLabel *>(widget));
    if (className == QLatin1String("QGroupBox"))
        return new GroupBoxAccessible(static_cast<QGroupBox *>(widget));
    if (className == QLatin1String("QPushButton"))
        return new ButtonAccessible(static_cast<QPushButton *>(widget));
    if (className == QLatin1String("QLineEdit"))
        return new LineEditAccessible(static_cast<QLineEdit *>(widget));
    return nullptr;
}

// How long a notice stays on screen: long enough for Orca to read it when
// it appears, short enough that flat review and later notices do not find it.
constexpr std::chrono::milliseconds NoticeShownFor{2000};

// A notice: a widget of no size, shown only while it speaks. Its accessible
// role is Notification, which Orca reads aloud when it comes on screen.
class Notice : public QWidget {
    Q_OBJECT

public:
    explicit Notice(QWidget *window) : QWidget(window)
    {
        setObjectName(QStringLiteral("screenReaderNotice"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, 0, 0);
        hide();
        m_hide.setSingleShot(true);
        m_hide.setInterval(NoticeShownFor);
        QObject::connect(&m_hide, &QTimer::timeout, this, &QWidget::hide);
    }

    void say(const QString &text)
    {
        hide();
        m_text = text;
        show();
        m_hide.start();
    }
    const QString &text() const { return m_text; }

private:
    QString m_text;
    QTimer m_hide;
};

class NoticeAccessible : public QAccessibleWidget {
public:
    explicit NoticeAccessible(Notice *notice) : QAccessibleWidget(notice, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->isVisible())
            return {};
        return static_cast<const Notice *>(widget())->text();
    }
};

QAccessibleInterface *controlFactory(const QString &className, QObject *object)
{
    if (auto *notice = qobject_cast<Notice *>(object))
        return new NoticeAccessible(notice);
    if (!object->isWidgetType())
        return nullptr;
    return standardControl(className, static_cast<QWidget *>(object));
}

// False for an event that would tell a client about the content of a
// control not on screen.
bool mayTellScreenReaders(const QAccessibleEvent &event)
{
    switch (event.type()) {
    case QAccessible::NameChanged:
    case QAccessible::DescriptionChanged:
    case QAccessible::ValueChanged:
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged:
    case QAccessible::TextAttributeChanged:
    case QAccessible::TextColumnChanged:
        break;
    default:
        return true;
    }
    QObject *object = event.object();
    if (!object) {
        QAccessibleInterface *iface = event.accessibleInterface();
        object = iface ? iface->object() : nullptr;
    }
    const auto *widget = qobject_cast<const QWidget *>(object);
    return !widget || widget->isVisible();
}

QAccessible::UpdateHandler previousHandler = nullptr;

// Hands an event on to what comes after this hook: the handler installed
// before it, or else Qt's bridge to the platform (AT-SPI), which Qt reaches
// only while no handler is installed. For the bridge this hook steps aside
// for one call, then puts back whatever hook is installed (one installed
// later may have chained this one). An event raised while the hook is aside
// would reach the bridge unfiltered, so nothing that can raise one may run
// then. The bridge only reads the controls' interfaces, which raise nothing;
// but before it, Qt hands a table's model change to the table's interface a
// second time, and that code is not ours. The change reached the table when
// it was raised, the bridge reads a table's rows itself, and the program
// shows no tables: a table's model change is not handed on.
void forward(QAccessibleEvent *event)
{
    if (previousHandler) {
        previousHandler(event);
        return;
    }
    if (event->type() == QAccessible::TableModelChanged)
        return;
    const QAccessible::UpdateHandler installed = QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(installed);
}

// Every event passes here: first the rule that keeps hidden controls silent,
// then the screen-reader workarounds (screen_reader_workarounds.h).
void filterUpdate(QAccessibleEvent *event)
{
    if (!mayTellScreenReaders(*event) || !passScreenReaderWorkarounds(event))
        return;
    forward(event);
}

} // namespace

void registerControlAccessibility()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QAccessible::installFactory(controlFactory);
        previousHandler = QAccessible::installUpdateHandler(filterUpdate);
    });
}

void announce(QWidget *window, const QString &text)
{
    auto *notice = window->findChild<Notice *>(QString(), Qt::FindDirectChildrenOnly);
    if (!notice)
        notice = new Notice(window);
    notice->say(text);
}

#include "accessible_controls.moc"
