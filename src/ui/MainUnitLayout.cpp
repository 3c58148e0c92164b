// Construction of the main window: the control tree with its design-time
// values, the tool bar, menus and status bar, and the wiring of every
// control to its handler.
#include "MainUnit.h"
#include "ControlFactory.h"
#include "Resources.h"

#include "MessageService.h"
#include "ReceiveListModel.h"
#include "Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QHeaderView>
#include <QTableView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>


namespace {

// Status tips would replace the status panels with a temporary message;
// the window never shows one, so they are dropped on the way up.
class StatusTipEater : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::StatusTip)
            return true;
        return QObject::eventFilter(watched, event);
    }
};

// Kind and limits first, then the initial text, so the text is validated
// under the field's own rules.
TNumberEdit *MakeNumber(QWidget *parent, const char *name, TNumberEditKind kind, int maxLength,
                        bool upperCase, const QString &text, int32_t maxValue = 0)
{
    auto *edit = new TNumberEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->SetKind(kind);
    edit->SetMaxTypedLength(maxLength);
    edit->SetUpperCase(upperCase);
    if (maxValue != 0)
        edit->SetMaxValue(maxValue);
    edit->setText(text);
    return edit;
}

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &caption,
                        const char *glyph = nullptr)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    if (glyph != nullptr) {
        button->setIcon(QIcon(QStringLiteral(":/veltaro/glyphs/") + QLatin1String(glyph)));
        button->setIconSize(QSize(16, 16));
        button->setCursor(Qt::PointingHandCursor);
    }
    button->setAutoDefault(false);
    return button;
}

QCheckBox *MakeCheck(QWidget *parent, const char *name, const QString &caption)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QRadioButton *MakeRadio(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QGroupBox *MakeGroup(QWidget *parent, const char *name, const QString &caption)
{
    auto *group = new QGroupBox(caption, parent);
    group->setObjectName(QLatin1String(name));
    return group;
}

// Width of a field that shows `chars` digits, frame and margins included.
int FieldWidth(const QWidget *w, int chars)
{
    const QFontMetrics fm(w->font());
    return fm.horizontalAdvance(QString(chars, QLatin1Char('D'))) + 14;
}

// A table of one column that looks and behaves like a list box: rows of one
// fixed height, no headers, no grid, Tab leaves it like any other control.
void ConfigureAsList(QTableView *view)
{
    view->horizontalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 2);
    view->setShowGrid(false);
    view->setWordWrap(false);
    view->setTabKeyNavigation(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

// Sets the focus chain to the order given.
void Chain(std::initializer_list<QWidget *> widgets)
{
    QWidget *prev = nullptr;
    for (QWidget *w : widgets) {
        if (w == nullptr)
            continue;
        if (prev != nullptr)
            QWidget::setTabOrder(prev, w);
        prev = w;
    }
}

} // namespace

TMainForm::TMainForm(const Edition &edition, QWidget *parent) : QMainWindow(parent), FEdition(edition)
{
    InitVeltaroResources();

    ComPort.SetAllowEvents(true);
    ComPort.SetBaud(115200);
    ComPort.SetEndOfResponse(QStringLiteral("#13"));
    ComPort.SetHandshaking(hsNone);
    ComPort.SetResponseTime(500);
    ComPort.SetPort(1);
    ComPort.SetShowErrors(false);
    ComPort.EventPump = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(500);
    Timer2->setTimerType(Qt::PreciseTimer);

    BuildWindow();
    ConnectHandlers();
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildWindow()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(FEdition.Caption);
    setWindowIcon(QIcon(QStringLiteral(":/veltaro/icon.png")));
    // System menu, minimise and close; no maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    QFont f = font();
    f.setFamily(QStringLiteral("Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(9);
    setFont(f);

    installEventFilter(new StatusTipEater(this));

    BuildToolBarAndMenus();

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralArea"));
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(6, 6, 6, 4);
    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    centralLayout->addWidget(PageControl1);
    setCentralWidget(central);

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Settings"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Test"));

    BuildSettingsPage();
    BuildTestPage();

    // Only the hidden diagnostic buttons write into this field.
    if (FEdition.HasDiagnosticButtons) {
        Edit2 = new QLineEdit(this);
        Edit2->setObjectName(QStringLiteral("Edit2"));
        Edit2->hide();
    }

    // Status bar: four fixed panels, no size grip, never a temporary message.
    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    static constexpr std::array<int, 4> kPanelWidths{130, 103, 55, 200};
    // The panels keep their fixed widths; a condensed 8-point face lets
    // "Configuration Mode" and "Ver: 3.00" fit them whole.
    QFont panelFont = font();
    panelFont.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
                           QStringLiteral("Nimbus Sans Narrow"), panelFont.family()});
    panelFont.setPointSize(8);
    for (size_t i = 0; i < StatusPanels.size(); ++i) {
        auto *panel = new QLabel(status);
        panel->setFont(panelFont);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setTextFormat(Qt::PlainText);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(1, 0, 1, 0);
        panel->setFixedWidth(kPanelWidths[i]);
        status->addWidget(panel);
        StatusPanels[i] = panel;
    }
    StatusPanels[3]->setText(FEdition.MakerNoticePrefix + QStringLiteral("Veskora") +
                             FEdition.MakerNoticeSuffix);
    setStatusBar(status);
    StatusBar1 = status;

    PageControl1->setCurrentIndex(FEdition.StartPage);

    // The window keeps the size its contents need.
    if (QLayout *l = layout())
        l->activate();
    setFixedSize(sizeHint());
}

