# Shared set-up of scripts/run and scripts/test: install what the build needs, configure, build.
# Sourced, not run.

TERRAK_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libsimpleini-dev libicu-dev libxxhash-dev libpugixml-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libgdal-dev libcli11-dev libpng-dev libtinygltf-dev
  openorienteering-mapper xvfb xdotool xclip imagemagick pngquant
)

terrak_root() { cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd; }

# Installs the Debian packages that are missing (apt-get update first), and only those.
terrak_ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# Configures and builds into the folder given; further arguments go to cmake.
terrak_build() {
  local folder="$1"
  shift
  local root
  root="$(terrak_root)"
  cmake -S "$root" -B "$root/$folder" -G Ninja "$@"
  cmake --build "$root/$folder" --parallel "$(nproc)"
}
