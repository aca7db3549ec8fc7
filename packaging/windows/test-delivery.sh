#!/usr/bin/env bash
# Checks the Windows delivery under Wine, in a fresh prefix with no search path of its own:
#
#   packaging/windows/test-delivery.sh DIST [LINUX_BUILD]
#
# DIST holds Faldora-VERSION-windows-x64.zip and Faldora-VERSION-setup.exe, as
# scripts/windows-package writes them; LINUX_BUILD (build/ by default) has makecredential,
# which writes the password of the installation in use.
#  - the zip, unpacked into an empty folder, holds what its programs import (no DLL that
#    nothing imports) and reaches the login window; without a DLL or the platform plugin
#    it does not;
#  - the installer, silently over a folder with a user's data, and again as an update,
#    writes the program files and leaves every data file's bytes alone; the installed
#    program opens with the user's password, not with the delivered one; the uninstaller removes the program files, its
#    shortcuts and its registration and nothing else; a folder that cannot be written is
#    refused before anything is written.
# Exits non-zero, naming each failed check, when any fails.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: packaging/windows/test-delivery.sh DIST [LINUX_BUILD]" >&2
    exit 2
fi
dist=$(realpath "$1")
makecredential=$(realpath "${2:-$root/build}")/makecredential
[ -x "$makecredential" ] || { echo "test-delivery: missing $makecredential" >&2; exit 1; }
version=$(sed -n 's/^project(Faldora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
zip="$dist/Faldora-$version-windows-x64.zip"
setup="$dist/Faldora-$version-setup.exe"
for f in "$zip" "$setup"; do
    [ -f "$f" ] || { echo "test-delivery: missing $f" >&2; exit 1; }
done

packages=(wine64 xvfb x11-utils xdotool binutils-mingw-w64-x86-64)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    [ "$(id -u)" -eq 0 ] || { echo "Run as root (apt-get is needed for: ${missing[*]})" >&2; exit 1; }
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)

work=$(mktemp -d /tmp/faldora-delivery.XXXXXX)
chmod 755 "$work"
xvfb_pid=""
cleanup() {
    WINEPREFIX="$work/prefix" "$wineserver" -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work" 2>/dev/null || { chmod -R u+w "$work"; rm -rf "$work"; }
}
trap cleanup EXIT

failures=()
check() { # check DESCRIPTION COMMAND...: runs the command, records a failure
    if "${@:2}"; then
        echo "ok    $1"
    else
        echo "FAIL  $1"
        failures+=("$1")
    fi
}

# A display of our own for the windows platform plugin, and a Wine that sees nothing of
# this machine's Qt: no search path, no QT_* settings carried across.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.2; done
display=$(head -1 "$work/display")
[ -n "$display" ] || { echo "test-delivery: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"
while IFS='=' read -r name _; do
    case "$name" in QT_* | WINEQT_*) unset "$name" ;; esac
done < <(env)
export WINEPREFIX="$work/prefix" WINEPATH="" WINEDEBUG="-all,err+module"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
"$wine" wineboot --init >"$work/wineboot.log" 2>&1
"$wineserver" -w
system32="$WINEPREFIX/drive_c/windows/system32"
[ -d "$system32" ] || { echo "test-delivery: no Wine prefix" >&2; cat "$work/wineboot.log" >&2; exit 1; }

winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

viewable() { xwininfo -name "$1" 2>/dev/null | grep -q IsViewable; }

# Starts FOLDER/faldora.exe from another folder and waits up to SECONDS for the login
# window. Fails when the program ends first or the window does not come; the program is
# left running (stop_program ends it).
program_pid=""
start_program() {
    local folder=$1 log=$2 seconds=${3:-90}
    (cd "$work" && exec "$wine" "$folder/faldora.exe") >"$log" 2>&1 &
    program_pid=$!
    for _ in $(seq "$seconds"); do
        viewable " Faldora - Accesso" && return 0
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 1
    done
    echo "      no login window; Wine said:" && sed 's/^/      /' "$log" | tail -15
    return 1
}
stop_program() {
    "$wineserver" -k 2>/dev/null
    wait "$program_pid" 2>/dev/null
    "$wineserver" -w
}
reaches_login() {
    local status
    start_program "$@"
    status=$?
    stop_program
    return "$status"
}
# Once the prefix is warm the program shows its window in a few seconds; a program that
# lacks a plugin may wait on an error box instead of ending.
fails_to_start() { ! reaches_login "$1" "$2" 30 >/dev/null; }

