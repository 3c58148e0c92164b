#pragma once
// TAboutBoxForm: the borderless About panel with a snapshot of the main
// window's state. Any click on any part of it, or any key, dismisses it.
#include <QDialog>


#include <array>

class QLabel;
class TMainForm;

class TAboutBoxForm : public QDialog {
    Q_OBJECT
public:
    // The ordinary constructor: FModal stays false (the hidden start-up instance).
    explicit TAboutBoxForm(TMainForm *owner);
    // The About command's constructor.
    TAboutBoxForm(TMainForm *owner, bool modal);

    bool FModal = false;
    bool FCloseRequested = false;

    QLabel *Label2 = nullptr;              // title
    QLabel *UtilityVersionLabel = nullptr;
    QLabel *ConnectLabel = nullptr;
    QLabel *FirmwareVersionLabel = nullptr;
    QLabel *ExecutionLabel = nullptr;
    QLabel *Label6 = nullptr;              // model list, or "Converter"
    QLabel *Label3 = nullptr;              // "RS-232 to CAN " (single-model edition)
    QLabel *Label5 = nullptr;              // maker notice
    QLabel *Image1 = nullptr;              // 34 x 55 picture
    QLabel *Image2 = nullptr;              // 118 x 88 picture

    void FormCreate();
    void Panel1Click();
    void FormKeyDown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override; // a click ends on release

private:
    void Build();
    void LayOutStatusRows(); // places the value labels once their texts are set
    TMainForm *FOwner;
    std::array<QLabel *, 3> FStatusCaptions{}; // Label7, Label8, StatusLabel
};
