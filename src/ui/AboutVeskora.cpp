#include "AboutVeskora.h"

#include "ControlFactory.h"
#include "JpegImage.h"
#include "MainUnit.h"
#include "MessageService.h"
#include "Resources.h"

#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

#include <algorithm>


namespace {

constexpr int kClientWidth = 312;
constexpr int kClientHeight = 231;
constexpr int kFrame = 3;                       // black border around the white panel
constexpr int kInnerWidth = kClientWidth - 2 * kFrame;
constexpr int kInnerHeight = kClientHeight - 2 * kFrame;

void Fill(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, color);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void SetTextColor(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, color);
    w->setPalette(p);
}

// A label sized to its text (the panel places its labels by hand).
QLabel *MakeFittedLabel(QWidget *parent, const char *name, const QString &text)
{
    QLabel *label = MakeLabel(parent, name, text);
    label->adjustSize();
    return label;
}

QFont PointFont(const QFont &base, int points, bool bold)
{
    QFont f = base;
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

// A picture stored as JPEG data in the resources; null when it does not decode.
QPixmap StoredPicture(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QImage image = DecodeJpeg(file.readAll());
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

QString ModeText(TModuleMode mode)
{
    switch (mode) {
    case mmConfiguration: return QStringLiteral("Setting Mode");
    case mmOperation: return QStringLiteral("Operation Mode");
    case mmPairTest: return QStringLiteral("Pair Connection Test Mode");
    default: return QStringLiteral("None");
    }
}

} // namespace

TAboutBoxForm::TAboutBoxForm(TMainForm *owner) : QDialog(owner), FOwner(owner)
{
    Build();
    FormCreate();
}

TAboutBoxForm::TAboutBoxForm(TMainForm *owner, bool modal) : QDialog(owner), FOwner(owner)
{
    Build();
    FModal = modal;
    FCloseRequested = false;
    FormCreate();
}

void TAboutBoxForm::Build()
{
    InitVeltaroResources();
    setObjectName(QStringLiteral("AboutBoxForm"));
    setWindowTitle(QStringLiteral("About Veskora"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFixedSize(kClientWidth, kClientHeight);

    const Edition &edition = FOwner->EditionInfo();

    auto *panel1 = new QFrame(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setGeometry(0, 0, kClientWidth, kClientHeight);
    Fill(panel1, Qt::black);

    auto *panel2 = new QFrame(panel1);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setGeometry(kFrame, kFrame, kInnerWidth, kInnerHeight);
    Fill(panel2, Qt::white);
    // The default for the labels that have no font or colour of their own.
    QFont panelFont(QStringLiteral("sans-serif"), 8);
    panelFont.setStyleHint(QFont::SansSerif);
    panel2->setFont(panelFont);
    SetTextColor(panel2, Qt::blue);

    Image1 = new QLabel(panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(6, 2, 34, 55);
    Image1->setPixmap(StoredPicture(QStringLiteral(":/veltaro/about/emblem.jpg")));

    UtilityVersionLabel = MakeFittedLabel(panel2, "UtilityVersionLabel", QStringLiteral("1.00"));
    auto *label1 = MakeFittedLabel(panel2, "Label1", QStringLiteral("Ver:"));
    const QFont versionFont = PointFont(panelFont, 10, false);
    label1->setFont(versionFont);
    label1->adjustSize();
    UtilityVersionLabel->setFont(versionFont);
    UtilityVersionLabel->setGeometry(kInnerWidth - 46, 4, 42, label1->height());
    label1->move(UtilityVersionLabel->x() - label1->width() - 3, 4);

    Label2 = MakeFittedLabel(panel2, "Label2", edition.AboutTitle);
    QFont titleFont(QStringLiteral("Arial"), edition.AboutTitlePointSize);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    Label2->setFont(titleFont);
    SetTextColor(Label2, Qt::blue);
    Label2->setGeometry(46, 14, kInnerWidth - 50, 36);

    auto *panel3 = new QFrame(panel2);
    panel3->setObjectName(QStringLiteral("Panel3"));
    panel3->setGeometry(46, 51, kInnerWidth - 52, 1);
    Fill(panel3, Qt::black);

    const QColor titleBar = palette().color(QPalette::Active, QPalette::Highlight);
    if (edition.AboutShowsModelList) {
        Label6 = MakeFittedLabel(panel2, "Label6",
                                 QStringLiteral("Support:") + QString(37, QLatin1Char(' ')) +
                                     QStringLiteral("R-2416, R-2416-GX, R-2416B, R-2481"));
        Label6->setFont(PointFont(panelFont, 12, true));
        Label6->setWordWrap(true);
        Label6->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Label6->setGeometry(6, 59, kInnerWidth - 12, 57);
        SetTextColor(Label6, titleBar);
    } else {
        const QFont descriptionFont = PointFont(panelFont, 16, true);
        Label3 = MakeFittedLabel(panel2, "Label3", QStringLiteral("RS-232 to CAN "));
        Label3->setFont(descriptionFont);
        Label3->adjustSize();
        Label3->move(20, 59);
        SetTextColor(Label3, titleBar);
        Label6 = MakeFittedLabel(panel2, "Label6", QStringLiteral("Converter"));
        Label6->setFont(descriptionFont);
        Label6->adjustSize();
        Label6->move(130, 59 + Label3->height());
        SetTextColor(Label6, titleBar);
    }

    // Status rows: caption labels; the value labels are placed by FormCreate
    // once their texts are known.
    auto *label7 = MakeFittedLabel(panel2, "Label7", QStringLiteral("Connect Status:"));
    auto *label8 = MakeFittedLabel(panel2, "Label8", QStringLiteral("Frimware Ver:"));
    auto *statusLabel = MakeFittedLabel(panel2, "StatusLabel", QStringLiteral("Execution Status:"));
    ConnectLabel = MakeFittedLabel(panel2, "ConnectLabel", QStringLiteral("Not Connected"));
    FirmwareVersionLabel = MakeFittedLabel(panel2, "FirmwareVersionLabel", QStringLiteral("0.00"));
    ExecutionLabel = MakeFittedLabel(panel2, "ExecutionLabel", QStringLiteral("None"));
    FStatusCaptions = {label7, label8, statusLabel};

    Image2 = new QLabel(panel2);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(kInnerWidth - 118 - 4, 118, 118, 88);
    Image2->setPixmap(StoredPicture(QStringLiteral(":/veltaro/about/picture.jpg")));

    Label5 = MakeFittedLabel(panel2, "Label5", edition.AboutMakerNotice);
    Label5->setFont(QFont(QStringLiteral("Arial"), 8));
    SetTextColor(Label5, Qt::black);
    Label5->adjustSize();
    Label5->setGeometry(6, kInnerHeight - Label5->height() - 3, kInnerWidth - 12, Label5->height());

    // Every part of the window dismisses it: watch all of them.
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);

    // Centred on the screen the main window is on.
    QScreen *screen = FOwner->screen() ? FOwner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->geometry().center() - rect().center());
}

void TAboutBoxForm::LayOutStatusRows()
{
    const std::array<QLabel *, 3> values = {ConnectLabel, FirmwareVersionLabel, ExecutionLabel};
    int valueX = 0;
    for (QLabel *caption : FStatusCaptions)
        valueX = std::max(valueX, caption->width());
    valueX += 6 + 4;
    // Values wrap rather than run under the picture at the right.
    const int valueWidth = Image2->x() - 4 - valueX;
    int y = 122;
    for (size_t i = 0; i < values.size(); ++i) {
        QLabel *value = values[i];
        value->setWordWrap(true);
        const int height = std::max(value->heightForWidth(valueWidth), FStatusCaptions[i]->height());
        FStatusCaptions[i]->move(6, y);
        value->setGeometry(valueX, y, valueWidth, height);
        y += height + 6;
    }
}

void TAboutBoxForm::FormCreate()
{
    UtilityVersionLabel->setText(FOwner->FUtilityVersion);
    FirmwareVersionLabel->setText(FOwner->FFirmwareVersion);
    ConnectLabel->setText(FOwner->FConnected ? QStringLiteral("Connectied")
                                             : QStringLiteral("Not Connected"));
    ExecutionLabel->setText(ModeText(FOwner->FModuleMode));
    LayOutStatusRows();
}

void TAboutBoxForm::Panel1Click()
{
    if (FModal)
        done(1);
    else
        FCloseRequested = true;
}

void TAboutBoxForm::FormKeyDown() { Panel1Click(); }

bool TAboutBoxForm::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return true; // the click is complete on release
    case QEvent::MouseButtonRelease:
        Guarded([this] { Panel1Click(); });
        return true;
    case QEvent::KeyPress:
        Guarded([this] { FormKeyDown(); });
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void TAboutBoxForm::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    Guarded([this] { FormKeyDown(); });
}

void TAboutBoxForm::mousePressEvent(QMouseEvent *event) { event->accept(); }

void TAboutBoxForm::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    Guarded([this] { Panel1Click(); });
}