# Types PASSWORD into the login window of FOLDER's program and tells what came of it:
# "opened" (the main menu " Faldora"), "refused" (the program's notice, "Faldora") or
# "nothing".
login_with() {
    local folder=$1 password=$2 log=$3 id outcome=nothing
    if start_program "$folder" "$log"; then
        id=$(xdotool search --onlyvisible --name '^ Faldora - Accesso$' | head -1)
        xdotool windowfocus --sync "$id" 2>/dev/null
        sleep 1
        xdotool type --delay 40 "$password"
        xdotool key Return
        for _ in $(seq 30); do
            if viewable " Faldora"; then
                outcome=opened
                break
            fi
            if viewable "Faldora"; then
                outcome=refused
                break
            fi
            sleep 1
        done
    fi
    stop_program
    echo "$outcome"
}
opens_with() {
    local outcome
    outcome=$(login_with "$@")
    [ "$outcome" = opened ] || echo "      $2: $outcome"
    [ "$outcome" = opened ]
}
refuses() {
    local outcome
    outcome=$(login_with "$@")
    [ "$outcome" = refused ] || echo "      $2: $outcome"
    [ "$outcome" = refused ]
}

# Every program and DLL of FOLDER finds what it imports in FOLDER or in Windows, and each
# DLL beside the program is imported by one of them.
imports_complete() {
    local folder=$1 ok=0 pe dll imported
    imported=$(find "$folder" -iname '*.exe' -o -iname '*.dll' | grep -v '/unins000\.dll$' |
        while read -r pe; do
            x86_64-w64-mingw32-objdump -p "$pe" | sed -n 's/^\s*DLL Name: //p'
        done | tr 'A-Z' 'a-z' | sort -u)
    for dll in $imported; do
        # API sets: names the Windows loader resolves itself, not files.
        case "$dll" in api-ms-win-* | ext-ms-win-*) continue ;; esac
        if [ -z "$(find "$folder" "$system32" -maxdepth 1 -iname "$dll" -print -quit)" ]; then
            echo "      imported but missing: $dll"
            ok=1
        fi
    done
    for pe in "$folder"/*.dll; do
        dll=$(basename "$pe" | tr 'A-Z' 'a-z')
        [ "$dll" = unins000.dll ] && continue
        if ! grep -qx "$dll" <<<"$imported"; then
            echo "      beside the program but imported by nothing: $dll"
            ok=1
        fi
    done
    return "$ok"
}

echo "== The portable folder: $(basename "$zip")"
unpacked="$work/unpacked"
mkdir "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
portable="$unpacked/Faldora"
# Before the program runs: it makes its data files in its folder.
program_files=$(cd "$portable" && find . -type f ! -name unins000.dll | sed 's|^\./||' | sort)
check "the zip holds the folder Faldora with faldora.exe and the delivered credential" \
    test -f "$portable/faldora.exe" -a -f "$portable/unins000.dll"
check "every import is in the folder or in Windows, no DLL more" imports_complete "$portable"
check "the unpacked program reaches the login window" reaches_login "$portable" "$work/zip-run.log"
for gone in Qt6Widgets.dll libstdc++-6.dll platforms/qwindows.dll; do
    broken="$work/without-${gone//\//-}"
    cp -r "$portable" "$broken"
    rm "$broken/$gone"
    check "without $gone it does not start" fails_to_start "$broken" "$work/broken.log"
    rm -rf "$broken"
done

echo "== The installer: $(basename "$setup")"
uninstaller="Disinstalla Faldora.exe"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Faldora'

# A folder in use: a register, the card index, settings, a changed password, attachments,
# the exports and the side files of a running copy.
target="$work/Programmi/Faldora"
mkdir -p "$target/Documenti_Allegati/2026"
head -c 6806 /dev/urandom >"$target/2026.prt"
head -c 3403 /dev/urandom >"$target/2025.prt"
head -c 7982 /dev/urandom >"$target/Schedario_Documenti.pro"
printf '[Protocollo]\r\nUltimoNumero=41\r\nUfficio=Segreteria\r\n' >"$target/Faldora_Pro.ini"
own_password=nuovasegreta
"$makecredential" --password "$own_password" "$target/unins000.dll"
head -c 20000 /dev/urandom >"$target/Documenti_Allegati/2026/contratto.pdf"
head -c 5000 /dev/urandom >"$target/Protocollo.xls"
head -c 5000 /dev/urandom >"$target/Schedario_Documenti.xls"
: >"$target/Faldora_Pro.ini.lock"
: >"$target/unins000.dll.lock"
head -c 3411 /dev/urandom >"$target/2026.prt.riscrittura"

# The user's files: everything in the folder but the program files. Taken again after each
# run of the program, which may change its own data; the checks are about the installer.
files_in_target() { (cd "$target" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }
ours() { printf '%s\n' "$program_files" "$uninstaller" | LC_ALL=C sort; }
remember_user_files() {
    files_in_target | LC_ALL=C comm -23 - <(ours) >"$work/user-names"
    (cd "$target" && while read -r name; do sha256sum -- "$name"; done <"$work/user-names") \
        >"$work/user-files"
}
remember_user_files
user_files_unchanged() {
    (cd "$target" && sha256sum --quiet -c "$work/user-files")
}
only_its_files_added() {
    diff <(files_in_target) <(LC_ALL=C sort -u "$work/user-names" <(ours)) | sed -n 's/^< /      added: /p' |
        grep . && return 1
    return 0
}
program_files_installed() {
    local name ok=0
    while read -r name; do
        cmp -s "$portable/$name" "$target/$name" || { echo "      not as delivered: $name"; ok=1; }
    done <<<"$program_files"
    return "$ok"
}
program_files_gone() {
    local name ok=0
    while read -r name; do
        [ ! -e "$target/$name" ] || { echo "      left behind: $name"; ok=1; }
    done <<<"$program_files"
    for name in $(dirname $program_files | sort -u | grep -vx '\.') "$uninstaller"; do
        [ ! -e "$target/$name" ] || { echo "      left behind: $name"; ok=1; }
    done
    return "$ok"
}
no_uninstaller_named_unins000() {
    [ -z "$(find "$target" -maxdepth 1 -iname 'unins000.*' ! -name unins000.dll ! -name unins000.dll.lock)" ]
}
registered() {
    local out
    out=$("$wine" reg query "$key" 2>/dev/null | tr -d '\r')
    grep -q "DisplayName.*REG_SZ.*Faldora$" <<<"$out" &&
        grep -q "DisplayVersion.*REG_SZ.*$version$" <<<"$out" &&
        grep -qF "UninstallString    REG_SZ    \"$(winpath "$target")\\$uninstaller\"" <<<"$out" &&
        grep -qF "InstallLocation    REG_SZ    $(winpath "$target")" <<<"$out" &&
        grep -q "NoModify.*0x1" <<<"$out" && grep -q "NoRepair.*0x1" <<<"$out" &&
        grep -q "Publisher" <<<"$out"
}
not_registered() { ! "$wine" reg query "$key" >/dev/null 2>&1; }
user_dir=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -1)
start_menu="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Faldora.lnk"
desktop="$user_dir/Desktop/Faldora.lnk"
shortcuts() { [ -f "$start_menu" ] && [ -f "$desktop" ]; }
no_shortcuts() { [ ! -e "$start_menu" ] && [ ! -e "$desktop" ]; }
install() { "$wine" "$setup" /S "/D=$(winpath "$1")" >>"$work/setup.log" 2>&1; }

check "silent install over a folder in use" install "$target"
check "the program files are installed as delivered" program_files_installed
check "the user's files are unchanged by the install" user_files_unchanged
check "nothing but the program files is added" only_its_files_added
check "no uninstaller named unins000.*" no_uninstaller_named_unins000
check "registered for the user with its folder and uninstaller" registered
check "shortcuts in the Start menu and on the desktop" shortcuts
check "the installed program opens with the user's own password" \
    opens_with "$target" "$own_password" "$work/installed-run.log"

# A running program holds its files: the update and the uninstaller stop before they change
# anything (the uninstaller in place, _?=, to get its exit code).
all_files() { (cd "$target" && find . -type f -exec sha256sum {} + | LC_ALL=C sort -k2); }
refused_while_running() {
    local before status
    start_program "$target" "$work/running.log" || { stop_program; return 1; }
    before=$(all_files)
    "$@" >>"$work/setup.log" 2>&1
    status=$?
    stop_program
    [ "$status" -eq 2 ] || echo "      ended with $status, not 2"
    [ "$status" -eq 2 ] && [ "$(all_files)" = "$before" ]
}
check "while the program runs, an update changes nothing" refused_while_running install "$target"
check "while the program runs, the uninstaller removes nothing" \
    refused_while_running "$wine" "$target/$uninstaller" /S "_?=$(winpath "$target")"
check "and the program stays registered" registered
remember_user_files

# An update replaces the program files, even a damaged one, and nothing else.
head -c 100 /dev/urandom >"$target/Qt6Gui.dll"
rm "$target/platforms/qwindows.dll"
check "silent update" install "$target"
check "the update restores the program files" program_files_installed
check "the user's files are unchanged by the update" user_files_unchanged
check "the updated program refuses the delivered password" \
    refuses "$target" lucernavolpina "$work/updated-run.log"
check "and opens with the user's own" opens_with "$target" "$own_password" "$work/updated-run.log"
remember_user_files

"$wine" "$target/$uninstaller" /S >>"$work/setup.log" 2>&1
# The uninstaller runs on from a copy of itself: wait for it.
"$wineserver" -w
check "the uninstaller removes the program files and itself" program_files_gone
check "the user's files are unchanged by the uninstall" user_files_unchanged
check "the registration is removed" not_registered
check "the shortcuts are removed" no_shortcuts

# A first install with no folder given: the user's own programs folder, the delivered
# credential.
default_folder="$user_dir/AppData/Local/Programs/Faldora"
check "silent install into the default folder" "$wine" "$setup" /S
check "the default folder gets the program and the delivered credential" \
    cmp -s "$portable/unins000.dll" "$default_folder/unins000.dll"
"$wine" "$default_folder/$uninstaller" /S >/dev/null 2>&1
"$wineserver" -w
check "uninstalled, only the credential is left" \
    test "$(ls -A "$default_folder")" = unins000.dll

# A folder the user cannot write is refused before anything is written, even when it holds
# an earlier program whose files could be overwritten: the program could not make its own
# files there. Root writes anywhere, so root runs this installer as nobody, in a prefix of
# nobody's.
readonly_folder="$work/ro/Faldora"
mkdir -p "$readonly_folder"
printf '[Accesso]\r\nValore=0A1B2C3D4E5F\r\n' >"$readonly_folder/unins000.dll"
head -c 1000 /dev/urandom >"$readonly_folder/faldora.exe"
chmod 666 "$readonly_folder/faldora.exe"
cp "$setup" "$work/ro/setup.exe"
chmod 755 "$work/ro"
chmod 555 "$readonly_folder"
listing_before=$(ls -lA --time-style=+ "$readonly_folder"; cd "$readonly_folder" && sha256sum -- *)
refused() {
    local status
    if [ "$(id -u)" -eq 0 ]; then
        mkdir -p "$work/nobody"
        chown nobody "$work/nobody"
        runuser -u nobody -- env -u DISPLAY HOME="$work/nobody" WINEPREFIX="$work/nobody/prefix" \
            "$wine" "$work/ro/setup.exe" /S "/D=$(winpath "$readonly_folder")" >>"$work/setup.log" 2>&1
        status=$?
        runuser -u nobody -- env WINEPREFIX="$work/nobody/prefix" "$wineserver" -k 2>/dev/null
    else
        "$wine" "$work/ro/setup.exe" /S "/D=$(winpath "$readonly_folder")" >>"$work/setup.log" 2>&1
        status=$?
    fi
    # 2: ended by the installer's own check, not by Wine or a crash.
    [ "$status" -eq 2 ] || echo "      the installer ended with $status, not 2"
    [ "$status" -eq 2 ] && [ "$(ls -lA --time-style=+ "$readonly_folder"; cd "$readonly_folder" && sha256sum -- *)" = "$listing_before" ]
}
check "a folder that cannot be written is refused, nothing written" refused

echo
if [ ${#failures[@]} -gt 0 ]; then
    echo "test-delivery: FAILED:"
    printf '  %s\n' "${failures[@]}"
    echo "installer output:" && sed 's/^/  /' "$work/setup.log" | tail -20
    exit 1
fi
echo "test-delivery: the zip and the installer passed every check"
