#include "platform/win32/sound/music_file.h"

#include <string_view>

namespace quorvel::win32 {

namespace {

constexpr wchar_t kExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t kExtendedUncPrefix[] = L"\\\\?\\UNC\\";

bool starts_with(const std::wstring& s, std::wstring_view prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

std::wstring full_path(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring out(needed, L'\0');
    const DWORD n = GetFullPathNameW(path.c_str(), needed, out.data(), nullptr);
    if (n == 0 || n >= needed) return path;
    out.resize(n);
    return out;
}

std::wstring without_extended_prefix(const std::wstring& path) {
    if (starts_with(path, kExtendedUncPrefix)) {
        return L"\\\\" + path.substr(std::wstring_view(kExtendedUncPrefix).size());
    }
    if (starts_with(path, kExtendedPrefix)) {
        return path.substr(std::wstring_view(kExtendedPrefix).size());
    }
    return path;
}

// GetShortPathNameW takes a long input only in extended form.
std::wstring short_path(const std::wstring& extended) {
    const DWORD needed = GetShortPathNameW(extended.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::wstring out(needed, L'\0');
    const DWORD n = GetShortPathNameW(extended.c_str(), out.data(), needed);
    if (n == 0 || n >= needed) return {};
    out.resize(n);
    return without_extended_prefix(out);
}

class FileSource final : public mp3::ByteSource {
  public:
    FileSource(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
    std::uint64_t size() const override { return size_; }
    bool read_at(std::uint64_t offset, std::size_t count, std::string& out) override {
        return win32::read_at(file_, offset, count, out);
    }

  private:
    HANDLE file_;
    std::uint64_t size_;
};

}  // namespace

UniqueKernelHandle open_music(const std::wstring& extended) {
    HANDLE raw = CreateFileW(
        extended.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return {};
    UniqueKernelHandle file(raw);
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return {};
    return file;
}

bool read_at(HANDLE file, std::uint64_t offset, std::size_t count, std::string& out) {
    LARGE_INTEGER pos{};
    pos.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, pos, nullptr, FILE_BEGIN)) return false;
    out.assign(count, '\0');
    std::size_t got = 0;
    while (got < count) {
        DWORD n = 0;
        if (!ReadFile(file, out.data() + got, static_cast<DWORD>(count - got), &n, nullptr)) {
            return false;
        }
        if (n == 0) break;
        got += n;
    }
    out.resize(got);
    return true;
}

mp3::MusicFile probe_music_file(const std::wstring& extended) {
    const UniqueKernelHandle file = open_music(extended);
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) return {mp3::FileKind::unreadable, 0};
    FileSource source(file.get(), static_cast<std::uint64_t>(size.QuadPart));
    return mp3::probe_music(source);
}

PathForms path_forms(const std::wstring& path) {
    PathForms forms;
    forms.full = full_path(path);
    if (starts_with(forms.full, kExtendedPrefix) || starts_with(forms.full, L"\\\\.\\")) {
        forms.extended = forms.full;
    } else if (starts_with(forms.full, L"\\\\")) {
        forms.extended = kExtendedUncPrefix + forms.full.substr(2);
    } else {
        forms.extended = kExtendedPrefix + forms.full;
    }
    forms.short_form = short_path(forms.extended);
    return forms;
}

// The mpegvideo driver hands the name on to DirectShow, where paths are
// bounded by MAX_PATH unless the process opts into long paths (Windows 10
// 1607 and later, by manifest and a system setting). The 8.3 form fits on
// every version wherever the volume keeps 8.3 names; the extended form is
// the last resort.
const std::wstring& element_name(const PathForms& forms) {
    if (forms.full.size() < MAX_PATH) return forms.full;
    if (!forms.short_form.empty() && forms.short_form.size() < MAX_PATH) return forms.short_form;
    return forms.extended;
}

}  // namespace quorvel::win32