void TMainForm::BuildToolBarAndMenus()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(36, 36));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // No menu that could hide the tool bar.
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    const auto toolButton = [this](const char *name, const QString &caption, const char *image) {
        auto *button = new QToolButton(ToolBar1);
        button->setObjectName(QLatin1String(name));
        button->setText(caption);
        button->setIcon(QIcon(QStringLiteral(":/veltaro/toolbar/") + QLatin1String(image)));
        button->setIconSize(QSize(36, 36));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setMinimumWidth(64);
        return std::pair{button, ToolBar1->addWidget(button)};
    };
    ConnectToolButton = toolButton("ConnectToolButton", QStringLiteral("Connect"), "connect.png").first;
    DisconnectToolButton =
        toolButton("DisconnectToolButton", QStringLiteral("Disconnect"), "disconnect.png").first;
    DisconnectToolButton->setEnabled(false);
    auto [settingButton, settingAction] =
        toolButton("SettingToolButton", QStringLiteral("Settings..."), "settings.png");
    SettingToolButton = settingButton;
    settingAction->setVisible(false); // a tool bar shows or hides its widgets through their actions
    QuitToolButton = toolButton("QuitToolButton", QStringLiteral("Exit"), "exit.png").first;
    AboutToolButton = toolButton("AboutToolButton", QStringLiteral("About"), "about.png").first;

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->setNativeMenuBar(false);
    setMenuBar(MainMenu1);

    const auto menu = [this](const char *name, const QString &caption) {
        QMenu *m = MainMenu1->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        m->setFont(font());
        return m;
    };
    const auto item = [this](QMenu *m, const char *name, const QString &caption,
                             const QKeySequence &shortcut = {}) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        m->addAction(action);
        return action;
    };

    F1 = menu("F1", QStringLiteral("&File"));
    Exit1 = item(F1, "Exit1", QStringLiteral("&Exit"));
    A1 = menu("A1", QStringLiteral("&Actions"));
    Connect1 = item(A1, "Connect1", QStringLiteral("&Connect"), QKeySequence(Qt::Key_F2));
    Disconnect1 = item(A1, "Disconnect1", QStringLiteral("&Disconnect"), QKeySequence(Qt::Key_F3));
    Options1 = menu("Options1", QStringLiteral("&Options"));
    SerialIOsettings1 = item(Options1, "SerialIOsettings1", QStringLiteral("&Serial I/O settings..."),
                             QKeySequence(Qt::Key_F5));
    Options1->menuAction()->setVisible(false);
    Help1 = menu("Help1", QStringLiteral("&Help"));
    About1 = item(Help1, "About1", QStringLiteral("About"));

    // F2 and F3 answer whenever the window is active, whatever the tool
    // buttons' state and without the menu being open.
    addAction(Connect1);
    addAction(Disconnect1);
}

