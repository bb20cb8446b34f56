#include "gui/FrmArchivage.h"

#include "common/Numbers.h"
#include "common/UserPrompt.h"
#include "edit/DiscCataloguing.h"
#include "edit/DiscNames.h"
#include "gui/DiscCataloguing.h"
#include "gui/Form1.h"
#include "scan/CataloguingRun.h"
#include "settings/OptionValues.h"
#include "settings/OptionsWord.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/RecordText.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace vorn {

namespace {

const QString kOpt = QStringLiteral("Opt");

// The kinds of the tabs "Text", "Zip", "CAB", "RAR", and the request bit of each
// kind's capture box.
constexpr int kTabKinds[] = {FilterKind::Text, FilterKind::Zip, FilterKind::Cab, FilterKind::Rar};

QCheckBox *checkBox(const QString &name, int caption)
{
    auto *box = new QCheckBox(LoadText(caption));
    box->setObjectName(name);
    return box;
}

} // namespace

FrmArchivage::FrmArchivage(Form1 &owner, QChar letter, const QString &identifier, const QString &label,
                           const QString &proposedName)
    : QDialog(&owner), m_owner(owner), m_letter(letter), m_identifier(identifier), m_label(label)
{
    setObjectName(QStringLiteral("FrmArchivage"));
    setWindowTitle(LoadText(453));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *label1 = new QLabel(LoadText(406));
    label1->setObjectName(QStringLiteral("Label1"));
    m_name = new QLineEdit(proposedName);
    m_name->setObjectName(QStringLiteral("TxtNomCD"));
    m_name->selectAll();

    auto *label2 = new QLabel(LoadText(470));
    label2->setObjectName(QStringLiteral("Label2"));
    m_icons = new QComboBox;
    m_icons->setObjectName(QStringLiteral("IC1"));
    m_icons->setIconSize(QSize(32, 32));

    m_arrow = new QToolButton;
    m_arrow->setObjectName(QStringLiteral("ImgFleche"));
    m_arrow->setArrowType(Qt::DownArrow);
    m_arrow->setAutoRaise(true);
    m_keywordsLabel = new QLabel(LoadText(128));
    m_keywordsLabel->setObjectName(QStringLiteral("Label3"));
    m_keywordsLabel->setCursor(Qt::PointingHandCursor);
    m_keywordsLabel->installEventFilter(this);
    m_keywordMenu = new QMenu(this);
    m_keywordMenu->setObjectName(QStringLiteral("MnuMotsClés"));
    connect(m_arrow, &QToolButton::clicked, this,
            [this] { m_keywordMenu->popup(m_arrow->mapToGlobal(QPoint(0, m_arrow->height()))); });

    m_excluded = checkBox(QStringLiteral("CheckExclu"), 508);
    m_eject = checkBox(QStringLiteral("ChkEject"), 469);

    const int captions[] = {453, 355, 459};
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (int index = 0; index < 3; ++index) {
        m_buttons[index] = new QPushButton(LoadText(captions[index]));
        m_buttons[index]->setObjectName(QStringLiteral("Bt1_%1").arg(index));
        m_buttons[index]->setAutoDefault(false);
        connect(m_buttons[index], &QPushButton::clicked, this, [this, index] { bt1Click(index); });
        buttons->addWidget(m_buttons[index]);
    }
    m_buttons[0]->setDefault(true);

    auto *top = new QGridLayout;
    top->addWidget(label1, 0, 0, 1, 3);
    top->addWidget(m_name, 1, 0, 1, 3);
    top->addWidget(label2, 2, 0);
    top->addWidget(m_icons, 2, 1, 1, 2, Qt::AlignLeft);
    auto *keywords = new QHBoxLayout;
    keywords->addWidget(m_arrow);
    keywords->addWidget(m_keywordsLabel);
    keywords->addStretch(1);
    top->addLayout(keywords, 3, 0, 1, 3);
    top->addWidget(m_excluded, 4, 0, 1, 3);
    top->addWidget(m_eject, 5, 0, 1, 3);
    top->setColumnStretch(2, 1);

    m_options = buildOptions();
    m_options->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->addWidget(m_options);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Capture options from the stored options word and "TailleMax".
    const qint32 word = ReadOptionsWord();
    m_firstLine->setChecked(word & Opt::FirstLineToDescription);
    m_text->setChecked(word & Opt::CaptureText);
    m_eject->setChecked(word & Opt::EjectAfterCataloguing);
    m_eject->setVisible(!m_letter.isNull()); // an image file has no tray
    m_zip[0]->setChecked(word & Opt::ListZip);
    m_zip[1]->setChecked(word & Opt::ListCab);
    m_zip[2]->setChecked(word & Opt::ListRar);
    m_textInArchives->setChecked(word & Opt::CaptureTextInArchives);
    m_maxSize->setText(Settings::read(kOpt, QStringLiteral("TailleMax"), QStringLiteral("10")));
    m_filters = BuildFilterTable();
    tabChanged();

    m_owner.cataloguing().readDiscIcon(m_letter, m_identifier);
    fillIcons();
    buildKeywordMenu();
    m_name->setFocus();
}

