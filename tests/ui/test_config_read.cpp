// Reading the module's settings into the Settings page, the option rules
// that keep the page consistent, the bit-rate calculation and the hidden
// diagnostic buttons, against the simulated module.
#include "FormFixture.h"
#include "ComboIndex.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTableView>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

sim::Profile Module(QByteArray firmware = "3.00")
{
    sim::Profile p;
    p.firmware = std::move(firmware);
    return p;
}

QString Rate(const char *whole, const char *hundredths)
{
    return QString(whole) + QLocale().decimalPoint() + hundredths;
}

QStringList TimingTexts(const TMainForm &w)
{
    return {w.ClockModeEdit->text(), w.BT1Edit->text(), w.BT2Edit->text(), w.BT3Edit->text(),
            w.BREdit1->text()};
}

bool TimingEnabled(const TMainForm &w)
{
    return w.ClockModeEdit->isEnabled() && w.BT1Edit->isEnabled() && w.BT2Edit->isEnabled() &&
           w.BT3Edit->isEnabled() && w.BREdit1->isEnabled() && w.CalculateBtn->isEnabled();
}

bool TimingDisabled(const TMainForm &w)
{
    return !w.ClockModeEdit->isEnabled() && !w.BT1Edit->isEnabled() && !w.BT2Edit->isEnabled() &&
           !w.BT3Edit->isEnabled() && !w.BREdit1->isEnabled() && !w.CalculateBtn->isEnabled();
}

} // namespace

TEST(ConfigRead, IdentifierFieldsFollowTheSpecificationRead)
{
    struct Row {
        int standard;
        uint32_t code, mask, txId;
        QString codeText, maskText, txText;
        int typedLength;
    };
    for (const Row &r : {Row{1, 0x1A2B3C4D, 0x1FFFFFFF, 0x0ABCDEF0, "1A2B3C4D", "1FFFFFFF", "0ABCDEF0", 8},
                         Row{0, 0x123, 0x7FF, 0x321, "123", "7FF", "321", 3},
                         Row{1, 0, 0, 0, "00000000", "00000000", "00000001", 8},
                         Row{0, 0, 0, 0, "000", "000", "001", 3}}) {
        sim::Profile p = Module("3.00");
        p.settings.canSpec = r.standard;
        p.settings.acceptanceCode = r.code;
        p.settings.acceptanceMask = r.mask;
        p.settings.txCanId = r.txId;
        FormFixture f(MultiModelEdition(), p);
        f.Connect();
        TMainForm &w = *f.Form;
        EXPECT_EQ(w.CanCodeEdit->text(), r.codeText);
        EXPECT_EQ(w.CanMaskEdit->text(), r.maskText);
        EXPECT_EQ(w.CANIDEdit->text(), r.txText);
        EXPECT_EQ(w.CanCodeEdit->MaxTypedLength(), r.typedLength);
        EXPECT_EQ(w.CANSpecificationComboBox->currentText(), r.standard == 0 ? "2.0A" : "2.0B");
    }
}

TEST(ConfigRead, SecondReadReplacesA20AReadWithEightDigits)
{
    sim::Profile p = Module("3.00");
    p.settings.canSpec = 0;
    p.settings.acceptanceCode = 0x123;
    FormFixture f(MultiModelEdition(), p);
    f.Connect();
    ASSERT_EQ(f.Form->CanCodeEdit->text(), "123");
    f.Form->DisconnectToolButtonClick();
    p.settings.canSpec = 1;
    p.settings.acceptanceCode = 0x1ABCDEF0;
    p.settings.acceptanceMask = 0x00000456;
    f.Sim.SetProfile(p);
    f.Connect();
    EXPECT_EQ(f.Form->CanCodeEdit->text(), "1ABCDEF0");
    EXPECT_EQ(f.Form->CanMaskEdit->text(), "00000456");
}

