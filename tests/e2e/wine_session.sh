#!/usr/bin/env bash
# A private Wine session for the end-to-end tests: its own HOME, prefix, X
# display (Xvfb), audio server (pulseaudio with a null sink) and persistent
# wineserver, all kept under one scratch folder.
#
#   wine_session.sh start [DIR] [LOCALE]
#                                     make a fresh session (DIR defaults to build/e2e)
#                                     for a Chinese (zh_CN, the default) or an English
#                                     (en_US) Windows
#   wine_session.sh stop [DIR]        end every daemon of the session
#   wine_session.sh status [DIR]      say which daemons are alive
#   wine_session.sh exec DIR CMD...   run CMD with the session's environment
#
# `start` writes DIR/session.env (export lines; source it in a shell) and keeps
# the daemons' PIDs in DIR/pids/. The start-up web page of a program run in the
# session is recorded in DIR/browser.log, one line per request: the value of
# QUORVEL_E2E_RUN in the program's environment, a tab, the address.
set -euo pipefail

WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver64}
WINE_FONTS=${WINE_FONTS:-/usr/share/wine/fonts}

log() { printf 'wine_session: %s\n' "$*" >&2; }
die() {
    log "error: $*"
    exit 1
}

now_ms() { date +%s%3N; }

# Polls CMD every 50 ms for up to SECONDS seconds.
wait_for() {
    local seconds=$1
    shift
    local deadline=$(($(now_ms) + seconds * 1000))
    until "$@" >/dev/null 2>&1; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.05
    done
}

# A zombie counts as gone: without an init that reaps them (containers in
# CI), ended daemons stay zombies.
alive() {
    [[ -n ${1:-} ]] && kill -0 "$1" 2>/dev/null || return 1
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 0
    [[ $state != Z ]]
}

# Whether PID still runs PROGRAM: a stale PID file must not end another
# process that got the same number.
runs() {
    local pid=$1 program=$2
    alive "$pid" && tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q -- "$program"
}

read_pid() {
    if [[ -s $DIR/pids/$1 ]]; then cat "$DIR/pids/$1"; fi
}

# Single-quotes a value for the env file (POSIX shell and Python's shlex read it).
quote() { printf "'%s'" "${1//\'/\'\\\'\'}"; }

# What every process of the session sees; cmd_start exports them.
SESSION_VARS=(HOME XDG_RUNTIME_DIR XDG_CACHE_HOME XDG_CONFIG_HOME XDG_DATA_HOME WINEPREFIX
    WINEARCH WINEDEBUG WINEDLLOVERRIDES DISPLAY PULSE_SERVER LANG LC_ALL LOCPATH TZ DBUS_SESSION_BUS_ADDRESS
    WINE WINESERVER QUORVEL_E2E_DIR QUORVEL_E2E_BROWSER_LOG QUORVEL_E2E_LOCALE)

write_env() {
    local name
    for name in "${SESSION_VARS[@]}"; do
        if [[ -n ${!name:-} ]]; then printf 'export %s=%s\n' "$name" "$(quote "${!name}")"; fi
    done >"$DIR/session.env"
}

# Sets LANG and LC_ALL for LOCALE (zh_CN or en_US), so Wine picks that
# Windows' code page and language. A locale the system lacks is compiled
# once into DIR/locale (kept across sessions) and found through LOCPATH.
use_locale() {
    local name=$1.UTF-8
    case $1 in
        zh_CN | en_US) ;;
        *) die "unknown locale $1 (zh_CN or en_US)" ;;
    esac
    if ! locale -a 2>/dev/null | grep -qix "${1}.utf-\?8"; then
        if [[ ! -f $DIR/locale/$name/LC_CTYPE ]]; then
            command -v localedef >/dev/null || die "localedef not found (package locales)"
            mkdir -p "$DIR/locale"
            localedef -i "$1" -f UTF-8 "$DIR/locale/$name" >/dev/null 2>&1 ||
                [[ -f $DIR/locale/$name/LC_CTYPE ]] || die "localedef $name failed (package locales)"
        fi
        export LOCPATH="$DIR/locale"
    fi
    # (bash itself may not find a LOCPATH locale: its warning is noise.)
    export LANG=$name LC_ALL=$name QUORVEL_E2E_LOCALE=$1 2>/dev/null
}

