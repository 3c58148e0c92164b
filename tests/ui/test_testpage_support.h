#pragma once
// Helpers for the Test page tests: a script of steps run from inside the
// receive loop (so the loop runs between them), a message service that
// behaves like a modal box (runs the event loop while "open"), and access to
// the receive loop's private state.
#include "FormFixture.h"
#include "ReceiveListModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

class MainFormTestAccess {
public:
    static QSocketNotifier *Notifier(TMainForm &f) { return f.FPortNotifier; }
    static int LoopDepth(TMainForm &f) { return f.FReceiveLoopDepth; }
};

namespace testpage {

struct Step {
    std::string name;
    std::function<bool()> ready;  // the step starts when this holds (none: at once)
    std::function<void()> action; // may be empty: a pure wait
};

// Connects in operation (or pair-test) mode and runs `steps` one by one,
// each from a timer inside the receive loop, then disconnects if still
// connected. A step whose condition does not hold within `stepTimeoutMs`
// fails the test and ends the script. Returns the number of steps run.
inline size_t RunSteps(FormFixture &fx, std::vector<Step> steps, const DialogAnswer &answer = {},
                       int stepTimeoutMs = 5000)
{
    TMainForm *f = fx.Form.get();
    size_t next = 0;
    QElapsedTimer since;
    QTimer driver;
    driver.setInterval(5);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (next < steps.size()) {
            Step &s = steps[next];
            if (!s.ready || s.ready()) {
                ++next;
                since.restart();
                if (s.action)
                    s.action();
            } else if (since.elapsed() > stepTimeoutMs) {
                ADD_FAILURE() << "step did not become ready: " << s.name;
                next = steps.size() + 1;
            }
            return;
        }
        driver.stop();
        if (f->FConnected)
            f->DisconnectToolButtonClick();
    });
    fx.Connect(answer, [&] {
        since.start();
        driver.start();
    });
    driver.stop();
    return std::min(next, steps.size());
}

inline std::vector<QByteArray> Entries(TMainForm &f)
{
    return f.ReceiveList->Entries();
}

// A message service that records like RecordingMessages and, like a real
// modal box, keeps the event loop running for `holdMs` before answering OK.
class ModalMessages : public MessageService {
public:
    explicit ModalMessages(int holdMs) : FHoldMs(holdMs), FPrevious(&Messages())
    {
        SetMessageService(this);
    }
    ~ModalMessages() override { SetMessageService(FPrevious); }

    MsgAnswer Show(MsgIcon, const QString &, const QString &text, MsgButtons buttons) override
    {
        Texts << text;
        ++Depth;
        MaxDepth = std::max(MaxDepth, Depth);
        if (OnShow)
            OnShow(text);
        FormFixture::Pump(FHoldMs);
        --Depth;
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }

    QStringList Texts;
    int Depth = 0, MaxDepth = 0;
    std::function<void(const QString &)> OnShow;

private:
    int FHoldMs;
    MessageService *FPrevious;
};

inline sim::Profile Operation(const QString &words = {})
{
    return sim::ProfileByName(words.isEmpty() ? QStringLiteral("operation")
                                              : QStringLiteral("operation,") + words);
}

} // namespace testpage
