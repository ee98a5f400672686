// qdriver: drives a program's windows from outside, for the end-to-end tests.
//
//   qdriver <command> [args...]   run one command
//   qdriver serve                 read commands from stdin, one per line,
//                                 arguments separated by tabs (UTF-8)
//
// Every command prints one JSON object on one line (UTF-8, "\n"). Failures
// print {"ok":false,"error":...}; the one-shot form then exits with 1.
// Reads go through SendMessageTimeoutW, so a hung program fails the test
// instead of hanging the driver. Window handles are decimal or 0x-hex.
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// ---- owned handles -------------------------------------------------------

class Region {
  public:
    Region() : h_(CreateRectRgn(0, 0, 0, 0)) {}
    ~Region() {
        if (h_) DeleteObject(h_);
    }
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;
    HRGN get() const { return h_; }

  private:
    HRGN h_;
};

class Process {
  public:
    explicit Process(DWORD pid)
        : h_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)) {}
    ~Process() {
        if (h_) CloseHandle(h_);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    HANDLE get() const { return h_; }

  private:
    HANDLE h_;
};

// ---- text and JSON -------------------------------------------------------

std::string utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

std::wstring wide(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string quoted(const std::wstring& w) {
    std::string out = "\"";
    for (unsigned char c : utf8(w)) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

// Builds one JSON object; values are appended already encoded.
class Json {
  public:
    Json& raw(const char* key, const std::string& value) {
        if (!body_.empty()) body_ += ',';
        body_.append("\"").append(key).append("\":").append(value);
        return *this;
    }
    Json& str(const char* key, const std::wstring& value) { return raw(key, quoted(value)); }
    Json& num(const char* key, long long value) { return raw(key, std::to_string(value)); }
    Json& real(const char* key, double value) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f", value);
        return raw(key, buf);
    }
    Json& flag(const char* key, bool value) { return raw(key, value ? "true" : "false"); }
    std::string text() const { return std::string("{").append(body_).append("}"); }

  private:
    std::string body_;
};

std::string array(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + items[i];
    return out + "]";
}

std::string rect_json(const RECT& r) {
    return Json()
        .num("x", r.left)
        .num("y", r.top)
        .num("w", r.right - r.left)
        .num("h", r.bottom - r.top)
        .text();
}

// ---- failures ------------------------------------------------------------

struct Failure {
    std::wstring message;
};

[[noreturn]] void fail(const std::wstring& message) {
    throw Failure{message};
}

long long number(const std::wstring& s) {
    wchar_t* end = nullptr;
    long long v = std::wcstoll(s.c_str(), &end, 0);
    if (s.empty() || *end != L'\0') fail(L"not a number: " + s);
    return v;
}

HWND window_arg(const std::wstring& s) {
    HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(number(s)));
    if (!IsWindow(h)) fail(L"no such window: " + s);
    return h;
}

constexpr UINT read_timeout_ms = 3000;

LRESULT send(HWND h, UINT msg, WPARAM w, LPARAM l) {
    DWORD_PTR result = 0;
    SetLastError(0);
    if (!SendMessageTimeoutW(h, msg, w, l, SMTO_ABORTIFHUNG | SMTO_BLOCK, read_timeout_ms,
                             &result)) {
        DWORD error = GetLastError();
        std::wstring what = L" (message " + std::to_wstring(msg) + L")";
        if (!IsWindow(h)) fail(L"window is gone" + what);
        if (error == ERROR_TIMEOUT || error == 0) fail(L"window does not answer" + what);
        fail(L"SendMessageTimeout failed, error " + std::to_wstring(error) + what);
    }
    return static_cast<LRESULT>(result);
}

void post(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (!PostMessageW(h, msg, w, l)) fail(L"PostMessage failed");
}

// ---- window facts --------------------------------------------------------

std::wstring class_of(HWND h) {
    wchar_t buf[256] = L"";
    GetClassNameW(h, buf, 256);
    return buf;
}

std::wstring text_of(HWND h) {
    auto length = static_cast<size_t>(send(h, WM_GETTEXTLENGTH, 0, 0));
    std::wstring buf(length + 1, L'\0');
    auto got =
        static_cast<size_t>(send(h, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(buf.data())));
    buf.resize(std::min(got, length));
    return buf;
}

