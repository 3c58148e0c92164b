// The main window as built: every control with its name, kind and caption,
// the design-time values, tab order, tool bar, menus, status bar and the
// differences between the two editions.
#include "ComboIndex.h"
#include "Edition.h"
#include "MainUnit.h"
#include "ReceiveListModel.h"
#include "RecordingMessages.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QHeaderView>
#include <QTableView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Window {
    explicit Window(const Edition &edition)
    {
        SetProgramTitle(edition.Caption);
        Form = std::make_unique<TMainForm>(edition);
        Form->show();
    }
    RecordingMessages Msgs;
    std::unique_ptr<TMainForm> Form;
};

QString CaptionOf(const QObject *o)
{
    if (auto *w = qobject_cast<const QLabel *>(o))
        return w->text();
    if (auto *w = qobject_cast<const QAbstractButton *>(o))
        return w->text();
    if (auto *w = qobject_cast<const QGroupBox *>(o))
        return w->title();
    if (auto *w = qobject_cast<const QLineEdit *>(o))
        return w->text();
    return QString();
}

struct ControlRow {
    const char *name;
    const char *className;
    QString caption;
};

// Controls both editions have, with their caption or initial text.
const std::vector<ControlRow> kCommonControls = {
    {"ConnectToolButton", "QToolButton", "Connect"},
    {"DisconnectToolButton", "QToolButton", "Disconnect"},
    {"SettingToolButton", "QToolButton", "Settings..."},
    {"QuitToolButton", "QToolButton", "Exit"},
    {"AboutToolButton", "QToolButton", "About"},
    {"RS232GroupBox", "QGroupBox", "RS-232  Parameters"},
    {"Label1", "QLabel", "RS-232 Baudrate"},
    {"Label2", "QLabel", "bit/sec"},
    {"Label3", "QLabel", "Data Bit"},
    {"Label4", "QLabel", "bit"},
    {"Label5", "QLabel", "Stop Bit"},
    {"Label6", "QLabel", "bit"},
    {"Label7", "QLabel", "Parity"},
    {"Label8", "QLabel", "bit"},
    {"Label9", "QLabel", "Add Checksum"},
    {"Label10", "QLabel", "Error Response"},
    {"RS232BaudrateComboBox", "QComboBox", {}},
    {"RS232DataBitComboBox", "QComboBox", {}},
    {"RS232StopBitComboBox", "QComboBox", {}},
    {"RS232ParityComboBox", "QComboBox", {}},
    {"RS232ChecksumComboBox", "QComboBox", {}},
    {"RS232RespondComboBox", "QComboBox", {}},
    {"CANGroupBox", "QGroupBox", "CAN Parameters"},
    {"Label11", "QLabel", "CAN Specification"},
    {"CANSpecificationComboBox", "QComboBox", {}},
    {"Label12", "QLabel", "CAN bus Baudrate"},
    {"CANBaudrateComboBox", "QComboBox", {}},
    {"Label13", "QLabel", "bit/sec"},
    {"Label14", "QLabel", "Acceptance Code"},
    {"CanCodeEdit", "TNumberEdit", "00000000"},
    {"Label17", "QLabel", "(Hex)"},
    {"Label15", "QLabel", "Acceptance Mask"},
    {"CanMaskEdit", "TNumberEdit", "00000000"},
    {"Label18", "QLabel", "(Hex)"},
    {"ChkBox_Pair", "QCheckBox", "  Pair Connection"},
    {"Label31", "QLabel", "Fixed Tx CAN ID"},
    {"CANIDEdit", "TNumberEdit", "00000001"},
    {"Label33", "QLabel", "(Hex)"},
    {"GroupBox2", "QGroupBox", "End of RS-232 Command"},
    {"EndCmdRB1", "QRadioButton", "None"},
    {"EndCmdRB2", "QRadioButton", "CR"},
    {"EndCmdRB3", "QRadioButton", "LF"},
    {"EndCmdRB4", "QRadioButton", "CR_LF"},
    {"EndCmdRB5", "QRadioButton", "LF_CR"},
    {"ChkBox_TxCANID", "QCheckBox", ""},
    {"ChkBox_RespWCANID", "QCheckBox", "  Response with CAN ID"},
    {"SettingButton", "QPushButton", "Setting"},
    {"DefaultButton", "QPushButton", "Defaults"},
    {"ReceiveLabel", "QLabel", "Receive"},
    {"ReceiveListBox", "QTableView", {}},
    {"ClearBitBtn", "QPushButton", "Clear"},
    {"GroupBox1", "QGroupBox", "CAN Message"},
    {"Label16", "QLabel", "ID(Hex)"},
    {"IDEdit", "TNumberEdit", "0"},
    {"Label20", "QLabel", "MODE"},
    {"ModeEdit", "TNumberEdit", "0"},
    {"Label19", "QLabel", "RTR"},
    {"RTREdit", "TNumberEdit", "0"},
    {"Label21", "QLabel", "DLC"},
    {"DLCEdit", "TNumberEdit", "0"},
    {"Label22", "QLabel", "D1"},
    {"Label23", "QLabel", "D2"},
    {"Label24", "QLabel", "D3"},
    {"Label25", "QLabel", "D4"},
    {"Label26", "QLabel", "D5"},
    {"Label27", "QLabel", "D6"},
    {"Label28", "QLabel", "D7"},
    {"Label29", "QLabel", "D8"},
    {"D1Edit", "TNumberEdit", "0"},
    {"D2Edit", "TNumberEdit", "0"},
    {"D3Edit", "TNumberEdit", "0"},
    {"D4Edit", "TNumberEdit", "0"},
    {"D5Edit", "TNumberEdit", "0"},
    {"D6Edit", "TNumberEdit", "0"},
    {"D7Edit", "TNumberEdit", "0"},
    {"D8Edit", "TNumberEdit", "0"},
    {"CANCheckBox", "QCheckBox", "Use CAN Message"},
    {"Label30", "QLabel", "Interval"},
    {"IntervalEdit", "TNumberEdit", "500"},
    {"SetBitBtn", "QPushButton", "Set"},
    {"SendEdit", "QLineEdit", ""},
    {"AutoBitBtn", "QPushButton", "Auto"},
    {"StopBitBtn", "QPushButton", "Stop"},
    {"SendBitBtn", "QPushButton", "Send"},
    {"SaveBitBtn", "QPushButton", "Save"},
    {"ReceiveBitBtn", "QPushButton", "Start"},
};

