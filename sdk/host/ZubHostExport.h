#pragma once
// Symbols of the host framework libraries. The plug-in builds with hidden
// visibility, so host types must stay visible for typeinfo and linking.
#include <QtCore/qglobal.h>

#if defined(ZUB_COMMON_LIBRARY)
#define ZUB_COMMON_EXPORT Q_DECL_EXPORT
#else
#define ZUB_COMMON_EXPORT Q_DECL_IMPORT
#endif

#if defined(ZUB_CONTROL_LIBRARY)
#define ZUB_CONTROL_EXPORT Q_DECL_EXPORT
#else
#define ZUB_CONTROL_EXPORT Q_DECL_IMPORT
#endif

// Interfaces that cross module boundaries (dynamic_cast between them).
#if defined(_MSC_VER)
#define ZUB_INTERFACE
#else
#define ZUB_INTERFACE __attribute__((visibility("default")))
#endif
