// Writing the Settings page and the defaults to the simulated module: the
// exact commands, the refusals, the outcome and what the page shows after.
#include "FormFixture.h"
#include "ComboIndex.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

sim::Profile Module(QByteArray firmware = "3.00", QByteArray model = "R-2416")
{
    sim::Profile p;
    p.firmware = std::move(firmware);
    p.model = std::move(model);
    if (p.model == "R-2481")
        p.settings.rs232Baud = 14;
    return p;
}

struct Connected {
    explicit Connected(sim::Profile p, const Edition &e = MultiModelEdition()) : f(e, std::move(p))
    {
        f.Connect();
        EXPECT_EQ(f.Form->FModuleMode, mmConfiguration);
        EXPECT_TRUE(f.Msgs.Texts().isEmpty()) << f.Msgs.Texts().join('|').toStdString();
        f.Sim.ClearReceived();
        f.Msgs.Clear();
    }
    TMainForm &w() { return *f.Form; }
    FormFixture f;
};

const QByteArray kRs232Defaults = ChecksummedLine("$P0090B30000");
const QByteArray kPresetTiming = ChecksummedLine("$PU090000000");

} // namespace

TEST(ConfigWrite, SettingSendsTheThreeGroupsAndReportsSuccess)
{
    Connected c(Module("3.00"));
    c.w().SettingButton->click();
    EXPECT_EQ(Lines(c.f.Sim),
              (QList<QByteArray>{kRs232Defaults, kPresetTiming,
                                 ChecksummedLine("$P121040" "00000000" "00000000" "00000001" "000" "0")}));
    ASSERT_EQ(c.f.Msgs.Boxes.size(), 1);
    EXPECT_EQ(c.f.Msgs.Boxes[0].text, "Setting OK!!!");
    EXPECT_EQ(c.f.Msgs.Boxes[0].icon, MsgIcon::Information);
}

TEST(ConfigWrite, DefaultsOnAModuleWithoutPairConnection)
{
    sim::Profile p = Module("1.05");
    p.settings.canSpec = 1;
    p.settings.canBaud = 7;
    p.settings.dataBit = 1;
    p.settings.acceptanceCode = 0x12345;
    Connected c(p);
    c.w().DefaultButton->click();
    EXPECT_EQ(Lines(c.f.Sim), (QList<QByteArray>{kRs232Defaults, ChecksummedLine("$P115040" "0000000000000000")}));
    EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"});
    EXPECT_EQ(c.f.Sim.Settings().canSpec, 0);
    EXPECT_EQ(c.f.Sim.Settings().acceptanceCode, 0u);
}

TEST(ConfigWrite, DefaultsWhileTheModuleShows20BWritesThe20AFormAndKeepsTheFieldWidth)
{
    sim::Profile p = Module("3.00");
    p.settings.canSpec = 1;
    p.settings.acceptanceCode = 0x1A2B3C4D;
    p.settings.pairFlag = '1';
    p.settings.endOfCommand = 2;
    Connected c(p);
    ASSERT_TRUE(c.w().ChkBox_Pair->isChecked());
    c.w().DefaultButton->click();
    EXPECT_EQ(Lines(c.f.Sim),
              (QList<QByteArray>{kRs232Defaults, kPresetTiming,
                                 ChecksummedLine("$P121040" "00000000" "00000000" "00000001" "000" "0")}));
    EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"});
    EXPECT_EQ(c.w().CanCodeEdit->text(), "00000000");
    EXPECT_EQ(c.w().CanMaskEdit->text(), "00000000");
    EXPECT_FALSE(c.w().ChkBox_Pair->isChecked());
    EXPECT_EQ(c.w().EndOfCommandCode, 0);
}

TEST(ConfigWrite, DefaultsBaudRateFollowsTheModel)
{
    Connected c(Module("3.00", "R-2481"));
    c.w().DefaultButton->click();
    ASSERT_FALSE(Lines(c.f.Sim).isEmpty());
    EXPECT_EQ(Lines(c.f.Sim).first(), ChecksummedLine("$P0090E30000"));
    EXPECT_EQ(c.w().FBaudIndex, 14);
}