// Controls only the multi-model edition has.
const std::vector<ControlRow> kMultiOnlyControls = {
    {"GroupBox3", "QGroupBox", "User-defined CAN baud rate"},
    {"Label35", "QLabel", "Clock Mode"},
    {"ClockModeEdit", "TNumberEdit", "0"},
    {"Label43", "QLabel", "(Hex)"},
    {"Label40", "QLabel", "Note: CAN baud rate < 12K, Clock Mode = 0."},
    {"Label36", "QLabel", "Bit Timing 1"},
    {"BT1Edit", "TNumberEdit", "00"},
    {"Label42", "QLabel", "(Hex)"},
    {"Label37", "QLabel", "Bit Timing 2"},
    {"BT2Edit", "TNumberEdit", "00"},
    {"Label41", "QLabel", "(Hex)"},
    {"Label39", "QLabel", "Bit Timing 3"},
    {"BT3Edit", "TNumberEdit", "00"},
    {"Label38", "QLabel", "(Hex)"},
    {"CalculateBtn", "QPushButton", "Calculate"},
    {"Label32", "QLabel", "baud rate"},
    {"BREdit1", "TNumberEdit", "0"},
    {"Label34", "QLabel", "K bit/sec"},
    {"Button1", "QPushButton", "Button1"},
    {"Button2", "QPushButton", "Button2"},
    {"Edit2", "QLineEdit", ""},
};

void ExpectControls(TMainForm &form, const std::vector<ControlRow> &rows)
{
    for (const ControlRow &row : rows) {
        SCOPED_TRACE(row.name);
        const QList<QWidget *> found = form.findChildren<QWidget *>(QLatin1String(row.name));
        ASSERT_EQ(found.size(), 1) << "exactly one control of this name";
        EXPECT_STREQ(found.front()->metaObject()->className(), row.className);
        EXPECT_EQ(CaptionOf(found.front()), row.caption);
    }
}

class BothEditions : public ::testing::TestWithParam<bool> {
protected:
    const Edition &Ed() const { return GetParam() ? MultiModelEdition() : SingleModelEdition(); }
};

INSTANTIATE_TEST_SUITE_P(Editions, BothEditions, ::testing::Values(true, false),
                         [](const auto &info) { return info.param ? "Multi" : "Single"; });

TEST_P(BothEditions, EveryControlHasItsNameKindAndCaption)
{
    Window w(Ed());
    ExpectControls(*w.Form, kCommonControls);
    if (GetParam()) {
        ExpectControls(*w.Form, kMultiOnlyControls);
    } else {
        for (const ControlRow &row : kMultiOnlyControls)
            EXPECT_EQ(w.Form->findChild<QObject *>(QLatin1String(row.name)), nullptr) << row.name;
    }
}

