#include "ZubQualityControlConstants.h"

namespace {
const int kModuleMajorVersion = 1;
} // namespace

const QString g_strComponentName = QStringLiteral("Mirn6_QualityControl");
const QString g_strModuleSuffix = QStringLiteral("64d.dll");
const QString g_strModuleDir = QStringLiteral("/../Module/QualityControl/") +
                               QString::number(kModuleMajorVersion) +
                               QStringLiteral("/QualityControl/");
