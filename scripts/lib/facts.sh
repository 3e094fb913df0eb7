# The project's facts as its headers define them, for the scripts: one
# definition each, read here rather than written again. Sourced, not run.
QUORIN_ROOT=${QUORIN_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}

# A #define of res/version.h: the version and the dialog's caption.
quorin_define() { # NAME
  sed -n "s/^#define $1 \"\(.*\)\"\$/\1/p" "$QUORIN_ROOT/res/version.h"
}

# A string constant of core/sync_settings.h (the registry value names).
quorin_string_constant() { # NAME
  sed -n "s/^inline constexpr const char\* $1 = \"\(.*\)\";\$/\1/p" "$QUORIN_ROOT/core/sync_settings.h"
}

# The eight driver services, one a line, in the order of
# core/driver_parameter_store.h.
quorin_services() {
  sed -n 's/^ *QUORIN_DRIVER_SERVICE("\([A-Za-z0-9]*\)"),$/\1/p' "$QUORIN_ROOT/core/driver_parameter_store.h"
}