void TMainForm::BuildSettingsPage()
{
    auto *page = new QGridLayout(TabSheet1);
    page->setContentsMargins(8, 8, 8, 8);
    page->setHorizontalSpacing(10);
    page->setVerticalSpacing(10);

    // ---- RS-232 group ----
    RS232GroupBox = MakeGroup(TabSheet1, "RS232GroupBox", QStringLiteral("RS-232  Parameters"));
    auto *rs = new QGridLayout(RS232GroupBox);
    rs->setHorizontalSpacing(8);
    rs->setVerticalSpacing(8);
    const QStringList rs232Bauds =
        FEdition.FixedRs232Bauds.isEmpty() ? QStringList{QString()} : FEdition.FixedRs232Bauds;
    struct Rs232Row {
        const char *label;
        const char *caption;
        QComboBox **box;
        const char *boxName;
        QStringList items;
        const char *unitLabel;
        const char *unit;
    };
    const Rs232Row rows[] = {
        {"Label1", "RS-232 Baudrate", &RS232BaudrateComboBox, "RS232BaudrateComboBox", rs232Bauds,
         "Label2", "bit/sec"},
        {"Label3", "Data Bit", &RS232DataBitComboBox, "RS232DataBitComboBox",
         protocol::DataBitItems(), "Label4", "bit"},
        {"Label5", "Stop Bit", &RS232StopBitComboBox, "RS232StopBitComboBox",
         protocol::StopBitItems(), "Label6", "bit"},
        {"Label7", "Parity", &RS232ParityComboBox, "RS232ParityComboBox", protocol::ParityItems(),
         "Label8", "bit"},
        {"Label9", "Add Checksum", &RS232ChecksumComboBox, "RS232ChecksumComboBox",
         protocol::NoYesItems(), nullptr, nullptr},
        {"Label10", "Error Response", &RS232RespondComboBox, "RS232RespondComboBox",
         protocol::NoYesItems(), nullptr, nullptr},
    };
    const int comboWidth = FieldWidth(RS232GroupBox, 7) + 24;
    int r = 0;
    for (const Rs232Row &row : rows) {
        QLabel *caption = MakeLabel(RS232GroupBox, row.label, QLatin1String(row.caption));
        QComboBox *box = MakeEditableList(RS232GroupBox, row.boxName, row.items);
        box->setFixedWidth(comboWidth);
        *row.box = box;
        Caption(caption, box);
        rs->addWidget(caption, r, 0);
        rs->addWidget(box, r, 1);
        if (row.unitLabel != nullptr)
            rs->addWidget(MakeLabel(RS232GroupBox, row.unitLabel, QLatin1String(row.unit)), r, 2);
        ++r;
    }
    rs->setColumnMinimumWidth(2, QFontMetrics(font()).horizontalAdvance(QStringLiteral("bit/sec")));
    rs->setRowStretch(r, 1);

    // ---- CAN group ----
    CANGroupBox = MakeGroup(TabSheet1, "CANGroupBox", QStringLiteral("CAN Parameters"));
    auto *canRow = new QHBoxLayout(CANGroupBox);
    canRow->setSpacing(12);
    auto *can = new QGridLayout;
    can->setHorizontalSpacing(8);
    can->setVerticalSpacing(8);
    canRow->addLayout(can);

    const int hex8Width = FieldWidth(CANGroupBox, 8);
    const auto canField = [&](int row, QLabel *caption, QWidget *field, const char *unitName,
                              const char *unit) {
        Caption(caption, field);
        can->addWidget(caption, row, 0);
        can->addWidget(field, row, 1);
        if (unitName != nullptr)
            can->addWidget(MakeLabel(CANGroupBox, unitName, QLatin1String(unit)), row, 2);
    };

    CANSpecificationComboBox =
        MakeEditableList(CANGroupBox, "CANSpecificationComboBox", protocol::CanSpecItems());
    CANSpecificationComboBox->setFixedWidth(comboWidth);
    canField(0, MakeLabel(CANGroupBox, "Label11", QStringLiteral("CAN Specification")),
             CANSpecificationComboBox, nullptr, nullptr);

    CANBaudrateComboBox = MakeEditableList(CANGroupBox, "CANBaudrateComboBox",
                                           protocol::CanBaudItems(FEdition.HasUserDefinedTiming));
    CANBaudrateComboBox->setFixedWidth(comboWidth);
    canField(1, MakeLabel(CANGroupBox, "Label12", QStringLiteral("CAN bus Baudrate")),
             CANBaudrateComboBox, "Label13", "bit/sec");

    CanCodeEdit = MakeNumber(CANGroupBox, "CanCodeEdit", neHex, 8, true, QStringLiteral("00000000"));
    CanCodeEdit->setFixedWidth(hex8Width);
    canField(2, MakeLabel(CANGroupBox, "Label14", QStringLiteral("Acceptance Code")), CanCodeEdit,
             "Label17", "(Hex)");

    CanMaskEdit = MakeNumber(CANGroupBox, "CanMaskEdit", neHex, 8, true, QStringLiteral("00000000"));
    CanMaskEdit->setFixedWidth(hex8Width);
    canField(3, MakeLabel(CANGroupBox, "Label15", QStringLiteral("Acceptance Mask")), CanMaskEdit,
             "Label18", "(Hex)");

    ChkBox_Pair = MakeCheck(CANGroupBox, "ChkBox_Pair", QStringLiteral("  Pair Connection"));
    can->addWidget(ChkBox_Pair, 4, 0, 1, 3);

    // The hidden check box sits just left of its caption.
    ChkBox_TxCANID = MakeCheck(CANGroupBox, "ChkBox_TxCANID", QString());
    ChkBox_TxCANID->hide();
    Label31 = MakeLabel(CANGroupBox, "Label31", QStringLiteral("Fixed Tx CAN ID"));
    auto *txIdCaption = new QHBoxLayout;
    txIdCaption->setSpacing(2);
    txIdCaption->addWidget(ChkBox_TxCANID);
    txIdCaption->addWidget(Label31, 1);
    CANIDEdit = MakeNumber(CANGroupBox, "CANIDEdit", neHex, 8, true, QStringLiteral("00000001"));
    CANIDEdit->setFixedWidth(hex8Width);
    Caption(Label31, CANIDEdit);
    Label33 = MakeLabel(CANGroupBox, "Label33", QStringLiteral("(Hex)"));
    can->addLayout(txIdCaption, 5, 0);
    can->addWidget(CANIDEdit, 5, 1);
    can->addWidget(Label33, 5, 2);

    GroupBox2 = MakeGroup(CANGroupBox, "GroupBox2", QStringLiteral("End of RS-232 Command"));
    auto *endCmd = new QGridLayout(GroupBox2);
    endCmd->setHorizontalSpacing(14);
    EndCmdRB1 = MakeRadio(GroupBox2, "EndCmdRB1", QStringLiteral("None"));
    EndCmdRB2 = MakeRadio(GroupBox2, "EndCmdRB2", QStringLiteral("CR"));
    EndCmdRB3 = MakeRadio(GroupBox2, "EndCmdRB3", QStringLiteral("LF"));
    EndCmdRB4 = MakeRadio(GroupBox2, "EndCmdRB4", QStringLiteral("CR_LF"));
    EndCmdRB5 = MakeRadio(GroupBox2, "EndCmdRB5", QStringLiteral("LF_CR"));
    EndCmdRB1->setChecked(true);
    endCmd->addWidget(EndCmdRB1, 0, 0);
    endCmd->addWidget(EndCmdRB2, 0, 1);
    endCmd->addWidget(EndCmdRB3, 0, 2);
    endCmd->addWidget(EndCmdRB4, 1, 0);
    endCmd->addWidget(EndCmdRB5, 1, 1);
    can->addWidget(GroupBox2, 6, 0, 1, 3);

    ChkBox_RespWCANID =
        MakeCheck(CANGroupBox, "ChkBox_RespWCANID", QStringLiteral("  Response with CAN ID"));
    can->addWidget(ChkBox_RespWCANID, 7, 0, 1, 3);
    can->setRowStretch(8, 1);
    can->setColumnStretch(3, 1);

    // ---- user-defined bit timing (right column of the CAN group) ----
    if (FEdition.HasUserDefinedTiming) {
        GroupBox3 = MakeGroup(CANGroupBox, "GroupBox3", QStringLiteral("User-defined CAN baud rate"));
        auto *bt = new QGridLayout(GroupBox3);
        bt->setHorizontalSpacing(8);
        bt->setVerticalSpacing(8);
        const auto btRow = [&](int row, const char *labelName, const QString &caption,
                               TNumberEdit *field, const char *unitName, const QString &unit) {
            QLabel *label = MakeLabel(GroupBox3, labelName, caption);
            Caption(label, field);
            field->setFixedWidth(FieldWidth(GroupBox3, 3));
            bt->addWidget(label, row, 0);
            bt->addWidget(field, row, 1);
            bt->addWidget(MakeLabel(GroupBox3, unitName, unit), row, 2);
        };
        ClockModeEdit = MakeNumber(GroupBox3, "ClockModeEdit", neHex, 1, true, QStringLiteral("0"));
        btRow(0, "Label35", QStringLiteral("Clock Mode"), ClockModeEdit, "Label43",
              QStringLiteral("(Hex)"));
        QLabel *note =
            MakeLabel(GroupBox3, "Label40", QStringLiteral("Note: CAN baud rate < 12K, Clock Mode = 0."));
        note->setWordWrap(true);
        // Two lines at the column's width.
        note->setFixedWidth(QFontMetrics(font()).horizontalAdvance(
                                QStringLiteral("Note: CAN baud rate < 12K,")) + 8);
        bt->addWidget(note, 1, 0, 1, 3);
        BT1Edit = MakeNumber(GroupBox3, "BT1Edit", neHex, 2, true, QStringLiteral("00"));
        btRow(2, "Label36", QStringLiteral("Bit Timing 1"), BT1Edit, "Label42", QStringLiteral("(Hex)"));
        BT2Edit = MakeNumber(GroupBox3, "BT2Edit", neHex, 2, true, QStringLiteral("00"));
        btRow(3, "Label37", QStringLiteral("Bit Timing 2"), BT2Edit, "Label41", QStringLiteral("(Hex)"));
        BT3Edit = MakeNumber(GroupBox3, "BT3Edit", neHex, 2, true, QStringLiteral("00"));
        btRow(4, "Label39", QStringLiteral("Bit Timing 3"), BT3Edit, "Label38", QStringLiteral("(Hex)"));
        CalculateBtn = MakeButton(GroupBox3, "CalculateBtn", QStringLiteral("Calculate"));
        bt->addWidget(CalculateBtn, 5, 0, 1, 3, Qt::AlignHCenter);
        BREdit1 = MakeNumber(GroupBox3, "BREdit1", neHex, 3, true, QStringLiteral("0"));
        BREdit1->setLayoutDirection(Qt::LeftToRight);
        BREdit1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        btRow(6, "Label32", QStringLiteral("baud rate"), BREdit1, "Label34", QStringLiteral("K bit/sec"));
        BREdit1->setFixedWidth(FieldWidth(GroupBox3, 6)); // shows a computed rate such as 125.00
        bt->setRowStretch(7, 1);
        canRow->addWidget(GroupBox3, 0, Qt::AlignTop);
    }

    page->addWidget(RS232GroupBox, 0, 0);
    page->addWidget(CANGroupBox, 0, 1);

    SettingButton = MakeButton(TabSheet1, "SettingButton", QStringLiteral("Setting"), "setting.png");
    DefaultButton = MakeButton(TabSheet1, "DefaultButton", QStringLiteral("Defaults"), "defaults.png");
    SettingButton->setMinimumWidth(90);
    DefaultButton->setMinimumWidth(90);
    // "Setting" centred under both groups, "Defaults" under the RS-232 group.
    page->addWidget(SettingButton, 1, 0, 1, 2, Qt::AlignHCenter);
    page->addWidget(DefaultButton, 1, 0, Qt::AlignHCenter);

    if (FEdition.HasDiagnosticButtons) {
        Button1 = MakeButton(TabSheet1, "Button1", QStringLiteral("Button1"));
        Button2 = MakeButton(TabSheet1, "Button2", QStringLiteral("Button2"));
        Button1->hide();
        Button2->hide();
    }
    page->setRowStretch(2, 1);

    Chain({RS232BaudrateComboBox, RS232DataBitComboBox, RS232StopBitComboBox, RS232ParityComboBox,
           RS232ChecksumComboBox, RS232RespondComboBox, CANSpecificationComboBox, CANBaudrateComboBox,
           CanCodeEdit, CanMaskEdit, ChkBox_Pair, CANIDEdit, EndCmdRB1, EndCmdRB2, EndCmdRB3,
           EndCmdRB4, EndCmdRB5, ChkBox_TxCANID, ChkBox_RespWCANID, BREdit1, ClockModeEdit, BT1Edit,
           BT2Edit, BT3Edit, CalculateBtn, SettingButton, DefaultButton, Button1, Button2});
}

