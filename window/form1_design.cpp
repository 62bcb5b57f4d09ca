// SPDX-License-Identifier: GPL-3.0-or-later
// The window's fixed design, built from tables in named steps. Positions and
// sizes are in twips of the control's container (the client area or a frame).

#include "window/form1_ui.h"

#include "fraction/task_generator.h"
#include "runtime/accessible_controls.h"
#include "runtime/control_props.h"
#include "runtime/twips.h"
#include "window/accessibility.h"
#include "window/app_icon.h"
#include "window/form1.h"
#include "window/messages.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <array>

namespace {

enum class Font { Default, Bold, Clock, Grade };

constexpr int ClientWidth = 7830;
constexpr int ClientHeight = 9435;

// Row r's base height in its frame; numerators stand at y, whole parts at
// y + 120, denominators at y + 240 and bars at y + 210.
constexpr int rowY(int r) { return 360 + 600 * r; }

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

// One font object of each kind, shared by every control that uses it, so
// each is matched against the installed fonts once.
struct DesignFonts {
    std::array<QFont, 4> fonts = {designFont(Font::Default), designFont(Font::Bold), designFont(Font::Clock),
                                  designFont(Font::Grade)};
    const QFont &operator[](Font font) const { return fonts[size_t(font)]; }
};

struct Box {
    int left, top, width, height;
};

void place(QWidget *w, const Box &box)
{
    w->setGeometry(twipsToPx(box.left), twipsToPx(box.top), twipsToPx(box.width), twipsToPx(box.height));
}

struct LabelStyle {
    Font font = Font::Default;
    Qt::Alignment align = Qt::AlignLeft;
    bool border = false;
};

void styleLabel(QLabel *label, const LabelStyle &style, const DesignFonts &fonts)
{
    if (style.font != Font::Default)
        label->setFont(fonts[style.font]);
    // Text starts at the top of the label's box.
    label->setAlignment(style.align | Qt::AlignTop);
    if (style.border)
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

// A single control of the client area.
template <class Control>
struct Single {
    Control *Ui::Form1::*member;
    const char *name;
    Box box;
    QString caption;
    bool shown;
    LabelStyle style = {};
};

template <class Control>
void createSingle(Ui::Form1 &ui, const Single<Control> &s, QWidget *client, const DesignFonts &fonts)
{
    auto *w = new Control(s.caption, client);
    if constexpr (std::is_same_v<Control, QLabel>)
        styleLabel(w, s.style, fonts);
    w->setObjectName(QLatin1String(s.name));
    place(w, s.box);
    w->setVisible(s.shown);
    ui.*s.member = w;
}

// A control array of the ten rows: member r stands at rowY(r) + top.
template <class Control>
struct RowArray {
    ControlArray<Control> Ui::Form1::*member;
    const char *name;
    QGroupBox *Ui::Form1::*frame;
    Box box; // box.top is the offset from the row's base height
    LabelStyle style = {};
    QString caption = {};
};

template <class Control>
void createRowArray(Ui::Form1 &ui, const RowArray<Control> &a, const DesignFonts &fonts)
{
    for (int r = 0; r <= 9; ++r) {
        Control *w = nullptr;
        if constexpr (std::is_same_v<Control, QLabel>) {
            w = new QLabel(a.caption, ui.*a.frame);
            styleLabel(w, a.style, fonts);
        } else {
            // Single-line, left-aligned, empty and enabled.
            w = new QLineEdit(ui.*a.frame);
            w->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        }
        w->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(a.name)).arg(r));
        place(w, {a.box.left, rowY(r) + a.box.top, a.box.width, a.box.height});
        (ui.*a.member).set(r, w);
    }
}

using Ui::Form1;

// One list on the menu bar, captions only, no shortcuts.
void setupMenu(Form1 &ui, ::Form1 *form)
{
    ui.mn = form->menuBar()->addMenu(Messages::Menu);
    ui.mn->setObjectName(QStringLiteral("mn"));
    // A popup is a window of its own and would not inherit the window's font.
    ui.mn->setFont(form->font());
    ui.sp = ui.mn->addAction(Messages::Thanks);
    ui.sp->setObjectName(QStringLiteral("sp"));
    ui.Autmn = ui.mn->addAction(Messages::Author);
    ui.Autmn->setObjectName(QStringLiteral("Autmn"));
    ui.ExMn = ui.mn->addAction(Messages::Exit);
    ui.ExMn->setObjectName(QStringLiteral("ExMn"));
}

