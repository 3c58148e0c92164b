// Receiving on the Test page: what becomes an entry, pausing, clearing,
// saving "Receive.txt" byte for byte, and the end of the loop when the
// device goes away.
#include "test_testpage_support.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTableView>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace testpage;
using namespace std::chrono_literals;

namespace {

// Runs `body` with a fresh temporary directory as the current directory.
void InTempCwd(const std::function<void(const QString &dir)> &body)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
    body(QDir(dir.path()).canonicalPath());
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<cannot read>";
    return file.readAll();
}

bool Idle(FormFixture &fx) { return fx.Form->ComPort.InCount() == 0; }

} // namespace

TEST(TestPageReceive, LinesTogetherMakeOneEntryLinesInPiecesAreCollected)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    RunSteps(fx, {
        {"one line", nullptr, [&] { fx.Sim.SendRaw("t1232AABB\r"); }},
        {"two lines together", [&] { return f.ReceiveList->Count() == 1; },
         [&] { fx.Sim.SendTogether({"t0010\r", "T0020\r"}); }},
        {"a line in pieces", [&] { return f.ReceiveList->Count() == 2; },
         [&] { fx.Sim.SendInPieces("e0000012321122\r", 4, 20ms); }},
        {"done", [&] { return f.ReceiveList->Count() == 3 && Idle(fx); }, [&] {
             FormFixture::Pump(50);
             EXPECT_EQ(Entries(f), (std::vector<QByteArray>{"t1232AABB\r", "t0010\rT0020\r",
                                                            "e0000012321122\r"}));
             EXPECT_EQ(f.LastResponse, QByteArray("e0000012321122\r"));
             // The view shows every entry, CR as a visible symbol.
             EXPECT_EQ(f.ReceiveList->rowCount(), 3);
             EXPECT_EQ(f.ReceiveList->data(f.ReceiveList->index(1)).toString(),
                       QStringLiteral("t0010<CR>T0020<CR>"));
         }},
    });
    EXPECT_TRUE(fx.Msgs.Texts().isEmpty());
}

TEST(TestPageReceive, ReadThatTimesOutMakesAPartialEntry)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    DialogAnswer answer;
    answer.timeout = "100";
    RunSteps(fx,
             {
                 {"a line whose end comes late", nullptr,
                  [&] { fx.Sim.SendInPieces("t12" "3\r", 3, 400ms); }},
                 {"two entries", [&] { return f.ReceiveList->Count() == 2; }, [&] {
                      EXPECT_EQ(Entries(f), (std::vector<QByteArray>{"t12", "3\r"}));
                  }},
             },
             answer);
}

TEST(TestPageReceive, PausedLinesAreDroppedAndListingResumes)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    RunSteps(fx, {
        {"listing on at start", nullptr, [&] {
             EXPECT_TRUE(f.FDisplayReceived);
             EXPECT_EQ(f.ReceiveBitBtn->text(), "Stop");
             fx.Sim.SendRaw("first\r");
         }},
        {"pause", [&] { return f.ReceiveList->Count() == 1; }, [&] {
             f.ReceiveBitBtn->click();
             EXPECT_FALSE(f.FDisplayReceived);
             EXPECT_EQ(f.ReceiveBitBtn->text(), "Start");
             fx.Sim.SendRaw("while paused\r");
         }},
        {"consumed while paused",
         [&] { return f.LastResponse == "while paused\r" && Idle(fx); }, [&] {
             EXPECT_EQ(f.ReceiveList->Count(), 1);
             f.ReceiveBitBtn->click();
             EXPECT_TRUE(f.FDisplayReceived);
             EXPECT_EQ(f.ReceiveBitBtn->text(), "Stop");
             fx.Sim.SendRaw("after\r");
         }},
        {"resumed", [&] { return f.ReceiveList->Count() == 2; }, [&] {
             EXPECT_EQ(Entries(f), (std::vector<QByteArray>{"first\r", "after\r"}));
             f.ClearBitBtn->click();
             EXPECT_EQ(f.ReceiveList->Count(), 0);
             EXPECT_EQ(f.ReceiveList->rowCount(), 0);
         }},
    });
}

