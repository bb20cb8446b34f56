#include "gui/export/FrmExport.h"

#include "common/UserPrompt.h"
#include "gui/Form1.h"
#include "gui/export/BusyPrompt.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/KeywordCodes.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorn {

namespace {

constexpr int KeyRole = Qt::UserRole; // "K" & position
constexpr int PositionRole = Qt::UserRole + 1;

QAction *menuEntry(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

FrmExport::FrmExport(Form1 &owner, std::function<void(const QString &)> showFolder)
    : QDialog(&owner), m_owner(owner), m_showFolder(std::move(showFolder))
{
    setObjectName(QStringLiteral("FrmExport"));
    setWindowTitle(LoadText(450));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowModality(Qt::ApplicationModal);

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("LVEx"));
    m_list->setIconSize(QSize(16, 16));
    fillList();

    auto *label = new QLabel(LoadText(449));
    m_folder = new QLineEdit(QDir::toNativeSeparators(initialExportFolder(owner.catalogue())));
    m_folder->setObjectName(QStringLiteral("TxtExport"));
    label->setBuddy(m_folder);
    m_browse = new QPushButton(QStringLiteral("..."));
    m_browse->setObjectName(QStringLiteral("BtBrowseExport"));
    m_browse->setToolTip(LoadText(451));
    m_browse->setMaximumWidth(m_browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 24);
    m_move = new QCheckBox(LoadText(473));
    m_move->setObjectName(QStringLiteral("ChkDeplace"));
    m_export = new QPushButton(LoadText(450));
    m_export->setObjectName(QStringLiteral("BtExport"));
    m_export->setDefault(true);
    connect(m_browse, &QPushButton::clicked, this, &FrmExport::browse);
    connect(m_export, &QPushButton::clicked, this, &FrmExport::runExport);

    auto *bar = new QMenuBar;
    buildMenus(bar);

    auto *target = new QHBoxLayout;
    target->addWidget(label);
    target->addWidget(m_folder, 1);
    target->addWidget(m_browse);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_move);
    bottom->addStretch(1);
    bottom->addWidget(m_export);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(m_list, 1);
    layout->addLayout(target);
    layout->addLayout(bottom);
    resize(520, 420);
}

void FrmExport::fillList()
{
    m_list->clear();
    const Catalogue &catalogue = m_owner.catalogue();
    const QIcon cd = m_owner.icons().icon(QStringLiteral("CD"));
    for (int position = 1; position <= catalogue.discCount(); ++position) {
        const DiscRecord &disc = catalogue.disc(position);
        auto *item = new QListWidgetItem(disc.name, m_list);
        const auto icon = catalogue.discIcons.constFind(disc.identifier);
        item->setIcon(icon != catalogue.discIcons.constEnd() ? m_owner.icons().discIcon(disc.identifier, *icon) : cd);
        item->setData(KeyRole, QString(u'K' + QString::number(position)));
        item->setData(PositionRole, position);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void FrmExport::buildMenus(QMenuBar *bar)
{
    QMenu *file = bar->addMenu(LoadText(100));
    file->setObjectName(QStringLiteral("MnuFichierExport"));
    connect(menuEntry(file, "MnuExport", LoadText(450)), &QAction::triggered, this, &FrmExport::runExport);
    file->addSeparator();
    connect(menuEntry(file, "MnuCloseWindow", LoadText(513)), &QAction::triggered, this, &QDialog::close);

    QMenu *selection = bar->addMenu(LoadText(781));
    selection->setObjectName(QStringLiteral("MnuSelection"));
    connect(menuEntry(selection, "MnuselectAll", LoadText(447)), &QAction::triggered, this, [this] { tickAll(true); });
    QMenu *select = selection->addMenu(LoadText(514));
    select->setObjectName(QStringLiteral("MnuSelectMC"));
    QMenu *deselect = selection->addMenu(LoadText(515));
    deselect->setObjectName(QStringLiteral("MnuDeselect"));
    connect(menuEntry(deselect, "MnuDeselectAll", LoadText(448)), &QAction::triggered, this,
            [this] { tickAll(false); });
    const std::vector<KeywordEntry> &keywords = m_owner.catalogue().keywords;
    if (keywords.size() > 1)
        deselect->addSeparator();
    for (size_t k = 1; k < keywords.size(); ++k) {
        const qint16 number = keywords[k].number;
        for (QMenu *menu : {select, deselect}) {
            QAction *action = menu->addAction(keywords[k].name);
            action->setData(int(number));
            const bool tick = menu == select;
            connect(action, &QAction::triggered, this, [this, number, tick] { tickKeyword(number, tick); });
        }
    }
    select->setEnabled(keywords.size() > 1);
}

void FrmExport::tickAll(bool ticked)
{
    for (int row = 0; row < m_list->count(); ++row)
        m_list->item(row)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void FrmExport::tickKeyword(qint16 number, bool ticked)
{
    const Catalogue &catalogue = m_owner.catalogue();
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem *item = m_list->item(row);
        const int position = item->data(PositionRole).toInt();
        if (position <= catalogue.discCount() && carriesKeyword(catalogue.disc(position).keywordCodes, number))
            item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
}

void FrmExport::browse()
{
    const QString folder = m_owner.prompt().chooseFolder(LoadText(451));
    if (!folder.isEmpty())
        m_folder->setText(QDir::toNativeSeparators(folder));
}

DiscExportRequest FrmExport::request() const
{
    DiscExportRequest request;
    request.folder = QDir::fromNativeSeparators(m_folder->text());
    request.move = m_move->isChecked();
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem *item = m_list->item(row);
        if (item->checkState() == Qt::Checked)
            request.positions.push_back(item->data(PositionRole).toInt());
    }
    return request;
}

DiscExportResult FrmExport::runExport()
{
    // The archives go as they are on disk: the shown disc's pending edits first.
    m_owner.saveCurrentDisc();
    const DiscExportRequest wanted = request();
    DiscExportResult result;
    {
        BusyPrompt busy(m_owner.prompt());
        result = exportDiscs(m_owner.catalogue(), wanted, busy);
    }
    if (result.showFolder() && m_showFolder)
        m_showFolder(result.folder);
    if (result.moved > 0) {
        // The moved discs leave the data folder: the window reads it again.
        m_owner.menus().file.refresh->trigger();
        fillList();
    }
    return result;
}

} // namespace vorn
