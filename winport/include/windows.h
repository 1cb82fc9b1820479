#pragma once
// POSIX stand-in for the Windows header: the types, constants and calls of the
// families below, with Windows' own semantics and error codes.
#include <winport/types.h>
#include <winport/errors.h>
#include <winport/registry.h>
#include <winport/loader.h>
#include <winport/paths.h>
#include <winport/text.h>
#include <winport/com.h>
#include <winport/sync.h>
#include <winport/files.h>
#include <winport/debugtime.h>
#include <winport/crt.h>

// Marks that the Windows declarations are in, for headers that need them first.
#define WINPORT_WINDOWS_H