DWORD pid_of(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

std::string hwnd_json(HWND h) {
    return h ? std::to_string(reinterpret_cast<uintptr_t>(h)) : std::string("null");
}

std::vector<HWND> top_levels() {
    std::vector<HWND> all;
    EnumWindows(
        [](HWND h, LPARAM l) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<HWND> descendants(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM l) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND child_by_id(HWND top, int id) {
    for (HWND h : descendants(top))
        if (GetDlgCtrlID(h) == id) return h;
    fail(L"no control with id " + std::to_wstring(id));
}

// The rectangle in the client coordinates of the window's parent (or the
// screen for a top-level window).
RECT relative_rect(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    HWND parent = GetAncestor(h, GA_PARENT);
    if (parent && parent != GetDesktopWindow())
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

Json window_basics(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return Json()
        .raw("hwnd", hwnd_json(h))
        .num("id", GetDlgCtrlID(h))
        .str("class", class_of(h))
        .str("text", text_of(h))
        .raw("rect", rect_json(r))
        .raw("rel", rect_json(relative_rect(h)))
        .flag("visible", IsWindowVisible(h))
        .flag("shown", (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0)
        .flag("enabled", IsWindowEnabled(h));
}

std::string region_json(HWND h) {
    Region rgn;
    int type = GetWindowRgn(h, rgn.get());
    const wchar_t* name = type == NULLREGION      ? L"null"
                          : type == SIMPLEREGION  ? L"simple"
                          : type == COMPLEXREGION ? L"complex"
                                                  : L"none";
    Json j;
    j.str("type", name);
    if (type == SIMPLEREGION || type == COMPLEXREGION) {
        RECT box;
        GetRgnBox(rgn.get(), &box);
        j.raw("box", rect_json(box));
        j.num("rects",
              static_cast<long long>(GetRegionData(rgn.get(), 0, nullptr) - sizeof(RGNDATAHEADER)) /
                  static_cast<long long>(sizeof(RECT)));
    }
    return j.text();
}

Json top_level_json(HWND h) {
    Json j = window_basics(h);
    RECT client;
    GetClientRect(h, &client);
    j.num("pid", pid_of(h))
        .raw("client", rect_json(client))
        .num("style", static_cast<long long>(static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE))))
        .num("exstyle", static_cast<long long>(static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE))));
    return j;
}

// ---- commands ------------------------------------------------------------

using Args = std::vector<std::wstring>;

void need(const Args& a, size_t lo, size_t hi, const wchar_t* usage) {
    if (a.size() < lo || a.size() > hi) fail(std::wstring(L"usage: ") + usage);
}

bool matches(HWND h, const std::wstring& cls, const std::wstring& title) {
    if (class_of(h) != cls) return false;
    if (title.empty()) return true;
    wchar_t buf[512] = L"";
    // Titles of top-level windows are held by the system: no message needed.
    InternalGetWindowText(h, buf, 512);
    return title == buf;
}

HWND find_top(const std::wstring& cls, const std::wstring& title, bool visible_only) {
    for (HWND h : top_levels())
        if (matches(h, cls, title) && (!visible_only || IsWindowVisible(h))) return h;
    return nullptr;
}

// Polls every 5 ms until found() yields a window or the timeout passes.
// Milliseconds since 1970 on the real clock, to line events up with what
// other processes saw.
long long unix_ms() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    const ULONGLONG t = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<long long>(t / 10000 - 11644473600000ULL);
}

HWND poll(long long timeout_ms, const std::function<HWND()>& found) {
    ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::max(0LL, timeout_ms));
    for (;;) {
        if (HWND h = found()) return h;
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(5);
    }
}

std::string cmd_list(const Args& a) {
    need(a, 0, 1, L"list [class]");
    std::vector<std::string> items;
    for (HWND h : top_levels()) {
        if (!a.empty() && class_of(h) != a[0]) continue;
        wchar_t title[512] = L"";
        InternalGetWindowText(h, title, 512);
        items.push_back(Json()
                            .raw("hwnd", hwnd_json(h))
                            .num("pid", pid_of(h))
                            .str("class", class_of(h))
                            .str("text", title)
                            .flag("visible", IsWindowVisible(h))
                            .text());
    }
    return Json().raw("windows", array(items)).text();
}

