#pragma once
// A main window driven by a test against a simulated module: the simulator
// runs on a pseudo-terminal that COM1 maps to, message boxes are recorded,
// and the connection dialog is answered as the test says.
#include "Edition.h"
#include "MainUnit.h"
#include "ModuleSimulator.h"
#include "RecordingMessages.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QComboBox;

struct DialogAnswer {
    int port = 1;                   // COM number chosen in the list
    QString baud = "115200";        // typed into the baud box when it is enabled
    QString timeout = "500";
    bool pairTest = false;
    bool ok = true;                 // false: Cancel
};

class FormFixture {
public:
    explicit FormFixture(const Edition &edition = MultiModelEdition(), sim::Profile profile = {});
    ~FormFixture();

    sim::ModuleSimulator Sim;
    RecordingMessages Msgs;
    std::unique_ptr<TMainForm> Form;

    // Answers the next connection dialog when it appears.
    void AnswerNextDialog(const DialogAnswer &answer);
    // Presses Connect with the dialog answered. In operation and pair-test
    // mode Connect returns only when the connection ends: `inside` then runs
    // inside the receive loop once it is running, and must end the
    // connection (DisconnectToolButtonClick) before it returns.
    void Connect(const DialogAnswer &answer = {}, const std::function<void()> &inside = {});
    // Connect in operation mode at `baud` and run `inside` in the loop,
    // disconnecting afterwards if `inside` did not.
    void RunConnectedInOperation(const std::function<void()> &inside, const DialogAnswer &answer = {});

    // Pumps events until `condition` holds or `ms` pass; returns whether it held.
    static bool WaitUntil(const std::function<bool()> &condition, int ms = 3000);
    // Pumps events for `ms` milliseconds.
    static void Pump(int ms);
};

// The lines the module has received, in order, each with its CR.
QList<QByteArray> Lines(const sim::ModuleSimulator &module);
// Runs `action` once the module has received `count` lines (while the
// program waits for a reply).
void OnLines(const sim::ModuleSimulator &module, size_t count, std::function<void()> action);
// A choice made by the user: the list changes and its rule runs.
void Choose(QComboBox *box, int index);
// The entries of a list.
QStringList Items(const QComboBox *box);
// A command line as the module expects it: text, two-digit checksum, CR
// (computed here on its own, not with the program's checksum function).
QByteArray ChecksummedLine(const QByteArray &text);