TEST(ConfigWrite, AcceptanceCodeGoesOutByTheSpecificationLayout)
{
    struct Row {
        int standard;
        QString typed;
        QByteArray field;  // the code's eight characters in the command
        QString shown;     // the field's text after the write
    };
    for (const Row &r : {Row{0, "7", "00070000", "7"}, Row{0, "7FF", "07FF0000", "7FF"},
                         Row{1, "1FF", "000001FF", "000001FF"}}) {
        sim::Profile p = Module("1.05");
        p.settings.canSpec = r.standard;
        Connected c(p);
        c.w().CanCodeEdit->setText(r.typed);
        c.w().SettingButton->click();
        EXPECT_EQ(Lines(c.f.Sim).value(1),
                  ChecksummedLine("$P115" + QByteArray::number(r.standard) + "40" + r.field + "00000000"))
            << r.typed.toStdString();
        EXPECT_EQ(c.w().CanCodeEdit->text(), r.shown);
        EXPECT_EQ(c.w().AcceptanceCodeText, r.shown);
        EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"});
    }
}

TEST(ConfigWrite, PairConnectionOffSendsTheLongFormWithTxIdOne)
{
    sim::Profile p = Module("3.00");
    p.settings.canSpec = 1;
    p.settings.acceptanceCode = 0x1A2B3C4D;
    p.settings.acceptanceMask = 0x1FFFFFFF;
    p.settings.txCanId = 0x0ABCDEF0;
    p.settings.pairFlag = '1';
    p.settings.txCanIdFlag = '1';
    p.settings.respWithCanIdFlag = '1';
    p.settings.endOfCommand = 1;
    Connected c(p);
    c.w().ChkBox_Pair->setChecked(false);
    c.w().SettingButton->click();
    EXPECT_EQ(Lines(c.f.Sim).value(2),
              ChecksummedLine("$P121140" "1A2B3C4D" "1FFFFFFF" "00000001" "000" "0"));
    EXPECT_EQ(c.w().CANIDEdit->text(), "00000001");
    EXPECT_EQ(c.w().EndOfCommandCode, 0);
    EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"});
}

TEST(ConfigWrite, PairConnectionOnSendsTheChosenFlags)
{
    sim::Profile p = Module("2.10");
    p.settings.txCanId = 0x321;
    p.settings.pairFlag = '1';
    p.settings.txCanIdFlag = '0';
    p.settings.respWithCanIdFlag = '1';
    p.settings.endOfCommand = 4;
    Connected c(p);
    c.w().SettingButton->click();
    EXPECT_EQ(Lines(c.f.Sim).value(1), ChecksummedLine("$P121040" "00000000" "00000000" "00000321" "101" "4"));
}

TEST(ConfigWrite, RefusalsSendNothing)
{
    struct Row {
        QByteArray model, firmware;
        int canBaud;
        QString rate;     // BREdit1 for the user-defined rate
        QString message;  // empty: the write goes out
    };
    const QString gx = "CAN baud rate of R-2416-GX can not over than 125K!!!";
    const QLocale locale;
    const QString r125 = QString("125") + locale.decimalPoint() + "00";
    const QString r12501 = QString("125") + locale.decimalPoint() + "01";
    for (const Row &r : {
             Row{"R-2416-GX", "3.00", 5, "", gx},
             Row{"R-2416-GX", "3.00", 8, "", gx},
             Row{"R-2416-GX", "3.00", 9, "", ""},
             Row{"R-2416-GX", "3.00", 4, "", ""},
             Row{"R-2416-GX", "3.00", 10, r125, ""},
             Row{"R-2416-GX", "3.00", 10, r12501, gx},
             Row{"R-2416", "3.00", 10, r12501, ""},
             Row{"R-2416", "3.00", 10, "0", "Please calculate the CAN baud rate!!!"},
             Row{"R-2416-GX", "2.10", 8, "", ""},
             Row{"R-2481", "2.10", 4, "",
                 "The firmware version is less than version 3.00, it just uses one RS-232 baud "
                 "rate 921600!!!"},
         }) {
        sim::Profile p = Module(r.firmware, r.model);
        if (r.model == "R-2481")
            p.settings.rs232Baud = 11;
        Connected c(p);
        Choose(c.w().CANBaudrateComboBox, r.canBaud);
        if (!r.rate.isEmpty())
            c.w().BREdit1->setText(r.rate);
        c.w().SettingButton->click();
        const std::string row = (r.model + " " + r.firmware).toStdString() + " " + std::to_string(r.canBaud) +
                                " " + r.rate.toStdString();
        if (r.message.isEmpty()) {
            EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"}) << row;
            EXPECT_FALSE(Lines(c.f.Sim).isEmpty()) << row;
        } else {
            EXPECT_EQ(c.f.Msgs.Texts(), QStringList{r.message}) << row;
            EXPECT_TRUE(Lines(c.f.Sim).isEmpty()) << row;
        }
        if (r.model == "R-2481") {
            EXPECT_EQ(SelectedIndex(c.w().RS232BaudrateComboBox), 14);
        }
    }
}

