#include "Edition.h"
#include "Identification.h"

namespace {

// The lists are built on first use (the protocol's functions), since an
// edition may be asked for during another file's static initialisation.
QStringList TwelveBauds()
{
    return protocol::Rs232BaudsUpTo115200();
}

Edition MakeMultiModel()
{
    Edition e;
    e.Caption = QStringLiteral("Veltaro");
    e.UtilityVersion = QStringLiteral("3.00");
    e.ClosePrompt = QStringLiteral("Close the Veltaro ?");
    e.MakerNoticePrefix = QStringLiteral("Copyright (c) ");
    e.MakerNoticeSuffix = QStringLiteral(" Inc.");
    e.AboutMakerNotice = QStringLiteral("Copyright (c) Veskora Inc. All rights reserved.");
    e.MultiModel = true;
    e.HasUserDefinedTiming = true;
    e.HasDiagnosticButtons = true;
    e.StartPage = 0;
    e.DialogBaudLabel = QStringLiteral("module's Baud");
    e.DialogBauds = protocol::AllRs232Bauds();
    e.AboutTitle = QStringLiteral("Veltaro");
    e.AboutTitlePointSize = 18;
    e.AboutShowsModelList = true;
    return e;
}

Edition MakeSingleModel()
{
    Edition e;
    e.Caption = QStringLiteral("R-2416 Utility");
    e.UtilityVersion = QStringLiteral("2.06");
    e.ClosePrompt = QStringLiteral("Close the R-2416 Utility ?");
    e.MakerNoticePrefix = QStringLiteral("(c) ");
    e.MakerNoticeSuffix = QString();
    e.AboutMakerNotice = QStringLiteral("(c) Veskora Inc.");
    e.MultiModel = false;
    e.HasUserDefinedTiming = false;
    e.HasDiagnosticButtons = false;
    e.FixedRs232Bauds = TwelveBauds();
    e.StartPage = 1;
    e.DialogBaudLabel = QStringLiteral("R-2416 Baud");
    e.DialogBauds = TwelveBauds();
    e.AboutTitle = QStringLiteral("R-2416 Utility");
    e.AboutTitlePointSize = 20;
    e.AboutShowsModelList = false;
    return e;
}

} // namespace

const Edition &MultiModelEdition()
{
    static const Edition e = MakeMultiModel();
    return e;
}

const Edition &SingleModelEdition()
{
    static const Edition e = MakeSingleModel();
    return e;
}