QWidget *FrmArchivage::buildOptions()
{
    auto *box = new QGroupBox;
    box->setObjectName(QStringLiteral("FrameOptions"));

    m_tabs = new QTabBar;
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    const char *tabTexts[] = {"Text", "Zip", "CAB", "RAR"};
    for (int i = 0; i < 4; ++i) {
        m_tabs->addTab(QString::fromLatin1(tabTexts[i]));
        m_tabs->setTabData(i, kTabKinds[i]);
    }
    connect(m_tabs, &QTabBar::currentChanged, this, [this] { tabChanged(); });

    m_patterns = new QComboBox;
    m_patterns->setObjectName(QStringLiteral("Combo1"));
    m_patterns->setEditable(true);
    m_patterns->setInsertPolicy(QComboBox::NoInsert);
    m_patterns->setMinimumWidth(200);
    const char *signs[] = {"+", "-"};
    for (int index = 0; index < 2; ++index) {
        m_addRemove[index] = new QPushButton(QString::fromLatin1(signs[index]));
        m_addRemove[index]->setObjectName(QStringLiteral("BtAjoutFiltre_%1").arg(index));
        m_addRemove[index]->setAutoDefault(false);
        m_addRemove[index]->setFixedWidth(32);
        connect(m_addRemove[index], &QPushButton::clicked, this, [this, index] { btAjoutFiltreClick(index); });
    }

    m_text = checkBox(QStringLiteral("ChkTxt"), 455);
    m_firstLine = checkBox(QStringLiteral("ChK1Ligne"), 456);
    auto *sizeLabel = new QLabel(LoadText(457));
    sizeLabel->setObjectName(QStringLiteral("Label4"));
    m_maxSize = new QLineEdit;
    m_maxSize->setObjectName(QStringLiteral("TxtTaillemax"));
    m_maxSize->setMaximumWidth(60);
    const int zipCaptions[] = {584, 607, 608};
    const int zipIndexes[] = {1, 4, 8};
    for (int i = 0; i < 3; ++i)
        m_zip[i] = checkBox(QStringLiteral("ChKZip_%1").arg(zipIndexes[i]), zipCaptions[i]);
    m_textInArchives = checkBox(QStringLiteral("ChKTxtDsZip_1"), 583);
    m_defaults = new QPushButton(LoadText(458));
    m_defaults->setObjectName(QStringLiteral("BtDéfaut"));
    m_defaults->setAutoDefault(false);
    connect(m_defaults, &QPushButton::clicked, this, &FrmArchivage::btDefautClick);

    connect(m_text, &QCheckBox::toggled, this, [this] { refreshEnabled(); });
    for (QCheckBox *zip : m_zip)
        connect(zip, &QCheckBox::toggled, this, [this] { refreshEnabled(); });

    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(m_patterns, 1);
    filterRow->addWidget(m_addRemove[0]);
    filterRow->addWidget(m_addRemove[1]);
    auto *sizeRow = new QHBoxLayout;
    sizeRow->addWidget(sizeLabel);
    sizeRow->addWidget(m_maxSize);
    sizeRow->addStretch(1);

    auto *layout = new QVBoxLayout(box);
    layout->addWidget(m_tabs);
    layout->addLayout(filterRow);
    layout->addSpacing(6);
    layout->addWidget(m_text);
    layout->addWidget(m_firstLine);
    layout->addLayout(sizeRow);
    layout->addSpacing(6);
    for (QCheckBox *zip : m_zip)
        layout->addWidget(zip);
    layout->addWidget(m_textInArchives);
    layout->addSpacing(6);
    layout->addWidget(m_defaults, 0, Qt::AlignRight);
    return box;
}

