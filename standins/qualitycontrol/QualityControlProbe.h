#pragma once
// What the module lets a test see: how often its entry ran, with which
// arguments, how many facades are alive, and the DLL search directory that was
// in force while the module was loaded. Plain data, read through the export
// "getQualityControlProbe".
#include <windows.h>

enum { QC_PROBE_NAME_SIZE = 256 };

struct QualityControlProbe
{
    int entryCalls;
    void* arg1;
    void* arg2;
    void* arg4;
    bool flag;
    char name[QC_PROBE_NAME_SIZE]; // UTF-8, cut to fit
    int liveFacades;
    WCHAR dllDirectoryAtLoad[MAX_PATH];
    char version[32];
};

typedef const QualityControlProbe* (*GetQualityControlProbeFunc)();

// Set in the environment (to any value) to make the entry return null.
#define QC_RETURN_NULL_VARIABLE "ZUB_QC_RETURN_NULL"
