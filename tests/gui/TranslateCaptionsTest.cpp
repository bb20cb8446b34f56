#include "gui/FrmLang.h"
#include "gui/TranslateCaptions.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

using namespace vorn;

namespace {

// A window designed the way the program's windows are: numeric captions to translate,
// and a few captions that are not numbers.
struct DesignedWindow
{
    QWidget window;
    QMenu *menu = nullptr;
    QAction *action = nullptr;
    QLabel *label = nullptr;
    QPushButton *ok = nullptr;
    QPushButton *plus = nullptr;
    QPushButton *minus = nullptr;
    QCheckBox *check = nullptr;
    QGroupBox *frame = nullptr;
    QRadioButton *option = nullptr;
    QLabel *spacedNumber = nullptr;

    DesignedWindow()
    {
        window.setWindowTitle(QStringLiteral("368"));
        auto *layout = new QVBoxLayout(&window);
        auto *bar = new QMenuBar(&window);
        menu = bar->addMenu(QStringLiteral("100"));
        action = menu->addAction(QStringLiteral("101"));
        label = new QLabel(QStringLiteral("224"), &window);
        ok = new QPushButton(QStringLiteral("OK"), &window);
        plus = new QPushButton(QStringLiteral("+"), &window);
        minus = new QPushButton(QStringLiteral("-"), &window);
        check = new QCheckBox(QStringLiteral("508"), &window);
        frame = new QGroupBox(QStringLiteral("518"), &window);
        option = new QRadioButton(QStringLiteral("205"), frame);
        spacedNumber = new QLabel(QStringLiteral(" 407 "), &window);
        for (QWidget *widget : {static_cast<QWidget *>(bar), static_cast<QWidget *>(label),
                                static_cast<QWidget *>(ok), static_cast<QWidget *>(plus),
                                static_cast<QWidget *>(minus), static_cast<QWidget *>(check),
                                static_cast<QWidget *>(frame), static_cast<QWidget *>(spacedNumber)})
            layout->addWidget(widget);
    }
};

class TranslateCaptionsTest : public ::testing::TestWithParam<qint16>
{
protected:
    void TearDown() override { setLanguageOffset(0); }
};

} // namespace

TEST_P(TranslateCaptionsTest, NumericCaptionsBecomeTextsAndOthersStay)
{
    setLanguageOffset(GetParam());
    DesignedWindow designed;
    TranslateCaptions(&designed.window);

    EXPECT_EQ(designed.window.windowTitle(), LoadText(368));
    EXPECT_EQ(designed.menu->title(), LoadText(100));
    EXPECT_EQ(designed.action->text(), LoadText(101));
    EXPECT_EQ(designed.label->text(), LoadText(224));
    EXPECT_EQ(designed.check->text(), LoadText(508));
    EXPECT_EQ(designed.frame->title(), LoadText(518));
    EXPECT_EQ(designed.option->text(), LoadText(205));
    EXPECT_EQ(designed.spacedNumber->text(), LoadText(407));

    EXPECT_EQ(designed.ok->text(), QStringLiteral("OK"));
    EXPECT_EQ(designed.plus->text(), QStringLiteral("+"));
    EXPECT_EQ(designed.minus->text(), QStringLiteral("-"));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, TranslateCaptionsTest, ::testing::Values(qint16(0), qint16(1000)));

TEST(FrmLang, ClickChoosesTheLanguageAndStoresItsOffset)
{
    struct Case { const char *button; const char *caption; const char *stored; qint16 offset; };
    const Case cases[] = {
        {"Command1_1", "English", "1000", 1000},
        {"Command1_0", "Français", "0", 0},
    };
    for (const Case &c : cases) {
        test::IsolatedSettings isolated;
        // Start from the other language so that the click visibly changes it.
        setLanguageOffset(c.offset == 0 ? 1000 : 0);
        FrmLang chooser;
        auto *button = chooser.findChild<QPushButton *>(QString::fromUtf8(c.button));
        ASSERT_NE(button, nullptr) << c.button;
        // The buttons keep their captions whatever the language.
        EXPECT_EQ(button->text(), QString::fromUtf8(c.caption));
        button->click();
        EXPECT_EQ(Settings::read(QStringLiteral("Opt"), QStringLiteral("Langage")),
                  QString::fromUtf8(c.stored)) << c.button;
        EXPECT_EQ(LanguageOffset(), c.offset) << c.button;
        EXPECT_EQ(chooser.result(), int(QDialog::Accepted)) << c.button;
    }
    setLanguageOffset(0);
}
