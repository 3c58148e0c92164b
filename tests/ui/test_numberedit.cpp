// TNumberEdit driven with real key events on a shown widget.
#include "ConversionError.h"
#include "RecordingMessages.h"
#include "ValEdit1.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

struct FieldSetup {
    TNumberEditKind kind = neDec;
    int typedLength = 0;
    bool upper = false;
    QString text = QStringLiteral("0");
    int32_t maxValue = 0;
};

// A shown field configured the way the form does it: kind, typed length and
// case first, then the text, then the maximum, then OnChange (which counts
// calls and remembers the text and value each call saw).
class NumberEditTest : public ::testing::Test {
protected:
    struct Seen {
        QString text;
        int32_t value;
    };

    TNumberEdit &Make(const FieldSetup &s)
    {
        field = std::make_unique<TNumberEdit>();
        seen.clear();
        field->SetKind(s.kind);
        field->SetMaxTypedLength(s.typedLength);
        field->SetUpperCase(s.upper);
        field->setText(s.text);
        field->SetMaxValue(s.maxValue);
        field->OnChange = [this](TNumberEdit *sender) {
            EXPECT_EQ(sender, field.get());
            seen.push_back({sender->text(), sender->Value()});
        };
        field->show();
        field->activateWindow();
        field->setFocus();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(field.get()));
        return *field;
    }

    void TearDown() override { field.reset(); }

    std::unique_ptr<TNumberEdit> field;
    std::vector<Seen> seen;
};

void PasteFromMenu(TNumberEdit &f, const QString &clip)
{
    QGuiApplication::clipboard()->setText(clip);
    std::unique_ptr<QMenu> menu(f.CreateContextMenu());
    EXPECT_EQ(menu->parent(), &f);
    QAction *paste = nullptr;
    for (QAction *a : menu->actions())
        if (a->objectName() == QLatin1String("edit-paste"))
            paste = a;
    ASSERT_NE(paste, nullptr);
    paste->trigger();
}

} // namespace

TEST_F(NumberEditTest, CreatedFieldHoldsZeroInDecimal)
{
    TNumberEdit f;
    EXPECT_EQ(f.text(), "0");
    EXPECT_EQ(f.Value(), 0);
    EXPECT_EQ(f.MaxValue(), 0);
    EXPECT_EQ(f.Kind(), neDec);
    EXPECT_FALSE(f.acceptDrops());
}

