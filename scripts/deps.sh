# Installs the Debian packages named in the arguments that are missing.
# Sourced by the build and test scripts; needs root when something is missing.
install_missing() {
  missing=""
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
  done
  if [ -n "$missing" ]; then
    echo "installing:$missing"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
  fi
}
