#include "gui/Form1.h"

#include "gui/TranslateCaptions.h"

namespace vorn {

Form1::Form1(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("200"));
    resize(1024, 700);
    TranslateCaptions(this);
}

} // namespace vorn
