// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the benchmarks: the least a Qt 6 Widgets program can be,
// a QMainWindow holding one QLabel.
//
// Plain, it is the floor for start-up time and memory. With --tick its label
// is rewritten once a second by a precise timer, counting down the way the
// program's clock does: the floor for the CPU a ticking window costs.
//
// The window has the program's pixel size, so that both hold the same
// backing store and the comparison is about what the programs do, not about
// how large they are drawn.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

namespace {

constexpr int WindowWidth = 522;
constexpr int WindowHeight = 647;

QString clockText(int seconds)
{
    return QStringLiteral("00:%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool ticking = QCoreApplication::arguments().contains(QStringLiteral("--tick"));

    QMainWindow window;
    window.setWindowTitle(ticking ? QStringLiteral("bare window, ticking") : QStringLiteral("bare window"));
    int secondsLeft = 600;
    auto *label = new QLabel(clockText(secondsLeft), &window);
    window.setCentralWidget(label);
    window.resize(WindowWidth, WindowHeight);

    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, label, [&] { label->setText(clockText(--secondsLeft)); });
    if (ticking)
        timer.start(1000);

    window.show();
    return app.exec();
}