TEST_P(BothEditions, MembersAreTheNamedControls)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    const std::vector<std::pair<QObject *, const char *>> members = {
        {f.ToolBar1, "ToolBar1"},
        {f.ConnectToolButton, "ConnectToolButton"},
        {f.DisconnectToolButton, "DisconnectToolButton"},
        {f.SettingToolButton, "SettingToolButton"},
        {f.QuitToolButton, "QuitToolButton"},
        {f.AboutToolButton, "AboutToolButton"},
        {f.MainMenu1, "MainMenu1"},
        {f.F1, "F1"},
        {f.A1, "A1"},
        {f.Options1, "Options1"},
        {f.Help1, "Help1"},
        {f.Exit1, "Exit1"},
        {f.Connect1, "Connect1"},
        {f.Disconnect1, "Disconnect1"},
        {f.SerialIOsettings1, "SerialIOsettings1"},
        {f.About1, "About1"},
        {f.StatusBar1, "StatusBar1"},
        {f.PageControl1, "PageControl1"},
        {f.TabSheet1, "TabSheet1"},
        {f.TabSheet2, "TabSheet2"},
        {f.RS232GroupBox, "RS232GroupBox"},
        {f.RS232BaudrateComboBox, "RS232BaudrateComboBox"},
        {f.RS232DataBitComboBox, "RS232DataBitComboBox"},
        {f.RS232StopBitComboBox, "RS232StopBitComboBox"},
        {f.RS232ParityComboBox, "RS232ParityComboBox"},
        {f.RS232ChecksumComboBox, "RS232ChecksumComboBox"},
        {f.RS232RespondComboBox, "RS232RespondComboBox"},
        {f.CANGroupBox, "CANGroupBox"},
        {f.CANSpecificationComboBox, "CANSpecificationComboBox"},
        {f.CANBaudrateComboBox, "CANBaudrateComboBox"},
        {f.CanCodeEdit, "CanCodeEdit"},
        {f.CanMaskEdit, "CanMaskEdit"},
        {f.CANIDEdit, "CANIDEdit"},
        {f.ChkBox_Pair, "ChkBox_Pair"},
        {f.ChkBox_TxCANID, "ChkBox_TxCANID"},
        {f.ChkBox_RespWCANID, "ChkBox_RespWCANID"},
        {f.Label31, "Label31"},
        {f.Label33, "Label33"},
        {f.GroupBox2, "GroupBox2"},
        {f.EndCmdRB1, "EndCmdRB1"},
        {f.EndCmdRB2, "EndCmdRB2"},
        {f.EndCmdRB3, "EndCmdRB3"},
        {f.EndCmdRB4, "EndCmdRB4"},
        {f.EndCmdRB5, "EndCmdRB5"},
        {f.SettingButton, "SettingButton"},
        {f.DefaultButton, "DefaultButton"},
        {f.ReceiveLabel, "ReceiveLabel"},
        {f.ReceiveListBox, "ReceiveListBox"},
        {f.ClearBitBtn, "ClearBitBtn"},
        {f.GroupBox1, "GroupBox1"},
        {f.IDEdit, "IDEdit"},
        {f.ModeEdit, "ModeEdit"},
        {f.RTREdit, "RTREdit"},
        {f.DLCEdit, "DLCEdit"},
        {f.CANCheckBox, "CANCheckBox"},
        {f.SendEdit, "SendEdit"},
        {f.AutoBitBtn, "AutoBitBtn"},
        {f.StopBitBtn, "StopBitBtn"},
        {f.SendBitBtn, "SendBitBtn"},
        {f.SetBitBtn, "SetBitBtn"},
        {f.SaveBitBtn, "SaveBitBtn"},
        {f.ReceiveBitBtn, "ReceiveBitBtn"},
        {f.IntervalEdit, "IntervalEdit"},
        {f.Timer2, "Timer2"},
    };
    for (const auto &[member, name] : members) {
        ASSERT_NE(member, nullptr) << name;
        EXPECT_EQ(member->objectName(), QLatin1String(name));
    }
    for (int i = 0; i < 8; ++i) {
        ASSERT_NE(f.DataEdits()[size_t(i)], nullptr);
        EXPECT_EQ(f.DataEdits()[size_t(i)]->objectName(), QStringLiteral("D%1Edit").arg(i + 1));
    }
    for (size_t i = 0; i < 4; ++i)
        ASSERT_NE(f.StatusPanels[i], nullptr);

    ASSERT_NE(f.ReceiveList, nullptr);
    EXPECT_EQ(f.ReceiveListBox->model(), static_cast<QAbstractItemModel *>(f.ReceiveList));
    // One column of rows of one height, shown as a plain list.
    f.ReceiveList->Append("t0000\r");
    EXPECT_EQ(f.ReceiveListBox->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    f.ReceiveList->Clear();
    EXPECT_FALSE(f.ReceiveListBox->horizontalHeader()->isVisible());
    EXPECT_FALSE(f.ReceiveListBox->verticalHeader()->isVisible());
    EXPECT_FALSE(f.ReceiveListBox->tabKeyNavigation());

    // The edition's optional controls exist exactly when the edition has them.
    const std::vector<std::pair<QObject *, const char *>> timing = {
        {f.GroupBox3, "GroupBox3"},     {f.ClockModeEdit, "ClockModeEdit"}, {f.BT1Edit, "BT1Edit"},
        {f.BT2Edit, "BT2Edit"},         {f.BT3Edit, "BT3Edit"},             {f.BREdit1, "BREdit1"},
        {f.CalculateBtn, "CalculateBtn"}};
    for (const auto &[member, name] : timing) {
        EXPECT_EQ(member != nullptr, GetParam()) << name;
        if (member != nullptr) {
            EXPECT_EQ(member->objectName(), QLatin1String(name));
        }
    }
    EXPECT_EQ(f.Button1 != nullptr, GetParam());
    EXPECT_EQ(f.Button2 != nullptr, GetParam());
    EXPECT_EQ(f.Edit2 != nullptr, GetParam());
}