TEST(TestPageReceive, ManyLinesAreAllListedAndTheNewestIsInView)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    const size_t lines = 2000;
    RunSteps(fx, {
        {"traffic", nullptr, [&] { fx.Sim.StartTraffic({sim::FloodLine(7)}, 4000, lines); }},
        {"all read", [&] {
             return fx.Sim.TrafficLinesSent() == lines && !fx.Sim.TrafficRunning() && Idle(fx) &&
                    f.ReceiveList->rowCount() == f.ReceiveList->Count();
         },
         [&] {
             FormFixture::Pump(50);
             QByteArray all;
             for (const QByteArray &e : Entries(f))
                 all += e;
             EXPECT_EQ(all.size(), qsizetype(lines) * sim::FloodLineBytes);
             EXPECT_EQ(all.count('\r'), qsizetype(lines));
             QScrollBar *bar = f.ReceiveListBox->verticalScrollBar();
             EXPECT_EQ(bar->value(), bar->maximum());
         }},
    }, {}, 15000);
}

TEST(ReceiveListDisplay, ControlCodesShownByNameEntriesUnchanged)
{
    struct Case {
        QByteArray entry;
        QString shown;
    };
    const std::vector<Case> cases = {
        {"t0010\r", "t0010<CR>"},
        {QByteArray("\x00\x01\x1f\n", 4), "<NUL><SOH><US><LF>"},
        {"}~\x7f\x80\x9f", "}~<DEL><80><9F>"},
        {"\xa0\xe9\xff", QStringLiteral("\u00a0\u00e9\u00ff")},
        {"", ""},
        {QByteArray(400, 'x'), QString(300, QChar('x')) + QChar(0x2026)},
    };
    ReceiveListModel model;
    for (const Case &c : cases) {
        model.Append(c.entry);
        EXPECT_EQ(model.data(model.index(model.rowCount() - 1)).toString(), c.shown);
        EXPECT_EQ(model.Entry(model.Count() - 1), c.entry);
    }
    // Added entries count at once; the view sees them after Flush.
    model.Add("a\r");
    model.Add("b\r");
    EXPECT_EQ(model.Count(), int(cases.size()) + 2);
    EXPECT_EQ(model.rowCount(), int(cases.size()));
    EXPECT_TRUE(model.Flush());
    EXPECT_EQ(model.rowCount(), model.Count());
    EXPECT_FALSE(model.Flush());
    EXPECT_EQ(model.SaveImage().right(8), QByteArray("a\r\r\nb\r\r\n"));
}

TEST(TestPageSave, EveryByteValueRoundTripsFromThePortToTheFile)
{
    InTempCwd([](const QString &dir) {
        // Every byte value once, CR last so the whole block is one entry.
        QByteArray block;
        for (int b = 0; b < 256; ++b)
            if (b != '\r')
                block.append(char(b));
        block.append('\r');
        const QString file = dir + "/Receive.txt";
        {
            QFile old(file);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(5000, 'z')); // an earlier, longer file
        }

        FormFixture fx(MultiModelEdition(), Operation());
        TMainForm &f = *fx.Form;
        RunSteps(fx, {
            {"all byte values", nullptr, [&] { fx.Sim.SendRaw(block); }},
            {"a plain line", [&] { return f.ReceiveList->Count() == 1; },
             [&] { fx.Sim.SendRaw("t0010\r"); }},
            {"save", [&] { return f.ReceiveList->Count() == 2; }, [&] {
                 ASSERT_EQ(f.ReceiveList->Entry(0), block);
                 f.SaveBitBtn->click();
                 EXPECT_TRUE(fx.Msgs.Texts().isEmpty()) << fx.Msgs.Texts().join("|").toStdString();
                 EXPECT_EQ(ReadFile(file), block + "\r\n" + "t0010\r\r\n");

                 // An empty list gives an empty file, replacing the earlier one.
                 f.ClearBitBtn->click();
                 f.SaveBitBtn->click();
                 EXPECT_TRUE(QFileInfo::exists(file));
                 EXPECT_EQ(ReadFile(file), QByteArray());
             }},
        });
    });
}

