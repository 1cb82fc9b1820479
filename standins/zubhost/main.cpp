// The demo host: a window, or one action from the command line.
#include "HostServices.h"
#include "HostWindow.h"
#include "PluginHost.h"
#include "ProgressSnapshot.h"

#include <IZubQualityControlServiceFactory.h>
#include <QualityControlUIFacade.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <cstdio>

namespace {

int runFacade(IZubQualityControlServiceFactory* factory)
{
    QualityControlUIFacade* facade =
        factory->getUIFacade(nullptr, nullptr, QStringLiteral("zubhost"), nullptr, false);
    if (!facade) {
        std::printf("no Quality Control facade\n");
        return 1;
    }
    std::printf("Quality Control facade: module version %s\n",
                facade->moduleVersion().toUtf8().constData());
    return 0;
}

int runUpdate(IZubQualityControlServiceFactory* factory, bool silent)
{
    DemoUpdateHost host;
    const bool ok = factory->updateQualityControl(&host, silent);
    std::printf("update %s\n", ok ? "ended well" : "failed");
    return ok ? 0 : 1;
}

int saveScreenshot(QWidget* window, const QString& file)
{
    window->show();
    QApplication::processEvents();
    if (!window->grab().save(file, "PNG")) {
        std::fprintf(stderr, "zubhost: cannot write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zubhost"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Demo host of the Quality Control plug-in"));
    parser.addHelpOption();
    const QCommandLineOption facadeOption(
        QStringLiteral("facade"),
        QStringLiteral("Print the facade's module version; exit 0 when one came back."));
    const QCommandLineOption updateOption(
        QStringLiteral("update"), QStringLiteral("Run one update; exit 0 when it ended well."));
    const QCommandLineOption silentOption(QStringLiteral("silent"),
                                          QStringLiteral("With --update: no progress dialog."));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QStringLiteral("Save the main window as PNG and exit; with --update, "
                       "the progress dialog once it is past 40%."),
        QStringLiteral("file"));
    parser.addOptions({facadeOption, updateOption, silentOption, screenshotOption});
    parser.process(app);

    PluginHost plugin;
    QString error;
    if (!plugin.load(&error)) {
        std::fprintf(stderr, "zubhost: %s\n", qPrintable(error));
        return 1;
    }
    if (parser.isSet(facadeOption))
        return runFacade(plugin.factory());
    if (parser.isSet(updateOption)) {
        if (!parser.isSet(screenshotOption))
            return runUpdate(plugin.factory(), parser.isSet(silentOption));
        ProgressSnapshot snapshot(parser.value(screenshotOption), 40);
        const int code = runUpdate(plugin.factory(), parser.isSet(silentOption));
        return snapshot.saved() ? code : 1;
    }

    HostWindow window(plugin.factory());
    if (parser.isSet(screenshotOption))
        return saveScreenshot(&window, parser.value(screenshotOption));
    window.show();
    return app.exec();
}
