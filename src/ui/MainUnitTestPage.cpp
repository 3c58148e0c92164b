// The Test page: sending message lines or free text once or periodically,
// the receive loop that lists what the module sends, and the list's
// pause, clear and save commands.
#include "MainUnit.h"

#include "CanMessage.h"
#include "ConversionError.h"
#include "FileError.h"
#include "HexText.h"
#include "MessageService.h"
#include "ReceiveListModel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QThread>

#include <algorithm>
#include <optional>

namespace {

// While lines keep arriving, new entries are handed to the view at most this
// often: one row insertion and one scroll per batch instead of per line.
constexpr qint64 ShowBatchEveryMs = 30;
// Showing a batch may take at most about 1/ShowCostFactor of the time.
constexpr qint64 ShowCostFactor = 8;

// How long an idle turn waits when the port cannot be watched (a read is in
// progress further down the stack) before looking at the port again.
constexpr int NestedWakeMs = 100;

// Turns the port notifier off at the first event delivered after an idle
// wait, whatever woke it: the handlers that event runs (a Disconnect that
// closes the port, a box with its own event loop) then never poll a closed
// or unread port through it.
class DisarmOnFirstEvent : public QObject {
public:
    explicit DisarmOnFirstEvent(QSocketNotifier *notifier) : FNotifier(notifier)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~DisarmOnFirstEvent() override { Disarm(); }

    bool eventFilter(QObject *, QEvent *) override
    {
        Disarm();
        return false;
    }

private:
    void Disarm()
    {
        if (FDone)
            return;
        FDone = true;
        if (FNotifier)
            FNotifier->setEnabled(false);
        QCoreApplication::instance()->removeEventFilter(this);
    }

    QPointer<QSocketNotifier> FNotifier;
    bool FDone = false;
};

} // namespace

// ---------------------------------------------------------------- fields

void TMainForm::CANCheckBoxClick()
{
    const bool useMessage = CANCheckBox->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(IDEdit), static_cast<QWidget *>(RTREdit),
                       static_cast<QWidget *>(DLCEdit), static_cast<QWidget *>(ModeEdit)})
        w->setEnabled(useMessage);
    for (TNumberEdit *d : DataEdits())
        d->setEnabled(useMessage);
    SendEdit->setEnabled(!useMessage);
}

void TMainForm::ModeEditChange()
{
    if (!CANCheckBox->isChecked())
        return;
    if (ModeEdit->Value() == 1) {
        // Extended format: the limit first, so an empty field that fails to
        // convert is left with room for eight digits.
        IDEdit->SetMaxTypedLength(8);
        const int32_t id = protocol::HexTextToInt(IDEdit->text());
        IDEdit->setText(protocol::IntToHex(id, 8));
    } else {
        IDEdit->SetMaxTypedLength(3);
        const QString text = IDEdit->text();
        if (text.size() > 3)
            IDEdit->setText(text.right(3));
    }
}

void TMainForm::RTREditChange()
{
    if (!CANCheckBox->isChecked())
        return;
    if (RTREdit->Value() == 1) {
        for (TNumberEdit *d : DataEdits())
            d->setEnabled(false);
    } else {
        DLCEditChange();
    }
}

void TMainForm::DLCEditChange()
{
    if (!CANCheckBox->isChecked() || RTREdit->text() != QLatin1String("0"))
        return;
    const auto data = DataEdits();
    for (TNumberEdit *d : data)
        d->setEnabled(true);
    const int32_t dlc = DLCEdit->Value();
    for (int k = 1; k <= 8; ++k)
        if (k > dlc)
            data[static_cast<size_t>(k - 1)]->setEnabled(false);
}

// ---------------------------------------------------------------- sending

