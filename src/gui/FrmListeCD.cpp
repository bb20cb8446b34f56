#include "gui/FrmListeCD.h"

#include "common/UserPrompt.h"
#include "gui/DiscCataloguing.h"
#include "gui/Form1.h"
#include "settings/StringTable.h"
#include "store/RecordText.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorn {

namespace {

QString withVolume(const QString &name, const QString &label)
{
    return label.isEmpty() ? name : name + QStringLiteral(" (vol:[") + label + QStringLiteral("]) ");
}

} // namespace

FrmListeCD::FrmListeCD(Form1 &owner, const QString &identifier, const QString &insertedName,
                       const QString &insertedLabel)
    : QDialog(&owner), m_owner(owner), m_identifier(identifier), m_insertedName(insertedName),
      m_insertedLabel(insertedLabel)
{
    setObjectName(QStringLiteral("FrmListeCD"));
    QString caption = LoadText(625);
    caption.chop(3);
    setWindowTitle(caption);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("LVEx"));
    m_list->setIconSize(QSize(16, 16));
    const Catalogue &catalogue = owner.catalogue();
    const QIcon cd = owner.icons().icon(QStringLiteral("CD"));
    for (int position = 1; position <= catalogue.discCount(); ++position) {
        const DiscRecord &disc = catalogue.disc(position);
        auto *item = new QListWidgetItem(disc.name, m_list);
        item->setIcon(catalogue.discIcons.contains(disc.identifier)
                          ? owner.icons().discIcon(disc.identifier, catalogue.discIcons.value(disc.identifier))
                          : cd);
        item->setData(Qt::UserRole, disc.identifier);
    }

    m_text = new QPlainTextEdit(LoadText(626) + QStringLiteral("\n") + LoadText(627));
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    m_text->setFrameShape(QFrame::NoFrame);
    QPalette palette = m_text->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    m_text->setPalette(palette);

    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_ok->setEnabled(false);
    // Only a disc the user picked enables OK: the list's current item (set by focus
    // alone) is not a choice.
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            [this] { m_ok->setEnabled(!m_list->selectedItems().isEmpty()); });
    connect(m_ok, &QPushButton::clicked, this, &FrmListeCD::command1Click);

    auto *side = new QVBoxLayout;
    side->addWidget(m_text, 1);
    side->addWidget(m_ok, 0, Qt::AlignRight);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(side, 1);
    resize(520, 300);
}

QString FrmListeCD::confirmation(int position) const
{
    const DiscRecord &picked = m_owner.catalogue().disc(position);
    QString text = LoadText(631) + withVolume(m_insertedName, m_insertedLabel);
    if (!text.endsWith(u' '))
        text += u' ';
    return text + LoadText(632) + u' ' + withVolume(picked.name, picked.volumeLabel).trimmed() + QStringLiteral(" ?");
}

void FrmListeCD::command1Click()
{
    const QList<QListWidgetItem *> picked = m_list->selectedItems();
    if (picked.isEmpty())
        return;
    const QListWidgetItem *item = picked.first();
    const int position = findDisc(m_owner.catalogue(), item->data(Qt::UserRole).toString());
    if (position == 0)
        return;
    if (m_owner.prompt().askOkCancel(confirmation(position)) != UserPrompt::Answer::Ok)
        return;
    // The window may be deleted once it is closed: keep what the re-keying needs.
    Form1 &owner = m_owner;
    const QString identifier = m_identifier;
    close();
    owner.cataloguing().rekeyDiscToDrive(position, identifier);
}

} // namespace vorn