TEST_P(BothEditions, ComboBoxesHoldTheirItemsAndAcceptTypingWithoutAddingEntries)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    QStringList canBauds = {"10K",  "20K",  "50K",  "100K",  "125K",
                            "250K", "500K", "800K", "1000K", "83.3K"};
    if (GetParam())
        canBauds << "User-defined";
    const QStringList rs232 =
        GetParam() ? QStringList{""}
                   : QStringList{"110",  "150",  "300",   "600",   "1200",  "2400",
                                 "4800", "9600", "19200", "38400", "57600", "115200"};
    const std::vector<std::pair<QComboBox *, QStringList>> combos = {
        {f.RS232BaudrateComboBox, rs232},
        {f.RS232DataBitComboBox, {"5", "6", "7", "8"}},
        {f.RS232StopBitComboBox, {"1", "2"}},
        {f.RS232ParityComboBox, {"None", "Odd", "Even"}},
        {f.RS232ChecksumComboBox, {"No", "Yes"}},
        {f.RS232RespondComboBox, {"No", "Yes"}},
        {f.CANSpecificationComboBox, {"2.0A", "2.0B"}},
        {f.CANBaudrateComboBox, canBauds},
    };
    for (const auto &[box, items] : combos) {
        SCOPED_TRACE(box->objectName().toStdString());
        QStringList actual;
        for (int i = 0; i < box->count(); ++i)
            actual << box->itemText(i);
        EXPECT_EQ(actual, items);
        EXPECT_TRUE(box->isEditable());
        EXPECT_EQ(box->insertPolicy(), QComboBox::NoInsert);
    }

    // Typing a new text and pressing Enter leaves the list unchanged.
    QComboBox *parity = f.RS232ParityComboBox;
    parity->setEnabled(true);
    parity->lineEdit()->setText("Mark");
    QTest::keyClick(parity->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(parity->count(), 3);
}

TEST(ComboIndex, IndexFollowsTheTextCaseInsensitively)
{
    QComboBox box;
    box.setEditable(true);
    box.setInsertPolicy(QComboBox::NoInsert);
    box.addItems({"10K", "83.3K", "User-defined"});
    const struct {
        QString text;
        int index;
    } rows[] = {{"83.3K", 1}, {"83.3k", 1}, {"user-DEFINED", 2}, {"10", -1}, {"", -1}, {"10K ", -1}};
    for (const auto &row : rows) {
        box.setEditText(row.text);
        EXPECT_EQ(SelectedIndex(&box), row.index) << row.text.toStdString();
    }
    EXPECT_EQ(SelectedIndex(nullptr), -1);
}

TEST(ComboIndex, SelectingShowsTheEntryOrNothing)
{
    QComboBox box;
    box.setEditable(true);
    box.setInsertPolicy(QComboBox::NoInsert);
    box.addItems({"No", "Yes"});
    QSignalSpy activated(&box, &QComboBox::activated);

    SelectIndex(&box, 1);
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_EQ(box.currentText(), "Yes");
    EXPECT_EQ(SelectedIndex(&box), 1);

    // Text typed over the current entry is replaced when it is selected again.
    box.setEditText("Ye");
    SelectIndex(&box, 1);
    EXPECT_EQ(box.currentText(), "Yes");

    for (int outOfRange : {-1, 2, 12}) {
        SelectIndex(&box, 1);
        SelectIndex(&box, outOfRange);
        EXPECT_EQ(box.currentIndex(), -1) << outOfRange;
        EXPECT_EQ(box.currentText(), "") << outOfRange;
        EXPECT_EQ(SelectedIndex(&box), -1) << outOfRange;
    }
    EXPECT_EQ(activated.count(), 0) << "setting the index is no user choice";
}

TEST(ComboIndex, AnEmptyEntryIsSelectedByAnEmptyText)
{
    QComboBox box;
    box.setEditable(true);
    box.addItem(QString());
    SelectIndex(&box, 0);
    EXPECT_EQ(SelectedIndex(&box), 0);
    SelectIndex(&box, 3);
    EXPECT_EQ(box.currentIndex(), -1);
}

TEST_P(BothEditions, NumberFieldsHaveTheirKindLimitsAndCase)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    struct Row {
        TNumberEdit *field;
        TNumberEditKind kind;
        int maxLength;
        bool upper;
        int32_t maxValue;
        QString text;
    };
    std::vector<Row> rows = {
        {f.CanCodeEdit, neHex, 8, true, 0, "00000000"},
        {f.CanMaskEdit, neHex, 8, true, 0, "00000000"},
        {f.CANIDEdit, neHex, 8, true, 0, "00000001"},
        {f.IDEdit, neHex, 3, true, 0, "0"},
        {f.ModeEdit, neBin, 1, false, 0, "0"},
        {f.RTREdit, neBin, 1, false, 0, "0"},
        {f.DLCEdit, neDec, 1, false, 8, "0"},
        {f.IntervalEdit, neDec, 5, false, 0, "500"},
    };
    for (TNumberEdit *d : f.DataEdits())
        rows.push_back({d, neHex, 2, true, 0, "0"});
    if (GetParam()) {
        rows.push_back({f.ClockModeEdit, neHex, 1, true, 0, "0"});
        rows.push_back({f.BT1Edit, neHex, 2, true, 0, "00"});
        rows.push_back({f.BT2Edit, neHex, 2, true, 0, "00"});
        rows.push_back({f.BT3Edit, neHex, 2, true, 0, "00"});
        rows.push_back({f.BREdit1, neHex, 3, true, 0, "0"});
    }
    for (const Row &row : rows) {
        SCOPED_TRACE(row.field->objectName().toStdString());
        EXPECT_EQ(row.field->Kind(), row.kind);
        EXPECT_EQ(row.field->MaxTypedLength(), row.maxLength);
        EXPECT_EQ(row.field->UpperCase(), row.upper);
        EXPECT_EQ(row.field->MaxValue(), row.maxValue);
        EXPECT_EQ(row.field->text(), row.text);
        // Code may set longer texts later: the base edit's own limit stays off.
        EXPECT_EQ(row.field->maxLength(), QLineEdit().maxLength());
    }
    EXPECT_EQ(f.SendEdit->maxLength(), QLineEdit().maxLength());
    EXPECT_EQ(f.SendEdit->text(), "");
    if (GetParam()) {
        EXPECT_EQ(f.BREdit1->layoutDirection(), Qt::LeftToRight);
    }
}

