# Whether this machine runs 32-bit Linux programs, Wine's 32-bit loader among
# them: a kernel without IA-32 emulation (built without it, or booted with
# ia32_emulation=0) does not, and then runs no 32-bit Windows program either.
runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# On such a machine a 64-bit build of the same sources runs under Wine's
# 64-bit part instead, through this folder's wine.
use_wine64() { PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64:$PATH"; export PATH; }
