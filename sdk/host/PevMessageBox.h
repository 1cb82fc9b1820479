#pragma once
#include "ZubHostExport.h"
#include <QString>

class QWidget;

class ZUB_CONTROL_EXPORT PevMessageBox
{
public:
    static int tip(const QString& text, QWidget* parent, bool modalToApplication);
};
