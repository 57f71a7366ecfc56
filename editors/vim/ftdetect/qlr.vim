" Quillora scripts end in .qlr.
autocmd BufRead,BufNewFile *.qlr setfiletype qlr
