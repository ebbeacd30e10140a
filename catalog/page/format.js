// Numbers, sizes, dates and attributes as the page writes them, and the named bits of the
// data block's fields.

var html = document.documentElement;
var $ = function (id) { return document.getElementById(id); };

// Windows file attributes (FILE_ATTRIBUTE_*), as files and folders carry them.
var A_READONLY = 1, A_HIDDEN = 2, A_SYSTEM = 4, A_ARCHIVE = 32, A_REPARSE = 0x400;
// A folder's flags: not read (its reason in E), a link listed and not followed, read in part.
var F_UNREADABLE = 1, F_LINK = 2, F_PARTIAL = 4;

function groupDigits(n) {
  var s = String(Math.floor(n)), out = '';
  while (s.length > 3) { out = '.' + s.slice(-3) + out; s = s.slice(0, -3); }
  return s + out;
}

var UNITS = ['KB', 'MB', 'GB', 'TB', 'PB'];
function sizeText(n) {
  if (n < 1024) return groupDigits(n) + (n === 1 ? ' byte' : ' bytes');
  var u = -1;
  do { n /= 1024; u++; } while (n >= 1024 && u < UNITS.length - 1);
  var t = n < 100 ? (Math.round(n * 10) / 10).toFixed(1).replace('.', ',') : groupDigits(Math.round(n));
  return t + ' ' + UNITS[u];
}

function countText(n, one, many) { return groupDigits(n) + ' ' + (n === 1 ? one : many); }

function two(n) { return n < 10 ? '0' + n : '' + n; }
function dateText(seconds) {
  var d = new Date(seconds * 1000);
  if (isNaN(d.getTime())) return '';
  return two(d.getDate()) + '/' + two(d.getMonth() + 1) + '/' + d.getFullYear() + ' ' +
    two(d.getHours()) + ':' + two(d.getMinutes()) + ':' + two(d.getSeconds());
}

function attrText(a) {
  return (a & A_ARCHIVE ? 'A' : '') + (a & A_READONLY ? 'R' : '') + (a & A_HIDDEN ? 'H' : '') +
    (a & A_SYSTEM ? 'S' : '') + (a & A_REPARSE ? 'L' : '');
}
