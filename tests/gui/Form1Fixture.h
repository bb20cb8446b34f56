#pragma once

#include "gui/Form1.h"
#include "scan/DriveLayer.h"
#include "scan/ShellOpen.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace vorn::test {

// A host without optical drives: only the virtual drives of VORN_DRIVES exist.
class NoOpticalDrives final : public DriveSystem
{
public:
    QStringList opticalDevices() const override { return {}; }
    DriveStatus driveStatus(const QString &) const override { return DriveStatus::Unknown; }
    QByteArray mediaSignature(const QString &) const override { return {}; }
    QByteArray mountTable() const override { return {}; }
    bool sameDevice(const QString &, const QString &) const override { return false; }
    std::unique_ptr<SectorReader> openDisc(const QString &) const override { return nullptr; }
    MountAttempt mount(const QString &) const override { return {}; }
    bool ejectTray(const QString &) const override { return false; }
    bool closeTray(const QString &) const override { return false; }
};

// Records the programs the window would start instead of starting them.
class RecordingLauncher final : public ShellLauncher
{
public:
    QStringList started;   // "program argument ..."
    bool failLater = false;   // the started program ends in failure (an opener without a browser)
    std::optional<QByteArray> runAndRead(const QString &, const QStringList &) override { return std::nullopt; }
    bool startDetached(const QString &program, const QStringList &arguments, const QString &,
                       std::function<void()> failedLater) override
    {
        started << (QStringList{program} + arguments).join(u' ');
        if (failLater && failedLater)
            failedLater();
        return true;
    }
};

// Isolated settings, a data folder with two discs ("42" Sample with folders, files,
// an archive, a captured text, bookmarks on half.bin and Guides, keyword Jazz and field Shelf = B3; "-7"
// Another, excluded from searches; keywords Jazz 1, Live 2, Unused 3), a virtual
// drive V and a window started over them.
class Form1Fixture
{
public:
    Form1Fixture();
    ~Form1Fixture();

    // Puts a disc with this serial in the virtual drive; an empty serial removes the
    // drive's folder (an empty drive).
    void insertDisc(const QString &serial);
    // The host folder of the virtual drive V (its content is the disc in the drive).
    QString driveFolder() const { return drive.path() + QStringLiteral("/V"); }
    // Makes a window over the fixture and starts it; nullptr when start-up failed.
    Form1 *start();
    void closeWindow();

    QString dataPath() const { return data.path() + u'/'; }
    int rowOfText(const QString &text) const;
    // The disc-list entries' texts, top to bottom.
    QStringList rowTexts() const;
    // Selects and shows the entry showing disc `identifier`; false when none does.
    bool show(const QString &identifier) const;
    // Selects the entry at `row` of the disc list without showing it.
    void select(int row) const;
    void trigger(const char *actionName) const;
    template <typename T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromUtf8(name));
    }

    IsolatedSettings settings;
    QTemporaryDir data;
    QTemporaryDir temp;
    QTemporaryDir drive;
    ScriptedPrompt prompt;
    RecordingLauncher launcher;
    std::unique_ptr<DriveLayer> layer;
    std::unique_ptr<Form1> window;
};

// One started window over the fixture per test (the disc list's drive is empty).
class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        w = f.start();
        ASSERT_NE(w, nullptr);
    }
    // Starts the window anew with a disc of this serial in the drive.
    void restartWith(const QString &serial)
    {
        f.insertDisc(serial);
        w = f.start();
        ASSERT_NE(w, nullptr);
    }

    Form1Fixture f;
    Form1 *w = nullptr;
};

} // namespace vorn::test