TEST(TestPageSave, FileThatCannotBeCreatedIsReportedAndNothingChanges)
{
    InTempCwd([](const QString &dir) {
        // A directory of that name cannot be replaced by a file, even by root.
        ASSERT_TRUE(QDir(dir).mkdir("Receive.txt"));
        ASSERT_TRUE(QFile(dir + "/Receive.txt/keep").open(QIODevice::WriteOnly));
        FormFixture fx(MultiModelEdition(), Operation());
        TMainForm &f = *fx.Form;
        RunSteps(fx, {
            {"a line", nullptr, [&] { fx.Sim.SendRaw("t0010\r"); }},
            {"save", [&] { return f.ReceiveList->Count() == 1; }, [&] {
                 f.SaveBitBtn->click();
                 const QString expected =
                     QStringLiteral("Cannot create file \"%1/Receive.txt\". Is a directory").arg(dir);
                 EXPECT_EQ(fx.Msgs.Texts(), QStringList{expected});
                 ASSERT_EQ(fx.Msgs.Boxes.size(), 1);
                 EXPECT_EQ(fx.Msgs.Boxes[0].icon, MsgIcon::Error);
                 EXPECT_EQ(Entries(f), std::vector<QByteArray>{"t0010\r"});
                 EXPECT_TRUE(QFileInfo(dir + "/Receive.txt").isDir());
                 EXPECT_TRUE(QFileInfo::exists(dir + "/Receive.txt/keep"));
                 EXPECT_TRUE(f.FConnected);
                 // The loop goes on listing.
                 fx.Sim.SendRaw("next\r");
             }},
            {"still listing", [&] { return f.ReceiveList->Count() == 2; }, nullptr},
        });
        EXPECT_EQ(QDir(dir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                  QStringList{"Receive.txt"});
    });
}

TEST(TestPageSave, ManyEntriesSaveWhole)
{
    // Through the model alone: the file is the entries, each + CR LF.
    InTempCwd([](const QString &dir) {
        FormFixture fx(MultiModelEdition(), Operation());
        TMainForm &f = *fx.Form;
        RunSteps(fx, {{"save", nullptr, [&] {
                           for (int i = 0; i < 200000; ++i)
                               f.ReceiveList->Add(sim::FloodLine(uint64_t(i)));
                           f.ReceiveList->Flush();
                           f.SaveBitBtn->click();
                       }}});
        const QByteArray saved = ReadFile(dir + "/Receive.txt");
        EXPECT_EQ(saved.size(), qsizetype(200000) * (sim::FloodLineBytes + 2));
        EXPECT_TRUE(saved.startsWith(sim::FloodLine(0) + "\r\n"));
        EXPECT_TRUE(saved.endsWith(sim::FloodLine(199999) + "\r\n"));
    });
}

TEST(TestPageLoop, DeviceLossEndsTheConnectionWithOneReport)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    RunSteps(fx, {
        {"a line", nullptr, [&] { fx.Sim.SendRaw("before\r"); }},
        {"vanish", [&] { return f.ReceiveList->Count() == 1; }, [&] {
             EXPECT_EQ(MainFormTestAccess::LoopDepth(f), 1);
             EXPECT_NE(MainFormTestAccess::Notifier(f), nullptr);
             fx.Sim.Vanish();
         }},
        {"never reached: the loop ends", [] { return false; }, nullptr},
    }, {}, 3000);
    EXPECT_FALSE(f.FConnected);
    EXPECT_EQ(f.StatusPanels[0]->text(), "Not connected");
    ASSERT_EQ(fx.Msgs.Texts().size(), 1) << fx.Msgs.Texts().join("|").toStdString();
    EXPECT_TRUE(fx.Msgs.Texts()[0].contains("COM1"));
    EXPECT_EQ(MainFormTestAccess::LoopDepth(f), 0);
    EXPECT_EQ(MainFormTestAccess::Notifier(f), nullptr);
    EXPECT_FALSE(f.ComPort.InUse());
    EXPECT_EQ(Entries(f), std::vector<QByteArray>{"before\r"}); // entries survive
}

