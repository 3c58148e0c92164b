#pragma once
// Every message box of the program goes through this service. The real one
// uses QMessageBox; tests install one that records and answers as scripted.
#include <QString>
#include <exception>

enum class MsgIcon { Error, Information, Warning, Question };
enum class MsgButtons { Ok, YesNo, OkCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows a modal box and returns the button pressed. Text is plain text.
    virtual MsgAnswer Show(MsgIcon icon, const QString &title, const QString &text,
                           MsgButtons buttons) = 0;
};

// The service in force (a QMessageBox one unless replaced).
MessageService &Messages();
// Installs `service` (not owned); nullptr puts the QMessageBox one back.
void SetMessageService(MessageService *service);

// The program's title, used on every box that has no title of its own.
void SetProgramTitle(const QString &title);
QString ProgramTitle();

// Shorthands with the program's title.
void ShowError(const QString &text);
void ShowInformation(const QString &text);
void ShowWarning(const QString &text);
bool ConfirmYesNo(const QString &text);                       // question icon
bool ConfirmOkCancel(const QString &title, const QString &text); // question icon
void ShowErrorTitled(const QString &title, const QString &text);

// The top-level error report: an error box with the program's title and the
// error's message. Known errors (ConversionError, file errors) show their own
// text; anything else a generic one.
void ReportError(const std::exception &e);

// Runs `body` and reports any exception it throws; every Qt entry point into
// our handlers goes through this so that no exception unwinds through Qt.
template <class F>
void Guarded(F &&body) noexcept
{
    try {
        body();
    } catch (const std::exception &e) {
        ReportError(e);
    } catch (...) {
        ShowError(QStringLiteral("Unexpected error."));
    }
}
