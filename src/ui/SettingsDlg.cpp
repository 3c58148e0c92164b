#include "SettingsDlg.h"

#include "ComPortMap.h"
#include "ComboIndex.h"
#include "ControlFactory.h"
#include "HexText.h"
#include "MainUnit.h"
#include "MessageService.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSerialPortInfo>
#include <QVBoxLayout>


namespace {

constexpr int kPortCount = 32;
constexpr int kSettingsPage = 0;
constexpr int kFixedBaudIndex = 11; // "115200", the only rate of configuration mode
constexpr int kDeviceLabelWidth = 260;

// Blanks and control characters (codes up to 32) removed at both ends.
QString TrimBlanksAndControls(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QString CanonicalDevice(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

// What the device that COM number `port` opens is, in one line.
QString DescribeDevice(int port)
{
    if (port < 1)
        return QStringLiteral("No such COM port: connecting will fail.");
    const QString device = ComDeviceName(port);
    if (device.isEmpty())
        return QStringLiteral("COM%1 names no device.").arg(port);
    if (!QFileInfo::exists(device))
        return QStringLiteral("%1 does not exist.").arg(device);

    const QString canonical = CanonicalDevice(device);
    QString description;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        if (CanonicalDevice(info.systemLocation()) != canonical)
            continue;
        QStringList parts;
        if (!info.description().isEmpty())
            parts << info.description();
        if (!info.manufacturer().isEmpty() && !info.description().contains(info.manufacturer()))
            parts << info.manufacturer();
        description = parts.join(QStringLiteral(", "));
        break;
    }
    QString text = QStringLiteral("Opens %1").arg(device);
    if (canonical != QDir::cleanPath(device))
        text += QStringLiteral(" (%1)").arg(canonical);
    if (!description.isEmpty())
        text += QStringLiteral(": ") + description;
    return text;
}

// A label that is the caption of `field`.
QLabel *MakeCaption(const char *name, const QString &text, QWidget *field)
{
    QLabel *label = MakeLabel(nullptr, name, text);
    Caption(label, field);
    return label;
}

} // namespace

TSettingsForm::TSettingsForm(TMainForm *owner) : QDialog(owner), FOwner(owner)
{
    Build();
    FormCreate();
}

void TSettingsForm::Build()
{
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(QStringLiteral("Settings"));
    setModal(true);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    QStringList ports;
    for (int i = 1; i <= kPortCount; ++i)
        ports << QStringLiteral("COM%1").arg(i);
    PortComboBox = MakeEditableList(nullptr, "PortComboBox", ports);
    R2416Baud = MakeEditableList(nullptr, "R2416Baud", FOwner->EditionInfo().DialogBauds);

    TimeOutEdit = new QLineEdit;
    TimeOutEdit->setObjectName(QStringLiteral("TimeOutEdit"));
    TimeOutEdit->setMaxLength(6);

    PairCheckBox = new QCheckBox(QStringLiteral("PairConnection Test"));
    PairCheckBox->setObjectName(QStringLiteral("PairCheckBox"));

    Label1 = MakeCaption("Label1", QStringLiteral("COM Port"), PortComboBox);
    Label4 = MakeCaption("Label4", FOwner->EditionInfo().DialogBaudLabel, R2416Baud);
    Label2 = MakeCaption("Label2", QStringLiteral("Timeout"), TimeOutEdit);
    Label3 = MakeLabel(nullptr, "Label3", QStringLiteral("ms"));

    DeviceLabel = MakeLabel(nullptr, "DeviceLabel", QString());
    DeviceLabel->setFixedWidth(kDeviceLabelWidth);
    QFont small = DeviceLabel->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    DeviceLabel->setFont(small);

    GroupBox1 = new QGroupBox(QStringLiteral("PC's RS-232 Settings"));
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *grid = new QGridLayout(GroupBox1);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(PortComboBox, 0, 1, 1, 2);
    grid->addWidget(DeviceLabel, 1, 0, 1, 3);
    grid->addWidget(Label4, 2, 0);
    grid->addWidget(R2416Baud, 2, 1, 1, 2);
    grid->addWidget(Label2, 3, 0);
    grid->addWidget(TimeOutEdit, 3, 1);
    grid->addWidget(Label3, 3, 2);
    grid->addWidget(PairCheckBox, 4, 0, 1, 3);

    OkButton = new QPushButton(QStringLiteral("Ok"));
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);

    auto *main = new QVBoxLayout(this);
    main->addWidget(GroupBox1);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(OkButton, CancelButton);
    setTabOrder(CancelButton, PortComboBox);
    setTabOrder(PortComboBox, TimeOutEdit);
    setTabOrder(TimeOutEdit, R2416Baud);
    setTabOrder(R2416Baud, PairCheckBox);
    OkButton->setFocus();

    connect(OkButton, &QPushButton::clicked, this, [this] { Guarded([this] { OkButtonClick(); }); });
    connect(CancelButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { CancelButtonClick(); }); });
    connect(PortComboBox, &QComboBox::currentTextChanged, this,
            [this] { Guarded([this] { UpdateDeviceLabel(); }); });

    // Centred on the screen the main window is on.
    adjustSize();
    QScreen *screen = FOwner->screen() ? FOwner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->geometry().center() - rect().center());
}

void TSettingsForm::FormCreate()
{
    const int port = FOwner->ComPort.Port();
    SelectIndex(PortComboBox, port >= 1 && port <= kPortCount ? port - 1 : -1);
    TimeOutEdit->setText(QString::number(FOwner->ComPort.ResponseTime()));
    const bool settingsPage = FOwner->PageControl1 && FOwner->PageControl1->currentIndex() == kSettingsPage;
    if (settingsPage) {
        SelectIndex(R2416Baud, kFixedBaudIndex);
        R2416Baud->setEnabled(false);
    } else {
        SelectIndex(R2416Baud, FOwner->FBaudIndex);
        R2416Baud->setEnabled(true);
    }
    PairCheckBox->setChecked(false);
    UpdateDeviceLabel();
}

void TSettingsForm::OkButtonClick()
{
    if (TrimBlanksAndControls(PortComboBox->currentText()).isEmpty()) {
        ShowErrorTitled(QStringLiteral("Error"), QStringLiteral("Please, enter a valid port name."));
        return;
    }
    const int32_t timeout = protocol::DecTextToInt(TimeOutEdit->text());
    if (timeout < 0) {
        ShowErrorTitled(QStringLiteral("Error"), QStringLiteral("Please, enter a valid Timeout."));
        return;
    }
    FOwner->ComPort.SetPort(SelectedIndex(PortComboBox) + 1);
    FOwner->ComPort.SetResponseTime(static_cast<uint32_t>(timeout));
    FOwner->ComPort.SetBaud(protocol::DecTextToInt(R2416Baud->currentText()));
    FOwner->FConnectRequested = true;
    FOwner->FPairTestRequested = PairCheckBox->isChecked();
    accept();
}

void TSettingsForm::CancelButtonClick() { reject(); }

void TSettingsForm::reject()
{
    FOwner->FConnectRequested = false;
    QDialog::reject();
}

void TSettingsForm::closeEvent(QCloseEvent *event)
{
    FOwner->FConnectRequested = false;
    QDialog::closeEvent(event);
}

void TSettingsForm::UpdateDeviceLabel()
{
    const QString text = DescribeDevice(SelectedIndex(PortComboBox) + 1);
    // Device paths can be long: show what fits, the whole text as tip.
    DeviceLabel->setText(DeviceLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, kDeviceLabelWidth));
    DeviceLabel->setToolTip(text);
    PortComboBox->setAccessibleDescription(text);
}
