#!/usr/bin/env bash
# A private CUPS daemon with one virtual PDF printer, for tests that print for real.
#
#   private-cups.sh start ROOT   starts cupsd under ROOT (a fresh folder) with the queue
#                                "brindlemark-pdf" (cups-pdf) and prints, one per line:
#                                CUPS_SERVER=<address> PID=<cupsd pid> OUT=<folder of the PDFs> QUEUE=<name>
#   private-cups.sh queue ROOT   adds the queue again (after a test removed it).
#   private-cups.sh stop ROOT    stops that daemon by its process id and removes its cups-pdf settings.
#
# Needs root (cupsd, and cups-pdf reads its settings only from /etc/cups) and the packages
# cups and printer-driver-cups-pdf. Every client must use CUPS_SERVER=<address>. Exits 3 with a
# reason on stderr when the daemon cannot be started here.
set -euo pipefail

QUEUE=brindlemark-pdf

die() { echo "private-cups: $*" >&2; exit 3; }

[ $# -eq 2 ] || { echo "usage: $0 start|queue|stop ROOT" >&2; exit 2; }
cmd=$1
root=$(realpath -m "$2")
suffix="brindlemark-$(basename "$root")"
pdfconf="/etc/cups/cups-pdf-${suffix}.conf"
sock="$root/state/cups.sock"

stop() {
    if [ -f "$root/cupsd.pid" ]; then
        pid=$(cat "$root/cupsd.pid")
        if kill -0 "$pid" 2>/dev/null; then
            kill -TERM "$pid" 2>/dev/null || true
            for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
            kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null || true
        fi
        rm -f "$root/cupsd.pid"
    fi
    rm -f "$pdfconf"
}

add_queue() {
    lpadmin -p "$QUEUE" -E -v "cups-pdf:/$suffix" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -o PageSize=A4 2>/dev/null &&
        lpadmin -d "$QUEUE"
}

start() {
    [ "$(id -u)" = 0 ] || die "needs root (cupsd and the cups-pdf settings in /etc/cups)"
    command -v cupsd >/dev/null 2>&1 || PATH="$PATH:/usr/sbin:/sbin"
    command -v cupsd >/dev/null 2>&1 || die "cupsd is not installed (package cups)"
    command -v lpadmin >/dev/null 2>&1 || die "lpadmin is not installed (package cups-client)"
    [ -x /usr/lib/cups/backend/cups-pdf ] || die "the cups-pdf backend is not installed (package printer-driver-cups-pdf)"
    [ -d /etc/cups ] || die "/etc/cups does not exist"

    mkdir -p "$root"/{etc,state,spool,tmp,cache,log,out,pdfspool}
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
    # Clients ask the printer's own URI (ipp://localhost:PORT/...) for its paper sizes, so
    # besides the socket the daemon listens on a loopback port of its own.
    port=$(( 20000 + (RANDOM * 32768 + RANDOM) % 40000 ))
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
    cat > "$pdfconf" <<CONF
Out $root/out
Spool $root/pdfspool
Log $root/log
AnonDirName $root/out
CONF
    cupsd -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" >"$root/log/cupsd.out" 2>&1 &
    pid=$!
    echo "$pid" > "$root/cupsd.pid"
    export CUPS_SERVER="127.0.0.1:$port"
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || { stop; die "cupsd ended at start: $(tail -3 "$root/log/cupsd.out" "$root/log/error_log" 2>/dev/null | tr '\n' ' ')"; }
        lpstat -r 2>/dev/null | grep -q "is running" && break
        grep -q "Unable to bind" "$root/log/error_log" 2>/dev/null && { stop; die "port $port is taken; try again"; }
        sleep 0.1
    done
    lpstat -r 2>/dev/null | grep -q "is running" || { stop; die "cupsd did not answer within 10 s"; }
    add_queue || { stop; die "could not add the cups-pdf queue"; }
    echo "CUPS_SERVER=127.0.0.1:$port"
    echo "PID=$pid"
    echo "OUT=$root/out"
    echo "QUEUE=$QUEUE"
}

case "$cmd" in
start) start ;;
stop) stop ;;
queue)
    port=$(grep -o '127.0.0.1:[0-9]*' "$root/etc/cupsd.conf" | cut -d: -f2)
    CUPS_SERVER="127.0.0.1:$port" add_queue || die "could not add the cups-pdf queue"
    ;;
*) echo "usage: $0 start|queue|stop ROOT" >&2; exit 2 ;;
esac
