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

} // namespace

QualityControlUIFacade* loadQualityControlFacade(void* arg1, void* arg2, const QString& name,
                                                 void* arg4, bool flag)
{
    const QString dir = QCoreApplication::applicationDirPath() + g_strModuleDir;
    const QString fileName =
        QStringLiteral("%1%2").arg(QStringLiteral("ZubQualityControl"), g_strModuleSuffix);

    // The facades' code must outlive the library object: the module stays
    // loaded for good, and each request leaves no object behind.
    QLibrary library(dir + fileName);
    library.setLoadHints(QLibrary::PreventUnloadHint);
    {
        DllDirectoryOverride searchBesideModule(dir);
        library.load();
    }
    // After a failed load, resolve() tries once more with the directory restored.
    auto entry = reinterpret_cast<GetQualityControlUIFacadeFunc>(
        library.resolve("getQualityControlUIFacade"));
    return entry ? entry(arg1, arg2, name, arg4, flag) : nullptr;
}
