// SPDX-License-Identifier: GPL-3.0-or-later
// The window's fixed design, built from tables. Positions and sizes are in
// twips of the control's container (the client area or a frame).

#include "window/form1.h"

#include "runtime/accessible_controls.h"
#include "runtime/control_props.h"
#include "runtime/twips.h"
#include "window/accessibility.h"
#include "window/app_icon.h"
#include "window/key_filter.h"
#include "window/messages.h"
#include "window/screen_reader.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace {

enum class Font { Default, Bold, Clock, Grade };
enum class Container { Frame1, Frame2 };

// Row r's base height in its frame; numerators stand at y, whole parts at
// y + 120, denominators at y + 240 and bars at y + 210.
constexpr int rowY(int r) { return 360 + 600 * r; }

constexpr int ClientWidth = 7830;
constexpr int ClientHeight = 9435;

// Fonts the design names, each with look-alikes that a Linux machine has and
// that cover Cyrillic: Liberation Sans is metric-compatible with Arial and
// close to MS Sans Serif; Z003 is URW's chancery italic.
QFont designFont(Font font)
{
    QFont f;
    switch (font) {
    case Font::Default:
    case Font::Bold:
        f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                       QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
        f.setPointSizeF(8.25);
        f.setWeight(font == Font::Bold ? QFont::Bold : QFont::Normal);
        break;
    case Font::Clock:
        f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
        f.setPointSizeF(12);
        f.setWeight(QFont::Normal);
        break;
    case Font::Grade:
        f.setFamilies({QStringLiteral("Monotype Corsiva"), QStringLiteral("Z003"),
                       QStringLiteral("URW Chancery L"), QStringLiteral("TeX Gyre Chorus")});
        f.setPointSizeF(36);
        f.setWeight(QFont::Normal);
        f.setItalic(true);
        break;
    }
    return f;
}

void place(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}

// One font object of each kind, shared by every control that uses it, so
// each is matched against the installed fonts once.
struct DesignFonts {
    QFont fonts[4] = {designFont(Font::Default), designFont(Font::Bold), designFont(Font::Clock),
                      designFont(Font::Grade)};
    const QFont &operator[](Font font) const { return fonts[int(font)]; }
};

void styleLabel(QLabel *label, const DesignFonts &fonts, Font font, Qt::Alignment align, bool border)
{
    if (font != Font::Default)
        label->setFont(fonts[font]);
    // Text starts at the top of the label's box.
    label->setAlignment(align | Qt::AlignTop);
    if (border)
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

} // namespace

