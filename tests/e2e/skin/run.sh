#!/usr/bin/env bash
# The control skin under Wine: builds skin_demo.exe with mingw, runs its self
# test, shows its windows, a message box and the open-file dialog on Xvfb,
# checks from another process that every standard control carries the skin
# once, takes screenshots (normal, hot, pressed, focused edit, dropped list)
# and counts GDI objects over 50 create/skin/destroy cycles.
#
#   tests/e2e/skin/run.sh [OUT]      OUT defaults to build/e2e-skin
#   SKIN_SESSION=DIR run.sh ...      reuse a running wine_session.sh session
#
# Screenshots land in OUT/screenshots; the last line says "N passed, M failed".
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=$(mkdir -p "${1:-$root/build/e2e-skin}" && cd "${1:-$root/build/e2e-skin}" && pwd)
shots=$out/screenshots
logs=$out/logs
mkdir -p "$out/bin" "$shots" "$logs"

passed=0
failed=0
pass() {
    passed=$((passed + 1))
    echo "PASS $*"
}
fail() {
    failed=$((failed + 1))
    echo "FAIL $*"
}

build() {
    local cxx=x86_64-w64-mingw32-g++-posix
    x86_64-w64-mingw32-windres -I"$here" "$here/skin_demo.rc" -O coff -o "$out/bin/skin_demo_res.o"
    "$cxx" -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wshadow -Werror -municode -static \
        -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -I"$root/src" \
        "$here/skin_demo.cpp" "$root/src/platform/win32/skin/skin.cpp" \
        "$root/src/platform/win32/skin/skin_paint.cpp" "$root/src/platform/skin_rules.cpp" \
        "$out/bin/skin_demo_res.o" -o "$out/bin/skin_demo.exe" \
        -lcomctl32 -lcomdlg32 -lgdi32 -luser32
}

session=${SKIN_SESSION:-}
own_session=0
start_session() {
    if [[ -z $session ]]; then
        session=$out/session
        own_session=1
        "$root/tests/e2e/wine_session.sh" start "$session"
    fi
    # shellcheck disable=SC1091
    source "$session/session.env"
}
# Chinese that can be read in the screenshots. WenQuanYi Zen Hei turns to
# broken strokes at the 11-pixel GUI font size under Wine; Micro Hei (package
# fonts-wqy-microhei) stays legible, so the dialog faces link to it when it
# is there. Edit boxes draw through Uniscribe, whose fallback goes by the
# usual CJK face names rather than font links: those are substituted too.
legible_chinese() {
    local file=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc face=WenQuanYi\ Micro\ Hei link
    if [[ ! -f $file ]]; then
        file=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc face=WenQuanYi\ Zen\ Hei
    fi
    link=$(printf '%s\0\0' "$(basename "$file"),$face" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
        tr -s ' \n' ',' | sed 's/^,//; s/,$//')
    local nt='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion' f
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s\\FontLink\\SystemLink]\r\n' "$nt"
        for f in 'Tahoma' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif' 'System'; do
            printf '"%s"=hex(7):%s\r\n' "$f" "$link"
        done
        printf '\r\n[%s\\FontSubstitutes]\r\n' "$nt"
        for f in 'SimSun' 'NSimSun' 'SimHei' 'MS Song' 'Microsoft YaHei' 'Microsoft YaHei UI' \
            'PMingLiU' 'MingLiU' 'Microsoft JhengHei' 'MS Gothic' 'MS UI Gothic' 'MS Mincho'; do
            printf '"%s"="%s"\r\n' "$f" "$face"
        done
    } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$out/fonts.reg"
    (cd "$out" && "$WINE" regedit /S fonts.reg </dev/null >/dev/null 2>&1)
}
stop_session() {
    if ((own_session)); then "$root/tests/e2e/wine_session.sh" stop "$session" || true; fi
}

