// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit side of the runtime on its own: colours given as RGB values,
// the line control's end points and what it draws, the dot control, and the
// message box, closed by the test.

#include "runtime/accessible_controls.h"
#include "runtime/control_props.h"
#include "runtime/dot_control.h"
#include "runtime/line_control.h"
#include "runtime/message_box.h"
#include "runtime/tests/box_closer.h"

#include <QAccessible>
#include <QImage>
#include <QLabel>
#include <QtTest>

namespace {

// The pixels of a widget's own box that show its text colour.
int inkPixels(QWidget &widget)
{
    const QImage image = widget.grab().toImage();
    const QRgb ink = widget.palette().color(QPalette::WindowText).rgb();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == ink;
    return count;
}

} // namespace

class TestRuntimeUi : public QObject {
    Q_OBJECT

private slots:
    void colours_data()
    {
        QTest::addColumn<int>("rgb");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QColor>("colour");

        QTest::newRow("dark green") << RGB(0, 100, 0) << 25600 << QColor(0, 100, 0);
        QTest::newRow("dark red") << RGB(100, 0, 0) << 100 << QColor(100, 0, 0);
        QTest::newRow("blue is the high byte") << RGB(0, 0, 1) << 65536 << QColor(0, 0, 1);
        QTest::newRow("white") << RGB(255, 255, 255) << 16777215 << QColor(255, 255, 255);
    }

    void colours()
    {
        QFETCH(int, rgb);
        QFETCH(int, expected);
        QFETCH(QColor, colour);
        QCOMPARE(rgb, expected);
        QLabel label;
        setForeColor(&label, rgb);
        QCOMPARE(label.palette().color(QPalette::WindowText), colour);
    }

    void lineControl_data()
    {
        QTest::addColumn<QList<int>>("ends");
        QTest::addColumn<QRect>("box");
        QTest::addColumn<int>("minInk");

        // A bar is drawn across its whole width, one pixel high, whichever
        // end comes first.
        QTest::newRow("bar") << QList<int>{720, 300, 1080, 300} << QRect(48, 20, 24, 1) << 24;
        QTest::newRow("bar drawn right to left") << QList<int>{1080, 300, 720, 300} << QRect(48, 20, 24, 1) << 24;
        QTest::newRow("vertical") << QList<int>{150, 0, 150, 300} << QRect(10, 0, 1, 20) << 19;
        QTest::newRow("slanted") << QList<int>{0, 0, 450, 300} << QRect(0, 0, 30, 20) << 20;
    }

    void lineControl()
    {
        QFETCH(QList<int>, ends);
        QFETCH(QRect, box);
        QFETCH(int, minInk);
        QWidget container;
        container.resize(200, 100);
        auto *line = new LineControl(&container);
        // Through the properties, as the design and the load step set them.
        const char *names[] = {"x1", "y1", "x2", "y2"};
        for (int i = 0; i < 4; ++i)
            QVERIFY(line->setProperty(names[i], ends[i]));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(line->property(names[i]).toInt(), ends[i]);
        QCOMPARE(line->geometry(), box);
        QVERIFY2(inkPixels(*line) >= minInk, qPrintable(QString::number(inkPixels(*line))));
    }

    void dotControl()
    {
        QWidget container;
        auto *dot = new DotControl(&container);
        dot->setGeometry(0, 0, 7, 7);
        const QImage image = dot->grab().toImage();
        QCOMPARE(image.pixelColor(3, 3), QColor(Qt::black));
        QVERIFY(image.pixelColor(0, 0) != QColor(Qt::black));
    }

    void messageBox_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("shownTitle");
        QTest::addColumn<QString>("laterLine"); // the informative line changed to while open

        // Without a title of its own, a box takes its window's caption.
        QTest::newRow("information, window's title")
            << int(MsgBoxStyle::Information) << QString() << int(QMessageBox::Information) << QStringLiteral("Окно")
            << QString();
        QTest::newRow("critical, own title")
            << int(MsgBoxStyle::Critical) << QStringLiteral("Ошибка") << int(QMessageBox::Critical) << QStringLiteral("Ошибка")
            << QString();
        QTest::newRow("no icon, its line changed while open")
            << int(MsgBoxStyle::OkOnly) << QString() << int(QMessageBox::NoIcon) << QStringLiteral("Окно")
            << QStringLiteral("Потом");
    }

    void messageBox()
    {
        QFETCH(int, style);
        QFETCH(QString, title);
        QFETCH(int, icon);
        QFETCH(QString, shownTitle);
        QFETCH(QString, laterLine);
        registerControlAccessibility();
        QWidget window;
        window.setWindowTitle(QStringLiteral("Окно"));
        // The line changed in the open box, and said to screen readers.
        QString shownLater, heard;
        BoxCloser closer([&] {
            if (laterLine.isEmpty())
                return;
            auto *open = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            changeInformative(*open, laterLine);
            shownLater = open->informativeText();
            if (auto *notice = open->findChild<QWidget *>(QStringLiteral("screenReaderNotice")); notice && notice->isVisible())
                heard = QAccessible::queryAccessibleInterface(notice)->text(QAccessible::Name);
        });
        const QString text = QStringLiteral("Первая строка\n<b>вторая</b>");
        MsgBox(&window, text, MsgBoxStyle(style), title.isNull() ? std::nullopt : std::optional(title),
               QStringLiteral("Сначала"));
        QCOMPARE(shownLater, laterLine);
        QCOMPARE(heard, laterLine);
        QCOMPARE(closer.seen.size(), 1);
        const SeenBox &box = closer.seen.front();
        QCOMPARE(box.informative, QStringLiteral("Сначала"));
        QCOMPARE(box.text, text);
        QCOMPARE(box.title, shownTitle);
        QCOMPARE(int(box.icon), icon);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.okText, QStringLiteral("ОК"));
    }
};

QTEST_MAIN(TestRuntimeUi)
#include "tst_runtime_ui.moc"