TEST_F(NumberEditTest, TypingEntersOnlyTheDigitsOfTheNotation)
{
    struct Case {
        TNumberEditKind kind;
        bool upper;
        const char *typed;
        const char *text;
        int32_t value;
    } cases[] = {
        {neBin, false, "1021", "101", 5},
        {neDec, false, "-12.5", "125", 125},
        {neDec, false, "4 x+2", "42", 42},
        {neHex, true, "a1fG", "A1F", 0xA1F},
        {neHex, false, "a1fG", "a1f", 0xA1F},
        {neHex, true, "xyz-", "", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        auto &f = Make({c.kind, 0, c.upper, QString()});
        QTest::keyClicks(&f, c.typed);
        EXPECT_EQ(f.text(), c.text);
        EXPECT_EQ(f.Value(), c.value);
        // One OnChange per character that got in.
        EXPECT_EQ(seen.size(), size_t(qstrlen(c.text)));
        seen.clear();
    }
}

TEST_F(NumberEditTest, EnterEscapeAndControlCharactersDoNothing)
{
    for (auto kind : {neDec, neHex, neBin}) {
        SCOPED_TRACE(kind);
        auto &f = Make({kind, 0, true, QStringLiteral("10")});
        for (auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(&f, key);
        QTest::keyClick(&f, Qt::Key_A, Qt::ControlModifier); // code 1
        QTest::keyClick(&f, Qt::Key_1, Qt::ControlModifier);
        QTest::keyClick(&f, Qt::Key_1, Qt::AltModifier); // a menu key, not a character
        QTest::keyClick(&f, Qt::Key_1, Qt::MetaModifier);
        EXPECT_EQ(f.text(), "10");
        EXPECT_TRUE(seen.empty());
    }
}

TEST_F(NumberEditTest, KeysWithoutCharacterEditAsUsual)
{
    auto &f = Make({neDec, 3, false, QStringLiteral("123")});
    QTest::keyClick(&f, Qt::Key_Home);
    QTest::keyClick(&f, Qt::Key_Delete);
    EXPECT_EQ(f.text(), "23");
    QTest::keyClick(&f, Qt::Key_End);
    QTest::keyClick(&f, Qt::Key_Left);
    QTest::keyClick(&f, Qt::Key_Backspace);
    EXPECT_EQ(f.text(), "3");
    EXPECT_EQ(f.Value(), 3);
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(NumberEditTest, ClipboardAndUndoShortcutsDoNothing)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    } cases[] = {
        {Qt::Key_C, Qt::ControlModifier},      {Qt::Key_V, Qt::ControlModifier},
        {Qt::Key_X, Qt::ControlModifier},      {Qt::Key_Z, Qt::ControlModifier},
        {Qt::Key_Y, Qt::ControlModifier},      {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
        {Qt::Key_Insert, Qt::ShiftModifier},   {Qt::Key_Insert, Qt::ControlModifier},
        {Qt::Key_Delete, Qt::ShiftModifier},
    };
    auto &f = Make({neHex, 8, true, QStringLiteral("12")});
    QTest::keyClick(&f, Qt::Key_End);
    QTest::keyClicks(&f, "3"); // something to undo
    seen.clear();
    for (const auto &c : cases) {
        SCOPED_TRACE(QKeySequence(c.key | c.mods).toString().toStdString());
        QGuiApplication::clipboard()->setText(QStringLiteral("45"));
        f.selectAll();
        QTest::keyClick(&f, c.key, c.mods);
        EXPECT_EQ(f.text(), "123");
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "45");
    }
    EXPECT_TRUE(seen.empty());
}

TEST_F(NumberEditTest, InputMethodTextGoesThroughTheFilter)
{
    auto &f = Make({neHex, 4, true, QStringLiteral("1")});
    QTest::keyClick(&f, Qt::Key_End);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("a-z2"));
    QApplication::sendEvent(&f, &commit);
    EXPECT_EQ(f.text(), "1A2");
    QInputMethodEvent tooLong;
    tooLong.setCommitString(QStringLiteral("34"));
    QApplication::sendEvent(&f, &tooLong);
    EXPECT_EQ(f.text(), "1A2");
}

TEST_F(NumberEditTest, DropsAreRefused)
{
    auto &f = Make({neDec, 0, false, QStringLiteral("1")});
    QMimeData mime;
    mime.setText(QStringLiteral("99"));
    const QPointF at(2, 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &drop);
    EXPECT_EQ(f.text(), "1");
}

