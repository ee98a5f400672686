// Drives the MCI player under Wine (or Windows) for test_sound.py:
//
//   sound_probe selftest                 path forms and the name MCI gets
//   sound_probe play PATH TIMES [box]    play, then a message loop (or a
//                                        task-modal message box) until it ends
//   sound_probe replace A B DELAY_MS     play A 3 times, after DELAY_MS play B 3 times
//   sound_probe stop PATH DELAY_MS       stop_all after DELAY_MS
//   sound_probe destroy PATH DELAY_MS    destroy the service after DELAY_MS
//   sound_probe exit PATH DELAY_MS       end the process after DELAY_MS, no cleanup
//   sound_probe bad CASE...              each case played 3 times, 1.2 s apart;
//                                        "<empty>" is the empty path and
//                                        "lock:PATH" a file held open exclusively
//   sound_probe forms PATH               MCI_OPEN of each form of the path
//   sound_probe thread PATH|stuck        the program's sound thread: play 3 times
//                                        (or hang in a play, as a slow open does),
//                                        then stop_all and end it, each timed
//
// Output is UTF-8, one "key=value ..." line per fact; times are Unix epoch
// milliseconds so a recording made outside can be lined up with them.
#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/base/text.h"
#include "platform/win32/sound/mci_player.h"
#include "platform/win32/sound/music_file.h"
#include "platform/win32/sound/sound_thread.h"

namespace {

using quorvel::win32::MciSound;
using quorvel::win32::narrow;

void out(const std::string& line) {
    const std::string s = line + "\n";
    DWORD n = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), s.data(), static_cast<DWORD>(s.size()), &n, nullptr);
}

long long epoch_ms() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);  // precise under Wine; Windows 7 lacks the Precise variant
    const auto t = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<long long>((t - 116444736000000000ULL) / 10000);
}

double now_us() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1e6 / static_cast<double>(f.QuadPart);
}

const char* outcome_name(MciSound::Outcome o) {
    switch (o) {
        case MciSound::Outcome::none:
            return "none";
        case MciSound::Outcome::unreadable:
            return "unreadable";
        case MciSound::Outcome::not_mpeg_audio:
            return "not_mpeg_audio";
        case MciSound::Outcome::open_failed:
            return "open_failed";
        case MciSound::Outcome::play_failed:
            return "play_failed";
        case MciSound::Outcome::started:
            return "started";
    }
    return "?";
}

void timed_play(MciSound& sound, const std::string& path, int times, const std::string& label) {
    const long long at = epoch_ms();
    const double t0 = now_us();
    sound.play(path, times);
    const double took = now_us() - t0;
    char buf[160];
    std::snprintf(buf, sizeof buf, " play_at=%lld play_us=%.0f outcome=%s mci_error=%lu active=%d",
                  at, took, outcome_name(sound.last_outcome()),
                  static_cast<unsigned long>(sound.last_mci_error()), sound.active() ? 1 : 0);
    out(label + buf + " element_len=" + std::to_string(sound.last_element().size()));
}

// Dispatches messages until `done` holds or `timeout_ms` has passed; true
// when `done` held.
template <class Done>
bool pump(Done done, int timeout_ms) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
    MSG msg;
    bool ok = done();
    while (!ok && GetTickCount64() < end && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ok = done();
    }
    KillTimer(nullptr, timer);
    return ok;
}

void wait_ms(int ms) {
    pump([] { return false; }, ms);
}

// ---- selftest ----------------------------------------------------------

int failures = 0;
void check(bool ok, const std::string& what) {
    if (!ok) ++failures;
    out(std::string(ok ? "ok   " : "FAIL ") + what);
}