// wait <class> [title] <timeout_ms>: the first visible top-level window.
std::string cmd_wait(const Args& a) {
    need(a, 2, 3, L"wait <class> [title] <timeout_ms>");
    std::wstring title = a.size() == 3 ? a[1] : L"";
    ULONGLONG start = GetTickCount64();
    HWND h = poll(number(a.back()), [&] { return find_top(a[0], title, true); });
    if (!h) fail(L"timeout waiting for " + a[0]);
    return Json()
        .raw("hwnd", hwnd_json(h))
        .num("pid", pid_of(h))
        .num("waited_ms", static_cast<long long>(GetTickCount64() - start))
        .num("found_unix_ms", unix_ms())
        .text();
}

// find <class> [title]: the first top-level window, shown or not.
std::string cmd_find(const Args& a) {
    need(a, 1, 2, L"find <class> [title]");
    HWND h = find_top(a[0], a.size() == 2 ? a[1] : L"", false);
    if (!h) fail(L"no window of class " + a[0]);
    return Json().raw("hwnd", hwnd_json(h)).num("pid", pid_of(h)).text();
}

void walk(HWND parent, int depth, std::vector<std::string>& out) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        out.push_back(window_basics(c)
                          .raw("parent", hwnd_json(parent))
                          .num("parent_id", depth ? GetDlgCtrlID(parent) : 0)
                          .num("depth", depth)
                          .text());
        walk(c, depth + 1, out);
    }
}

// tree <hwnd>: the window, its owner and region, and every descendant in
// stacking order (each child followed by its own children).
std::string cmd_tree(const Args& a) {
    need(a, 1, 1, L"tree <hwnd>");
    HWND h = window_arg(a[0]);
    ULONGLONG start = GetTickCount64();
    Json j = top_level_json(h);
    HWND owner = GetWindow(h, GW_OWNER);
    j.raw("owner", owner ? top_level_json(owner).text() : "null");
    j.raw("region", region_json(h));
    std::vector<std::string> children;
    walk(h, 0, children);
    j.raw("children", array(children));
    j.num("read_ms", static_cast<long long>(GetTickCount64() - start));
    return j.text();
}

std::string cmd_text(const Args& a) {
    need(a, 2, 2, L"text <hwnd> <id>");
    HWND c = child_by_id(window_arg(a[0]), static_cast<int>(number(a[1])));
    return Json().raw("hwnd", hwnd_json(c)).str("text", text_of(c)).text();
}

// click <hwnd> <id>: BM_CLICK for standard buttons, otherwise a posted
// press and release at the control's centre.
std::string cmd_click(const Args& a) {
    need(a, 2, 2, L"click <hwnd> <id>");
    HWND c = child_by_id(window_arg(a[0]), static_cast<int>(number(a[1])));
    if (class_of(c) == L"Button") {
        post(c, BM_CLICK, 0, 0);
        return Json().raw("hwnd", hwnd_json(c)).str("how", L"BM_CLICK").text();
    }
    RECT r;
    GetClientRect(c, &r);
    LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    post(c, WM_MOUSEMOVE, 0, at);
    post(c, WM_LBUTTONDOWN, MK_LBUTTON, at);
    post(c, WM_LBUTTONUP, 0, at);
    return Json()
        .raw("hwnd", hwnd_json(c))
        .str("how", L"mouse")
        .num("x", r.right / 2)
        .num("y", r.bottom / 2)
        .text();
}

// settext <hwnd> <id> <text>: WM_SETTEXT, for a value no user path can
// deliver (the file dialog cannot take a name over MAX_PATH). An edit box
// tells its parent by EN_CHANGE, as after typing.
std::string cmd_settext(const Args& a) {
    need(a, 3, 3, L"settext <hwnd> <id> <text>");
    HWND c = child_by_id(window_arg(a[0]), static_cast<int>(number(a[1])));
    if (!send(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2].c_str()))) fail(L"text refused");
    return Json().raw("hwnd", hwnd_json(c)).str("text", text_of(c)).text();
}

