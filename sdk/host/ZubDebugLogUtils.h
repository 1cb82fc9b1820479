#pragma once
#include "ZubHostExport.h"
#include <QString>

// The host's process-wide debug log. Each operation takes the message, the
// source file, the function name and the line of the calling statement.
class ZUB_COMMON_EXPORT ZubDebugLogUtils
{
public:
    static ZubDebugLogUtils* getInstance();

    virtual void debug(const QString& message, const QString& file, const QString& function,
                       int line);
    virtual void info(const QString& message, const QString& file, const QString& function,
                      int line);
    virtual void error(const QString& message, const QString& file, const QString& function,
                       int line);

protected:
    ZubDebugLogUtils() = default;
    ~ZubDebugLogUtils() = default;
};
