#include "QualityControlModuleLoader.h"
#include "ZubQualityControlConstants.h"

#include <QualityControlUIFacade.h>
#include <windows.h>

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <string>

namespace {

const int kDllDirectorySize = 260;

// The module's own dependencies lie beside it: the DLL search directory points
// there for the span of the load, then goes back to what it was.
class DllDirectoryOverride
{
public:
    explicit DllDirectoryOverride(const QString& dir)
    {
        GetDllDirectoryW(kDllDirectorySize, m_saved);
        const std::wstring native = QDir::toNativeSeparators(dir).toStdWString();
        SetDllDirectoryW(native.c_str());
    }
    ~DllDirectoryOverride() { SetDllDirectoryW(m_saved); }
    DllDirectoryOverride(const DllDirectoryOverride&) = delete;
    DllDirectoryOverride& operator=(const DllDirectoryOverride&) = delete;

private:
    WCHAR m_saved[kDllDirectorySize] = {};
};

// The host hears nothing of a missing module, it only gets no facade; the
// loader's reason goes to the debugger, for whoever looks into why.
void traceUnavailable(const QString& reason)
{
    const QByteArray line = "Quality Control facade unavailable: " + reason.toLocal8Bit() + "\n";
    OutputDebugStringA(line.constData());
}

} // namespace

QualityControlUIFacade* loadQualityControlFacade(void* arg1, void* arg2, const QString& name,
                                                 void* arg4, bool flag)
{
    const QString dir = QCoreApplication::applicationDirPath() + moduleDirectory();
    const QString fileName =
        QStringLiteral("%1%2").arg(QStringLiteral("ZubQualityControl"), QString(g_strModuleSuffix));

    // The facades' code must outlive the library object: once loaded, the
    // module stays for the life of the process.
    QLibrary library(dir + fileName);
    library.setLoadHints(QLibrary::PreventUnloadHint);
    {
        DllDirectoryOverride searchBesideModule(dir);
        library.load();
    }
    // After a failed load, resolve() tries once more with the directory restored.
    auto entry = reinterpret_cast<GetQualityControlUIFacadeFunc>(
        library.resolve("getQualityControlUIFacade"));
    if (!entry) {
        traceUnavailable(library.errorString());
        return nullptr;
    }
    return entry(arg1, arg2, name, arg4, flag);
}
