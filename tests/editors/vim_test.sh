#!/usr/bin/env bash
# Loads the Vim files (syntax, filetype detection, ftplugin) from VIMFILES
# into a headless Vim and checks the highlighting of an annotated sample.
#   vim_test.sh VIMFILES
set -u
here=$(cd "$(dirname "$0")" && pwd)
vimfiles=$(cd "$1" && pwd)
result=$(mktemp)
trap 'rm -f "$result"' EXIT
vim -es -N -u NONE -i NONE --cmd "set rtp^=$vimfiles" \
  --cmd "let g:qlr_sample = '$here/vim/sample.qlr' | let g:qlr_result = '$result'" \
  -S "$here/vim/check_syntax.vim" </dev/null
status=$?
cat "$result"
# A run that never reached the checks leaves no count behind.
if [ "$status" -ne 0 ] || ! grep -qx 'checked [1-9][0-9]*' "$result" || [ "$(wc -l <"$result")" -ne 1 ]; then
  echo "vim syntax: failed"
  exit 1
fi
echo "vim syntax: passed"