void TMainForm::BuildTestPage()
{
    auto *page = new QHBoxLayout(TabSheet2);
    page->setContentsMargins(8, 8, 8, 8);
    page->setSpacing(12);

    // ---- left half: the message and what to send ----
    auto *left = new QVBoxLayout;
    left->setSpacing(8);
    page->addLayout(left, 1);

    GroupBox1 = MakeGroup(TabSheet2, "GroupBox1", QStringLiteral("CAN Message"));
    auto *msg = new QVBoxLayout(GroupBox1);
    msg->setSpacing(8);
    auto *header = new QGridLayout;
    header->setHorizontalSpacing(8);
    header->setVerticalSpacing(2);
    auto *data = new QGridLayout;
    data->setHorizontalSpacing(6);
    data->setVerticalSpacing(2);
    msg->addLayout(header);
    msg->addLayout(data);

    const int oneChar = FieldWidth(GroupBox1, 1) + 4;
    const int twoChars = FieldWidth(GroupBox1, 2) + 4;
    const auto above = [&](QGridLayout *grid, int column, const char *labelName, const QString &caption,
                           TNumberEdit *field, int width) {
        QLabel *label = MakeLabel(GroupBox1, labelName, caption);
        Caption(label, field);
        field->setFixedWidth(width);
        grid->addWidget(label, 0, column, Qt::AlignLeft | Qt::AlignBottom);
        grid->addWidget(field, 1, column, Qt::AlignLeft);
    };
    IDEdit = MakeNumber(GroupBox1, "IDEdit", neHex, 3, true, QStringLiteral("0"));
    above(header, 0, "Label16", QStringLiteral("ID(Hex)"), IDEdit, FieldWidth(GroupBox1, 8));
    ModeEdit = MakeNumber(GroupBox1, "ModeEdit", neBin, 1, false, QStringLiteral("0"));
    above(header, 1, "Label20", QStringLiteral("MODE"), ModeEdit, oneChar);
    RTREdit = MakeNumber(GroupBox1, "RTREdit", neBin, 1, false, QStringLiteral("0"));
    above(header, 2, "Label19", QStringLiteral("RTR"), RTREdit, oneChar);
    DLCEdit = MakeNumber(GroupBox1, "DLCEdit", neDec, 1, false, QStringLiteral("0"), 8);
    above(header, 3, "Label21", QStringLiteral("DLC"), DLCEdit, oneChar);
    header->setColumnStretch(4, 1);

    TNumberEdit **dataFields[] = {&D1Edit, &D2Edit, &D3Edit, &D4Edit,
                                  &D5Edit, &D6Edit, &D7Edit, &D8Edit};
    for (int i = 0; i < 8; ++i) {
        const QByteArray name = "D" + QByteArray::number(i + 1) + "Edit";
        const QByteArray labelName = "Label" + QByteArray::number(22 + i);
        *dataFields[i] = MakeNumber(GroupBox1, name.constData(), neHex, 2, true, QStringLiteral("0"));
        above(data, i, labelName.constData(), QStringLiteral("D%1").arg(i + 1), *dataFields[i], twoChars);
    }
    data->setColumnStretch(8, 1);
    left->addWidget(GroupBox1);

    auto *useRow = new QHBoxLayout;
    useRow->setSpacing(6);
    CANCheckBox = MakeCheck(TabSheet2, "CANCheckBox", QStringLiteral("Use CAN Message"));
    QLabel *intervalLabel = MakeLabel(TabSheet2, "Label30", QStringLiteral("Interval"));
    IntervalEdit = MakeNumber(TabSheet2, "IntervalEdit", neDec, 5, false, QStringLiteral("500"));
    IntervalEdit->setFixedWidth(FieldWidth(TabSheet2, 6));
    Caption(intervalLabel, IntervalEdit);
    SetBitBtn = MakeButton(TabSheet2, "SetBitBtn", QStringLiteral("Set"));
    useRow->addWidget(CANCheckBox);
    useRow->addStretch(1);
    useRow->addWidget(intervalLabel);
    useRow->addWidget(IntervalEdit);
    useRow->addWidget(SetBitBtn);
    left->addLayout(useRow);

    SendEdit = new QLineEdit(TabSheet2);
    SendEdit->setObjectName(QStringLiteral("SendEdit"));
    SendEdit->setAccessibleName(QStringLiteral("Send text"));
    left->addWidget(SendEdit);

    auto *sendRow = new QHBoxLayout;
    sendRow->setSpacing(6);
    AutoBitBtn = MakeButton(TabSheet2, "AutoBitBtn", QStringLiteral("Auto"), "auto.png");
    StopBitBtn = MakeButton(TabSheet2, "StopBitBtn", QStringLiteral("Stop"), "stop.png");
    SendBitBtn = MakeButton(TabSheet2, "SendBitBtn", QStringLiteral("Send"), "send.png");
    sendRow->addWidget(AutoBitBtn);
    sendRow->addWidget(StopBitBtn);
    sendRow->addStretch(1);
    sendRow->addWidget(SendBitBtn);
    left->addLayout(sendRow);
    left->addStretch(1);

    // ---- right half: the received lines ----
    auto *right = new QVBoxLayout;
    right->setSpacing(4);
    page->addLayout(right, 1);
    ReceiveLabel = MakeLabel(TabSheet2, "ReceiveLabel", QStringLiteral("Receive"));
    ReceiveListBox = new QTableView(TabSheet2);
    ReceiveListBox->setObjectName(QStringLiteral("ReceiveListBox"));
    ConfigureAsList(ReceiveListBox);
    ReceiveList = new ReceiveListModel(this);
    ReceiveList->setObjectName(QStringLiteral("ReceiveList"));
    ReceiveListBox->setModel(ReceiveList);
    Caption(ReceiveLabel, ReceiveListBox);
    right->addWidget(ReceiveLabel);
    right->addWidget(ReceiveListBox, 1);

    auto *listRow = new QHBoxLayout;
    listRow->setSpacing(6);
    ClearBitBtn = MakeButton(TabSheet2, "ClearBitBtn", QStringLiteral("Clear"), "clear.png");
    SaveBitBtn = MakeButton(TabSheet2, "SaveBitBtn", QStringLiteral("Save"), "save.png");
    ReceiveBitBtn = MakeButton(TabSheet2, "ReceiveBitBtn", QStringLiteral("Start"), "receive.png");
    listRow->addWidget(ClearBitBtn);
    listRow->addWidget(SaveBitBtn);
    listRow->addWidget(ReceiveBitBtn);
    listRow->addStretch(1);
    right->addLayout(listRow);

    Chain({ReceiveListBox, ClearBitBtn, IDEdit, ModeEdit, RTREdit, DLCEdit, D1Edit, D2Edit, D3Edit,
           D4Edit, D5Edit, D6Edit, D7Edit, D8Edit, CANCheckBox, SendEdit, AutoBitBtn, StopBitBtn,
           SendBitBtn, SetBitBtn, IntervalEdit, SaveBitBtn, ReceiveBitBtn});
}