// select <hwnd> <id> <index>: what a user's pick does, as the parent sees it.
std::string cmd_select(const Args& a) {
    need(a, 3, 3, L"select <hwnd> <id> <index>");
    int id = static_cast<int>(number(a[1]));
    HWND c = child_by_id(window_arg(a[0]), id);
    auto index = static_cast<WPARAM>(number(a[2]));
    LRESULT got = send(c, CB_SETCURSEL, index, 0);
    if (got == CB_ERR) fail(L"no item " + a[2]);
    post(GetParent(c), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(c));
    return Json().raw("hwnd", hwnd_json(c)).num("selected", got).text();
}

std::string cmd_combo(const Args& a) {
    need(a, 2, 2, L"combo <hwnd> <id>");
    HWND c = child_by_id(window_arg(a[0]), static_cast<int>(number(a[1])));
    LRESULT count = send(c, CB_GETCOUNT, 0, 0);
    std::vector<std::string> items;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = send(c, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring buf(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        LRESULT got =
            send(c, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf.data()));
        buf.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
        items.push_back(quoted(buf));
    }
    RECT dropped{};
    send(c, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    return Json()
        .raw("hwnd", hwnd_json(c))
        .num("count", count)
        .num("selected", send(c, CB_GETCURSEL, 0, 0))
        .str("text", text_of(c))
        .raw("items", array(items))
        .raw("dropped", rect_json(dropped))
        .num("dropped_width", send(c, CB_GETDROPPEDWIDTH, 0, 0))
        .num("item_height", send(c, CB_GETITEMHEIGHT, 0, 0))
        .num("edit_height", send(c, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0))
        .num("style", static_cast<long long>(static_cast<DWORD>(GetWindowLongW(c, GWL_STYLE))))
        .text();
}

bool has_child_id(HWND h, int id) {
    for (HWND c : descendants(h))
        if (GetDlgCtrlID(c) == id) return true;
    return false;
}

constexpr int message_text_id = 0xFFFF;
constexpr int file_name_combo_id = 1148;  // cmb13
constexpr int file_name_edit_id = 1152;   // edt1

bool is_file_dialog(HWND h) {
    return has_child_id(h, file_name_combo_id) || has_child_id(h, file_name_edit_id);
}

// A visible message box (#32770 with a static text, not a file dialog), of
// the given process when pid is not 0.
HWND find_message_box(DWORD pid) {
    for (HWND h : top_levels())
        if (class_of(h) == L"#32770" && IsWindowVisible(h) && (!pid || pid_of(h) == pid) &&
            GetDlgItem(h, message_text_id) && !is_file_dialog(h))
            return h;
    return nullptr;
}

HWND find_file_dialog(const std::wstring& title) {
    for (HWND h : top_levels())
        if (matches(h, L"#32770", title) && IsWindowVisible(h) && is_file_dialog(h)) return h;
    return nullptr;
}

std::string cmd_msgbox(const Args& a) {
    need(a, 1, 2, L"msgbox <timeout_ms> [pid]");
    auto pid = static_cast<DWORD>(a.size() == 2 ? number(a[1]) : 0);
    ULONGLONG start = GetTickCount64();
    HWND box = poll(number(a[0]), [&] { return find_message_box(pid); });
    if (!box) fail(L"no message box");
    std::vector<std::string> buttons;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (class_of(c) == L"Button" && IsWindowVisible(c))
            buttons.push_back(Json().num("id", GetDlgCtrlID(c)).str("text", text_of(c)).text());
    RECT r;
    GetWindowRect(box, &r);
    return Json()
        .raw("hwnd", hwnd_json(box))
        .num("pid", pid_of(box))
        .str("title", text_of(box))
        .str("text", text_of(GetDlgItem(box, message_text_id)))
        .raw("buttons", array(buttons))
        .raw("rect", rect_json(r))
        .raw("owner", hwnd_json(GetWindow(box, GW_OWNER)))
        .num("exstyle",
             static_cast<long long>(static_cast<DWORD>(GetWindowLongW(box, GWL_EXSTYLE))))
        .raw("foreground", hwnd_json(GetForegroundWindow()))
        .num("waited_ms", static_cast<long long>(GetTickCount64() - start))
        .num("found_unix_ms", unix_ms())
        .text();
}

void press_ok(HWND dialog) {
    post(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

std::string cmd_dismiss(const Args& a) {
    need(a, 0, 2, L"dismiss [timeout_ms] [pid]");
    auto pid = static_cast<DWORD>(a.size() == 2 ? number(a[1]) : 0);
    HWND box = poll(a.empty() ? 0 : number(a[0]), [&] { return find_message_box(pid); });
    if (!box) fail(L"no message box");
    press_ok(box);
    return Json().raw("hwnd", hwnd_json(box)).text();
}

// filedialog <path> <timeout_ms> [title]: type the path as the file name
// and confirm, as a user would.
std::string cmd_filedialog(const Args& a) {
    need(a, 2, 3, L"filedialog <path> <timeout_ms> [title]");
    ULONGLONG start = GetTickCount64();
    HWND dialog = poll(number(a[1]), [&] { return find_file_dialog(a.size() == 3 ? a[2] : L""); });
    if (!dialog) fail(L"no file dialog");
    HWND target = nullptr;
    for (int id : {file_name_combo_id, file_name_edit_id}) {
        for (HWND c : descendants(dialog))
            if (GetDlgCtrlID(c) == id && IsWindowVisible(c)) {
                target = c;
                break;
            }
        if (target) break;
    }
    if (!target) fail(L"file dialog has no visible file-name box");
    send(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[0].c_str()));
    // Read before confirming: the dialog goes away with OK.
    Json j;
    j.raw("hwnd", hwnd_json(dialog))
        .str("title", text_of(dialog))
        .num("target_id", GetDlgCtrlID(target))
        .str("typed", text_of(target))
        .num("waited_ms", static_cast<long long>(GetTickCount64() - start));
    press_ok(dialog);
    return j.text();
}

// skin <hwnd>: every descendant with its class, the skin's scheme property
// and how many skin layers its window procedure chain holds.
std::string cmd_skin(const Args& a) {
    need(a, 1, 1, L"skin <hwnd>");
    const UINT layers = RegisterWindowMessageW(L"QuorvelSkinLayers");
    std::vector<std::string> out;
    for (HWND h : descendants(window_arg(a[0]))) {
        DWORD_PTR n = 0;
        SendMessageTimeoutW(h, layers, 0, 0, SMTO_ABORTIFHUNG, 3000, &n);
        out.push_back(Json()
                          .num("id", GetDlgCtrlID(h))
                          .str("class", class_of(h))
                          .num("scheme", reinterpret_cast<INT_PTR>(GetPropW(h, L"QuorvelSkin")))
                          .num("layers", static_cast<long long>(n))
                          .text());
    }
    return Json().raw("controls", array(out)).text();
}

// post <hwnd> <message> <wparam> <lparam>: a posted message, as the system
// would post it (e.g. a notification-area icon's click).
std::string cmd_post(const Args& a) {
    need(a, 4, 4, L"post <hwnd> <message> <wparam> <lparam>");
    HWND h = window_arg(a[0]);
    post(h, static_cast<UINT>(number(a[1])), static_cast<WPARAM>(number(a[2])),
         static_cast<LPARAM>(number(a[3])));
    return Json().raw("hwnd", hwnd_json(h)).text();
}

// Sends the message `count` times, each waiting for the answer: a soak of
// whatever the message does in the program.
std::string cmd_repeat(const Args& a) {
    need(a, 5, 5, L"repeat <hwnd> <message> <wparam> <lparam> <count>");
    HWND h = window_arg(a[0]);
    const long long count = number(a[4]);
    const ULONGLONG start = GetTickCount64();
    for (long long i = 0; i < count; ++i)
        send(h, static_cast<UINT>(number(a[1])), static_cast<WPARAM>(number(a[2])),
             static_cast<LPARAM>(number(a[3])));
    return Json()
        .num("count", count)
        .num("elapsed_ms", static_cast<long long>(GetTickCount64() - start))
        .text();
}

// dpichanged <hwnd> <dpi> <x> <y> <w> <h>: WM_DPICHANGED as the system sends
// it when a window moves to a monitor of another scale, with the suggested
// rectangle written into the window's own process.
std::string cmd_dpichanged(const Args& a) {
    need(a, 6, 6, L"dpichanged <hwnd> <dpi> <x> <y> <w> <h>");
    HWND h = window_arg(a[0]);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) fail(L"cannot open the window's process");
    const auto x = static_cast<LONG>(number(a[2])), y = static_cast<LONG>(number(a[3]));
    const RECT suggested{x, y, x + static_cast<LONG>(number(a[4])),
                         y + static_cast<LONG>(number(a[5]))};
    void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    const bool written =
        remote && WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr);
    if (written) {
        const auto dpi = static_cast<WORD>(number(a[1]));
        send(h, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!written) fail(L"cannot write the rectangle into the window's process");
    return Json().raw("hwnd", hwnd_json(h)).text();
}

std::string cmd_close(const Args& a) {
    need(a, 1, 1, L"close <hwnd>");
    HWND h = window_arg(a[0]);
    post(h, WM_CLOSE, 0, 0);
    return Json().raw("hwnd", hwnd_json(h)).text();
}

// waitgone <hwnd> <timeout_ms>: until the window is destroyed.
std::string cmd_waitgone(const Args& a) {
    need(a, 2, 2, L"waitgone <hwnd> <timeout_ms>");
    HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(number(a[0])));
    ULONGLONG start = GetTickCount64();
    // poll() wants a non-null handle for "done"; the gone window's value serves.
    HWND gone = poll(number(a[1]), [&] { return IsWindow(h) ? nullptr : h; });
    if (!gone) fail(L"window still there");
    return Json().num("waited_ms", static_cast<long long>(GetTickCount64() - start)).text();
}

