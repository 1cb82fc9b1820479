#pragma once
#include <winport/types.h>

// BSTRs and code-page conversion. A BSTR points just past a 4-byte prefix that
// holds its length in bytes; WCHAR is wchar_t (one code point per unit here).
// CP_ACP is UTF-8.

#define CP_ACP 0
#define CP_THREAD_ACP 3
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x1
#define MB_ERR_INVALID_CHARS 0x8
#define WC_ERR_INVALID_CHARS 0x80

WINPORT_API int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                           int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar);
WINPORT_API int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr,
                                           int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                                           LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar);

WINPORT_API BSTR WINAPI SysAllocString(const OLECHAR* psz);
WINPORT_API BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui);
WINPORT_API UINT WINAPI SysStringLen(BSTR pbstr);
WINPORT_API UINT WINAPI SysStringByteLen(BSTR bstr);
WINPORT_API void WINAPI SysFreeString(BSTR bstrString);
