// The About window: what it shows for each state of the main window in both
// programs, its shape, how it is dismissed, and the JPEG decoding of its pictures.
#include "AboutVeskora.h"
#include "JpegImage.h"
#include "MainUnit.h"
#include "MessageService.h"
#include "RecordingMessages.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &l, std::ostream *os) { PrintTo(l.join('|'), os); }

namespace {

const Edition *const kEditions[] = {&MultiModelEdition(), &SingleModelEdition()};

QByteArray Resource(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Shows `about` with exec() and runs `act` once it is the active modal window.
// A window that `act` leaves open is ended with -1.
int ExecAbout(TAboutBoxForm &about, const std::function<void(TAboutBoxForm &)> &act)
{
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != &about)
            return;
        poll.stop();
        act(about);
        if (about.isVisible())
            about.done(-1);
    });
    poll.start();
    return about.exec();
}

template <class W = QWidget>
W *Child(QWidget &parent, const char *name)
{
    return parent.findChild<W *>(QString::fromLatin1(name));
}

class AboutTest : public ::testing::Test {
protected:
    void Make(const Edition &edition)
    {
        SetProgramTitle(edition.Caption);
        Form = std::make_unique<TMainForm>(edition);
    }
    void SetUp() override { Make(MultiModelEdition()); }

    RecordingMessages Msgs;
    std::unique_ptr<TMainForm> Form;
};

TEST_F(AboutTest, ShowsTheMainWindowsStateInBothPrograms)
{
    const struct {
        bool connected;
        TModuleMode mode;
        QString firmware, connect, execution;
    } states[] = {
        {false, mmNone, "", "Not Connected", "None"},
        {true, mmConfiguration, "3.10", "Connectied", "Setting Mode"},
        {true, mmOperation, "2.05", "Connectied", "Operation Mode"},
        {true, mmPairTest, "1.00", "Connectied", "Pair Connection Test Mode"},
        {true, static_cast<TModuleMode>(7), "", "Connectied", "None"},
    };
    for (const Edition *edition : kEditions) {
        Make(*edition);
        for (const auto &s : states) {
            SCOPED_TRACE((edition->Caption + " " + s.execution).toStdString());
            Form->FUtilityVersion = edition->UtilityVersion;
            Form->FConnected = s.connected;
            Form->FModuleMode = s.mode;
            Form->FFirmwareVersion = s.firmware;
            TAboutBoxForm about(Form.get(), true);
            EXPECT_EQ(about.UtilityVersionLabel->text(), edition->UtilityVersion);
            EXPECT_EQ(about.ConnectLabel->text(), s.connect);
            EXPECT_EQ(about.FirmwareVersionLabel->text(), s.firmware);
            EXPECT_EQ(about.ExecutionLabel->text(), s.execution);

            // A snapshot: later changes of the main window do not show.
            Form->FConnected = !s.connected;
            Form->FModuleMode = mmOperation;
            EXPECT_EQ(about.ConnectLabel->text(), s.connect);
            EXPECT_EQ(about.ExecutionLabel->text(), s.execution);
        }
    }
}

TEST_F(AboutTest, AFreshMainWindowsAboutShowsTheProgramsVersion)
{
    for (const Edition *edition : kEditions) {
        SCOPED_TRACE(edition->Caption.toStdString());
        Make(*edition);
        TAboutBoxForm about(Form.get());
        EXPECT_EQ(about.UtilityVersionLabel->text(), edition->UtilityVersion);
        EXPECT_EQ(about.FirmwareVersionLabel->text(), "");
        EXPECT_EQ(about.ConnectLabel->text(), "Not Connected");
        EXPECT_EQ(about.ExecutionLabel->text(), "None");
    }
}

TEST_F(AboutTest, TitleModelsAndNoticePerProgram)
{
    for (const Edition *edition : kEditions) {
        SCOPED_TRACE(edition->Caption.toStdString());
        Make(*edition);
        TAboutBoxForm about(Form.get(), true);
        EXPECT_EQ(about.windowTitle(), "About Veskora");
        EXPECT_EQ(about.Label2->text(), edition->AboutTitle);
        EXPECT_EQ(about.Label2->font().pointSize(), edition->AboutTitlePointSize);
        EXPECT_TRUE(about.Label2->font().bold());
        EXPECT_TRUE(about.Label2->font().italic());
        EXPECT_EQ(about.Label5->text(), edition->AboutMakerNotice);
        EXPECT_EQ(Child<QLabel>(about, "Label1")->text(), "Ver:");
        EXPECT_EQ(Child<QLabel>(about, "Label7")->text(), "Connect Status:");
        EXPECT_EQ(Child<QLabel>(about, "Label8")->text(), "Frimware Ver:");
        EXPECT_EQ(Child<QLabel>(about, "StatusLabel")->text(), "Execution Status:");
        const QColor titleBar = about.palette().color(QPalette::Active, QPalette::Highlight);
        EXPECT_EQ(about.Label6->palette().color(QPalette::WindowText), titleBar);
        if (edition->AboutShowsModelList) {
            EXPECT_EQ(about.Label6->text(),
                      "Support:" + QString(37, ' ') + "R-2416, R-2416-GX, R-2416B, R-2481");
            EXPECT_EQ(about.Label6->font().pointSize(), 12);
            EXPECT_TRUE(about.Label6->wordWrap());
            EXPECT_EQ(about.Label3, nullptr);
        } else {
            ASSERT_NE(about.Label3, nullptr);
            EXPECT_EQ(about.Label3->text(), "RS-232 to CAN ");
            EXPECT_EQ(about.Label6->text(), "Converter");
            EXPECT_EQ(about.Label3->font().pointSize(), 16);
            EXPECT_EQ(about.Label6->font().pointSize(), 16);
            EXPECT_GT(about.Label6->y(), about.Label3->y());
            EXPECT_GT(about.Label6->x(), about.Label3->x());
        }
    }
}