TEST(ConfigWrite, UserDefinedRateSendsTheTimingFields)
{
    Connected c(Module("3.00"));
    Choose(c.w().CANBaudrateComboBox, 10);
    ASSERT_TRUE(c.w().ClockModeEdit->isEnabled());
    c.w().ClockModeEdit->setText("1");
    c.w().BT1Edit->setText("A3");
    c.w().BT2Edit->setText("7");
    c.w().BT3Edit->setText("0F");
    c.w().CalculateBtn->click();
    c.w().SettingButton->click();
    EXPECT_EQ(Lines(c.f.Sim).value(1), ChecksummedLine("$PU091A3070F"));
    EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"});
    EXPECT_EQ(c.f.Sim.Settings().bt1, 0xA3);
    EXPECT_EQ(c.f.Sim.Settings().canBaud, 10);
}

TEST(ConfigWrite, ConversionFailuresEndTheWriteWithTheTopLevelReport)
{
    {   // the rate is read before anything is sent
        Connected c(Module("3.00"));
        Choose(c.w().CANBaudrateComboBox, 10);
        c.w().BREdit1->setText("ABC");
        c.w().SettingButton->click();
        EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"'ABC' is not a valid floating point value."});
        EXPECT_TRUE(Lines(c.f.Sim).isEmpty());
    }
    {   // an empty register: the RS-232 group is out, nothing after it, no outcome
        Connected c(Module("3.00"));
        Choose(c.w().CANBaudrateComboBox, 10);
        c.w().BREdit1->setText("5");
        c.w().BT2Edit->setText("");
        c.w().SettingButton->click();
        EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"'$' is not a valid integer value."});
        EXPECT_EQ(Lines(c.f.Sim), QList<QByteArray>{kRs232Defaults});
    }
}

TEST(ConfigWrite, RefusedWritesStillSendEveryGroupAndFail)
{
    Connected c(Module("3.00"));
    sim::Profile refusing = c.f.Sim.CurrentProfile();
    refusing.refuseWrites = true;
    c.f.Sim.SetProfile(refusing);
    SelectIndex(c.w().RS232BaudrateComboBox, 9);
    c.w().SettingButton->click();
    EXPECT_EQ(Lines(c.f.Sim).size(), 3);
    EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting Failed!!!"});
    EXPECT_EQ(c.f.Msgs.Boxes[0].icon, MsgIcon::Error);
    EXPECT_EQ(c.w().FBaudIndex, 11);

    refusing.refuseWrites = false;
    c.f.Sim.SetProfile(refusing);
    c.f.Msgs.Clear();
    c.w().SettingButton->click();
    EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"});
    EXPECT_EQ(c.w().FBaudIndex, 9);
}