# REG_MULTI_SZ of one string, as regedit's hex(7) notation.
multi_sz() {
    printf '%s\0\0' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
        tr -s ' \n' ',' | sed 's/^,//; s/,$//'
}

# LOGFONTW of FACE at HEIGHT pixels (negative: character height) and WEIGHT,
# as regedit's hex notation.
logfont() {
    local height=$1 weight=$2 face=$3
    {
        # lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight (little-endian LONGs)
        printf '%08x' $((height & 0xffffffff)) 0 0 0 "$weight" | sed -E 's/(..)(..)(..)(..)/\4\3\2\1/g'
        # italic, underline, strike-out, DEFAULT_CHARSET, then default precision,
        # clipping, quality and pitch
        printf '0000000100000000'
    } | sed 's/../&,/g; s/,$//'
    printf ','
    local name
    name=$(printf '%s' "$face" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',' |
        sed 's/^,//; s/,$//')
    local pad=$((64 - $(printf '%s' "$face" | iconv -f UTF-8 -t UTF-16LE | wc -c)))
    printf '%s' "$name"
    printf ',00%.0s' $(seq "$pad")
}

write_reg() {
    local nt='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion'
    local micro='WenQuanYi Micro Hei' zen_mono='WenQuanYi Zen Hei Mono' micro_mono='WenQuanYi Micro Hei Mono'
    local link
    link=$(multi_sz 'wqy-microhei.ttc,WenQuanYi Micro Hei')
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        # Without a window manager every hide or destroy would block for 2 s.
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n"Audio"="pulse"\r\n\r\n'
        # A crash ends the program with its exit code; no dialog waits for a click.
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
        # The start-up web page must never reach a real browser: record it.
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineBrowser]\r\n"Browsers"="%s"\r\n\r\n' \
            "$DIR/bin/record-browser"
        # The shell opens a file: URL by its extension; with mshtml disabled
        # nothing maps .html to the (present) htmlfile class, whose command is
        # winebrowser, so the request would fail before reaching it.
        printf '[HKEY_CLASSES_ROOT\\.html]\r\n@="htmlfile"\r\n\r\n'
        printf '[HKEY_CLASSES_ROOT\\.htm]\r\n@="htmlfile"\r\n\r\n'
        # Stand-ins for the Chinese Windows faces. Wine does not chain font
        # substitutes, so they are named as replacements. SimHei's half-width
        # digits are 0.5 em, as Zen Hei Mono's (plain Zen Hei's are wider and
        # clip in the clock's labels); SimSun is monospaced too.
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        local face
        for face in 'SimHei' '黑体'; do printf '"%s"="%s"\r\n' "$face" "$zen_mono"; done
        for face in 'SimSun' '宋体' 'NSimSun' '新宋体'; do printf '"%s"="%s"\r\n' "$face" "$micro_mono"; done
        for face in 'Microsoft YaHei' 'Microsoft YaHei UI' '微软雅黑'; do
            printf '"%s"="%s"\r\n' "$face" "$micro"
        done
        printf '\r\n'
        # Chinese text in the faces Wine draws dialogs, message boxes and the
        # GUI font with, and in bold Tahoma, its caption font.
        printf '[%s\\FontLink\\SystemLink]\r\n' "$nt"
        for face in 'Tahoma' 'Tahoma Bold' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif' 'System'; do
            printf '"%s"=hex(7):%s\r\n' "$face" "$link"
        done
        printf '\r\n'
        # Windows 10's caption height and 9-point caption and message fonts.
        printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]\r\n"CaptionHeight"="22"\r\n'
        printf '"CaptionFont"=hex:%s\r\n' "$(logfont -12 700 Tahoma)"
        printf '"MessageFont"=hex:%s\r\n' "$(logfont -12 400 Tahoma)"
        printf '\r\n'
    } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$DIR/session.reg"
}

write_browser_recorder() {
    mkdir -p "$DIR/bin"
    cat >"$DIR/bin/record-browser" <<EOF
#!/bin/sh
# One line per request: the run that asked (named by the test harness), a tab, the address.
printf '%s\t%s\n' "\${QUORVEL_E2E_RUN:-}" "\$*" >>$(quote "$DIR/browser.log")
EOF
    chmod 755 "$DIR/bin/record-browser"
    : >"$DIR/browser.log"
}

