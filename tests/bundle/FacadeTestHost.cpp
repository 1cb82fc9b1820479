// A host for the module-location tests, copied into a suite layout of its own:
// it loads the plug-in beside it and runs the steps of its command line,
// printing one line per observation.
//   setdir:TEXT    set the DLL search directory
//   junk           put a file that is no library where the module belongs
//   install:PATH   copy the module at PATH to where it belongs
//   call           ask the factory for the facade; prints facade|null, then dlldir=...
//   probe          prints the module's entry count and load-time DLL directory
#include "KeepingContext.h"
#include "QualityControlProbe.h"

#include <IZubQualityControlServiceFactory.h>
#include <windows.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <cstdio>
#include <string>

namespace {

QString moduleDir()
{
    return QCoreApplication::applicationDirPath() + "/../Module/QualityControl/1/QualityControl/";
}

QString modulePath()
{
    return moduleDir() + "ZubQualityControl64d.dll";
}

void say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
}

QString dllDirectory()
{
    WCHAR buffer[MAX_PATH] = {};
    GetDllDirectoryW(MAX_PATH, buffer);
    return QString::fromStdWString(buffer);
}

bool placeModule(const QString& source)
{
    QDir().mkpath(moduleDir());
    QFile::remove(modulePath());
    if (!source.isEmpty())
        return QFile::copy(source, modulePath());
    QFile junk(modulePath());
    return junk.open(QIODevice::WriteOnly) && junk.write("not a library") > 0;
}

void sayProbe()
{
    QLibrary module(modulePath());
    auto get =
        reinterpret_cast<GetQualityControlProbeFunc>(module.resolve("getQualityControlProbe"));
    if (!get)
        return say("probe=none");
    say(QString("probe.calls=%1").arg(get()->entryCalls));
    say("probe.dir=" + QString::fromStdWString(get()->dllDirectoryAtLoad));
}

bool runStep(const QString& step, IZubQualityControlServiceFactory* factory)
{
    if (step.startsWith("setdir:"))
        return SetDllDirectoryW(step.mid(7).toStdWString().c_str()) != FALSE;
    if (step == "junk")
        return placeModule(QString());
    if (step.startsWith("install:"))
        return placeModule(step.mid(8));
    if (step == "call") {
        say(factory->getUIFacade(nullptr, nullptr, "host", nullptr, false) ? "facade" : "null");
        say("dlldir=" + dllDirectory());
        return true;
    }
    if (step == "probe") {
        sayProbe();
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    say("appdir=" + QCoreApplication::applicationDirPath());

    QLibrary plugin(QCoreApplication::applicationDirPath() + "/ZubQualityControlProxy64d");
    auto getBundle = reinterpret_cast<GetBundleFunc>(plugin.resolve("getbundle"));
    if (!getBundle) {
        say("plugin=" + plugin.errorString());
        return 2;
    }
    KeepingContext context;
    std::unique_ptr<IBundlerActivator>(getBundle())->activate(&context, nullptr);
    auto* factory = dynamic_cast<IZubQualityControlServiceFactory*>(context.factories.at(0).get());

    for (const QString& step : app.arguments().mid(1))
        if (!runStep(step, factory)) {
            say("failed step " + step);
            return 3;
        }
    return 0;
}
