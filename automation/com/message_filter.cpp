#include "automation/com/message_filter.h"

#include "automation/com/com_error.h"

namespace automation::com {

HRESULT STDMETHODCALLTYPE MessageFilter::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
        *object = static_cast<IMessageFilter*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE MessageFilter::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG STDMETHODCALLTYPE MessageFilter::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

DWORD STDMETHODCALLTYPE MessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
    return SERVERCALL_ISHANDLED;
}

DWORD STDMETHODCALLTYPE MessageFilter::RetryRejectedCall(HTASK, DWORD tickCount, DWORD rejectType) {
    if (rejectType != SERVERCALL_RETRYLATER) return static_cast<DWORD>(-1);
    return busyRetryDelay(tickCount);
}

DWORD STDMETHODCALLTYPE MessageFilter::MessagePending(HTASK, DWORD, DWORD) { return PENDINGMSG_WAITDEFPROCESS; }

Apartment::Apartment() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr)) throw errorFromHresult(hr);  // RPC_E_CHANGED_MODE: this thread is multithreaded
    initialized_ = true;
    filter_ = new MessageFilter;
    if (FAILED(CoRegisterMessageFilter(filter_, &previous_))) previous_ = nullptr;
}

Apartment::~Apartment() {
    IMessageFilter* ours = nullptr;
    CoRegisterMessageFilter(previous_, &ours);
    if (ours != nullptr) ours->Release();
    if (previous_ != nullptr) previous_->Release();
    filter_->Release();
    if (initialized_) CoUninitialize();
}

void enterApartment() { thread_local Apartment apartment; }

}  // namespace automation::com