TEST(ConfigRead, ModuleWithoutPairConnectionKeepsTheEarlierTxId)
{
    sim::Profile older = Module("1.05");
    FormFixture f(MultiModelEdition(), older);
    f.Connect();
    // First read of the run: no Tx CAN ID was read, so the field shows 0.
    EXPECT_EQ(f.Form->CANIDEdit->text(), "000");
    f.Form->DisconnectToolButtonClick();

    sim::Profile pair = Module("2.10");
    pair.settings.txCanId = 0x321;
    pair.settings.pairFlag = '1';
    pair.settings.endOfCommand = 3;
    f.Sim.SetProfile(pair);
    f.Connect();
    EXPECT_EQ(f.Form->EndOfCommandCode, 3);
    f.Form->DisconnectToolButtonClick();

    f.Sim.SetProfile(older);
    f.Connect();
    EXPECT_EQ(f.Form->CANIDEdit->text(), "321");
    EXPECT_EQ(f.Form->EndOfCommandCode, 3);
    EXPECT_TRUE(f.Form->EndCmdRB4->isChecked());
}

TEST(ConfigRead, PairOptionsFromTheModule)
{
    struct Row {
        char pair, tx, resp;
        int endOfCommand;
        bool txChecked, txHidden, respChecked, respEnabled;
        int radio;  // 1..5, the end-of-command choice
    };
    for (const Row &r : {Row{'1', '1', '1', 1, true, false, true, true, 2},
                         Row{'1', '0', '1', 0, true, true, false, false, 1},
                         Row{'1', '0', '0', 4, false, false, false, true, 5}}) {
        sim::Profile p = Module("3.00");
        p.settings.pairFlag = r.pair;
        p.settings.txCanIdFlag = r.tx;
        p.settings.respWithCanIdFlag = r.resp;
        p.settings.endOfCommand = r.endOfCommand;
        p.settings.checksum = 1;
        p.settings.errorResponse = 1;
        FormFixture f(MultiModelEdition(), p);
        f.Connect();
        TMainForm &w = *f.Form;
        const std::string row = std::string(1, r.tx) + r.resp + std::to_string(r.endOfCommand);
        EXPECT_TRUE(w.ChkBox_Pair->isChecked()) << row;
        EXPECT_EQ(w.ChkBox_TxCANID->isChecked(), r.txChecked) << row;
        EXPECT_EQ(w.ChkBox_TxCANID->isHidden(), r.txHidden) << row;
        EXPECT_EQ(w.ChkBox_RespWCANID->isChecked(), r.respChecked) << row;
        EXPECT_EQ(w.ChkBox_RespWCANID->isEnabled(), r.respEnabled) << row;
        EXPECT_EQ(w.EndOfCommandCode, r.endOfCommand) << row;
        const QRadioButton *radios[] = {w.EndCmdRB1, w.EndCmdRB2, w.EndCmdRB3, w.EndCmdRB4, w.EndCmdRB5};
        EXPECT_TRUE(radios[r.radio - 1]->isChecked()) << row;
        // With pair connection the module takes neither checksums nor error responses.
        EXPECT_EQ(w.RS232ChecksumComboBox->currentText(), "No") << row;
        EXPECT_FALSE(w.RS232ChecksumComboBox->isEnabled()) << row;
        EXPECT_EQ(w.RS232RespondComboBox->currentText(), "No") << row;
        EXPECT_EQ(w.CANIDEdit->isEnabled(), r.txChecked) << row;
    }
}

TEST(ConfigRead, PairConnectionOffLeavesTheRs232ListsAvailable)
{
    sim::Profile p = Module("3.00");
    p.settings.checksum = 1;
    FormFixture f(MultiModelEdition(), p);
    f.Connect();
    TMainForm &w = *f.Form;
    EXPECT_FALSE(w.ChkBox_Pair->isChecked());
    EXPECT_TRUE(w.ChkBox_Pair->isEnabled());
    EXPECT_TRUE(w.RS232ChecksumComboBox->isEnabled());
    EXPECT_EQ(w.RS232ChecksumComboBox->currentText(), "Yes");
    EXPECT_FALSE(w.CANIDEdit->isEnabled());
    EXPECT_FALSE(w.GroupBox2->isEnabled());
}

