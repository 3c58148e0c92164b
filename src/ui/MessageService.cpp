#include "MessageService.h"

#include "ConversionError.h"
#include "FileError.h"

#include <QApplication>
#include <QMessageBox>

namespace {

class QtMessageService : public MessageService {
public:
    MsgAnswer Show(MsgIcon icon, const QString &title, const QString &text,
                   MsgButtons buttons) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(title);
        // CR LF in a message means a line break.
        box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        box.setTextFormat(Qt::PlainText);
        switch (icon) {
        case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        }
        switch (buttons) {
        case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case MsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case MsgButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes: return MsgAnswer::Yes;
        case QMessageBox::No: return MsgAnswer::No;
        case QMessageBox::Cancel: return MsgAnswer::Cancel;
        case QMessageBox::Ok: return MsgAnswer::Ok;
        default: break;
        }
        // Closed with Esc or the close box.
        return buttons == MsgButtons::YesNo ? MsgAnswer::No
               : buttons == MsgButtons::OkCancel ? MsgAnswer::Cancel
                                                 : MsgAnswer::Ok;
    }
};

QtMessageService gQtService;
MessageService *gService = &gQtService;
QString gTitle = QStringLiteral("Veltaro");

} // namespace

MessageService &Messages() { return *gService; }

void SetMessageService(MessageService *service) { gService = service ? service : &gQtService; }

void SetProgramTitle(const QString &title) { gTitle = title; }
QString ProgramTitle() { return gTitle; }

void ShowError(const QString &text) { Messages().Show(MsgIcon::Error, gTitle, text, MsgButtons::Ok); }
void ShowInformation(const QString &text)
{
    Messages().Show(MsgIcon::Information, gTitle, text, MsgButtons::Ok);
}
void ShowWarning(const QString &text) { Messages().Show(MsgIcon::Warning, gTitle, text, MsgButtons::Ok); }
bool ConfirmYesNo(const QString &text)
{
    return Messages().Show(MsgIcon::Question, gTitle, text, MsgButtons::YesNo) == MsgAnswer::Yes;
}
bool ConfirmOkCancel(const QString &title, const QString &text)
{
    return Messages().Show(MsgIcon::Question, title, text, MsgButtons::OkCancel) == MsgAnswer::Ok;
}
void ShowErrorTitled(const QString &title, const QString &text)
{
    Messages().Show(MsgIcon::Error, title, text, MsgButtons::Ok);
}

void ReportError(const std::exception &e)
{
    if (auto *c = dynamic_cast<const ConversionError *>(&e))
        ShowError(c->Message());
    else if (auto *f = dynamic_cast<const FileError *>(&e))
        ShowError(f->Message());
    else
        ShowError(QString::fromLocal8Bit(e.what()));
}
