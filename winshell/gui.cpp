#include "winshell/gui.h"

#include <cwchar>
#include <vector>

#include "automation/com/dispatch.h"

namespace winshell {

std::wstring wide(std::string_view utf8) { return automation::com::wideFromUtf8(std::string(utf8)); }

std::string utf8(std::wstring_view text) { return automation::com::utf8FromWide(text.data(), text.size()); }

std::string windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied));
    return utf8(text);
}

void setWindowText(HWND window, std::string_view text) { SetWindowTextW(window, wide(text).c_str()); }

namespace {

// A function of user32 that older Windows may lack; null there.
template <class Function>
Function user32Function(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

Dpi Dpi::of(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto forWindow = user32Function<DpiForWindow>("GetDpiForWindow");
    if (forWindow != nullptr && window != nullptr) {
        if (const UINT dpi = forWindow(window); dpi > 0) return Dpi(static_cast<int>(dpi));
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return Dpi(dpi > 0 ? dpi : 96);
}

RECT Dpi::rect(const settings::TwipRect& twips) const {
    const int left = px(twips.left);
    const int top = px(twips.top);
    return RECT{left, top, left + px(twips.width), top + px(twips.height)};
}

SIZE outerSize(DWORD style, int clientWidth, int clientHeight, const Dpi& dpi) {
    RECT outer{0, 0, clientWidth, clientHeight};
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (adjustForDpi != nullptr)
        adjustForDpi(&outer, style, FALSE, 0, static_cast<UINT>(dpi.value()));
    else
        AdjustWindowRectEx(&outer, style, FALSE, 0);
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

namespace {

constexpr const wchar_t* kUiFontName = L"Microsoft YaHei UI";

bool fontInstalled(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(
        screen, &wanted,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
            *reinterpret_cast<bool*>(found) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

}  // namespace

Font createUiFont(const Dpi& dpi) {
    LOGFONTW font{};
    if (fontInstalled(kUiFontName)) {
        font.lfHeight = -MulDiv(9, dpi.value(), 72);
        font.lfCharSet = DEFAULT_CHARSET;
        font.lfQuality = CLEARTYPE_QUALITY;
        wcsncpy(font.lfFaceName, kUiFontName, LF_FACESIZE - 1);
    } else {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        font = metrics.lfMessageFont;
        font.lfHeight = MulDiv(font.lfHeight, dpi.value(), Dpi::of(nullptr).value());
    }
    return Font(CreateFontIndirectW(&font));
}

Window::~Window() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

void Window::create(const wchar_t* className, std::string_view caption, DWORD style, HWND owner) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW described{};
    if (!GetClassInfoExW(instance, className, &described)) {
        described = WNDCLASSEXW{};
        described.cbSize = sizeof described;
        described.style = CS_DBLCLKS;
        described.lpfnWndProc = &Window::procedure;
        described.hInstance = instance;
        described.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        described.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        described.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        described.lpszClassName = className;
        RegisterClassExW(&described);
    }
    CreateWindowExW(0, className, wide(caption).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, owner, nullptr,
                    instance, this);
    dpi_ = Dpi::of(hwnd_);
    font_ = createUiFont(dpi_);
}

LRESULT Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // Static texts, check boxes and frames on the dialog colour.
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_DPICHANGED:
            dpi_ = Dpi(LOWORD(wParam));
            font_ = createUiFont(dpi_);
            EnumChildWindows(
                hwnd_,
                [](HWND child, LPARAM font) -> BOOL {
                    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(font_.get()));
            layout();
            return 0;
        default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

LRESULT CALLBACK Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

HWND createControl(HWND parent, const wchar_t* className, std::string_view text, DWORD style, int id, HFONT font,
                   DWORD exStyle) {
    HWND control =
        CreateWindowExW(exStyle, className, wide(text).c_str(), WS_CHILD | style, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

Tooltips::Tooltips(HWND owner)
    : owner_(owner),
      tips_(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                            GetModuleHandleW(nullptr), nullptr)) {
    // Wide enough for the longest tip, and "\r\n" in a tip starts a new line.
    SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 480);
    SendMessageW(tips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 20000);
}

void Tooltips::add(HWND control, std::string_view text) {
    if (text.empty()) return;
    std::wstring tip = wide(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = tip.data();
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string Tooltips::textOf(HWND control) const {
    std::vector<wchar_t> text(1024, L'\0');
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    SendMessageW(tips_, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    return utf8(text.data());
}

void Tooltips::setFont(HFONT font) { SendMessageW(tips_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE); }

std::wstring programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

void systemMessage(HWND owner, const std::string& text) {
    MessageBoxW(owner, wide(text).c_str(), wide(settings::kMainCaption).c_str(),
                MB_OK | (owner == nullptr ? MB_TASKMODAL : 0));
}

}  // namespace winshell
