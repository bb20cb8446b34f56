#include "gui/FrmLang.h"

#include "settings/SettingsStore.h"
#include "settings/StringTable.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>

namespace vorn {

FrmLang::FrmLang(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLang"));
    setWindowTitle(QStringLiteral("VORN"));
    auto *layout = new QHBoxLayout(this);
    const QString captions[] = {QStringLiteral("Français"), QStringLiteral("English")};
    for (int index = 0; index < 2; ++index) {
        auto *button = new QPushButton(captions[index], this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(index));
        button->setMinimumWidth(140);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, index] { choose(index); });
    }
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void FrmLang::choose(int index)
{
    const qint16 offset = index > 0 ? 1000 : 0;
    setLanguageOffset(offset);
    Settings::write(QStringLiteral("Opt"), QStringLiteral("Langage"), QString::number(offset));
    accept();
}

qint16 chooseLanguageAtStart()
{
    const QString stored = Settings::read(QStringLiteral("Opt"), QStringLiteral("Langage"));
    if (stored.isEmpty()) {
        FrmLang chooser;
        if (chooser.exec() != QDialog::Accepted)
            setLanguageOffset(0);
    } else {
        setLanguageOffset(stored.trimmed() == QLatin1String("1000") ? 1000 : 0);
    }
    return LanguageOffset();
}

} // namespace vorn
