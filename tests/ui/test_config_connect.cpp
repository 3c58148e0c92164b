// Connecting in configuration mode, operation mode and the pair test against
// the simulated module: what the module receives, what the window ends up in,
// and how a connection ended during a wait stops the procedure.
#include "FormFixture.h"
#include "ComboIndex.h"
#include "SettingsDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

sim::Profile ConfigModule(QByteArray firmware = "3.00", QByteArray model = "R-2416")
{
    sim::Profile p;
    p.mode = 'S';
    p.firmware = std::move(firmware);
    p.model = std::move(model);
    return p;
}

const QList<QByteArray> kConfigLines = {"#A\r", "#PV\r", "#PC\r", "#PM\r", "#P0\r", "#P1\r"};

} // namespace

TEST(ConfigConnect, ConfigurationModeIdentifiesReadsAndShowsTheModule)
{
    FormFixture f(MultiModelEdition(), ConfigModule("3.00"));
    f.Connect();
    TMainForm &w = *f.Form;
    EXPECT_EQ(Lines(f.Sim), kConfigLines);
    EXPECT_TRUE(f.Msgs.Texts().isEmpty()) << f.Msgs.Texts().join('|').toStdString();
    EXPECT_TRUE(w.FConnected);
    EXPECT_EQ(w.FModuleMode, mmConfiguration);
    EXPECT_EQ(w.PageControl1->currentIndex(), 0);
    EXPECT_EQ(w.StatusPanels[2]->text(), "Ver: 3.00");
    EXPECT_EQ(w.StatusPanels[3]->text(), w.EditionInfo().MakerNoticePrefix + "Veskora" + w.EditionInfo().MakerNoticeSuffix);
    EXPECT_EQ(w.StatusPanels[1]->text(), "Configuration Mode");
    EXPECT_EQ(w.FBaudIndex, 11);
    EXPECT_EQ(w.RS232BaudrateComboBox->currentText(), "115200");
    EXPECT_FALSE(w.FChecksumOn);
}

TEST(ConfigConnect, TimingGroupIsReadOnlyFromVersion3FirmwareWithUserDefinedRate)
{
    struct Row {
        QByteArray firmware;
        int canBaud;
        bool readsTiming;
    };
    for (const Row &r : {Row{"3.00", 10, true}, Row{"4.10", 10, true}, Row{"2.10", 10, false},
                         Row{"10.0", 10, false}, Row{"3.00", 4, false}}) {
        sim::Profile p = ConfigModule(r.firmware);
        p.settings.canBaud = r.canBaud;
        p.settings.bt1 = 0x06, p.settings.bt2 = 0x0E, p.settings.bt3 = 0x2E;
        FormFixture f(MultiModelEdition(), p);
        f.Connect();
        QList<QByteArray> expected = kConfigLines;
        if (r.readsTiming)
            expected << "#PU\r";
        EXPECT_EQ(Lines(f.Sim), expected) << r.firmware.constData() << " " << r.canBaud;
        EXPECT_EQ(f.Form->FModuleMode, mmConfiguration);
    }
}

TEST(ConfigConnect, ModelNameByReplyLengthChoosesTheBaudList)
{
    struct Row {
        QByteArray model;  // the module's name; the "#PM" reply is "!M" + name + checksum + CR
        QString expectedName;
        int entries;
    };
    for (const Row &r : {Row{"R-2416", "R-2416", 12}, Row{"R-2481", "R-2481", 15},
                         Row{"R-2416B", "R-2416B", 12}, Row{"R-2416-GX", "R-2416-GX", 12},
                         Row{"R-2416XY", "N-2416", 12}, Row{"R-24", "N-2416", 12}}) {
        sim::Profile p = ConfigModule("3.00", r.model);
        p.settings.rs232Baud = r.entries == 15 ? 14 : 11;
        FormFixture f(MultiModelEdition(), p);
        f.Connect();
        TMainForm &w = *f.Form;
        EXPECT_EQ(w.FModuleName, r.expectedName) << r.model.constData();
        EXPECT_EQ(w.RS232BaudrateComboBox->count(), r.entries) << r.model.constData();
        EXPECT_EQ(w.FBaudIndex, r.entries == 15 ? 14 : 11) << r.model.constData();
        if (r.entries == 15) {
            EXPECT_EQ(Items(w.RS232BaudrateComboBox).last(), "921600");
        }
    }
}