int selftest() {
    using quorvel::win32::element_name;
    using quorvel::win32::PathForms;
    const std::wstring fits = L"C:\\music\\a.mp3";
    const std::wstring long_path = L"C:\\" + std::wstring(300, L'x') + L".mp3";
    const std::wstring long_ext = L"\\\\?\\" + long_path;
    const std::wstring short_fits = L"C:\\XXXXXX~1.MP3";
    const std::wstring short_long = L"C:\\" + std::wstring(280, L'y');
    struct Form {
        const char* name;
        PathForms forms;
        const std::wstring* want;
    };
    const Form forms[] = {
        {"a path that fits is used as it is",
         {fits, L"\\\\?\\" + fits, L"C:\\music\\A~1.MP3"},
         &fits},
        {"too long: the 8.3 form", {long_path, long_ext, short_fits}, &short_fits},
        {"too long, no 8.3 form: extended", {long_path, long_ext, L""}, &long_ext},
        {"too long, 8.3 form too long: extended", {long_path, long_ext, short_long}, &long_ext},
    };
    for (const Form& f : forms) {
        check(element_name(f.forms) == *f.want, std::string("element name: ") + f.name);
    }
    const auto relative = quorvel::win32::path_forms(L"a b\\c.mp3");
    check(relative.full.size() > 10 && relative.full[1] == L':' &&
              relative.extended == L"\\\\?\\" + relative.full,
          "relative path becomes full and extended");
    const auto unc = quorvel::win32::path_forms(L"\\\\server\\share\\x.mp3");
    check(unc.extended == L"\\\\?\\UNC\\server\\share\\x.mp3", "UNC path's extended form");

    out("selftest: " + std::to_string(failures) + " failed");
    return failures == 0 ? 0 : 1;
}

// ---- playing -----------------------------------------------------------

MciSound* box_sound = nullptr;
long long box_ended_at = 0;

BOOL CALLBACK close_box(HWND hwnd, LPARAM) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (std::wstring(cls) == L"#32770") PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
    return TRUE;
}

void CALLBACK box_timer(HWND, UINT, UINT_PTR, DWORD) {
    if (box_sound->active() || box_ended_at != 0) return;
    box_ended_at = epoch_ms();
    EnumThreadWindows(GetCurrentThreadId(), close_box, 0);
}

int play(const std::string& path, int times, bool box) {
    MciSound sound;
    timed_play(sound, path, times, "play");
    bool ended = false;
    long long ended_at = 0;
    if (box) {
        // The plays must go on inside the box's own loop: the box closes
        // itself only once playback has ended.
        box_sound = &sound;
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, box_timer);
        const UINT_PTR guard = SetTimer(nullptr, 0, 20000, [](HWND, UINT, UINT_PTR, DWORD) {
            EnumThreadWindows(GetCurrentThreadId(), close_box, 0);
        });
        MessageBoxW(nullptr, L"时间到!!!", L"现在时间:7:5", MB_OK | MB_TASKMODAL);
        const long long box_returned = epoch_ms();
        KillTimer(nullptr, timer);
        KillTimer(nullptr, guard);
        ended = box_ended_at != 0;
        ended_at = box_ended_at;
        out("box_returned_at=" + std::to_string(box_returned) +
            " ended_inside_box=" + (ended ? "1" : "0"));
    } else {
        ended = pump([&] { return !sound.active(); }, 20000);
        ended_at = epoch_ms();
    }
    out("ended=" + std::string(ended ? "1" : "0") + " ended_at=" + std::to_string(ended_at));
    return ended ? 0 : 1;
}

int replace(const std::string& a, const std::string& b, int delay) {
    MciSound sound;
    timed_play(sound, a, 3, "first");
    wait_ms(delay);
    timed_play(sound, b, 3, "second");
    const bool ended = pump([&] { return !sound.active(); }, 20000);
    out("ended=" + std::string(ended ? "1" : "0") + " ended_at=" + std::to_string(epoch_ms()));
    return ended ? 0 : 1;
}

int stop(const std::string& path, int delay, const std::string& how) {
    auto sound = std::make_unique<MciSound>();
    timed_play(*sound, path, 3, "play");
    wait_ms(delay);
    out("stop_at=" + std::to_string(epoch_ms()));
    if (how == "exit") ExitProcess(0);
    if (how == "stop") {
        sound->stop_all();
        out("active_after_stop=" + std::string(sound->active() ? "1" : "0"));
    } else {
        sound.reset();
    }
    wait_ms(2500);  // anything still queued for the device would play now
    out("done_at=" + std::to_string(epoch_ms()));
    return 0;
}

