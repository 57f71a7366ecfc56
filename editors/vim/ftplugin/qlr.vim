" Editing settings for Quillora scripts: blocks are indented with spaces
" only (a tab in indentation is an error) and comments start with #.
if exists("b:did_ftplugin")
  finish
endif
let b:did_ftplugin = 1

setlocal expandtab shiftwidth=4 softtabstop=4
setlocal comments=:# commentstring=#\ %s
setlocal suffixesadd=.qlr

let b:undo_ftplugin = "setlocal expandtab< shiftwidth< softtabstop< comments< commentstring< suffixesadd<"