TEST_P(BothEditions, DesignTimeChecksAndHiddenControls)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    EXPECT_TRUE(f.EndCmdRB1->isChecked());
    for (QRadioButton *rb : {f.EndCmdRB2, f.EndCmdRB3, f.EndCmdRB4, f.EndCmdRB5})
        EXPECT_FALSE(rb->isChecked()) << rb->objectName().toStdString();
    EXPECT_FALSE(f.CANCheckBox->isChecked());
    EXPECT_FALSE(f.ChkBox_Pair->isChecked());
    EXPECT_FALSE(f.ChkBox_TxCANID->isChecked());
    EXPECT_FALSE(f.ChkBox_RespWCANID->isChecked());

    QApplication::processEvents();
    std::vector<QWidget *> hidden = {f.SettingToolButton, f.ChkBox_TxCANID};
    if (GetParam()) {
        hidden.push_back(f.Button1);
        hidden.push_back(f.Button2);
        hidden.push_back(f.Edit2);
    }
    for (QWidget *wdg : hidden)
        EXPECT_FALSE(wdg->isVisible()) << wdg->objectName().toStdString();
    EXPECT_FALSE(f.Options1->menuAction()->isVisible());

    // Everything else on the current page is shown.
    f.PageControl1->setCurrentWidget(f.TabSheet1);
    QApplication::processEvents();
    for (QWidget *wdg : std::vector<QWidget *>{
             f.ConnectToolButton, f.DisconnectToolButton, f.QuitToolButton, f.AboutToolButton,
             f.RS232GroupBox, f.CANGroupBox, f.CANIDEdit, f.Label31, f.Label33, f.GroupBox2,
             f.ChkBox_Pair, f.ChkBox_RespWCANID, f.SettingButton, f.DefaultButton})
        EXPECT_TRUE(wdg->isVisible()) << wdg->objectName().toStdString();
    if (GetParam()) {
        EXPECT_TRUE(f.GroupBox3->isVisible());
    }
    f.PageControl1->setCurrentWidget(f.TabSheet2);
    QApplication::processEvents();
    for (QWidget *wdg : std::vector<QWidget *>{
             f.ReceiveLabel, f.ReceiveListBox, f.GroupBox1, f.IDEdit, f.D8Edit, f.CANCheckBox,
             f.SendEdit, f.AutoBitBtn, f.StopBitBtn, f.SendBitBtn, f.SetBitBtn, f.IntervalEdit,
             f.ClearBitBtn, f.SaveBitBtn, f.ReceiveBitBtn})
        EXPECT_TRUE(wdg->isVisible()) << wdg->objectName().toStdString();
}

// The named controls in the order Tab visits them, starting at `first`.
QStringList FocusOrder(QWidget *first, const QStringList &names)
{
    QStringList order;
    QWidget *w = first;
    do {
        if (names.contains(w->objectName()) && !order.contains(w->objectName()))
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first && w != nullptr);
    return order;
}

TEST_P(BothEditions, TabOrderFollowsTheControlTree)
{
    Window w(Ed());
    QStringList settings = {"RS232BaudrateComboBox", "RS232DataBitComboBox", "RS232StopBitComboBox",
                            "RS232ParityComboBox", "RS232ChecksumComboBox", "RS232RespondComboBox",
                            "CANSpecificationComboBox", "CANBaudrateComboBox", "CanCodeEdit",
                            "CanMaskEdit", "ChkBox_Pair", "CANIDEdit", "EndCmdRB1", "EndCmdRB2",
                            "EndCmdRB3", "EndCmdRB4", "EndCmdRB5", "ChkBox_TxCANID",
                            "ChkBox_RespWCANID"};
    if (GetParam())
        settings << "BREdit1" << "ClockModeEdit" << "BT1Edit" << "BT2Edit" << "BT3Edit"
                 << "CalculateBtn";
    settings << "SettingButton" << "DefaultButton";
    if (GetParam())
        settings << "Button1" << "Button2";
    EXPECT_EQ(FocusOrder(w.Form->RS232BaudrateComboBox, settings), settings);

    const QStringList test = {"ReceiveListBox", "ClearBitBtn", "IDEdit", "ModeEdit", "RTREdit",
                              "DLCEdit", "D1Edit", "D2Edit", "D3Edit", "D4Edit", "D5Edit", "D6Edit",
                              "D7Edit", "D8Edit", "CANCheckBox", "SendEdit", "AutoBitBtn",
                              "StopBitBtn", "SendBitBtn", "SetBitBtn", "IntervalEdit", "SaveBitBtn",
                              "ReceiveBitBtn"};
    EXPECT_EQ(FocusOrder(w.Form->ReceiveListBox, test), test);
}

