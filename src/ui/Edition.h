#pragma once
// What differs between the two programs built from this source. The windows
// take it as data; nothing else in the code asks which program it is.
#include <QString>
#include <QStringList>

struct Edition {
    QString Caption;             // main window caption and message-box title
    QString UtilityVersion;      // FUtilityVersion
    QString ClosePrompt;         // FormClose question
    QString MakerNoticePrefix;   // status panel 3: prefix + CompanyName + suffix
    QString MakerNoticeSuffix;
    QString AboutMakerNotice;    // About window's bottom line

    bool MultiModel = true;          // model-dependent baud lists, refusals, "#PU"
    bool HasUserDefinedTiming = true; // GroupBox3, "User-defined", "#PU"/"$PU09"
    bool HasDiagnosticButtons = true; // hidden Button1/Button2/Edit2
    QStringList FixedRs232Bauds;      // non-empty: the RS-232 list never changes
    int StartPage = 0;                // 0 Settings, 1 Test

    QString DialogBaudLabel;          // "module's Baud" / "R-2416 Baud"
    QStringList DialogBauds;          // entries of R2416Baud

    QString AboutTitle;               // "Veltaro" / "R-2416 Utility"
    int AboutTitlePointSize = 18;
    bool AboutShowsModelList = true;  // "Support: ..." vs the two description lines
};

const Edition &MultiModelEdition();
const Edition &SingleModelEdition();