// ping <hwnd> [samples]: round trips of WM_NULL through the window's queue.
std::string cmd_ping(const Args& a) {
    need(a, 1, 2, L"ping <hwnd> [samples]");
    HWND h = window_arg(a[0]);
    long long samples = a.size() == 2 ? number(a[1]) : 200;
    if (samples < 1) fail(L"samples must be positive");
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    std::vector<double> us;
    for (long long i = 0; i < samples; ++i) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        send(h, WM_NULL, 0, 0);
        QueryPerformanceCounter(&t1);
        us.push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) * 1e6 /
                     static_cast<double>(freq.QuadPart));
    }
    std::vector<std::string> each;
    for (double v : us) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f", v);
        each.emplace_back(buf);
    }
    std::sort(us.begin(), us.end());
    auto at = [&](double q) {
        return us[std::min(us.size() - 1, static_cast<size_t>(q * static_cast<double>(us.size())))];
    };
    return Json()
        .num("samples", samples)
        .real("min_us", us.front())
        .real("median_us", at(0.5))
        .real("p99_us", at(0.99))
        .real("max_us", us.back())
        .raw("each_us", array(each))
        .text();
}

// GDI objects of another process. GetGuiResources answers on Windows; Wine
// only stubs it (0), so then count the used entries of the process's GDI
// handle table, which Wine keeps per process and the PEB points to.
struct GdiCount {
    DWORD objects = 0;
    const wchar_t* how = L"none";
};

