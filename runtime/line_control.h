// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A line between two points given in twips of its container: the fraction
// bars. It is drawn one logical pixel wide in the palette's text colour; the
// widget itself covers just the line's bounding box, so it hides nothing
// around it and takes no clicks.

#include <QWidget>

class LineControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int x1 READ X1 WRITE setX1)
    Q_PROPERTY(int y1 READ Y1 WRITE setY1)
    Q_PROPERTY(int x2 READ X2 WRITE setX2)
    Q_PROPERTY(int y2 READ Y2 WRITE setY2)
public:
    explicit LineControl(QWidget *parent = nullptr);

    int X1() const { return m_x1; }
    int Y1() const { return m_y1; }
    int X2() const { return m_x2; }
    int Y2() const { return m_y2; }
    void setX1(int twips);
    void setY1(int twips);
    void setX2(int twips);
    void setY2(int twips);
    void setEnds(int x1, int y1, int x2, int y2);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void place();

    int m_x1 = 0;
    int m_y1 = 0;
    int m_x2 = 0;
    int m_y2 = 0;
};
