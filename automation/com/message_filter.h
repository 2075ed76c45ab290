// The program's side of COM on its one thread: a single-threaded apartment with an OLE message filter
// that repeats calls Word turns down while it is busy.
#pragma once

#include "automation/com/win32.h"

namespace automation::com {

// Repeats a call rejected with SERVERCALL_RETRYLATER every 100 ms for up to five seconds; cancels
// other rejections at once.
class MessageFilter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                               LPINTERFACEINFO info) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) override;

private:
    LONG references_ = 1;
};

// Enters a single-threaded apartment on this thread and installs the message filter; undoes both
// when it ends. Throws automation::Error when the thread is already in the multithreaded apartment.
class Apartment {
public:
    Apartment();
    ~Apartment();
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;

private:
    bool initialized_ = false;
    MessageFilter* filter_ = nullptr;
    IMessageFilter* previous_ = nullptr;
};

// Puts the calling thread in a single-threaded apartment with the message filter, once per thread, until
// the thread ends. Every entry point that creates or attaches to a server calls it.
void enterApartment();

}  // namespace automation::com