void TMainForm::ConnectHandlers()
{
    // Every entry from Qt into a handler is guarded: an error ends the
    // handler and is reported, and never unwinds through Qt.
    const auto guarded = [this](void (TMainForm::*handler)()) {
        return [this, handler] { Guarded([this, handler] { (this->*handler)(); }); };
    };
    const auto onClick = [&](QAbstractButton *button, void (TMainForm::*handler)()) {
        if (button != nullptr)
            connect(button, &QAbstractButton::clicked, this, guarded(handler));
    };
    const auto onTrigger = [&](QAction *action, void (TMainForm::*handler)()) {
        connect(action, &QAction::triggered, this, guarded(handler));
    };
    // Check boxes: a change made by code runs the handler too.
    const auto onToggle = [&](QAbstractButton *box, void (TMainForm::*handler)()) {
        connect(box, &QAbstractButton::toggled, this, guarded(handler));
    };
    // Radio buttons: the handler runs when the button becomes checked.
    const auto onChecked = [&](QRadioButton *button, void (TMainForm::*handler)()) {
        connect(button, &QAbstractButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                Guarded([this, handler] { (this->*handler)(); });
        });
    };
    // Combo boxes: user choices only; setting an index from code runs nothing.
    const auto onActivated = [&](QComboBox *box, void (TMainForm::*handler)()) {
        connect(box, &QComboBox::activated, this, guarded(handler));
    };
    const auto onChange = [this](TNumberEdit *field, void (TMainForm::*handler)()) {
        field->OnChange = [this, handler](TNumberEdit *) {
            Guarded([this, handler] { (this->*handler)(); });
        };
    };

    onClick(ConnectToolButton, &TMainForm::ConnectToolButtonClick);
    onClick(DisconnectToolButton, &TMainForm::DisconnectToolButtonClick);
    onClick(SettingToolButton, &TMainForm::SettingToolButtonClick);
    onClick(QuitToolButton, &TMainForm::QuitToolButtonClick);
    onClick(AboutToolButton, &TMainForm::AboutToolButtonClick);
    onTrigger(Exit1, &TMainForm::QuitToolButtonClick);
    onTrigger(Connect1, &TMainForm::ConnectToolButtonClick);
    onTrigger(Disconnect1, &TMainForm::DisconnectToolButtonClick);
    onTrigger(SerialIOsettings1, &TMainForm::SettingToolButtonClick);
    onTrigger(About1, &TMainForm::AboutToolButtonClick);

    onActivated(CANSpecificationComboBox, &TMainForm::CANSpecificationComboBoxChange);
    if (FEdition.HasUserDefinedTiming)
        onActivated(CANBaudrateComboBox, &TMainForm::CANBaudrateComboBoxChange);
    onToggle(ChkBox_Pair, &TMainForm::ChkBox_PairClick);
    onToggle(ChkBox_TxCANID, &TMainForm::ChkBox_TxCANIDClick);
    onChecked(EndCmdRB1, &TMainForm::EndCmdRB1Click);
    onChecked(EndCmdRB2, &TMainForm::EndCmdRB2Click);
    onChecked(EndCmdRB3, &TMainForm::EndCmdRB3Click);
    onChecked(EndCmdRB4, &TMainForm::EndCmdRB4Click);
    onChecked(EndCmdRB5, &TMainForm::EndCmdRB5Click);
    onClick(CalculateBtn, &TMainForm::CalculateBtnClick);
    onClick(SettingButton, &TMainForm::SettingButtonClick);
    onClick(DefaultButton, &TMainForm::DefaultButtonClick);
    onClick(Button1, &TMainForm::Button1Click);
    onClick(Button2, &TMainForm::Button2Click);

    onToggle(CANCheckBox, &TMainForm::CANCheckBoxClick);
    onChange(ModeEdit, &TMainForm::ModeEditChange);
    onChange(RTREdit, &TMainForm::RTREditChange);
    onChange(DLCEdit, &TMainForm::DLCEditChange);
    onChange(IntervalEdit, &TMainForm::IntervalEditChange);
    onClick(ClearBitBtn, &TMainForm::ClearBitBtnClick);
    onClick(SaveBitBtn, &TMainForm::SaveBitBtnClick);
    onClick(ReceiveBitBtn, &TMainForm::ReceiveBitBtnClick);
    onClick(AutoBitBtn, &TMainForm::AutoBitBtnClick);
    onClick(StopBitBtn, &TMainForm::StopBitBtnClick);
    onClick(SendBitBtn, &TMainForm::SendBitBtnClick);
    onClick(SetBitBtn, &TMainForm::SetBitBtnClick);

    connect(Timer2, &QTimer::timeout, this, guarded(&TMainForm::Timer2Timer));
}