demo=""
demo_pid=""
# Starts the demo in MODE in the background, output to logs/MODE.log, and
# waits for the line READY.
start_demo() {
    local mode=$1 ready=$2 i log=${1// /-}
    # shellcheck disable=SC2086 # MODE may carry an argument
    "$WINE" "$demo" $mode </dev/null >"$logs/$log.log" 2>"$logs/$log.err" &
    demo_pid=$!
    for ((i = 0; i < 200; i++)); do
        grep -q "^$ready" "$logs/$log.log" 2>/dev/null && return 0
        kill -0 "$demo_pid" 2>/dev/null || break
        sleep 0.1
    done
    return 1
}
end_demo() {
    "$WINE" "$demo" close </dev/null >/dev/null 2>&1 || true
    local i
    for ((i = 0; i < 50; i++)); do
        kill -0 "$demo_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$demo_pid" 2>/dev/null || true
    wait "$demo_pid" 2>/dev/null || true
}

# The centre of the control whose census line in LOG matches PATTERN, in px py.
px=0
py=0
centre_of() {
    local c
    c=$(grep -aE "$2" "$1" | head -1 |
        sed -E 's/.*rect=(-?[0-9]+),(-?[0-9]+),(-?[0-9]+),(-?[0-9]+).*/\1 \2 \3 \4/' |
        awk '{ printf "%d %d\n", ($1 + $3) / 2, ($2 + $4) / 2 }')
    if [[ -z $c ]]; then
        fail "no control matches '$2' in $1"
        px=-1 py=-1
        return 1
    fi
    read -r px py <<<"$c"
}

shot() {
    sleep "${2:-0.4}"
    import -window root "$shots/$1.png"
}

# A zoomed part of a screenshot, for looking at pixels: NAME FROM X Y W H [PERCENT].
zoom() {
    convert "$shots/$2.png" -crop "$5x$6+$3+$4" +repage -filter point -resize "${7:-400}%" "$shots/$1.png"
}

probe() {
    "$WINE" "$demo" probe </dev/null >"$logs/probe-$1.log" 2>/dev/null
}

main() {
    echo "building skin_demo.exe"
    build
    start_session
    trap 'stop_session' EXIT
    legible_chinese
    demo=$out/bin/skin_demo.exe

    # Apply, re-apply, switch, take off, re-entry, other thread, owner-drawn.
    if "$WINE" "$demo" selftest </dev/null >"$logs/selftest.log" 2>"$logs/selftest.err" &&
        grep -q 'selftest: [0-9]* passed, 0 failed' "$logs/selftest.log"; then
        pass "selftest ($(grep -o 'selftest: .*' "$logs/selftest.log" | tr -d '\r'))"
    else
        fail "selftest (see $logs/selftest.log)"
        grep -E '^(FAIL|  BAD)' "$logs/selftest.log" || true
    fi

    # The two windows, skinned twice, looked at from another process.
    if start_demo show ready; then
        if probe show; then pass "every control of the windows carries the skin once (from outside)"; else
            fail "census from outside (see $logs/probe-show.log)"
        fi
        grep -E '^census' "$logs/probe-show.log" | tr -d '\r'
        shot windows
        zoom windows-options windows 36 36 226 116

        local log=$logs/probe-show.log
        # Hot push button
        centre_of "$log" 'Button .*text="默认"' || true
        xdotool mousemove "$px" "$py"
        shot hot-button
        zoom hot-button-zoom hot-button 500 60 200 70
        # Hot check box
        centre_of "$log" 'Button .*text="静音"' || true
        xdotool mousemove "$px" "$py"
        shot hot-check
        zoom hot-check-zoom hot-check 300 60 220 140
        # Pressed button (mouse held down)
        centre_of "$log" 'Button .*text="确定"' || true
        xdotool mousemove "$px" "$py" mousedown 1
        shot pressed-button
        zoom pressed-button-zoom pressed-button 500 60 200 70
        xdotool mousemove 5 700 mouseup 1
        # Focused edit box (clicked)
        centre_of "$log" 'Edit .*text="C:' || true
        xdotool mousemove "$px" "$py" click 1
        shot focused-edit
        zoom focused-edit-zoom focused-edit 300 190 220 140
        # Edit box of the options-like window, focused, with a hot combo box beside it
        centre_of "$log" 'Edit .*rect=1[0-9][0-9],' || true
        xdotool mousemove "$px" "$py" click 1
        centre_of "$log" 'ComboBox .*text="00"' || true
        xdotool mousemove "$px" "$py"
        shot options-focus
        zoom options-focus-zoom options-focus 36 36 226 116
        # Dropped list of the minute box
        xdotool click 1
        shot dropped
        zoom dropped-zoom dropped 36 36 226 240
        xdotool key Escape
        # Dropped list of the gallery's editable combo box, opened by its button
        centre_of "$log" 'ComboBox .*text="自定义"' || true
        xdotool mousemove $((px + 70)) "$py" click 1
        shot dropped-gallery
        zoom dropped-gallery-zoom dropped-gallery 510 215 200 120
        xdotool key Escape
        # Up arrow of the up-down control on the "12" edit box, held down
        centre_of "$log" 'msctls_updown32 .*visible=1' || true
        xdotool mousemove "$px" $((py - 4)) mousedown 1
        shot up-down-pressed 0.3
        zoom up-down-pressed-zoom up-down-pressed 305 295 150 40 500
        xdotool mouseup 1
        xdotool mousemove 5 700
        shot gallery-after
        zoom gallery-zoom gallery-after 296 36 430 310 200
        end_demo
    else
        fail "show did not get ready (see $logs/show.log $logs/show.err)"
        end_demo
    fi

    # The olive green and silver schemes.
    local scheme
    for scheme in 2 3; do
        if start_demo "show $scheme" ready; then
            pass "scheme $scheme shows"
            shot "scheme-$scheme"
            zoom "scheme-$scheme-zoom" "scheme-$scheme" 36 36 690 310 200
        else
            fail "scheme $scheme did not get ready"
        fi
        end_demo
    done

    # Message box: its controls are made on the thread after the skin was applied.
    if start_demo msgbox dialog-ready; then
        if grep -q 'census dialog: [1-9][0-9]* skinned ok, [0-9]* left alone ok, 0 wrong' "$logs/msgbox.log"; then
            pass "message box controls carry the skin once (inside)"
        else
            fail "message box census (see $logs/msgbox.log)"
        fi
        if probe msgbox; then pass "message box census from outside"; else fail "message box census from outside"; fi
        shot msgbox
        if centre_of "$logs/probe-msgbox.log" 'Button .*text="OK"'; then
            xdotool mousemove "$px" "$py"
            shot msgbox-hot
            zoom msgbox-hot-zoom msgbox-hot 330 280 330 170 200
        fi
        end_demo
    else
        fail "message box did not show (see $logs/msgbox.log)"
        end_demo
    fi

    # Open-file dialog.
    if start_demo open dialog-ready; then
        if grep -q 'census dialog: [1-9][0-9]* skinned ok, [0-9]* left alone ok, 0 wrong' "$logs/open.log"; then
            pass "file dialog controls carry the skin once (inside)"
        else
            fail "file dialog census (see $logs/open.log)"
        fi
        if probe open; then pass "file dialog census from outside"; else fail "file dialog census from outside"; fi
        shot open-dialog 0.8
        end_demo
    else
        fail "file dialog did not show (see $logs/open.log)"
        end_demo
    fi

    # GDI objects over 50 create/skin/destroy cycles.
    if "$WINE" "$demo" gdi </dev/null >"$logs/gdi.log" 2>"$logs/gdi.err"; then
        pass "$(tr -d '\r' <"$logs/gdi.log")"
    else
        fail "$(tr -d '\r' <"$logs/gdi.log") (grew)"
    fi

    echo "screenshots in $shots"
    echo "skin: $passed passed, $failed failed"
    ((failed == 0))
}

main "$@"