// The instructions, the clock, the two buttons, the two frames and the
// result labels.
void setupSingleControls(Form1 &ui, QWidget *client, const DesignFonts &fonts)
{
    const auto centre = Qt::AlignHCenter;
    const Single<QLabel> labels[] = {
        {.member = &Form1::Label4, .name = "Label4", .box = {240, 480, 7095, 1095},
         .caption = Messages::Instructions, .shown = true},
        {.member = &Form1::Label1, .name = "Label1", .box = {240, 1680, 1575, 375},
         .caption = Messages::TimeLeft, .shown = false, .style = {.align = centre, .border = true}},
        {.member = &Form1::TL, .name = "TL", .box = {1800, 1680, 1215, 375},
         .caption = Messages::ClockDesign, .shown = false, .style = {.font = Font::Clock, .border = true}},
    };
    const Single<QPushButton> buttons[] = {
        {.member = &Form1::Command1, .name = "Command1", .box = {2760, 1800, 1455, 375},
         .caption = Messages::Start, .shown = true},
        {.member = &Form1::Command2, .name = "Command2", .box = {6600, 1800, 1095, 255},
         .caption = Messages::Done, .shown = false},
    };
    const Single<QGroupBox> frames[] = {
        {.member = &Form1::Frame1, .name = "Frame1", .box = {240, 2160, 6255, 6375},
         .caption = Messages::Tasks, .shown = false},
        {.member = &Form1::Frame2, .name = "Frame2", .box = {6600, 2160, 1095, 6375},
         .caption = Messages::Answers, .shown = false},
    };
    const Single<QLabel> results[] = {
        {.member = &Form1::Label5, .name = "Label5", .box = {240, 8640, 1815, 255},
         .caption = Messages::RightCount, .shown = false},
        {.member = &Form1::Label6, .name = "Label6", .box = {2160, 8640, 1815, 255},
         .caption = Messages::WrongCount, .shown = false},
        {.member = &Form1::RA, .name = "RA", .box = {240, 9000, 1695, 255},
         .caption = QString(), .shown = true, .style = {.align = centre}},
        {.member = &Form1::NR, .name = "NR", .box = {2160, 9000, 1815, 255},
         .caption = QString(), .shown = true, .style = {.align = centre}},
        {.member = &Form1::Mrk, .name = "Mrk", .box = {6960, 8520, 615, 735},
         .caption = Messages::GradeDesign, .shown = false, .style = {.font = Font::Grade}},
    };
    // Created in this order, which is also the order they stack in.
    for (const auto &s : labels)
        createSingle(ui, s, client, fonts);
    for (const auto &s : buttons)
        createSingle(ui, s, client, fonts);
    for (const auto &s : frames)
        createSingle(ui, s, client, fonts);
    for (const auto &s : results)
        createSingle(ui, s, client, fonts);

    ui.Label4->setWordWrap(true);
    // The clock paints its own background: a tick then repaints the clock
    // alone, not the heading it overlaps by one pixel nor the window beneath.
    ui.TL->setAutoFillBackground(true);
}

