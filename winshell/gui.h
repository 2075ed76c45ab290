// The small pieces every Win32 window of the program is made of: text between UTF-8 and the wide
// API, twips at the window's resolution, the Chinese UI font, a window class that hands its messages
// to a C++ object, child controls, tooltips and the program's message box.
#pragma once

#include "automation/com/win32.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "settings/controls.h"

namespace winshell {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);
// A window's text (a caption, a combo box's edit text) as UTF-8.
std::string windowText(HWND window);
void setWindowText(HWND window, std::string_view text);

// Lengths at one resolution: twips (1440 to the inch) and pixels at dots per inch, each rounded to the
// nearest pixel.
class Dpi {
public:
    explicit Dpi(int dotsPerInch = 96) : dpi_(dotsPerInch) {}
    // The window's resolution where Windows tells it per window (Windows 10 and later), else the screen's.
    static Dpi of(HWND window);

    int value() const { return dpi_; }
    int px(int twips) const { return MulDiv(twips, dpi_, 1440); }
    int twips(int pixels) const { return MulDiv(pixels, 1440, dpi_); }
    // A length given in pixels at 96 dots per inch, at this resolution.
    int scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }
    // The edges in pixels; left and width are converted apart, as the window system places a control.
    RECT rect(const settings::TwipRect& twips) const;

private:
    int dpi_;
};

// The outer size of a window of this style around a client area of this size, at this resolution.
SIZE outerSize(DWORD style, int clientWidth, int clientHeight, const Dpi& dpi);

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// "Microsoft YaHei UI" at 9 points where Windows has it, otherwise the system's message font, at dpi.
Font createUiFont(const Dpi& dpi);

// A top-level window whose messages go to handle(), with its resolution and the UI font at it. It gives
// its controls the dialog colour, and on a screen of another resolution takes the font at that
// resolution and lays itself out again. The window is destroyed with the object.
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    bool visible() const { return hwnd_ != nullptr && IsWindowVisible(hwnd_); }

protected:
    // Creates the window of the class className (registered on first use) with this caption, and the
    // font at its resolution.
    void create(const wchar_t* className, std::string_view caption, DWORD style, HWND owner = nullptr);
    virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Places the controls and sizes the window at dpi_.
    virtual void layout() {}

    Dpi dpi_;
    Font font_;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

// A child control of parent with this id, in the given font.
HWND createControl(HWND parent, const wchar_t* className, std::string_view text, DWORD style, int id, HFONT font,
                   DWORD exStyle = 0);

// The tooltips of one window's controls.
class Tooltips {
public:
    explicit Tooltips(HWND owner);
    void add(HWND control, std::string_view text);
    // The tip of a control; empty when it has none.
    std::string textOf(HWND control) const;
    void setFont(HFONT font);

private:
    HWND owner_;
    HWND tips_;
    std::wstring buffer_;
};

// The folder that holds the program's executable, without a closing backslash.
std::wstring programFolder();

// How the windows show a message: modal, one OK button, titled with the program's title. The tests
// give their own.
using ShowMessage = std::function<void(HWND owner, const std::string& text)>;
void systemMessage(HWND owner, const std::string& text);

}  // namespace winshell
