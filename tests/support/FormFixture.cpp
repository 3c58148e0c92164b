#include "FormFixture.h"

#include "ComboIndex.h"
#include "SettingsDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>

FormFixture::FormFixture(const Edition &edition, sim::Profile profile) : Sim(std::move(profile))
{
    if (!Sim.Start())
        ADD_FAILURE() << "the simulator could not open a pseudo-terminal";
    setenv("VELTARO_COM1", Sim.DevicePath().toLocal8Bit().constData(), 1);
    SetProgramTitle(edition.Caption);
    Form = std::make_unique<TMainForm>(edition);
    Form->show();
}

FormFixture::~FormFixture()
{
    if (Form && Form->FConnected)
        Form->DisconnectToolButtonClick();
    Form.reset();
    unsetenv("VELTARO_COM1");
}

void FormFixture::AnswerNextDialog(const DialogAnswer &answer)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        auto *dlg = qobject_cast<TSettingsForm *>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        poll->stop();
        poll->deleteLater();
        dlg->PortComboBox->setCurrentIndex(answer.port - 1);
        if (dlg->R2416Baud->isEnabled())
            dlg->R2416Baud->setEditText(answer.baud);
        dlg->TimeOutEdit->setText(answer.timeout);
        dlg->PairCheckBox->setChecked(answer.pairTest);
        if (answer.ok)
            dlg->OkButton->click();
        else
            dlg->CancelButton->click();
    });
    poll->start();
}

void FormFixture::Connect(const DialogAnswer &answer, const std::function<void()> &inside)
{
    AnswerNextDialog(answer);
    QTimer *watch = nullptr;
    if (inside) {
        watch = new QTimer;
        watch->setInterval(5);
        TMainForm *form = Form.get();
        QObject::connect(watch, &QTimer::timeout, [watch, form, inside] {
            const bool inLoop = form->FConnected &&
                                (form->FModuleMode == mmOperation || form->FModuleMode == mmPairTest) &&
                                !QApplication::activeModalWidget();
            if (!inLoop)
                return;
            watch->stop();
            inside();
        });
        watch->start();
    }
    Form->ConnectToolButtonClick();
    delete watch;
}

void FormFixture::RunConnectedInOperation(const std::function<void()> &inside, const DialogAnswer &answer)
{
    TMainForm *form = Form.get();
    Connect(answer, [form, inside] {
        inside();
        if (form->FConnected)
            form->DisconnectToolButtonClick();
    });
}

bool FormFixture::WaitUntil(const std::function<bool()> &condition, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void FormFixture::Pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

QList<QByteArray> Lines(const sim::ModuleSimulator &module)
{
    QList<QByteArray> out;
    for (const sim::ReceivedLine &l : module.ReceivedLines())
        out << l.bytes;
    return out;
}

void OnLines(const sim::ModuleSimulator &module, size_t count, std::function<void()> action)
{
    auto *poll = new QTimer;
    poll->setInterval(2);
    QObject::connect(poll, &QTimer::timeout, [poll, &module, count, action] {
        if (module.ReceivedCount() < count)
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start();
}

void Choose(QComboBox *box, int index)
{
    SelectIndex(box, index);
    emit box->activated(index);
}

QStringList Items(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QByteArray ChecksummedLine(const QByteArray &text)
{
    unsigned sum = 0;
    for (char c : text)
        sum += static_cast<unsigned char>(c);
    return text + QByteArray::number(sum & 0xFF, 16).toUpper().rightJustified(2, '0') + '\r';
}