void Form1::createDesign()
{
    // Before any control exists: Qt keeps the first interface it makes for
    // a control, and nothing hidden may say anything (the answer column stays
    // sealed until it is shown).
    registerControlAccessibility();
    installScreenReaderEvents();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Messages::Caption);
    const DesignFonts fonts;
    setFont(fonts[Font::Default]);

    // The menu: one list on the menu bar, captions only, no shortcuts.
    mn = menuBar()->addMenu(Messages::Menu);
    mn->setObjectName(QStringLiteral("mn"));
    // A popup is a window of its own and would not inherit the window's font.
    mn->setFont(font());
    sp = mn->addAction(Messages::Thanks);
    sp->setObjectName(QStringLiteral("sp"));
    Autmn = mn->addAction(Messages::Author);
    Autmn->setObjectName(QStringLiteral("Autmn"));
    ExMn = mn->addAction(Messages::Exit);
    ExMn->setObjectName(QStringLiteral("ExMn"));

    // The client area, fixed in size; the window fits itself around it.
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsToPx(ClientWidth), twipsToPx(ClientHeight));
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    const auto left = Qt::AlignLeft;
    const auto centre = Qt::AlignHCenter;

    // Single controls: the instructions, the clock, the two buttons, the two
    // frames and the result labels.
    using Slot = std::variant<QLabel *Form1::*, QPushButton *Form1::*, QGroupBox *Form1::*>;
    struct Single {
        Slot slot;
        const char *name;
        int left, top, width, height;
        QString caption;
        bool shown;
        Font font;
        Qt::Alignment align;
        bool border;
    };
    const Single singles[] = {
        {&Form1::Label4, "Label4", 240, 480, 7095, 1095, Messages::Instructions, true, Font::Default, left, false},
        {&Form1::Label1, "Label1", 240, 1680, 1575, 375, QStringLiteral("Осталось времени"), false, Font::Default, centre, true},
        {&Form1::TL, "TL", 1800, 1680, 1215, 375, QStringLiteral("00:00:00"), false, Font::Clock, left, true},
        {&Form1::Command1, "Command1", 2760, 1800, 1455, 375, QStringLiteral("Начать тест"), true, Font::Default, left, false},
        {&Form1::Command2, "Command2", 6600, 1800, 1095, 255, QStringLiteral("Готово!"), false, Font::Default, left, false},
        {&Form1::Frame1, "Frame1", 240, 2160, 6255, 6375, QStringLiteral("Задания"), false, Font::Default, left, false},
        {&Form1::Frame2, "Frame2", 6600, 2160, 1095, 6375, QStringLiteral("Ответы"), false, Font::Default, left, false},
        {&Form1::Label5, "Label5", 240, 8640, 1815, 255, QStringLiteral("Правильных ответов"), false, Font::Default, left, false},
        {&Form1::Label6, "Label6", 2160, 8640, 1815, 255, QStringLiteral("Неправильных ответов"), false, Font::Default, left, false},
        {&Form1::RA, "RA", 240, 9000, 1695, 255, QString(), true, Font::Default, centre, false},
        {&Form1::NR, "NR", 2160, 9000, 1815, 255, QString(), true, Font::Default, centre, false},
        {&Form1::Mrk, "Mrk", 6960, 8520, 615, 735, QStringLiteral("2"), false, Font::Grade, left, false},
    };
    for (const Single &s : singles) {
        std::visit(
            [&](auto member) {
                using Control = std::remove_pointer_t<std::remove_reference_t<decltype(this->*member)>>;
                auto *w = new Control(s.caption, client);
                if constexpr (std::is_same_v<Control, QLabel>)
                    styleLabel(w, fonts, s.font, s.align, s.border);
                w->setObjectName(QLatin1String(s.name));
                place(w, s.left, s.top, s.width, s.height);
                w->setVisible(s.shown);
                this->*member = w;
            },
            s.slot);
    }
    Label4->setWordWrap(true);
    // The clock paints its own background: a tick then repaints the clock
    // alone, not the heading it overlaps by one pixel nor the window beneath.
    TL->setAutoFillBackground(true);

    // Rows of the task frame and of the answer frame: member r stands at
    // y(r) + the offset. Boxes are single-line, left-aligned, empty and
    // enabled; the array labels have no border but Result.
    using ArraySlot = std::variant<ControlArray<QLabel> Form1::*, ControlArray<QLineEdit> Form1::*>;
    struct Array {
        ArraySlot slot;
        const char *name;
        Container container;
        int left, topOffset, width, height;
        Font font;
        Qt::Alignment align;
        bool border;
        QString caption;
        int firstTab; // tab position of member 0; members step by 3
    };
    const Array arrays[] = {
        {&Form1::Aw, "Aw", Container::Frame1, 240, 120, 375, 255, Font::Bold, centre, false, QString(), 2},
        {&Form1::At, "At", Container::Frame1, 720, 0, 375, 255, Font::Default, centre, false, QString(), 3},
        {&Form1::Az, "Az", Container::Frame1, 720, 240, 375, 255, Font::Default, centre, false, QString(), 4},
        {&Form1::Bw, "Bw", Container::Frame1, 1800, 120, 375, 255, Font::Bold, centre, false, QString(), 32},
        {&Form1::Bt, "Bt", Container::Frame1, 2280, 0, 375, 255, Font::Default, centre, false, QString(), 33},
        {&Form1::Bz, "Bz", Container::Frame1, 2280, 240, 375, 255, Font::Default, centre, false, QString(), 34},
        {&Form1::Label3, "Label3", Container::Frame1, 2760, 120, 255, 255, Font::Bold, centre, false, QStringLiteral("="), -1},
        {&Form1::Cw, "Cw", Container::Frame1, 3120, 120, 375, 285, Font::Default, left, false, QString(), 72},
        {&Form1::Ct, "Ct", Container::Frame1, 3600, 0, 375, 285, Font::Default, left, false, QString(), 73},
        {&Form1::Cz, "Cz", Container::Frame1, 3600, 240, 375, 285, Font::Default, left, false, QString(), 74},
        {&Form1::Result, "Result", Container::Frame1, 4440, 120, 1455, 255, Font::Default, left, true, QString(), -1},
        {&Form1::Dw, "Dw", Container::Frame2, 120, 120, 375, 255, Font::Bold, centre, false, QString(), -1},
        {&Form1::Dt, "Dt", Container::Frame2, 600, 0, 375, 255, Font::Default, centre, false, QString(), -1},
        {&Form1::Dz, "Dz", Container::Frame2, 600, 240, 375, 255, Font::Default, centre, false, QString(), -1},
    };

    // Focusable controls by tab position, chained into the Tab order below.
    // Labels and frames hold positions too but never take focus.
    std::vector<std::pair<int, QWidget *>> tabOrder = {{0, Command1}, {146, Command2}};

    for (const Array &a : arrays) {
        QWidget *frame = a.container == Container::Frame1 ? Frame1 : Frame2;
        for (int r = 0; r <= 9; ++r) {
            QWidget *w = std::visit(
                [&](auto member) -> QWidget * {
                    using Control = std::remove_pointer_t<decltype((this->*member)(0))>;
                    Control *control = nullptr;
                    if constexpr (std::is_same_v<Control, QLabel>) {
                        control = new QLabel(a.caption, frame);
                        styleLabel(control, fonts, a.font, a.align, a.border);
                    } else {
                        control = new QLineEdit(frame);
                        control->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                        tabOrder.push_back({a.firstTab + 3 * r, control});
                    }
                    (this->*member).set(r, control);
                    return control;
                },
                a.slot);
            w->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(a.name)).arg(r));
            // The one exception to the row rule: Ct(0) stands 30 twips higher.
            const int y = std::string_view(a.name) == "Ct" && r == 0 ? 330 : rowY(r) + a.topOffset;
            place(w, a.left, y, a.width, a.height);
        }
    }

    // Operator signs: one dot for multiplication, a colon of two for division.
    struct Dot {
        ControlArray<DotControl> Form1::*array;
        int index;
        int top;
    };
    const Dot dots[] = {
        {&Form1::Shape1, 3, 600},  {&Form1::Shape1, 2, 1080}, {&Form1::Shape2, 2, 1200},
        {&Form1::Shape1, 0, 1680}, {&Form1::Shape2, 0, 1800}, {&Form1::Shape2, 3, 2400},
        {&Form1::Shape1, 1, 2880}, {&Form1::Shape2, 1, 3000}, {&Form1::Shape1, 4, 3480},
        {&Form1::Shape2, 4, 3600}, {&Form1::Shape1, 5, 4080}, {&Form1::Shape2, 5, 4200},
        {&Form1::Shape2, 6, 4800}, {&Form1::Shape1, 6, 5400}, {&Form1::Shape1, 7, 5880},
        {&Form1::Shape2, 7, 6000},
    };
    for (const Dot &d : dots) {
        auto *dot = new DotControl(Frame1);
        dot->setObjectName(QStringLiteral("%1_%2")
                               .arg(d.array == &Form1::Shape1 ? QLatin1String("Shape1") : QLatin1String("Shape2"))
                               .arg(d.index));
        place(dot, 1440, d.top, 75, 75);
        (this->*d.array).set(d.index, dot);
    }

    // Fraction bars, all hidden: 1..20 in the task frame, 0 and 21..30 in the
    // answer frame. Created after the labels, so each is drawn in front of
    // the numerator it crosses; the load step puts them in place.
    for (int i = 0; i <= 30; ++i) {
        auto *bar = new LineControl(i >= 1 && i <= 20 ? Frame1 : Frame2);
        bar->setObjectName(QStringLiteral("Line1_%1").arg(i));
        if (i == 1)
            bar->setEnds(240, 360, 600, 360);
        else
            bar->setEnds(0, 0, 360, 0);
        bar->setVisible(false);
        Line1.set(i, bar);
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    setTimerInterval(Timer1, 0);

    std::sort(tabOrder.begin(), tabOrder.end());
    for (size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);

    // Keyboard: Enter presses a focused button as Space does.
    Command1->setAutoDefault(true);
    Command2->setAutoDefault(true);

    // Screen readers: each answer box says which task and which part it is;
    // the labels that report results carry their role in their name.
    for (int r = 0; r <= 9; ++r) {
        const QString task = QStringLiteral("Задание %1").arg(r + 1);
        Cw(r)->setAccessibleName(task + QStringLiteral(", целая часть"));
        Ct(r)->setAccessibleName(task + QStringLiteral(", числитель"));
        Cz(r)->setAccessibleName(task + QStringLiteral(", знаменатель"));
        setSpokenRole(Result(r), task);
    }
    setSpokenRole(TL, QStringLiteral("Осталось времени"));
    setSpokenRole(RA, QStringLiteral("Правильных ответов"));
    setSpokenRole(NR, QStringLiteral("Неправильных ответов"));
    setSpokenRole(Mrk, QStringLiteral("Оценка"));

    setWindowIcon(appIcon());

    // Only the answer boxes take key filtering: digits, "-" and Backspace.
    m_keyFilter = new AnswerKeyFilter(this);
    for (int r = 0; r <= 9; ++r) {
        Cw(r)->installEventFilter(m_keyFilter);
        Ct(r)->installEventFilter(m_keyFilter);
        Cz(r)->installEventFilter(m_keyFilter);
    }
}
