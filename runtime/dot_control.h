// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A solid black dot filling its box: the operator signs of the task rows.

#include <QWidget>

class DotControl : public QWidget {
    Q_OBJECT
public:
    explicit DotControl(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