// Holds a file open with no sharing, so nobody else can read it.
struct Lock {
    HANDLE h = INVALID_HANDLE_VALUE;
    explicit Lock(const std::wstring& path)
        : h(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    ~Lock() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

int bad(const std::vector<std::string>& cases) {
    MciSound sound;
    int unexpected = 0;
    for (const std::string& c : cases) {
        std::string path = c == "<empty>" ? "" : c;
        std::unique_ptr<Lock> lock;
        if (path.rfind("lock:", 0) == 0) {
            path = path.substr(5);
            lock = std::make_unique<Lock>(quorvel::win32::widen(path));
            out(std::string("locked=") + (lock->h != INVALID_HANDLE_VALUE ? "1" : "0"));
        }
        timed_play(sound, path, 3, "case=" + c);
        if (sound.active()) ++unexpected;
        wait_ms(1200);
    }
    out("bad_done_at=" + std::to_string(epoch_ms()) + " started=" + std::to_string(unexpected));
    return unexpected == 0 ? 0 : 1;
}

int forms(const std::string& path) {
    const auto f = quorvel::win32::path_forms(quorvel::win32::widen(path));
    const std::pair<const char*, const std::wstring*> all[] = {
        {"full", &f.full}, {"short", &f.short_form}, {"extended", &f.extended}};
    for (const auto& [name, form] : all) {
        std::string line = std::string("form=") + name + " len=" + std::to_string(form->size());
        if (!form->empty()) {
            MCI_OPEN_PARMSW open{};
            open.lpstrDeviceType = L"mpegvideo";
            open.lpstrElementName = form->c_str();
            const MCIERROR err = mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                                                 reinterpret_cast<DWORD_PTR>(&open));
            line += " mci_open=" + std::to_string(err);
            if (err == 0) {
                MCI_STATUS_PARMS st{};
                st.dwItem = MCI_STATUS_LENGTH;
                mciSendCommandW(open.wDeviceID, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                                reinterpret_cast<DWORD_PTR>(&st));
                line += " length_ms=" + std::to_string(st.dwReturn);
                quorvel::win32::MciDeviceTraits::close(open.wDeviceID);
            }
            line += " value=" + narrow(*form);
        }
        out(line);
    }
    out("chosen_len=" + std::to_string(quorvel::win32::element_name(f).size()));
    return 0;
}

// A player stuck in its first play, as one opening a file on a share that
// does not answer is.
class StuckPlayer final : public quorvel::platform::Sound {
  public:
    void play(const std::string&, int) override { Sleep(60000); }
    void stop_all() override {}
};

std::unique_ptr<quorvel::platform::Sound> stuck_player() {
    return std::make_unique<StuckPlayer>();
}

int thread(const std::string& path) {
    using quorvel::win32::SoundThread;
    auto sound =
        std::make_unique<SoundThread>(path == "stuck" ? &stuck_player : &SoundThread::alarm_player);
    double t0 = now_us();
    sound->play(path, 3);
    out("play_at=" + std::to_string(epoch_ms()) +
        " play_us=" + std::to_string(static_cast<long long>(now_us() - t0)));
    wait_ms(800);
    out("stop_at=" + std::to_string(epoch_ms()));
    t0 = now_us();
    sound->stop_all();
    out("stop_us=" + std::to_string(static_cast<long long>(now_us() - t0)));
    t0 = now_us();
    sound.reset();
    out("end_us=" + std::to_string(static_cast<long long>(now_us() - t0)));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(narrow(argv[i]));
    const auto arg = [&](std::size_t i) { return i < args.size() ? args[i] : std::string(); };
    const auto num = [&](std::size_t i, int fallback) {
        return i < args.size() ? std::stoi(args[i]) : fallback;
    };
    const std::string mode = arg(0);
    if (mode == "selftest") return selftest();
    if (mode == "play") return play(arg(1), num(2, 3), arg(3) == "box");
    if (mode == "replace") return replace(arg(1), arg(2), num(3, 500));
    if (mode == "stop" || mode == "destroy" || mode == "exit")
        return stop(arg(1), num(2, 500), mode);
    if (mode == "bad") return bad(std::vector<std::string>(args.begin() + 1, args.end()));
    if (mode == "forms") return forms(arg(1));
    if (mode == "thread") return thread(arg(1));
    out("usage: sound_probe selftest|play|replace|stop|destroy|exit|bad|forms|thread ...");
    return 2;
}
