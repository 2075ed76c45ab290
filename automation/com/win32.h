// The Windows headers the COM backend needs, without the macros that clash with Word's member names.
#pragma once

#include <objidl.h>
#include <oleauto.h>
#include <windows.h>

// commdlg.h maps FindText to FindTextA/W; Word's Find.Execute has an argument of that name.
#ifdef FindText
#undef FindText
#endif
