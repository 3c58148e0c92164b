#pragma once
// TSettingsForm: the modal connection settings dialog (port, module baud
// rate, timeout, pair-connection test). Ok writes into the main window's
// ComPort and raises its connect request.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TMainForm;

class TSettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TSettingsForm(TMainForm *owner);

    QGroupBox *GroupBox1 = nullptr;
    QComboBox *PortComboBox = nullptr;
    QComboBox *R2416Baud = nullptr;
    QLabel *Label1 = nullptr;       // "COM Port"
    QLabel *Label4 = nullptr;       // "module's Baud" / "R-2416 Baud"
    QLabel *Label2 = nullptr;       // "Timeout"
    QLabel *Label3 = nullptr;       // "ms"
    QLineEdit *TimeOutEdit = nullptr;
    QCheckBox *PairCheckBox = nullptr;
    QLabel *DeviceLabel = nullptr;  // which device the chosen COM number opens
    QPushButton *OkButton = nullptr;
    QPushButton *CancelButton = nullptr;

    void FormCreate();
    void OkButtonClick();
    void CancelButtonClick();

protected:
    void reject() override;          // Esc and the close box
    void closeEvent(QCloseEvent *event) override;

private:
    void Build();
    void UpdateDeviceLabel();
    TMainForm *FOwner;
};