TEST_F(NumberEditTest, TypedLengthLimitsGrowthButNotCodeOrShrinking)
{
    auto &f = Make({neHex, 3, true, QStringLiteral("1")});
    QTest::keyClick(&f, Qt::Key_End);
    QTest::keyClicks(&f, "234");
    EXPECT_EQ(f.text(), "123");

    // Code may set a longer text; it is taken whole.
    f.setText(QStringLiteral("12345678"));
    EXPECT_EQ(f.text(), "12345678");
    EXPECT_EQ(f.Value(), 0x12345678);
    QTest::keyClick(&f, Qt::Key_End);
    QTest::keyClicks(&f, "9");
    EXPECT_EQ(f.text(), "12345678");
    // Replacing one character keeps the length; deleting shrinks: both allowed.
    QTest::keyClick(&f, Qt::Key_Home);
    QTest::keyClick(&f, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClicks(&f, "a");
    EXPECT_EQ(f.text(), "A2345678");
    QTest::keyClick(&f, Qt::Key_Backspace);
    EXPECT_EQ(f.text(), "2345678");
    // Selecting all and typing brings it back within the limit.
    f.selectAll();
    QTest::keyClicks(&f, "fff");
    EXPECT_EQ(f.text(), "FFF");
    EXPECT_EQ(f.Value(), 0xFFF);
}

TEST_F(NumberEditTest, MaximumLimitsValueAndDigits)
{
    struct Case {
        TNumberEditKind kind;
        int32_t maxValue;
        const char *set;
        const char *text;
        int32_t value;
    } cases[] = {
        {neHex, 2047, "7FF", "7FF", 2047},
        {neHex, 2047, "0FF", "0FF", 255},
        {neHex, 2047, "800", "1", 1},        // by value
        {neHex, 2047, "007FF", "1", 1},      // by length
        {neHex, 2047, "7FG", "1", 1},        // 7F0 in range, but sorts after 7FF
        {neHex, 2047, "FFFFFFFF", "1", 1},   // negative
        {neHex, 0, "FFFFFFFF", "FFFFFFFF", -1},
        {neHex, 0, "7FG", "7FG", 0x7F0},     // other characters add 0
        {neHex, 0, "123456789", "123456789", 0x23456789},
        {neBin, 0, "1x1", "1x1", 5},
        {neDec, 8, "8", "8", 8},
        {neDec, 8, "9", "1", 1},
        {neDec, 8, "08", "1", 1},
        {neDec, 8, "-1", "1", 1},
        {neDec, 0, "-2147483648", "-2147483648", INT32_MIN},
        {neDec, 0, "2147483648", "1", 1},    // out of range
        {neDec, 0, "1x", "1", 1},
        {neDec, 0, " 5", "1", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.set);
        auto &f = Make({c.kind, 8, true, QStringLiteral("1"), c.maxValue});
        f.setText(QString::fromLatin1(c.set));
        EXPECT_EQ(f.text(), c.text);
        EXPECT_EQ(f.Value(), c.value);
        seen.clear();
    }
}

TEST_F(NumberEditTest, TypingAgainstMaximum)
{
    auto &f = Make({neHex, 8, true, QString(), 2047});
    QTest::keyClicks(&f, "800");
    EXPECT_EQ(f.text(), "80");
    f.clear();
    QTest::keyClicks(&f, "007FF");
    EXPECT_EQ(f.text(), "007");
    EXPECT_EQ(f.Value(), 7);
}

TEST_F(NumberEditTest, RefusedCharacterRestoresTextAndCaretAndFiresTwice)
{
    // DLC: decimal, one digit, maximum 8.
    auto &f = Make({neDec, 1, false, QStringLiteral("5"), 8});
    f.selectAll();
    QTest::keyClicks(&f, "9");
    EXPECT_EQ(f.text(), "5");
    EXPECT_EQ(f.Value(), 5);
    EXPECT_EQ(f.cursorPosition(), 0);
    EXPECT_FALSE(f.hasSelectedText());
    ASSERT_EQ(seen.size(), 2u);
    for (const auto &s : seen) {
        EXPECT_EQ(s.text, "5");
        EXPECT_EQ(s.value, 5);
    }

    // The caret goes back to where it was before the refused character.
    auto &g = Make({neHex, 8, true, QStringLiteral("123"), 2047});
    g.setCursorPosition(1);
    QTest::keyClicks(&g, "4");
    EXPECT_EQ(g.text(), "123");
    EXPECT_EQ(g.cursorPosition(), 1);
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(NumberEditTest, EmptyingGivesZeroAndARefusalStaysEmpty)
{
    auto &f = Make({neDec, 1, false, QStringLiteral("5"), 8});
    f.selectAll();
    QTest::keyClick(&f, Qt::Key_Backspace);
    EXPECT_EQ(f.text(), "");
    EXPECT_EQ(f.Value(), 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].value, 0);
    QTest::keyClicks(&f, "9");
    EXPECT_EQ(f.text(), "");
    EXPECT_EQ(f.Value(), 0);
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(NumberEditTest, SettingTheSameTextIsNoChange)
{
    auto &f = Make({neDec, 0, false, QStringLiteral("5")});
    f.setText(QStringLiteral("5"));
    EXPECT_TRUE(seen.empty());
    f.setText(QStringLiteral("6"));
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(NumberEditTest, AssigningValueAndMaximum)
{
    struct Case {
        TNumberEditKind kind;
        const char *text;
        int32_t maxValue;
        bool assignValue;
        int32_t value;
        const char *wantText;
        int32_t wantValue;
    } cases[] = {
        {neHex, "0", 255, true, 300, "FF", 255},
        {neHex, "0", 0, true, -1, "FFFFFFFF", -1},
        {neDec, "0", 0, true, -5, "-5", -5},
        {neBin, "0", 0, true, 5, "101", 5},
        {neBin, "0", 0, true, INT32_MIN, "10000000000000000000000000000000", INT32_MIN},
        {neHex, "1FFFFFFF", 2047, false, 0, "7FF", 2047},
        {neHex, "FFFFFFFF", 2047, false, 0, "FFFFFFFF", -1}, // negative is not larger
        {neHex, "00000000", 2047, false, 0, "00000000", 0},
        {neHex, "7FF", 2047, false, 0, "7FF", 2047},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        TNumberEdit f;
        f.SetKind(c.kind);
        f.SetMaxTypedLength(8);
        f.setText(QString::fromLatin1(c.text));
        f.SetMaxValue(c.maxValue);
        if (c.assignValue)
            f.SetValue(c.value);
        EXPECT_EQ(f.text(), c.wantText);
        EXPECT_EQ(f.Value(), c.wantValue);
        EXPECT_EQ(f.MaxValue(), c.maxValue);
    }
}

TEST_F(NumberEditTest, TextLongerThanTheMaximumRefusesEditsUntilReplaced)
{
    auto &f = Make({neHex, 8, true, QStringLiteral("00000000"), 2047});
    EXPECT_EQ(f.text(), "00000000");
    QTest::keyClick(&f, Qt::Key_End);
    QTest::keyClick(&f, Qt::Key_Backspace);
    EXPECT_EQ(f.text(), "00000000");
    QTest::keyClick(&f, Qt::Key_Home);
    QTest::keyClick(&f, Qt::Key_Delete);
    EXPECT_EQ(f.text(), "00000000");
    f.selectAll();
    QTest::keyClicks(&f, "5");
    EXPECT_EQ(f.text(), "5");
    QTest::keyClicks(&f, "555");
    EXPECT_EQ(f.text(), "555");
    EXPECT_EQ(f.Value(), 0x555);
}

TEST_F(NumberEditTest, KindChangeKeepsTextUntilTheNextChange)
{
    auto &f = Make({neDec, 0, true, QStringLiteral("10")});
    f.SetKind(neHex);
    EXPECT_EQ(f.text(), "10");
    EXPECT_EQ(f.Value(), 10);
    EXPECT_TRUE(seen.empty());
    QTest::keyClick(&f, Qt::Key_End);
    QTest::keyClicks(&f, "a");
    EXPECT_EQ(f.text(), "10A");
    EXPECT_EQ(f.Value(), 0x10A);
}

TEST_F(NumberEditTest, ConversionErrorFromOnChangeIsReportedAndCodeGoesOn)
{
    RecordingMessages messages;
    SetProgramTitle(QStringLiteral("Veltaro"));
    TNumberEdit f;
    int calls = 0;
    f.OnChange = [&calls](TNumberEdit *) {
        ++calls;
        throw ConversionError(QStringLiteral("'x' is not a valid integer value."));
    };
    f.setText(QStringLiteral("7"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(f.text(), "7");
    EXPECT_EQ(f.Value(), 7);
    ASSERT_EQ(messages.Boxes.size(), 1);
    EXPECT_EQ(messages.Boxes[0].icon, MsgIcon::Error);
    EXPECT_EQ(messages.Boxes[0].title, "Veltaro");
    EXPECT_EQ(messages.Boxes[0].text, "'x' is not a valid integer value.");
}

TEST_F(NumberEditTest, ContextMenuPasteIsFiltered)
{
    struct Case {
        TNumberEditKind kind;
        bool upper;
        int typedLength;
        int32_t maxValue;
        const char *text;
        bool selectAll;
        const char *clip;
        QString want;
    } cases[] = {
        {neDec, false, 5, 0, "12", false, "34", "1234"},
        {neDec, false, 5, 0, "12", false, "3-4", "12"},
        {neDec, false, 5, 0, "12", false, "", "12"},
        {neHex, true, 8, 0, "12", false, "ab", "12AB"},
        {neHex, true, 8, 0, "12", false, "0x1", "12"},
        {neHex, false, 8, 0, "12", false, "ab", "12ab"},
        {neBin, false, 8, 0, "1", false, "102", "1"},
        {neDec, false, 3, 0, "12", false, "34", "12"},   // past the limit
        {neDec, false, 3, 0, "12", true, "345", "345"},  // replaces the selection
        {neDec, false, 1, 8, "5", true, "9", "5"},       // refused by the maximum
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.text) + " <- " + c.clip);
        auto &f = Make({c.kind, c.typedLength, c.upper, QString::fromLatin1(c.text), c.maxValue});
        if (c.selectAll)
            f.selectAll();
        else
            f.setCursorPosition(int(f.text().size()));
        PasteFromMenu(f, QString::fromLatin1(c.clip));
        EXPECT_EQ(f.text(), c.want);
    }
}
