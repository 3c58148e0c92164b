#include "Program.h"

#include "AboutVeskora.h"
#include "MainUnit.h"
#include "MessageService.h"
#include "Resources.h"

#include <QApplication>
#include <QIcon>

int RunProgram(const Edition &edition, int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(edition.Caption);
    InitVeltaroResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/veltaro/icon.png")));
    SetProgramTitle(edition.Caption);

    // The main window lives on this stack so that loops still running when it
    // closes unwind before it is destroyed.
    TMainForm mainForm(edition);
    TAboutBoxForm hiddenAbout(&mainForm); // made at start, never shown
    mainForm.show();
    return app.exec();
}