void TMainForm::SendBitBtnClick()
{
    if (CANCheckBox->isChecked()) {
        std::array<int32_t, 8> data{};
        const auto edits = DataEdits();
        for (size_t k = 0; k < edits.size(); ++k)
            data[k] = edits[k]->Value();
        // A conversion failure leaves here, before SendEdit changes.
        const QByteArray line = protocol::BuildCanMessageLine(IDEdit->text(), ModeEdit->text(),
                                                              RTREdit->text(), DLCEdit->text(), data);
        SendEdit->setText(QString::fromLatin1(line));
    }
    const QByteArray text = protocol::FreeTextBytes(SendEdit->text());
    if (ComPort.WriteString(protocol::OutgoingLine(text, FChecksumOn)))
        return;
    if (Timer2->isActive())
        StopBitBtnClick();
    if (ComPort.DeviceLost()) {
        // The device went away: one report of the loss, not a send failure.
        ReportDeviceLoss();
        return;
    }
    ShowError(QStringLiteral("Send Messages Failed!!!"));
}

void TMainForm::AutoBitBtnClick()
{
    Timer2->start();
    StopBitBtn->setEnabled(true);
    AutoBitBtn->setEnabled(false);
    SendBitBtn->setEnabled(false);
}

void TMainForm::StopBitBtnClick()
{
    Timer2->stop();
    StopBitBtn->setEnabled(false);
    AutoBitBtn->setEnabled(true);
    SendBitBtn->setEnabled(true);
}

void TMainForm::Timer2Timer()
{
    // Ticks keep coming while a box is open; while one tick's failure is
    // being shown, later ticks do nothing instead of stacking boxes.
    if (FSendErrorShowing)
        return;
    try {
        SendBitBtnClick();
    } catch (const ConversionError &e) {
        FSendErrorShowing = true;
        const auto showing = qScopeGuard([this] { FSendErrorShowing = false; });
        ReportError(e);
    }
}

void TMainForm::IntervalEditChange()
{
    SetBitBtn->setEnabled(true);
}

void TMainForm::SetBitBtnClick()
{
    int interval = 500;
    try {
        interval = protocol::DecTextToInt(IntervalEdit->text());
    } catch (const ConversionError &) {
        ShowWarning(QStringLiteral("Please input a numerical value!"));
        interval = 500;
    }
    if (interval <= 0) // only 0 can be typed; nothing below 1 ms is a period
        interval = 500;
    IntervalEdit->setText(QString::number(interval));
    SetAutoSendInterval(interval);
    SetBitBtn->setEnabled(false);
}

void TMainForm::SetAutoSendInterval(int ms)
{
    // setInterval restarts a running timer even for the same value.
    if (Timer2->interval() != ms)
        Timer2->setInterval(ms);
}

// ---------------------------------------------------------------- the list

void TMainForm::ReceiveBitBtnClick()
{
    if (FDisplayReceived) {
        ReceiveBitBtn->setText(QStringLiteral("Start"));
        FDisplayReceived = false;
    } else {
        ReceiveBitBtn->setText(QStringLiteral("Stop"));
        FDisplayReceived = true;
    }
}

void TMainForm::ClearBitBtnClick()
{
    ReceiveList->Clear();
}

void TMainForm::SaveBitBtnClick()
{
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("Receive.txt"));
    const auto cannot = [&path](const QString &what, const QString &reason) {
        return FileError(QStringLiteral("Cannot %1 file \"%2\". %3")
                             .arg(what, QDir::toNativeSeparators(path), reason));
    };

    // Opening the file itself for writing (without truncating it) gives the
    // system's own reason when it cannot be created or replaced, before
    // anything is touched.
    const bool existed = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
            throw cannot(QStringLiteral("create"), probe.errorString());
    }
    auto removeProbe = qScopeGuard([&] {
        if (!existed)
            QFile::remove(path);
    });

    // The contents go to a temporary file that replaces the old one only when
    // complete, so a failed write never leaves a cut-off list behind; where
    // no temporary file can be made beside it, the file is written in place.
    const QByteArray image = ReceiveList->SaveImage();
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw cannot(QStringLiteral("create"), file.errorString());
    if (file.write(image) != image.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw cannot(QStringLiteral("write"), reason);
    }
    if (!file.commit())
        throw cannot(QStringLiteral("write"), file.errorString());
    removeProbe.dismiss();
}

// ---------------------------------------------------------------- the loop

bool TMainForm::ReceiveLoopCondition() const
{
    return FConnected && (FModuleMode == mmOperation || FModuleMode == mmPairTest) && !Closing();
}