TEST(TestPageLoop, DeviceLossDuringAutoSendIsReportedOnceNotAsSendFailures)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    ModalMessages boxes(100);
    RunSteps(fx, {
        {"auto-send", nullptr, [&] {
             f.SendEdit->setText(QStringLiteral("x"));
             f.IntervalEdit->setText(QStringLiteral("5"));
             f.SetBitBtn->click();
             f.AutoBitBtn->click();
         }},
        {"vanish", [&] { return fx.Sim.ReceivedCount() >= 3; }, [&] { fx.Sim.Vanish(); }},
        {"never reached: the loop ends", [] { return false; }, nullptr},
    }, {}, 3000);
    FormFixture::Pump(100);
    EXPECT_FALSE(f.FConnected);
    EXPECT_FALSE(f.Timer2->isActive());
    ASSERT_EQ(boxes.Texts.size(), 1) << boxes.Texts.join("|").toStdString();
    EXPECT_TRUE(boxes.Texts[0].contains("COM1"));
    EXPECT_EQ(boxes.MaxDepth, 1);
}

TEST(TestPageLoop, ReconnectAfterDisconnectInsideTheLoopRunsANestedLoop)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    bool innerRan = false;
    RunSteps(fx, {{"disconnect and connect again from inside the loop", nullptr, [&] {
                       f.DisconnectToolButtonClick();
                       ASSERT_FALSE(f.FConnected);
                       // The outer loop has not looked at its condition yet.
                       fx.Connect({}, [&] {
                           EXPECT_EQ(MainFormTestAccess::LoopDepth(f), 2);
                           fx.Sim.SendRaw("inner\r");
                           innerRan = true;
                           // Return so the inner loop lists the line; a timer then ends it.
                           auto *end = new QTimer(&f);
                           QObject::connect(end, &QTimer::timeout, &f, [&f, end] {
                               if (f.ReceiveList->Count() == 0)
                                   return;
                               end->stop();
                               end->deleteLater();
                               f.DisconnectToolButtonClick();
                           });
                           end->start(5);
                       });
                   }}});
    EXPECT_TRUE(innerRan);
    EXPECT_EQ(Entries(f), std::vector<QByteArray>{"inner\r"});
    EXPECT_FALSE(f.FConnected);
    EXPECT_EQ(MainFormTestAccess::LoopDepth(f), 0);
    EXPECT_EQ(MainFormTestAccess::Notifier(f), nullptr);
    EXPECT_TRUE(fx.Msgs.Texts().isEmpty()) << fx.Msgs.Texts().join("|").toStdString();
}

TEST(TestPageLoop, PairConnectionTestSendsNothingAndListsTraffic)
{
    FormFixture fx(MultiModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    DialogAnswer pair;
    pair.pairTest = true;
    RunSteps(fx,
             {
                 {"in pair-test mode", nullptr, [&] {
                      EXPECT_EQ(f.FModuleMode, mmPairTest);
                      EXPECT_EQ(f.StatusPanels[1]->text(), "PairConnTest Mode");
                      FormFixture::Pump(100);
                      EXPECT_EQ(fx.Sim.ReceivedCount(), 0u);
                      fx.Sim.SendRaw("t0010\r");
                  }},
                 {"listed", [&] { return f.ReceiveList->Count() == 1; }, nullptr},
             },
             pair);
    EXPECT_EQ(fx.Sim.ReceivedCount(), 0u);
}

TEST(TestPageSingleEdition, SameTestPage)
{
    FormFixture fx(SingleModelEdition(), Operation());
    TMainForm &f = *fx.Form;
    RunSteps(fx, {
        {"send and receive", nullptr, [&] {
             f.CANCheckBox->setChecked(true);
             f.IDEdit->setText(QStringLiteral("123"));
             f.DLCEdit->setText(QStringLiteral("2"));
             f.D1Edit->setText(QStringLiteral("11"));
             f.D2Edit->setText(QStringLiteral("22"));
             fx.Sim.ClearReceived();
             f.SendBitBtn->click();
             ASSERT_TRUE(fx.Sim.WaitForLines(1, 3s));
             EXPECT_EQ(fx.Sim.ReceivedLines().back().bytes, QByteArray("t12321122\r"));
             fx.Sim.SendRaw("t3210\r");
         }},
        {"listed", [&] { return f.ReceiveList->Count() == 1; }, nullptr},
    });
    EXPECT_EQ(Entries(f), std::vector<QByteArray>{"t3210\r"});
}