GdiCount gdi_objects(HANDLE process) {
    if (const DWORD n = GetGuiResources(process, GR_GDIOBJECTS)) return {n, L"GetGuiResources"};
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    struct BasicInformation {  // PROCESS_BASIC_INFORMATION
        LONG exit_status;
        const BYTE* peb;
        ULONG_PTR affinity, priority, pid, parent;
    } info{};
    if (!query || query(process, 0, &info, sizeof info, nullptr) != 0 || !info.peb) return {};
    struct Entry {  // GDI_HANDLE_ENTRY, 64-bit
        UINT64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type;  // 0 when free
        UCHAR flags;
        UINT64 user;
    };
    static_assert(sizeof(Entry) == 24);
    constexpr std::size_t entries = 0x10000, peb_gdi_table = 0xF8;
    const Entry* table = nullptr;
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, info.peb + peb_gdi_table, &table, sizeof table, &got) || !table)
        return {};
    std::vector<Entry> copy(entries);
    if (!ReadProcessMemory(process, table, copy.data(), copy.size() * sizeof(Entry), &got) ||
        got != copy.size() * sizeof(Entry))
        return {};
    DWORD n = 0;
    for (const Entry& e : copy)
        if (e.type != 0) ++n;
    return {n, L"handle table"};
}

// Every window the process owns: top-level ones with their descendants,
// and message-only ones.
DWORD windows_of(DWORD pid) {
    DWORD n = 0;
    auto count_tree = [&](HWND top) {
        if (pid_of(top) != pid) return;
        n += 1 + static_cast<DWORD>(descendants(top).size());
    };
    for (HWND h : top_levels()) count_tree(h);
    for (HWND h = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); h;
         h = FindWindowExW(HWND_MESSAGE, h, nullptr, nullptr))
        count_tree(h);
    return n;
}