void FrmArchivage::fillIcons()
{
    m_icons->clear();
    m_icons->addItem(m_owner.icons().icon(QStringLiteral("CD")), QStringLiteral("CD"), QStringLiteral("CD"));
    for (const QString &key : m_owner.icons().stockKeys())
        m_icons->addItem(m_owner.icons().icon(key), key.mid(1), key);
    int selected = 0;
    const Catalogue &catalogue = m_owner.catalogue();
    if (catalogue.discIcons.contains(m_identifier)) {
        m_icons->addItem(m_owner.icons().discIcon(m_identifier, catalogue.discIcons.value(m_identifier)), QString(),
                         QString(u'I' + m_identifier));
        selected = m_icons->count() - 1;
    }
    m_icons->setCurrentIndex(selected);
}

void FrmArchivage::buildKeywordMenu()
{
    m_keywordMenu->clear();
    QAction *none = m_keywordMenu->addAction(LoadText(472));
    none->setObjectName(QStringLiteral("mnuMC_0"));
    connect(none, &QAction::triggered, this, [this] { mnuMCClick(0); });
    m_keywordMenu->addSeparator();
    const Catalogue &catalogue = m_owner.catalogue();
    for (int k = 1; k < int(catalogue.keywords.size()); ++k) {
        QAction *entry = m_keywordMenu->addAction(catalogue.keywords[size_t(k)].name);
        entry->setObjectName(QStringLiteral("mnuMC_%1").arg(k));
        entry->setCheckable(true);
        entry->setData(int(catalogue.keywords[size_t(k)].number));
    }
}