// The task frame's rows and the answer frame's rows. The array labels have
// no border but Result.
void setupRows(Form1 &ui, const DesignFonts &fonts)
{
    const auto centre = Qt::AlignHCenter;
    const LabelStyle number = {.align = centre};
    const LabelStyle wholePart = {.font = Font::Bold, .align = centre};
    const RowArray<QLabel> taskLabels[] = {
        {.member = &Form1::Aw, .name = "Aw", .frame = &Form1::Frame1, .box = {240, 120, 375, 255}, .style = wholePart},
        {.member = &Form1::At, .name = "At", .frame = &Form1::Frame1, .box = {720, 0, 375, 255}, .style = number},
        {.member = &Form1::Az, .name = "Az", .frame = &Form1::Frame1, .box = {720, 240, 375, 255}, .style = number},
        {.member = &Form1::Bw, .name = "Bw", .frame = &Form1::Frame1, .box = {1800, 120, 375, 255}, .style = wholePart},
        {.member = &Form1::Bt, .name = "Bt", .frame = &Form1::Frame1, .box = {2280, 0, 375, 255}, .style = number},
        {.member = &Form1::Bz, .name = "Bz", .frame = &Form1::Frame1, .box = {2280, 240, 375, 255}, .style = number},
        {.member = &Form1::Label3, .name = "Label3", .frame = &Form1::Frame1, .box = {2760, 120, 255, 255},
         .style = wholePart, .caption = Messages::Equals},
    };
    const RowArray<QLineEdit> boxes[] = {
        {.member = &Form1::Cw, .name = "Cw", .frame = &Form1::Frame1, .box = {3120, 120, 375, 285}},
        {.member = &Form1::Ct, .name = "Ct", .frame = &Form1::Frame1, .box = {3600, 0, 375, 285}},
        {.member = &Form1::Cz, .name = "Cz", .frame = &Form1::Frame1, .box = {3600, 240, 375, 285}},
    };
    const RowArray<QLabel> answerLabels[] = {
        {.member = &Form1::Result, .name = "Result", .frame = &Form1::Frame1, .box = {4440, 120, 1455, 255},
         .style = {.border = true}},
        {.member = &Form1::Dw, .name = "Dw", .frame = &Form1::Frame2, .box = {120, 120, 375, 255}, .style = wholePart},
        {.member = &Form1::Dt, .name = "Dt", .frame = &Form1::Frame2, .box = {600, 0, 375, 255}, .style = number},
        {.member = &Form1::Dz, .name = "Dz", .frame = &Form1::Frame2, .box = {600, 240, 375, 255}, .style = number},
    };
    for (const auto &a : taskLabels)
        createRowArray(ui, a, fonts);
    for (const auto &a : boxes)
        createRowArray(ui, a, fonts);
    for (const auto &a : answerLabels)
        createRowArray(ui, a, fonts);

    // The one exception to the row rule: Ct(0) stands 30 twips higher.
    ui.Ct(0)->move(ui.Ct(0)->x(), twipsToPx(330));
}

// Operator signs between the operands: one dot for a multiplication, a colon
// of two for a division, as the rows' operations say.
void setupDots(Form1 &ui)
{
    // The dots' names in the order the rows use them: a colon's upper dot
    // comes first.
    struct DotName {
        ControlArray<DotControl> Form1::*array;
        int index;
    };
    static constexpr DotName names[] = {
        {&Form1::Shape1, 3}, {&Form1::Shape1, 2}, {&Form1::Shape2, 2}, {&Form1::Shape1, 0},
        {&Form1::Shape2, 0}, {&Form1::Shape2, 3}, {&Form1::Shape1, 1}, {&Form1::Shape2, 1},
        {&Form1::Shape1, 4}, {&Form1::Shape2, 4}, {&Form1::Shape1, 5}, {&Form1::Shape2, 5},
        {&Form1::Shape2, 6}, {&Form1::Shape1, 6}, {&Form1::Shape1, 7}, {&Form1::Shape2, 7},
    };
    static_assert(std::size(names)
                  == RowOperation.size() + size_t(std::count(RowOperation.begin(), RowOperation.end(), Operation::Divide)));
    const DotName *next = std::begin(names);
    const auto createDot = [&](int top) {
        const DotName &name = *next++;
        auto *dot = new DotControl(ui.Frame1);
        dot->setObjectName(QStringLiteral("%1_%2")
                               .arg(name.array == &Form1::Shape1 ? QLatin1String("Shape1") : QLatin1String("Shape2"))
                               .arg(name.index));
        place(dot, {1440, top, 75, 75});
        (ui.*name.array).set(name.index, dot);
    };
    for (int r = 0; r <= 9; ++r) {
        if (RowOperation[size_t(r)] == Operation::Divide)
            createDot(rowY(r) + 120);
        createDot(rowY(r) + 240);
    }
}

// Fraction bars, all hidden: 1..20 in the task frame, 0 and 21..30 in the
// answer frame. Created after the labels, so each is drawn in front of the
// numerator it crosses; the load step puts them in place.
void setupBars(Form1 &ui)
{
    // Line1(0) is never drawn; it is kept because the objectName contract names Line1_0.
    for (int i = 0; i <= 30; ++i) {
        auto *bar = new LineControl(i >= 1 && i <= 20 ? ui.Frame1 : ui.Frame2);
        bar->setObjectName(QStringLiteral("Line1_%1").arg(i));
        bar->setEnds(0, 0, 360, 0);
        bar->setVisible(false);
        ui.Line1.set(i, bar);
    }
}