TEST_P(BothEditions, FieldsAndListsAreNamedByTheirCaptionLabels)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    std::vector<std::pair<const char *, QWidget *>> buddies = {
        {"Label1", f.RS232BaudrateComboBox},  {"Label3", f.RS232DataBitComboBox},
        {"Label5", f.RS232StopBitComboBox},   {"Label7", f.RS232ParityComboBox},
        {"Label9", f.RS232ChecksumComboBox},  {"Label10", f.RS232RespondComboBox},
        {"Label11", f.CANSpecificationComboBox}, {"Label12", f.CANBaudrateComboBox},
        {"Label14", f.CanCodeEdit},           {"Label15", f.CanMaskEdit},
        {"Label31", f.CANIDEdit},             {"Label16", f.IDEdit},
        {"Label20", f.ModeEdit},              {"Label19", f.RTREdit},
        {"Label21", f.DLCEdit},               {"Label30", f.IntervalEdit},
        {"ReceiveLabel", f.ReceiveListBox},
    };
    for (int i = 0; i < 8; ++i)
        buddies.push_back({nullptr, f.DataEdits()[size_t(i)]});
    if (GetParam()) {
        buddies.insert(buddies.end(), {{"Label35", f.ClockModeEdit},
                                       {"Label36", f.BT1Edit},
                                       {"Label37", f.BT2Edit},
                                       {"Label39", f.BT3Edit},
                                       {"Label32", f.BREdit1}});
    }
    int dataLabel = 22;
    for (const auto &[labelName, field] : buddies) {
        const QString name = labelName != nullptr ? QString::fromLatin1(labelName)
                                                  : QStringLiteral("Label%1").arg(dataLabel++);
        auto *label = f.findChild<QLabel *>(name);
        ASSERT_NE(label, nullptr) << name.toStdString();
        EXPECT_EQ(label->buddy(), field) << name.toStdString();
        EXPECT_EQ(field->accessibleName(), label->text()) << name.toStdString();
    }
    EXPECT_FALSE(f.SendEdit->accessibleName().isEmpty());
}

TEST_P(BothEditions, ToolBarShowsCaptionsUnderImagesAndCannotBeMovedOrHidden)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    EXPECT_FALSE(f.ToolBar1->isMovable());
    EXPECT_FALSE(f.ToolBar1->isFloatable());
    EXPECT_EQ(f.ToolBar1->iconSize(), QSize(36, 36));

    // Left to right in the tool bar.
    const QList<QToolButton *> expected = {f.ConnectToolButton, f.DisconnectToolButton,
                                           f.SettingToolButton, f.QuitToolButton,
                                           f.AboutToolButton};
    QList<QToolButton *> order;
    for (QAction *a : f.ToolBar1->actions())
        if (auto *b = qobject_cast<QToolButton *>(f.ToolBar1->widgetForAction(a)))
            order << b;
    EXPECT_EQ(order, expected);
    for (QToolButton *b : expected) {
        SCOPED_TRACE(b->objectName().toStdString());
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_FALSE(b->icon().isNull());
        EXPECT_EQ(b->defaultAction(), nullptr) << "the tool button is not the menu item's action";
    }

    // A right click on the tool bar offers no menu (that would let the user hide it).
    bool popupShown = false;
    QTimer::singleShot(0, [&popupShown] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            popupShown = true;
            popup->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            f.ToolBar1->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(f.ToolBar1, &event);
    QApplication::processEvents();
    EXPECT_FALSE(popupShown);
    EXPECT_TRUE(f.ToolBar1->isVisible());
}

