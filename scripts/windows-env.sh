# Shared by scripts/windows-qt and scripts/windows (sourced, not run): the packages the
# Windows cross build needs, and where the cross-built Qt lives.

qx_sudo=()
if [ "$(id -u)" -ne 0 ]; then qx_sudo=(sudo); fi

# Installs the Debian packages named as arguments that are not installed yet.
qx_install_missing() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing ${missing[*]}" >&2
  DEBIAN_FRONTEND=noninteractive "${qx_sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${qx_sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The MinGW-w64 compilers with POSIX threads, the host Qt whose tools (moc, rcc, uic) the
# cross build runs, and Wine to run what it makes.
qx_windows_packages=(
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev cmake ninja-build perl xz-utils
  qt6-base-dev qt6-base-dev-tools wine wine64 zip unzip
)

qx_mingw_cxx=x86_64-w64-mingw32-g++-posix

# Upstream version of the host Qt (6.4.2 from 6.4.2+dfsg-10).
qx_host_qt_version() {
  dpkg-query -W -f='${Version}' qt6-base-dev | sed -e 's/^[0-9]*://' -e 's/[+~-].*//'
}

# The cross-built Qt's folder, keyed by the Qt and the compiler versions so that an upgrade of
# either builds a new one beside the old.
qx_windows_qt_dir() {
  local gcc
  gcc=$("$qx_mingw_cxx" -dumpfullversion 2>/dev/null || "$qx_mingw_cxx" -dumpversion)
  echo "${XDG_CACHE_HOME:-$HOME/.cache}/qxt5200/qt-$(qx_host_qt_version)-mingw-w64-gcc-${gcc}"
}