TEST(ConfigRead, UnknownEndOfCommandCodeKeepsTheEarlierChoice)
{
    sim::Profile p = Module("3.00");
    p.settings.pairFlag = '1';
    p.settings.endOfCommand = 2;
    FormFixture f(MultiModelEdition(), p);
    f.Connect();
    ASSERT_EQ(f.Form->EndOfCommandCode, 2);
    f.Form->DisconnectToolButtonClick();
    p.settings.endOfCommand = 7;
    f.Sim.SetProfile(p);
    f.Connect();
    EXPECT_EQ(f.Form->EndOfCommandCode, 2);
    EXPECT_TRUE(f.Form->EndCmdRB3->isChecked());
}

TEST(ConfigRead, UserDefinedTimingIsReadAndCalculated)
{
    sim::Profile p = Module("3.00");
    p.settings.canBaud = 10;
    p.settings.clockMode = 1;
    p.settings.bt1 = 0xA3, p.settings.bt2 = 0x07, p.settings.bt3 = 0x0F;
    FormFixture f(MultiModelEdition(), p);
    f.Connect();
    TMainForm &w = *f.Form;
    EXPECT_EQ(w.CANBaudrateComboBox->currentText(), "User-defined");
    // 20 MHz, P = 17, A = 3, B = 7, C = 0: 20e6 / 18 / 14 = 79.365 kbit/s.
    EXPECT_EQ(TimingTexts(w), (QStringList{"1", "A3", "07", "0F", Rate("79", "37")}));
    EXPECT_TRUE(TimingEnabled(w));
}

TEST(ConfigRead, PresetRateOnVersion3FirmwareClearsTheTiming)
{
    sim::Profile p = Module("3.00");
    p.settings.canBaud = 4;
    FormFixture f(MultiModelEdition(), p);
    TMainForm &w = *f.Form;
    w.BT1Edit->setText("12");
    w.BREdit1->setText("99");
    f.Connect();
    EXPECT_EQ(TimingTexts(w), (QStringList{"0", "00", "00", "00", "0"}));
    EXPECT_TRUE(TimingDisabled(w));
}

TEST(ConfigRead, OlderFirmwareLeavesTheTimingAlone)
{
    sim::Profile p = Module("2.10");
    p.settings.canBaud = 10;
    FormFixture f(MultiModelEdition(), p);
    TMainForm &w = *f.Form;
    w.BT1Edit->setText("12");
    f.Connect();
    EXPECT_EQ(w.CANBaudrateComboBox->currentText(), "User-defined");
    EXPECT_EQ(w.BT1Edit->text(), "12");
    EXPECT_TRUE(TimingDisabled(w));
}

TEST(ConfigRead, SingleEditionHasNoUserDefinedRate)
{
    sim::Profile p = Module("3.00");
    p.settings.canBaud = 10;
    FormFixture f(SingleModelEdition(), p);
    f.Connect();
    TMainForm &w = *f.Form;
    EXPECT_EQ(w.CANBaudrateComboBox->count(), 10);
    EXPECT_EQ(SelectedIndex(w.CANBaudrateComboBox), -1);
    EXPECT_EQ(Lines(f.Sim).last(), "#P1\r");
    EXPECT_EQ(w.GroupBox3, nullptr);
    EXPECT_EQ(w.Button1, nullptr);
}

TEST(ConfigRules, PairConnectionTakesOverChecksumAndErrorResponse)
{
    sim::Profile p = Module("3.00");
    p.settings.checksum = 1;
    p.settings.errorResponse = 1;
    FormFixture f(MultiModelEdition(), p);
    f.Connect();
    TMainForm &w = *f.Form;
    w.ChkBox_Pair->setChecked(true);
    EXPECT_EQ(w.RS232ChecksumComboBox->currentText(), "No");
    EXPECT_EQ(w.RS232RespondComboBox->currentText(), "No");
    EXPECT_FALSE(w.RS232ChecksumComboBox->isEnabled());
    EXPECT_FALSE(w.RS232RespondComboBox->isEnabled());
    EXPECT_TRUE(w.CANIDEdit->isEnabled());
    EXPECT_FALSE(w.ChkBox_RespWCANID->isEnabled()); // end of command is "None"

    w.EndCmdRB2->setChecked(true);
    EXPECT_EQ(w.EndOfCommandCode, 1);
    EXPECT_TRUE(w.ChkBox_RespWCANID->isEnabled());
    EXPECT_FALSE(w.ChkBox_TxCANID->isHidden());

    w.ChkBox_Pair->setChecked(false);
    EXPECT_TRUE(w.RS232ChecksumComboBox->isEnabled());
    EXPECT_TRUE(w.RS232RespondComboBox->isEnabled());
    EXPECT_EQ(w.RS232ChecksumComboBox->currentText(), "No");
    EXPECT_FALSE(w.CANIDEdit->isEnabled());
    EXPECT_FALSE(w.EndCmdRB1->isEnabled());
}

