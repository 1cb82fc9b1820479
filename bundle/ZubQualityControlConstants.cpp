#include "ZubQualityControlConstants.h"

namespace {
const int kModuleMajorVersion = 1;
} // namespace

const char g_strComponentName[] = "Mirn6_QualityControl";
const char g_strModuleSuffix[] = "64d.dll";

QString moduleDirectory()
{
    return QStringLiteral("/../Module/QualityControl/") + QString::number(kModuleMajorVersion) +
           QStringLiteral("/QualityControl/");
}
