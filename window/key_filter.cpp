// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/key_filter.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <string_view>

int16_t FilterKey(int16_t keyAscii)
{
    constexpr std::string_view accepted = "0123456789-";
    constexpr int16_t Backspace = 8;
    const bool found = keyAscii > 0 && keyAscii < 128 && accepted.find(char(keyAscii)) != std::string_view::npos;
    if (!found && keyAscii != Backspace)
        return 0;
    return keyAscii;
}

std::optional<int16_t> keyAsciiOf(const QKeyEvent &event)
{
    if (event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab || event.key() == Qt::Key_Delete)
        return std::nullopt;
    const QString text = event.text();
    if (text.isEmpty())
        return std::nullopt;
    const char16_t c = text.at(0).unicode();
    if (c == 0x7F) // Delete, as X11 reports it
        return std::nullopt;
    if (text.size() > 1)
        return 0; // several characters at once (an input method): none is a plain key
    if (event.modifiers() & Qt::ControlModifier) {
        // X11 already delivers Ctrl+letter as its control code; synthetic
        // events carry the letter itself. Both become the control code.
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
            return int16_t(c & 0x1F);
    }
    if (c > 0x7FFF)
        return 0;
    return int16_t(c);
}

bool AnswerKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto code = keyAsciiOf(*static_cast<QKeyEvent *>(event));
        if (code && FilterKey(*code) == 0)
            return true;
    } else if (event->type() == QEvent::InputMethod) {
        // Typing through an input method (IBus, a compose key) commits text
        // without key presses: keep only the characters a key could type.
        auto *input = static_cast<QInputMethodEvent *>(event);
        QString kept;
        for (const QChar c : input->commitString()) {
            if (c == QLatin1Char('-') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
                kept += c;
        }
        if (kept != input->commitString())
            input->setCommitString(kept, input->replacementStart(), input->replacementLength());
    }
    return QObject::eventFilter(watched, event);
}