void setupTimer(Form1 &ui, ::Form1 *form)
{
    ui.Timer1 = new QTimer(form);
    ui.Timer1->setObjectName(QStringLiteral("Timer1"));
    ui.Timer1->setTimerType(Qt::PreciseTimer);
    setTimerInterval(ui.Timer1, 0);
}

// Tab walks "Начать тест", then each row's whole part, numerator and
// denominator, then "Готово!". Enter presses a focused button as Space does.
void setupFocusOrder(Form1 &ui, ::Form1 *form)
{
    QWidget *previous = ui.Command1;
    for (int r = 0; r <= 9; ++r) {
        for (QLineEdit *box : {ui.Cw(r), ui.Ct(r), ui.Cz(r)}) {
            form->setTabOrder(previous, box);
            previous = box;
        }
    }
    form->setTabOrder(previous, ui.Command2);
    ui.Command1->setAutoDefault(true);
    ui.Command2->setAutoDefault(true);
}

// Each answer box says which task and which part it is; the labels that
// report results carry their role in their name.
void setupAccessibility(Form1 &ui)
{
    for (int r = 0; r <= 9; ++r) {
        const QString task = Messages::task(r);
        ui.Cw(r)->setAccessibleName(task + Messages::WholePart);
        ui.Ct(r)->setAccessibleName(task + Messages::Numerator);
        ui.Cz(r)->setAccessibleName(task + Messages::Denominator);
        setSpokenRole(ui.Result(r), task);
    }
    // A heading is read once, as part of the name of what it heads; the
    // operands are read as the task that describeTasks() gives the row's "=".
    ui.Label1->setBuddy(ui.TL);
    ui.Label5->setBuddy(ui.RA);
    ui.Label6->setBuddy(ui.NR);
    for (int r = 0; r <= 9; ++r) {
        for (QLabel *operand : {ui.Aw(r), ui.At(r), ui.Az(r), ui.Bw(r), ui.Bt(r), ui.Bz(r)})
            operand->setBuddy(ui.Label3(r));
    }
    setSpokenRole(ui.TL, Messages::TimeLeft);
    setSpokenRole(ui.RA, Messages::RightCount);
    setSpokenRole(ui.NR, Messages::WrongCount);
    setSpokenRole(ui.Mrk, Messages::Grade);
}

} // namespace

namespace Ui {

void Form1::setupUi(::Form1 *form)
{
    // Before any control exists: Qt keeps the first interface it makes for
    // a control.
    registerControlAccessibility();

    form->setObjectName(QStringLiteral("Form1"));
    form->setWindowTitle(Messages::Caption);
    form->setWindowIcon(appIcon());
    const DesignFonts fonts;
    form->setFont(fonts[Font::Default]);

    // The menu comes first among the window's children, so screen readers
    // meet it first.
    setupMenu(*this, form);

    // The client area, fixed in size; the window fits itself around it.
    auto *client = new QWidget(form);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsToPx(ClientWidth), twipsToPx(ClientHeight));
    form->setCentralWidget(client);
    form->layout()->setSizeConstraint(QLayout::SetFixedSize);

    setupSingleControls(*this, client, fonts);
    setupRows(*this, fonts);
    setupDots(*this);
    setupBars(*this);
    setupTimer(*this, form);
    setupFocusOrder(*this, form);
    setupAccessibility(*this);
}

FractionColumn Form1::column(int16_t row, Column column) const
{
    switch (column) {
    case Column::A:
        return {Aw(row), At(row), Az(row), Line1(row + 1)};
    case Column::B:
        return {Bw(row), Bt(row), Bz(row), Line1(row + 11)};
    case Column::Answer:
        break;
    }
    return {Dw(row), Dt(row), Dz(row), Line1(row + 21)};
}

BoxTexts Form1::typedAnswer(int16_t row) const
{
    return {Cw(row)->text().toStdString(), Ct(row)->text().toStdString(), Cz(row)->text().toStdString()};
}

} // namespace Ui