TEST(ConfigConnect, SingleEditionKeepsItsTwelveBaudsAndTakesTheNameFromFixedPositions)
{
    sim::Profile p = ConfigModule("3.00", "R-2481");
    p.settings.rs232Baud = 14; // beyond the fixed list
    FormFixture f(SingleModelEdition(), p);
    f.Connect();
    TMainForm &w = *f.Form;
    EXPECT_EQ(w.FModuleName, "R-2481");
    EXPECT_EQ(w.RS232BaudrateComboBox->count(), 12);
    EXPECT_EQ(Items(w.RS232BaudrateComboBox).last(), "115200");
    // No entry matches code 14: the list shows no selection and the module's
    // baud index keeps its earlier value instead of becoming -1.
    EXPECT_EQ(SelectedIndex(w.RS232BaudrateComboBox), -1);
    EXPECT_EQ(w.FBaudIndex, 11);
    EXPECT_EQ(w.StatusPanels[3]->text(), w.EditionInfo().MakerNoticePrefix + "Veskora" + w.EditionInfo().MakerNoticeSuffix);
    // Version-3 firmware, but the single-model edition never reads the timing group.
    EXPECT_EQ(Lines(f.Sim), kConfigLines);
}

TEST(ConfigConnect, SingleEditionNameIgnoresTheReplyLength)
{
    FormFixture f(SingleModelEdition(), ConfigModule("3.00", "R-2416-GX"));
    f.Connect();
    EXPECT_EQ(f.Form->FModuleName, "R-2416");
}

TEST(ConfigConnect, OperationModeSendsOnlyTheWakeUp)
{
    sim::Profile p = ConfigModule("2.10");
    p.mode = 'R';
    FormFixture f(MultiModelEdition(), p);
    TMainForm &w = *f.Form;
    bool sawLoop = false;
    f.RunConnectedInOperation([&] {
        sawLoop = true;
        EXPECT_EQ(w.FModuleMode, mmOperation);
        EXPECT_EQ(w.PageControl1->currentIndex(), 1);
        EXPECT_FALSE(w.FChecksumOn);
        EXPECT_EQ(w.FFirmwareVersion, "2.10");
        EXPECT_EQ(w.FFirmwareMajor, 2);
    });
    EXPECT_TRUE(sawLoop);
    EXPECT_EQ(Lines(f.Sim), QList<QByteArray>{"#A\r"});
    EXPECT_FALSE(w.FConnected);
    EXPECT_EQ(w.StatusPanels[0]->text(), "Not connected");
}

TEST(ConfigConnect, ConfigurationReplyAtAnotherBaudEntersOperationWithoutIdentifying)
{
    FormFixture f(MultiModelEdition(), ConfigModule("3.00"));
    TMainForm &w = *f.Form;
    w.PageControl1->setCurrentIndex(1); // the dialog's baud box is free on the Test page
    const int baudIndexBefore = w.FBaudIndex;
    DialogAnswer a;
    a.baud = "57600";
    bool sawLoop = false;
    f.RunConnectedInOperation(
        [&] {
            sawLoop = true;
            EXPECT_EQ(w.FModuleMode, mmOperation);
            EXPECT_EQ(w.ComPort.Baud(), 57600);
        },
        a);
    EXPECT_TRUE(sawLoop);
    EXPECT_EQ(Lines(f.Sim), QList<QByteArray>{"#A\r"});
    EXPECT_GE(w.FBaudIndex, 0);
    EXPECT_EQ(w.FBaudIndex, SelectedIndex(w.RS232BaudrateComboBox) >= 0
                                ? SelectedIndex(w.RS232BaudrateComboBox)
                                : baudIndexBefore);
}

