# Shared by the run, test and screenshot scripts: building, a private Wine prefix, a private
# Xvfb and a private wineserver, all stopped by pid when the script ends.
# shellcheck shell=bash

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TOMBAREL_BUILD:-$TOP/build}

build_all() {
  "$TOP/scripts/setup.sh"
  if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S "$TOP" -B "$BUILD" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$TOP/cmake/mingw-i686.cmake" >/dev/null
  fi
  cmake --build "$BUILD" -- -j"$(nproc)" "$@"
}

# A ready 32-bit prefix is made once as a template (wineboot takes seconds), then copied.
# HOME and the XDG folders live beside it: the prefix's Documents link to HOME and the
# recycle bin is XDG_DATA_HOME/Trash, so nothing touches the user's own.
prepare_wine() { # $1 = environment folder, $2 = "fresh" to start from a clean copy
  local env=$1
  # Wine's menu builder is left out: Wine starts it for every shortcut saved on the desktop,
  # to add a Linux menu entry, and it runs on in the folder that was current then, so that
  # folder cannot be removed while it lives.
  export WINEARCH=win32 WINEDEBUG=${TOMBAREL_WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export HOME=$env/home XDG_DATA_HOME=$env/home/.local/share
  export XDG_CONFIG_HOME=$env/home/.config XDG_CACHE_HOME=$env/home/.cache
  local template=$BUILD/wine-template
  if [ ! -f "$template/system.reg" ]; then
    rm -rf "$template" "$template.home"
    mkdir -p "$template.home"
    HOME=$template.home WINEPREFIX=$template wineboot -i >/dev/null 2>&1
    # Without a window manager every hide of a managed top-level window waits 2 s.
    HOME=$template.home WINEPREFIX=$template wine reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    HOME=$template.home WINEPREFIX=$template wineserver -w
    # Wine registers its own fonts ("MS Sans Serif", Tahoma, Marlett for the caption
    # buttons) by name in the prefix's Fonts folder, where Debian's Wine does not put them.
    cp /usr/share/wine/fonts/* "$template/drive_c/windows/Fonts/"
  fi
  if [ "${2:-}" = fresh ] || [ ! -f "$env/prefix/system.reg" ]; then
    rm -rf "$env"
    mkdir -p "$env/home/.local/share" "$env/home/.config" "$env/home/.cache"
    cp -a "$template" "$env/prefix"
  fi
  # Wine links the profile's Desktop, Documents and the like to $HOME: in a copy of the
  # template they would all lead to the template's home, and what one run leaves on its
  # Desktop would be seen by every other. Each prefix's links lead to its own home.
  local link
  for link in "$env/prefix/drive_c/users"/*/*; do
    if [ -L "$link" ] && [ "$(readlink "$link")" = "$template.home" ]; then
      ln -sfn "$env/home" "$link"
    fi
  done
  export WINEPREFIX=$env/prefix
}

# Root's part of the tests run as another user; through sudo when the scripts are not root.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The ordinary user's own prefix and HOME (made by setup.sh; see tests/e2e/unprivileged.sh),
# a fresh copy of the template owned by that user. It lives in the build tree unless that
# user cannot reach the build tree (a clone in root's home): then in a folder of /tmp.
prepare_user_wine() { # $1 = environment folder
  local env=$1
  as_root rm -rf "$env"
  if ! as_root runuser -u tombarel-user -- test -x "$(dirname "$env")"; then
    env=$(mktemp -d /tmp/tombarel-user-env.XXXXXX)
    chmod 755 "$env"
  fi
  mkdir -p "$env/home/.local/share" "$env/home/.config" "$env/home/.cache"
  cp -a "$BUILD/wine-template" "$env/prefix"
  # Debian's Wine records the template owner's server folder here; the user makes its own.
  rm -f "$env/prefix/wineserver"
  # The template's profile, as real folders: the shell needs the user's Desktop to exist.
  local profile
  for profile in "$env/prefix/drive_c/users"/*/; do
    case "$(basename "$profile")" in
      Public | tombarel-user) ;;
      *) cp -rL "$profile." "$env/prefix/drive_c/users/tombarel-user/" ;;
    esac
  done
  mkdir -p "$env/tmp"
  as_root chown -R tombarel-user: "$env"
  export TOMBAREL_TEST_USER=tombarel-user TOMBAREL_USER_ENV=$env
}

# The Brazilian test locale; the machine itself may carry only C and POSIX.
prepare_locales() {
  local dir=$BUILD/locales
  if [ ! -d "$dir/pt_BR.UTF-8" ]; then
    mkdir -p "$dir"
    localedef -i pt_BR -f UTF-8 "$dir/pt_BR.UTF-8" >/dev/null 2>&1 ||
      [ -d "$dir/pt_BR.UTF-8" ] || { echo "test: cannot build the pt_BR locale" >&2; return 1; }
  fi
  export LOCPATH=$dir
}

# The run's own temporary folder, TMPDIR for everything the tests start: Wine's server folder
# and its socket, the browsers' profiles, sockets and temporary files. A short path in /tmp
# whatever the clone's (a Unix socket's path may not pass 108 characters), removed by stop_all.
# The ordinary user's browsers get a folder of their own inside it.
RUN_TMP=""
make_run_tmp() {
  RUN_TMP=$(mktemp -d /tmp/tmb-XXXXXX)
  chmod 711 "$RUN_TMP"
  if id -u tombarel-user >/dev/null 2>&1; then
    mkdir -m 700 "$RUN_TMP/user"
    as_root chown tombarel-user: "$RUN_TMP/user"
  fi
  export TMPDIR=$RUN_TMP TOMBAREL_BROWSER_TMP=$RUN_TMP
}

XVFB_PID=""
WINESERVER_PID=""

start_xvfb() { # $1 = screen size, 1280x1024 unless given
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${1:-1280x1024}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local num
  read -r num <"$fifo"
  rm -f "$fifo"
  export DISPLAY=:$num
}

start_wineserver() {
  wineserver -f -p >/dev/null 2>&1 &
  WINESERVER_PID=$!
  # The first window of the prefix starts Wine's desktop process and services; started
  # here, they do not inherit a test's output pipe (CTest would wait for them to close it).
  wine rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1 </dev/null || true
}

stop_all() {
  if [ -n "$WINESERVER_PID" ]; then
    wineserver -k >/dev/null 2>&1 || true
    kill "$WINESERVER_PID" 2>/dev/null || true
    wait "$WINESERVER_PID" 2>/dev/null || true
  fi
  if [ -n "${TOMBAREL_USER_ENV:-}" ]; then
    as_root runuser -u tombarel-user -- env WINEPREFIX="$TOMBAREL_USER_ENV/prefix" \
      TMPDIR="$TOMBAREL_USER_ENV/tmp" wineserver -k \
      >/dev/null 2>&1 || true
    case "$TOMBAREL_USER_ENV" in
      /tmp/tombarel-user-env.*) as_root rm -rf "$TOMBAREL_USER_ENV" ;;
    esac
  fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  if [ -n "$RUN_TMP" ]; then
    as_root rm -rf "$RUN_TMP"
  fi
}