std::string cmd_objects(const Args& a) {
    need(a, 1, 1, L"objects <pid>");
    const DWORD pid = static_cast<DWORD>(number(a[0]));
    Process p(pid);
    if (!p.get()) fail(L"cannot open process " + a[0]);
    const GdiCount gdi = gdi_objects(p.get());
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    const bool has_memory = K32GetProcessMemoryInfo(
        p.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    return Json()
        .num("gdi", gdi.objects)
        .str("gdi_how", gdi.how)
        .num("user", GetGuiResources(p.get(), GR_USEROBJECTS))
        .num("windows", windows_of(pid))
        .num("private_bytes", has_memory ? static_cast<long long>(memory.PrivateUsage) : -1)
        .num("working_set", has_memory ? static_cast<long long>(memory.WorkingSetSize) : -1)
        .text();
}

// ---- the session around the program: quit, notification area, orphans ------

// quit <hwnd>: WM_QUIT posted to the window's thread from outside, as a
// session end or a task manager would end its loop.
std::string cmd_quit(const Args& a) {
    need(a, 1, 1, L"quit <hwnd>");
    const DWORD thread = GetWindowThreadProcessId(window_arg(a[0]), nullptr);
    if (!PostThreadMessageW(thread, WM_QUIT, 0, 0)) fail(L"PostThreadMessage failed");
    return Json().num("thread", thread).text();
}

// Icons in Wine's own notification area (no X tray): one child window each.
std::string cmd_tray(const Args& a) {
    need(a, 0, 0, L"tray");
    long long icons = 0;
    for (HWND h : top_levels())
        if (class_of(h) == L"__winex11_standalone_tray")
            for (HWND c : descendants(h)) icons += class_of(c) == L"__winex11_tray_icon";
    return Json().num("icons", icons).text();
}

// traydelete <hwnd> <uid>: removes another program's icon, as an Explorer
// restart loses every icon.
std::string cmd_traydelete(const Args& a) {
    need(a, 2, 2, L"traydelete <hwnd> <uid>");
    NOTIFYICONDATAW d{};
    d.cbSize = sizeof d;
    d.hWnd = window_arg(a[0]);
    d.uID = static_cast<UINT>(number(a[1]));
    return Json().flag("deleted", Shell_NotifyIconW(NIM_DELETE, &d)).text();
}

// broadcast <name>: a registered message to every top-level window, as
// Explorer sends "TaskbarCreated" when it starts again.
std::string cmd_broadcast(const Args& a) {
    need(a, 1, 1, L"broadcast <name>");
    const UINT message = RegisterWindowMessageW(a[0].c_str());
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    return Json().num("message", message).text();
}

// orphans <exe> <class>: processes of that image name that own no top-level
// window of that class: programs outliving their windows.
std::string cmd_orphans(const Args& a) {
    need(a, 2, 2, L"orphans <exe> <class>");
    std::vector<DWORD> owners;
    for (HWND h : top_levels())
        if (class_of(h) == a[1]) owners.push_back(pid_of(h));
    std::vector<std::string> pids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) fail(L"no process snapshot");
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    for (BOOL ok = Process32FirstW(snap, &e); ok; ok = Process32NextW(snap, &e))
        if (lstrcmpiW(e.szExeFile, a[0].c_str()) == 0 &&
            std::find(owners.begin(), owners.end(), e.th32ProcessID) == owners.end())
            pids.push_back(std::to_string(e.th32ProcessID));
    CloseHandle(snap);
    return Json().raw("pids", array(pids)).text();
}