TEST_P(BothEditions, MenusWithTheirShortcuts)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    EXPECT_FALSE(f.MainMenu1->isNativeMenuBar());
    EXPECT_EQ(f.menuBar(), f.MainMenu1);

    const struct {
        QMenu *menu;
        QString title;
        std::vector<std::pair<QAction *, QString>> items;
    } menus[] = {
        {f.F1, "&File", {{f.Exit1, "&Exit"}}},
        {f.A1, "&Actions", {{f.Connect1, "&Connect"}, {f.Disconnect1, "&Disconnect"}}},
        {f.Options1, "&Options", {{f.SerialIOsettings1, "&Serial I/O settings..."}}},
        {f.Help1, "&Help", {{f.About1, "About"}}},
    };
    QList<QAction *> barActions = f.MainMenu1->actions();
    ASSERT_EQ(barActions.size(), 4);
    for (size_t i = 0; i < std::size(menus); ++i) {
        const auto &m = menus[i];
        EXPECT_EQ(barActions[qsizetype(i)], m.menu->menuAction());
        EXPECT_EQ(m.menu->title(), m.title);
        QList<QAction *> actions = m.menu->actions();
        ASSERT_EQ(actions.size(), qsizetype(m.items.size())) << m.title.toStdString();
        for (size_t j = 0; j < m.items.size(); ++j) {
            EXPECT_EQ(actions[qsizetype(j)], m.items[j].first);
            EXPECT_EQ(m.items[j].first->text(), m.items[j].second);
            EXPECT_TRUE(m.items[j].first->isEnabled());
        }
    }
    EXPECT_EQ(f.Connect1->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(f.Disconnect1->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(f.SerialIOsettings1->shortcut(), QKeySequence(Qt::Key_F5));
    for (QAction *a : {f.Exit1, f.About1})
        EXPECT_TRUE(a->shortcut().isEmpty());
}

TEST_P(BothEditions, F2AndF3WorkWithTheToolButtonsDisabled)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    // Only the shortcuts are under test: the items' handlers are detached.
    QObject::disconnect(f.Connect1, &QAction::triggered, nullptr, nullptr);
    QObject::disconnect(f.Disconnect1, &QAction::triggered, nullptr, nullptr);
    QSignalSpy connect(f.Connect1, &QAction::triggered);
    QSignalSpy disconnect(f.Disconnect1, &QAction::triggered);
    f.ConnectToolButton->setEnabled(false);
    f.DisconnectToolButton->setEnabled(false);

    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.windowHandle()));
    QTest::keyClick(&f, Qt::Key_F2);
    QTest::keyClick(&f, Qt::Key_F3);
    QTest::keyClick(&f, Qt::Key_F3);
    EXPECT_EQ(connect.count(), 1);
    EXPECT_EQ(disconnect.count(), 2);

    // Also with the focus inside a page.
    f.PageControl1->setCurrentWidget(f.TabSheet2);
    f.SendEdit->setEnabled(true);
    f.SendEdit->setFocus();
    QTest::keyClick(f.SendEdit, Qt::Key_F2);
    EXPECT_EQ(connect.count(), 2);
}

TEST_P(BothEditions, StatusBarHasFourFixedPanelsAndTheMakerNotice)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    auto *bar = qobject_cast<QStatusBar *>(f.StatusBar1);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(f.statusBar(), bar);
    EXPECT_FALSE(bar->isSizeGripEnabled());
    const int widths[] = {130, 103, 55, 200};
    for (size_t i = 0; i < 4; ++i) {
        QLabel *panel = f.StatusPanels[i];
        EXPECT_EQ(panel->parentWidget(), bar);
        EXPECT_EQ(panel->minimumWidth(), widths[i]) << i;
        EXPECT_EQ(panel->width(), widths[i]) << i;
        EXPECT_EQ(panel->maximumWidth(), widths[i]) << i;
        EXPECT_EQ(panel->textFormat(), Qt::PlainText) << i;
        EXPECT_TRUE(panel->isVisible()) << i;
    }
    // Left to right.
    for (size_t i = 1; i < 4; ++i)
        EXPECT_LT(f.StatusPanels[i - 1]->x(), f.StatusPanels[i]->x());
    EXPECT_EQ(f.StatusPanels[3]->text(),
              Ed().MakerNoticePrefix + "Veskora" + Ed().MakerNoticeSuffix);
    // The notice fits its panel whole.
    EXPECT_GE(f.StatusPanels[3]->contentsRect().width(),
              f.StatusPanels[3]->fontMetrics().horizontalAdvance(f.StatusPanels[3]->text()));

    // A status tip (hovering a menu item, say) leaves the panels in place.
    QStatusTipEvent tip(QStringLiteral("tip"));
    QApplication::sendEvent(f.TabSheet1, &tip);
    EXPECT_TRUE(bar->currentMessage().isEmpty());
    for (QLabel *panel : f.StatusPanels)
        EXPECT_TRUE(panel->isVisible());
}

TEST_P(BothEditions, WindowHasFixedSizeNoMaximiseAndTheEditionCaption)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    EXPECT_EQ(f.windowTitle(), Ed().Caption);
    EXPECT_FALSE(f.windowIcon().isNull());
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_EQ(f.size(), f.minimumSize());
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowSystemMenuHint));

    // The window is big enough for everything it holds: no page is cut off.
    for (QWidget *page : {f.TabSheet1, f.TabSheet2}) {
        f.PageControl1->setCurrentWidget(page);
        QApplication::processEvents();
        EXPECT_GE(page->width(), page->minimumSizeHint().width()) << page->objectName().toStdString();
        EXPECT_GE(page->height(), page->minimumSizeHint().height())
            << page->objectName().toStdString();
    }

    const QFont font = f.font();
    EXPECT_GE(font.pointSize(), 8);
    EXPECT_LE(font.pointSize(), 9);
}

