#include "RecordingMessages.h"

RecordingMessages::RecordingMessages() { SetMessageService(this); }

RecordingMessages::~RecordingMessages() { SetMessageService(nullptr); }

MsgAnswer RecordingMessages::Show(MsgIcon icon, const QString &title, const QString &text,
                                  MsgButtons buttons)
{
    Boxes.append({icon, title, text, buttons});
    if (!Answers.empty()) {
        MsgAnswer a = Answers.front();
        Answers.pop_front();
        return a;
    }
    switch (buttons) {
    case MsgButtons::YesNo: return MsgAnswer::Yes;
    case MsgButtons::OkCancel: return MsgAnswer::Ok;
    case MsgButtons::Ok: break;
    }
    return MsgAnswer::Ok;
}

QStringList RecordingMessages::Texts() const
{
    QStringList out;
    for (const auto &b : Boxes)
        out << b.text;
    return out;
}