TEST(ConfigConnect, RefusedPlainWakeUpFallsBackToTheChecksummedOne)
{
    sim::Profile p = ConfigModule("2.10");
    p.mode = 'R';
    p.refusePlainWakeUp = true;
    FormFixture f(MultiModelEdition(), p);
    bool checksumInLoop = false;
    f.RunConnectedInOperation([&] { checksumInLoop = f.Form->FChecksumOn; });
    EXPECT_TRUE(checksumInLoop);
    EXPECT_EQ(Lines(f.Sim), (QList<QByteArray>{"#A\r", "#A64\r"}));
}

TEST(ConfigConnect, ChecksummedWakeUpInConfigurationModeIsNotAccepted)
{
    sim::Profile p = ConfigModule("3.00");
    p.refusePlainWakeUp = true;
    FormFixture f(MultiModelEdition(), p);
    f.Connect();
    EXPECT_EQ(f.Msgs.Texts(), QStringList{"COM1 Connect Failed!"});
    EXPECT_EQ(Lines(f.Sim), (QList<QByteArray>{"#A\r", "#A64\r"}));
    EXPECT_FALSE(f.Form->FConnected);
    EXPECT_EQ(f.Form->FModuleMode, mmNone);
    EXPECT_FALSE(f.Form->ComPort.Opened());
}

TEST(ConfigConnect, SilentModuleCostsTwoWaitsAndFails)
{
    sim::Profile p = ConfigModule();
    p.silent = true;
    FormFixture f(MultiModelEdition(), p);
    DialogAnswer a;
    a.timeout = "100";
    f.Connect(a);
    EXPECT_EQ(Lines(f.Sim), (QList<QByteArray>{"#A\r", "#A64\r"}));
    EXPECT_EQ(f.Msgs.Texts(), QStringList{"COM1 Connect Failed!"});
    EXPECT_FALSE(f.Form->FConnected);
    EXPECT_FALSE(f.Form->FChecksumOn);
    EXPECT_FALSE(f.Form->ComPort.Opened());
    EXPECT_EQ(f.Form->StatusPanels[0]->text(), "Not connected");
}

TEST(ConfigConnect, PortThatCannotBeOpenedIsReported)
{
    FormFixture f(MultiModelEdition(), ConfigModule());
    setenv("VELTARO_COM5", "/nonexistent/veltaro-test-device", 1);
    DialogAnswer a;
    a.port = 5;
    f.Connect(a);
    unsetenv("VELTARO_COM5");
    EXPECT_EQ(f.Msgs.Texts(), QStringList{"Open COM5 Error!"});
    EXPECT_FALSE(f.Form->FConnected);
    EXPECT_EQ(f.Form->FModuleMode, mmNone);
}

TEST(ConfigConnect, CancelledDialogChangesNothing)
{
    FormFixture f(MultiModelEdition(), ConfigModule());
    DialogAnswer a;
    a.ok = false;
    f.Connect(a);
    EXPECT_TRUE(Lines(f.Sim).isEmpty());
    EXPECT_FALSE(f.Form->FConnected);
    EXPECT_FALSE(f.Form->ComPort.Opened());
    EXPECT_TRUE(f.Msgs.Texts().isEmpty());
}

TEST(ConfigConnect, PairTestSendsNothing)
{
    FormFixture f(MultiModelEdition(), ConfigModule());
    DialogAnswer a;
    a.pairTest = true;
    TMainForm &w = *f.Form;
    TModuleMode modeInLoop = mmNone;
    f.Connect(a, [&] {
        modeInLoop = w.FModuleMode;
        f.Pump(50);
        w.DisconnectToolButtonClick();
    });
    EXPECT_EQ(modeInLoop, mmPairTest);
    EXPECT_TRUE(Lines(f.Sim).isEmpty());
    EXPECT_FALSE(w.FConnected);
}

TEST(ConfigConnect, ConnectWhileConnectedRunsTheWholeProcedureAgain)
{
    FormFixture f(MultiModelEdition(), ConfigModule());
    f.Connect();
    ASSERT_TRUE(f.Form->FConnected);
    f.Sim.ClearReceived();
    sim::Profile changed = f.Sim.CurrentProfile();
    changed.model = "R-2481";
    changed.settings.rs232Baud = 13;
    f.Sim.SetProfile(changed);
    f.Connect();
    EXPECT_EQ(Lines(f.Sim), kConfigLines);
    EXPECT_TRUE(f.Form->FConnected);
    EXPECT_EQ(f.Form->RS232BaudrateComboBox->count(), 15);
    EXPECT_EQ(f.Form->FBaudIndex, 13);
}

