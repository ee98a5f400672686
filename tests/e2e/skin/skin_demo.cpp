// Shows the control skin on a window laid out like the options window and on
// a gallery of every skinned kind and state, and checks from inside and from
// outside the process that each standard control carries the skin once.
// Built with the Windows side; tests/e2e/test_skin_demo.py runs its modes.
//
//   skin_demo show [N]   both windows, skinned twice in scheme N (1); stays until closed
//   skin_demo msgbox     the windows, then a message box
//   skin_demo open       the windows, then the open-file dialog
//   skin_demo selftest   apply / re-apply / take off / re-entry checks
//   skin_demo gdi        GDI objects before and after 50 create/skin/destroy cycles
//   skin_demo probe      (another process) lists the demo's windows and controls
//   skin_demo close      (another process) closes the demo's dialog or windows
#include <windows.h>
// commctrl.h needs what windows.h declares: a block of its own keeps the order
#include <commctrl.h>
#include <commdlg.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/skin_rules.h"
#include "platform/win32/skin/skin.h"

namespace {

using quorvel::win32::apply_control_skin;
namespace rules = quorvel::platform;

constexpr wchar_t form_class[] = L"SkinDemoForm";
constexpr COLORREF form_blue = RGB(162, 199, 240);
constexpr int id_reapply = 900;
constexpr int id_owner_drawn = 901;

// --- output ---------------------------------------------------------------------

std::string utf8(std::wstring_view s) {
    if (s.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::wstring class_of(HWND w) {
    wchar_t buf[128] = {};
    GetClassNameW(w, buf, 128);
    return buf;
}

std::wstring text_of(HWND w) {
    wchar_t buf[256] = {};
    DWORD_PTR n = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 1000,
                        &n);
    return buf;
}

// --- the demo windows -------------------------------------------------------------

struct Resources {
    HBRUSH blue = CreateSolidBrush(form_blue);
    // A tiny black picture for the bitmap button, which the skin must leave alone.
    HBITMAP picture = [] {
        static const std::uint32_t black[16 * 16] = {};
        return CreateBitmap(16, 16, 1, 32, black);
    }();
    Resources() = default;
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;
    ~Resources() {
        DeleteObject(blue);
        DeleteObject(picture);
    }
};

Resources* resources = nullptr;
HWND main_form = nullptr;
bool quit_on_close = true;

LRESULT CALLBACK form_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
        case WM_CTLCOLORSTATIC:
            // Labels and check boxes lie on the form's blue, as transparent labels would.
            SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
            return reinterpret_cast<LRESULT>(resources->blue);
        case WM_COMMAND:
            if (LOWORD(wp) == id_reapply) apply_control_skin(1);  // from inside a skinned button
            return 0;
        case WM_DRAWITEM: {
            const auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            if (dis->CtlType == ODT_BUTTON) {
                SetDCBrushColor(dis->hDC, RGB(200, 60, 60));
                FillRect(dis->hDC, &dis->rcItem, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
                SetBkMode(dis->hDC, TRANSPARENT);
                SetTextColor(dis->hDC, RGB(255, 255, 255));
                RECT r = dis->rcItem;
                DrawTextW(dis->hDC, L"自绘", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
                return TRUE;
            }
            return FALSE;
        }
        case WM_CLOSE:
            DestroyWindow(w);
            return 0;
        case WM_DESTROY:
            if (w == main_form && quit_on_close) PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(w, m, wp, lp);
    }
}

void register_form_class() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = form_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = resources->blue;
    wc.lpszClassName = form_class;
    RegisterClassExW(&wc);
}

HWND add(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w,
         int h, DWORD ex = 0, int id = 0) {
    HWND c = CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return c;
}

void add_items(HWND combo, int from, int to) {
    for (int i = from; i <= to; ++i) {
        wchar_t item[8];
        wsprintfW(item, L"%02d", i);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

// Laid out like the options window: 218 x 108 outer, light blue, three
// default-look buttons, an edit box and two drop-down lists.
HWND make_options_like(int x, int y) {
    HWND f = CreateWindowExW(0, form_class, L"选项设置", WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                             x, y, 218, 108, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    add(f, L"Button", L"关机", BS_DEFPUSHBUTTON | WS_TABSTOP, 176, 56, 34, 20);
    add(f, L"Button", L"闹钟", BS_DEFPUSHBUTTON | WS_TABSTOP, 135, 56, 34, 20);
    add(f, L"Static", L"提醒类型：闹钟/关机", SS_LEFT, 8, 56, 120, 24);
    add(f, L"Button", L"...", BS_DEFPUSHBUTTON | WS_TABSTOP, 178, 32, 32, 20);
    add(f, L"Edit", L"", ES_AUTOHSCROLL | WS_TABSTOP, 64, 32, 112, 20, WS_EX_CLIENTEDGE);
    add(f, L"Static", L"提醒音乐：", SS_LEFT, 6, 34, 57,
        16);  // narrower: a static cannot show what is beneath
    add(f, L"Static", L"关机时间：时", SS_LEFT, 8, 4, 78, 24);
    add(f, L"Static", L"分", SS_LEFT, 142, 5, 16, 24);
    add_items(add(f, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 160, 8, 51, 180),
              0, 60);
    add_items(add(f, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 83, 8, 48, 180),
              0, 24);
    return f;
}

// Every skinned kind in the states a user meets, and some that must stay as they are.
HWND make_gallery(int x, int y) {
    HWND f =
        CreateWindowExW(0, form_class, L"Skin gallery", WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                        x, y, 420, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    add(f, L"Button", L"提醒方式", BS_GROUPBOX, 8, 4, 196, 150);
    HWND c1 = add(f, L"Button", L"开机启动", BS_AUTOCHECKBOX | WS_TABSTOP, 18, 24, 90, 20);
    SendMessageW(c1, BM_SETCHECK, BST_CHECKED, 0);
    add(f, L"Button", L"静音", BS_AUTOCHECKBOX | WS_TABSTOP, 110, 24, 80, 20);
    HWND c3 = add(f, L"Button", L"部分", BS_AUTO3STATE | WS_TABSTOP, 18, 48, 90, 20);
    SendMessageW(c3, BM_SETCHECK, BST_INDETERMINATE, 0);
    HWND c4 = add(f, L"Button", L"禁用勾选", BS_AUTOCHECKBOX | WS_DISABLED, 110, 48, 90, 20);
    SendMessageW(c4, BM_SETCHECK, BST_CHECKED, 0);
    HWND r1 =
        add(f, L"Button", L"闹钟", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 18, 76, 80, 20);
    SendMessageW(r1, BM_SETCHECK, BST_CHECKED, 0);
    add(f, L"Button", L"关机", BS_AUTORADIOBUTTON, 110, 76, 80, 20);
    add(f, L"Button", L"禁用", BS_AUTORADIOBUTTON | WS_DISABLED, 18, 100, 80, 20);
    add(f, L"Button", L"Radio &x", BS_AUTORADIOBUTTON, 110, 100, 80, 20);
    add(f, L"Static", L"标签 (static)", SS_LEFT, 18, 128, 120, 16);

    add(f, L"Button", L"确定", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 216, 10, 75, 23);
    add(f, L"Button", L"默认", BS_DEFPUSHBUTTON | WS_TABSTOP, 300, 10, 75, 23);
    add(f, L"Button", L"禁用", BS_PUSHBUTTON | WS_DISABLED, 216, 40, 75, 23);
    HWND like =
        add(f, L"Button", L"按下", BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP, 300, 40, 75, 23);
    SendMessageW(like, BM_SETCHECK, BST_CHECKED, 0);
    add(f, L"Button", L"", BS_OWNERDRAW, 216, 70, 75, 23, 0, id_owner_drawn);
    HWND pic = add(f, L"Button", L"", BS_PUSHBUTTON | BS_BITMAP, 300, 70, 75, 23);
    SendMessageW(pic, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(resources->picture));
    add(f, L"Button", L"Multi-line text\nsecond line", BS_PUSHBUTTON | BS_MULTILINE, 216, 100, 160,
        40);

    add(f, L"Edit", L"C:\\音乐\\歌曲.mp3", ES_AUTOHSCROLL | WS_TABSTOP, 8, 164, 196, 20,
        WS_EX_CLIENTEDGE);
    add(f, L"Edit", L"禁用的编辑框", ES_AUTOHSCROLL | WS_DISABLED, 8, 190, 196, 20,
        WS_EX_CLIENTEDGE);
    add(f, L"Edit", L"只读 read-only", ES_AUTOHSCROLL | ES_READONLY, 8, 216, 196, 20,
        WS_EX_CLIENTEDGE);
    HWND spin_edit =
        add(f, L"Edit", L"12", ES_NUMBER | WS_TABSTOP, 8, 242, 60, 20, WS_EX_CLIENTEDGE);
    HWND spin = add(f, UPDOWN_CLASSW, L"",
                    UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(spin_edit), 0);
    SendMessageW(spin, UDM_SETRANGE32, 0, 59);
    SendMessageW(spin, UDM_SETPOS32, 0, 12);
    add(f, UPDOWN_CLASSW, L"", UDS_HORZ, 80, 242, 34, 20);
    add(f, UPDOWN_CLASSW, L"", 0, 122, 240, 17, 24);
    add(f, L"Edit", L"多行\r\n第二行\r\n第三行", ES_MULTILINE | WS_VSCROLL, 146, 238, 58, 30,
        WS_EX_CLIENTEDGE);

    HWND drop =
        add(f, L"ComboBox", L"", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 216, 164, 160, 200);
    for (const wchar_t* s : {L"自定义", L"每天", L"工作日"})
        SendMessageW(drop, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SetWindowTextW(drop, L"自定义");
    HWND off =
        add(f, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_DISABLED, 216, 192, 160, 200);
    SendMessageW(off, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"禁用的列表"));
    SendMessageW(off, CB_SETCURSEL, 0, 0);
    HWND list =
        add(f, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 216, 220, 160, 200);
    for (const wchar_t* s : {L"闹钟 Alarm", L"关机 Shutdown", L"提醒 Reminder"})
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessageW(list, CB_SETCURSEL, 1, 0);
    add(f, L"Button", L"重新套用", BS_PUSHBUTTON, 300, 246, 75, 20, 0, id_reapply);
    return f;
}

struct DemoWindows {
    HWND options = nullptr, gallery = nullptr;
};

DemoWindows open_windows() {
    DemoWindows d;
    d.options = make_options_like(40, 40);
    d.gallery = make_gallery(300, 40);
    main_form = d.options;
    return d;
}

void show(const DemoWindows& d) {
    for (HWND w : {d.options, d.gallery}) {
        ShowWindow(w, SW_SHOWNOACTIVATE);
        UpdateWindow(w);
    }
}

// --- census: which controls carry the skin ----------------------------------------------

UINT layers_message() {
    static const UINT m = RegisterWindowMessageW(quorvel::win32::skin_layers_message);
    return m;
}

struct Census {
    int skinned = 0, plain = 0, wrong = 0;
    std::vector<std::string> lines;
};

// What the rules say the window should be; a dropped list needs its combo box.
rules::SkinKind expected_kind(HWND w, HWND host_combo) {
    const std::string name = utf8(class_of(w));
    rules::WindowFacts facts{name, static_cast<std::uint32_t>(GetWindowLongW(w, GWL_STYLE)),
                             std::nullopt};
    if (host_combo == w)  // a list without its combo box at hand: one of a drop-down
        facts.host_combo_style = rules::style::cbs_drop_down;
    else if (host_combo)
        facts.host_combo_style = static_cast<std::uint32_t>(GetWindowLongW(host_combo, GWL_STYLE));
    return rules::skin_kind(facts);
}

void census_one(HWND w, HWND host_combo, int scheme, Census& c) {
    const bool should =
        scheme >= 1 && scheme <= 3 && expected_kind(w, host_combo) != rules::SkinKind::none;
    const auto prop =
        static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(w, quorvel::win32::skin_property)));
    DWORD_PTR layers = 0;
    SendMessageTimeoutW(w, layers_message(), 0, 0, SMTO_ABORTIFHUNG, 1000, &layers);
    const bool ok = should ? (prop == scheme && layers == 1) : (prop == 0 && layers == 0);
    (should ? c.skinned : c.plain) += ok ? 1 : 0;
    if (!ok) ++c.wrong;
    RECT r{};
    GetWindowRect(w, &r);
    char line[512];
    std::snprintf(line, sizeof line,
                  "  %-4s %-16s prop=%d layers=%d rect=%ld,%ld,%ld,%ld visible=%d text=\"%s\"",
                  ok ? "ok" : "BAD", utf8(class_of(w)).c_str(), prop, int(layers), r.left, r.top,
                  r.right, r.bottom, IsWindowVisible(w) ? 1 : 0, utf8(text_of(w)).c_str());
    c.lines.emplace_back(line);
}

// Same process only: GetComboBoxInfo hands the combo box a pointer, which
// Wine does not carry across processes (the other process would write
// through it into its own memory).
void census_tree(HWND top, int scheme, Census& c, bool same_process = true) {
    c.lines.push_back("window \"" + utf8(text_of(top)) + "\" class " + utf8(class_of(top)));
    std::vector<HWND> children;
    EnumChildWindows(
        top,
        [](HWND w, LPARAM p) {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    for (HWND w : children) {
        const std::wstring cls = class_of(w);
        const HWND parent = GetParent(w);
        census_one(w,
                   (cls == L"ComboLBox" || cls == L"Edit") && class_of(parent) == L"ComboBox"
                       ? parent
                       : nullptr,
                   scheme, c);
        // A dropped list hangs on the desktop, not on its combo box.
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (same_process && cls == L"ComboBox" && GetComboBoxInfo(w, &info) && info.hwndList &&
            GetParent(info.hwndList) != w)
            census_one(info.hwndList, w, scheme, c);
    }
}

void print(const Census& c, const char* what) {
    for (const std::string& l : c.lines) say(l);
    char line[160];
    std::snprintf(line, sizeof line, "census %s: %d skinned ok, %d left alone ok, %d wrong", what,
                  c.skinned, c.plain, c.wrong);
    say(line);
}

std::vector<HWND> thread_dialogs() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) {
            if (class_of(w) == L"#32770" && IsWindowVisible(w))
                reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs inside the modal loop of the message box or file dialog: once the
// dialog is up, counts its controls and says it is ready for the screenshot.
void CALLBACK dialog_census(HWND, UINT, UINT_PTR timer, DWORD) {
    const std::vector<HWND> dialogs = thread_dialogs();
    if (dialogs.empty()) return;
    KillTimer(nullptr, timer);
    Census c;
    for (HWND d : dialogs) census_tree(d, 1, c);
    print(c, "dialog");
    say("dialog-ready");
}

// --- modes ---------------------------------------------------------------------------------

int run_loop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(GetAncestor(msg.hwnd, GA_ROOT), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

DemoWindows skinned_windows(int scheme = 1) {
    DemoWindows d = open_windows();
    apply_control_skin(scheme);
    apply_control_skin(scheme);  // as the options window does on every opening
    show(d);
    return d;
}

int mode_show(int scheme) {
    DemoWindows d = skinned_windows(scheme);
    Census c;
    census_tree(d.options, scheme, c);
    census_tree(d.gallery, scheme, c);
    print(c, "windows");
    say("ready");
    return run_loop();
}

int mode_msgbox() {
    DemoWindows d = skinned_windows();
    SetTimer(nullptr, 0, 200, dialog_census);
    const int r = MessageBoxW(d.options, L"时间到!!!", L"提醒", MB_OKCANCEL | MB_ICONINFORMATION);
    say("msgbox returned " + std::to_string(r));
    return 0;
}

int mode_open() {
    DemoWindows d = skinned_windows();
    SetTimer(nullptr, 0, 200, dialog_census);
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = d.options;
    ofn.lpstrFilter = L"MP3 文件 (*.mp3)\0*.mp3\0所有文件 (*.*)\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = L"C:\\windows";
    ofn.lpstrTitle = L"选择音乐";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    const BOOL ok = GetOpenFileNameW(&ofn);
    say(std::string("open returned ") + (ok ? "ok" : "cancel"));
    return 0;
}

struct Tally {
    int passed = 0, failed = 0;
    void check(bool ok, const std::string& what) {
        ++(ok ? passed : failed);
        say(std::string(ok ? "PASS " : "FAIL ") + what);
    }
};

bool census_clean(const DemoWindows& d, int scheme, int min_skinned) {
    Census c;
    census_tree(d.options, scheme, c);
    census_tree(d.gallery, scheme, c);
    if (c.wrong) print(c, "failed");
    return c.wrong == 0 && c.skinned >= min_skinned;
}

HWND find_child(HWND parent, const wchar_t* cls, const wchar_t* text) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (class_of(c) == cls && text_of(c) == text) return c;
    return nullptr;
}

int layers_of(HWND w) {
    return static_cast<int>(SendMessageW(w, layers_message(), 0, 0));
}

// A button of its own on another thread, until that thread is told to quit.
void other_thread(std::atomic<HWND>& button, std::atomic<DWORD>& id) {
    HWND f = CreateWindowExW(0, form_class, L"other thread", WS_CAPTION, 0, 0, 100, 60, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
    id = GetCurrentThreadId();
    button = add(f, L"Button", L"别的线程", BS_PUSHBUTTON, 4, 4, 80, 20);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    DestroyWindow(f);
}

int mode_selftest() {
    Tally t;
    DemoWindows d = open_windows();
    quit_on_close = false;

    apply_control_skin(1);
    t.check(census_clean(d, 1, 20), "one call skins every standard control once, nothing else");
    apply_control_skin(1);
    t.check(census_clean(d, 1, 20), "a second call leaves exactly one skin on each");
    show(d);

    HWND late = add(d.gallery, L"Button", L"后来", BS_PUSHBUTTON, 10, 270, 50, 20);
    t.check(layers_of(late) == 1, "a control created after the call carries the skin");

    apply_control_skin(2);
    t.check(census_clean(d, 2, 20), "a new scheme replaces the old one");
    apply_control_skin(0);
    t.check(census_clean(d, 0, 0), "scheme 0 only takes the skin off");
    HWND late_off = add(d.gallery, L"Button", L"无皮肤", BS_PUSHBUTTON, 70, 270, 50, 20);
    t.check(layers_of(late_off) == 0, "no skin reaches new controls while it is off");
    apply_control_skin(4);
    t.check(census_clean(d, 0, 0), "scheme 4 names none either");
    apply_control_skin(3);
    apply_control_skin(1);
    t.check(census_clean(d, 1, 20), "back to blue after taking it off");

    HWND reapply = GetDlgItem(d.gallery, id_reapply);
    SendMessageW(reapply, BM_CLICK, 0, 0);  // its handler applies the skin again
    pump();
    t.check(IsWindow(reapply) && layers_of(reapply) == 1 && census_clean(d, 1, 20),
            "applying from inside a skinned button's click leaves one skin");

    // The system's own drawing is held back on some messages: the buttons'
    // behaviour must stay the system's all the same.
    HWND alarm = find_child(d.gallery, L"Button", L"闹钟"),
         off = find_child(d.gallery, L"Button", L"关机");
    HWND mute = find_child(d.gallery, L"Button", L"静音");
    SendMessageW(off, BM_CLICK, 0, 0);
    SendMessageW(mute, BM_CLICK, 0, 0);
    t.check(SendMessageW(off, BM_GETCHECK, 0, 0) == BST_CHECKED &&
                SendMessageW(alarm, BM_GETCHECK, 0, 0) == BST_UNCHECKED &&
                SendMessageW(mute, BM_GETCHECK, 0, 0) == BST_CHECKED && IsWindowVisible(off) &&
                GetFocus() == mute,
            "clicks still check radio buttons in their group, toggle check boxes, move the focus");

    HWND button = find_child(d.gallery, L"Button", L"确定");
    SetWindowLongW(button, GWL_STYLE,
                   (GetWindowLongW(button, GWL_STYLE) & ~BS_TYPEMASK) | BS_OWNERDRAW);
    t.check(layers_of(button) == 0 && !GetPropW(button, quorvel::win32::skin_property),
            "a button made owner-drawn later is left alone");
    SetWindowLongW(button, GWL_STYLE,
                   (GetWindowLongW(button, GWL_STYLE) & ~BS_TYPEMASK) | BS_PUSHBUTTON);

    HWND simple = add(d.gallery, L"ComboBox", L"", CBS_SIMPLE, 130, 270, 60, 60);
    t.check(layers_of(simple) == 0, "a simple combo box is left alone");

    std::atomic<HWND> other{nullptr};
    std::atomic<DWORD> other_id{0};
    std::thread th(other_thread, std::ref(other), std::ref(other_id));
    while (!other) Sleep(10);
    apply_control_skin(1);
    t.check(layers_of(other) == 0, "controls of another thread are not touched");
    PostThreadMessageW(other_id, WM_QUIT, 0, 0);
    th.join();

    DestroyWindow(d.gallery);
    DestroyWindow(d.options);
    pump();
    char line[64];
    std::snprintf(line, sizeof line, "selftest: %d passed, %d failed", t.passed, t.failed);
    say(line);
    return t.failed == 0 ? 0 : 1;
}

// Makes every painter run: hot, pressed, focused, dropped, disabled.
void exercise(const DemoWindows& d) {
    for (HWND f : {d.options, d.gallery})
        for (HWND c = GetWindow(f, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            SendMessageW(c, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
            if (class_of(c) == L"ComboBox") {
                SendMessageW(c, CB_SHOWDROPDOWN, TRUE, 0);
                RedrawWindow(c, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                SendMessageW(c, CB_SHOWDROPDOWN, FALSE, 0);
            }
            if (class_of(c) == L"Edit") SetFocus(c);
            SendMessageW(c, WM_MOUSELEAVE, 0, 0);
        }
    for (HWND f : {d.options, d.gallery})
        RedrawWindow(f, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump();
}

// The process's GDI objects. GetGuiResources answers on Windows; Wine only
// stubs it (0), so count the entries this process owns in the shared GDI
// handle table that the PEB points to, as gdi32 itself reads it.
struct GdiCount {
    DWORD objects;
    const char* how;
};

GdiCount gdi_objects() {
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return {n, "GetGuiResources"};
    struct Entry {  // GDI_HANDLE_ENTRY, 64-bit
        UINT64 object;
        ULONG owner;  // low word: owning process tag
        USHORT unique;
        UCHAR type;  // 0 when free
        UCHAR flags;
        UINT64 user;
    };
    static_assert(sizeof(Entry) == 24);
    constexpr std::size_t entries = 0x10000, peb_gdi_table = 0xF8;
    const BYTE* peb = nullptr;
    // NtCurrentTeb() trips a false -Warray-bounds in GCC 12; read gs:0x60 directly.
    asm("movq %%gs:0x60, %0" : "=r"(peb));
    const auto* table = *reinterpret_cast<const Entry* const*>(peb + peb_gdi_table);
    if (!table) return {0, "none"};
    // The tag is whatever the table writes for this process: read it off a probe.
    HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
    const Entry& mine = table[LOWORD(reinterpret_cast<UINT_PTR>(probe))];
    const USHORT tag = LOWORD(mine.owner);
    const bool readable = mine.type != 0;
    DWORD n = 0;
    for (std::size_t i = 0; readable && i < entries; ++i)
        if (table[i].type != 0 && LOWORD(table[i].owner) == tag) ++n;
    DeleteObject(probe);
    return {readable ? n - 1 : 0, readable ? "shared handle table" : "none"};
}

int mode_gdi() {
    quit_on_close = false;
    auto cycle = [] {
        DemoWindows d = open_windows();
        apply_control_skin(1);
        show(d);
        exercise(d);
        DestroyWindow(d.gallery);
        DestroyWindow(d.options);
        pump();
    };
    cycle();  // first use loads fonts, themes and caches
    const GdiCount before = gdi_objects();
    for (int i = 0; i < 50; ++i) cycle();
    const GdiCount after = gdi_objects();
    char line[200];
    std::snprintf(line, sizeof line,
                  "gdi objects: before %lu after %lu over 50 create/skin/destroy cycles (%s)",
                  before.objects, after.objects, after.how);
    say(line);
    return before.objects > 0 && after.objects <= before.objects ? 0 : 1;
}

// From another process: everything the demo shows, with what each control carries.
int mode_probe() {
    std::vector<HWND> tops;
    EnumWindows(
        [](HWND w, LPARAM p) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            const std::wstring cls = class_of(w);
            if (pid != GetCurrentProcessId() && IsWindowVisible(w) &&
                (cls == form_class || cls == L"#32770"))
                reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&tops));
    Census c;
    for (HWND w : tops) census_tree(w, 1, c, false);
    // The dropped lists hang on the desktop; one that is not a child of its
    // combo box belongs to a drop-down combo box, so it must carry the skin.
    std::vector<HWND> lists;
    EnumWindows(
        [](HWND w, LPARAM p) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != GetCurrentProcessId() && class_of(w) == L"ComboLBox")
                reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&lists));
    c.lines.emplace_back("dropped lists");
    for (HWND w : lists) census_one(w, w, 1, c);
    print(c, "probe");
    return c.wrong == 0 && c.skinned > 0 ? 0 : 1;
}

int mode_close() {
    EnumWindows(
        [](HWND w, LPARAM) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            const std::wstring cls = class_of(w);
            if (pid != GetCurrentProcessId() && IsWindowVisible(w) && cls == L"#32770")
                PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
            return TRUE;
        },
        0);
    Sleep(300);
    EnumWindows(
        [](HWND w, LPARAM) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != GetCurrentProcessId() && class_of(w) == form_class)
                PostMessageW(w, WM_CLOSE, 0, 0);
            return TRUE;
        },
        0);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"show";
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    Resources res;
    resources = &res;
    register_form_class();
    if (mode == L"show") return mode_show(argc > 2 ? _wtoi(argv[2]) : 1);
    if (mode == L"msgbox") return mode_msgbox();
    if (mode == L"open") return mode_open();
    if (mode == L"selftest") return mode_selftest();
    if (mode == L"gdi") return mode_gdi();
    if (mode == L"probe") return mode_probe();
    if (mode == L"close") return mode_close();
    say("unknown mode");
    return 2;
}