// foreground: the window that has the foreground now, if any.
std::string cmd_foreground(const Args& a) {
    need(a, 0, 0, L"foreground");
    HWND h = GetForegroundWindow();
    if (!h) return Json().raw("hwnd", "0").text();
    return Json()
        .raw("hwnd", hwnd_json(h))
        .num("pid", pid_of(h))
        .str("class", class_of(h))
        .str("text", text_of(h))
        .text();
}

void write_line(const std::string& line);

// front <ms>: one-shot only. Another program's window, brought to the
// foreground; its handle is printed at once ({"front":hwnd}), then it lives
// for <ms>, pumping its messages.
std::string cmd_front(const Args& a) {
    need(a, 1, 1, L"front <ms>");
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"QdriverFront";
    RegisterClassW(&wc);
    HWND h =
        CreateWindowExW(0, wc.lpszClassName, L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        100, 100, 400, 300, nullptr, nullptr, wc.hInstance, nullptr);
    if (!h) fail(L"no window");
    SetForegroundWindow(h);
    write_line(Json().raw("front", hwnd_json(h)).text());
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(number(a[0]));
    while (GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    DestroyWindow(h);
    return "{}";
}

const std::map<std::wstring, std::function<std::string(const Args&)>>& commands() {
    static const std::map<std::wstring, std::function<std::string(const Args&)>> table = {
        {L"list", cmd_list},
        {L"wait", cmd_wait},
        {L"find", cmd_find},
        {L"tree", cmd_tree},
        {L"text", cmd_text},
        {L"click", cmd_click},
        {L"select", cmd_select},
        {L"combo", cmd_combo},
        {L"msgbox", cmd_msgbox},
        {L"dismiss", cmd_dismiss},
        {L"close", cmd_close},
        {L"post", cmd_post},
        {L"waitgone", cmd_waitgone},
        {L"filedialog", cmd_filedialog},
        {L"ping", cmd_ping},
        {L"objects", cmd_objects},
        {L"skin", cmd_skin},
        {L"repeat", cmd_repeat},
        {L"dpichanged", cmd_dpichanged},

        {L"settext", cmd_settext},
        {L"quit", cmd_quit},
        {L"tray", cmd_tray},
        {L"traydelete", cmd_traydelete},
        {L"broadcast", cmd_broadcast},
        {L"orphans", cmd_orphans},
        {L"foreground", cmd_foreground},
        {L"front", cmd_front},
    };
    return table;
}

// ---- output and the two forms ----------------------------------------------

void write_line(const std::string& line) {
    std::string out = line + "\n";
    HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    WriteFile(h, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
    FlushFileBuffers(h);
}

bool run(const Args& line) {
    try {
        if (line.empty()) fail(L"empty command");
        auto it = commands().find(line[0]);
        if (it == commands().end()) fail(L"unknown command: " + line[0]);
        std::string body = it->second(Args(line.begin() + 1, line.end()));
        write_line(body == "{}" ? std::string("{\"ok\":true}") : "{\"ok\":true," + body.substr(1));
        return true;
    } catch (const Failure& f) {
        write_line(Json().flag("ok", false).str("error", f.message).text());
        return false;
    }
}

Args split_tabs(const std::string& line) {
    Args out;
    size_t from = 0;
    for (;;) {
        size_t tab = line.find('\t', from);
        out.push_back(wide(line.substr(from, tab == std::string::npos ? tab : tab - from)));
        if (tab == std::string::npos) return out;
        from = tab + 1;
    }
}

int serve() {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    std::string pending;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(in, buf, sizeof buf, &got, nullptr) && got > 0) {
        pending.append(buf, got);
        size_t nl;
        while ((nl = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, nl);
            pending.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            if (line == "quit") return 0;
            run(split_tabs(line));
        }
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::string names;
        for (const auto& entry : commands()) names.append(" ").append(utf8(entry.first));
        write_line("usage: qdriver serve | <command> [args...]; commands:" + names);
        return 2;
    }
    if (std::wstring(argv[1]) == L"serve") return serve();
    return run(Args(argv + 1, argv + argc)) ? 0 : 1;
}