TEST_F(AboutTest, BorderlessFixedPanelWithBlackFrameAndBothPictures)
{
    for (const Edition *edition : kEditions) {
        SCOPED_TRACE(edition->Caption.toStdString());
        Make(*edition);
        Form->FConnected = true;
        Form->FModuleMode = mmPairTest; // the longest status text
        Form->FFirmwareVersion = "3.10";
        TAboutBoxForm about(Form.get(), true);
        EXPECT_EQ(about.size(), QSize(312, 231));
        EXPECT_EQ(about.minimumSize(), about.maximumSize());
        const Qt::WindowFlags flags = about.windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);

        QWidget *panel2 = Child(about, "Panel2");
        ASSERT_NE(panel2, nullptr);
        EXPECT_EQ(panel2->geometry(), QRect(3, 3, 306, 225));
        EXPECT_EQ(Child(about, "Panel1")->palette().color(QPalette::Window), QColor(Qt::black));
        EXPECT_EQ(panel2->palette().color(QPalette::Window), QColor(Qt::white));
        EXPECT_EQ(Child(about, "Panel3")->height(), 1);

        EXPECT_EQ(about.Image1->size(), QSize(34, 55));
        EXPECT_EQ(about.Image2->size(), QSize(118, 88));
        EXPECT_EQ(about.Image1->pixmap().size(), QSize(34, 55));
        EXPECT_EQ(about.Image2->pixmap().size(), QSize(118, 88));

        // Every text is plain, inside the white panel, shown whole, and clear of the picture.
        for (QLabel *label : panel2->findChildren<QLabel *>()) {
            if (label == about.Image1 || label == about.Image2)
                continue;
            SCOPED_TRACE(label->objectName().toStdString());
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
            EXPECT_TRUE(panel2->rect().contains(label->geometry()));
            EXPECT_FALSE(label->geometry().intersects(about.Image2->geometry()));
            EXPECT_FALSE(label->geometry().intersects(about.Image1->geometry()));
            if (!label->wordWrap()) {
                EXPECT_GE(label->width(), label->sizeHint().width());
            } else {
                EXPECT_GE(label->height(), label->heightForWidth(label->width()));
            }
        }
    }
}

TEST_F(AboutTest, AClickAnywhereClosesTheModalWindowWithOk)
{
    const struct {
        const char *target;
        QPoint at; // null: the middle of the target
    } targets[] = {{"Panel2", {}},  {"Image1", {}},       {"Image2", {}}, {"Label2", {}},
                   {"Label6", {}},  {"ConnectLabel", {}}, {"Label5", {}}, {"Panel3", {}},
                   {"Panel1", {1, 1}}, {"Panel1", {310, 229}}};
    for (const auto &t : targets) {
        SCOPED_TRACE(t.target);
        TAboutBoxForm about(Form.get(), true);
        QWidget *target = Child(about, t.target);
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(ExecAbout(about,
                            [&](TAboutBoxForm &) {
                                QTest::mouseClick(target, Qt::LeftButton, {},
                                                  t.at.isNull() ? target->rect().center() : t.at);
                            }),
                  1);
        EXPECT_FALSE(about.FCloseRequested);
    }
}

TEST_F(AboutTest, AnyKeyClosesTheModalWindowWithOk)
{
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space, Qt::Key_A, Qt::Key_F1}) {
        SCOPED_TRACE(key);
        TAboutBoxForm about(Form.get(), true);
        EXPECT_EQ(ExecAbout(about, [&](TAboutBoxForm &a) { QTest::keyClick(&a, key); }), 1);
    }
}

TEST_F(AboutTest, TheHiddenInstanceOnlyNotesTheRequest)
{
    TAboutBoxForm about(Form.get());
    EXPECT_FALSE(about.FModal);
    EXPECT_FALSE(about.FCloseRequested);
    about.show();
    QTest::mouseClick(about.Label2, Qt::LeftButton);
    EXPECT_TRUE(about.FCloseRequested);
    EXPECT_TRUE(about.isVisible());

    TAboutBoxForm other(Form.get(), false);
    other.show();
    QTest::keyClick(&other, Qt::Key_Escape);
    EXPECT_TRUE(other.FCloseRequested);
    EXPECT_TRUE(other.isVisible());
}

