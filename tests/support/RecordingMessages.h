#pragma once
// A message service for tests: records every box and answers as scripted
// (OK / Yes by default), without showing anything.
#include "MessageService.h"

#include <QList>
#include <QString>
#include <deque>

struct RecordedBox {
    MsgIcon icon;
    QString title;
    QString text;
    MsgButtons buttons;
};

class RecordingMessages : public MessageService {
public:
    RecordingMessages();   // installs itself
    ~RecordingMessages() override; // puts the real service back

    MsgAnswer Show(MsgIcon icon, const QString &title, const QString &text,
                   MsgButtons buttons) override;

    // Answers for the next questions, in order; when empty: Yes / Ok.
    std::deque<MsgAnswer> Answers;
    QList<RecordedBox> Boxes;

    QStringList Texts() const;
    void Clear() { Boxes.clear(); }
};
