# Sourced by the AT-SPI tests. Leaves with 77 (skipped) where the
# accessibility bus (at-spi2-core) or its Python client (python3-gi,
# gir1.2-atspi-2.0) is not installed; tools/install-deps.sh installs both.
# Else makes the test's folder `work`, removed when the test ends.
if ! [ -f /usr/share/dbus-1/services/org.a11y.Bus.service ] ||
   ! /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null; then
  echo "at-spi2-core, python3-gi and gir1.2-atspi-2.0 are not all installed (tools/install-deps.sh installs them)"
  exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tavo-atspi.XXXXXX")
trap 'rm -rf "$work"' EXIT
