#pragma once

#include <QMainWindow>

namespace vorn {

// The program's main window.
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
};

} // namespace vorn