TEST(ConfigConnect, DisconnectDuringTheWakeUpWaitStopsTheProcedure)
{
    sim::Profile p = ConfigModule();
    p.silent = true;
    FormFixture f(MultiModelEdition(), p);
    TMainForm &w = *f.Form;
    OnLines(f.Sim, 1, [&] { w.DisconnectToolButtonClick(); });
    DialogAnswer a;
    a.timeout = "2000";
    f.Connect(a);
    // No checksummed retry, no failure box, no reopened port.
    EXPECT_EQ(Lines(f.Sim), QList<QByteArray>{"#A\r"});
    EXPECT_TRUE(f.Msgs.Texts().isEmpty()) << f.Msgs.Texts().join('|').toStdString();
    EXPECT_FALSE(w.FConnected);
    EXPECT_FALSE(w.ComPort.Opened());
    EXPECT_EQ(w.StatusPanels[0]->text(), "Not connected");
}

TEST(ConfigConnect, ClosingTheWindowDuringTheWakeUpWaitStopsTheProcedure)
{
    sim::Profile p = ConfigModule();
    p.silent = true;
    FormFixture f(MultiModelEdition(), p);
    TMainForm &w = *f.Form;
    OnLines(f.Sim, 1, [&] { w.close(); }); // the close question is answered Yes
    DialogAnswer a;
    a.timeout = "2000";
    f.Connect(a);
    EXPECT_TRUE(w.Closing());
    EXPECT_EQ(Lines(f.Sim), QList<QByteArray>{"#A\r"});
    EXPECT_EQ(f.Msgs.Texts(), QStringList{"Close the Veltaro ?"});
    EXPECT_FALSE(w.FConnected);
    EXPECT_FALSE(w.ComPort.Opened());
}

TEST(ConfigConnect, ConnectPressedDuringAWaitDoesNothing)
{
    sim::Profile p = ConfigModule();
    p.silent = true;
    FormFixture f(MultiModelEdition(), p);
    TMainForm &w = *f.Form;
    int dialogsSeen = 0;
    // Cancels any connection dialog that shows up meanwhile.
    QTimer watcher;
    watcher.setInterval(2);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto *d = qobject_cast<TSettingsForm *>(QApplication::activeModalWidget())) {
            ++dialogsSeen;
            d->CancelButton->click();
        }
    });
    OnLines(f.Sim, 1, [&] {
        watcher.start();
        w.ConnectToolButtonClick();
        w.Connect1->trigger();
        f.Pump(30);
        watcher.stop();
    });
    DialogAnswer a;
    a.timeout = "300";
    f.Connect(a);
    EXPECT_EQ(dialogsSeen, 0);
    EXPECT_EQ(Lines(f.Sim), (QList<QByteArray>{"#A\r", "#A64\r"}));
    EXPECT_EQ(f.Msgs.Texts(), QStringList{"COM1 Connect Failed!"});
}

TEST(ConfigConnect, DeviceLostDuringTheHandshakeIsReportedOnce)
{
    sim::Profile p = ConfigModule();
    p.silent = true;
    FormFixture f(MultiModelEdition(), p);
    TMainForm &w = *f.Form;
    OnLines(f.Sim, 1, [&] { f.Sim.Vanish(); });
    DialogAnswer a;
    a.timeout = "2000";
    f.Connect(a);
    ASSERT_EQ(f.Msgs.Texts().size(), 1) << f.Msgs.Texts().join('|').toStdString();
    EXPECT_TRUE(f.Msgs.Texts().first().contains("COM1"));
    EXPECT_FALSE(f.Msgs.Texts().first().contains("Connect Failed"));
    EXPECT_EQ(Lines(f.Sim), QList<QByteArray>{"#A\r"});
    EXPECT_FALSE(w.FConnected);
    EXPECT_FALSE(w.ComPort.Opened());
}
