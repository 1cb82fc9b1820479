#include "QualityControlProbe.h"
#include "StandInFacade.h"

#include <windows.h>

#include <QString>
#include <cstring>

namespace {

QualityControlProbe makeProbe()
{
    QualityControlProbe probe = {};
    // The directory that the loader of this module had set, seen while loading.
    GetDllDirectoryW(MAX_PATH, probe.dllDirectoryAtLoad);
    std::strncpy(probe.version, ZUB_QC_VERSION, sizeof probe.version - 1);
    return probe;
}

QualityControlProbe g_probe = makeProbe();

void recordCall(void* arg1, void* arg2, const QString& name, void* arg4, bool flag)
{
    ++g_probe.entryCalls;
    g_probe.arg1 = arg1;
    g_probe.arg2 = arg2;
    g_probe.arg4 = arg4;
    g_probe.flag = flag;
    std::memset(g_probe.name, 0, sizeof g_probe.name);
    const QByteArray utf8 = name.toUtf8();
    std::strncpy(g_probe.name, utf8.constData(), sizeof g_probe.name - 1);
}

class CountedFacade : public StandInFacade
{
public:
    explicit CountedFacade(const QString& name)
        : StandInFacade(QStringLiteral(ZUB_QC_VERSION), name)
    {
        ++g_probe.liveFacades;
    }
    ~CountedFacade() override { --g_probe.liveFacades; }
};

} // namespace

extern "C" Q_DECL_EXPORT QualityControlUIFacade*
getQualityControlUIFacade(void* arg1, void* arg2, QString name, void* arg4, bool flag)
{
    recordCall(arg1, arg2, name, arg4, flag);
    if (qEnvironmentVariableIsSet(QC_RETURN_NULL_VARIABLE))
        return nullptr;
    return new CountedFacade(name);
}

extern "C" Q_DECL_EXPORT const QualityControlProbe* getQualityControlProbe()
{
    return &g_probe;
}
