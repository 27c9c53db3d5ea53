#!/usr/bin/env bash
# A private CUPS daemon with one virtual PDF printer, for tests that print for real.
#
#   private-cups.sh start ROOT   starts cupsd under ROOT (a fresh folder) with the queue
#                                "brindlemark-pdf" (cups-pdf) and prints, one per line:
#                                CUPS_SERVER=<address> PID=<cupsd pid> OUT=<folder of the PDFs> QUEUE=<name>
#   private-cups.sh queue ROOT   adds the queue again (after a test removed it).
#   private-cups.sh queue ROOT NAME PAGESIZE
#                                adds another queue NAME on the same virtual printer, holding
#                                PAGESIZE (A4, Letter...) and offering two paper sources,
#                                "Tray 1" (tray-1, the default) and "Manual Feed" (manual).
#   private-cups.sh driver ROOT NAME
#                                adds a queue NAME with a printer driver (a PPD whose trays are
#                                "Bypass Tray", "Tray 1"... and that takes no custom size) writing
#                                what the printer would receive, its PJL header first, to OUT/NAME.prn.
#   private-cups.sh stop ROOT    stops that daemon by its process id and removes its cups-pdf settings.
#
# BM_CUPS_OWNER names the process the daemon serves (default: the caller). A daemon whose owner
# has gone (a test killed by a time limit) is stopped, with its settings and folder, by the next start.
#
# Needs root (cupsd, and cups-pdf reads its settings only from /etc/cups) and the packages
# cups and printer-driver-cups-pdf. Every client must use CUPS_SERVER=<address>. Exits 3 with a
# reason on stderr when the daemon cannot be started here.
set -euo pipefail

QUEUE=brindlemark-pdf

die() { echo "private-cups: $*" >&2; exit 3; }

