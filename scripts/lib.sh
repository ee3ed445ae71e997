# Shared by the scripts: say what is done, and install missing Debian packages when root.

step() { printf '\n==> %s\n' "$*"; }

# ensure_packages PACKAGE...: installs, with apt-get, those of the packages that are missing.
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages: ${missing[*]}; install them (as root: apt-get install ${missing[*]})." >&2
    return 1
  fi
  step "Installing missing Debian packages: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y --no-install-recommends "${missing[@]}" ||
    { apt-get update && apt-get install -y --no-install-recommends "${missing[@]}"; }
}

# Build with the preset's configuration, configuring first when needed.
build_preset() {
  local preset=$1
  shift
  step "Configuring and building ($preset)"
  cmake --preset "$preset" "$@" > /dev/null
  cmake --build --preset "$preset"
}