# Upstream Wine keeps the server's socket in /tmp/.wine-UID; Debian's in a
# random folder under TMPDIR, named in the prefix's file "wineserver".
server_dir() {
    local id base
    id=$(stat -c '%d %i' "$DIR/prefix")
    if [[ -s $DIR/prefix/wineserver ]]; then
        base="${TMPDIR:-/tmp}/$(cat "$DIR/prefix/wineserver")"
    else
        base="/tmp/.wine-$(id -u)"
    fi
    # shellcheck disable=SC2086
    printf '%s/server-%s' "$base" "$(printf '%x-%x' $id)"
}

server_ready() {
    local dir
    dir=$(server_dir) && [[ -S $dir/socket ]]
}

start_xvfb() {
    : >"$DIR/display"
    # -displayfd picks a free display number and reports it once listening.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
        3>"$DIR/display" </dev/null >/dev/null 2>&1 &
    echo $! >"$DIR/pids/xvfb"
    wait_for 15 test -s "$DIR/display" || die "Xvfb did not start"
    DISPLAY_NUM=$(tr -dc '0-9' <"$DIR/display")
    wait_for 10 xdpyinfo -display ":$DISPLAY_NUM" || die "display :$DISPLAY_NUM does not answer"
}

start_pulse() {
    mkdir -p "$DIR/run/pulse"
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --realtime=no --high-priority=no \
        --disable-shm=yes --log-target="file:$DIR/logs/pulseaudio.log" \
        -L "module-native-protocol-unix socket=$DIR/run/pulse/native auth-anonymous=1" \
        -L "module-null-sink sink_name=nul rate=44100" \
        </dev/null >/dev/null 2>&1 &
    echo $! >"$DIR/pids/pulseaudio"
    wait_for 10 pactl info || die "pulseaudio does not answer (see $DIR/logs/pulseaudio.log)"
    pactl set-default-sink nul
}

start_wine() {
    "$WINE" wineboot -i </dev/null >"$DIR/logs/wineboot.log" 2>&1 ||
        die "wineboot failed (see $DIR/logs/wineboot.log)"
    # Anything started before the first server has gone leaves a prefix with
    # two services.exe and no rpcss, and the first window stalls. -k ends it
    # at once (-w would wait about 5 s for its idle processes and linger).
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w
    "$WINESERVER" -f -p </dev/null >/dev/null 2>&1 &
    echo $! >"$DIR/pids/wineserver"
    wait_for 10 server_ready || die "wineserver did not start"

    local fonts="$DIR/prefix/drive_c/windows/Fonts" f
    for f in marlett tahoma tahomabd; do
        [[ -f $WINE_FONTS/$f.ttf ]] || die "$WINE_FONTS/$f.ttf missing (package fonts-wine)"
        cp "$WINE_FONTS/$f.ttf" "$fonts/"
    done

    write_reg
    (cd "$DIR" && "$WINE" regedit /S session.reg </dev/null >"$DIR/logs/regedit.log" 2>&1) ||
        die "regedit failed"
    "$WINE" reg query 'HKCU\Software\Wine\X11 Driver' /v Managed </dev/null 2>/dev/null |
        grep -q 'Managed' || die "registry settings were not imported"
}