[ $# -ge 2 ] && [ $# -le 4 ] || { echo "usage: $0 start|queue|driver|stop ROOT [NAME [PAGESIZE]]" >&2; exit 2; }
cmd=$1
root=$(realpath -m "$2")
# cups-pdf settings live in /etc/cups for every daemon: the suffix keeps each daemon's apart.
suffix="brindlemark-$(printf %s "$root" | md5sum | cut -c1-12)"
pdfconf="/etc/cups/cups-pdf-${suffix}.conf"
sock="$root/state/cups.sock"

# Whether the process holding pid $1 is the cupsd started on the root $2 (a pid may be reused).
is_our_cupsd() {
    tr '\0' ' ' < "/proc/$1/cmdline" 2>/dev/null | grep -qF -- "-c $2/etc/cupsd.conf"
}

stop_daemon() {  # [root]
    local at=${1:-$root} pid
    if [ -f "$at/cupsd.pid" ]; then
        pid=$(cat "$at/cupsd.pid")
        if is_our_cupsd "$pid" "$at"; then
            kill -TERM "$pid" 2>/dev/null || true
            for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
            kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null || true
        fi
        rm -f "$at/cupsd.pid"
    fi
}

# "pid start-time" of a process: the start time tells a reused pid apart.
process_stamp() {
    [ -r "/proc/$1/stat" ] || return 1
    echo "$1 $(sed 's/^.*) //' "/proc/$1/stat" | cut -d' ' -f20)"
}

# Daemons of earlier runs whose owner is gone: stopped, their cups-pdf settings and folders removed.
# One without an owner record is left alone while its folder exists (it may be starting now).
sweep_stale() {
    local conf other owner
    for conf in /etc/cups/cups-pdf-brindlemark-*.conf; do
        [ -f "$conf" ] || continue
        other=$(sed -n 's|^Out \(.*\)/out$|\1|p' "$conf" | head -1)
        [ "$other" = "$root" ] && continue
        if [ -n "$other" ] && [ -f "$other/owner" ]; then
            owner=$(cat "$other/owner")
            [ "$(process_stamp "${owner%% *}" 2>/dev/null)" = "$owner" ] && continue
            stop_daemon "$other"
            rm -f "$conf"
            rm -rf "$other"
        elif [ -z "$other" ] || [ ! -d "$other" ]; then
            rm -f "$conf"
        fi
    done
}

stop() {
    stop_daemon
    rm -f "$pdfconf"
}

add_queue() {
    lpadmin -p "$QUEUE" -E -v "cups-pdf:/$suffix" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -o PageSize=A4 2>/dev/null &&
        lpadmin -d "$QUEUE"
}

# Starts cupsd on $port; 1 when the port was taken (the daemon is stopped again).
launch() {
    cat > "$root/etc/cupsd.conf" <<CONF
Listen $sock
Listen 127.0.0.1:$port
Browsing No
WebInterface No
PreserveJobHistory Yes
LogLevel warn
<Location />
Order allow,deny
Allow 127.0.0.1
Allow @LOCAL
</Location>
<Policy default>
<Limit All>
Order deny,allow
</Limit>
</Policy>
CONF
    : > "$root/log/error_log"
    cupsd -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" >"$root/log/cupsd.out" 2>&1 &
    pid=$!
    echo "$pid" > "$root/cupsd.pid"
    # Asked through its own socket: on the port another daemon could answer.
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || { stop; die "cupsd ended at start: $(tail -3 "$root/log/cupsd.out" "$root/log/error_log" 2>/dev/null | tr '\n' ' ')"; }
        CUPS_SERVER="$sock" lpstat -r 2>/dev/null | grep -q "is running" && break
        sleep 0.1
    done
    CUPS_SERVER="$sock" lpstat -r 2>/dev/null | grep -q "is running" || { stop; die "cupsd did not answer within 10 s"; }
    if grep -q "Unable to bind" "$root/log/error_log"; then
        stop_daemon
        return 1
    fi
}

start() {
    [ "$(id -u)" = 0 ] || die "needs root (cupsd and the cups-pdf settings in /etc/cups)"
    command -v cupsd >/dev/null 2>&1 || PATH="$PATH:/usr/sbin:/sbin"
    command -v cupsd >/dev/null 2>&1 || die "cupsd is not installed (package cups)"
    command -v lpadmin >/dev/null 2>&1 || die "lpadmin is not installed (package cups-client)"
    [ -x /usr/lib/cups/backend/cups-pdf ] || die "the cups-pdf backend is not installed (package printer-driver-cups-pdf)"
    [ -d /etc/cups ] || die "/etc/cups does not exist"

    mkdir -p "$root"/{etc,state,spool,tmp,cache,log,out,pdfspool}
    process_stamp "${BM_CUPS_OWNER:-$PPID}" > "$root/owner" || die "the owner process ${BM_CUPS_OWNER:-$PPID} is not running"
    sweep_stale
    chmod 755 "$root" "$root/out"
    chmod 1777 "$root/tmp" "$root/pdfspool"
    cat > "$root/etc/cups-files.conf" <<CONF
ServerRoot $root/etc
RequestRoot $root/spool
TempDir $root/tmp
CacheDir $root/cache
StateDir $root/state
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
Printcap $root/state/printcap
FileDevice Yes
SystemGroup root
CONF
    cat > "$pdfconf" <<CONF
Out $root/out
Spool $root/pdfspool
Log $root/log
AnonDirName $root/out
CONF
    # Clients ask the printer's own URI (ipp://localhost:PORT/...) for its paper sizes, so
    # besides the socket the daemon listens on a loopback port of its own; a port another
    # program holds is given up for the next random one.
    for attempt in 1 2 3 4 5; do
        port=$(( 20000 + (RANDOM * 32768 + RANDOM) % 40000 ))
        launch && break
        [ "$attempt" = 5 ] && die "no free loopback port found for cupsd"
    done
    export CUPS_SERVER="127.0.0.1:$port"
    add_queue || { stop; die "could not add the cups-pdf queue"; }
    echo "CUPS_SERVER=127.0.0.1:$port"
    echo "PID=$pid"
    echo "OUT=$root/out"
    echo "QUEUE=$QUEUE"
}

# The cups-pdf driver with an input slot choice added, as a printer with a tray and a manual slot has.
add_tray_queue() {  # name pagesize
    awk '{ print } /^\*CloseUI: \*PageSize/ {
        print "*OpenUI *InputSlot/Media Source: PickOne"
        print "*OrderDependency: 20 AnySetup *InputSlot"
        print "*DefaultInputSlot: Tray1"
        print "*InputSlot Tray1/Tray 1: \"\""
        print "*InputSlot Manual/Manual Feed: \"\""
        print "*CloseUI: *InputSlot" }' /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd > "$root/etc/trays.ppd"
    lpadmin -p "$1" -E -v "cups-pdf:/$suffix" -P "$root/etc/trays.ppd" -o "PageSize=$2" 2>/dev/null
}

# A driver-based printer as a file: its PPD's trays are PJL commands the output shows.
add_driver_queue() {  # name
    local file="$root/out/$1.prn"
    : > "$file"
    chmod 666 "$file"
    lpadmin -p "$1" -E -v "file://$file" -m lsb/usr/cupsfilters/Ricoh-PDF_Printer-PDF.ppd -o PageSize=A4 \
        -D "Office laser, second floor" 2>/dev/null
}

case "$cmd" in
start) start ;;
stop) stop ;;
queue)
    port=$(grep -o '127.0.0.1:[0-9]*' "$root/etc/cupsd.conf" | cut -d: -f2)
    if [ $# -eq 4 ]; then
        CUPS_SERVER="127.0.0.1:$port" add_tray_queue "$3" "$4" || die "could not add the queue $3"
    elif [ $# -eq 2 ]; then
        CUPS_SERVER="127.0.0.1:$port" add_queue || die "could not add the cups-pdf queue"
    else
        echo "usage: $0 queue ROOT [NAME PAGESIZE]" >&2; exit 2
    fi
    ;;
driver)
    [ $# -eq 3 ] || { echo "usage: $0 driver ROOT NAME" >&2; exit 2; }
    port=$(grep -o '127.0.0.1:[0-9]*' "$root/etc/cupsd.conf" | cut -d: -f2)
    CUPS_SERVER="127.0.0.1:$port" add_driver_queue "$3" || die "could not add the driver queue $3"
    ;;
*) echo "usage: $0 start|queue|driver|stop ROOT" >&2; exit 2 ;;
esac
