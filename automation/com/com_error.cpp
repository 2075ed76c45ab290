#include "automation/com/com_error.h"

#include <cstdio>
#include <string>

#include "automation/com/dispatch.h"

namespace automation::com {

namespace {

// The numbers Visual Basic gives the dispatch HRESULTs that have one; Word's macro language shows these.
long basicNumber(HRESULT result) {
    switch (result) {
        case DISP_E_MEMBERNOTFOUND:
        case DISP_E_UNKNOWNNAME: return 438;
        case DISP_E_TYPEMISMATCH: return 13;
        case DISP_E_BADPARAMCOUNT: return 450;
        case DISP_E_PARAMNOTOPTIONAL: return 449;
        case DISP_E_OVERFLOW: return 6;
        case DISP_E_BADINDEX: return 9;
        case E_OUTOFMEMORY: return 7;
        case E_INVALIDARG: return errors::BadParameter;
        default: return static_cast<long>(result);
    }
}

constexpr HRESULT win32Error(unsigned long code) {
    return static_cast<HRESULT>((code & 0xFFFFu) | (FACILITY_WIN32 << 16) | 0x80000000u);
}

std::string systemMessage(DWORD code, WORD language) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr) {
        text = utf8FromWide(buffer, length);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    }
    LocalFree(buffer);
    return text;
}

// The system's text for an HRESULT, in Chinese where Windows has it.
std::string messageOf(HRESULT result) {
    std::string text = systemMessage(static_cast<DWORD>(result), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    if (text.empty()) text = systemMessage(static_cast<DWORD>(result), 0);
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    return text.empty() ? "自动化错误 " + std::string(code) + "。" : text + "（" + code + "）";
}

}  // namespace

bool isServerGone(HRESULT result) {
    switch (result) {
        case RPC_E_DISCONNECTED:
        case RPC_E_SERVER_DIED:
        case RPC_E_SERVER_DIED_DNE:
        case RPC_E_CONNECTION_TERMINATED:
        case CO_E_OBJNOTCONNECTED: return true;
        default:
            return result == win32Error(RPC_S_SERVER_UNAVAILABLE) || result == win32Error(RPC_S_CALL_FAILED) ||
                   result == win32Error(RPC_S_CALL_FAILED_DNE);
    }
}

bool isServerBusy(HRESULT result) { return result == RPC_E_SERVERCALL_RETRYLATER || result == RPC_E_CALL_REJECTED; }

DWORD busyRetryDelay(DWORD elapsedMs) {
    return elapsedMs < kBusyRetryLimitMs ? kBusyRetryStepMs : static_cast<DWORD>(-1);
}

Error errorFromHresult(HRESULT result) {
    if (isServerGone(result)) return errors::serverGone();
    return Error(basicNumber(result), messageOf(result));
}

Error errorFromInvoke(HRESULT result, EXCEPINFO& info) {
    if (result != DISP_E_EXCEPTION) return errorFromHresult(result);
    if (info.pfnDeferredFillIn != nullptr) info.pfnDeferredFillIn(&info);
    const HRESULT code =
        info.scode != 0 ? info.scode : (info.wCode != 0 ? MAKE_HRESULT(1, FACILITY_CONTROL, info.wCode) : E_FAIL);
    if (isServerGone(code)) return errors::serverGone();
    const std::string description = info.bstrDescription != nullptr ? utf8FromBstr(info.bstrDescription) : "";
    const long number = HRESULT_FACILITY(code) == FACILITY_CONTROL ? HRESULT_CODE(code) : basicNumber(code);
    return Error(number, description.empty() ? messageOf(code) : description);
}

}  // namespace automation::com
