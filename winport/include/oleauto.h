#pragma once
// On Windows this header does not stand on its own: it needs <windows.h> (or
// <objbase.h>) before it. Refusing here too keeps the include order right for
// the Windows build; the declarations themselves come with <windows.h>.
#ifndef WINPORT_WINDOWS_H
#error "include <windows.h> before <oleauto.h>, as Windows' own header requires"
#endif
