# Whether this machine runs 32-bit Linux programs, Wine's 32-bit loader among
# them, by its kernel: a kernel without IA-32 emulation (built without it, or
# booted with ia32_emulation=0) does not, and then runs no 32-bit Windows
# program either. One that runs them only through qemu (below) does not count:
# the suite never goes through the emulator.
i386_entry=/proc/sys/fs/binfmt_misc/qemu-i386
runs_32bit() {
    ! grep -qx enabled "$i386_entry" 2>/dev/null && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# On such a machine a 64-bit build of the same sources runs under Wine's
# 64-bit part instead, through this folder's wine.
use_wine64() { PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64:$PATH"; export PATH; }

# There, qemu's user-mode emulator runs 32-bit programs once binfmt_misc hands
# it every 32-bit x86 program (the kernel asks binfmt_misc before its own
# loader): for as long as one journey needs it, so that every other program
# of the tests runs at full speed. Root, and a kernel that lets binfmt_misc be
# mounted; the entry is left as it was found.
emulate_32bit() {   # emulate_32bit on|off
    if [ "$1" = off ]; then
        [ -z "${i386_registered:-}" ] || echo -1 >"$i386_entry"
        i386_registered=""
        return 0
    fi
    [ -x /usr/bin/qemu-i386-static ] || return 1
    [ -e /proc/sys/fs/binfmt_misc/register ] ||
        mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || return 1
    if [ ! -e "$i386_entry" ]; then
        # The magic and mask of an i386 ELF executable; F: qemu opened now, so
        # that it serves in any mount namespace.
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
            >/proc/sys/fs/binfmt_misc/register 2>/dev/null || return 1
        i386_registered=yes
    fi
    grep -qx enabled "$i386_entry" && /usr/lib/wine/wine --version >/dev/null 2>&1
}