TEST(ConfigRules, EndOfCommandDecidesOverTheFixedTxId)
{
    sim::Profile p = Module("3.00");
    p.settings.pairFlag = '1';
    p.settings.txCanIdFlag = '1';
    p.settings.endOfCommand = 1;
    p.settings.canSpec = 0;
    p.settings.txCanId = 0x5;
    FormFixture f(MultiModelEdition(), p);
    f.Connect();
    TMainForm &w = *f.Form;

    // Switching the fixed Tx CAN ID off pads the field and disables it.
    w.ChkBox_TxCANID->setChecked(false);
    EXPECT_EQ(w.CANIDEdit->text(), "005");
    EXPECT_FALSE(w.CANIDEdit->isEnabled());

    // "None" forces it on again and hides the box.
    w.EndCmdRB1->setChecked(true);
    EXPECT_EQ(w.EndOfCommandCode, 0);
    EXPECT_TRUE(w.ChkBox_TxCANID->isChecked());
    EXPECT_TRUE(w.ChkBox_TxCANID->isHidden());
    EXPECT_TRUE(w.CANIDEdit->isEnabled());
    EXPECT_FALSE(w.ChkBox_RespWCANID->isChecked());
    EXPECT_FALSE(w.ChkBox_RespWCANID->isEnabled());

    // "LF" shows it again, still checked.
    w.EndCmdRB3->setChecked(true);
    EXPECT_EQ(w.EndOfCommandCode, 2);
    EXPECT_FALSE(w.ChkBox_TxCANID->isHidden());
    EXPECT_TRUE(w.ChkBox_TxCANID->isChecked());
}

TEST(ConfigRules, SpecificationSetsWidthAndMaximumOfTheIdentifierFields)
{
    sim::Profile p = Module("3.00");
    p.settings.canSpec = 1;
    p.settings.acceptanceCode = 0x123;
    p.settings.acceptanceMask = 0x1ABCDEF0;
    p.settings.txCanId = 0x5;
    FormFixture f(MultiModelEdition(), p);
    f.Connect();
    TMainForm &w = *f.Form;
    Choose(w.CANSpecificationComboBox, 0);
    EXPECT_EQ(w.CanCodeEdit->text(), "123");
    EXPECT_EQ(w.CanMaskEdit->text(), "7FF");
    EXPECT_EQ(w.CANIDEdit->text(), "005");
    EXPECT_EQ(w.CANIDEdit->MaxTypedLength(), 3);
    EXPECT_EQ(w.CanMaskEdit->MaxValue(), 0x7FF);
    Choose(w.CANSpecificationComboBox, 1);
    EXPECT_EQ(w.CanCodeEdit->text(), "00000123");
    EXPECT_EQ(w.CanMaskEdit->text(), "000007FF");
    EXPECT_EQ(w.CanMaskEdit->MaxValue(), 0x1FFFFFFF);
}

