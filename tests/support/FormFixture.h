#pragma once
// A main window driven by a test against a simulated module: the simulator
// runs on a pseudo-terminal that COM1 maps to, message boxes are recorded,
// and the connection dialog is answered as the test says.
#include "Edition.h"
#include "MainUnit.h"
#include "ModuleSimulator.h"
#include "RecordingMessages.h"

#include <QString>
#include <functional>
#include <memory>

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
