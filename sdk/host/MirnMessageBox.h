#pragma once
#include "ZubHostExport.h"
#include <QString>

class QWidget;

class ZUB_CONTROL_EXPORT MirnMessageBox
{
public:
    static int tip(const QString& text, QWidget* parent, bool modalToApplication,
                   const QString& detail);
};