TEST(ConfigWrite, EmptyAcceptanceFieldsPutTheStoredTextBack)
{
    sim::Profile p = Module("1.05");
    p.settings.canSpec = 1;
    p.settings.acceptanceCode = 0x00ABCDEF;
    p.settings.acceptanceMask = 0x00001234;
    {   // an empty code is no failure by itself
        Connected c(p);
        c.w().CanCodeEdit->setText("");
        c.w().SettingButton->click();
        EXPECT_EQ(c.w().CanCodeEdit->text(), "00ABCDEF");
        EXPECT_EQ(Lines(c.f.Sim).value(1), ChecksummedLine("$P115140" "00ABCDEF" "00001234"));
        EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"});
    }
    {   // an empty mask fails the write even though every group was acknowledged
        Connected c(p);
        c.w().CanMaskEdit->setText("");
        c.w().SettingButton->click();
        EXPECT_EQ(c.w().CanMaskEdit->text(), "00001234");
        EXPECT_EQ(Lines(c.f.Sim).value(1), ChecksummedLine("$P115140" "00ABCDEF" "00001234"));
        EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting Failed!!!"});
    }
}

// Values 80000000..FFFFFFFF are valid 32-bit patterns: a mask of FFFFFFFF is
// sent, acknowledged and reported as written; a code of that range is padded
// and stored like any other.
TEST(ConfigWrite, NegativeButValidAcceptanceValuesAreWrittenAndReportedAsSuccess)
{
    sim::Profile p = Module("1.05");
    p.settings.canSpec = 1;
    p.settings.acceptanceCode = 0x80000000;
    p.settings.acceptanceMask = 0xFFFFFFFF;
    Connected c(p);
    ASSERT_EQ(c.w().CanMaskEdit->text(), "FFFFFFFF");
    c.w().SettingButton->click();
    EXPECT_EQ(Lines(c.f.Sim).value(1), ChecksummedLine("$P115140" "80000000" "FFFFFFFF"));
    EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"});
    EXPECT_EQ(c.w().AcceptanceCodeText, "80000000");
    EXPECT_EQ(c.w().AcceptanceMaskText, "FFFFFFFF");
}

// A field that kept an eight-digit negative value after a switch to 2.0A
// goes out as its low 11 bits in the three-digit slot.
TEST(ConfigWrite, EightDigitValueAfterSwitchingTo20AFitsTheThreeDigitSlot)
{
    sim::Profile p = Module("3.00");
    p.settings.canSpec = 1;
    p.settings.acceptanceCode = 0x80000123;
    p.settings.acceptanceMask = 0xFFFFFFFF;
    Connected c(p);
    Choose(c.w().CANSpecificationComboBox, 0);
    c.w().SettingButton->click();
    const QByteArray can = Lines(c.f.Sim).value(2);
    EXPECT_EQ(can, ChecksummedLine("$P121040" "01230000" "07FF0000" "00000001" "000" "0"));
    EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"});
}

TEST(ConfigWrite, GroupWithoutASelectionIsNotSentAndTheWriteFails)
{
    {   // RS-232 baud code 0C on a model whose list ends at 115200
        sim::Profile p = Module("3.00");
        p.settings.rs232Baud = 12;
        Connected c(p);
        ASSERT_EQ(SelectedIndex(c.w().RS232BaudrateComboBox), -1);
        c.w().SettingButton->click();
        const QList<QByteArray> lines = Lines(c.f.Sim);
        ASSERT_EQ(lines.size(), 2);
        EXPECT_TRUE(lines[0].startsWith("$PU09"));
        EXPECT_TRUE(lines[1].startsWith("$P121"));
        EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting Failed!!!"});
        EXPECT_EQ(c.w().FBaudIndex, 11);
    }
    {   // CAN specification code 2
        sim::Profile p = Module("1.05");
        p.settings.canSpec = 2;
        Connected c(p);
        ASSERT_EQ(SelectedIndex(c.w().CANSpecificationComboBox), -1);
        c.w().SettingButton->click();
        EXPECT_EQ(Lines(c.f.Sim), QList<QByteArray>{kRs232Defaults});
        EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting Failed!!!"});
    }
}

