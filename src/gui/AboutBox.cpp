#include "gui/AboutBox.h"

#include "gui/AppIcons.h"
#include "settings/StringTable.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorn {

QString aboutVersionLine(int major, int minor, int revision)
{
    auto padded = [](int value, int width) { return QStringLiteral("%1").arg(value, width, 10, QChar(u'0')); };
    return QStringLiteral("VORN   Version : ") + padded(major, 2) + u'.' + padded(minor, 2) + u'.'
        + padded(revision, 4);
}

QDialog *makeAboutBox(QWidget *parent, const QString &versionLine)
{
    auto *box = new QDialog(parent);
    box->setObjectName(QStringLiteral("FrmAPropos"));
    box->setWindowTitle(CaptionTitle(135));

    auto *picture = new QLabel;
    picture->setObjectName(QStringLiteral("img"));
    picture->setPixmap(drawnIcon(QStringLiteral("CD")).pixmap(48, 48));

    auto *label = new QLabel(versionLine + u'\n' + LoadText(507));
    label->setObjectName(QStringLiteral("Label2"));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);

    auto *summary = new QLabel(LoadText(200));
    summary->setObjectName(QStringLiteral("Label1"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(LoadText(513));
    QObject::connect(buttons, &QDialogButtonBox::rejected, box, &QDialog::reject);

    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(8);
    texts->addWidget(label);
    texts->addWidget(summary);
    top->addLayout(texts, 1);
    auto *layout = new QVBoxLayout(box);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return box;
}

} // namespace vorn