bool FrmArchivage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_keywordsLabel && event->type() == QEvent::MouseButtonRelease) {
        m_keywordMenu->popup(m_keywordsLabel->mapToGlobal(QPoint(0, m_keywordsLabel->height())));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmArchivage::mnuMCClick(int index)
{
    const QList<QAction *> actions = m_keywordMenu->actions();
    for (QAction *action : actions) {
        if (!action->isCheckable())
            continue;
        if (index == 0)
            action->setChecked(false);
        else if (action->objectName() == QStringLiteral("mnuMC_%1").arg(index))
            action->setChecked(!action->isChecked());
    }
}

QStringList FrmArchivage::keywordNames() const
{
    QStringList names;
    for (const QAction *action : m_keywordMenu->actions()) {
        if (action->isCheckable() && action->isChecked())
            names << action->text();
    }
    return names;
}

QString FrmArchivage::iconKey() const
{
    const QString key = m_icons->currentData().toString();
    return key.startsWith(u'K') ? key : QString();
}

int FrmArchivage::selectedKind() const
{
    return m_tabs->tabData(qMax(0, m_tabs->currentIndex())).toInt();
}

QCheckBox *FrmArchivage::captureBoxOfKind(int kind) const
{
    switch (kind) {
    case FilterKind::Zip:
        return m_zip[0];
    case FilterKind::Cab:
        return m_zip[1];
    case FilterKind::Rar:
        return m_zip[2];
    default:
        return m_text;
    }
}

void FrmArchivage::tabChanged()
{
    const int kind = selectedKind();
    m_patterns->clear();
    for (qsizetype i = 1; i < m_filters.size(); ++i) {
        if (m_filters.kind(i) == kind && !m_filters.pattern(i).isEmpty())
            m_patterns->addItem(m_filters.pattern(i));
    }
    m_patterns->setCurrentIndex(-1);
    m_patterns->clearEditText();
    refreshEnabled();
}

void FrmArchivage::refreshEnabled()
{
    const bool on = captureBoxOfKind(selectedKind())->isChecked();
    m_patterns->setEnabled(on);
    m_addRemove[0]->setEnabled(on);
    m_addRemove[1]->setEnabled(on);
    m_maxSize->setEnabled(m_text->isChecked());
    m_firstLine->setEnabled(m_text->isChecked());
}

void FrmArchivage::btAjoutFiltreClick(int index)
{
    const int kind = selectedKind();
    if (index == 0) {
        const QString typed = m_patterns->currentText();
        for (int i = 0; i < m_patterns->count(); ++i) {
            if (m_patterns->itemText(i).compare(typed, Qt::CaseInsensitive) == 0)
                return;
        }
        if (typed.trimmed().isEmpty())
            return;
        m_patterns->addItem(typed);
        m_filters.append(typed, kind);
        m_patterns->setCurrentIndex(-1);
        m_patterns->clearEditText();
        return;
    }
    const int selected = m_patterns->currentIndex();
    if (selected < 0)
        return;
    const QString pattern = m_patterns->itemText(selected);
    // A removed entry keeps its place with an empty pattern: rebuild the table.
    FilterTable kept;
    for (qsizetype i = 1; i < m_filters.size(); ++i) {
        const bool removed =
            m_filters.kind(i) == kind && m_filters.pattern(i).compare(pattern, Qt::CaseInsensitive) == 0;
        kept.append(removed ? QString() : m_filters.pattern(i), m_filters.kind(i));
    }
    m_filters = std::move(kept);
    m_patterns->removeItem(selected);
    m_patterns->setCurrentIndex(-1);
    m_patterns->clearEditText();
}

qint32 FrmArchivage::requestOptions() const
{
    qint32 options = 0;
    const std::pair<const QCheckBox *, qint32> bits[] = {
        {m_text, Opt::CaptureText},
        {m_firstLine, Opt::FirstLineToDescription},
        {m_textInArchives, Opt::CaptureTextInArchives},
        {m_zip[0], Opt::ListZip},
        {m_eject, Opt::EjectAfterCataloguing},
        {m_excluded, Opt::ExcludedFromSearch},
        {m_zip[1], Opt::ListCab},
        {m_zip[2], Opt::ListRar},
    };
    for (const auto &[box, bit] : bits) {
        if (box->isChecked())
            options |= bit;
    }
    return options;
}

void FrmArchivage::btDefautClick()
{
    WriteFilterLists(m_filters);
    Settings::write(kOpt, QStringLiteral("TailleMax"), m_maxSize->text());
    constexpr qint32 stored = Opt::CaptureText | Opt::FirstLineToDescription | Opt::CaptureTextInArchives | Opt::ListZip
        | Opt::EjectAfterCataloguing | Opt::ListCab | Opt::ListRar;
    WriteOptionsWord((ReadOptionsWord() & ~stored) | (requestOptions() & stored));
    if (!Settings::sync())
        m_owner.prompt().warn(Settings::notSavedText());
}

void FrmArchivage::bt1Click(int index)
{
    switch (index) {
    case 0:
        archiver();
        break;
    case 1:
        close();
        break;
    case 2:
        m_optionsShown = !m_optionsShown;
        m_options->setVisible(m_optionsShown);
        m_buttons[2]->setText(LoadText(m_optionsShown ? 460 : 459));
        adjustSize();
        break;
    default:
        break;
    }
}

bool FrmArchivage::archiver()
{
    const QString name = DiscName::normalised(m_name->text());
    const DiscName::Problem problem = DiscName::check(m_owner.catalogue(), name, 0);
    if (problem == DiscName::Problem::Empty)
        return false;
    if (problem != DiscName::Problem::None) {
        m_owner.prompt().warn(LoadText(DiscName::message(problem, 344)));
        return false;
    }
    const qint64 maxKb = integerValue(m_maxSize->text());
    if (maxKb < 0 || maxKb > MaxTextKbLimit) {
        m_owner.prompt().warn(LoadText(519));
        return false;
    }

    edit::NewDisc disc;
    disc.identifier = m_identifier;
    disc.name = name;
    disc.volumeLabel = m_label;
    disc.icon = iconKey();
    disc.excluded = m_excluded->isChecked();
    disc.keywords = keywordNames();
    const edit::CaptureSettings capture{requestOptions(), maxKb * 1024};

    setEnabled(false);
    m_owner.cataloguing().archiveDisc(disc, capture, m_filters, m_letter, m_eject->isChecked());
    close();
    return true;
}

} // namespace vorn
