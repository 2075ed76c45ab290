// How a failed COM call reaches the commands: as automation::Error with the number Word's macro
// language would show for it.
#pragma once

#include "automation/com/win32.h"

#include "automation/error.h"

namespace automation::com {

// The failure of an Invoke: Word's own error from EXCEPINFO (number in the low word of 0x800Axxxx),
// 462 when the server has gone away, otherwise the HRESULT with the system's text for it.
Error errorFromInvoke(HRESULT result, EXCEPINFO& info);
// The failure of any other COM call (CoCreateInstance, GetIDsOfNames, ...).
Error errorFromHresult(HRESULT result);

// True for the HRESULTs of a server process that has quit, crashed or dropped the connection.
bool isServerGone(HRESULT result);
// True when the server refused the call because it is busy; the call may be made again.
bool isServerBusy(HRESULT result);

// How long to wait before repeating a call the server refused as busy, elapsedMs after the call was
// first made; -1 (as a DWORD) once it has been refused for long enough.
DWORD busyRetryDelay(DWORD elapsedMs);
inline constexpr DWORD kBusyRetryLimitMs = 5000;
inline constexpr DWORD kBusyRetryStepMs = 100;

}  // namespace automation::com