TEST(ConfigRules, CanBaudRateOpensAndClosesTheTimingGroup)
{
    {
        FormFixture f(MultiModelEdition(), Module("3.00"));
        f.Connect();
        TMainForm &w = *f.Form;
        Choose(w.CANBaudrateComboBox, 10);
        EXPECT_TRUE(TimingEnabled(w));
        w.BT1Edit->setText("06");
        w.CalculateBtn->click();
        ASSERT_NE(w.BREdit1->text(), "0");
        Choose(w.CANBaudrateComboBox, 4);
        EXPECT_TRUE(TimingDisabled(w));
        EXPECT_EQ(TimingTexts(w), (QStringList{"0", "00", "00", "00", "0"}));
        Choose(w.CANBaudrateComboBox, 10);
        EXPECT_TRUE(TimingEnabled(w));
        EXPECT_EQ(w.BREdit1->text(), "0");
    }
    {
        FormFixture f(MultiModelEdition(), Module("2.10"));
        f.Connect();
        Choose(f.Form->CANBaudrateComboBox, 10);
        EXPECT_TRUE(TimingDisabled(*f.Form));
    }
}

TEST(ConfigRules, CalculateShowsTheRateOfTheRegisters)
{
    struct Row {
        const char *clock, *bt1, *bt2, *bt3;
        QString rate;
    };
    FormFixture f(MultiModelEdition(), Module("3.00"));
    f.Connect();
    TMainForm &w = *f.Form;
    Choose(w.CANBaudrateComboBox, 10);
    for (const Row &r : {Row{"0", "06", "0E", "2E", Rate("125", "00")},
                         Row{"0", "00", "00", "00", Rate("2500", "00")},
                         Row{"1", "00", "00", "00", Rate("5000", "00")},
                         Row{"0", "01", "01", "01", Rate("2500", "00")},
                         Row{"0", "7E", "0E", "7E", Rate("6", "25")},
                         Row{"0", "0E", "0E", "0A", Rate("78", "13")}}) {
        w.ClockModeEdit->setText(r.clock);
        w.BT1Edit->setText(r.bt1);
        w.BT2Edit->setText(r.bt2);
        w.BT3Edit->setText(r.bt3);
        w.CalculateBtn->click();
        EXPECT_EQ(w.BREdit1->text(), r.rate) << r.bt1 << r.bt2 << r.bt3;
    }
    // An empty register is a conversion failure; the shown rate stays.
    w.BT3Edit->setText("");
    w.CalculateBtn->click();
    EXPECT_EQ(f.Msgs.Texts(), QStringList{"'$' is not a valid integer value."});
    EXPECT_EQ(w.BREdit1->text(), Rate("78", "13"));
}

TEST(ConfigRules, RateTextUsesTheUsersLocaleBothWays)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    {
        sim::Profile p = Module("3.00");
        p.model = "R-2416-GX";
        p.settings.canBaud = 10;
        p.settings.bt1 = 0x06, p.settings.bt2 = 0x0E, p.settings.bt3 = 0x2E;
        FormFixture f(MultiModelEdition(), p);
        f.Connect();
        TMainForm &w = *f.Form;
        EXPECT_EQ(w.BREdit1->text(), "125,00");
        f.Sim.ClearReceived();
        w.SettingButton->click(); // 125 is not above the limit
        EXPECT_EQ(f.Msgs.Texts(), QStringList{"Setting OK!!!"});
        EXPECT_EQ(Lines(f.Sim).value(1), ChecksummedLine("$PU090060E2E"));
        f.Msgs.Clear();
        w.BREdit1->setText("125,01");
        w.SettingButton->click();
        EXPECT_EQ(f.Msgs.Texts(), QStringList{"CAN baud rate of R-2416-GX can not over than 125K!!!"});
    }
    QLocale::setDefault(saved);
}

TEST(ConfigDiagnostics, HiddenButtonsSendTheirLineAndShowTheReply)
{
    FormFixture f(MultiModelEdition(), Module("3.00"));
    f.Connect();
    TMainForm &w = *f.Form;
    f.Sim.ClearReceived();
    w.Button1->click();
    EXPECT_EQ(Lines(f.Sim), QList<QByteArray>{"#PMC0\r"});
    EXPECT_EQ(w.Edit2->text().toLatin1(), ChecksummedLine("!MR-2416"));
    EXPECT_TRUE(w.ReceiveListBox->isEnabled());
    w.Button2->click();
    EXPECT_EQ(Lines(f.Sim).value(1), "SM1D1\r");
    EXPECT_EQ(w.Edit2->text().toLatin1(), ChecksummedLine("!SM1"));
}
