// SPDX-License-Identifier: GPL-3.0-or-later
// Class lists as registers export them, and a class written one way
// whoever typed it.

#include "results/class_list.h"

#include <QTest>

class TestClassList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void normalClassName_data();
    void normalClassName();
    void parse_data();
    void parse();
};

void TestClassList::normalClassName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("normal");
    QTest::newRow("as the school writes it") << "6Б" << "6Б";
    QTest::newRow("small letter") << "6б" << "6Б";
    QTest::newRow("space") << " 6 Б " << "6Б";
    QTest::newRow("hyphen") << "6-Б" << "6Б";
    QTest::newRow("the word") << "6 Б класс" << "6Б";
    QTest::newRow("abbreviated word") << "10а кл." << "10А";
    QTest::newRow("Latin look-alike") << "6a" << "6А";
    QTest::newRow("Latin B is Ve") << "6B" << "6В";
    QTest::newRow("number alone") << "6" << "6";
    QTest::newRow("not a class") << "кружок" << "КРУЖОК";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("control characters") << "6\tБ" << "6Б";
}

void TestClassList::normalClassName()
{
    QFETCH(QString, typed);
    QFETCH(QString, normal);
    QCOMPARE(::normalClassName(typed), normal);
}

void TestClassList::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("pupils"); // "class|name"
    QTest::addColumn<int>("problems");

    QTest::newRow("semicolons, UTF-8") << QByteArray("6Б;Иванова Анна\n6б;Петров Пётр\n") << QStringList{"6Б|Иванова Анна", "6Б|Петров Пётр"} << 0;
    QTest::newRow("byte-order mark, CR LF, tabs")
        << QByteArray("\xEF\xBB\xBF" "6 А\tСидоров Иван\r\n\r\n7А\tКим Юна\r\n") << QStringList{"6А|Сидоров Иван", "7А|Ким Юна"} << 0;
    // «6Б;Ёлкина Ксюша» in Windows-1251.
    QTest::newRow("Windows-1251") << QByteArray("6\xC1;\xA8\xEB\xEA\xE8\xED\xE0 \xCA\xF1\xFE\xF8\xE0\n") << QStringList{"6Б|Ёлкина Ксюша"} << 0;
    QTest::newRow("header, quotes, fields joined")
        << QByteArray("Класс;Фамилия;Имя\n\"6Б\";\"Орлова\";\"Мария\"\n") << QStringList{"6Б|Орлова Мария"} << 0;
    QTest::newRow("comments and duplicates")
        << QByteArray("# 6Б\n6Б;Орлова Мария\n6 б;орлова мария\n") << QStringList{"6Б|Орлова Мария"} << 0;
    QTest::newRow("lines without a class or a name")
        << QByteArray("6Б;Орлова Мария\nОрлова Мария\n6Б;\n;Пустой\n") << QStringList{"6Б|Орлова Мария"} << 3;
    QTest::newRow("empty file") << QByteArray() << QStringList{} << 0;
}

void TestClassList::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, pupils);
    QFETCH(int, problems);
    const ClassList list = parseClassList(bytes);
    QStringList read;
    for (const ClassList::Pupil &p : list.pupils)
        read << p.className + QLatin1Char('|') + p.name;
    QCOMPARE(read, pupils);
    QCOMPARE(list.problems.size(), problems);
}

QTEST_APPLESS_MAIN(TestClassList)
#include "tst_class_list.moc"