cmd_start() {
    local t0
    t0=$(now_ms)
    [[ -d $DIR/pids ]] && cmd_stop
    local tool
    for tool in "$WINE" "$WINESERVER"; do
        [[ -x $tool ]] || die "$tool not found (packages wine, wine64)"
    done
    for tool in Xvfb xdpyinfo pulseaudio pactl iconv od; do
        command -v "$tool" >/dev/null || die "$tool not found (see tests/e2e/packages.txt)"
    done

    # Only the session's own subfolders are wiped: DIR may hold other output.
    # (DIR/locale keeps compiled locales for the next session.)
    rm -rf "${DIR:?}/prefix" "${DIR:?}/home" "${DIR:?}/run" "${DIR:?}/cache" "${DIR:?}/bin" \
        "${DIR:?}/logs" "${DIR:?}/pids" "${DIR:?}/session.env"
    mkdir -p "$DIR/home" "$DIR/cache" "$DIR/logs" "$DIR/pids" "$DIR/run"
    chmod 700 "$DIR/run"
    write_browser_recorder

    # Failing half-way must not leave daemons behind.
    trap 'cmd_stop' EXIT

    export HOME="$DIR/home" XDG_RUNTIME_DIR="$DIR/run" XDG_CACHE_HOME="$DIR/cache"
    export XDG_CONFIG_HOME="$DIR/home/.config" XDG_DATA_HOME="$DIR/home/.local/share"
    export WINEPREFIX="$DIR/prefix" WINEARCH=win64 WINEDEBUG=-all
    # No Mono or Gecko installers, no desktop menu entries, no ALSA probing.
    export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d;winealsa.drv=d'
    export PULSE_SERVER="unix:$DIR/run/pulse/native" TZ=UTC
    use_locale "$LOCALE"
    # No session bus: nothing may autolaunch a dbus-daemon that outlives us.
    export DBUS_SESSION_BUS_ADDRESS='unix:path=/dev/null'
    export WINE WINESERVER QUORVEL_E2E_DIR="$DIR" QUORVEL_E2E_BROWSER_LOG="$DIR/browser.log"

    start_xvfb
    export DISPLAY=":$DISPLAY_NUM"
    local t1
    t1=$(now_ms)
    start_pulse
    local t2
    t2=$(now_ms)
    start_wine
    trap - EXIT
    write_env
    local t3
    t3=$(now_ms)
    log "ready in $((t3 - t0)) ms (xvfb $((t1 - t0)), pulse $((t2 - t1)), wine $((t3 - t2)))," \
        "DISPLAY=$DISPLAY, env in $DIR/session.env"
}

# Sends TERM to PID if it runs PROGRAM, waits up to 3 s, then KILL.
end_pid() {
    local pid=$1 program=$2 i
    runs "$pid" "$program" || return 0
    kill "$pid" 2>/dev/null || true
    for ((i = 0; i < 60; i++)); do
        alive "$pid" || return 0
        sleep 0.05
    done
    kill -9 "$pid" 2>/dev/null || true
}

# Wine processes of this prefix that outlived the server (a crash debugger,
# or a program that started after -k and brought up a server of its own).
sweep() {
    local environ pid exe
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        [[ $pid == "$$" || $pid == "$PPID" ]] && continue
        exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
        [[ ${exe##*/} == wine* ]] || continue
        if tr '\0' '\n' <"$environ" 2>/dev/null | grep -qxF "WINEPREFIX=$DIR/prefix"; then
            kill -9 "$pid" 2>/dev/null || true
        fi
    done
}

cmd_stop() {
    [[ -d $DIR/pids ]] || return 0
    local pid server=''
    pid=$(read_pid wineserver)
    if [[ -d $DIR/prefix ]]; then
        server=$(server_dir) || true
        # -k ends every process of the prefix, then the server itself.
        WINEPREFIX="$DIR/prefix" "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    fi
    end_pid "$pid" "$WINESERVER"
    # The server leaves its (then empty) folders in TMPDIR behind.
    if [[ -n $server && -d $server ]]; then
        rm -f "$server/lock"
        rmdir "$server" "$(dirname "$server")" 2>/dev/null || true
    fi
    end_pid "$(read_pid pulseaudio)" pulseaudio
    end_pid "$(read_pid xvfb)" Xvfb
    sweep
    rm -f "$DIR/pids/wineserver" "$DIR/pids/pulseaudio" "$DIR/pids/xvfb"
}

cmd_status() {
    local name pid state=0
    for name in xvfb pulseaudio wineserver; do
        pid=$(read_pid "$name")
        if alive "$pid"; then
            printf '%s %s alive\n' "$name" "$pid"
        else
            printf '%s %s\n' "$name" "${pid:--} not running"
            state=1
        fi
    done
    return $state
}

resolve_dir() {
    mkdir -p "$1"
    DIR=$(cd "$1" && pwd)
}

main() {
    local cmd=${1:-}
    shift || true
    case $cmd in
        start | stop | status)
            resolve_dir "${1:-build/e2e}"
            LOCALE=${2:-zh_CN}
            "cmd_$cmd"
            ;;
        exec)
            (($# >= 2)) || die "usage: $0 exec DIR CMD..."
            resolve_dir "$1"
            shift
            [[ -f $DIR/session.env ]] || die "no session in $DIR (run start first)"
            # shellcheck disable=SC1091
            source "$DIR/session.env" 2>/dev/null
            exec "$@"
            ;;
        *)
            printf 'usage: %s start|stop|status [DIR] | exec DIR CMD...\n' "$0" >&2
            exit 2
            ;;
    esac
}

main "$@"