TEST_F(AboutTest, TheAboutCommandShowsAndDismissesIt)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *about = qobject_cast<TAboutBoxForm *>(QApplication::activeModalWidget());
        if (!about)
            return;
        poll.stop();
        seen = about->FModal;
        QTest::mouseClick(about->Image2, Qt::LeftButton);
    });
    poll.start();
    Form->AboutToolButtonClick();
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(Artwork, EveryPictureIsBuiltInAtItsSize)
{
    QStringList paths;
    for (const char *name : {"connect", "disconnect", "settings", "exit", "about"})
        paths << QString(":/veltaro/toolbar/%1.png").arg(name);
    const int toolbarCount = paths.size();
    for (const char *name : {"setting", "defaults", "clear", "auto", "stop", "send", "save", "receive"})
        paths << QString(":/veltaro/glyphs/%1.png").arg(name);
    for (int i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i].toStdString());
        const QImage image(paths[i]);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), i < toolbarCount ? QSize(36, 36) : QSize(16, 16));
        EXPECT_TRUE(image.hasAlphaChannel());
    }
    EXPECT_EQ(QImage(":/veltaro/icon.png").size(), QSize(64, 64));
}

TEST(DecodeJpeg, DecodesThePicturesOfTheProgram)
{
    const struct {
        const char *path;
        QSize size;
    } pictures[] = {{":/veltaro/about/emblem.jpg", {34, 55}}, {":/veltaro/about/picture.jpg", {118, 88}}};
    for (const auto &p : pictures) {
        SCOPED_TRACE(p.path);
        const QByteArray data = Resource(p.path);
        ASSERT_FALSE(data.isEmpty());
        EXPECT_EQ(data.mid(6, 5), QByteArray("JFIF\0", 5));
        const QImage image = DecodeJpeg(data);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), p.size);
        // The same picture as Qt's own reader gives, within JPEG rounding.
        const QImage reference = QImage::fromData(data).convertToFormat(QImage::Format_RGB888);
        if (!reference.isNull()) {
            const QRgb a = image.pixel(p.size.width() / 2, p.size.height() / 2);
            const QRgb b = reference.pixel(p.size.width() / 2, p.size.height() / 2);
            EXPECT_LE(std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)),
                      12);
        }
    }
}

// Offset of the SOF0 marker's segment in JPEG data, or -1.
qsizetype FrameHeader(const QByteArray &data) { return data.indexOf(QByteArray("\xFF\xC0", 2)); }

TEST(DecodeJpeg, BadDataGivesANullImageSilently)
{
    const QByteArray good = Resource(":/veltaro/about/emblem.jpg");
    ASSERT_FALSE(good.isEmpty());
    const qsizetype sof = FrameHeader(good);
    ASSERT_GT(sof, 0);
    auto patched = [&](qsizetype at, QByteArray bytes) {
        QByteArray d = good;
        d.replace(at, bytes.size(), bytes);
        return d;
    };
    const struct {
        const char *name;
        QByteArray data;
    } cases[] = {
        {"empty", {}},
        {"text", "not a picture at all"},
        {"only the start marker", QByteArray("\xFF\xD8", 2)},
        {"headers without scan data", good.left(good.indexOf(QByteArray("\xFF\xDA", 2)) + 2)},
        {"truncated in the middle", good.left(good.size() / 2)},
        {"end marker missing", good.left(good.size() - 2)},
        {"start marker damaged", patched(0, QByteArray("\x00\x00", 2))},
        {"zero width", patched(sof + 7, QByteArray("\x00\x00", 2))},
        {"huge size claimed", patched(sof + 5, QByteArray("\xFF\xDC\xFF\xDC", 4))},
        {"unknown component count", patched(sof + 9, QByteArray("\x02", 1))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        testing::internal::CaptureStderr();
        const QImage image = DecodeJpeg(c.data);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(image.isNull());
    }
}

TEST(DecodeJpeg, EveryTruncationFailsAndNoDamagedByteCrashes)
{
    const QByteArray good = Resource(":/veltaro/about/emblem.jpg");
    ASSERT_FALSE(good.isEmpty());
    testing::internal::CaptureStderr();
    int decoded = 0;
    for (qsizetype n = 0; n < good.size(); ++n)
        decoded += DecodeJpeg(good.left(n)).isNull() ? 0 : 1;
    EXPECT_EQ(decoded, 0);
    for (qsizetype i = 0; i < good.size(); ++i) {
        QByteArray damaged = good;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
        const QImage image = DecodeJpeg(damaged);
        // Damage in the scan data may still decode; the picture then has its size.
        if (!image.isNull()) {
            EXPECT_EQ(image.size(), QSize(34, 55)) << "byte " << i;
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