void TMainForm::EnsurePortNotifier()
{
    const int handle = ComPort.Handle();
    if (FPortNotifier && FPortNotifier->socket() == handle)
        return;
    delete FPortNotifier;
    FPortNotifier = nullptr;
    if (handle < 0)
        return;
    FPortNotifier = new QSocketNotifier(handle, QSocketNotifier::Read, this);
    FPortNotifier->setEnabled(false);
    // One wake-up per wait: it is enabled only while the loop waits, and a
    // notification that arrives while a modal box runs its own event loop
    // (bytes waiting, or a hung-up device that stays readable) must not
    // fire again and again until the loop looks at the port.
    QSocketNotifier *notifier = FPortNotifier;
    connect(notifier, &QSocketNotifier::activated, notifier, [notifier] { notifier->setEnabled(false); });
}

void TMainForm::WaitForEventsOrPort(bool watchPort, int wakeAfterMs)
{
    std::optional<DisarmOnFirstEvent> disarm;
    if (watchPort) {
        EnsurePortNotifier();
        if (FPortNotifier) {
            FPortNotifier->setEnabled(true);
            disarm.emplace(FPortNotifier);
        }
    }
    if (wakeAfterMs >= 0) {
        if (!FLoopWakeTimer) {
            FLoopWakeTimer = new QTimer(this);
            FLoopWakeTimer->setSingleShot(true);
        }
        FLoopWakeTimer->start(wakeAfterMs);
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (FPortNotifier)
        FPortNotifier->setEnabled(false);
    if (FLoopWakeTimer)
        FLoopWakeTimer->stop();
}

void TMainForm::ShowNewEntries()
{
    if (ReceiveList->Flush())
        ReceiveListBox->scrollToBottom();
}

void TMainForm::ReportDeviceLoss()
{
    if (FPortNotifier)
        FPortNotifier->setEnabled(false);
    ShowNewEntries();
    if (Timer2->isActive())
        StopBitBtnClick();
    if (FConnected)
        HandleDeviceLost();
}

void TMainForm::ReceiveLoop()
{
    ++FReceiveLoopDepth;
    const auto leave = qScopeGuard([this] {
        ShowNewEntries();
        if (--FReceiveLoopDepth == 0) {
            delete FPortNotifier;
            FPortNotifier = nullptr;
        }
    });
    // New entries are shown at most every `showEveryMs`, one row insertion
    // and one scroll per batch; should showing ever get expensive (a slow
    // display, say), the interval grows with its cost, keeping the window
    // responsive.
    QElapsedTimer sinceShown;
    sinceShown.start();
    qint64 showEveryMs = ShowBatchEveryMs;
    const auto showDue = [&] {
        if (!ReceiveList->HasUnshown() || sinceShown.elapsed() < showEveryMs)
            return;
        QElapsedTimer cost;
        cost.start();
        ShowNewEntries();
        showEveryMs = std::max(ShowBatchEveryMs, cost.elapsed() * ShowCostFactor);
        sinceShown.restart();
    };

    while (ReceiveLoopCondition()) {
        if (ComPort.DeviceLost()) {
            ReportDeviceLoss();
            continue; // the connection has ended: the condition fails
        }
        if (ComPort.InCount() > 0) {
            if (ComPort.InUse()) {
                // A read further down the stack owns the port; a read here
                // would be refused. Wait for events rather than poll.
                ShowNewEntries();
                WaitForEventsOrPort(false, NestedWakeMs);
                continue;
            }
            LastResponse.clear();
            LastResponse = ComPort.ReadResponse();
            if (LastResponse.isEmpty())
                QThread::msleep(1); // bytes were counted but none came
            else if (FDisplayReceived)
                ReceiveList->Add(LastResponse);
            if (ComPort.DeviceLost())
                continue; // reported at the top of the next turn
            showDue();
            QCoreApplication::processEvents();
            continue;
        }
        // Nothing waiting (InCount also notices a hang-up with no input).
        if (ComPort.DeviceLost())
            continue;
        showDue();
        // Entries still unshown: wake when they are due, or sooner for bytes.
        const int wakeAfterMs =
            ReceiveList->HasUnshown()
                ? static_cast<int>(std::max<qint64>(1, showEveryMs - sinceShown.elapsed()))
                : -1;
        WaitForEventsOrPort(true, wakeAfterMs);
    }
}
