# A private CUPS scheduler for one test, sourced by the test scripts:
#   start_cupsd DIR        cupsd -f with its configuration, spool and logs in
#                          DIR, listening only on DIR/cups.sock; exports
#                          CUPS_SERVER
#   stop_cupsd             for the script's exit trap
#   add_queue NAME         a queue whose device is the file DIR/out/NAME
#   wait_job QUEUE ID      waits until the job is completed
# Any failure to start the scheduler ends the test as failed.

cups_dir="" cupsd_pid=""

stop_cupsd() {
  if [ -n "$cupsd_pid" ]; then kill "$cupsd_pid" 2>/dev/null; wait "$cupsd_pid" 2>/dev/null; fi
  cupsd_pid=""
}

start_cupsd() {
  cups_dir=$1
  mkdir -p "$cups_dir"/{spool,cache,state,log,tmp,out}
  # The scheduler's helpers run as lp and must reach the folders.
  chmod 755 "$cups_dir" "$cups_dir"/*
  cat >"$cups_dir/cupsd.conf" <<CONF
Listen $cups_dir/cups.sock
LogLevel warn
WebInterface No
Browsing No
DirtyCleanInterval 0
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
  cat >"$cups_dir/cups-files.conf" <<CONF
ServerRoot $cups_dir
RequestRoot $cups_dir/spool
CacheDir $cups_dir/cache
StateDir $cups_dir/state
TempDir $cups_dir/tmp
ErrorLog $cups_dir/log/error_log
AccessLog $cups_dir/log/access_log
PageLog $cups_dir/log/page_log
FileDevice Yes
CONF
  # A queue without filters never copies a job to a file: device, so the
  # queues get one filter that copies the document as it is.
  printf '#!/bin/sh\nif [ -n "$6" ]; then exec cat "$6"; else exec cat; fi\n' >"$cups_dir/copy"
  chmod 755 "$cups_dir/copy"
  sed "s|@COPY@|$cups_dir/copy|" >"$cups_dir/queue.ppd" <<'PPD'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "COPY.PPD"
*Manufacturer: "Test"
*Product: "(Copy)"
*ModelName: "Copy"
*ShortNickName: "Copy"
*NickName: "Copy"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*cupsFilter: "application/vnd.cups-raw 0 @COPY@"
*cupsFilter: "application/pdf 0 @COPY@"
*OpenUI *PageSize: PickOne
*DefaultPageSize: A4
*PageSize A4/A4: ""
*CloseUI: *PageSize
*DefaultImageableArea: A4
*ImageableArea A4: "0 0 595 842"
*DefaultPaperDimension: A4
*PaperDimension A4: "595 842"
PPD
  /usr/sbin/cupsd -f -c "$cups_dir/cupsd.conf" -s "$cups_dir/cups-files.conf" \
    >"$cups_dir/log/stdout" 2>&1 &
  cupsd_pid=$!
  export CUPS_SERVER="$cups_dir/cups.sock"
  for _ in $(seq 100); do
    lpstat -r 2>/dev/null | grep -q "is running" && return 0
    kill -0 "$cupsd_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "FAIL: the private CUPS scheduler did not start"; cat "$cups_dir"/log/* 2>/dev/null
  exit 1
}

add_queue() {
  lpadmin -p "$1" -E -v "file:$cups_dir/out/$1" -P "$cups_dir/queue.ppd" 2>/dev/null ||
    { echo "FAIL: lpadmin $1"; exit 1; }
}

wait_job() {
  for _ in $(seq 200); do
    lpstat -W completed -o "$1" 2>/dev/null | grep -q "^$1-$2 " && return 0
    sleep 0.1
  done
  echo "FAIL: job $1-$2 did not complete"; return 1
}
