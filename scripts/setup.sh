# Shared set-up of test.sh and run.sh: install what is missing, configure and
# build incrementally. Sourced, not run.

OV_PACKAGES=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-qpa-plugins libqt6printsupport6 fonts-dejavu-core
  poppler-utils xvfb xdotool x11-apps imagemagick
  locales-all libx11-dev
)

ov_install_missing() {
  local missing=()
  local p
  for p in "${OV_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}" >&2
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# ov_build DIR [cmake options...]: configure once, then build incrementally.
ov_build() {
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  fi
  cmake --build "$dir" -j "$(nproc)"
}