TEST_P(BothEditions, PagesAndTheStartPage)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    ASSERT_EQ(f.PageControl1->count(), 2);
    EXPECT_EQ(f.PageControl1->widget(0), f.TabSheet1);
    EXPECT_EQ(f.PageControl1->widget(1), f.TabSheet2);
    EXPECT_EQ(f.PageControl1->tabText(0), "Settings");
    EXPECT_EQ(f.PageControl1->tabText(1), "Test");
    EXPECT_EQ(f.PageControl1->currentWidget(), GetParam() ? f.TabSheet1 : f.TabSheet2);
    EXPECT_EQ(f.centralWidget()->isAncestorOf(f.PageControl1), true);
}

TEST_P(BothEditions, SerialPortAndTimerDesignValues)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    EXPECT_TRUE(f.ComPort.AllowEvents());
    EXPECT_EQ(f.ComPort.Baud(), 115200);
    EXPECT_EQ(f.ComPort.EndOfResponse(), "#13");
    EXPECT_EQ(f.ComPort.Handshaking(), hsNone);
    EXPECT_EQ(f.ComPort.ResponseTime(), 500u);
    EXPECT_EQ(f.ComPort.Port(), 1);
    EXPECT_FALSE(f.ComPort.ShowErrors());
    EXPECT_EQ(f.ComPort.Version(), "1.4.0");
    ASSERT_TRUE(f.ComPort.EventPump);
    EXPECT_FALSE(f.ComPort.Opened());

    // The pump delivers pending events.
    bool ran = false;
    QTimer::singleShot(0, &f, [&ran] { ran = true; });
    f.ComPort.EventPump();
    EXPECT_TRUE(ran);

    ASSERT_NE(f.Timer2, nullptr);
    EXPECT_EQ(f.Timer2->parent(), &f);
    EXPECT_EQ(f.Timer2->interval(), 500);
    EXPECT_EQ(f.Timer2->timerType(), Qt::PreciseTimer);
    EXPECT_FALSE(f.Timer2->isActive());
}

TEST_P(BothEditions, ControlsSitInTheirContainers)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    const std::vector<std::pair<QWidget *, std::vector<QWidget *>>> tree = {
        {f.RS232GroupBox,
         {f.RS232BaudrateComboBox, f.RS232DataBitComboBox, f.RS232StopBitComboBox,
          f.RS232ParityComboBox, f.RS232ChecksumComboBox, f.RS232RespondComboBox}},
        {f.CANGroupBox,
         {f.CANSpecificationComboBox, f.CANBaudrateComboBox, f.CanCodeEdit, f.CanMaskEdit,
          f.ChkBox_Pair, f.CANIDEdit, f.Label31, f.Label33, f.GroupBox2, f.ChkBox_TxCANID,
          f.ChkBox_RespWCANID}},
        {f.GroupBox2, {f.EndCmdRB1, f.EndCmdRB2, f.EndCmdRB3, f.EndCmdRB4, f.EndCmdRB5}},
        {f.TabSheet1, {f.RS232GroupBox, f.CANGroupBox, f.SettingButton, f.DefaultButton}},
        {f.GroupBox1, {f.IDEdit, f.ModeEdit, f.RTREdit, f.DLCEdit, f.D1Edit, f.D2Edit, f.D3Edit,
                       f.D4Edit, f.D5Edit, f.D6Edit, f.D7Edit, f.D8Edit}},
        {f.TabSheet2, {f.ReceiveLabel, f.ReceiveListBox, f.ClearBitBtn, f.GroupBox1, f.CANCheckBox,
                       f.SendEdit, f.AutoBitBtn, f.StopBitBtn, f.SendBitBtn, f.SetBitBtn,
                       f.IntervalEdit, f.SaveBitBtn, f.ReceiveBitBtn}},
    };
    for (const auto &[container, children] : tree)
        for (QWidget *child : children)
            EXPECT_TRUE(container->isAncestorOf(child))
                << child->objectName().toStdString() << " in " << container->objectName().toStdString();
    if (GetParam()) {
        EXPECT_TRUE(f.CANGroupBox->isAncestorOf(f.GroupBox3));
        for (QWidget *child : std::vector<QWidget *>{f.ClockModeEdit, f.BT1Edit, f.BT2Edit, f.BT3Edit,
                                                     f.BREdit1, f.CalculateBtn})
            EXPECT_TRUE(f.GroupBox3->isAncestorOf(child)) << child->objectName().toStdString();
        EXPECT_TRUE(f.TabSheet1->isAncestorOf(f.Button1));
        EXPECT_TRUE(f.TabSheet1->isAncestorOf(f.Button2));
    }
}

TEST_P(BothEditions, BitmapButtonsShowGlyphsAndAHandCursor)
{
    Window w(Ed());
    TMainForm &f = *w.Form;
    std::vector<QPushButton *> bitmapButtons = {f.SettingButton, f.DefaultButton, f.ClearBitBtn,
                                                f.SaveBitBtn,    f.ReceiveBitBtn, f.AutoBitBtn,
                                                f.StopBitBtn,    f.SendBitBtn};
    for (QPushButton *b : bitmapButtons) {
        SCOPED_TRACE(b->objectName().toStdString());
        EXPECT_FALSE(b->icon().isNull());
        EXPECT_EQ(b->cursor().shape(), Qt::PointingHandCursor);
    }
    EXPECT_TRUE(f.SetBitBtn->icon().isNull());
}

} // namespace