TEST(ConfigWrite, WrittenSettingsAreReadBackOnTheNextConnection)
{
    Connected c(Module("3.00"));
    TMainForm &w = c.w();
    Choose(w.CANSpecificationComboBox, 1);
    w.CanCodeEdit->setText("1FF");
    w.CanMaskEdit->setText("1ABCDEF");
    Choose(w.CANBaudrateComboBox, 5);
    Choose(w.RS232DataBitComboBox, 2);
    Choose(w.RS232ParityComboBox, 2);
    w.SettingButton->click();
    ASSERT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"});
    w.DisconnectToolButtonClick();

    // Something else on the page before reconnecting; the read replaces it.
    Choose(w.CANSpecificationComboBox, 0);
    c.f.Connect();
    EXPECT_EQ(w.CANSpecificationComboBox->currentText(), "2.0B");
    EXPECT_EQ(w.CanCodeEdit->text(), "000001FF");
    EXPECT_EQ(w.CanMaskEdit->text(), "01ABCDEF");
    EXPECT_EQ(w.CANBaudrateComboBox->currentText(), "250K");
    EXPECT_EQ(w.RS232DataBitComboBox->currentText(), "7");
    EXPECT_EQ(w.RS232ParityComboBox->currentText(), "Even");
    EXPECT_EQ(c.f.Sim.Settings().acceptanceMask, 0x01ABCDEFu);
}

TEST(ConfigWrite, ButtonsPressedDuringAWriteDoNothingAndDisconnectStopsIt)
{
    Connected c(Module("3.00"));
    TMainForm &w = c.w();
    sim::Profile silent = c.f.Sim.CurrentProfile();
    silent.silent = true;
    c.f.Sim.SetProfile(silent);
    w.ComPort.SetResponseTime(3000);
    OnLines(c.f.Sim, 1, [&] {
        w.SettingButtonClick();
        w.DefaultButtonClick();
        w.Button1Click();
        w.Button2Click();
        c.f.Pump(30);
        w.DisconnectToolButtonClick();
    });
    w.SettingButtonClick();
    EXPECT_EQ(Lines(c.f.Sim), QList<QByteArray>{kRs232Defaults});
    EXPECT_TRUE(c.f.Msgs.Texts().isEmpty()) << c.f.Msgs.Texts().join('|').toStdString();
    EXPECT_FALSE(w.FConnected);
    EXPECT_FALSE(w.ComPort.Opened());
}

TEST(ConfigWrite, DeviceLostDuringAWriteEndsTheConnectionWithOneReport)
{
    Connected c(Module("3.00"));
    TMainForm &w = c.w();
    sim::Profile silent = c.f.Sim.CurrentProfile();
    silent.silent = true;
    c.f.Sim.SetProfile(silent);
    w.ComPort.SetResponseTime(3000);
    OnLines(c.f.Sim, 1, [&] { c.f.Sim.Vanish(); });
    w.SettingButtonClick();
    ASSERT_EQ(c.f.Msgs.Texts().size(), 1) << c.f.Msgs.Texts().join('|').toStdString();
    EXPECT_NE(c.f.Msgs.Texts().first(), "Setting Failed!!!");
    EXPECT_FALSE(w.FConnected);
}

TEST(ConfigWrite, SingleEditionWritesWithoutTimingOrRefusals)
{
    {   // version-3 firmware, a model refused by the other edition at 1000K
        sim::Profile p = Module("3.00", "R-2416-GX");
        p.settings.canBaud = 8;
        Connected c(p, SingleModelEdition());
        c.w().SettingButton->click();
        EXPECT_EQ(Lines(c.f.Sim),
                  (QList<QByteArray>{kRs232Defaults,
                                     ChecksummedLine("$P121080" "00000000" "00000000" "00000001" "000" "0")}));
        EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"});
    }
    {   // older firmware on the fast model: no firmware refusal, defaults at 115200
        sim::Profile p = Module("2.10", "R-2481");
        Connected c(p, SingleModelEdition());
        c.w().DefaultButton->click();
        EXPECT_EQ(Lines(c.f.Sim),
                  (QList<QByteArray>{kRs232Defaults,
                                     ChecksummedLine("$P121040" "00000000" "00000000" "00000001" "000" "0")}));
        EXPECT_EQ(c.f.Msgs.Texts(), QStringList{"Setting OK!!!"});
        EXPECT_EQ(c.w().RS232BaudrateComboBox->count(), 12);
    }
}
