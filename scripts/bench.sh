#!/usr/bin/env bash
# Builds the benchmark and runs it under Wine on a private display and prefix. The folders
# of 1,000, 10,000 and 100,000 files are made once in the prefix and reused by later runs.
# Usage: scripts/bench.sh [files] [runs] [main|explorer|catalog|collection|main-memory]
#   files:  one size only, e.g. 100000; 1000000 is made (once, about a minute) only when asked
#   runs:   how many times each operation and its floor run (5 when not given)
#   window: only that window's operations (all when not given); catalog: only the catalogue
#           of a tree of the same number of files in a tenth as many folders, and its page in
#           headless Chromium; collection: a volume of that tree added to a collection of
#           nine such volumes (made once), and the collection's page; main-memory: only the main window's memory of each operation,
#           a quick look at a million files
# The main window's operations run first, then the explorer window's and the catalogue's,
# each in a process of its own.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

build_all tombarel_bench
prepare_wine "$BUILD/bench-env"
trap stop_all EXIT
# The folders are made from the Unix side: creating 100,000 files one by one through Wine
# slows down as the folder grows (every create searches the folder for a case-folded match).
root="$WINEPREFIX/drive_c/tombarel-bench"
sizes="1000 10000 100000"
[ -n "${1:-}" ] && sizes=$1
# The folder the lists switch to between two listings of the same folder.
mkdir -p "$root/empty/files"
touch "$root/empty/files.ready"
# Each folder has a parent of its own, so opening one never looks into the others.
for n in $sizes; do
  [ -e "$root/$n/files.ready" ] && continue
  rm -rf "$root/$n"
  mkdir -p "$root/$n/files"
  perl -e '
    use utf8; binmode STDOUT;
    my ($dir, $n) = @ARGV;
    my @stems = ("Relat\x{f3}rio", "foto", "Nota fiscal", "backup", "m\x{fa}sica", "Setup", "planilha", "log");
    my @exts = (".txt", ".jpg", ".pdf", ".zip", ".mp3", ".exe", ".xls", ".log");
    for my $i (0 .. $n - 1) {
      my $name = $stems[$i % 8] . " " . (($i * 7919) % 1000003) . $exts[int($i / 8) % 8];
      utf8::encode($name);
      open(my $f, ">", "$dir/$name") or die "$dir/$name: $!";
      truncate($f, $i % 5000);
      close($f);
    }' "$root/$n/files" "$n"
  touch "$root/$n/files.ready"
done
# The same numbers of files spread over a folder tree, a hundred files a folder, for the tree
# size walk: ten groups holding the folders (up to 100,000 files).
for n in $sizes; do
  [ "$n" -gt 100000 ] && continue
  [ -e "$root/tree$n/files.ready" ] && continue
  rm -rf "$root/tree$n"
  mkdir -p "$root/tree$n/files"
  perl -e '
    my ($dir, $n) = @ARGV;
    for my $d (0 .. $n / 100 - 1) {
      my $sub = sprintf("%s/group %d/folder %04d", $dir, $d % 10, $d);
      system("mkdir", "-p", $sub) == 0 or die "$sub";
      for my $i (0 .. 99) {
        open(my $f, ">", "$sub/file $i.dat") or die "$sub/file $i: $!";
        truncate($f, ($d * 100 + $i) % 5000);
        close($f);
      }
    }' "$root/tree$n/files" "$n"
  touch "$root/tree$n/files.ready"
done
# The catalogue's tree: the same number of files, ten to a folder, in a tree where every
# folder holds ten more (five levels deep at a million files).
for n in $sizes; do
  [ -e "$root/catalog$n/files.ready" ] && continue
  rm -rf "$root/catalog$n"
  mkdir -p "$root/catalog$n/files"
  perl -e '
    use utf8; binmode STDOUT;
    my ($dir, $n) = @ARGV;
    my @stems = ("Relat\x{f3}rio", "foto", "Nota fiscal", "backup", "m\x{fa}sica", "Setup", "planilha", "log", "\x{e1}lbum", "Contrato");
    my @exts = (".txt", ".jpg", ".pdf", ".zip", ".mp3", ".exe", ".xls", ".log", ".png", ".docx");
    my @paths = ($dir);
    for my $d (0 .. $n / 10 - 1) {
      if ($d > 0) {
        my $name = "pasta " . $d . ($d % 7 == 0 ? " cole\x{e7}\x{e3}o" : "");
        utf8::encode($name);
        $paths[$d] = $paths[int(($d - 1) / 10)] . "/" . $name;
        mkdir($paths[$d]) or die "$paths[$d]: $!";
      }
      for my $i (0 .. 9) {
        my $k = $d * 10 + $i;
        my $name = $stems[$k % 10] . " " . (($k * 7919) % 1000003) . $exts[int($k / 10) % 10];
        utf8::encode($name);
        open(my $f, ">", "$paths[$d]/$name") or die "$paths[$d]/$name: $!";
        truncate($f, $k % 100000);
        close($f);
      }
    }' "$root/catalog$n/files" "$n"
  touch "$root/catalog$n/files.ready"
done
start_xvfb
start_wineserver
size=${1:-all}
runs=${2:-5}
window=${3:-both}
echo "$(date '+%F %T'), load average $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
if [ "$window" = catalog ] || [ "$window" = collection ]; then
  :
elif [ "$window" = main-memory ]; then
  wine "$BUILD/bench/tombarel_bench.exe" 'C:\tombarel-bench' "$size" main-memory "$runs"
elif [ "$window" != explorer ]; then
  wine "$BUILD/bench/tombarel_bench.exe" 'C:\tombarel-bench' "$size" main "$runs"
fi
# The explorer window in a process of its own, so its peak memory is its own.
if [ "$window" = both ] || [ "$window" = explorer ]; then
  [ "$window" = explorer ] || echo
  wine "$BUILD/bench/tombarel_bench.exe" 'C:\tombarel-bench' "$size" explorer "$runs"
fi
# The catalogue in a process of its own too, then its page in the browser.
if [ "$window" = both ] || [ "$window" = catalog ]; then
  echo
  wine "$BUILD/bench/tombarel_bench.exe" 'C:\tombarel-bench' "$size" catalog "$runs"
  for n in $sizes; do
    for page in Catalogo Catalogo-comparado; do
      /usr/bin/python3 "$TOP/bench/catalog_page.py" "$root/catalog$n/$page.htm" "$runs"
    done
  done
fi
# A volume added to a collection of nine, then the collection's page in the browser.
if [ "$window" = collection ]; then
  echo
  wine "$BUILD/bench/tombarel_bench.exe" 'C:\tombarel-bench' "$size" collection "$runs"
  for n in $sizes; do
    /usr/bin/python3 "$TOP/bench/catalog_page.py" "$root/catalog$n/Colecao.htm" "$runs"
  done
fi
echo "load average at the end $(cut -d' ' -f1-3 /proc/loadavg)"
